// The window's parts without a display: the keyboard map, the remote control's
// buttons, the box clock's tempo and pause, and timers that count box time.
#include <SDL.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include <gtest/gtest.h>
#include <host/gui/ebase.h>

#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"
#include "emulator/tuner/clock.h"
#include "emulator/window/box_tempo.h"
#include "emulator/window/keyboard_map.h"
#include "emulator/window/remote_control.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(KeyboardMap, KeysGiveTheRemoteKeysAndTheWindowsOwnActions) {
  struct Case { int sym; win::KeyAction::Kind kind; const char* remote; };
  const Case cases[] = {
      {SDLK_0, win::KeyAction::Remote, "0"},     {SDLK_7, win::KeyAction::Remote, "7"},
      {SDLK_KP_3, win::KeyAction::Remote, "3"},  {SDLK_UP, win::KeyAction::Remote, "up"},
      {SDLK_DOWN, win::KeyAction::Remote, "down"}, {SDLK_LEFT, win::KeyAction::Remote, "left"},
      {SDLK_RIGHT, win::KeyAction::Remote, "right"}, {SDLK_RETURN, win::KeyAction::Remote, "ok"},
      {SDLK_ESCAPE, win::KeyAction::Remote, "exit"}, {SDLK_r, win::KeyAction::Remote, "red"},
      {SDLK_F2, win::KeyAction::Remote, "green"}, {SDLK_y, win::KeyAction::Remote, "yellow"},
      {SDLK_F4, win::KeyAction::Remote, "blue"}, {SDLK_m, win::KeyAction::Remote, "menu"},
      {SDLK_s, win::KeyAction::Screenshot, ""},  {SDLK_EQUALS, win::KeyAction::Faster, ""},
      {SDLK_KP_PLUS, win::KeyAction::Faster, ""}, {SDLK_MINUS, win::KeyAction::Slower, ""},
      {SDLK_SPACE, win::KeyAction::Pause, ""},
      // An accidental exit loses what was typed into a settings window: Backspace does nothing.
      {SDLK_BACKSPACE, win::KeyAction::None, ""}, {SDLK_q, win::KeyAction::None, ""},
  };
  for (const auto& c : cases) {
    win::KeyAction a = win::mapKey(c.sym);
    EXPECT_EQ(a.kind, c.kind) << SDL_GetKeyName(c.sym);
    EXPECT_EQ(a.remoteKey, c.remote) << SDL_GetKeyName(c.sym);
  }
}

TEST(RemoteControl, EveryKeyHasOneButtonAndAClickFindsItsKey) {
  win::RemoteControl remote(720, 604);
  std::set<std::string> keys;
  for (const auto& b : remote.buttons()) {
    EXPECT_TRUE(keys.insert(b.key).second) << "two buttons for " << b.key;
    EXPECT_GE(emu::keyFromName(b.key), 0) << b.key;
    // Inside the panel, clear of the screen.
    EXPECT_GE(b.area.x, 720);
    EXPECT_LE(b.area.x + b.area.w, 720 + win::RemoteControl::width);
    EXPECT_LE(b.area.y + b.area.h, 604);
    EXPECT_EQ(remote.keyAt(b.area.x + b.area.w / 2, b.area.y + b.area.h / 2), b.key);
    EXPECT_EQ(remote.keyAt(b.area.x, b.area.y), b.key);
    EXPECT_EQ(remote.keyAt(b.area.x + b.area.w - 1, b.area.y + b.area.h - 1), b.key);
  }
  for (const char* k : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "up", "down", "left", "right", "ok",
                        "exit", "red", "green", "yellow", "blue", "menu"})
    EXPECT_TRUE(keys.count(k)) << "no button for " << k;
  // Between buttons and on the screen a click presses nothing.
  EXPECT_EQ(remote.keyAt(100, 100), "");
  EXPECT_EQ(remote.keyAt(720 + 2, 300), "");
}

TEST(BoxTempo, PlusAndMinusStepThroughTheSpeedsAndStopAtTheEnds) {
  emu::VirtualClock clock;
  win::BoxTempo tempo(clock, 1);
  const unsigned up[] = {10, 100, 0, 0};
  for (unsigned want : up) {
    tempo.faster();
    EXPECT_EQ(tempo.speed(), want);
  }
  EXPECT_EQ(tempo.label(), "max");
  const unsigned down[] = {100, 10, 1, 1};
  for (unsigned want : down) {
    tempo.slower();
    EXPECT_EQ(tempo.speed(), want);
  }
  tempo.togglePause();
  EXPECT_EQ(tempo.label(), "x1 paused");
  tempo.togglePause();
  EXPECT_FALSE(clock.paused());
}

TEST(BoxTempo, ThePausedBoxClockStandsStillAndPacingWaitsForTheResume) {
  emu::VirtualClock clock;
  win::BoxTempo tempo(clock, 100);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_GT(clock.now(), 1000000u) << "x100 for 50 ms is some seconds of box time";
  tempo.togglePause();
  uint64_t frozen = clock.now();
  std::atomic<bool> slept{false};
  std::thread box([&] {
    clock.sleep(1000);   // usleep on the box
    slept = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(slept.load()) << "a paused box must not go on";
  EXPECT_EQ(clock.now(), frozen + 1000);
  // The pause under way counts as paused wall time, and stays counted after it.
  EXPECT_GE(clock.pausedWallS(), 0.1);
  tempo.togglePause();
  box.join();
  EXPECT_TRUE(slept.load());
  double held = clock.pausedWallS();
  EXPECT_GE(held, 0.1);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(clock.pausedWallS(), held) << "running time is not paused time";
}

TEST(BoxTempo, AtFullSpeedAnIdleBoxJumpsToItsNextTimer) {
  emu::startToolkit();
  emu::VirtualClock& clock = emu::box().clock();
  win::BoxTempo tempo(clock, 0);
  emu::setTimerClock([&clock] { return clock.now(); });
  uint64_t start = clock.now();
  std::atomic<bool> fired{false};
  eTimer* timer = nullptr;
  emu::post([&] {
    timer = new eTimer(eApp);
    timer->timeout.connect([&] {
      fired = true;
      emu::quitLoop(0);
    });
    timer->start(5000, true);   // 5 s of box time
  });
  auto t0 = Clock::now();
  emu::runLoop();
  double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  EXPECT_TRUE(fired.load());
  EXPECT_GE(clock.now() - start, 5000000u) << "the timer fired before its box time";
  EXPECT_LT(wall, 2.0) << "full speed waited for the wall clock";
  emu::setTimerClock(nullptr);
  delete timer;
}

TEST(TimerClock, ATimerOnTheBoxClockWaitsForBoxTimeNotWallTime) {
  emu::startToolkit();
  emu::VirtualClock clock;
  clock.reset(1000000);
  emu::setTimerClock([&clock] { return clock.now(); });
  std::atomic<bool> fired{false};
  eTimer* timer = nullptr;
  emu::post([&] {
    timer = new eTimer(eApp);
    timer->timeout.connect([&] { fired = true; });
    timer->start(50, true);
  });
  std::thread loop([] { emu::runLoop(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(fired.load()) << "fired on the wall clock while box time stood still";
  clock.advance(49000);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(fired.load()) << "fired 1 ms of box time early";
  clock.advance(1000);
  auto end = Clock::now() + std::chrono::seconds(2);
  while (!fired.load() && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(fired.load());
  emu::post([] { emu::quitLoop(0); });
  loop.join();
  emu::setTimerClock(nullptr);
  delete timer;
}

}  // namespace
