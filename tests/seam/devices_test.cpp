// The device nodes through the seam: real descriptor numbers, close while other
// threads are inside a request, virtual sleeping.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::Polarisation;
using testsupport::ScenarioBuilder;

namespace {

class DevicesTest : public testsupport::BoxTest {
protected:
  void SetUp() override {
    BoxTest::SetUp();
    load(ScenarioBuilder().satellite(192, 0).carrier(11778, Polarisation::Horizontal, 27500).build());
  }
  // The errno of the system's own ioctl, past the seam: EBADF or ENOTTY from the
  // kernel; qemu-user answers ENOSYS to a request it cannot translate.
  static int systemIoctlErrno(int fd, unsigned long request, void* arg) {
    errno = 0;
    return ::syscall(SYS_ioctl, fd, request, arg) == -1 ? errno : 0;
  }
};

TEST_F(DevicesTest, DescriptorsAreUniqueRealNumbers) {
  std::set<int> fds;
  std::vector<int> open_fds;
  for (int i = 0; i < 4; ++i) {
    int fe = ::open("/dev/dvb/card0/frontend0", O_RDWR);
    int sec = ::open("/dev/dvb/card0/sec0", O_RDWR | O_CLOEXEC);
    int real = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(fe, 0);
    ASSERT_GE(sec, 0);
    ASSERT_GE(real, 0);
    fds.insert({fe, sec, real});
    open_fds.insert(open_fds.end(), {fe, sec, real});
    // The numbers are real descriptors: the kernel knows them.
    EXPECT_NE(::fcntl(fe, F_GETFD), -1);
    EXPECT_NE(::fcntl(sec, F_GETFD) & FD_CLOEXEC, 0);
  }
  EXPECT_EQ(fds.size(), open_fds.size());
  for (int fd : open_fds) EXPECT_EQ(::close(fd), 0);
  // Closed: the requests fail like on any closed descriptor.
  uint32_t s;
  const int closed_errno = systemIoctlErrno(open_fds[0], FE_READ_STATUS, &s);
  ASSERT_NE(closed_errno, 0);
  errno = 0;
  EXPECT_EQ(::ioctl(open_fds[0], FE_READ_STATUS, &s), -1);
  EXPECT_EQ(errno, closed_errno);
  // A plain descriptor reaches the real ioctl.
  int real = ::open("/dev/null", O_RDONLY);
  const int plain_errno = systemIoctlErrno(real, FE_READ_STATUS, &s);
  ASSERT_NE(plain_errno, 0);
  errno = 0;
  EXPECT_EQ(::ioctl(real, FE_READ_STATUS, &s), -1);
  EXPECT_EQ(errno, plain_errno);
  ::close(real);
}

TEST_F(DevicesTest, PathsAreFoldedBeforeTheDeviceMatch) {
  int fd = ::open("/dev//dvb/./card0/frontend0", O_RDWR);
  ASSERT_GE(fd, 0);
  uint32_t s = 0;
  EXPECT_EQ(::ioctl(fd, FE_READ_STATUS, &s), 0);
  EXPECT_NE(s, 0u);
  ::close(fd);
  int at = ::openat(AT_FDCWD, "/dev/dvb/card0/sec0", O_RDWR);
  EXPECT_GE(at, 0);
  ::close(at);
  // No other device is emulated.
  errno = 0;
  EXPECT_EQ(::open("/dev/dvb/card0/frontend1", O_RDWR), -1);
}

// Threads keep reading while the descriptor is closed under them: every request
// either completes on the device or fails cleanly; nothing is used after free
// (the sanitizer builds check that).
TEST_F(DevicesTest, CloseWhileOtherThreadsAreInsideARequest) {
  for (int round = 0; round < 20; ++round) {
    int fd = ::open("/dev/dvb/card0/frontend0", O_RDWR);
    ASSERT_GE(fd, 0);
    std::atomic<int> done{0};
    std::atomic<int> ok{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
      readers.emplace_back([&] {
        for (int i = 0; i < 20000; ++i) {
          uint16_t v;
          if (::ioctl(fd, FE_READ_SIGNAL_STRENGTH, &v) != 0) break;
          ok.fetch_add(1);
        }
        done.fetch_add(1);
      });
    while (ok.load() < 50 && done.load() < 3) std::this_thread::yield();
    EXPECT_EQ(::close(fd), 0);
    for (auto& r : readers) r.join();
    EXPECT_GE(ok.load(), 50);
  }
}

TEST_F(DevicesTest, UsleepIsVirtual) {
  uint64_t before = emu::box().clock().now();
  auto wall = std::chrono::steady_clock::now();
  ::usleep(30 * 1000 * 1000);
  EXPECT_EQ(emu::box().clock().now() - before, 30u * 1000 * 1000);
  EXPECT_LT(std::chrono::steady_clock::now() - wall, std::chrono::seconds(20));
}

TEST_F(DevicesTest, RealtimePacesTheClockAgainstTheWallClock) {
  emu::box().clock().setRealtime(true);
  auto wall = std::chrono::steady_clock::now();
  ::usleep(20000);
  testsupport::FrontendClient fc;
  for (int i = 0; i < 10; ++i) fc.status();   // 10 ms of requests
  auto elapsed = std::chrono::steady_clock::now() - wall;
  emu::box().clock().setRealtime(false);
  EXPECT_GE(elapsed, std::chrono::milliseconds(29));
}

// The receiver's readings and the plug-in's requests drive one and the same tuner.
TEST_F(DevicesTest, HostHelpersAndDevicesShareTheTuner) {
  emu::TuneRequest r;
  r.orbital_position = 192;
  r.frequency_khz = 11778000;
  r.polarisation = Polarisation::Horizontal;
  r.symbol_rate = 27500000;
  emu::TuneOutcome out = emu::box().tuner().tune(r);
  EXPECT_EQ(out.error, 0);
  EXPECT_TRUE(out.locked);
  EXPECT_TRUE(out.carrier.valid());
  testsupport::FrontendClient fc;
  EXPECT_NE(fc.status() & FE_HAS_LOCK, 0u);
  EXPECT_EQ(emu::box().tuner().state().if_khz, 1178000u);
  r.orbital_position = 130;   // no such satellite
  EXPECT_EQ(emu::box().tuner().tune(r).error, ENXIO);
}

TEST_F(DevicesTest, SweepGivesOnePointPerStep) {
  emu::SweepRequest r;
  r.orbital_position = 192;
  r.from_khz = 11740000;
  r.to_khz = 11816000;
  r.step_khz = 1000;
  auto points = emu::box().tuner().sweep(r);
  ASSERT_EQ(points.size(), 77u);
  int full = 0;
  for (const auto& p : points) full += p.agc == 65535;
  EXPECT_GT(full, 15);
  EXPECT_LT(points.front().agc, 55536);
  EXPECT_LT(points.back().agc, 55536);
  EXPECT_EQ(points[38].frequency_khz, 11778000u);
  // With the waits, the point on the carrier shows the lock.
  r.from_khz = r.to_khz = 11778000;
  r.symbol_rate = 27500000;
  r.wait_status = true;
  points = emu::box().tuner().sweep(r);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_NE(points[0].status & FE_HAS_LOCK, 0u);
}

}  // namespace
