// The three readings and FE_GET_FRONTEND: AGC plateaus and gaps, SNR scale,
// BER, averaging, cross-polar isolation, LO error.
#include <sys/ioctl.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::DeliverySystem;
using emu::Polarisation;
using testsupport::FrontendClient;
using testsupport::ScenarioBuilder;

namespace {

class ReadingsTest : public testsupport::BoxTest {};

// AGC means of four readings at 2000 kS/s, 1 MHz apart, as the AGC search takes them.
std::vector<int> agcSweep(FrontendClient& fc, int from, int to, int polarisation) {
  std::vector<int> out;
  for (int f = from; f <= to; ++f) {
    fc.tune(f, polarisation, 2000);
    out.push_back(fc.mean(4, false));
  }
  return out;
}

int count(const std::vector<int>& v, int at_least) {
  int n = 0;
  for (int x : v) n += x >= at_least;
  return n;
}

struct PlateauCase {
  int ksps;
  double centre_a, centre_b;   // two neighbours on the same polarisation
};

TEST_F(ReadingsTest, AgcPlateauOfStrongCarriersAndTheGapBetween) {
  const PlateauCase cases[] = {{27500, 11720, 11759}, {22000, 10744, 10773}};
  for (const PlateauCase& c : cases) {
    SCOPED_TRACE(c.ksps);
    load(ScenarioBuilder()
             .satellite(192, 0)
             .carrier(c.centre_a, Polarisation::Horizontal, c.ksps, FEC_3_4, 12)
             .carrier(c.centre_b, Polarisation::Horizontal, c.ksps, FEC_3_4, 12)
             .build());
    FrontendClient fc;
    double half = 1.35 * c.ksps / 2000 + 1;   // occupied half-band plus the probe, MHz
    int from = static_cast<int>(c.centre_a - half), to = static_cast<int>(c.centre_b + half);
    std::vector<int> agc = agcSweep(fc, from, to, 0);
    // Split at the middle between the carriers.
    int mid = static_cast<int>((c.centre_a + c.centre_b) / 2) - from;
    std::vector<int> first(agc.begin(), agc.begin() + mid), second(agc.begin() + mid + 1, agc.end());
    int full_a = count(first, 65535), full_b = count(second, 65535);
    std::printf("plateau of %d kS/s at 12 dB: %d and %d full-scale readings\n", c.ksps, full_a, full_b);
    // Full scale over the flat top at least, never over the whole occupied band.
    int flat = static_cast<int>(0.65 * c.ksps / 1000);
    int occupied = static_cast<int>(1.35 * c.ksps / 1000);
    EXPECT_GE(full_a, flat);
    EXPECT_LT(full_a, occupied);
    EXPECT_EQ(full_a, full_b);
    // The gap between the two reads well below the sampling level of the AGC search.
    EXPECT_LT(agc[mid], 55536);
    // Far from both, the noise floor.
    EXPECT_LT(agc.front(), 45000);
    EXPECT_LT(agc.back(), 45000);
  }
}

TEST_F(ReadingsTest, WiderCarriersGiveWiderPlateaus) {
  load(ScenarioBuilder()
           .satellite(192, 0)
           .carrier(11300, Polarisation::Horizontal, 27500, FEC_3_4, 12)
           .carrier(11500, Polarisation::Horizontal, 6000, FEC_3_4, 12)
           .carrier(11600, Polarisation::Horizontal, 2000, FEC_3_4, 12)
           .build());
  FrontendClient fc;
  int wide = count(agcSweep(fc, 11270, 11330, 0), 65535);
  int feed = count(agcSweep(fc, 11490, 11510, 0), 65535);
  int narrow = count(agcSweep(fc, 11595, 11605, 0), 65535);
  EXPECT_GT(wide, feed);
  EXPECT_GT(feed, narrow);
  EXPECT_GE(narrow, 1);
}

TEST_F(ReadingsTest, CrossPolarCarriersAreMuchWeaker) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Vertical, 27500, FEC_3_4, 12).build());
  FrontendClient fc;
  fc.tune(11778, 1, 27500);
  int co = fc.mean(8, false);
  fc.tune(11778, 0, 27500);
  int cross = fc.mean(8, false);
  EXPECT_EQ(co, 65535);
  // 12 dB - 25 dB isolation: about 0.2 dB above the floor.
  EXPECT_NEAR(cross, 38000 + 2600 * 10 * std::log10(1 + std::pow(10, (12 - 25) / 10.0)), 300);
  EXPECT_EQ(fc.waitStatus() & FE_HAS_CARRIER, 0u);
}

TEST_F(ReadingsTest, AveragedReadingsCentreOnTheModel) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, 3).build());
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  double model = emu::box().tuner().peek().agc;
  ASSERT_LT(model, 60000);   // off the clip
  std::vector<int> raw;
  for (int i = 0; i < 400; ++i) raw.push_back(fc.strength());
  double sum = 0, sq = 0;
  for (int v : raw) sum += v;
  double mean = sum / raw.size();
  for (int v : raw) sq += (v - mean) * (v - mean);
  double sd = std::sqrt(sq / (raw.size() - 1));
  EXPECT_NEAR(mean, model, 4 * 300 / std::sqrt(400.0));
  EXPECT_NEAR(sd, 300, 60);
  // A mean of four is an integer mean of four raw readings.
  int m4 = fc.mean(4, false);
  EXPECT_NEAR(m4, model, 4 * 300 / 2.0);
}

struct SnrCase {
  double esno_db;
  int min_percent, max_percent;
};

TEST_F(ReadingsTest, SnrScaleLockedAndUnlocked) {
  const SnrCase locked[] = {{6, 76, 79}, {12, 88, 91}, {20, 98, 99}};
  for (const SnrCase& c : locked) {
    load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_1_2, c.esno_db).build());
    FrontendClient fc;
    fc.tune(11778, 0, 27500);
    fc.waitStatus();
    int p = fc.mean(20, true) * 100 / 65536;
    EXPECT_GE(p, c.min_percent) << c.esno_db;
    EXPECT_LE(p, c.max_percent) << c.esno_db;
  }
  // Nothing there: 20 % to 52 %, spread out.
  load(ScenarioBuilder().satellite(192, 0).carrier(11900, Polarisation::Horizontal, 27500).build());
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  int lo = 100, hi = 0;
  for (int i = 0; i < 200; ++i) {
    int p = fc.snr() * 100 / 65536;
    lo = std::min(lo, p);
    hi = std::max(hi, p);
  }
  EXPECT_GE(lo, 19);
  EXPECT_LE(hi, 52);
  EXPECT_GT(hi - lo, 20);
}

// The SNR rises as the symbol rate and the frequency close in on the carrier.
TEST_F(ReadingsTest, SnrBlendsWithTheErrors) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, 12).build());
  FrontendClient fc;
  int previous = 0;
  for (int ksps : {26800, 27000, 27200, 27400, 27500}) {
    fc.tune(11778, 0, ksps);
    int s = fc.mean(20, true);
    EXPECT_GT(s, previous) << ksps;
    previous = s;
  }
  previous = 0;
  for (int mhz : {11781, 11780, 11779, 11778}) {
    fc.tune(mhz, 0, 27500);
    int s = fc.mean(20, true);
    EXPECT_GT(s, previous) << mhz;
    previous = s;
  }
}

TEST_F(ReadingsTest, BitErrorsFallWithEsNo) {
  uint32_t previous = 0xFFFFFFFF;
  for (double esno : {7.0, 8.0, 9.5}) {
    load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, esno).build());
    FrontendClient fc;
    fc.tune(11778, 0, 27500);
    fc.waitStatus();
    uint32_t ber = fc.ber();
    EXPECT_LT(ber, previous) << esno;
    EXPECT_LT(ber, 0xFFFFu) << esno;
    previous = ber;
  }
  load(ScenarioBuilder().satellite(192, 0).carrier(11900, Polarisation::Horizontal, 27500).build());
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  fc.waitStatus();
  EXPECT_EQ(fc.ber(), 0xFFFFu);
}

TEST_F(ReadingsTest, GetFrontendReportsTheCarrierWhenLocked) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_5_6, 12).build());
  FrontendClient fc;
  auto sent = fc.tune(11780, 0, 27506);
  ASSERT_EQ(sent.parameters.Frequency, 1180000u);
  FrontendParameters p{};
  // Before the lock: what was set.
  ASSERT_EQ(::ioctl(fc.frontend(), FE_GET_FRONTEND, &p), 0);
  EXPECT_EQ(p.Frequency, 1180000u);
  EXPECT_EQ(p.u.qpsk.SymbolRate, 27506000u);
  ASSERT_NE(fc.waitStatus() & FE_HAS_LOCK, 0u);
  ASSERT_EQ(::ioctl(fc.frontend(), FE_GET_FRONTEND, &p), 0);
  // The derotator found the carrier 2 MHz below, in 1.34 kHz steps.
  EXPECT_NEAR(p.Frequency, 1178000.0, 1.34);
  EXPECT_NE(p.Frequency, 1178000u);
  EXPECT_EQ(p.u.qpsk.SymbolRate, 27500000u);
  EXPECT_EQ(p.u.qpsk.FEC_inner, FEC_5_6);
  EXPECT_EQ(p.Inversion, INVERSION_AUTO);
}

TEST_F(ReadingsTest, LoErrorShiftsTheBandPerLnbAndBand) {
  load(ScenarioBuilder().satellite(192, 0).satellite(130, 1).loError(800).seed(7).build());
  FrontendClient fc;
  std::vector<double> shifts;
  for (int port : {0, 1})
    for (int mhz : {11000, 12000}) {
      testsupport::LnbSettings lnb;
      lnb.diseqc_port = port;
      fc.tune(mhz, 0, 27500, lnb);
      double shift = emu::box().tuner().peek().rf_khz - mhz * 1000.0;
      EXPECT_LE(std::fabs(shift), 800) << port << " " << mhz;
      shifts.push_back(shift);
    }
  // Four LNB bands, four different errors, stable for the session.
  for (size_t i = 0; i < shifts.size(); ++i)
    for (size_t j = i + 1; j < shifts.size(); ++j) EXPECT_NE(shifts[i], shifts[j]);
  fc.tune(11000, 0, 27500);
  EXPECT_DOUBLE_EQ(emu::box().tuner().peek().rf_khz - 11000000.0, shifts[0]);
}

TEST_F(ReadingsTest, NoLnbSupplyNoSignal) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, 12).build());
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  ASSERT_EQ(::ioctl(fc.sec(), SEC_SET_VOLTAGE, SEC_VOLTAGE_OFF), 0);
  uint32_t s = fc.waitStatus();
  EXPECT_EQ(s, static_cast<uint32_t>(FE_HAS_POWER | FE_TUNER_HAS_LOCK));
  EXPECT_LT(fc.mean(4, false), 20000);
  ASSERT_EQ(::ioctl(fc.sec(), SEC_SET_VOLTAGE, SEC_VOLTAGE_18), 0);
  EXPECT_NE(fc.waitStatus() & FE_HAS_LOCK, 0u);
}

}  // namespace
