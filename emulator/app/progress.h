// Progress of a scan on the terminal: a bar redrawn in place on a terminal,
// plain lines otherwise (or with --quiet).
#pragma once
#include <cstdio>
#include <string>

namespace app {

struct ProgressInfo {
  int freqMHz = 0;            // 0 while not known yet
  int percent = 0;
  int handOvers = 0;
  int services = 0;
  double boxTimeS = 0;
  double wallTimeS = 0;
  std::string status;         // the scan window's status line
};

class Progress {
public:
  // bar: redraw one line in place, as wide as the terminal (plain lines below 60 columns).
  Progress(std::FILE* out, bool bar);
  void update(const ProgressInfo& p);
  // Prints a line that must not be overwritten (above the bar).
  void note(const std::string& line);
  void finish(const ProgressInfo& p);
  bool isBar() const { return bar_; }

  static std::string formatClock(double seconds);   // h:mm:ss or m:ss
  static std::string barLine(const ProgressInfo& p, int width);
  static std::string plainLine(const ProgressInfo& p);
  // The bar line for a terminal of `columns` (one column spare, so it never wraps),
  // with the status line when room is left; "" below kMinColumns.
  static std::string fittedLine(const ProgressInfo& p, int columns);
  static constexpr int kMinColumns = 60;

private:
  void clearBar();
  int columns() const;
  std::FILE* out_;
  bool bar_;
  bool barShown_ = false;
  int lastPercent_ = -1, lastHandOvers_ = -1;
  double lastPrintWall_ = -1e9;
  std::string lastLine_;
};

}  // namespace app
