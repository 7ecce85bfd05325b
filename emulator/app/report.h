// The JSON report of a scan.
#pragma once
#include <string>
#include <vector>

#include "emulator/app/found_log.h"
#include "emulator/app/options.h"
#include "emulator/app/truth.h"

namespace app {

// What the scan used besides the window's values: forced by the search, or read
// from the settings it made.
struct UsedSettings {
  int frequencyStepMHz = 0;
  int probeSrKsps = 0;                   // deductive: the rate of the AGC walk
  int rateFromKsps = 0, rateToKsps = 0;  // the rates the search may set
  std::vector<int> ratesKsps;            // standard: the rates tried at each frequency
  std::vector<int> knownRatesKsps;       // deductive: the known rates of the range, tried first
  int sweptFromKsps = 0, sweptToKsps = 0;   // by AGC: lowest and highest rate its sweeps set
  std::vector<int> sweepStepsKsps;       // by AGC: the steps seen between sweep settings
  int attempts = 0;                      // acquisition attempts of the plug-in
};
UsedSettings usedSettings(const ScanSettings& s, const std::vector<int>& knownRates,
                          const std::vector<emu::AttemptRecord>& attempts);

struct ScanResult {
  std::string scenarioName, scenarioFile;
  int orbitalPosition = 0;
  std::string satelliteName;
  ScanSettings settings;
  UsedSettings used;
  std::string outcome;            // "finished", or what stopped the scan
  double boxTimeS = 0, wallTimeS = 0;
  long peakRssKib = 0;
  std::vector<HandOver> handOvers;
  FoundLog log;
  Truth truth;
};

std::string serviceClassOf(int serviceType);   // "tv", "radio", "data", "other"
std::string reportJson(const ScanResult& r);   // indented, with a final line feed
void writeReport(const ScanResult& r, const std::string& path);   // throws std::runtime_error

}  // namespace app
