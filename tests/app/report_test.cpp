#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "emulator/app/progress.h"
#include "emulator/app/report.h"

TEST(Report, HoldsTheScanTheHandOversAndTheTruth) {
  emu::Satellite sat;
  sat.orbital_position = 192;
  emu::Carrier c;
  c.frequency_khz = 10744000;
  c.symbol_rate = 27500000;
  c.esno_db = 12;
  c.fec = 3;
  sat.carriers = {c};
  app::ScanResult r;
  r.scenarioName = "builtin";
  r.orbitalPosition = 192;
  r.outcome = "finished";
  r.boxTimeS = 12.25;
  r.wallTimeS = 0.5;
  app::HandOver h;
  h.freqKhz = 10744000;
  h.srKsps = 27500;
  h.orbitalPosition = 192;
  h.services.push_back({"Das Erste", "ARD", 1, true});
  h.services.push_back({"Bad \xff name", "X", 2, false});
  r.handOvers = {h};
  r.log = app::parseFoundLog("[NT] Das Erste | ARD\n[OR] Bad \xff name | X\n");
  r.truth = app::computeTruth(sat, r.settings, {}, r.handOvers);

  auto j = nlohmann::json::parse(app::reportJson(r));
  EXPECT_EQ(j["scenario"]["name"], "builtin");
  EXPECT_EQ(j["settings"]["search"], "standard");
  EXPECT_EQ(j["settings"]["from_mhz"], 10700);
  EXPECT_DOUBLE_EQ(j["box_time_s"].get<double>(), 12.25);
  ASSERT_EQ(j["handed_over"].size(), 1u);
  EXPECT_EQ(j["handed_over"][0]["freq_khz"], 10744000);
  EXPECT_EQ(j["handed_over"][0]["pol"], "H");
  EXPECT_EQ(j["handed_over"][0]["services"][0]["class"], "tv");
  ASSERT_EQ(j["services"].size(), 2u);
  EXPECT_EQ(j["services"][1]["class"], "radio");
  EXPECT_EQ(j["services"][1]["new"], false);
  EXPECT_EQ(j["truth"]["counts"]["lockable"], 1);
  EXPECT_EQ(j["truth"]["counts"]["found"], 1);
  EXPECT_DOUBLE_EQ(j["truth"]["recall"].get<double>(), 1.0);
  EXPECT_EQ(j["truth"]["found"][0]["handed_over_at_khz"], 10744000);
  EXPECT_TRUE(j["truth"]["false_handovers"].empty());
  EXPECT_FALSE(j["truth"]["lockable_rule"].get<std::string>().empty());
}

TEST(Report, ServiceClassesFollowTheServiceType) {
  struct Case { int type; const char* cls; } cases[] = {
      {1, "tv"}, {4, "tv"}, {2, "radio"}, {3, "other"}, {5, "other"}, {6, "other"},
      {0, "data"}, {12, "data"}, {0x19, "data"}, {-1, "data"}};
  for (const auto& c : cases) EXPECT_EQ(app::serviceClassOf(c.type), c.cls) << c.type;
}

TEST(Progress, LinesCarryWhatTheUserWatches) {
  app::ProgressInfo p;
  p.freqMHz = 11362;
  p.percent = 32;
  p.handOvers = 4;
  p.services = 57;
  p.boxTimeS = 3725;
  p.wallTimeS = 12.4;
  std::string bar = app::Progress::barLine(p, 10);
  // Single blanks between the fields: the whole line fits a 60-column terminal.
  EXPECT_EQ(bar.rfind("[###-------]  32% 11362 MHz TP 4 svc 57 box 1:02:05 wall 0:12", 0), 0u) << bar;
  std::string plain = app::Progress::plainLine(p);
  EXPECT_NE(plain.find("transponders 4  services 57"), std::string::npos) << plain;
  p.percent = 140;
  EXPECT_NE(app::Progress::barLine(p, 10).find("[##########] 100%"), std::string::npos);
}
