#include "x_display.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace wintest {

namespace {
using Clock = std::chrono::steady_clock;
bool onPath(const char* tool) {
  std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}
}  // namespace

std::string missingXPackages() {
  std::string m;
  if (!onPath("Xvfb")) m += " xvfb";
  if (!onPath("xdotool")) m += " xdotool";
  if (std::system("/usr/bin/python3 -c 'import Xlib' >/dev/null 2>&1") != 0) m += " python3-xlib";
  return m.empty() ? m : m.substr(1);
}

namespace {
std::string withOption(const char* var, const std::string& option) {
  const char* was = std::getenv(var);
  return was && *was ? std::string(was) + ":" + option : option;
}
std::string lsanSupp() { return std::string("suppressions=") + SCRUTA_SOURCE_DIR + "/tests/window/lsan.supp"; }
std::string tsanSupp() { return std::string("suppressions=") + SCRUTA_SOURCE_DIR + "/tests/window/tsan.supp"; }
}  // namespace

XServer::XServer() {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    close(fds[0]);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1300x24", "-nolisten", "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes the display number it took once it accepts connections.
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  auto end = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < end && poll(&p, 1, 100) >= 0) {
    char c;
    if (!(p.revents & (POLLIN | POLLHUP))) continue;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  display_ = ":" + number;
}

XServer::~XServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::string XServer::shell(const std::string& command, int* status) const {
  std::string cmd = "DISPLAY=" + display_ + " " + command;
  FILE* f = popen(cmd.c_str(), "r");
  if (!f) throw std::runtime_error("popen");
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  int st = pclose(f);
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

EmuChild::EmuChild(const XServer& x, const std::string& dir, const std::vector<std::string>& args) : dir_(dir) {
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    int out = open((dir + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open((dir + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = open("/dev/null", O_RDONLY);
    dup2(null, 0);
    dup2(out, 1);
    dup2(err, 2);
    setenv("DISPLAY", x.display().c_str(), 1);
    // What the system's graphics libraries leave behind is theirs (suppressed by library).
    setenv("LSAN_OPTIONS", withOption("LSAN_OPTIONS", lsanSupp()).c_str(), 1);
    setenv("TSAN_OPTIONS", withOption("TSAN_OPTIONS", tsanSupp()).c_str(), 1);
    setenv("HOME", dir.c_str(), 1);
    setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
    if (chdir(dir.c_str()) != 0) _exit(126);
    std::vector<std::string> copy = args;
    std::string exe = SCRUTA_EMU_PATH;
    std::vector<char*> argv{exe.data()};
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
}

EmuChild::~EmuChild() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool EmuChild::waitExit(double timeoutS, int* status) {
  auto end = Clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutS * 1000));
  for (;;) {
    int st = 0;
    pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
      return true;
    }
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string EmuChild::out() const { return readFile(dir_ + "/stdout"); }
std::string EmuChild::err() const { return readFile(dir_ + "/stderr"); }

bool EmuChild::waitOut(const std::string& part, double timeoutS) const {
  auto end = Clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutS * 1000));
  while (out().find(part) == std::string::npos) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string findWindow(const XServer& x, const std::string& part, double timeoutS) {
  auto end = Clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutS * 1000));
  for (;;) {
    std::string id = x.shell("xdotool search --name '" + part + "' 2>/dev/null | head -1");
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    if (!id.empty() || Clock::now() > end) return id;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

std::string suppressionsEnv() {
  return "LSAN_OPTIONS='" + withOption("LSAN_OPTIONS", lsanSupp()) + "' TSAN_OPTIONS='" +
         withOption("TSAN_OPTIONS", tsanSupp()) + "'";
}

std::string xwin() { return std::string("/usr/bin/python3 ") + SCRUTA_SOURCE_DIR + "/tests/window/xwin.py"; }

}  // namespace wintest
