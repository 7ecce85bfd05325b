// Ctrl-C as a request: the first one asks the command to wind down (it prints
// what it has and leaves); a second one ends the process at once with 130.
#pragma once
#include <termios.h>

namespace app {

constexpr int kExitInterrupted = 130;

// Installs the SIGINT handler. `message` is written to stderr at the first Ctrl-C.
void catchInterrupts(const char* message);
bool interruptRequested();
// The terminal settings to put back if a second Ctrl-C ends the process at once
// (a terminal left without echo would outlive us); forgetTerminal() when restored.
void restoreTerminalOnInterrupt(int fd, const termios& settings);
void forgetTerminal();

}  // namespace app
