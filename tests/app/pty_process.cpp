#include "pty_process.h"

#include "emu_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace apptest {

std::string plainText(const std::string& raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '\033') {
      // CSI: ESC [ parameters final; anything else: ESC and one byte.
      if (i + 1 < raw.size() && raw[i + 1] == '[') {
        i += 2;
        while (i < raw.size() && !(raw[i] >= 0x40 && raw[i] <= 0x7E)) ++i;
      } else {
        ++i;
      }
      continue;
    }
    if (c != '\r') out += c;
  }
  return out;
}

EmuPty::EmuPty(const std::vector<std::string>& args, const std::string& home, int cols, int rows) {
  winsize ws{};
  ws.ws_col = static_cast<unsigned short>(cols);
  ws.ws_row = static_cast<unsigned short>(rows);
  pid_ = forkpty(&master_, nullptr, nullptr, &ws);
  if (pid_ < 0) throw std::runtime_error("forkpty");
  if (pid_ == 0) {
    setenv("TERM", "xterm", 1);
    execEmu(args, home);
  }
}

EmuPty::~EmuPty() {
  if (pid_ > 0 && status_ < 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (master_ >= 0) close(master_);
}

void EmuPty::type(const std::string& bytes) {
  ssize_t n = write(master_, bytes.data(), bytes.size());
  (void)n;
}

void EmuPty::pump(int timeoutMs) {
  pollfd p{master_, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return;
  char buf[4096];
  ssize_t n = read(master_, buf, sizeof buf);
  if (n > 0) {
    raw_.append(buf, static_cast<size_t>(n));
    text_ = plainText(raw_);
  }
}

bool EmuPty::waitFor(const std::string& part, double timeoutS, size_t from) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutS * 1000));
  for (;;) {
    if (text_.size() > from && text_.find(part, from) != std::string::npos) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    pump(50);
  }
}

int EmuPty::finish(double timeoutS) {
  if (status_ >= 0) return status_;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(timeoutS * 1000));
  int st = 0;
  for (;;) {
    pump(20);
    pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_) break;
    if (std::chrono::steady_clock::now() > end) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &st, 0);
      break;
    }
  }
  for (int i = 0; i < 5; ++i) pump(10);   // what was left in the pty
  status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return status_;
}

}  // namespace apptest
