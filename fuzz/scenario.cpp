// The scenario loader on any TOML text: a scenario or a ScenarioError naming the
// file, nothing else. List paths are relative to a folder holding one small list.
#include <emulator/scenario/lists.h>
#include <emulator/scenario/loader.h>
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    static const char list[] = "11836 H 27500 3/4 DVB-S QPSK -\n12051 V 27500 3/4 DVB-S2 8PSK 20\n";
    fuzz::write("a.tpl", reinterpret_cast<const uint8_t*>(list), sizeof list - 1);
    static const char services[] = "11836 H 27500 | T | Das Erste | ARD\n12051 V 27500 | R | Radio | X\n";
    fuzz::write("a.services", reinterpret_cast<const uint8_t*>(services), sizeof services - 1);
    return fuzz::folder();
  }();
  const std::string path = folder + "/fuzz.toml";
  try {
    emu::Scenario s = emu::parseScenario(std::string(reinterpret_cast<const char*>(data), size), path);
    if (s.satellites.empty()) fuzz::broken("a scenario without satellites was accepted");
    for (const auto& sat : s.satellites)
      for (const auto& c : sat.carriers)
        if (c.frequency_khz < emu::kBandLowKhz || c.frequency_khz > emu::kBandHighKhz)
          fuzz::broken("a carrier outside the band was accepted");
  } catch (const emu::ScenarioError& e) {
    if (e.file().empty()) fuzz::broken("an error without its file");
  }
  return 0;
}
