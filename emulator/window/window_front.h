// The box in a desktop window (SDL2): its screen live and scaled, a remote control
// beside it, a status strip under it, the keyboard, and the box clock's tempo.
// Everything of SDL runs on the window's own thread; keys and clicks go to the
// plug-in through the GUI loop's queue.
#pragma once
#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace win {

struct WindowConfig {
  std::string title;       // "scrutafasci-emu — <scenario name>"
  int scale = 0;           // 0: the largest whole factor that fits the display
  unsigned speed = 1;      // the box clock's tempo at the start; 0 = as fast as possible
  std::string shotDir;     // where the s key writes its screenshots
  double closeBoundS = 30; // wall time the plug-in has to return after the window's close
};

// Why no window can be shown here (no DISPLAY and no WAYLAND_DISPLAY); empty when one can.
std::string noDisplayReason();

class WindowFront {
public:
  explicit WindowFront(WindowConfig config);
  ~WindowFront();   // stop()
  WindowFront(const WindowFront&) = delete;
  WindowFront& operator=(const WindowFront&) = delete;

  // Opens the window and starts its thread and the tempo; false with *error when not.
  bool start(std::string* error);
  // The window has been closed once: the plug-in is to be left (exit presses).
  bool closeRequested() const { return closed_.load(); }
  // The plug-in has been asked to leave: the box runs as fast as it can until it has.
  // Not at the close itself: at full speed a scan could end before its stop is asked.
  void windDown();
  // The plug-in has returned: the window goes and its thread ends.
  void stop();

  unsigned long framesPresented() const { return frames_.load(); }

private:
  struct Impl;
  void run();
  WindowConfig config_;
  std::unique_ptr<Impl> impl_;
  std::thread thread_;
  std::atomic<bool> closed_{false}, stop_{false};
  std::atomic<unsigned long> frames_{0};
};

}  // namespace win
