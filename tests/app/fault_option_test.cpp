// --fault and the scenario's faults reach the box: the band sweep and the scan meet
// the failing devices, and say so.
#include <gtest/gtest.h>

#include "emu_process.h"

namespace {

class FaultOption : public ::testing::Test {
protected:
  void SetUp() override { home_ = apptest::makeTempDir("fault"); }
  void TearDown() override { apptest::removeTree(home_); }
  std::string home_;
};

TEST_F(FaultOption, BandMeetsAFrontendThatCannotBeOpened) {
  auto r = apptest::runEmu({"band", "--root", home_ + "/root", "--satellite", "192", "--from", "11830", "--to", "11840",
                            "--fault", "open:/dev/dvb/card0/frontend0=ENODEV"},
                           home_);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("cannot open /dev/dvb/card0/frontend0: No such device"), std::string::npos) << r.out << r.err;
  auto ok = apptest::runEmu({"band", "--root", home_ + "/root", "--satellite", "192", "--from", "11830", "--to", "11840"},
                            home_);
  EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
}

TEST_F(FaultOption, ScanIsRefusedWhenTheFrontendParametersCannotBeRead) {
  // The scenario's rule and the command line's both apply.
  std::string scenario = apptest::readFile(std::string(SCRUTA_SOURCE_DIR) + "/scenarios/builtin.toml");
  std::string lists = std::string(SCRUTA_SOURCE_DIR) + "/scenarios/lists/";
  for (size_t at; (at = scenario.find("\"lists/")) != std::string::npos;) scenario.replace(at, 7, "\"" + lists);
  scenario.insert(scenario.find("[rf]"), "faults = [\"request:FE_GET_FRONTEND@1x0\"]\n");
  apptest::writeFile(home_ + "/s.toml", scenario);
  auto r = apptest::runEmu({"scan", "--scenario", home_ + "/s.toml", "--root", home_ + "/root", "--from", "11820",
                            "--to", "11850", "--quiet", "--fault", "sec"},
                           home_, 120);
  EXPECT_NE(r.status, 0);
  EXPECT_NE((r.out + r.err).find("Impossibile avviare la scansione a causa di un errore!"), std::string::npos)
      << r.out << r.err;
  EXPECT_NE(apptest::readFile(home_ + "/root/scrutafasci-emu.log").find("ERRORE GET FRONTEND"), std::string::npos);
}

TEST_F(FaultOption, ABadRuleIsAUsageError) {
  auto r = apptest::runEmu({"band", "--satellite", "192", "--fault", "request:FE_SET_FRONTEND@0"}, home_);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad call number after @"), std::string::npos) << r.err;
}

}  // namespace
