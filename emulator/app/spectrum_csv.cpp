#include "emulator/app/spectrum_csv.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace app {

bool isPlugInReading(const emu::RequestRecord& r) {
  return r.origin != emu::RequestOrigin::Host && std::strncmp(r.request, "FE_READ_", 8) == 0;
}

const char* spectrumCsvHeader() { return "time_ms,frequency_mhz,sr_ksps,request,value,status,pol,satellite\n"; }

std::string spectrumCsvRow(const emu::RequestRecord& r) {
  if (!isPlugInReading(r)) return {};
  char sat[16] = "";
  if (r.on_satellite) std::snprintf(sat, sizeof sat, "%d", r.orbital_position);
  char b[200];
  std::snprintf(b, sizeof b, "%.3f,%.3f,%.3f,%s,%" PRId64 ",0x%02X,%s,%s\n", r.time_us / 1000.0, r.frequency_mhz,
                r.symbol_rate_ksps, r.request, r.value, r.status,
                r.powered ? emu::polarisationLetter(r.polarisation) : "", sat);
  return b;
}

std::string spectrumCsv(const std::vector<emu::RequestRecord>& records) {
  std::string out = spectrumCsvHeader();
  for (const emu::RequestRecord& r : records) out += spectrumCsvRow(r);
  return out;
}

}  // namespace app
