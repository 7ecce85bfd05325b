#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "emulator/app/progress.h"
#include "emulator/app/report.h"
#include "emulator/tuner/clock.h"
#include "emulator/tuner/tuner.h"

TEST(Report, HoldsTheScanTheHandOversAndTheTruth) {
  emu::Scenario sc;
  sc.lo_error_khz_max = 0;
  sc.satellites.emplace_back();
  emu::Satellite& sat = sc.satellites.back();
  sat.orbital_position = 192;
  emu::Carrier c;
  c.frequency_khz = 10744000;
  c.symbol_rate = 27500000;
  c.esno_db = 12;
  c.fec = 3;
  emu::Carrier missed = c;
  missed.frequency_khz = 10900000;
  sat.carriers = {c, missed};
  emu::VirtualClock clock;
  emu::Knobs knobs;
  emu::Tuner tuner(clock, knobs);
  tuner.reset(&sc);
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
  r.truth = app::computeTruth(sat, r.settings, {}, r.handOvers, app::tunerOracle(tuner, sc, 192));
  r.used = app::usedSettings(r.settings, {}, {});

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
  EXPECT_EQ(j["settings"]["used"]["sr_tried_ksps"], nlohmann::json::array({27500}));
  EXPECT_EQ(j["settings"]["used"]["frequency_step_mhz"], 3);
  EXPECT_EQ(j["truth"]["counts"]["lockable"], 2);
  EXPECT_EQ(j["truth"]["counts"]["found"], 1);
  EXPECT_DOUBLE_EQ(j["truth"]["recall"].get<double>(), 0.5);
  ASSERT_EQ(j["truth"]["missed"].size(), 1u);
  EXPECT_EQ(j["truth"]["missed"][0]["reason"], "not-in-capture");   // nothing was tried near it
  EXPECT_EQ(j["truth"]["missed_by_reason"]["not-in-capture"], 1);
  EXPECT_EQ(j["truth"]["found"][0]["handed_over_at_khz"], 10744000);
  EXPECT_TRUE(j["truth"]["false_handovers"].empty());
  EXPECT_FALSE(j["truth"]["lockable_rule"].get<std::string>().empty());
}

// The report of a search by AGC says which rates its sweeps set and by which steps.
TEST(Report, UsedSettingsOfTheSearchByAgcComeFromItsSweeps) {
  app::ScanSettings s;
  s.search = app::SearchType::ByAgc;
  s.srFrom = 20000;
  s.srTo = 23000;
  std::vector<emu::AttemptRecord> attempts;
  auto set = [&](double khz, double ksps, int agcReads = 0) {
    emu::AttemptRecord a;
    a.nominal_khz = a.rf_khz = khz;
    a.programmed_sr = ksps * 1000;
    a.agc_reads = agcReads;
    attempts.push_back(a);
  };
  set(11000000, 2000, 4);   // the AGC walk
  set(11001000, 2000, 4);
  set(11000000, 22000);     // a known rate at the centre
  // Sweep: 20000, rising test at 20300, step 50; 20050, 20350; then steps of 15 without the test.
  set(11000000, 20000);
  set(11000000, 20300);
  set(11000000, 20050);
  set(11000000, 20350);
  set(11000000, 20100);
  set(11000000, 20115);
  emu::AttemptRecord host;
  host.host = true;
  attempts.push_back(host);
  app::UsedSettings u = app::usedSettings(s, {22000, 27500}, attempts);
  EXPECT_EQ(u.frequencyStepMHz, 1);
  EXPECT_EQ(u.probeSrKsps, 2000);
  EXPECT_EQ(u.knownRatesKsps, std::vector<int>{22000});
  EXPECT_EQ(u.sweptFromKsps, 20000);
  EXPECT_EQ(u.sweptToKsps, 20115);
  EXPECT_EQ(u.sweepStepsKsps, (std::vector<int>{15, 50}));
  EXPECT_EQ(u.attempts, 9);
  app::ScanResult r;
  r.settings = s;
  r.used = u;
  auto j = nlohmann::json::parse(app::reportJson(r));
  EXPECT_EQ(j["settings"]["sr_from_ksps"], 20000);   // the window's values stay
  EXPECT_EQ(j["settings"]["used"]["swept_sr_ksps"], nlohmann::json::array({20000, 20115}));
  EXPECT_EQ(j["settings"]["used"]["sweep_steps_ksps"], nlohmann::json::array({15, 50}));
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
