// What a scan says before it runs: settings the band cannot hold, paths that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "emu_process.h"
#include "emulator/app/prescan.h"
#include "emulator/app/progress.h"
#include "emulator/app/summary.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\n";
  return s;
}

}  // namespace

TEST(Prescan, ReachableRangeFollowsTheLnbAndTheIfWindow) {
  emu::Lnb universal;   // 9750 / 10600 MHz
  app::MhzRange r = app::reachableMHz(universal, 950000, 2150000);
  EXPECT_EQ(r.from, 10700);
  EXPECT_EQ(r.to, 12750);
  emu::Lnb other;
  other.lof_low_khz = 9750000;
  other.lof_high_khz = 10750000;
  other.threshold_khz = 11700000;
  r = app::reachableMHz(other, 950000, 2150000);
  EXPECT_EQ(r.from, 10700);
  EXPECT_EQ(r.to, 12900);
  r = app::reachableMHz(universal, 1000000, 2000000);
  EXPECT_EQ(r.from, 10750);
  EXPECT_EQ(r.to, 12600);
}

TEST(Prescan, EachSettingTheBandCannotHoldIsWarnedAboutAlone) {
  const app::MhzRange reach{10700, 12750};
  struct Case {
    const char* what;
    int from, to, step, srFrom, srTo, srStep;
    std::vector<const char*> says;
  } cases[] = {
      {"the defaults", 10700, 12750, 3, 27500, 27500, 1, {}},
      {"a range inside", 11700, 11800, 3, 2000, 30000, 1, {}},
      {"the range above the band", 99999, 99999, 3, 27500, 27500, 1, {"wholly outside the 10700-12750 MHz"}},
      {"the range below the band", 0, 10000, 3, 27500, 27500, 1, {"wholly outside"}},
      {"one edge beyond", 12000, 13000, 3, 27500, 27500, 1, {"partly outside"}},
      {"inverted frequencies", 11800, 11700, 3, 27500, 27500, 1, {"frequency range is inverted"}},
      {"inverted symbol rates", 11700, 11800, 3, 30000, 2000, 1, {"symbol-rate range is inverted"}},
      {"step 0", 11700, 11800, 0, 27500, 27500, 1, {"--step 0"}},
      {"sr step 0 with a sweep", 11700, 11800, 3, 2000, 30000, 0, {"--sr-step 0"}},
      {"sr step 0 without a sweep", 11700, 11800, 3, 27500, 27500, 0, {}},
      {"everything at once", 99999, 0, 0, 9, 1, 1,
       {"frequency range is inverted", "partly outside", "symbol-rate range is inverted", "--step 0"}},
  };
  for (const auto& c : cases) {
    app::ScanSettings s;
    s.fromMHz = c.from;
    s.toMHz = c.to;
    s.stepMHz = c.step;
    s.srFrom = c.srFrom;
    s.srTo = c.srTo;
    s.srStep = c.srStep;
    auto w = app::scanWarnings(s, reach);
    EXPECT_EQ(w.size(), c.says.size()) << c.what << ":\n" << joined(w);
    for (const char* part : c.says) EXPECT_TRUE(has(joined(w), part)) << c.what << ": " << part << "\n" << joined(w);
    for (const auto& line : w) EXPECT_TRUE(has(line, "expect") || has(line, "stop it")) << line;
  }
}

TEST(Prescan, UnwritablePathsNameTheSystemsReason) {
  std::string dir = apptest::makeTempDir("prescan");
  std::string file = dir + "/plain";
  apptest::writeFile(file, "x");
  EXPECT_EQ(app::fileWriteProblem(dir + "/r.json"), "");
  EXPECT_EQ(app::folderWriteProblem(dir + "/new/shots"), "");
  struct stat st {};
  EXPECT_EQ(stat((dir + "/new/shots").c_str(), &st), 0) << "the folder is made";
  EXPECT_TRUE(has(app::fileWriteProblem(dir + "/missing/r.json"), "No such file or directory"));
  EXPECT_TRUE(has(app::fileWriteProblem(file + "/r.json"), "Not a directory"));
  EXPECT_TRUE(has(app::fileWriteProblem(dir), "folder"));
  EXPECT_TRUE(has(app::folderWriteProblem(file + "/shots"), "Not a directory"));
  EXPECT_TRUE(has(app::folderWriteProblem(file + "/shots"), file)) << "names the part in the way";
  EXPECT_TRUE(has(app::folderWriteProblem(file), "Not a directory"));
  apptest::removeTree(dir);
}

TEST(ProgressLine, FitsEveryTerminalFrom60ColumnsAndGivesWayBelow) {
  app::ProgressInfo p;
  p.percent = 100;
  p.freqMHz = 12750;
  p.handOvers = 123;
  p.services = 4567;
  p.boxTimeS = 3 * 3600 + 59;
  p.wallTimeS = 25 * 60;
  p.status = "Scansione in corso...... (red to skip, exit to stop)";
  for (int cols = 20; cols <= 200; ++cols) {
    std::string line = app::Progress::fittedLine(p, cols);
    if (cols < app::Progress::kMinColumns) {
      EXPECT_EQ(line, "") << cols;
      continue;
    }
    ASSERT_FALSE(line.empty()) << cols;
    EXPECT_LT(app::textWidth(line), static_cast<size_t>(cols)) << cols << ": " << line;
    EXPECT_TRUE(has(line, "12750 MHz")) << line;
    EXPECT_TRUE(has(line, "100%")) << line;
  }
  EXPECT_TRUE(has(app::Progress::fittedLine(p, 160), "Scansione in corso")) << "room for the status line";
}
