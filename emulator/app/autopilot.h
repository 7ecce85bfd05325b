// The person at the remote control during `scan`: enters the settings into the
// settings window, starts the scan, answers the message boxes by a fixed policy,
// waits for the end, takes the screenshots, closes the scan window and leaves.
//
// Policy: the interruption and skip questions are answered with the red key
// (go on, add nothing); the closing message and notices are accepted (OK).
#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "emulator/app/driver.h"
#include "emulator/app/options.h"
#include "emulator/app/progress.h"

namespace app {

// Whether a message box met when the scan is started is the settings window
// refusing the search (its warning caption and text), not, say, the closing box
// of a scan that is already over.
bool isRefusal(const std::string& caption, const std::string& text);

struct AutopilotOutcome {
  bool finished = false;          // "Scansione terminata...have fun!" was reached
  bool timedOut = false;          // the box-time or wall-time bound ran out first
  bool refused = false;           // the plug-in refused to start the scan
  bool started = false;           // the scan window appeared
  bool interrupted = false;       // Ctrl-C asked the scan to stop
  std::string outcome;            // one line for the user and the report
  std::vector<std::string> answered;   // message boxes met, with the answer given, not told live
  std::string screenshotError;
  ProgressInfo last;              // the scan window's last progress seen
  bool closed = false;            // the window was closed: the scan was stopped and left
};

struct AutopilotHooks {
  std::function<double()> boxTimeS;                 // the box's virtual clock
  std::function<void(ProgressInfo&)> counts;        // fills handOvers and services
  std::function<void(const std::string&)> note;     // a line for the user
  std::function<void(const ProgressInfo&)> progress;
  std::function<bool()> interrupted;                // the user asked to stop (Ctrl-C)
  // Writes the graph widget's whole bitmap; false (and the error) when it cannot.
  std::function<bool(eWidget* graph, const std::string& path, std::string* error)> spectrumBitmap;
  // True once the person watching has closed the window: stop the scan and leave.
  std::function<bool()> closeRequested;
  // Called once the plug-in has been asked to stop after a close: the box may now hurry.
  std::function<void()> windDown;
};

class Autopilot {
public:
  Autopilot(Driver& driver, const ScanOptions& options, AutopilotHooks hooks);
  AutopilotOutcome run();

  // The key names that type value into a number field of `fields` digit fields.
  static std::vector<std::string> digitKeys(int value, int fields);

private:
  bool waitSettingsWindow();
  bool enterSettings();
  bool focusTo(const std::string& widget);
  bool chooseListKey(const std::string& list, int key);
  bool typeNumber(const std::string& field, int fields, int value);
  bool startScan();
  void followScan();
  bool answerBox(bool stopping = false);   // true when it stopped the scan
  void takeScreenshots(bool end);
  void closeScanWindow();
  void leavePlugin();
  ProgressInfo progressNow() const;
  void fail(const std::string& why);
  bool closing();

  Driver& d_;
  const ScanOptions& o_;
  AutopilotHooks hooks_;
  AutopilotOutcome out_;
  std::chrono::steady_clock::time_point start_;
  double pausedAtStart_ = 0;   // the box clock's paused wall time when the run began
};

}  // namespace app
