#include "emulator/app/options.h"

#include "emulator/app/channel_export.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

namespace app {

const char* searchName(SearchType t) {
  switch (t) {
    case SearchType::Standard: return "standard";
    case SearchType::BySymbolRate: return "sr";
    case SearchType::ByAgc: return "agc";
  }
  return "?";
}

const char* searchLabel(SearchType t) {
  switch (t) {
    case SearchType::Standard: return "standard";
    case SearchType::BySymbolRate: return "by SymbolRate";
    case SearchType::ByAgc: return "by AGC";
  }
  return "?";
}

namespace {

using Handler = std::function<void(const std::string& value)>;

struct OptionRule {
  bool takesValue;
  Handler handle;
};

long long toInteger(const std::string& option, const std::string& value, long long lo, long long hi) {
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno == ERANGE)
    throw UsageError("option " + option + " needs a whole number, got '" + value + "'");
  if (v < lo || v > hi)
    throw UsageError("option " + option + " must be from " + std::to_string(lo) + " to " +
                     std::to_string(hi) + ", got " + value);
  return v;
}

double toSeconds(const std::string& option, const std::string& value) {
  char* end = nullptr;
  double v = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !(v > 0) || v > 1e7)
    throw UsageError("option " + option + " needs a positive number of seconds, got '" + value + "'");
  return v;
}

int toPolarisation(const std::string& option, const std::string& value) {
  if (value == "H" || value == "h") return 0;
  if (value == "V" || value == "v") return 1;
  throw UsageError("option " + option + " takes H or V, got '" + value + "'");
}

// Bounds of the settings window's number fields: 5 digits for frequencies and
// symbol rates, 2 for the threshold.
constexpr long long kFiveDigits = 99999;

void addBoxOptions(std::map<std::string, OptionRule>& rules, BoxOptions& box) {
  rules["--root"] = {true, [&box](const std::string& v) { box.root = v; }};
  rules["--scenario"] = {true, [&box](const std::string& v) { box.scenario = v; }};
  rules["--plugin"] = {true, [&box](const std::string& v) { box.plugin = v; }};
  rules["--seed"] = {true, [&box](const std::string& v) {
    box.seed = static_cast<unsigned long long>(toInteger("--seed", v, 0, (1LL << 62)));
  }};
  rules["--realtime"] = {false, [&box](const std::string&) { box.realtime = true; }};
}

void parseWith(const char* command, std::map<std::string, OptionRule>& rules,
               const std::vector<std::string>& args, size_t first) {
  for (size_t i = first; i < args.size(); ++i) {
    std::string name = args[i], value;
    bool inlineValue = false;
    if (name.rfind("--", 0) != 0)
      throw UsageError(std::string("unexpected argument '") + name + "' for '" + command +
                       "' (options start with --; see: scrutafasci-emu help)");
    auto eq = name.find('=');
    if (eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inlineValue = true;
    }
    auto it = rules.find(name);
    if (it == rules.end()) {
      std::string known;
      for (auto& [n, s] : rules) known += " " + n;
      throw UsageError("unknown option " + name + " for '" + command + "'; known:" + known);
    }
    if (it->second.takesValue && !inlineValue) {
      if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
      value = args[++i];
    } else if (!it->second.takesValue && inlineValue) {
      throw UsageError("option " + name + " takes no value");
    }
    it->second.handle(value);
  }
}

void parseRun(const std::vector<std::string>& args, RunOptions& o) {
  std::map<std::string, OptionRule> rules;
  addBoxOptions(rules, o.box);
  rules["--keys"] = {true, [&o](const std::string& v) { o.keys = v; o.keysGiven = true; }};
  rules["--screenshot"] = {true, [&o](const std::string& v) { o.screenshot = v; }};
  rules["--until-timeout"] = {true, [&o](const std::string& v) { o.untilBoundS = toSeconds("--until-timeout", v); }};
  parseWith("run", rules, args, 1);
}

void parseBand(const std::vector<std::string>& args, BandOptions& o) {
  std::map<std::string, OptionRule> rules;
  addBoxOptions(rules, o.box);
  rules["--satellite"] = {true, [&o](const std::string& v) {
    o.satellite = static_cast<int>(toInteger("--satellite", v, -1800, 1800));
    o.satelliteGiven = true;
  }};
  rules["--pol"] = {true, [&o](const std::string& v) { o.polarisation = toPolarisation("--pol", v); }};
  rules["--from"] = {true, [&o](const std::string& v) { o.fromMHz = static_cast<int>(toInteger("--from", v, 1, kFiveDigits)); }};
  rules["--to"] = {true, [&o](const std::string& v) { o.toMHz = static_cast<int>(toInteger("--to", v, 1, kFiveDigits)); }};
  rules["--step"] = {true, [&o](const std::string& v) { o.stepMHz = static_cast<int>(toInteger("--step", v, 1, 2000)); }};
  rules["--sr"] = {true, [&o](const std::string& v) { o.srKsps = static_cast<int>(toInteger("--sr", v, 1, kFiveDigits)); }};
  rules["--csv"] = {true, [&o](const std::string& v) { o.csv = v; }};
  rules["--png"] = {true, [&o](const std::string& v) { o.png = v; }};
  parseWith("band", rules, args, 1);
  if (o.fromMHz > o.toMHz)
    throw UsageError("--from " + std::to_string(o.fromMHz) + " lies above --to " + std::to_string(o.toMHz));
}

void parseScan(const std::vector<std::string>& args, ScanOptions& o) {
  std::map<std::string, OptionRule> rules;
  ScanSettings& s = o.settings;
  addBoxOptions(rules, o.box);
  rules["--satellite"] = {true, [&o](const std::string& v) {
    o.satellite = static_cast<int>(toInteger("--satellite", v, -1800, 1800));
  }};
  rules["--search"] = {true, [&s](const std::string& v) {
    if (v == "standard") s.search = SearchType::Standard;
    else if (v == "sr") s.search = SearchType::BySymbolRate;
    else if (v == "agc") s.search = SearchType::ByAgc;
    else throw UsageError("option --search takes standard, sr or agc, got '" + v + "'");
  }};
  auto number = [&rules](const char* name, int& field, long long lo, long long hi) {
    rules[name] = {true, [name, &field, lo, hi](const std::string& v) {
      field = static_cast<int>(toInteger(name, v, lo, hi));
    }};
  };
  number("--from", s.fromMHz, 0, kFiveDigits);
  number("--to", s.toMHz, 0, kFiveDigits);
  number("--step", s.stepMHz, 0, kFiveDigits);
  number("--sr-from", s.srFrom, 0, kFiveDigits);
  number("--sr-to", s.srTo, 0, kFiveDigits);
  number("--sr-step", s.srStep, 0, kFiveDigits);
  number("--threshold", s.threshold, 0, 99);
  number("--delay", s.delay, 0, 999);
  rules["--pol"] = {true, [&s](const std::string& v) { s.polarisation = toPolarisation("--pol", v); }};
  rules["--report"] = {true, [&o](const std::string& v) { o.report = v; }};
  rules["--screenshots"] = {true, [&o](const std::string& v) { o.screenshots = v; }};
  rules["--quiet"] = {false, [&o](const std::string&) { o.quiet = true; }};
  rules["--max-box-time"] = {true, [&o](const std::string& v) { o.maxBoxTimeS = toSeconds("--max-box-time", v); }};
  rules["--max-wall-time"] = {true, [&o](const std::string& v) { o.maxWallTimeS = toSeconds("--max-wall-time", v); }};
  rules["--export"] = {true, [&o](const std::string& v) { o.exportPath = v; }};
  rules["--export-format"] = {true, [&o](const std::string& v) {
    if (!channelFormatByName(v)) throw UsageError("option --export-format takes vdr or dvbv5, got '" + v + "'");
    o.exportFormat = v;
  }};
  rules["--spectrum"] = {true, [&o](const std::string& v) { o.spectrum = v; }};
  parseWith("scan", rules, args, 1);
  if (!o.exportFormat.empty() && o.exportPath.empty())
    throw UsageError("option --export-format needs --export FILE");
  if (!o.exportPath.empty() && o.exportFormat.empty() && !channelFormatOfPath(o.exportPath))
    throw UsageError("cannot tell the format of --export " + o.exportPath +
                     ": name it .conf (VDR), .channels or .dvbv5 (dvbv5), or give --export-format vdr|dvbv5");
}

}  // namespace

Options parseOptions(const std::vector<std::string>& args) {
  Options o;
  if (args.empty()) throw UsageError("no command given; use run, band or scan (see: scrutafasci-emu help)");
  const std::string& cmd = args[0];
  if (cmd == "help" || cmd == "--help" || cmd == "-h") {
    o.command = Command::Help;
  } else if (cmd == "run") {
    o.command = Command::Run;
    parseRun(args, o.run);
  } else if (cmd == "band") {
    o.command = Command::Band;
    parseBand(args, o.band);
  } else if (cmd == "scan") {
    o.command = Command::Scan;
    parseScan(args, o.scan);
  } else {
    throw UsageError("unknown command '" + cmd + "'; use run, band or scan (see: scrutafasci-emu help)");
  }
  return o;
}

std::string usageText() {
  return R"(usage: scrutafasci-emu COMMAND [options]

Commands:
  run    load the plug-in and drive it with keys
           [--keys SCRIPT] [--screenshot FILE] [--until-timeout S]
         SCRIPT: remote-control keys and marks separated by blanks, e.g.
           "down ok 1 2 ok wait:500 until:\"Scansione terminata\" shot:out.png"
           keys: 0-9 up down left right ok exit red green yellow blue menu (KEY*N repeats)
           wait:MS waits MS milliseconds, until:"TEXT" waits until TEXT is on screen,
           shot:FILE writes the screen as PNG (a bare "shot" writes the --screenshot
           file, which is otherwise written at exit). Without --keys the keys come from the
           terminal (digits, arrows, Enter=ok, Esc/Backspace=exit, r g y b, m=menu, q quits)
           or, when standard input is no terminal, as a script read from it.
  band   sweep the tuner and print AGC, SNR and status per frequency
           --satellite ORBPOS [--pol H|V] [--from MHZ] [--to MHZ] [--step MHZ]
           [--sr KSPS] [--csv FILE] [--png FILE]
  scan   run a blind scan through the settings window, as a person would
           [--satellite ORBPOS] [--search standard|sr|agc] [--from MHZ] [--to MHZ]
           [--step MHZ] [--pol H|V] [--sr-from KSPS] [--sr-to KSPS] [--sr-step KSPS]
           [--threshold PCT] [--delay N] [--report FILE.json] [--screenshots DIR]
           [--quiet] [--max-box-time S] [--max-wall-time S]
           [--export FILE] [--export-format vdr|dvbv5] [--spectrum FILE.csv]
         --export writes the transponders handed over and their services as a VDR
           channels.conf (.conf) or dvbv5 channel file (.channels, .dvbv5); --spectrum
           writes every reading the plug-in took as CSV

Options of every command:
  --scenario FILE  the box's scenario (default: scenarios/builtin.toml)
  --root DIR       the box root holding var/tuxbox (default: a per-user state folder)
  --plugin PATH    the plug-in to load (default: the built scrutafasci.so)
  --seed N         overrides the scenario's noise seed
  --realtime       paces the box's clock against the wall clock
)";
}

}  // namespace app
