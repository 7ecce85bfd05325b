#include "emulator/app/spectrum_csv.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace app {

bool isPlugInReading(const emu::RequestRecord& r) {
  return r.origin != emu::RequestOrigin::Host && std::strncmp(r.request, "FE_READ_", 8) == 0;
}

std::string spectrumCsv(const std::vector<emu::RequestRecord>& records) {
  std::string out = "time_ms,frequency_mhz,sr_ksps,request,value,status,pol,satellite\n";
  char b[200];
  for (const emu::RequestRecord& r : records) {
    if (!isPlugInReading(r)) continue;
    char sat[16] = "";
    if (r.on_satellite) std::snprintf(sat, sizeof sat, "%d", r.orbital_position);
    std::snprintf(b, sizeof b, "%.3f,%.3f,%.3f,%s,%" PRId64 ",%u,%s,%s\n", r.time_us / 1000.0, r.frequency_mhz,
                  r.symbol_rate_ksps, r.request, r.value, r.status,
                  r.powered ? emu::polarisationLetter(r.polarisation) : "", sat);
    out += b;
  }
  return out;
}

}  // namespace app
