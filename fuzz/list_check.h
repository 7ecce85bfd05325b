// What every list reader owes its caller, whatever the file holds: only ScenarioError
// escapes, every carrier kept lies in the band with a usable rate, and every line
// skipped or left out is counted and named.
#pragma once
#include <emulator/scenario/lists.h>
#include "fuzz_file.h"

namespace fuzz {

inline void checkCarriers(const std::vector<emu::Carrier>& carriers) {
  for (const auto& c : carriers) {
    if (c.frequency_khz < emu::kBandLowKhz || c.frequency_khz > emu::kBandHighKhz)
      broken("a carrier outside the band was kept");
    if (c.symbol_rate == 0) broken("a carrier without a symbol rate was kept");
  }
}

inline void checkReport(const emu::ListReport& r) {
  if (r.problems.size() != static_cast<size_t>(r.skipped + r.left_out)) broken("problems and counts disagree");
  for (const auto& p : r.problems)
    if (p.line <= 0 || p.text.rfind(r.file + ":" + std::to_string(p.line) + ": ", 0) != 0)
      broken("a problem without its file and line");
}

// Format detection of the same file: a format or a ScenarioError, nothing else.
inline void detect(const std::string& file) {
  try {
    emu::detectFormat(file);
  } catch (const emu::ScenarioError&) {
  }
}

// Reads the input as a list with read(file, report) and checks what came back.
template <typename Read>
int readList(const char* name, const uint8_t* data, size_t size, Read read) {
  std::string file = write(name, data, size);
  detect(file);
  emu::ListReport report;
  try {
    std::vector<emu::Carrier> carriers = read(file, report);
    checkCarriers(carriers);
    if (report.carriers != static_cast<int>(carriers.size()) && report.services == 0)
      broken("the report counts other carriers than were kept");
    checkReport(report);
  } catch (const emu::ScenarioError&) {
  }
  return 0;
}

}  // namespace fuzz
