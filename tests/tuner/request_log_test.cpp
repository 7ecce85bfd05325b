// The request log: off by default; when on, every request that reaches the tuner in
// order, with its box time, the reading it returned and the tuning it met.
#include <host/dvb/frontend.h>

#include <string>
#include <vector>

#include "emulator/tuner/request_log.h"
#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::Polarisation;
using emu::RequestOrigin;
using emu::RequestRecord;
using testsupport::FrontendClient;
using testsupport::LnbSettings;
using testsupport::ScenarioBuilder;

namespace {

class RequestLogTest : public testsupport::BoxTest {
protected:
  void TearDown() override {
    log().enable(false);
    log().clear();
    BoxTest::TearDown();
  }
  emu::RequestLog& log() { return emu::box().tuner().requests(); }
};

TEST_F(RequestLogTest, OffUntilEnabled) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500).build());
  log().clear();
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  fc.strength();
  EXPECT_EQ(log().size(), 0u);
  log().enable(true);
  fc.strength();
  EXPECT_EQ(log().size(), 1u);
}

struct TuningCase {
  const char* what;
  int mhz, polarisation, ksps;
  LnbSettings lnb;
  bool high;
  int64_t if_khz;
};

// Each request in order with its time, what it returned and the tuning it stands for,
// on both bands, both polarisations, a second port and an LO above the band.
TEST_F(RequestLogTest, RecordsEachRequestWithItsTuning) {
  LnbSettings port1;
  port1.diseqc_port = 1;
  LnbSettings cband{5150000, 5150000, 0, 2};
  const TuningCase cases[] = {
      {"high band, H", 11778, 0, 27500, LnbSettings(), true, 1178000},
      {"low band, V", 10744, 1, 22000, LnbSettings(), false, 994000},
      {"port 1", 11222, 0, 6000, port1, false, 1472000},
      {"C band, inverted", 3880, 1, 27500, cband, true, 1270000},
  };
  load(ScenarioBuilder()
           .satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500).carrier(10744, Polarisation::Vertical, 22000)
           .satellite(130, 1).carrier(11222, Polarisation::Horizontal, 6000)
           .satellite(-300, 2).lnb(5150000, 5150000, 0).carrier(3880, Polarisation::Vertical, 27500)
           .build());
  const int orbital[] = {192, 192, 130, -300};
  FrontendClient fc;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TuningCase& c = cases[i];
    SCOPED_TRACE(c.what);
    log().clear();
    log().enable(true);
    uint64_t t0 = emu::box().clock().now();
    fc.tune(c.mhz, c.polarisation, c.ksps, c.lnb);
    uint32_t status = fc.waitStatus();
    uint16_t agc = fc.strength(), snr = fc.snr();
    log().enable(false);
    std::vector<RequestRecord> r = log().records();
    ASSERT_GE(r.size(), 5u);
    EXPECT_STREQ(r[0].request, "SEC_SEND_SEQUENCE");
    EXPECT_STREQ(r[1].request, "FE_SET_FRONTEND");
    EXPECT_STREQ(r[r.size() - 3].request, "FE_READ_STATUS");
    EXPECT_STREQ(r[r.size() - 2].request, "FE_READ_SIGNAL_STRENGTH");
    EXPECT_STREQ(r[r.size() - 1].request, "FE_READ_SNR");
    EXPECT_EQ(r[0].time_us, t0);
    EXPECT_EQ(r[r.size() - 3].value, status);
    EXPECT_EQ(r[r.size() - 2].value, agc);
    EXPECT_EQ(r[r.size() - 1].value, snr);
    // The status column is what FE_READ_STATUS answers at that time.
    EXPECT_EQ(r[r.size() - 2].status, status);
    EXPECT_EQ(r[1].value, c.if_khz);
    for (size_t k = 1; k < r.size(); ++k) {
      EXPECT_GT(r[k].time_us, r[k - 1].time_us) << k;
      EXPECT_EQ(r[k].origin, RequestOrigin::Device);
      EXPECT_EQ(r[k].result, 0);
      EXPECT_DOUBLE_EQ(r[k].frequency_mhz, c.mhz) << r[k].request;
      EXPECT_DOUBLE_EQ(r[k].symbol_rate_ksps, c.ksps);
      EXPECT_TRUE(r[k].on_satellite);
      EXPECT_EQ(r[k].orbital_position, orbital[i]);
      EXPECT_TRUE(r[k].powered);
      EXPECT_EQ(r[k].polarisation, static_cast<Polarisation>(c.polarisation));
      EXPECT_EQ(r[k].high_band, c.high);
    }
  }
}

// Recording costs no box time and draws nothing: the same requests read the same with it on.
TEST_F(RequestLogTest, RecordingChangesNoReadingAndNoTime) {
  auto run = [this](bool on) {
    load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500, FEC_3_4, 7.0).build());
    emu::box().clock().reset(0);
    log().clear();
    log().enable(on);
    FrontendClient fc;
    std::vector<uint32_t> readings;
    for (int mhz = 11770; mhz <= 11786; mhz += 2) {
      fc.tune(mhz, 0, 27500);
      readings.push_back(fc.waitStatus());
      for (int i = 0; i < 4; ++i) readings.push_back(fc.strength() + (fc.snr() << 16));
      readings.push_back(fc.ber());
    }
    readings.push_back(static_cast<uint32_t>(emu::box().clock().now()));
    log().enable(false);
    return readings;
  };
  std::vector<uint32_t> off = run(false), on = run(true);
  EXPECT_GT(log().size(), off.size());
  EXPECT_EQ(on, off);
}

TEST_F(RequestLogTest, TellsTheHostAndItsFrontendObjectFromTheDevices) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500).build());
  log().clear();
  log().enable(true);
  emu::TuneRequest t;
  t.orbital_position = 192;
  t.frequency_khz = 11778000;
  emu::box().tuner().tune(t);
  int agc = eFrontend::frontend->SignalStrength();
  FrontendClient fc;
  fc.snr();
  std::vector<RequestRecord> r = log().records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_STREQ(r[0].request, "tune");
  EXPECT_EQ(r[0].origin, RequestOrigin::Host);
  EXPECT_EQ(r[0].value, 11778000);
  EXPECT_STREQ(r[1].request, "FE_READ_SIGNAL_STRENGTH");
  EXPECT_EQ(r[1].origin, RequestOrigin::Frontend);
  EXPECT_EQ(r[1].value, agc);
  EXPECT_STREQ(r[2].request, "FE_READ_SNR");
  EXPECT_EQ(r[2].origin, RequestOrigin::Device);
  EXPECT_EQ(emu::RequestOriginScope::current(), RequestOrigin::Host);
}

TEST_F(RequestLogTest, RefusedSettingIsRecordedWithItsErrorAndTheTuningKept) {
  load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500).build());
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  log().clear();
  log().enable(true);
  testsupport::SentTuning s = fc.tune(13500, 0, 27500);   // IF 2900 MHz: outside the tuner
  ASSERT_NE(s.set_result, 0);
  std::vector<RequestRecord> r = log().records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_STREQ(r[1].request, "FE_SET_FRONTEND");
  EXPECT_EQ(r[1].result, -EINVAL);
  EXPECT_EQ(r[1].value, 2900000);
  EXPECT_DOUBLE_EQ(r[1].frequency_mhz, 11778);
}

}  // namespace
