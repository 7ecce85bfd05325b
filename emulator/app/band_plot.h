// The band sweep as a picture: AGC and SNR against frequency, locks marked.
#pragma once
#include <string>
#include <vector>

#include "emulator/app/band_probe.h"

namespace app {

// Writes the plot as an indexed PNG; false and *error on failure.
bool writeBandPlot(const std::vector<BandPoint>& points, const std::string& title, const std::string& path,
                   std::string* error);

// Writes the sweep as CSV: freq_mhz,agc,snr,snr_pct,status,status_bits,lock.
bool writeBandCsv(const std::vector<BandPoint>& points, const std::string& path, std::string* error);

}  // namespace app
