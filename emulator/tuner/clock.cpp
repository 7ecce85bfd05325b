#include "emulator/tuner/clock.h"

#include <sched.h>

#include <thread>

namespace emu {

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
  if (!realtime()) return;
  std::chrono::steady_clock::time_point target;
  {
    std::lock_guard<std::mutex> l(origin_mutex_);
    uint64_t v = now();
    if (v <= origin_virtual_) return;
    target = origin_wall_ + std::chrono::microseconds(v - origin_virtual_);
  }
  std::this_thread::sleep_until(target);
}

void VirtualClock::sleep(uint64_t us) {
  advance(us);
  if (realtime())
    pace();
  else
    sched_yield();   // spinning callers must still let the others run
}

void VirtualClock::setRealtime(bool on) {
  std::lock_guard<std::mutex> l(origin_mutex_);
  origin_virtual_ = now();
  origin_wall_ = std::chrono::steady_clock::now();
  realtime_.store(on, std::memory_order_release);
}

void VirtualClock::reset(uint64_t t) {
  std::lock_guard<std::mutex> l(origin_mutex_);
  now_us_.store(t, std::memory_order_release);
  origin_virtual_ = t;
  origin_wall_ = std::chrono::steady_clock::now();
}

}  // namespace emu
