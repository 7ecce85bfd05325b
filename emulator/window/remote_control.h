// The remote control drawn beside the box's screen: its buttons, where they are
// (window coordinates before scaling) and which key a click on them presses.
#pragma once
#include <string>
#include <vector>

#include "emulator/window/canvas.h"

namespace win {

struct RemoteButton {
  std::string key;     // a remote-control key name ("0".."9", "up", "ok", "red", "menu"...)
  std::string label;   // what is written on it
  Rect area;
  uint32_t colour;
};

class RemoteControl {
public:
  // The panel's left edge and height in window coordinates.
  RemoteControl(int left, int height);
  static constexpr int width = 180;

  const std::vector<RemoteButton>& buttons() const { return buttons_; }
  // The key of the button at (x, y); empty when none.
  std::string keyAt(int x, int y) const;
  // The button of a key (0 when none).
  const RemoteButton* button(const std::string& key) const;
  // Draws the panel; the button of `lit` (a key name, may be empty) shows pressed.
  void draw(Canvas& c, const std::string& lit) const;

private:
  Rect panel_;
  std::vector<RemoteButton> buttons_;
};

}  // namespace win
