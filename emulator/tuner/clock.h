// The box's virtual clock in microseconds. Requests and usleep advance it; with
// a speed set it never runs ahead of the wall clock times that speed (--realtime
// is speed 1), and while paused every pacing call waits.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
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
  // With a speed set, sleeps until the wall clock times the speed has caught up
  // with now(); while paused, first waits for the resume.
  void pace() const;
  // usleep: advance, then pace (or just yield to the other threads).
  void sleep(uint64_t us);

  void setRealtime(bool on) { setSpeed(on ? 1 : 0); }
  bool realtime() const { return speed() != 0; }
  // Box seconds per wall second; 0: unpaced, as fast as the machine allows.
  void setSpeed(unsigned factor);
  unsigned speed() const { return speed_.load(std::memory_order_acquire); }
  // A paused clock is frozen: pacing waits, follow() does nothing.
  void setPaused(bool on);
  bool paused() const { return paused_.load(std::memory_order_acquire); }
  // Wall seconds spent paused so far, the pause under way included: time bounds
  // measured in wall time leave out what a person held the box still for.
  double pausedWallS() const;
  // With a speed set and not paused, moves the clock to where the wall clock
  // says it is, so that box time passes while nobody asks the tuner anything.
  uint64_t follow();
  void reset(uint64_t t = 0);   // tests: start again at t

private:
  void rebaseLocked();
  std::atomic<uint64_t> now_us_{0};
  std::atomic<unsigned> speed_{0};
  std::atomic<bool> paused_{false};
  mutable std::mutex origin_mutex_;
  mutable std::condition_variable changed_;
  uint64_t origin_virtual_ = 0;
  std::chrono::steady_clock::time_point origin_wall_{};
  std::chrono::steady_clock::duration paused_total_{};
  std::chrono::steady_clock::time_point paused_since_{};
};

}  // namespace emu
