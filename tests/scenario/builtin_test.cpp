// The built-in scenario: two satellites on two switch ports, real lists, unlisted feeds,
// the receiver watching a listed DVB-S transponder of 19.2E.
#include <gtest/gtest.h>

#include <emulator/scenario/loader.h>

using namespace emu;

class Builtin : public ::testing::Test {
protected:
  static void SetUpTestSuite() { scenario = new Scenario(loadScenario(builtinScenarioPath())); }
  static void TearDownTestSuite() { delete scenario; }
  static Scenario* scenario;
};
Scenario* Builtin::scenario = nullptr;

TEST_F(Builtin, AstraOnPortAAndHotBirdOnPortB) {
  const Satellite* astra = scenario->satelliteAt(192);
  const Satellite* hotbird = scenario->satelliteAt(130);
  ASSERT_TRUE(astra && hotbird);
  EXPECT_EQ(astra->diseqc_port, 0);
  EXPECT_EQ(hotbird->diseqc_port, 1);
  EXPECT_EQ(scenario->satelliteOnPort(0), astra);
  for (const Satellite* s : {astra, hotbird}) {
    EXPECT_EQ(s->lnb.lof_low_khz, 9750000u);
    EXPECT_EQ(s->lnb.lof_high_khz, 10600000u);
    EXPECT_EQ(s->lnb.threshold_khz, 11700000u);
  }
}

TEST_F(Builtin, EachSatelliteHasLowRateFeedsAtOddFrequencies) {
  int total = 0;
  for (const auto& sat : scenario->satellites) {
    int feeds = 0;
    for (const auto& c : sat.carriers) {
      if (c.listed) continue;
      if (c.symbol_rate < 2000000 || c.symbol_rate > 8000000) continue;
      EXPECT_NE(c.frequency_khz % 1000, 0u) << sat.name << " feed at " << c.frequency_khz;
      EXPECT_FALSE(c.services.empty());
      ++feeds;
    }
    EXPECT_GE(feeds, 3) << sat.name;
    total += feeds;
  }
  EXPECT_GE(total, 6);
}

TEST_F(Builtin, TunedToAListedDvbSTransponderOfAstraPlayingOneOfItsServices) {
  ASSERT_TRUE(scenario->isTuned());
  EXPECT_EQ(scenario->tuned.orbital_position, 192);
  const Carrier* c = scenario->satelliteAt(192)->find(scenario->tuned.frequency_khz, scenario->tuned.polarisation, 0);
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->listed);
  EXPECT_EQ(c->system, DeliverySystem::DvbS);
  EXPECT_EQ(c->symbol_rate, scenario->tuned.symbol_rate);
  bool playing = false;
  for (const auto& s : c->services) playing = playing || s.name == scenario->tuned.playing;
  EXPECT_TRUE(playing) << scenario->tuned.playing;
}

TEST_F(Builtin, SomeServicesAreKnownMostAreNew) {
  for (const auto& sat : scenario->satellites) {
    int known = 0, all = 0;
    for (const auto& c : sat.carriers)
      for (const auto& s : c.services) {
        known += s.known;
        ++all;
      }
    EXPECT_GT(known, 0) << sat.name;
    EXPECT_LT(known * 4, all) << sat.name;
  }
}

TEST_F(Builtin, DvbS2CarriersAreMarked) {
  int s2 = 0;
  for (const auto& c : scenario->satelliteAt(192)->carriers) s2 += c.system == DeliverySystem::DvbS2;
  // The 2012 table names 29 DVB-S2 transponders; one feed is DVB-S2 as well.
  EXPECT_EQ(s2, 30);
  // "10729 V 22000 2/3 DVB-S2 8PSK 35"
  const Carrier* c = scenario->satelliteAt(192)->find(10729000, Polarisation::Vertical, 0);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->system, DeliverySystem::DvbS2);
}
