// The window driven through a real X server as a person drives it: keys and clicks
// through XTEST, the close of a window manager, pixels read back from the server.
#include <chrono>
#include <cmath>
#include <regex>
#include <sstream>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "emulator/window/remote_control.h"
#include "x_display.h"

namespace wintest {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kScale = 2;

struct Shot {
  std::string path;
  double boxS = 0;
};

std::vector<Shot> shotsIn(const std::string& out) {
  std::vector<Shot> shots;
  std::regex line(R"(screenshot: (\S+) \(box time ([0-9.]+) s\))");
  for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it)
    shots.push_back({(*it)[1].str(), std::stod((*it)[2].str())});
  return shots;
}

class WindowX : public ::testing::Test {
protected:
  void SetUp() override {
    REQUIRE_X_TOOLS();
    x_ = std::make_unique<XServer>();
    dir_ = makeTempDir();
    root_ = dir_ + "/box";
  }
  void TearDown() override {
    emu_.reset();
    x_.reset();
    if (!dir_.empty()) removeTree(dir_);
  }
  std::string plugins(const std::string& name) const { return root_ + "/var/tuxbox/plugins/" + name; }
  void start(const std::vector<std::string>& args) {
    emu_ = std::make_unique<EmuChild>(*x_, dir_, args);
    wid_ = findWindow(*x_, "scrutafasci-emu");
    ASSERT_FALSE(wid_.empty()) << "no window; stderr:\n" << emu_->err();
    x_->shell("xdotool windowfocus --sync " + wid_);
  }
  void keys(const std::string& names) { x_->shell("xdotool key --delay 30 " + names); }
  // A click on the remote control's button for key, at the window's scale.
  void click(const std::string& key, int scale) {
    win::RemoteControl remote(720, 604);
    const win::RemoteButton* b = remote.button(key);
    ASSERT_NE(b, nullptr) << key;
    int x = (b->area.x + b->area.w / 2) * scale, y = (b->area.y + b->area.h / 2) * scale;
    x_->shell("xdotool mousemove --window " + wid_ + " " + std::to_string(x) + " " + std::to_string(y) +
              " click 1 sleep 0.05");
  }
  // Presses s and waits for the screenshot's line; its path and box time.
  Shot screenshot() {
    size_t before = shotsIn(emu_->out()).size();
    keys("s");
    auto end = Clock::now() + std::chrono::seconds(10);
    while (shotsIn(emu_->out()).size() <= before && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    auto shots = shotsIn(emu_->out());
    EXPECT_GT(shots.size(), before) << "no screenshot line; stderr:\n" << emu_->err();
    return shots.size() > before ? shots.back() : Shot{};
  }
  int xwinStatus(const std::string& args, std::string* out = nullptr) {
    int st = -1;
    std::string o = x_->shell(xwin() + " " + args + " 2>&1", &st);
    if (out) *out = o;
    return st;
  }

  std::unique_ptr<XServer> x_;
  std::unique_ptr<EmuChild> emu_;
  std::string dir_, root_, wid_;
};

// The settings file: blocks of a header and eleven key=value lines.
void expectWholeSettings(const std::string& text) {
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(text.back(), '\n');
  std::istringstream in(text);
  std::string line;
  int keysInBlock = -1;
  while (std::getline(in, line)) {
    if (line.rfind("#", 0) == 0) {
      EXPECT_TRUE(keysInBlock == -1 || keysInBlock == 11) << keysInBlock;
      keysInBlock = 0;
      continue;
    }
    EXPECT_TRUE(std::regex_match(line, std::regex("[A-Za-z]+=-?[0-9]+"))) << line;
    ++keysInBlock;
  }
  EXPECT_EQ(keysInBlock, 11);
}

TEST_F(WindowX, KeysAndClicksReachThePluginAndTheWindowShowsTheBoxScreen) {
  start({"run", "--window", "--scale", std::to_string(kScale), "--root", root_});
  if (HasFatalFailure()) return;
  std::string title = x_->shell("xdotool getwindowname " + wid_);
  EXPECT_EQ(title.rfind("scrutafasci-emu \xe2\x80\x94 ", 0), 0u) << title;
  EXPECT_NE(title.find("Astra 19.2E"), std::string::npos) << title;

  // The screen area shows the framebuffer, scaled, pixel for pixel.
  Shot first = screenshot();
  std::string report;
  EXPECT_EQ(xwinStatus("compare " + wid_ + " " + first.path + " " + std::to_string(kScale), &report), 0) << report;

  // Down moves the focus to the start frequency: the window changes, and shows the new screen.
  keys("Down");
  Shot moved = screenshot();
  EXPECT_EQ(xwinStatus("changed " + wid_ + " " + first.path + " " + std::to_string(kScale), &report), 0) << report;
  EXPECT_EQ(xwinStatus("compare " + wid_ + " " + moved.path + " " + std::to_string(kScale), &report), 0) << report;

  // The start frequency typed with the mouse on the remote control, the end frequency
  // with the keyboard; then down to the start button and Return.
  for (int i = 0; i < 5; ++i) click("left", kScale);
  for (const char* k : {"1", "0", "8", "0", "0"}) click(k, kScale);
  keys("Down Left Left Left Left Left 1 0 9 0 0");
  keys("Down Down Down Down Down Down Down Down Down Return");
  // As fast as it goes (three + from x1), then wait for the scan's files.
  keys("plus plus plus");
  auto end = Clock::now() + std::chrono::seconds(120);
  // The standard search writes the known-rate file at its end (empty when it found none).
  auto ended = [&] { return access(plugins("scrutafasci.sr").c_str(), F_OK) == 0; };
  while (!ended() && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(ended()) << "the scan did not start or end";

  ASSERT_EQ(xwinStatus("close " + wid_), 0);
  int status = -1;
  ASSERT_TRUE(emu_->waitExit(60, &status)) << emu_->err();
  EXPECT_EQ(status, 0) << emu_->err();
  std::string conf = readFile(plugins("scrutafasci.conf"));
  expectWholeSettings(conf);
  EXPECT_NE(conf.find("freqStart=10800"), std::string::npos) << conf;
  EXPECT_NE(conf.find("freqEnd=10900"), std::string::npos) << conf;
}

TEST_F(WindowX, ClosingTheWindowMidScanLeavesTheReceiverViewingAndTheFilesWhole) {
  writeFile(dir_ + "/seed", "");
  std::string plug = root_ + "/var/tuxbox/plugins";
  x_->shell("mkdir -p " + plug);
  writeFile(plugins("scrutafasci.sr"), "22000\n27500\n");
  writeFile(plugins("scrutafasci.skip"), "#192\n11000 H\n");
  // Half a minute of box time at x1, a few milliseconds at full speed: the close must
  // stop the scan, not let it run to its end.
  start({"scan", "--window", "--scale", "1", "--speed", "1", "--quiet", "--from", "10700", "--to", "10900",
         "--root", root_});
  if (HasFatalFailure()) return;
  ASSERT_TRUE(emu_->waitOut("%  ", 60)) << emu_->out() << emu_->err();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_EQ(xwinStatus("close " + wid_), 0);
  int status = -1;
  ASSERT_TRUE(emu_->waitExit(60, &status)) << emu_->err();
  EXPECT_EQ(status, 0) << emu_->err();
  EXPECT_NE(emu_->err().find("receiver in viewing mode"), std::string::npos) << emu_->err() << emu_->out();
  EXPECT_NE(emu_->err().find("the scan was stopped"), std::string::npos) << emu_->err() << emu_->out();
  expectWholeSettings(readFile(plugins("scrutafasci.conf")));
  std::string sr = readFile(plugins("scrutafasci.sr"));
  EXPECT_TRUE(std::regex_match(sr, std::regex("([0-9]+\n)+"))) << sr;
  EXPECT_NE(sr.find("22000\n"), std::string::npos) << sr;
  std::string skip = readFile(plugins("scrutafasci.skip"));
  EXPECT_TRUE(std::regex_match(skip, std::regex("(#-?[0-9]+\n|[0-9]+ [HV]\n)+"))) << skip;
  EXPECT_NE(skip.find("11000 H\n"), std::string::npos) << skip;
}

TEST_F(WindowX, ASecondCloseBeforeThePluginReturnsEndsWithStatus5) {
  start({"scan", "--window", "--scale", "1", "--speed", "1", "--quiet", "--root", root_});
  if (HasFatalFailure()) return;
  ASSERT_TRUE(emu_->waitOut("scan: ", 60)) << emu_->out() << emu_->err();
  ASSERT_EQ(xwinStatus("close " + wid_ + " 2"), 0);
  int status = -1;
  ASSERT_TRUE(emu_->waitExit(60, &status)) << emu_->err();
  EXPECT_EQ(status, 5) << emu_->err();
  EXPECT_NE(emu_->err().find("closed again"), std::string::npos) << emu_->err();
}

TEST_F(WindowX, TheBoxClockKeepsTheChosenTempoAndStopsWhenPaused) {
  start({"run", "--window", "--scale", "1", "--root", root_});
  if (HasFatalFailure()) return;
  auto measure = [&](double wallS) {
    auto t0 = Clock::now();
    Shot a = screenshot();
    auto t1 = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(wallS * 1000)));
    auto t2 = Clock::now();
    Shot b = screenshot();
    auto t3 = Clock::now();
    // Each shot is taken between sending its key and seeing its line: take the middle.
    double wall = std::chrono::duration<double>((t2 + (t3 - t2) / 2) - (t0 + (t1 - t0) / 2)).count();
    return (b.boxS - a.boxS) / wall;
  };
  double x1 = measure(4);
  EXPECT_NEAR(x1, 1.0, 0.05) << "x1";
  keys("plus");
  double x10 = measure(2);
  EXPECT_NEAR(x10, 10.0, 0.5) << "x10";
  keys("space");
  double paused = measure(1);
  EXPECT_NEAR(paused, 0.0, 0.01) << "paused";
  keys("space minus");
  double back = measure(2);
  EXPECT_NEAR(back, 1.0, 0.05) << "x1 again";
  keys("Escape");
  int status = -1;
  ASSERT_TRUE(emu_->waitExit(30, &status)) << emu_->err();
  EXPECT_EQ(status, 0) << emu_->err();
}

TEST(WindowWithoutDisplay, SaysSoInOneLineAndExits2WhileHeadlessRunsDoNotTouchTheDisplay) {
  std::string dir = makeTempDir();
  std::string emu = SCRUTA_EMU_PATH;
  int st = std::system(("cd " + dir + " && env -u DISPLAY -u WAYLAND_DISPLAY " + suppressionsEnv() + " HOME=" + dir + " " + emu +
                        " run --window --root " + dir + "/box >out 2>err").c_str());
  EXPECT_EQ(WEXITSTATUS(st), 2);
  std::string err = readFile(dir + "/err");
  EXPECT_NE(err.find("DISPLAY"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  // Without --window a display that cannot be reached changes nothing.
  st = std::system(("cd " + dir + " && DISPLAY=:65431 " + suppressionsEnv() + " HOME=" + dir + " " + emu + " run --keys exit --root " + dir +
                    "/box >out 2>err").c_str());
  EXPECT_EQ(WEXITSTATUS(st), 0) << readFile(dir + "/err");
  // A display that is set but not there: one line, status 2.
  st = std::system(("cd " + dir + " && DISPLAY=:65431 " + suppressionsEnv() + " HOME=" + dir + " " + emu + " run --window --root " + dir +
                    "/box >out 2>err").c_str());
  EXPECT_EQ(WEXITSTATUS(st), 2) << readFile(dir + "/err");
  removeTree(dir);
}

}  // namespace
}  // namespace wintest
