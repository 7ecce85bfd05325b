// The debug log: lines kept in memory for tests and written to stderr or a file.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <unistd.h>
#include <host/gui/eerror.h>
#include "emu.h"

namespace {

struct Log {
  std::mutex m;
  std::deque<std::string> lines;
  FILE* file = nullptr;
  bool toStderr = true;
};
// Never destroyed: static objects of the plug-in log while the process ends.
Log& theLog() {
  static Log* log = new Log;
  return *log;
}
constexpr size_t maxLines = 200000;

std::string format(const char* fmt, va_list ap, int savedErrno) {
  char small[512];
  va_list copy;
  va_copy(copy, ap);
  errno = savedErrno;   // %m reads errno
  int n = vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  if (n < 0) return std::string("(bad log format) ") + fmt;
  if (size_t(n) < sizeof small) return std::string(small, size_t(n));
  std::string big(size_t(n) + 1, '\0');
  errno = savedErrno;
  vsnprintf(&big[0], big.size(), fmt, ap);
  big.resize(size_t(n));
  return big;
}

void emit(const std::string& line, bool forceStderr) {
  Log& log = theLog();
  std::lock_guard<std::mutex> g(log.m);
  log.lines.push_back(line);
  if (log.lines.size() > maxLines) log.lines.pop_front();
  if (log.file) {
    std::fprintf(log.file, "%s\n", line.c_str());
    std::fflush(log.file);
  }
  if ((log.toStderr && !log.file) || forceStderr) std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

void eDebug(const char* fmt, ...) {
  int e = errno;
  va_list ap;
  va_start(ap, fmt);
  std::string s = format(fmt, ap, e);
  va_end(ap);
  emit(s, false);
  errno = e;
}

void eWarning(const char* fmt, ...) {
  int e = errno;
  va_list ap;
  va_start(ap, fmt);
  std::string s = format(fmt, ap, e);
  va_end(ap);
  emit(s, false);
  errno = e;
}

void eFatal(const char* fmt, ...) {
  int e = errno;
  va_list ap;
  va_start(ap, fmt);
  std::string s = format(fmt, ap, e);
  va_end(ap);
  emit("FATAL: " + s, true);
  std::fflush(nullptr);
  // No static destructors: the GUI may be in any state when this is called.
  std::_Exit(1);
}

namespace emu {

std::vector<std::string> logLines() {
  Log& log = theLog();
  std::lock_guard<std::mutex> g(log.m);
  return std::vector<std::string>(log.lines.begin(), log.lines.end());
}

bool logContains(const std::string& part) {
  Log& log = theLog();
  std::lock_guard<std::mutex> g(log.m);
  for (const auto& l : log.lines)
    if (l.find(part) != std::string::npos) return true;
  return false;
}

void clearLog() {
  Log& log = theLog();
  std::lock_guard<std::mutex> g(log.m);
  log.lines.clear();
}

void setLogFile(const char* path) {
  Log& log = theLog();
  std::lock_guard<std::mutex> g(log.m);
  if (log.file) std::fclose(log.file);
  log.file = nullptr;
  if (path) {
    log.file = std::fopen(path, "a");
    if (!log.file) std::fprintf(stderr, "log file %s: %s\n", path, std::strerror(errno));
  }
}

void setLogToStderr(bool on) {
  Log& log = theLog();
  std::lock_guard<std::mutex> g(log.m);
  log.toStderr = on;
}

}  // namespace emu
