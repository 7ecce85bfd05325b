// When the demodulator locks: frequency offset, symbol-rate error, Es/N0 and
// delivery system against the settled status bits, as one table.
#include <cmath>

#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::DeliverySystem;
using emu::Polarisation;
using testsupport::FrontendClient;
using testsupport::ScenarioBuilder;

namespace {

constexpr uint32_t kBase = FE_HAS_POWER | FE_TUNER_HAS_LOCK | FE_HAS_SIGNAL;
constexpr uint32_t kCarrier = kBase | FE_HAS_CARRIER;
constexpr uint32_t kViterbi = kCarrier | FE_HAS_VITERBI;
constexpr uint32_t kLock = kViterbi | FE_HAS_SYNC | FE_HAS_LOCK;

struct LockCase {
  const char* what;
  double esno_db;
  DeliverySystem system;
  int tune_mhz;    // carrier at 11778 MHz, 27500 kS/s, FEC 3/4
  int ksps;
  uint32_t status;
};

const LockCase kCases[] = {
    {"on frequency", 12, DeliverySystem::DvbS, 11778, 27500, kLock},
    {"3 MHz off, inside the capture range", 12, DeliverySystem::DvbS, 11781, 27500, kLock},
    {"3 MHz below", 12, DeliverySystem::DvbS, 11775, 27500, kLock},
    {"4 MHz off, outside it", 12, DeliverySystem::DvbS, 11782, 27500, kBase},
    {"SR 218 ppm off", 12, DeliverySystem::DvbS, 11778, 27506, kLock},
    {"SR 291 ppm off: no timing lock", 12, DeliverySystem::DvbS, 11778, 27508, kCarrier},
    {"SR 0.7 % off", 12, DeliverySystem::DvbS, 11778, 27700, kCarrier},
    {"SR 3.6 % off: no carrier", 12, DeliverySystem::DvbS, 11778, 28500, kBase},
    {"SR far off", 12, DeliverySystem::DvbS, 11778, 2000, kBase},
    {"Es/N0 well above QEF", 7.0, DeliverySystem::DvbS, 11778, 27500, kLock},
    {"Es/N0 between QEF-1 and the lock edge", 6.1, DeliverySystem::DvbS, 11778, 27500, kViterbi},
    {"Es/N0 below QEF-1", 5.5, DeliverySystem::DvbS, 11778, 27500, kCarrier},
    {"Es/N0 below 1 dB", 0.5, DeliverySystem::DvbS, 11778, 27500, kBase},
    {"DVB-S2 never locks", 12, DeliverySystem::DvbS2, 11778, 27500, kBase},
};

class LockRulesTest : public testsupport::BoxTest, public ::testing::WithParamInterface<LockCase> {};

TEST_P(LockRulesTest, SettledStatus) {
  const LockCase& c = GetParam();
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, c.esno_db, c.system).build());
  FrontendClient fc;
  fc.tune(c.tune_mhz, 0, c.ksps);
  // The word is the same at every read once settled (no case here sits on an edge).
  for (int i = 0; i < 5; ++i) EXPECT_EQ(fc.waitStatus(), c.status) << c.what << ", read " << i;
  bool locked = (c.status & FE_HAS_LOCK) != 0;
  EXPECT_EQ(emu::box().tuner().lockedCarrier().valid(), locked) << c.what;
  // The question the truth asks gives the same answer, and costs nothing.
  emu::TuneRequest r;
  r.orbital_position = 192;
  r.frequency_khz = static_cast<uint32_t>(c.tune_mhz) * 1000u;
  r.symbol_rate = static_cast<uint32_t>(c.ksps) * 1000u;
  uint64_t before = emu::box().clock().now();
  emu::TunerState st = emu::box().tuner().state();
  EXPECT_EQ(emu::box().tuner().evaluate(r).lockable, locked) << c.what;
  EXPECT_EQ(emu::box().clock().now(), before);
  EXPECT_EQ(emu::box().tuner().state().if_khz, st.if_khz);
  EXPECT_EQ(emu::box().tuner().state().symbol_rate, st.symbol_rate);
}

INSTANTIATE_TEST_SUITE_P(Table, LockRulesTest, ::testing::ValuesIn(kCases));

// While recording, each attempt keeps where it was set, what the model made of it
// and what was read; the host's own tunings are marked.
TEST_F(LockRulesTest, AttemptsAreRecordedWithTheirReadings) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, 12).build());
  emu::Tuner& t = emu::box().tuner();
  t.recordAttempts(true);
  FrontendClient fc;
  fc.tune(11782, 0, 27500);   // outside the capture range
  fc.waitStatus();
  fc.tune(11779, 0, 27500);
  fc.waitStatus();
  fc.mean(4, false);
  uint16_t snr = fc.snr();
  auto a = t.attempts();
  ASSERT_GE(a.size(), 2u);
  const emu::AttemptRecord& off = a[a.size() - 2];
  const emu::AttemptRecord& on = a.back();
  EXPECT_FALSE(off.in_capture);
  EXPECT_FALSE(off.lockable);
  EXPECT_FALSE(off.lock_read);
  EXPECT_EQ(on.candidate.carrier, 0);
  EXPECT_TRUE(on.in_capture && on.lockable && on.lock_read);
  EXPECT_FALSE(on.host);
  EXPECT_NEAR(on.nominal_khz, 11779000, 1);
  EXPECT_EQ(on.programmed_sr, 27.5e6);
  EXPECT_EQ(on.agc_reads, 4);
  EXPECT_EQ(on.max_snr, snr);
  emu::TuneRequest r;
  r.orbital_position = 192;
  r.frequency_khz = 11778000;
  r.symbol_rate = 27500000;
  ASSERT_TRUE(t.tune(r).locked);
  EXPECT_TRUE(t.attempts().back().host);
  EXPECT_FALSE(t.takeAttempts().empty());
  EXPECT_TRUE(t.attempts().empty());
  t.recordAttempts(false);
  fc.tune(11778, 0, 27500);
  EXPECT_TRUE(t.attempts().empty());
}

// Just at the lock edge the lock flickers: some reads lock, some do not.
TEST_F(LockRulesTest, LockFlickersAtTheEdge) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, 6.6).build());
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  int locks = 0;
  for (int i = 0; i < 200; ++i) locks += (fc.waitStatus() & FE_HAS_LOCK) ? 1 : 0;
  EXPECT_GT(locks, 40);
  EXPECT_LT(locks, 160);
}

// The search time-out and the lock time of the model, in virtual time.
struct TimeCase {
  int ksps;
  bool lockable;
  uint64_t min_us, max_us;   // from FE_SET_FRONTEND returning to the first non-zero word
};

const TimeCase kTimes[] = {
    {27500, true, 21000, 27000},   {6000, true, 55000, 67000},    {2000, true, 148000, 172000},
    {27500, false, 295000, 301000}, {15000, false, 395000, 401000}, {6000, false, 695000, 701000},
    {3000, false, 995000, 1001000}, {2000, false, 2495000, 2501000},
};

TEST_F(LockRulesTest, StatusIsZeroUntilTheAttemptEnds) {
  for (const TimeCase& t : kTimes) {
    SCOPED_TRACE(t.ksps);
    // The carrier sits at the tuned frequency (lockable) or far away (not).
    load(ScenarioBuilder()
             .satellite(192, 0)
             .carrier(t.lockable ? 11778 : 11950, Polarisation::Horizontal, t.ksps, FEC_3_4, 12)
             .build());
    FrontendClient fc;
    fc.tune(11778, 0, t.ksps);
    uint64_t start = emu::box().clock().now();
    int zeros = 0;
    uint32_t s = 0;
    while ((s = fc.status()) == 0 && zeros < 10000) ++zeros;
    uint64_t settled = emu::box().clock().now() - 1000;   // the read that saw it began 1 ms earlier
    EXPECT_GE(settled - start, t.min_us);
    EXPECT_LE(settled - start, t.max_us);
    EXPECT_EQ(zeros, static_cast<int>((settled - start) / 1000));
    EXPECT_EQ((s & FE_HAS_LOCK) != 0, t.lockable);
    EXPECT_NE(s & FE_HAS_POWER, 0u);
  }
}

}  // namespace
