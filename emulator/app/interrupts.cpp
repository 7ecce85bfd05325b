#include "emulator/app/interrupts.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace app {

namespace {
std::atomic<int> interrupts{0};
const char* firstMessage = "";
termios savedTerminal{};
std::atomic<int> terminalFd{-1};

// _exit's own work, straight to the kernel. Under ThreadSanitizer _exit is wrapped: the
// wrapper runs the at-exit checks inside this handler, sleeps a second when threads are
// alive, and takes a worker that has just ended but is not yet joined for a leaked thread,
// turning the status into 66. A process ended at once has nothing left to check.
[[noreturn]] void endAtOnce(int status) {
  for (;;) syscall(SYS_exit_group, status);
}

void onInterrupt(int) {
  if (interrupts.fetch_add(1) == 0) {
    // Only async-signal-safe calls here, and the interrupted code's errno kept.
    const int saved = errno;
    ssize_t n = ::write(2, firstMessage, std::strlen(firstMessage));
    (void)n;
    errno = saved;
    return;
  }
  int fd = terminalFd.load();
  if (fd >= 0) tcsetattr(fd, TCSANOW, &savedTerminal);
  endAtOnce(kExitInterrupted);
}
}  // namespace

void catchInterrupts(const char* message) {
  firstMessage = message;
  struct sigaction sa {};
  sa.sa_handler = onInterrupt;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGINT, &sa, nullptr);
}

bool interruptRequested() { return interrupts.load() > 0; }

void restoreTerminalOnInterrupt(int fd, const termios& settings) {
  terminalFd = -1;
  savedTerminal = settings;
  terminalFd = fd;
}

void forgetTerminal() { terminalFd = -1; }

}  // namespace app
