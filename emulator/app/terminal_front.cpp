#include "emulator/app/terminal_front.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "emulator/app/interrupts.h"
#include "emulator/app/screen_view.h"
#include "emulator/app/summary.h"
#include "emulator/app/terminal_keys.h"

namespace app {

namespace {

// Raw terminal input for the duration of an interactive run; Ctrl-C stays a signal.
class RawTerminal {
public:
  explicit RawTerminal(int fd) : fd_(fd) {
    if (tcgetattr(fd_, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    restoreTerminalOnInterrupt(fd_, saved_);
    ok_ = tcsetattr(fd_, TCSANOW, &raw) == 0;
  }
  ~RawTerminal() {
    if (ok_) tcsetattr(fd_, TCSANOW, &saved_);
    forgetTerminal();
  }
  // Bytes available within timeoutMs: "" on timeout; false at the end of input.
  bool read(int timeoutMs, std::string& bytes) {
    bytes.clear();
    pollfd p{fd_, POLLIN, 0};
    int r = poll(&p, 1, timeoutMs);
    if (r <= 0) return true;
    char buf[64];
    ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n <= 0) return n < 0 && errno == EINTR;
    bytes.assign(buf, static_cast<size_t>(n));
    return true;
  }

private:
  int fd_;
  termios saved_{};
  bool ok_ = false;
};

std::string fitted(const std::string& line, int width) {
  // Cut by characters, not bytes, one column short of the edge so nothing wraps.
  std::string out;
  size_t cols = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if ((c & 0xC0) != 0x80) {
      if (static_cast<int>(cols) >= width - 1) break;
      ++cols;
    }
    out += line[i];
  }
  return out;
}

const char* kScanTitle = "Scrutafasci at work";

}  // namespace

FramePrinter::FramePrinter(std::FILE* out, bool inPlace, int width) : out_(out), inPlace_(inPlace), width_(width) {}

void FramePrinter::erase() {
  if (drawn_ > 0) std::fprintf(out_, "\033[%dA\r\033[J", drawn_);
  drawn_ = 0;
}

void FramePrinter::show(const std::vector<std::string>& lines) {
  if (lines == last_) return;
  if (inPlace_) {
    erase();
    for (const auto& l : lines) std::fprintf(out_, "%s\033[K\n", fitted(l, width_).c_str());
    drawn_ = static_cast<int>(lines.size());
  } else if (last_.empty() || lines.empty() || last_.front() != lines.front()) {
    // Another window: all of it.
    for (const auto& l : lines) std::fprintf(out_, "%s\n", l.c_str());
  } else {
    // The same window: the lines that changed.
    for (size_t i = 1; i < lines.size(); ++i)
      if (i >= last_.size() || last_[i] != lines[i]) std::fprintf(out_, "%s\n", lines[i].c_str());
  }
  last_ = lines;
  std::fflush(out_);
}

void FramePrinter::note(const std::string& line) {
  if (inPlace_) {
    erase();
    std::fprintf(out_, "%s\033[K\n", fitted(line, width_).c_str());
    // The frame comes back below the note.
    std::vector<std::string> frame;
    frame.swap(last_);
    show(frame);
  } else {
    std::fprintf(out_, "%s\n", line.c_str());
  }
  std::fflush(out_);
}

int terminalWidth(int fd) {
  winsize ws{};
  if (ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return 80;
}

std::string nextShotPath(const std::string& folder) {
  namespace fs = std::filesystem;
  for (int n = 1; n < 100000; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "shot-%03d.png", n);
    fs::path p = fs::path(folder.empty() ? "." : folder) / name;
    std::error_code ec;
    if (!fs::exists(p, ec)) return p.string();
  }
  return (std::filesystem::path(folder) / "shot-overflow.png").string();
}

bool runTerminalFront(Driver& d, const TerminalFrontOptions& o) {
  using Clock = std::chrono::steady_clock;
  RawTerminal term(o.inputFd);
  TerminalKeyReader reader;
  int outFd = fileno(o.out);
  bool tty = isatty(outFd);
  FramePrinter frames(o.out, tty, terminalWidth(outFd));
  frames.note(terminalKeyHelp());
  bool shotsOk = true;
  auto lastDraw = Clock::now() - std::chrono::seconds(1);
  auto draw = [&](bool now) {
    // A few frames a second at most; the scan shares the toolkit's lock.
    if (!now && Clock::now() - lastDraw < std::chrono::milliseconds(250)) return;
    if (Clock::now() - lastDraw < std::chrono::milliseconds(100)) return;
    lastDraw = Clock::now();
    frames.show(screenLines(readScreen()));
  };
  auto leaving = [&] {
    bool scanning = d.topTitle().find(kScanTitle) != std::string::npos;
    frames.note(scanning ? "leaving: closing the scan\u2026" : "leaving\u2026");
  };
  draw(true);
  while (!d.pluginDone()) {
    if (interruptRequested()) {
      leaving();
      return shotsOk;
    }
    std::string bytes;
    if (!term.read(50, bytes)) {
      frames.note("end of input: leaving\u2026");
      return shotsOk;
    }
    std::vector<TerminalKey> keys = bytes.empty() ? reader.idle() : reader.feed(bytes);
    bool pressed = false;
    for (const TerminalKey& k : keys) {
      switch (k.kind) {
        case TerminalKey::Remote: d.press(k.remote); pressed = true; break;
        case TerminalKey::Exit: d.press("exit"); pressed = true; break;
        case TerminalKey::Leave: leaving(); return shotsOk;
        case TerminalKey::Shot: {
          std::string path = nextShotPath(o.shotFolder), err;
          if (d.screenshot(path, &err)) {
            frames.note("screenshot: " + path);
          } else {
            frames.note("screenshot " + path + " failed: " + err);
            shotsOk = false;
          }
          break;
        }
      }
    }
    draw(pressed);
  }
  draw(true);
  return shotsOk;
}

}  // namespace app
