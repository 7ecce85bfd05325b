// Tuning through the two devices: band, IF, voltage, tone, the committed switch
// and the symbol-rate field, and what the tuner makes of them.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::Polarisation;
using testsupport::FrontendClient;
using testsupport::LnbSettings;
using testsupport::ScenarioBuilder;

namespace {

class TuningTest : public testsupport::BoxTest {
protected:
  void SetUp() override {
    BoxTest::SetUp();
    load(ScenarioBuilder()
             .satellite(192, 0, "A")
             .carrier(11700, Polarisation::Horizontal, 27500)
             .carrier(11701, Polarisation::Vertical, 27500)
             .satellite(130, 1, "B")
             .carrier(11778, Polarisation::Horizontal, 27500)
             .build());
  }
};

struct BandCase {
  int mhz, polarisation, port;
  uint32_t if_khz;
  secToneMode tone;
  secVoltage voltage;
  uint8_t data;
};

TEST_F(TuningTest, BandIfVoltageToneAndSwitchByte) {
  const BandCase cases[] = {
      {11700, 0, 0, 1950000, SEC_TONE_OFF, SEC_VOLTAGE_18, 0xF2},   // at the threshold: low band
      {11701, 0, 1, 1101000, SEC_TONE_ON, SEC_VOLTAGE_18, 0xF7},    // above it: high band
      {11701, 1, 0, 1101000, SEC_TONE_ON, SEC_VOLTAGE_13, 0xF1},
      {10700, 1, 0, 950000, SEC_TONE_OFF, SEC_VOLTAGE_13, 0xF0},
      {12750, 0, 3, 2150000, SEC_TONE_ON, SEC_VOLTAGE_18, 0xFF},
  };
  FrontendClient fc;
  for (const BandCase& c : cases) {
    SCOPED_TRACE(c.mhz);
    LnbSettings lnb;
    lnb.diseqc_port = c.port;
    auto sent = fc.tune(c.mhz, c.polarisation, 27500, lnb);
    EXPECT_EQ(sent.sec_result, 0);
    EXPECT_EQ(sent.set_result, 0);
    EXPECT_EQ(sent.parameters.Frequency, c.if_khz);
    EXPECT_EQ(sent.sequence.continuousTone, c.tone);
    EXPECT_EQ(sent.sequence.voltage, c.voltage);
    EXPECT_EQ(sent.command.u.diseqc.params[0], c.data);
    emu::TunerState st = emu::box().tuner().state();
    EXPECT_EQ(st.if_khz, c.if_khz);
    EXPECT_EQ(st.tone, c.tone == SEC_TONE_ON);
    EXPECT_EQ(st.voltage, c.voltage);
    EXPECT_EQ(st.port, c.port);
    EXPECT_EQ(st.symbol_rate, 27500000u);
  }
}

TEST_F(TuningTest, TheTunedIfStandsForTheDishFrequency) {
  FrontendClient fc;
  fc.tune(11700, 0, 27500);
  EXPECT_DOUBLE_EQ(emu::box().tuner().peek().rf_khz, 11700000);
  fc.tune(11701, 1, 27500);
  EXPECT_DOUBLE_EQ(emu::box().tuner().peek().rf_khz, 11701000);
  // Both carriers are found where they are, on their own polarisation.
  fc.tune(11700, 0, 27500);
  EXPECT_NE(fc.waitStatus() & FE_HAS_LOCK, 0u);
  fc.tune(11701, 1, 27500);
  EXPECT_NE(fc.waitStatus() & FE_HAS_LOCK, 0u);
}

TEST_F(TuningTest, IfOutsideTheTunerRangeIsRefused) {
  FrontendClient fc;
  fc.tune(11700, 0, 27500);
  const uint32_t bad[] = {949999, 2150001, 0, 3000000};
  for (uint32_t f : bad) {
    FrontendParameters p{};
    p.Frequency = f;
    p.Inversion = INVERSION_AUTO;
    p.u.qpsk.SymbolRate = 27500000;
    errno = 0;
    EXPECT_EQ(::ioctl(fc.frontend(), FE_SET_FRONTEND, &p), -1) << f;
    EXPECT_EQ(errno, EINVAL) << f;
  }
  // The last good tuning stays.
  EXPECT_EQ(emu::box().tuner().state().if_khz, 1950000u);
  const uint32_t good[] = {950000, 2150000};
  for (uint32_t f : good) {
    FrontendParameters p{};
    p.Frequency = f;
    p.Inversion = INVERSION_AUTO;
    p.u.qpsk.SymbolRate = 27500000;
    EXPECT_EQ(::ioctl(fc.frontend(), FE_SET_FRONTEND, &p), 0) << f;
  }
}

// A local oscillator above the band (a C-band LNB): the plug-in sends |f - LO|
// and the LNB's inverted image puts the carrier there.
TEST_F(TuningTest, LocalOscillatorAboveTheFrequency) {
  load(ScenarioBuilder()
           .satellite(-300, 0, "C")
           .lnb(5150000, 5150000, 0)
           .carrier(3800, Polarisation::Vertical, 27500)
           .build());
  FrontendClient fc;
  LnbSettings lnb{5150000, 5150000, 0, 0};
  auto sent = fc.tune(3800, 1, 27500, lnb);
  EXPECT_EQ(sent.parameters.Frequency, 1350000u);
  EXPECT_EQ(sent.set_result, 0);
  EXPECT_DOUBLE_EQ(emu::box().tuner().peek().rf_khz, 3800000);
  EXPECT_NE(fc.waitStatus() & FE_HAS_LOCK, 0u);
}

TEST_F(TuningTest, SymbolRateFieldAndItsClamp) {
  FrontendClient fc;
  auto sent = fc.tune(11700, 0, 27500);
  EXPECT_EQ(sent.parameters.u.qpsk.SymbolRate, 27500000u);
  EXPECT_DOUBLE_EQ(emu::box().tuner().peek().programmed_sr, 27500000);
  struct { uint32_t set; double programmed; } cases[] = {
      {0, 0.5e6}, {999, 1e6}, {60000000, 45e6}, {2000000, 2e6}};
  for (auto c : cases) {
    FrontendParameters p = sent.parameters;
    p.u.qpsk.SymbolRate = c.set;
    EXPECT_EQ(::ioctl(fc.frontend(), FE_SET_FRONTEND, &p), 0) << c.set;
    EXPECT_DOUBLE_EQ(emu::box().tuner().peek().programmed_sr, c.programmed) << c.set;
  }
}

TEST_F(TuningTest, TheSwitchPortChoosesTheSatellite) {
  FrontendClient fc;
  LnbSettings port0, port1;
  port1.diseqc_port = 1;
  // 11778 H exists only on the satellite behind port 1.
  fc.tune(11778, 0, 27500, port0);
  EXPECT_EQ(fc.waitStatus() & FE_HAS_LOCK, 0u);
  fc.tune(11778, 0, 27500, port1);
  EXPECT_NE(fc.waitStatus() & FE_HAS_LOCK, 0u);
  emu::CarrierRef c = emu::box().tuner().lockedCarrier();
  ASSERT_TRUE(c.valid());
  EXPECT_EQ(emu::box().scenario().satellites[c.satellite].name, "B");
  // A sequence without a DiSEqC command keeps the port.
  secCmdSequence seq{SEC_VOLTAGE_18, SEC_MINI_NONE, SEC_TONE_ON, 0, nullptr};
  EXPECT_EQ(::ioctl(fc.sec(), SEC_SEND_SEQUENCE, &seq), 0);
  EXPECT_EQ(emu::box().tuner().state().port, 1);
  // An empty port has no LNB behind it: no signal at all.
  LnbSettings port2;
  port2.diseqc_port = 2;
  fc.tune(11778, 0, 27500, port2);
  EXPECT_EQ(fc.waitStatus() & (FE_HAS_SIGNAL | FE_HAS_LOCK), 0u);
}

TEST_F(TuningTest, MalformedSequencesAreRefused) {
  FrontendClient fc;
  secCommand cmd{};
  cmd.type = SEC_CMDTYPE_DISEQC;
  cmd.u.diseqc = {0xE0, 0x10, 0x38, 4, {0xF4, 0, 0}};   // four parameters do not fit
  secCmdSequence seq{SEC_VOLTAGE_18, SEC_MINI_NONE, SEC_TONE_OFF, 1, &cmd};
  errno = 0;
  EXPECT_EQ(::ioctl(fc.sec(), SEC_SEND_SEQUENCE, &seq), -1);
  EXPECT_EQ(errno, EINVAL);
  secCmdSequence no_commands{SEC_VOLTAGE_18, SEC_MINI_NONE, SEC_TONE_OFF, 2, nullptr};
  EXPECT_EQ(::ioctl(fc.sec(), SEC_SEND_SEQUENCE, &no_commands), -1);
  EXPECT_EQ(errno, EFAULT);
  secCmdSequence bad_voltage{SEC_VOLTAGE_OFF, SEC_MINI_NONE, SEC_TONE_OFF, 0, nullptr};
  const int32_t nine = 9;   // what a caller's memory may hold
  std::memcpy(&bad_voltage.voltage, &nine, sizeof nine);
  EXPECT_EQ(::ioctl(fc.sec(), SEC_SEND_SEQUENCE, &bad_voltage), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(::ioctl(fc.sec(), SEC_SEND_SEQUENCE, nullptr), -1);
  EXPECT_EQ(errno, EFAULT);
}

}  // namespace
