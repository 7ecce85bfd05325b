// The truth against real scans: every carrier a scan hands over must be one the
// truth calls lockable, for every search type (short ranges keep them quick).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "emu_process.h"

namespace {

// Runs one scan in root and returns its report.
nlohmann::json scan(const std::string& home, const std::string& root, std::vector<std::string> extra) {
  std::string report = root + ".json";
  std::vector<std::string> args = {"scan", "--root", root, "--quiet", "--report", report, "--max-wall-time", "240"};
  args.insert(args.end(), extra.begin(), extra.end());
  auto r = apptest::runEmu(args, home, 300);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  return nlohmann::json::parse(apptest::readFile(report));
}

}  // namespace

TEST(TruthEndToEnd, EveryCarrierHandedOverIsLockableInEverySearch) {
  std::string home = apptest::makeTempDir("truth");
  struct Case {
    const char* what;
    std::vector<std::string> args;
  } cases[] = {
      // Standard first: it writes the known rates the search by symbol rate needs.
      {"standard", {"--from", "11700", "--to", "11880"}},
      {"standard with a rate range", {"--from", "12500", "--to", "12640", "--sr-from", "21990", "--sr-to", "22010",
                                      "--sr-step", "5"}},
      {"sr", {"--search", "sr", "--from", "11700", "--to", "11880"}},
      {"agc", {"--search", "agc", "--from", "12500", "--to", "12640", "--sr-from", "20000", "--sr-to", "28000"}},
  };
  for (const auto& c : cases) {
    auto j = scan(home, home + "/root", c.args);
    const auto& t = j["truth"];
    int found = 0;
    for (const auto& x : t["in_range"]) {
      if (x.contains("handed_over_at_khz")) {
        ++found;
        EXPECT_TRUE(x["lockable"].get<bool>()) << c.what << ": handed over but not lockable: " << x.dump();
      }
      if (x["lockable"].get<bool>() && !x.contains("handed_over_at_khz")) {
        EXPECT_TRUE(x.contains("reason")) << c.what << ": a miss without its reason: " << x.dump();
      }
    }
    EXPECT_GT(found, 0) << c.what << ": nothing handed over, nothing checked";
    EXPECT_EQ(t["counts"]["found_not_lockable"], 0) << c.what;
    EXPECT_EQ(t["counts"]["false_handovers"], 0) << c.what;
  }
  apptest::removeTree(home);
}
