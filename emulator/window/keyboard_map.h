// What a key of the computer's keyboard does in the window.
#pragma once
#include <string>

namespace win {

struct KeyAction {
  enum Kind { None, Remote, Faster, Slower, Pause, Screenshot } kind = None;
  std::string remoteKey;   // for Remote: the remote-control key's name
};

// sym is an SDL key code (SDL_Keycode). Backspace does nothing: an accidental exit
// from a settings window loses what was typed.
KeyAction mapKey(int sym);

}  // namespace win
