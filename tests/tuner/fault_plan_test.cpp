// Injected failures on the devices, and the one dispatch's answers to requests
// it does not implement.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::Polarisation;
using testsupport::FrontendClient;
using testsupport::ScenarioBuilder;

namespace {

class FaultPlanTest : public testsupport::BoxTest {
protected:
  void SetUp() override {
    BoxTest::SetUp();
    load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500).build());
  }
};

TEST_F(FaultPlanTest, OpenFailsWithTheGivenErrno) {
  emu::box().faults().failOpen("/dev/dvb/card0/frontend0", EBUSY);
  errno = 0;
  EXPECT_EQ(::open("/dev/dvb/card0/frontend0", O_RDWR), -1);
  EXPECT_EQ(errno, EBUSY);
  int sec = ::open("/dev/dvb/card0/sec0", O_RDWR);
  EXPECT_GE(sec, 0);
  ::close(sec);
  emu::box().faults().clear();
  int fe = ::open("/dev/dvb/card0/frontend0", O_RDWR);
  EXPECT_GE(fe, 0);
  ::close(fe);
}

TEST_F(FaultPlanTest, RequestFailsFromItsNthCallForKCalls) {
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  emu::box().faults().failRequest(FE_READ_SIGNAL_STRENGTH, 3, 2);
  std::vector<int> results;
  for (int i = 0; i < 6; ++i) {
    uint16_t v = 0;
    errno = 0;
    int r = ::ioctl(fc.frontend(), FE_READ_SIGNAL_STRENGTH, &v);
    results.push_back(r == 0 ? 0 : errno);
  }
  EXPECT_EQ(results, (std::vector<int>{0, 0, EIO, EIO, 0, 0}));
  // Other requests are not touched.
  EXPECT_NE(fc.waitStatus(), 0u);
}

TEST_F(FaultPlanTest, FailingSecSequenceLeavesTheSwitchAlone) {
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  emu::box().faults().failSecSequence(EIO);
  testsupport::LnbSettings port2;
  port2.diseqc_port = 2;
  auto sent = fc.tune(11778, 1, 27500, port2);
  EXPECT_EQ(sent.sec_result, -1);
  EXPECT_EQ(sent.set_result, 0);   // the tuning itself goes on
  emu::TunerState st = emu::box().tuner().state();
  EXPECT_EQ(st.port, 0);
  EXPECT_EQ(st.voltage, SEC_VOLTAGE_18);
}

TEST_F(FaultPlanTest, DroppedLocksHideTheNextLockedReadsOnly) {
  FrontendClient fc;
  fc.tune(11778, 0, 27500);
  ASSERT_TRUE(fc.waitStatus() & FE_HAS_LOCK);
  const uint32_t locked = fc.status();
  ASSERT_TRUE(locked & FE_HAS_LOCK);
  emu::box().faults().dropLocks(2);
  std::vector<uint32_t> reads;
  for (int i = 0; i < 3; ++i) reads.push_back(fc.status());
  const uint32_t dropped = locked & ~uint32_t(FE_HAS_SYNC | FE_HAS_LOCK);
  EXPECT_EQ(reads, (std::vector<uint32_t>{dropped, dropped, locked}));
  // A read without a lock does not use up the count.
  emu::box().faults().dropLocks(1);
  fc.tune(11900, 0, 27500);   // nothing there
  const uint32_t empty = fc.waitStatus();
  EXPECT_FALSE(empty & FE_HAS_LOCK);
  fc.tune(11778, 0, 27500);
  EXPECT_EQ(fc.waitStatus(), dropped);
  EXPECT_EQ(fc.status(), locked);
}

struct RuleCase {
  const char* rule;
  bool ok;
};

TEST_F(FaultPlanTest, RulesAsText) {
  const RuleCase cases[] = {
      {"open:/dev/dvb/card0/sec0=ENOENT", true},
      {"open:/var/tuxbox/plugins/scrutafasci.conf=13", true},
      {"request:FE_READ_STATUS@3x2", true},
      {"request:FE_SET_FRONTEND@1x0=EBUSY", true},
      {"sec", true},
      {"sec=EIO", true},
      {"readonly", true},
      {"readonly=EACCES", true},
      {"readonly=EIO", false},
      {"open:relative=ENOENT", false},
      {"open:/dev/dvb/card0/sec0", false},
      {"request:FE_MAKE_COFFEE@1", false},
      {"request:FE_READ_STATUS@0", false},
      {"request:FE_READ_STATUS@2xmany", false},
      {"sec=EWHATEVER", false},
      {"bogus", false},
  };
  for (const RuleCase& c : cases) {
    std::string error;
    EXPECT_EQ(emu::box().faults().add(c.rule, &error), c.ok) << c.rule;
    EXPECT_EQ(error.empty(), c.ok) << c.rule << ": " << error;
    if (!c.ok) {
      EXPECT_NE(error.find(c.rule), std::string::npos) << error;
    }
  }
}

TEST_F(FaultPlanTest, TextRulesTakeEffect) {
  std::string error;
  ASSERT_TRUE(emu::box().faults().add("request:FE_READ_STATUS@2x1=EAGAIN", &error)) << error;
  ASSERT_TRUE(emu::box().faults().add("open:/dev/dvb/card0/sec0=ENOENT", &error)) << error;
  errno = 0;
  EXPECT_EQ(::open("/dev/dvb/card0/sec0", O_RDWR), -1);
  EXPECT_EQ(errno, ENOENT);
  int fe = ::open("/dev/dvb/card0/frontend0", O_RDWR);
  ASSERT_GE(fe, 0);
  uint32_t s;
  EXPECT_EQ(::ioctl(fe, FE_READ_STATUS, &s), 0);
  EXPECT_EQ(::ioctl(fe, FE_READ_STATUS, &s), -1);
  EXPECT_EQ(errno, EAGAIN);
  EXPECT_EQ(::ioctl(fe, FE_READ_STATUS, &s), 0);
  ::close(fe);
}

TEST_F(FaultPlanTest, UnsupportedAndUnknownRequestsAreLoggedOnce) {
  std::vector<std::string> lines;
  emu::box().setLogSink([&](const std::string& l) { lines.push_back(l); });
  FrontendClient fc;
  uint32_t info[8] = {};
  for (int i = 0; i < 3; ++i) {
    errno = 0;
    EXPECT_EQ(::ioctl(fc.frontend(), FE_GET_INFO, info), -1);
    EXPECT_EQ(errno, EOPNOTSUPP);
    EXPECT_EQ(::ioctl(fc.frontend(), _IOR('o', 120, uint32_t), info), -1);
    EXPECT_EQ(errno, ENOTTY);
    // A frontend request on the SEC device is unknown there.
    EXPECT_EQ(::ioctl(fc.sec(), FE_READ_STATUS, info), -1);
    EXPECT_EQ(errno, ENOTTY);
    uint32_t st;
    EXPECT_EQ(::ioctl(fc.sec(), SEC_GET_STATUS, &st), -1);
    EXPECT_EQ(errno, EOPNOTSUPP);
  }
  emu::box().setLogSink(nullptr);
  // One line per device and request for the whole process (no other test here
  // sends these).
  int get_info = 0, unknown = 0, sec_status = 0;
  for (const auto& l : lines) {
    get_info += l.find("frontend0: FE_GET_INFO") != std::string::npos && l.find("EOPNOTSUPP") != std::string::npos;
    unknown += l.find("ENOTTY") != std::string::npos;
    sec_status += l.find("sec0: SEC_GET_STATUS") != std::string::npos;
  }
  EXPECT_EQ(get_info, 1);
  EXPECT_EQ(unknown, 2);
  EXPECT_EQ(sec_status, 1);
  EXPECT_EQ(lines.size(), 4u);
}

TEST_F(FaultPlanTest, ReadOnlyOpenCannotTune) {
  int fe = ::open("/dev/dvb/card0/frontend0", O_RDONLY);
  ASSERT_GE(fe, 0);
  FrontendParameters p{};
  p.Frequency = 1178000;
  p.Inversion = INVERSION_AUTO;
  p.u.qpsk.SymbolRate = 27500000;
  errno = 0;
  EXPECT_EQ(::ioctl(fe, FE_SET_FRONTEND, &p), -1);
  EXPECT_EQ(errno, EPERM);
  uint32_t s;
  EXPECT_EQ(::ioctl(fe, FE_READ_STATUS, &s), 0);
  errno = 0;
  EXPECT_EQ(::ioctl(fe, FE_READ_STATUS, nullptr), -1);
  EXPECT_EQ(errno, EFAULT);
  ::close(fe);
}

}  // namespace
