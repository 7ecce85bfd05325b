#include "emulator/window/remote_control.h"

namespace win {

namespace {
constexpr uint32_t kBody = 0x2b2f36, kKey = 0x4a505a, kText = 0xf0f0f0, kEdge = 0x15171b, kLit = 0xa0a8b8;
}

RemoteControl::RemoteControl(int left, int height) : panel_{left, 0, width, height} {
  const int x0 = left + 18, col = 50, bw = 44, bh = 30;
  auto add = [this](const std::string& key, const std::string& label, Rect r, uint32_t colour = kKey) {
    buttons_.push_back({key, label, r, colour});
  };
  int y = 20;
  add("menu", "menu", {x0, y, 69, bh});
  add("exit", "exit", {x0 + 75, y, 69, bh});
  y += 48;
  const char* colours[] = {"red", "green", "yellow", "blue"};
  const uint32_t rgb[] = {0xc8302c, 0x2f9e44, 0xd8b11e, 0x2c5fc8};
  for (int i = 0; i < 4; ++i) add(colours[i], "", {x0 + i * 37, y, 33, 22}, rgb[i]);
  y += 40;
  add("up", "\xe2\x96\xb2", {x0 + col, y, bw, bh});
  add("left", "\xe2\x97\x80", {x0, y + 38, bw, bh});
  add("ok", "ok", {x0 + col, y + 38, bw, bh});
  add("right", "\xe2\x96\xb6", {x0 + 2 * col, y + 38, bw, bh});
  add("down", "\xe2\x96\xbc", {x0 + col, y + 76, bw, bh});
  y += 130;
  for (int d = 1; d <= 9; ++d) {
    int r = (d - 1) / 3, c = (d - 1) % 3;
    add(std::to_string(d), std::to_string(d), {x0 + c * col, y + r * 38, bw, bh});
  }
  add("0", "0", {x0 + col, y + 3 * 38, bw, bh});
}

std::string RemoteControl::keyAt(int x, int y) const {
  for (const auto& b : buttons_)
    if (b.area.contains(x, y)) return b.key;
  return {};
}

const RemoteButton* RemoteControl::button(const std::string& key) const {
  for (const auto& b : buttons_)
    if (b.key == key) return &b;
  return nullptr;
}

void RemoteControl::draw(Canvas& c, const std::string& lit) const {
  c.fill(panel_, kBody);
  c.text("remote", panel_.x + width / 2, panel_.y + 2, 12, 0x9098a8, true);
  for (const auto& b : buttons_) {
    c.fill(b.area, b.key == lit ? kLit : b.colour);
    c.frame(b.area, kEdge);
    if (!b.label.empty())
      c.text(b.label, b.area.x + b.area.w / 2, b.area.y + (b.area.h - 18) / 2, 15, kText, true);
  }
}

}  // namespace win
