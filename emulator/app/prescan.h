// What is said before a scan runs: settings the band cannot hold (warned, and
// still handed to the plug-in as a person could type them) and output paths
// that cannot be written (refused with the system's reason).
#pragma once
#include <string>
#include <vector>

#include "emulator/app/options.h"
#include "emulator/scenario/scenario.h"

namespace app {

struct MhzRange {
  int from = 0, to = 0;
};

// The dish frequencies the tuner can reach through this LNB: each band's local
// oscillator plus the tuner's IF window, the two bands split at the threshold.
MhzRange reachableMHz(const emu::Lnb& lnb, double ifMinKhz, double ifMaxKhz);

// One line per setting that the band cannot hold, each saying what to expect.
std::vector<std::string> scanWarnings(const ScanSettings& s, MhzRange reach);

// "" when a file can be written at path (its folder exists and takes a new file);
// otherwise why not, with the system's words.
std::string fileWriteProblem(const std::string& path);
// "" when dir exists or can be made and takes a new file; otherwise why not.
std::string folderWriteProblem(const std::string& dir);

}  // namespace app
