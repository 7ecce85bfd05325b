// Command line of scrutafasci-emu: one command (run, band, scan) and its options.
#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

// A wrong command line: the message says what and how to mend it.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class Command { Help, Run, Band, Scan };

enum class SearchType { Standard = 0, BySymbolRate = 1, ByAgc = 2 };
const char* searchName(SearchType t);           // "standard", "sr", "agc"
const char* searchLabel(SearchType t);          // the settings window's entry text

// What every command that starts the box shares.
struct BoxOptions {
  std::string root;            // empty: the per-user state folder
  std::string scenario;        // empty: the built-in scenario
  std::string plugin;          // empty: the built plug-in
  std::optional<unsigned long long> seed;
  bool realtime = false;
  std::vector<std::string> faults;  // fault-plan rules (--fault), after the scenario's
};

// A desktop window showing the box's screen (--window); nothing of it without.
struct WindowOptions {
  bool on = false;
  int scale = 0;               // 0: the largest whole factor that fits the display
  unsigned speed = 1;          // box seconds per wall second; 0: as fast as possible
};

struct RunOptions {
  BoxOptions box;
  WindowOptions window;
  std::string keys;            // a key script; empty: keys from the terminal (or stdin)
  bool keysGiven = false;
  std::string screenshot;      // written at exit unless the script took it at a mark
  double untilBoundS = 120;    // wall-clock bound of one until: wait
};

struct BandOptions {
  BoxOptions box;
  int satellite = 0;           // orbital position, tenths of a degree
  bool satelliteGiven = false;
  int polarisation = 0;        // 0 horizontal, 1 vertical
  int fromMHz = 10700, toMHz = 12750, stepMHz = 1;
  int srKsps = 2000;
  std::string csv, png;
};

// The settings a scan is launched with, as the settings window holds them.
struct ScanSettings {
  SearchType search = SearchType::Standard;
  int fromMHz = 10700, toMHz = 12750, stepMHz = 3;
  int polarisation = 0;
  int srFrom = 27500, srTo = 27500, srStep = 1;
  int delay = 10;
  int threshold = 53;
};

struct ScanOptions {
  BoxOptions box;
  WindowOptions window;
  std::optional<int> satellite;     // none: where the receiver is tuned in the scenario
  ScanSettings settings;
  std::string report, screenshots;
  std::string exportPath;           // channel list of what was found; empty: none
  std::string exportFormat;         // "vdr" or "dvbv5"; empty: by the file's extension
  std::string spectrum;             // CSV of every reading the plug-in took; empty: none
  bool quiet = false;
  double maxBoxTimeS = 48 * 3600.0; // the scan must end within this much box time
  double maxWallTimeS = 1800;       // and within this much wall time
};

struct Options {
  Command command = Command::Help;
  RunOptions run;
  BandOptions band;
  ScanOptions scan;
};

// One row of a command's option table: the parser and `help` both read it.
struct OptionDoc {
  std::string name;        // "--from"
  std::string value;       // "MHZ"; empty for a flag
  std::string help;        // what it does, its default and its range
  bool common = false;     // one of the options every command takes
};

// The option table of a command (Run, Band or Scan), in the order help shows it.
std::vector<OptionDoc> optionTable(Command c);

// Parses argv (without the program name). Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

std::string usageText();

}  // namespace app
