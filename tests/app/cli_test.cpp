// The command line's errors, as a user meets them: the built program run as a child.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "emu_process.h"

using apptest::runEmu;

namespace {

class Cli : public ::testing::Test {
protected:
  void SetUp() override {
    home = apptest::makeTempDir("cli");
    root = home + "/root";
    realBoxBefore = stat("/var/tuxbox", &st) == 0;
  }
  void TearDown() override {
    struct stat now {};
    // Nothing of the box may reach the machine's own /var/tuxbox.
    EXPECT_EQ(stat("/var/tuxbox", &now) == 0, realBoxBefore);
    apptest::removeTree(home);
  }
  std::string home, root;
  bool realBoxBefore = false;
  struct stat st {};
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_F(Cli, BadOptionsAreRefusedWithStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{}, "no command given"},
      {{"scan", "--bogus"}, "unknown option --bogus for 'scan'"},
      {{"scan", "--from", "abc"}, "--from needs a whole number"},
      {{"scan", "--search", "fast"}, "standard, sr or agc"},
      {{"band", "--pol", "L"}, "H or V"},
      {{"launch"}, "unknown command 'launch'"},
  };
  for (const auto& c : cases) {
    auto r = runEmu(c.args, home);
    EXPECT_EQ(r.status, 2) << c.says << "\n" << r.err;
    EXPECT_TRUE(has(r.err, c.says)) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST_F(Cli, UnknownKeyIsRefusedWithTheKeyList) {
  auto r = runEmu({"run", "--root", root, "--keys", "down ok enter"}, home);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(has(r.err, "unknown key 'enter'")) << r.err;
  EXPECT_TRUE(has(r.err, "0 1 2 3 4 5 6 7 8 9 up down left right ok exit red green yellow blue menu")) << r.err;
}

TEST_F(Cli, BadScenarioNamesFileAndReason) {
  std::string bad = home + "/bad.toml";
  apptest::writeFile(bad, "[[satellite]\nname = \n");
  struct Case {
    std::vector<std::string> args;
  } cases[] = {
      {{"scan", "--root", root, "--scenario", bad}},
      {{"band", "--root", root, "--scenario", bad}},
      {{"run", "--root", root, "--scenario", bad, "--keys", "exit"}},
      {{"scan", "--root", root, "--scenario", home + "/missing.toml"}},
  };
  for (const auto& c : cases) {
    auto r = runEmu(c.args, home);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(has(r.err, "bad scenario")) << r.err;
    EXPECT_TRUE(has(r.err, home)) << "names the file: " << r.err;
  }
}

TEST_F(Cli, PlugInThatDoesNotLoadIsReported) {
  std::string junk = home + "/junk.so";
  apptest::writeFile(junk, "not an ELF object\n");
  struct Case {
    std::string plugin;
    const char* says;
  } cases[] = {
      {home + "/missing.so", "not found"},
      {junk, "failed to load"},
      {home, "is not a file"},
  };
  for (const auto& c : cases) {
    auto r = runEmu({"scan", "--root", root, "--plugin", c.plugin}, home);
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_TRUE(has(r.err, c.says)) << r.err;
    EXPECT_TRUE(has(r.err, c.plugin)) << r.err;
  }
}

TEST_F(Cli, UnknownSatelliteListsTheScenariosSatellites) {
  auto r = runEmu({"band", "--root", root, "--satellite", "282", "--from", "10700", "--to", "10710"}, home);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(has(r.err, "no satellite at orbital position 282")) << r.err;
  EXPECT_TRUE(has(r.err, "192")) << r.err;
}

TEST_F(Cli, BandPrintsOneLinePerFrequencyAndWritesCsv) {
  std::string csv = home + "/band.csv";
  auto r = runEmu({"band", "--root", root, "--satellite", "192", "--pol", "H", "--from", "10700", "--to", "10720",
                   "--step", "5", "--sr", "27500", "--csv", csv}, home);
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* f : {"10700", "10705", "10710", "10715", "10720"}) EXPECT_TRUE(has(r.out, f)) << r.out;
  std::string text = apptest::readFile(csv);
  EXPECT_EQ(text.rfind("freq_mhz,agc,snr,snr_pct,status,status_bits,lock\n", 0), 0u) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
}

TEST_F(Cli, BandRefusesAnOutputItCannotWriteBeforeItSweeps) {
  std::string dir = home + "/out";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  struct Case {
    const char* option;
    std::string path;
    const char* says;
  } cases[] = {
      {"--csv", home + "/missing/band.csv", "No such file or directory"},
      {"--png", home + "/missing/band.png", "No such file or directory"},
      {"--csv", dir, "is a folder"},
  };
  for (const auto& c : cases) {
    auto r = runEmu({"band", "--root", root, "--from", "10700", "--to", "10720", c.option, c.path}, home);
    EXPECT_EQ(r.status, 2) << c.path << "\n" << r.err;
    EXPECT_TRUE(has(r.err, c.option)) << r.err;
    EXPECT_TRUE(has(r.err, c.says)) << r.err;
    EXPECT_FALSE(has(r.out, "10700 ")) << "swept before refusing:\n" << r.out;
  }
}
