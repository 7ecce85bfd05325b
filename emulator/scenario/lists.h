// Readers for the transponder and service lists people already have.
#pragma once
#include <optional>
#include <string>
#include <vector>
#include <emulator/scenario/error.h>
#include <emulator/scenario/scenario.h>

namespace emu {

// The Ku band the lists are cut to.
constexpr uint32_t kBandLowKhz = 10700000;
constexpr uint32_t kBandHighKhz = 12750000;

enum class ListFormat {
  Auto,
  TransponderTable,   // .tpl: freq_mhz pol sr_ksps fec system modulation rolloff [isi=N]
  VdrChannels,        // VDR channels.conf
  ZapChannels,        // szap channels.conf: name:freq:pol:sat:sr:vpid:apid:sid
  Dvbv5,              // dvbv5 INI channel files (dtv-scan-tables)
  ScanFile,           // legacy "S freq pol sr fec"
};

// What to do with the services of a .services file that sit on no transponder of its table.
enum class Unmatched { Ignore, Feeds };

struct ListRequest {
  std::string file;                  // the list itself (the table of a .tpl/.services pair)
  std::string services;              // .services file going with a .tpl, or empty
  ListFormat format = ListFormat::Auto;
  int orbital_position = 0;          // VDR lists: only this satellite's lines are kept
  int zap_satellite = 0;             // zap lists: only lines with this sat number are kept
  Unmatched unmatched = Unmatched::Ignore;
};

struct ListResult {
  std::vector<Carrier> carriers;     // listed transponders with their services
  std::vector<Carrier> feeds;        // carriers made of unmatched services (Unmatched::Feeds)
  std::vector<ListReport> reports;   // one per file read
};

// Reads a list; a file that cannot be used at all throws ScenarioError.
ListResult readList(const ListRequest& request);

ListFormat detectFormat(const std::string& path);   // throws ScenarioError when it cannot tell
const char* formatName(ListFormat f);
std::optional<ListFormat> formatByName(const std::string& name);

std::vector<Carrier> readTransponderTable(const std::string& path, ListReport& report);
void readServiceTable(const std::string& path, std::vector<Carrier>& carriers, Unmatched unmatched,
                      std::vector<Carrier>& feeds, ListReport& report);
std::vector<Carrier> readVdrChannels(const std::string& path, int orbital_position, ListReport& report);
std::vector<Carrier> readZapChannels(const std::string& path, int zap_satellite, ListReport& report);
std::vector<Carrier> readDvbv5(const std::string& path, ListReport& report);
std::vector<Carrier> readScanFile(const std::string& path, ListReport& report);

}  // namespace emu
