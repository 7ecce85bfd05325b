// One short scan from end to end: the built emulator with the built plug-in on
// the built-in scenario, and its report read back.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "emu_process.h"

namespace {

bool isPng(const std::string& path) {
  std::string s = apptest::readFile(path);
  return s.size() > 8 && s.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
}

int pngWidth(const std::string& path) {
  std::string s = apptest::readFile(path);
  if (s.size() < 24) return 0;
  auto b = [&](size_t i) { return static_cast<int>(static_cast<unsigned char>(s[i])); };
  return b(16) << 24 | b(17) << 16 | b(18) << 8 | b(19);
}

}  // namespace

TEST(ScanEndToEnd, ShortStandardScanFindsTheTunedTransponder) {
  struct stat st {};
  bool realBoxBefore = stat("/var/tuxbox", &st) == 0;
  std::string home = apptest::makeTempDir("e2e");
  std::string root = home + "/root", report = home + "/report.json", shots = home + "/shots";
  // 11836 H at 27500 kS/s is where the built-in receiver is tuned.
  auto r = apptest::runEmu({"scan", "--root", root, "--from", "11820", "--to", "11850", "--quiet", "--report",
                            report, "--screenshots", shots, "--max-wall-time", "240"},
                           home, 300);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Transponders handed over"), std::string::npos) << r.out;

  auto j = nlohmann::json::parse(apptest::readFile(report));
  EXPECT_EQ(j["outcome"], "finished");
  EXPECT_EQ(j["settings"]["from_mhz"], 11820);
  EXPECT_EQ(j["settings"]["to_mhz"], 11850);
  EXPECT_EQ(j["satellite"]["orbital_position"], 192);
  EXPECT_GT(j["box_time_s"].get<double>(), 0);

  bool at11836 = false;
  for (const auto& h : j["handed_over"])
    if (std::abs(h["freq_khz"].get<long>() - 11836000) <= 3300 && h["sr_ksps"] == 27500 && h["pol"] == "H") {
      at11836 = true;
      EXPECT_FALSE(h["services"].empty());
    }
  EXPECT_TRUE(at11836) << j["handed_over"].dump();

  // The services come back from the plug-in's found-channel log.
  ASSERT_FALSE(j["services"].empty());
  bool dasErste = false;
  for (const auto& s : j["services"]) dasErste = dasErste || s["name"] == "Das Erste";
  EXPECT_TRUE(dasErste) << j["services"].dump();
  EXPECT_EQ(j.count("log_lines_not_understood"), 0u);

  const auto& t = j["truth"];
  EXPECT_GE(t["counts"]["lockable"].get<int>(), 1);
  EXPECT_DOUBLE_EQ(t["recall"].get<double>(), 1.0);
  EXPECT_TRUE(t["false_handovers"].empty()) << t["false_handovers"].dump();
  EXPECT_FALSE(t["lockable_rule"].get<std::string>().empty());

  for (const char* f : {"settings.png", "scan.png", "spectrum.png"}) EXPECT_TRUE(isPng(shots + "/" + f)) << f;
  EXPECT_EQ(pngWidth(shots + "/scan.png"), 720);
  // The spectrum is the graph's whole bitmap, one column per MHz of the band.
  EXPECT_GT(pngWidth(shots + "/spectrum.png"), 2000);
  // 10 700 to 12 970 MHz and not a column more: the graph's blank right margin is left out.
  EXPECT_EQ(pngWidth(shots + "/spectrum.png"), 12970 - 10700 + 1);
  // The plug-in's files went into the box root, not into the machine's /var/tuxbox.
  EXPECT_TRUE(stat((root + "/var/tuxbox/plugins/scrutafasci.scan").c_str(), &st) == 0);
  EXPECT_TRUE(stat((root + "/var/tuxbox/plugins/scrutafasci.conf").c_str(), &st) == 0);
  EXPECT_EQ(stat("/var/tuxbox", &st) == 0, realBoxBefore);
  apptest::removeTree(home);
}

TEST(RunEndToEnd, KeyScriptDrivesTheSettingsWindowAndWritesScreenshots) {
  std::string home = apptest::makeTempDir("run");
  std::string root = home + "/root";
  struct Case {
    std::vector<std::string> extra;
    std::string input;
  } cases[] = {
      {{"--keys", "right until:\"by SymbolRate\":30 shot:" + home + "/mark.png shot exit"}, ""},
      {{}, "right until:'by SymbolRate':30 shot:" + home + "/mark.png shot exit\n"},   // the script on stdin
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"run", "--root", root, "--screenshot", home + "/exit.png"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    auto r = apptest::runEmu(args, home, 120, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(isPng(home + "/mark.png"));
    EXPECT_TRUE(isPng(home + "/exit.png"));
    std::remove((home + "/mark.png").c_str());
    std::remove((home + "/exit.png").c_str());
  }
  // A text that never shows is waited for within its bound, then reported.
  auto r = apptest::runEmu({"run", "--root", root, "--keys", "until:\"no such text\":1"}, home, 120);
  EXPECT_EQ(r.status, 5) << r.err;
  EXPECT_NE(r.err.find("\"no such text\" did not appear on screen within 1 s"), std::string::npos) << r.err;
  apptest::removeTree(home);
}

TEST(ScanEndToEnd, SettingsThePlugInRefusesEndWithStatusSixAndAHint) {
  std::string home = apptest::makeTempDir("refuse");
  struct Case {
    std::vector<std::string> args;
    const char* plugInSays;
    const char* hint;
  } cases[] = {
      {{"--search", "agc"}, "Impossibile effettuare la ricerca Euristica o 'by AGC'", "give --sr-from and --sr-to"},
      {{"--search", "sr"}, "Impossibile effettuare la ricerca 'by SymbolRate'", "run a standard scan"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"scan", "--root", home + "/root", "--quiet", "--report", home + "/r.json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = apptest::runEmu(args, home, 120);
    EXPECT_EQ(r.status, 6) << r.out << r.err;
    EXPECT_NE(r.err.find(c.plugInSays), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.hint), std::string::npos) << r.err;
    auto j = nlohmann::json::parse(apptest::readFile(home + "/r.json"));
    EXPECT_NE(j["outcome"].get<std::string>().find("refused"), std::string::npos);
    EXPECT_TRUE(j["handed_over"].empty());
  }
  apptest::removeTree(home);
}

TEST(ScanEndToEnd, ScanOutOfBoxTimeIsStoppedAndReported) {
  std::string home = apptest::makeTempDir("bound");
  auto r = apptest::runEmu({"scan", "--root", home + "/root", "--quiet", "--from", "10700", "--to", "12750",
                            "--max-box-time", "5", "--report", home + "/r.json"},
                           home, 300);
  EXPECT_EQ(r.status, 5) << r.out << r.err;
  EXPECT_NE(r.err.find("did not end within 5 s of box time"), std::string::npos) << r.err;
  auto j = nlohmann::json::parse(apptest::readFile(home + "/r.json"));
  EXPECT_NE(j["outcome"].get<std::string>().find("did not end"), std::string::npos);
  // Stopped early: the whole band takes more than 300 s of box time.
  EXPECT_LT(j["box_time_s"].get<double>(), 150);
  apptest::removeTree(home);
}
