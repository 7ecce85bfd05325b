// Said before anything runs: the scan's warnings, output paths that cannot be
// written, and a band sweep out of the tuner's reach.
#include <gtest/gtest.h>

#include "emu_process.h"

using apptest::runEmu;

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

size_t lines(const std::string& text) {
  size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

class BeforeTheRun : public ::testing::Test {
protected:
  void SetUp() override {
    home = apptest::makeTempDir("prescan");
    root = home + "/root";
    apptest::writeFile(home + "/plain", "not a folder");
  }
  void TearDown() override { apptest::removeTree(home); }
  std::string home, root;
};

}  // namespace

TEST_F(BeforeTheRun, UnwritableOutputPathsStopTheScanWithTheSystemsReason) {
  struct Case {
    std::vector<std::string> extra;
    const char* says;
  } cases[] = {
      {{"--report", "/nonexistent-folder/r.json"}, "cannot write the report /nonexistent-folder/r.json: folder "
                                                   "/nonexistent-folder: No such file or directory"},
      {{"--report", "PLAIN/r.json"}, "Not a directory"},
      {{"--screenshots", "PLAIN/shots"}, "cannot write screenshots into"},
      {{"--screenshots", "PLAIN/shots"}, "plain: Not a directory"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"scan", "--root", root};
    for (std::string a : c.extra) {
      if (a.rfind("PLAIN", 0) == 0) a = home + "/plain" + a.substr(5);
      args.push_back(a);
    }
    auto r = runEmu(args, home, 60);
    EXPECT_EQ(r.status, 2) << c.says << "\n" << r.err;
    EXPECT_TRUE(has(r.err, c.says)) << r.err;
    EXPECT_TRUE(r.out.empty()) << "nothing ran: " << r.out;
  }
}

TEST_F(BeforeTheRun, SettingsTheBandCannotHoldAreWarnedAndStillTypedIn) {
  // Above the band: the plug-in still gets 12 760-12 770 MHz; nothing is found.
  auto r = runEmu({"scan", "--root", root, "--from", "12760", "--to", "12770", "--quiet"}, home, 120);
  EXPECT_TRUE(has(r.err, "warning: 12760-12770 MHz lies wholly outside the 10700-12750 MHz")) << r.err;
  EXPECT_TRUE(has(r.out, "12760-12770 MHz")) << "the scan ran with the values as given:\n" << r.out;
  // The warning comes before the scan's first line.
  auto inverted = runEmu({"scan", "--root", root, "--from", "11800", "--to", "11790", "--sr-from", "30000",
                          "--sr-to", "2000", "--quiet"}, home, 120);
  EXPECT_TRUE(has(inverted.err, "frequency range is inverted")) << inverted.err;
  EXPECT_TRUE(has(inverted.err, "symbol-rate range is inverted")) << inverted.err;
  EXPECT_TRUE(has(inverted.out, "11800-11790 MHz")) << inverted.out;
}

TEST_F(BeforeTheRun, BandOutsideTheTunersReachIsOneMessage) {
  auto r = runEmu({"band", "--root", root, "--to", "99999"}, home, 60);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(has(r.err, "10700-99999 MHz lies outside the 10700-12750 MHz")) << r.err;
  EXPECT_EQ(lines(r.err), 1u) << r.err;
  EXPECT_LT(lines(r.out), 3u) << r.out.substr(0, 500);
  auto low = runEmu({"band", "--root", root, "--from", "9000", "--to", "10800"}, home, 60);
  EXPECT_EQ(low.status, 2) << low.err;
  auto inside = runEmu({"band", "--root", root, "--from", "12740", "--to", "12750"}, home, 60);
  EXPECT_EQ(inside.status, 0) << inside.err;
  EXPECT_FALSE(has(inside.out, "tuning refused")) << inside.out;
}

TEST_F(BeforeTheRun, RoutineLinesGoToTheDebugLogForEveryCommand) {
  auto scan = runEmu({"scan", "--root", root, "--from", "11700", "--to", "11710", "--quiet"}, home, 120);
  auto run = runEmu({"run", "--root", root, "--keys", "exit"}, home, 60);
  auto band = runEmu({"band", "--root", root, "--from", "11700", "--to", "11702"}, home, 60);
  for (const auto* r : {&scan, &run, &band}) {
    EXPECT_FALSE(has(r->err, "skin")) << r->err;
    EXPECT_FALSE(has(r->err, "scenario:")) << r->err;
  }
  EXPECT_TRUE(run.err.empty()) << run.err;
  std::string log = apptest::readFile(root + "/scrutafasci-emu.log");
  EXPECT_TRUE(has(log, "skin")) << "the skin's load line is kept in the log";
}
