// A real X server for the window tests (Xvfb, started per test), the emulator as a
// child process on it, and the X tools that drive it as a person would: xdotool
// for keys and clicks (XTEST), xwin.py (python3-xlib) for pixels and window-manager
// messages.
#pragma once
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.h"

namespace wintest {

// The Debian packages of the X tools that are missing here; empty when all are there.
std::string missingXPackages();

// Skips the test when the X tools are missing, naming the packages; with CI set
// in the environment it fails instead.
#define REQUIRE_X_TOOLS()                                                                       \
  do {                                                                                          \
    std::string missing_ = ::wintest::missingXPackages();                                      \
    if (!missing_.empty()) {                                                                    \
      if (std::getenv("CI")) FAIL() << "CI needs the window tests' packages: " << missing_;    \
      GTEST_SKIP() << "no X server for the window tests: install " << missing_;                 \
    }                                                                                           \
  } while (0)

class XServer {
public:
  XServer();    // starts Xvfb on a free display (1920x1300x24); throws on failure
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  const std::string& display() const { return display_; }
  // Runs a shell command with DISPLAY set; its standard output, and its status in *status.
  std::string shell(const std::string& command, int* status = nullptr) const;

private:
  int pid_ = -1;
  std::string display_;
};

class EmuChild {
public:
  // Starts scrutafasci-emu with args on the display, in dir (stdout and stderr go to
  // files there; HOME and XDG_STATE_HOME point into it).
  EmuChild(const XServer& x, const std::string& dir, const std::vector<std::string>& args);
  ~EmuChild();   // kills it if still running
  // Waits up to timeoutS for the exit; true and the status in *status when it ended.
  bool waitExit(double timeoutS, int* status);
  std::string out() const;
  std::string err() const;
  // Waits until standard output holds part; false after timeoutS.
  bool waitOut(const std::string& part, double timeoutS) const;

private:
  int pid_ = -1;
  std::string dir_;
};

// The id of the window whose title holds part, waiting up to timeoutS; empty when none.
std::string findWindow(const XServer& x, const std::string& part, double timeoutS = 20);
// LSAN_OPTIONS=... TSAN_OPTIONS=... with the graphics libraries' suppressions added,
// to put before a shell command that starts the emulator.
std::string suppressionsEnv();
// The path of xwin.py in the source tree, run with the system's python3.
std::string xwin();

inline std::string makeTempDir() { return testsupport::makeTempDir("window"); }
using testsupport::readFile;
using testsupport::removeTree;
using testsupport::writeFile;

}  // namespace wintest
