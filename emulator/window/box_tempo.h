// The box clock's tempo in a window: x1, x10, x100 or as fast as possible, and a
// pause. A thread keeps the box clock moving while nobody asks the tuner anything:
// at a set speed it follows the wall clock times the speed; at full speed, when the
// clock has stood still for a moment, it jumps to the next timer that is due.
#pragma once
#include <atomic>
#include <string>
#include <thread>

namespace emu { class VirtualClock; }

namespace win {

class BoxTempo {
public:
  // The speeds + and - step through; 0 is as fast as possible.
  static constexpr unsigned steps[] = {1, 10, 100, 0};

  BoxTempo(emu::VirtualClock& clock, unsigned speed);
  ~BoxTempo();   // stops the thread; the clock keeps its last speed
  BoxTempo(const BoxTempo&) = delete;
  BoxTempo& operator=(const BoxTempo&) = delete;

  void faster();
  void slower();
  void togglePause();
  void setSpeed(unsigned speed);
  unsigned speed() const;
  bool paused() const;
  // "x1", "x10", "x100", "max", with " paused" when paused.
  std::string label() const;
  static std::string speedName(unsigned speed);

private:
  void tick();
  emu::VirtualClock& clock_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace win
