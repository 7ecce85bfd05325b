// The box's virtual clock in microseconds. Requests and usleep advance it; with
// pacing on, it never runs ahead of the wall clock (--realtime).
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace emu {

class VirtualClock {
public:
  uint64_t now() const { return now_us_.load(std::memory_order_acquire); }
  // Adds d microseconds and returns the new time; does not sleep.
  uint64_t advance(uint64_t d);
  // Moves the clock forward to t (never backward); returns the new time.
  uint64_t advanceTo(uint64_t t);
  // With pacing on, sleeps until the wall clock has caught up with now().
  void pace() const;
  // usleep: advance, then pace (or just yield to the other threads).
  void sleep(uint64_t us);

  void setRealtime(bool on);
  bool realtime() const { return realtime_.load(std::memory_order_acquire); }
  void reset(uint64_t t = 0);   // tests: start again at t

private:
  std::atomic<uint64_t> now_us_{0};
  std::atomic<bool> realtime_{false};
  mutable std::mutex origin_mutex_;
  uint64_t origin_virtual_ = 0;
  std::chrono::steady_clock::time_point origin_wall_{};
};

}  // namespace emu
