#include "emulator/window/box_tempo.h"

#include <chrono>

#include "emulator/toolkit/emu.h"
#include "emulator/tuner/clock.h"

namespace win {

namespace {
int stepIndex(unsigned speed) {
  for (int i = 0; i < 4; ++i)
    if (BoxTempo::steps[i] == speed) return i;
  return 0;
}
// How long the box clock must stand still, at full speed, before it jumps to a timer.
constexpr auto kIdle = std::chrono::milliseconds(2);
}  // namespace

BoxTempo::BoxTempo(emu::VirtualClock& clock, unsigned speed) : clock_(clock) {
  clock_.setSpeed(speed);
  thread_ = std::thread([this] { tick(); });
}

BoxTempo::~BoxTempo() {
  stop_ = true;
  thread_.join();
}

void BoxTempo::tick() {
  uint64_t last = clock_.now();
  auto stillSince = std::chrono::steady_clock::now();
  while (!stop_.load()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (clock_.paused()) continue;
    if (clock_.speed()) {
      clock_.follow();
      continue;
    }
    // Full speed: box time moves only by what the box does; when everyone waits for a
    // timer, the timer's moment comes at once.
    uint64_t now = clock_.now();
    auto wall = std::chrono::steady_clock::now();
    if (now != last) {
      last = now;
      stillSince = wall;
      continue;
    }
    if (wall - stillSince < kIdle) continue;
    uint64_t due = emu::nextTimerDue();
    if (due != UINT64_MAX && due > now) last = clock_.advanceTo(due);
    stillSince = wall;
  }
}

void BoxTempo::faster() {
  int i = stepIndex(speed());
  if (i < 3) setSpeed(steps[i + 1]);
}

void BoxTempo::slower() {
  int i = stepIndex(speed());
  if (i > 0) setSpeed(steps[i - 1]);
}

void BoxTempo::togglePause() { clock_.setPaused(!clock_.paused()); }
void BoxTempo::setSpeed(unsigned speed) { clock_.setSpeed(speed); }
unsigned BoxTempo::speed() const { return clock_.speed(); }
bool BoxTempo::paused() const { return clock_.paused(); }

std::string BoxTempo::speedName(unsigned speed) { return speed ? "x" + std::to_string(speed) : "max"; }

std::string BoxTempo::label() const { return speedName(speed()) + (paused() ? " paused" : ""); }

}  // namespace win
