#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "emulator/app/options.h"

using app::parseOptions;
using app::UsageError;

namespace {
std::string errorOf(const std::vector<std::string>& args) {
  try {
    parseOptions(args);
  } catch (const UsageError& e) {
    return e.what();
  }
  return "";
}
}  // namespace

TEST(Options, ScanDefaultsAreTheSettingsWindowsInitialValues) {
  auto o = parseOptions({"scan"});
  ASSERT_EQ(o.command, app::Command::Scan);
  const auto& s = o.scan.settings;
  EXPECT_EQ(s.search, app::SearchType::Standard);
  EXPECT_EQ(s.fromMHz, 10700);
  EXPECT_EQ(s.toMHz, 12750);
  EXPECT_EQ(s.stepMHz, 3);
  EXPECT_EQ(s.polarisation, 0);
  EXPECT_EQ(s.srFrom, 27500);
  EXPECT_EQ(s.srTo, 27500);
  EXPECT_EQ(s.srStep, 1);
  EXPECT_EQ(s.delay, 10);
  EXPECT_EQ(s.threshold, 53);
  EXPECT_FALSE(o.scan.satellite.has_value());
  EXPECT_FALSE(o.scan.quiet);
}

TEST(Options, ScanOptionsBothSpellings) {
  auto o = parseOptions({"scan", "--search", "agc", "--from=11000", "--to", "11500", "--pol", "V",
                         "--sr-from", "2000", "--sr-to=30000", "--sr-step", "5", "--threshold", "60",
                         "--satellite", "130", "--quiet", "--report", "r.json", "--root", "/tmp/x",
                         "--seed", "7", "--realtime"});
  const auto& s = o.scan.settings;
  EXPECT_EQ(s.search, app::SearchType::ByAgc);
  EXPECT_EQ(s.fromMHz, 11000);
  EXPECT_EQ(s.toMHz, 11500);
  EXPECT_EQ(s.polarisation, 1);
  EXPECT_EQ(s.srFrom, 2000);
  EXPECT_EQ(s.srTo, 30000);
  EXPECT_EQ(s.srStep, 5);
  EXPECT_EQ(s.threshold, 60);
  EXPECT_EQ(*o.scan.satellite, 130);
  EXPECT_TRUE(o.scan.quiet);
  EXPECT_EQ(o.scan.report, "r.json");
  EXPECT_EQ(o.scan.box.root, "/tmp/x");
  EXPECT_EQ(*o.scan.box.seed, 7u);
  EXPECT_TRUE(o.scan.box.realtime);
}

TEST(Options, BadCommandLinesSayWhatIsWrong) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "no command"},
      {{"scna"}, "unknown command 'scna'"},
      {{"scan", "--frm", "1"}, "unknown option --frm"},
      {{"scan", "--from"}, "--from needs a value"},
      {{"scan", "--from", "ten"}, "whole number"},
      {{"scan", "--from", "100000"}, "from 0 to 99999"},
      {{"scan", "--threshold", "100"}, "from 0 to 99"},
      {{"scan", "--pol", "X"}, "H or V"},
      {{"scan", "--search", "heuristic"}, "standard, sr or agc"},
      {{"scan", "--quiet=yes"}, "takes no value"},
      {{"scan", "stray"}, "unexpected argument 'stray'"},
      {{"scan", "--max-box-time", "0"}, "positive number of seconds"},
      {{"band", "--from", "12000", "--to", "11000"}, "lies above"},
      {{"band", "--step", "0"}, "from 1 to 2000"},
      {{"run", "--keys"}, "--keys needs a value"},
      {{"scan", "--fault", "request:FE_READ_STAUS"}, "unknown request FE_READ_STAUS"},
      {{"band", "--fault", "open:dev/x=EIO"}, "the path must be absolute"},
      {{"run", "--fault", "readonly=EIO"}, "EROFS or EACCES"},
      {{"scan", "--fault"}, "--fault needs a value"},
  };
  for (const auto& c : cases) {
    std::string e = errorOf(c.args);
    EXPECT_NE(e.find(c.says), std::string::npos) << "got: '" << e << "' wanted: " << c.says;
  }
}

TEST(Options, BandAndRun) {
  auto b = parseOptions({"band", "--satellite", "192", "--pol", "H", "--from", "10700", "--to", "10800",
                         "--step", "2", "--sr", "2000", "--csv", "a.csv", "--png", "a.png"});
  EXPECT_EQ(b.command, app::Command::Band);
  EXPECT_TRUE(b.band.satelliteGiven);
  EXPECT_EQ(b.band.satellite, 192);
  EXPECT_EQ(b.band.stepMHz, 2);
  EXPECT_EQ(b.band.csv, "a.csv");
  auto r = parseOptions({"run", "--keys", "ok exit", "--screenshot", "s.png"});
  EXPECT_EQ(r.command, app::Command::Run);
  EXPECT_TRUE(r.run.keysGiven);
  EXPECT_EQ(r.run.keys, "ok exit");
  EXPECT_EQ(r.run.screenshot, "s.png");
}

namespace {

// The options the parser knows for a command, as its error for an unknown one lists them.
std::vector<std::string> acceptedBy(const std::string& command) {
  std::string e = errorOf({command, "--no-such-option"});
  auto at = e.find("known:");
  std::vector<std::string> names;
  if (at == std::string::npos) return names;
  std::string rest = e.substr(at + 6), word;
  for (char c : rest + " ") {
    if (c == ' ') {
      if (!word.empty()) names.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return names;
}

// The help's part for a command: from "  run " to the next command's line.
std::string helpOf(const std::string& command) {
  std::string u = app::usageText();
  auto from = u.find("\n  " + command + " ");
  if (from == std::string::npos) return "";
  auto end = u.find("\nExit status", from);
  std::string block = u.substr(from, (end == std::string::npos ? u.size() : end) - from);
  for (const char* other : {"\n  run ", "\n  band ", "\n  scan "})
    if (("\n  " + command + " ") != other)
      if (auto cut = block.find(other); cut != std::string::npos) block = block.substr(0, cut);
  return block;
}

}  // namespace

TEST(Options, HelpListsEveryOptionTheParserAcceptsWithDefaultAndRange) {
  for (auto [name, cmd] : {std::pair<const char*, app::Command>{"run", app::Command::Run},
                           {"band", app::Command::Band}, {"scan", app::Command::Scan}}) {
    std::vector<std::string> accepted = acceptedBy(name);
    ASSERT_FALSE(accepted.empty()) << name;
    std::string help = helpOf(name);
    ASSERT_FALSE(help.empty()) << name;
    auto table = app::optionTable(cmd);
    EXPECT_EQ(table.size(), accepted.size()) << name;
    std::string common = app::usageText().substr(app::usageText().find("Options of every command:"));
    for (const auto& option : accepted) {
      // Listed at the start of a line of this command's block (or of the common
      // options), not only in a sentence.
      bool own = help.find("\n    " + option + " ") != std::string::npos;
      bool shared = common.find("\n    " + option + " ") != std::string::npos;
      EXPECT_TRUE(own || shared) << name << " " << option << "\n" << help;
    }
    for (const auto& row : table) {
      bool flag = row.value.empty();
      EXPECT_TRUE(row.help.find("default") != std::string::npos) << name << " " << row.name << ": " << row.help;
      if (!flag) {
        EXPECT_NE((row.common ? common : help).find(row.name + " " + row.value), std::string::npos) << row.name;
      }
    }
  }
  std::string u = app::usageText();
  for (const char* part : {"Exit status", "130", "Backspace", "F1-F4", "s = numbered screenshot",
                           "scrutafasci-emu.log"})
    EXPECT_NE(u.find(part), std::string::npos) << part;
}

TEST(Options, BandSatelliteIsOptionalInHelpAndParser) {
  auto b = parseOptions({"band"});
  EXPECT_FALSE(b.band.satelliteGiven);
  EXPECT_NE(helpOf("band").find("default: where the scenario's receiver is tuned"), std::string::npos);
}

TEST(Options, ReadmeCarriesTheHelpAsPrinted) {
  std::ifstream f(std::string(SCRUTA_SOURCE_DIR) + "/README.md");
  std::stringstream readme;
  readme << f.rdbuf();
  EXPECT_NE(readme.str().find("```\n" + app::usageText() + "```\n"), std::string::npos)
      << "README.md must hold the output of `scrutafasci-emu help` in one code block";
}

TEST(Options, FaultRulesAreRepeatableOnEveryCommand) {
  auto s = parseOptions({"scan", "--fault", "sec", "--fault=request:FE_READ_STATUS@3x2=ETIMEDOUT"});
  EXPECT_EQ(s.scan.box.faults, (std::vector<std::string>{"sec", "request:FE_READ_STATUS@3x2=ETIMEDOUT"}));
  auto b = parseOptions({"band", "--fault", "open:/dev/dvb/card0/sec0=ENOENT"});
  EXPECT_EQ(b.band.box.faults, (std::vector<std::string>{"open:/dev/dvb/card0/sec0=ENOENT"}));
  auto r = parseOptions({"run", "--fault", "readonly", "--fault", "kill:/var/tuxbox/plugins/scrutafasci.sr@2"});
  EXPECT_EQ(r.run.box.faults.size(), 2u);
  EXPECT_TRUE(parseOptions({"scan"}).scan.box.faults.empty());
}
