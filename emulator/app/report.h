// The JSON report of a scan.
#pragma once
#include <string>
#include <vector>

#include "emulator/app/found_log.h"
#include "emulator/app/options.h"
#include "emulator/app/truth.h"

namespace app {

struct ScanResult {
  std::string scenarioName, scenarioFile;
  int orbitalPosition = 0;
  std::string satelliteName;
  ScanSettings settings;
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
