#include "emulator/app/progress.h"

#include <algorithm>
#include <cmath>

#include "emulator/app/summary.h"
#include "emulator/app/terminal_front.h"

namespace app {

Progress::Progress(std::FILE* out, bool bar) : out_(out), bar_(bar) {}

std::string Progress::formatClock(double seconds) {
  long s = std::lround(std::max(0.0, seconds));
  char buf[32];
  if (s >= 3600) std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

namespace {

std::string numbersOf(const ProgressInfo& p) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%3d%% %5d MHz TP %d svc %d box %s wall %s", std::clamp(p.percent, 0, 100),
                p.freqMHz, p.handOvers, p.services, Progress::formatClock(p.boxTimeS).c_str(),
                Progress::formatClock(p.wallTimeS).c_str());
  return buf;
}

}  // namespace

std::string Progress::barLine(const ProgressInfo& p, int width) {
  int pc = std::clamp(p.percent, 0, 100);
  int filled = width * pc / 100;
  std::string bar(static_cast<size_t>(filled), '#');
  bar += std::string(static_cast<size_t>(width - filled), '-');
  return "[" + bar + "] " + numbersOf(p);
}

std::string Progress::plainLine(const ProgressInfo& p) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "scan: %3d%%  %5d MHz  transponders %d  services %d  box %s  wall %s",
                std::clamp(p.percent, 0, 100), p.freqMHz, p.handOvers, p.services,
                formatClock(p.boxTimeS).c_str(), formatClock(p.wallTimeS).c_str());
  return buf;
}

std::string Progress::fittedLine(const ProgressInfo& p, int columns) {
  if (columns < kMinColumns) return "";
  int room = columns - 1;
  // The bar takes what the numbers leave, 5 to 30 marks; with less room, the numbers alone.
  std::string numbers = numbersOf(p);
  int marks = room - static_cast<int>(textWidth(numbers)) - 3;
  std::string line = marks >= 5 ? barLine(p, std::min(marks, 30)) : numbers;
  int left = room - static_cast<int>(textWidth(line)) - 2;
  if (left >= 12 && !p.status.empty()) {
    std::string status;
    size_t cols = 0;
    for (char c : p.status) {
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && static_cast<int>(++cols) > left) break;
      status += c;
    }
    line += "  " + status;
  }
  if (static_cast<int>(textWidth(line)) > room) return "";
  return line;
}

int Progress::columns() const { return terminalWidth(fileno(out_)); }

void Progress::clearBar() {
  if (barShown_) std::fprintf(out_, "\r\033[K");
  barShown_ = false;
}

void Progress::update(const ProgressInfo& p) {
  if (bar_) {
    std::string line = fittedLine(p, columns());
    if (!line.empty()) {
      std::fprintf(out_, "\r%s\033[K", line.c_str());
      std::fflush(out_);
      barShown_ = true;
      return;
    }
    // Too narrow for a bar that does not wrap: plain lines from now on.
    clearBar();
    bar_ = false;
  }
  // Plain lines: at every tenth of the range, at each hand-over, and at least
  // every 30 s of wall time; nothing before the scan has shown a frequency.
  if (p.freqMHz <= 0) return;
  bool due = p.percent / 10 != lastPercent_ / 10 || p.handOvers != lastHandOvers_ ||
             p.wallTimeS - lastPrintWall_ >= 30;
  if (!due) return;
  lastPercent_ = p.percent;
  lastHandOvers_ = p.handOvers;
  lastPrintWall_ = p.wallTimeS;
  lastLine_ = plainLine(p);
  std::fprintf(out_, "%s\n", lastLine_.c_str());
  std::fflush(out_);
}

void Progress::note(const std::string& line) {
  clearBar();
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void Progress::finish(const ProgressInfo& p) {
  std::string line = bar_ ? fittedLine(p, columns()) : "";
  if (bar_ && !line.empty()) {
    std::fprintf(out_, "\r%s\033[K\n", line.c_str());
    barShown_ = false;
  } else if (plainLine(p) != lastLine_) {
    std::fprintf(out_, "%s\n", plainLine(p).c_str());
  }
  std::fflush(out_);
}

}  // namespace app
