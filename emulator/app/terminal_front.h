// The box's screen on a terminal during `run`: keys typed there go to the box,
// and what the screen shows is printed after every change (a few times a second
// at most) - redrawn in place on a terminal, as changed lines into a pipe.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "emulator/app/driver.h"

namespace app {

// Prints successive frames of screen lines.
class FramePrinter {
public:
  // inPlace: redraw over the previous frame (a terminal of `width` columns).
  FramePrinter(std::FILE* out, bool inPlace, int width);
  // Prints the frame if it differs from the last one.
  void show(const std::vector<std::string>& lines);
  // A line that stays (above the frame on a terminal).
  void note(const std::string& line);

private:
  void erase();
  std::FILE* out_;
  bool inPlace_;
  int width_;
  std::vector<std::string> last_;
  int drawn_ = 0;       // lines of the frame on the terminal now
};

struct TerminalFrontOptions {
  std::string shotFolder;    // where `s` writes shot-NNN.png
  int inputFd = 0;
  std::FILE* out = stdout;
};

// Runs until the plug-in returns, q or Ctrl-C asks to leave, or the input ends.
// Returns false when a screenshot failed.
bool runTerminalFront(Driver& d, const TerminalFrontOptions& o);

// The next free numbered screenshot path in folder: folder/shot-001.png, ...
std::string nextShotPath(const std::string& folder);

// The terminal's width in columns (80 when it cannot be told).
int terminalWidth(int fd);

}  // namespace app
