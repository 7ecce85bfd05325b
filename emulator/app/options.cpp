#include "emulator/app/options.h"

#include "emulator/app/channel_export.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <sstream>

#include "emulator/tuner/fault_plan.h"

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
  OptionDoc doc;
  Handler handle;
};

// A command's options in the order help lists them; a new option is one add() line.
struct Rules {
  std::vector<OptionRule> rows;
  void add(const char* name, const char* value, std::string help, Handler h) {
    rows.push_back({{name, value, std::move(help)}, std::move(h)});
  }
  const OptionRule* find(const std::string& name) const {
    for (const auto& r : rows)
      if (r.doc.name == name) return &r;
    return nullptr;
  }
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

std::string range(long long lo, long long hi) { return std::to_string(lo) + "-" + std::to_string(hi); }
std::string seconds(double s) {
  std::ostringstream o;
  o << s;
  return o.str();
}

// Bounds of the settings window's number fields: 5 digits for frequencies and
// symbol rates, 3 for the delay, 2 for the threshold.
constexpr long long kFiveDigits = 99999;

void addBoxOptions(Rules& rules, BoxOptions& box) {
  size_t first = rules.rows.size();
  rules.add("--scenario", "FILE", "the box's scenario (default: scenarios/builtin.toml)",
            [&box](const std::string& v) { box.scenario = v; });
  rules.add("--root", "DIR", "the box root holding var/tuxbox (default: a per-user state folder)",
            [&box](const std::string& v) { box.root = v; });
  rules.add("--plugin", "PATH", "the plug-in to load (default: the built scrutafasci.so)",
            [&box](const std::string& v) { box.plugin = v; });
  rules.add("--seed", "N", "overrides the scenario's noise seed (0-" + std::to_string(1LL << 62) +
                               "; default: the scenario's)",
            [&box](const std::string& v) {
              box.seed = static_cast<unsigned long long>(toInteger("--seed", v, 0, (1LL << 62)));
            });
  rules.add("--realtime", "", "paces the box's clock against the wall clock (default: as fast as it goes)",
            [&box](const std::string&) { box.realtime = true; });
  rules.add("--fault", "RULE", "makes the box fail, repeatable (default: none): open:PATH=ERRNO, "
                              "request:NAME[@N[xK]][=ERRNO] (K calls from the N-th, x0 for ever), sec[=ERRNO], "
                              "readonly[=EROFS|EACCES], kill:PATH[@N]; see the README",
            [&box](const std::string& v) {
              std::string why;
              if (!emu::FaultPlan().add(v, &why)) throw UsageError("option --fault: " + why);
              box.faults.push_back(v);
            });
  for (size_t i = first; i < rules.rows.size(); ++i) rules.rows[i].doc.common = true;
}

void addWindowOptions(Rules& rules, WindowOptions& w) {
  rules.add("--window", "", "show the box's screen and a remote control in a desktop window (default: none)",
            [&w](const std::string&) { w.on = true; });
  rules.add("--scale", "N", "window scale, 1-16, needs --window (default: the largest that fits the display)",
            [&w](const std::string& v) { w.scale = static_cast<int>(toInteger("--scale", v, 1, 16)); });
  rules.add("--speed", "1|10|100|max", "the box clock's tempo at the start, needs --window (default 1)",
            [&w](const std::string& v) {
              if (v == "1" || v == "10" || v == "100") w.speed = static_cast<unsigned>(std::stoul(v));
              else if (v == "max") w.speed = 0;
              else throw UsageError("option --speed takes 1, 10, 100 or max, got '" + v + "'");
            });
}

// --scale and --speed only mean something in a window.
void checkWindowOptions(const std::vector<std::string>& args, const WindowOptions& w) {
  if (w.on) return;
  for (const auto& a : args)
    for (const char* name : {"--scale", "--speed"})
      if (a == name || a.rfind(std::string(name) + "=", 0) == 0)
        throw UsageError(std::string("option ") + name + " needs --window");
}

void parseWith(const char* command, const Rules& rules, const std::vector<std::string>& args, size_t first) {
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
    const OptionRule* rule = rules.find(name);
    if (!rule) {
      std::string known;
      for (const auto& r : rules.rows) known += " " + r.doc.name;
      throw UsageError("unknown option " + name + " for '" + command + "'; known:" + known);
    }
    bool takesValue = !rule->doc.value.empty();
    if (takesValue && !inlineValue) {
      if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
      value = args[++i];
    } else if (!takesValue && inlineValue) {
      throw UsageError("option " + name + " takes no value");
    }
    rule->handle(value);
  }
}

Rules runRules(RunOptions& o) {
  Rules rules;
  rules.add("--keys", "SCRIPT", "remote-control keys and marks (default: keys from the terminal, or a script "
                                "on standard input when it is no terminal)",
            [&o](const std::string& v) { o.keys = v; o.keysGiven = true; });
  rules.add("--screenshot", "FILE", "the screen as PNG at exit unless the script took it with a bare 'shot'; "
                                    "the terminal's s key writes shot-NNN.png next to it (default: none)",
            [&o](const std::string& v) { o.screenshot = v; });
  rules.add("--until-timeout", "S", "wall-clock bound of one until: wait (default " + seconds(o.untilBoundS) +
                                        "; over 0, at most 1e7)",
            [&o](const std::string& v) { o.untilBoundS = toSeconds("--until-timeout", v); });
  addWindowOptions(rules, o.window);
  addBoxOptions(rules, o.box);
  return rules;
}

Rules bandRules(BandOptions& o) {
  Rules rules;
  rules.add("--satellite", "ORBPOS", "orbital position in tenths of a degree, 192 = 19.2E (-1800-1800; "
                                     "default: where the scenario's receiver is tuned, else its first satellite)",
            [&o](const std::string& v) {
              o.satellite = static_cast<int>(toInteger("--satellite", v, -1800, 1800));
              o.satelliteGiven = true;
            });
  rules.add("--pol", "H|V", "polarisation (default H)",
            [&o](const std::string& v) { o.polarisation = toPolarisation("--pol", v); });
  rules.add("--from", "MHZ", "first frequency (default " + std::to_string(o.fromMHz) + "; 1-99999, within "
                             "what the LNB and tuner reach)",
            [&o](const std::string& v) { o.fromMHz = static_cast<int>(toInteger("--from", v, 1, kFiveDigits)); });
  rules.add("--to", "MHZ", "last frequency (default " + std::to_string(o.toMHz) + "; 1-99999, not below --from)",
            [&o](const std::string& v) { o.toMHz = static_cast<int>(toInteger("--to", v, 1, kFiveDigits)); });
  rules.add("--step", "MHZ", "frequency step (default " + std::to_string(o.stepMHz) + "; 1-2000)",
            [&o](const std::string& v) { o.stepMHz = static_cast<int>(toInteger("--step", v, 1, 2000)); });
  rules.add("--sr", "KSPS", "symbol rate tuned at each step (default " + std::to_string(o.srKsps) + "; 1-99999)",
            [&o](const std::string& v) { o.srKsps = static_cast<int>(toInteger("--sr", v, 1, kFiveDigits)); });
  rules.add("--csv", "FILE", "also write the sweep as CSV (default: none)",
            [&o](const std::string& v) { o.csv = v; });
  rules.add("--png", "FILE", "also write the sweep as a plot (default: none)",
            [&o](const std::string& v) { o.png = v; });
  addBoxOptions(rules, o.box);
  return rules;
}

Rules scanRules(ScanOptions& o) {
  Rules rules;
  ScanSettings& s = o.settings;
  rules.add("--satellite", "ORBPOS", "orbital position in tenths of a degree (-1800-1800; default: where the "
                                     "scenario's receiver is tuned, else its first satellite)",
            [&o](const std::string& v) {
              o.satellite = static_cast<int>(toInteger("--satellite", v, -1800, 1800));
            });
  rules.add("--search", "standard|sr|agc", "search type (default standard)", [&s](const std::string& v) {
    if (v == "standard") s.search = SearchType::Standard;
    else if (v == "sr") s.search = SearchType::BySymbolRate;
    else if (v == "agc") s.search = SearchType::ByAgc;
    else throw UsageError("option --search takes standard, sr or agc, got '" + v + "'");
  });
  auto number = [&rules](const char* name, const char* value, const char* what, int& field, long long lo,
                         long long hi) {
    rules.add(name, value, std::string(what) + " (default " + std::to_string(field) + "; " + range(lo, hi) + ")",
              [name, &field, lo, hi](const std::string& v) { field = static_cast<int>(toInteger(name, v, lo, hi)); });
  };
  number("--from", "MHZ", "first frequency", s.fromMHz, 0, kFiveDigits);
  number("--to", "MHZ", "last frequency", s.toMHz, 0, kFiveDigits);
  number("--step", "MHZ", "frequency step of the standard search", s.stepMHz, 0, kFiveDigits);
  rules.add("--pol", "H|V", "polarisation (default H)",
            [&s](const std::string& v) { s.polarisation = toPolarisation("--pol", v); });
  number("--sr-from", "KSPS", "first symbol rate", s.srFrom, 0, kFiveDigits);
  number("--sr-to", "KSPS", "last symbol rate", s.srTo, 0, kFiveDigits);
  number("--sr-step", "KSPS", "symbol-rate step", s.srStep, 0, kFiveDigits);
  number("--delay", "N", "the settings window's scan delay", s.delay, 0, 999);
  number("--threshold", "PCT", "lock threshold, SNR %", s.threshold, 0, 99);
  rules.add("--report", "FILE.json", "write the JSON report there (default: none; its folder must exist)",
            [&o](const std::string& v) { o.report = v; });
  rules.add("--screenshots", "DIR", "write settings.png, scan.png and spectrum.png there (default: none; made "
                                    "when missing)",
            [&o](const std::string& v) { o.screenshots = v; });
  rules.add("--quiet", "", "no progress bar, only plain progress lines (default: a bar on a terminal)",
            [&o](const std::string&) { o.quiet = true; });
  rules.add("--max-box-time", "S", "stop the scan after this much box time (default " + seconds(o.maxBoxTimeS) +
                                       "; over 0, at most 1e7)",
            [&o](const std::string& v) { o.maxBoxTimeS = toSeconds("--max-box-time", v); });
  rules.add("--max-wall-time", "S", "stop the scan after this much wall time (default " +
                                        seconds(o.maxWallTimeS) + "; over 0, at most 1e7)",
            [&o](const std::string& v) { o.maxWallTimeS = toSeconds("--max-wall-time", v); });
  rules.add("--export", "FILE", "write the transponders handed over and their services as a VDR "
                                "channels.conf (.conf) or dvbv5 channel file (.channels, .dvbv5) (default: none)",
            [&o](const std::string& v) { o.exportPath = v; });
  rules.add("--export-format", "vdr|dvbv5", "the channel list's format when the name does not tell it "
                                            "(default: from --export's name; needs --export)",
            [&o](const std::string& v) {
              if (!channelFormatByName(v)) throw UsageError("option --export-format takes vdr or dvbv5, got '" + v + "'");
              o.exportFormat = v;
            });
  rules.add("--spectrum", "FILE.csv", "write every reading the plug-in took as CSV (default: none)",
            [&o](const std::string& v) { o.spectrum = v; });
  addWindowOptions(rules, o.window);
  addBoxOptions(rules, o.box);
  return rules;
}

void parseRun(const std::vector<std::string>& args, RunOptions& o) {
  parseWith("run", runRules(o), args, 1);
  checkWindowOptions(args, o.window);
}

void parseBand(const std::vector<std::string>& args, BandOptions& o) {
  parseWith("band", bandRules(o), args, 1);
  if (o.fromMHz > o.toMHz)
    throw UsageError("--from " + std::to_string(o.fromMHz) + " lies above --to " + std::to_string(o.toMHz));
}

void parseScan(const std::vector<std::string>& args, ScanOptions& o) {
  parseWith("scan", scanRules(o), args, 1);
  checkWindowOptions(args, o.window);
  if (!o.exportFormat.empty() && o.exportPath.empty())
    throw UsageError("option --export-format needs --export FILE");
  if (!o.exportPath.empty() && o.exportFormat.empty() && !channelFormatOfPath(o.exportPath))
    throw UsageError("cannot tell the format of --export " + o.exportPath +
                     ": name it .conf (VDR), .channels or .dvbv5 (dvbv5), or give --export-format vdr|dvbv5");
}

std::vector<OptionDoc> docsOf(const Rules& rules) {
  std::vector<OptionDoc> d;
  for (const auto& r : rules.rows) d.push_back(r.doc);
  return d;
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

std::vector<OptionDoc> optionTable(Command c) {
  Options o;
  switch (c) {
    case Command::Run: return docsOf(runRules(o.run));
    case Command::Band: return docsOf(bandRules(o.band));
    case Command::Scan: return docsOf(scanRules(o.scan));
    case Command::Help: break;
  }
  return {};
}

namespace {

// Option rows: the name, then the text in one column, wrapped to 100 columns.
void listOptions(std::string& out, Command c, bool common) {
  const size_t column = 30, width = 100;
  for (const OptionDoc& d : optionTable(c)) {
    if (d.common != common) continue;
    std::string head = "    " + d.name + (d.value.empty() ? "" : " " + d.value);
    out += head;
    if (head.size() + 2 > column) out += "\n" + std::string(column, ' ');
    else out += std::string(column - head.size(), ' ');
    size_t used = column;
    std::string word;
    bool firstWord = true;
    for (size_t i = 0; i <= d.help.size(); ++i) {
      if (i < d.help.size() && d.help[i] != ' ') {
        word += d.help[i];
        continue;
      }
      if (word.empty()) continue;
      if (!firstWord && used + 1 + word.size() > width) {
        out += "\n" + std::string(column, ' ');
        used = column;
      } else if (!firstWord) {
        out += " ";
        ++used;
      }
      out += word;
      used += word.size();
      word.clear();
      firstWord = false;
    }
    out += "\n";
  }
}

}  // namespace

std::string usageText() {
  std::string u = R"(usage: scrutafasci-emu COMMAND [options]

Commands:
  run    load the plug-in and drive it with keys
         SCRIPT: remote-control keys and marks separated by blanks, e.g.
           "down ok 1 2 ok wait:500 until:\"Scansione terminata\" shot:out.png"
           keys: 0-9 up down left right ok exit red green yellow blue menu (KEY*N repeats)
           wait:MS waits MS milliseconds, until:"TEXT" waits until TEXT is on screen,
           shot:FILE writes the screen as PNG (a bare "shot" writes the --screenshot file).
         Without --keys, on a terminal: the screen is shown as text after every change
         and these keys go to the box:
           0-9 digits, arrows, Enter = ok, Esc = exit, r g y b or F1-F4 = colour keys,
           m = menu, s = numbered screenshot (shot-001.png ... in the box root, or next to
           --screenshot's file; the path is printed), q or Ctrl-C = leave the plug-in.
           Backspace and other keys do nothing.
)";
  listOptions(u, Command::Run, false);
  u += R"(  band   sweep the tuner and print AGC, SNR and status per frequency; a range the
         LNB and tuner cannot reach is refused with one message
)";
  listOptions(u, Command::Band, false);
  u += R"(  scan   run a blind scan through the settings window, as a person would; settings the
         band cannot hold are warned about and still typed in; Ctrl-C stops the scan, prints
         the partial table and writes the report (outcome "interrupted"); a second Ctrl-C
         leaves at once
)";
  listOptions(u, Command::Scan, false);
  u += "\nOptions of every command:\n";
  listOptions(u, Command::Run, true);
  u += R"(
Exit status:
  0 done; 1 anything else (a screenshot or file that failed); 2 a bad command line or an
  output path that cannot be written; 3 a bad scenario or box root; 4 a plug-in that does
  not load; 5 a scan or script that did not end in time; 6 the plug-in refused the settings
  or stopped otherwise; 130 interrupted by Ctrl-C.

The debug log of every command is <root>/scrutafasci-emu.log.
)";
  return u;
}

}  // namespace app
