// Bytes typed at a terminal turned into what they mean for the box: remote-control
// keys, leave, screenshot. Escape sequences that mean nothing here are dropped
// whole, so a stray F5 or Home never reaches the plug-in or ends the run.
#pragma once
#include <string>
#include <vector>

namespace app {

struct TerminalKey {
  enum Kind { Remote, Exit, Leave, Shot } kind = Remote;
  std::string remote;   // Remote: the remote-control key name ("ok", "red", "3", ...)
};

class TerminalKeyReader {
public:
  // Feeds bytes as they arrive; returns the keys they complete.
  std::vector<TerminalKey> feed(const std::string& bytes);
  // No byte came for a while: a lone Esc pending is the Esc key itself.
  std::vector<TerminalKey> idle();
  bool pending() const { return !seq_.empty(); }

private:
  std::vector<TerminalKey> finishSequence();
  std::string seq_;     // an escape sequence being read, starting with ESC
  bool skipping_ = false;   // the rest of an overlong sequence, up to its final byte
};

// The key map in one line, for the terminal's greeting.
const char* terminalKeyHelp();

}  // namespace app
