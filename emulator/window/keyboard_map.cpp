#include "emulator/window/keyboard_map.h"

#include <SDL.h>

namespace win {

KeyAction mapKey(int sym) {
  auto remote = [](const char* k) { return KeyAction{KeyAction::Remote, k}; };
  if (sym >= SDLK_0 && sym <= SDLK_9) return KeyAction{KeyAction::Remote, std::string(1, char('0' + (sym - SDLK_0)))};
  if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return KeyAction{KeyAction::Remote, std::string(1, char('1' + (sym - SDLK_KP_1)))};
  switch (sym) {
    case SDLK_KP_0: return remote("0");
    case SDLK_UP: return remote("up");
    case SDLK_DOWN: return remote("down");
    case SDLK_LEFT: return remote("left");
    case SDLK_RIGHT: return remote("right");
    case SDLK_RETURN: case SDLK_KP_ENTER: return remote("ok");
    case SDLK_ESCAPE: return remote("exit");
    case SDLK_r: case SDLK_F1: return remote("red");
    case SDLK_g: case SDLK_F2: return remote("green");
    case SDLK_y: case SDLK_F3: return remote("yellow");
    case SDLK_b: case SDLK_F4: return remote("blue");
    case SDLK_m: return remote("menu");
    case SDLK_s: return {KeyAction::Screenshot, {}};
    case SDLK_PLUS: case SDLK_KP_PLUS: case SDLK_EQUALS: return {KeyAction::Faster, {}};
    case SDLK_MINUS: case SDLK_KP_MINUS: return {KeyAction::Slower, {}};
    case SDLK_SPACE: return {KeyAction::Pause, {}};
    default: return {};
  }
}

}  // namespace win
