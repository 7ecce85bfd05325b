// The truth asks the tuner model whether a carrier locks; these tests run it
// against a real emu::Tuner over small bands, and feed it scan traces to see
// each reason of a miss come out.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "emulator/app/truth.h"
#include "emulator/tuner/clock.h"
#include "emulator/tuner/knobs.h"
#include "emulator/tuner/tuner.h"

using app::computeTruth;
using app::HandOver;
using app::MissReason;
using app::ScanSettings;
using app::SearchType;

namespace {

constexpr auto H = emu::Polarisation::Horizontal;

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

// A one-satellite box with a real tuner; no LNB error unless asked.
struct Band {
  emu::Scenario sc;
  emu::VirtualClock clock;
  emu::Knobs knobs;
  emu::Tuner tuner{clock, knobs};

  explicit Band(std::vector<emu::Carrier> carriers, double loErrorKhz = 0) {
    emu::Satellite s;
    s.orbital_position = 192;
    s.name = "Test";
    s.carriers = std::move(carriers);
    sc.satellites.push_back(std::move(s));
    sc.lo_error_khz_max = loErrorKhz;
    tuner.reset(&sc);
  }
  const emu::Satellite& sat() const { return sc.satellites.front(); }
  app::LockOracle oracle() const {
    app::LockOracle o = app::tunerOracle(tuner, sc, 192);
    o.freqMarginKhz = sc.lo_error_khz_max + 1000;
    o.rateShare = 2 * knobs.timing_tolerance + 1e-4;
    return o;
  }
  app::Truth truth(const ScanSettings& s, const std::vector<HandOver>& h = {}, const app::ScanTrace& t = {},
                   const std::vector<int>& known = {}) const {
    return computeTruth(sat(), s, known, h, oracle(), t);
  }
};

std::vector<emu::Carrier> astraLike() {
  return {
      carrier(10744000, H, 27500000, 12),                                 // 0 lockable at 27500
      carrier(10773000, H, 22000000, 12),                                 // 1 22000 only
      carrier(10803000, H, 27500000, 5.0),                                // 2 too weak
      carrier(10833000, H, 27500000, 12, 3, emu::DeliverySystem::DvbS2),  // 3 S2
      carrier(10818000, emu::Polarisation::Vertical, 27500000, 12),       // 4 other pol
      carrier(12800000, H, 27500000, 12),                                 // 5 above the range
  };
}

HandOver at(uint32_t khz, int sr = 27500) {
  HandOver h;
  h.freqKhz = khz;
  h.srKsps = sr;
  h.polarisation = 0;
  h.orbitalPosition = 192;
  return h;
}

// What the tuner itself does when the host tunes there: the truth must agree.
bool hostLocks(Band& b, uint32_t khz, uint32_t sps, int carrierIndex) {
  emu::TuneRequest r;
  r.orbital_position = 192;
  r.frequency_khz = khz;
  r.symbol_rate = sps;
  emu::TuneOutcome o = b.tuner.tune(r);
  return o.locked && o.carrier.carrier == carrierIndex;
}

}  // namespace

TEST(Truth, StandardSearchAtTheInitialSettings) {
  Band b(astraLike());
  auto t = b.truth(ScanSettings{}, {at(10744000), at(10745000), at(11000000)});
  ASSERT_EQ(t.inRange.size(), 3u);  // 0, 1, 2
  EXPECT_EQ(t.dvbs2InRange, 1);
  EXPECT_EQ(t.lockable, 1);
  EXPECT_TRUE(t.inRange[0].lockable);
  EXPECT_FALSE(t.inRange[1].lockable);
  EXPECT_NE(t.inRange[1].why.find("outside the rates"), std::string::npos) << t.inRange[1].why;
  EXPECT_FALSE(t.inRange[2].lockable);
  EXPECT_NE(t.inRange[2].why.find("locks it at no setting"), std::string::npos) << t.inRange[2].why;
  EXPECT_EQ(t.found, 1);
  EXPECT_EQ(t.inRange[0].foundBy, 0);
  EXPECT_EQ(t.missed, 0);
  EXPECT_DOUBLE_EQ(t.recall, 1.0);
  ASSERT_EQ(t.falseHandOvers.size(), 1u);
  EXPECT_EQ(t.falseHandOvers[0], 2);
  ASSERT_EQ(t.repeatHandOvers.size(), 1u);
  EXPECT_EQ(t.repeatHandOvers[0], 1);
  EXPECT_TRUE(t.foundNotLockable.empty());
}

TEST(Truth, TheSettingsRateRangeDecides) {
  Band b(astraLike());
  struct Case {
    SearchType search;
    int srFrom, srTo;
    int lockable;
  } cases[] = {
      {SearchType::Standard, 22000, 27500, 2},   // the range holds both rates
      {SearchType::Standard, 27500, 22000, 1},   // start above the end: only the start
      {SearchType::Standard, 22000, 22000, 1},   // no range: the start rate
      {SearchType::ByAgc, 20000, 25000, 1},      // only 22000 in the swept range
      {SearchType::BySymbolRate, 27500, 27500, 2},   // the search's own range: 2000 to 45000
  };
  for (const auto& c : cases) {
    ScanSettings s;
    s.search = c.search;
    s.srFrom = c.srFrom;
    s.srTo = c.srTo;
    auto t = b.truth(s);
    EXPECT_EQ(t.lockable, c.lockable) << app::searchName(c.search) << " " << c.srFrom << "-" << c.srTo;
    for (const auto& tc : t.inRange)
      if (tc.lockable) {
        EXPECT_TRUE(hostLocks(b, tc.lockMHz * 1000u, tc.lockKsps * 1000u, tc.index));
      }
  }
}

// A 22000 kS/s carrier 3 MHz from a 27500 kS/s one: the tuner's interference
// decides, and the truth says what the tuner does.
TEST(Truth, OverlappingCarriersAreJudgedByTheTunerItself) {
  Band b({carrier(11000000, H, 27500000, 12), carrier(11003000, H, 22000000, 12)});
  ScanSettings s;
  s.srFrom = 22000;
  s.srTo = 27500;
  s.srStep = 5500;
  s.stepMHz = 1;
  auto t = b.truth(s);
  ASSERT_EQ(t.inRange.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    const auto& tc = t.inRange[static_cast<size_t>(i)];
    uint32_t sps = b.sat().carriers[static_cast<size_t>(i)].symbol_rate;
    bool anyLock = false;
    for (int f = 10990; f <= 11010; ++f) anyLock = anyLock || hostLocks(b, f * 1000u, sps, i);
    EXPECT_EQ(tc.lockable, anyLock) << "carrier " << i << ": " << tc.why;
  }
  EXPECT_LT(t.lockable, 2);   // they drown each other
}

TEST(Truth, TheLnbErrorIsTheTunersToo) {
  // Capture at 2000 kS/s is 240 kHz: an LNB error of a few hundred kHz decides.
  for (double err : {0.0, 700.0}) {
    Band b({carrier(10719000, H, 2000000, 12)}, err);
    ScanSettings s;
    s.srFrom = s.srTo = 2000;
    s.stepMHz = 1;
    auto t = b.truth(s);
    ASSERT_EQ(t.inRange.size(), 1u);
    bool anyLock = false;
    for (int f = 10715; f <= 10723; ++f) anyLock = anyLock || hostLocks(b, f * 1000u, 2000000, 0);
    EXPECT_EQ(t.inRange[0].lockable, anyLock) << "LNB error bound " << err;
  }
}

namespace {

emu::AttemptRecord attempt(double khz, double sps, int carrierIndex, bool lockable) {
  emu::AttemptRecord a;
  a.rf_khz = a.nominal_khz = khz;
  a.programmed_sr = sps;
  a.candidate = {carrierIndex >= 0 ? 0 : -1, carrierIndex};
  a.in_capture = carrierIndex >= 0;
  a.lockable = lockable;
  return a;
}

// The 2000 kS/s AGC walk of the deductive searches over [from, to] MHz, with the
// readings high over the given spans.
void walk(app::ScanTrace& t, int from, int to, std::vector<std::pair<int, int>> high) {
  for (int f = from; f <= to; ++f) {
    emu::AttemptRecord a = attempt(f * 1000.0, 2e6, -1, false);
    bool up = false;
    for (auto [lo, hi] : high) up = up || (f >= lo && f <= hi);
    a.agc_reads = 4;
    a.agc_sum = 4u * (up ? 65535 : 45000);
    t.attempts.push_back(a);
  }
}

}  // namespace

TEST(Truth, EveryMissGetsItsReasonFromTheTrace) {
  // 0: 27500 at 11000; 1: 27500 at 11060; 2: 4000 at 11110, 3: 4000 at 11114 (one plateau).
  Band b({carrier(11000000, H, 27500000, 12), carrier(11060000, H, 27500000, 12),
          carrier(11110000, H, 4000000, 12), carrier(11114000, H, 4000000, 12)});
  ScanSettings agc;
  agc.search = SearchType::ByAgc;
  agc.fromMHz = 10980;
  agc.toMHz = 11130;
  agc.srFrom = 2000;
  agc.srTo = 30000;
  ScanSettings standard = agc;
  standard.search = SearchType::Standard;
  standard.srFrom = standard.srTo = 27500;

  struct Case {
    const char* what;
    ScanSettings settings;
    std::function<void(app::ScanTrace&)> trace;
    int carrier;
    MissReason reason;
    const char* detail = "";   // what the reason adds from the trace
  } cases[] = {
      {"stopped before it", standard,
       [](app::ScanTrace& t) {
         t.finished = false;
         t.attempts.push_back(attempt(11030000, 27.5e6, -1, false));
       },
       1, MissReason::ScanStopped},
      {"tried near it, never in capture", standard,
       [](app::ScanTrace& t) { t.attempts.push_back(attempt(11066000, 27.5e6, -1, false)); }, 1,
       MissReason::NotInCapture, "nearest tried: 11066 MHz"},
      {"set where it locks, SNR low", standard,
       [](app::ScanTrace& t) {
         auto a = attempt(11060000, 27.5e6, 1, true);
         a.max_snr = 30 * 65536 / 100;
         a.lock_read = true;
         t.attempts.push_back(a);
       },
       1, MissReason::SnrBelowThreshold},
      {"locked and read, not handed over", standard,
       [](app::ScanTrace& t) {
         auto a = attempt(11060000, 27.5e6, 1, true);
         a.max_snr = 90 * 65536 / 100;
         a.lock_read = true;
         t.attempts.push_back(a);
       },
       1, MissReason::LockedNotHandedOver},
      {"locks, never read", standard,
       [](app::ScanTrace& t) {
         auto a = attempt(11060000, 27.5e6, 1, true);
         a.max_snr = 90 * 65536 / 100;
         t.attempts.push_back(a);
       },
       1, MissReason::LockNotRead},
      {"tuned on it at wrong rates", agc,
       [](app::ScanTrace& t) {
         walk(t, 10980, 11130, {{10990, 11010}, {11050, 11070}, {11105, 11118}});
         t.attempts.push_back(attempt(11060000, 27.0e6, 1, false));
         t.attempts.push_back(attempt(11060000, 28.0e6, 1, false));
       },
       1, MissReason::StepsPastWindow, "nearest tried: 27000 and 28000 kS/s"},
      {"tuned on it at wrong rates (standard)", standard,
       [](app::ScanTrace& t) { t.attempts.push_back(attempt(11060000, 27.49e6, 1, false)); }, 1,
       MissReason::StepsPastWindow},
      {"no plateau over it", agc, [](app::ScanTrace& t) { walk(t, 10980, 11130, {{10990, 11010}}); }, 1,
       MissReason::NoPlateau},
      {"plateau open at the end", agc, [](app::ScanTrace& t) { walk(t, 10980, 11130, {{11105, 11130}}); }, 2,
       MissReason::PlateauOpenAtEnd},
      {"two carriers, one plateau", agc,
       [](app::ScanTrace& t) { walk(t, 10980, 11130, {{11107, 11117}}); }, 3, MissReason::SharedPlateau},
      {"on the skip list", agc,
       [](app::ScanTrace& t) {
         walk(t, 10980, 11130, {{11050, 11070}});
         t.skipMHz = {11061};   // the centre is 11059: two MHz away
       },
       1, MissReason::OnSkipList},
  };
  for (const auto& c : cases) {
    app::ScanTrace trace;
    c.trace(trace);
    auto t = b.truth(c.settings, {}, trace);
    const app::TruthCarrier* tc = nullptr;
    for (const auto& x : t.inRange)
      if (x.index == c.carrier) tc = &x;
    ASSERT_NE(tc, nullptr) << c.what;
    ASSERT_TRUE(tc->lockable) << c.what << ": " << tc->why;
    ASSERT_TRUE(tc->missed) << c.what;
    EXPECT_EQ(app::missReasonName(tc->reason), std::string(app::missReasonName(c.reason))) << c.what;
    EXPECT_EQ(tc->why.rfind(app::missReasonText(c.reason), 0), 0u) << c.what << ": " << tc->why;
    EXPECT_NE(tc->why.find(c.detail), std::string::npos) << c.what << ": " << tc->why;
  }
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

TEST(Truth, SkipListOfOneSatelliteAndPolarisation) {
  std::string path = ::testing::TempDir() + "skip.txt";
  {
    std::ofstream f(path);
    f << "11000 H\n#192\n11100 H\n11200 V\n#130\n11300 H\n#192\n11400 H\n";
  }
  EXPECT_EQ(app::readSkipList(path, 192, 0), (std::vector<int>{11100, 11400}));
  EXPECT_EQ(app::readSkipList(path, 192, 1), (std::vector<int>{11200}));
  EXPECT_EQ(app::readSkipList(path, 130, 0), (std::vector<int>{11300}));
  std::remove(path.c_str());
}
