#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "emulator/app/truth.h"

using app::computeTruth;
using app::HandOver;
using app::ScanSettings;

namespace {

emu::Carrier carrier(uint32_t khz, emu::Polarisation pol, uint32_t sr, double esno, int fec = 3,
                     emu::DeliverySystem sys = emu::DeliverySystem::DvbS) {
  emu::Carrier c;
  c.frequency_khz = khz;
  c.polarisation = pol;
  c.symbol_rate = sr;
  c.esno_db = esno;
  c.fec = fec;
  c.system = sys;
  return c;
}

emu::Satellite band() {
  emu::Satellite s;
  s.orbital_position = 192;
  s.name = "Astra";
  auto H = emu::Polarisation::Horizontal;
  s.carriers = {
      carrier(10744000, H, 27500000, 12),                                 // 0 lockable
      carrier(10773000, H, 22000000, 12),                                 // 1 wrong rate
      carrier(10788000, H, 27500000, 5.0),                                // 2 too weak
      carrier(10803000, H, 27500000, 12, 3, emu::DeliverySystem::DvbS2),  // 3 S2
      carrier(10818000, emu::Polarisation::Vertical, 27500000, 12),       // 4 other pol
      carrier(12800000, H, 27500000, 12),                                 // 5 above the range
  };
  return s;
}

HandOver at(uint32_t khz, int sr = 27500) {
  HandOver h;
  h.freqKhz = khz;
  h.srKsps = sr;
  h.polarisation = 0;
  h.orbitalPosition = 192;
  return h;
}

}  // namespace

TEST(Truth, StandardSearchAtTheInitialSettings) {
  emu::Satellite sat = band();
  ScanSettings s;
  auto t = computeTruth(sat, s, {}, {at(10744000), at(10745000), at(11000000)});
  ASSERT_EQ(t.inRange.size(), 3u);  // 0, 1, 2
  EXPECT_EQ(t.dvbs2InRange, 1);
  EXPECT_EQ(t.lockable, 1);
  EXPECT_TRUE(t.inRange[0].lockable) << t.inRange[0].why;
  EXPECT_FALSE(t.inRange[1].lockable);
  EXPECT_FALSE(t.inRange[2].lockable);
  EXPECT_EQ(t.found, 1);
  EXPECT_EQ(t.inRange[0].foundBy, 0);
  EXPECT_EQ(t.missed, 0);
  EXPECT_DOUBLE_EQ(t.recall, 1.0);
  ASSERT_EQ(t.falseHandOvers.size(), 1u);
  EXPECT_EQ(t.falseHandOvers[0], 2);
  ASSERT_EQ(t.repeatHandOvers.size(), 1u);
  EXPECT_EQ(t.repeatHandOvers[0], 1);
  EXPECT_NE(t.rule.find("240 ppm"), std::string::npos);
}

TEST(Truth, NothingHandedOverMissesTheLockable) {
  emu::Satellite sat = band();
  auto t = computeTruth(sat, ScanSettings{}, {}, {});
  EXPECT_EQ(t.lockable, 1);
  EXPECT_EQ(t.missed, 1);
  EXPECT_DOUBLE_EQ(t.recall, 0.0);
}

TEST(Truth, RateRangeThresholdAndStepDecide) {
  emu::Satellite sat = band();
  struct Case {
    int srFrom, srTo, srStep, threshold, step;
    int lockable;
  } cases[] = {
      {22000, 27500, 5500, 53, 3, 2},   // both rates tried
      {22000, 27500, 6000, 53, 3, 1},   // only 22000
      {27500, 22000, 1, 53, 3, 1},      // start above end: only the start
      {27500, 27500, 1, 99, 3, 0},      // no locked SNR reaches 99 %
      {27500, 27500, 1, 53, 0, 0},      // step 0 probes nothing
  };
  for (const auto& c : cases) {
    ScanSettings s;
    s.srFrom = c.srFrom;
    s.srTo = c.srTo;
    s.srStep = c.srStep;
    s.threshold = c.threshold;
    s.stepMHz = c.step;
    auto t = computeTruth(sat, s, {}, {});
    EXPECT_EQ(t.lockable, c.lockable) << c.srFrom << "-" << c.srTo << "/" << c.srStep << " thr " << c.threshold;
  }
}

TEST(Truth, TheLnbErrorMovesWhereCarriersAreCaught) {
  emu::Satellite sat;
  sat.orbital_position = 130;
  sat.carriers = {carrier(10719000, emu::Polarisation::Horizontal, 2000000, 12)};  // capture 240 kHz
  ScanSettings s;
  s.srFrom = s.srTo = 2000;
  s.stepMHz = 1;
  auto none = computeTruth(sat, s, {}, {});
  EXPECT_EQ(none.lockable, 1);
  app::LockModel m;
  m.loErrorKhz = [](uint32_t) { return 500.0; };
  auto shifted = computeTruth(sat, s, {}, {}, m);
  EXPECT_EQ(shifted.lockable, 0);
}

TEST(Truth, DeductiveSearchesNeedAPlateauAndARate) {
  auto H = emu::Polarisation::Horizontal;
  emu::Satellite sat;
  sat.orbital_position = 192;
  sat.carriers = {carrier(11000000, H, 27500000, 12), carrier(11100000, H, 3000000, 12),
                  carrier(11200000, H, 22000000, 12)};
  ScanSettings s;
  s.search = app::SearchType::BySymbolRate;
  auto bySr = computeTruth(sat, s, {27500}, {});
  EXPECT_EQ(bySr.lockable, 1);
  EXPECT_TRUE(bySr.inRange[0].lockable);
  EXPECT_NE(bySr.inRange[1].why.find("narrow"), std::string::npos);
  s.search = app::SearchType::ByAgc;
  s.srFrom = 20000;
  s.srTo = 25000;
  auto byAgc = computeTruth(sat, s, {27500}, {});
  EXPECT_EQ(byAgc.lockable, 1);
  EXPECT_TRUE(byAgc.inRange[2].lockable) << byAgc.inRange[2].why;
}

TEST(Truth, LockedSnrFollowsTheNoiseIndicator) {
  EXPECT_NEAR(app::lockedSnrPercent(12), 90, 1.5);
  EXPECT_NEAR(app::lockedSnrPercent(6), 77, 2);
  EXPECT_GT(app::lockedSnrPercent(20), app::lockedSnrPercent(10));
}

TEST(Truth, KnownRatesAreReadAsThePlugInReadsThem) {
  std::string path = ::testing::TempDir() + "known_rates.sr";
  {
    std::ofstream f(path);
    f << "27500\n1000\n45000\n1001\n44999\n22000 27500\nabc\n\n";
  }
  auto r = app::readKnownRates(path);
  std::remove(path.c_str());
  EXPECT_EQ(r, (std::vector<int>{27500, 1001, 44999, 22000}));
  EXPECT_TRUE(app::readKnownRates("/nonexistent.sr").empty());
}
