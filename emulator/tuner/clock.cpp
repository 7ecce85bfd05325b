#include "emulator/tuner/clock.h"

#include <sched.h>

#include <thread>

namespace emu {

using WallClock = std::chrono::steady_clock;

uint64_t VirtualClock::advance(uint64_t d) {
  return now_us_.fetch_add(d, std::memory_order_acq_rel) + d;
}

uint64_t VirtualClock::advanceTo(uint64_t t) {
  uint64_t cur = now_us_.load(std::memory_order_acquire);
  while (cur < t && !now_us_.compare_exchange_weak(cur, t, std::memory_order_acq_rel)) {
  }
  return cur < t ? t : cur;
}

void VirtualClock::pace() const {
  if (!paused() && !realtime()) return;   // the unpaced path takes no lock
  std::unique_lock<std::mutex> l(origin_mutex_);
  for (;;) {
    if (paused()) {
      changed_.wait(l);
      continue;
    }
    unsigned s = speed();
    uint64_t v = now();
    if (!s || v <= origin_virtual_) return;
    auto target = origin_wall_ + std::chrono::microseconds((v - origin_virtual_) / s);
    if (WallClock::now() >= target) return;
    // Woken early when the speed changes or the clock is paused.
    changed_.wait_until(l, target);
  }
}

void VirtualClock::sleep(uint64_t us) {
  advance(us);
  if (realtime() || paused())
    pace();
  else
    sched_yield();   // spinning callers must still let the others run
}

void VirtualClock::rebaseLocked() {
  origin_virtual_ = now();
  origin_wall_ = WallClock::now();
  changed_.notify_all();
}

void VirtualClock::setSpeed(unsigned factor) {
  std::lock_guard<std::mutex> l(origin_mutex_);
  speed_.store(factor, std::memory_order_release);
  rebaseLocked();
}

void VirtualClock::setPaused(bool on) {
  std::lock_guard<std::mutex> l(origin_mutex_);
  if (on != paused()) {
    if (on) paused_since_ = WallClock::now();
    else paused_total_ += WallClock::now() - paused_since_;
  }
  paused_.store(on, std::memory_order_release);
  rebaseLocked();
}

double VirtualClock::pausedWallS() const {
  std::lock_guard<std::mutex> l(origin_mutex_);
  auto total = paused_total_;
  if (paused()) total += WallClock::now() - paused_since_;
  return std::chrono::duration<double>(total).count();
}

uint64_t VirtualClock::follow() {
  std::lock_guard<std::mutex> l(origin_mutex_);
  unsigned s = speed();
  if (!s || paused()) return now();
  auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(WallClock::now() - origin_wall_).count();
  if (elapsed <= 0) return now();
  return advanceTo(origin_virtual_ + static_cast<uint64_t>(elapsed) * s);
}

void VirtualClock::reset(uint64_t t) {
  std::lock_guard<std::mutex> l(origin_mutex_);
  now_us_.store(t, std::memory_order_release);
  rebaseLocked();
}

}  // namespace emu
