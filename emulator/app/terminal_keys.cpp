#include "emulator/app/terminal_keys.h"

#include <cctype>

namespace app {

namespace {

TerminalKey remote(const char* name) { return {TerminalKey::Remote, name}; }

// The remote key of a complete escape sequence, or "" when it means nothing here.
std::string sequenceKey(const std::string& s) {
  if (s.size() < 3) return "";
  char last = s.back();
  std::string params = s.substr(2, s.size() - 3);
  if (s[1] == 'O' && s.size() == 3) {   // SS3: application-mode arrows, F1-F4
    switch (last) {
      case 'A': return "up";
      case 'B': return "down";
      case 'C': return "right";
      case 'D': return "left";
      case 'P': return "red";
      case 'Q': return "green";
      case 'R': return "yellow";
      case 'S': return "blue";
    }
    return "";
  }
  if (s[1] != '[') return "";
  if (params.empty()) {
    switch (last) {
      case 'A': return "up";
      case 'B': return "down";
      case 'C': return "right";
      case 'D': return "left";
    }
    return "";
  }
  if (last == '~') {
    if (params == "11") return "red";
    if (params == "12") return "green";
    if (params == "13") return "yellow";
    if (params == "14") return "blue";
    return "";
  }
  // The Linux console's F1-F5: ESC [ [ A..E.
  if (params == "[") {
    switch (last) {
      case 'A': return "red";
      case 'B': return "green";
      case 'C': return "yellow";
      case 'D': return "blue";
    }
  }
  return "";
}

// Whether a sequence read so far is complete.
bool sequenceComplete(const std::string& s) {
  if (s.size() < 2) return false;
  unsigned char second = static_cast<unsigned char>(s[1]);
  if (second == 'O') return s.size() >= 3;
  if (second != '[') return true;   // Alt+key and the like: two bytes
  if (s.size() < 3) return false;
  // The console's ESC [ [ X takes one more byte after the second '['.
  if (s.size() == 3 && s[2] == '[') return false;
  if (s.size() == 4 && s[2] == '[') return true;
  unsigned char last = static_cast<unsigned char>(s.back());
  return last >= 0x40 && last <= 0x7E && s.size() >= 3;
}

}  // namespace

std::vector<TerminalKey> TerminalKeyReader::finishSequence() {
  std::vector<TerminalKey> out;
  std::string key = sequenceKey(seq_);
  seq_.clear();
  if (!key.empty()) out.push_back({TerminalKey::Remote, key});
  return out;
}

std::vector<TerminalKey> TerminalKeyReader::feed(const std::string& bytes) {
  std::vector<TerminalKey> out;
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (skipping_) {
      skipping_ = !(c >= 0x40 && c <= 0x7E);
      continue;
    }
    if (!seq_.empty()) {
      if (c == 27 && seq_.size() == 1) {   // Esc Esc: the first one was pressed alone
        out.push_back({TerminalKey::Exit, ""});
        continue;
      }
      seq_ += static_cast<char>(c);
      // An overlong sequence (line noise, a paste) is dropped up to its final byte:
      // its parameter digits must not reach the box as digits.
      if (seq_.size() > 16 && !sequenceComplete(seq_)) {
        seq_.clear();
        skipping_ = true;
        continue;
      }
      if (sequenceComplete(seq_)) {
        auto keys = finishSequence();
        out.insert(out.end(), keys.begin(), keys.end());
      }
      continue;
    }
    if (c == 27) {
      seq_ = "\x1b";
    } else if (std::isdigit(c)) {
      out.push_back({TerminalKey::Remote, std::string(1, static_cast<char>(c))});
    } else if (c == '\r' || c == '\n') {
      out.push_back(remote("ok"));
    } else {
      switch (std::tolower(c)) {
        case 'r': out.push_back(remote("red")); break;
        case 'g': out.push_back(remote("green")); break;
        case 'y': out.push_back(remote("yellow")); break;
        case 'b': out.push_back(remote("blue")); break;
        case 'm': out.push_back(remote("menu")); break;
        case 'q': out.push_back({TerminalKey::Leave, ""}); break;
        case 's': out.push_back({TerminalKey::Shot, ""}); break;
        default: break;   // Backspace, Tab, other letters: nothing on a remote control
      }
    }
  }
  return out;
}

std::vector<TerminalKey> TerminalKeyReader::idle() {
  std::vector<TerminalKey> out;
  if (seq_ == "\x1b") out.push_back({TerminalKey::Exit, ""});
  seq_.clear();   // an unfinished sequence that stalled: nothing to guess from it
  skipping_ = false;
  return out;
}

const char* terminalKeyHelp() {
  return "keys: 0-9, arrows, Enter=ok, Esc=exit, r g y b or F1-F4=colour keys, m=menu, "
         "s=screenshot, q=leave";
}

}  // namespace app
