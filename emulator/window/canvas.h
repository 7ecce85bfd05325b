// An RGB picture the window front draws into before it is scaled onto the window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace win {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

class Canvas {
public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * size_t(height), 0) {}
  int width() const { return width_; }
  int height() const { return height_; }
  // 0x00RRGGBB per pixel, rows top to bottom.
  const std::vector<uint32_t>& pixels() const { return pixels_; }
  uint32_t* row(int y) { return pixels_.data() + size_t(y) * size_t(width_); }

  void fill(const Rect& r, uint32_t rgb);
  void frame(const Rect& r, uint32_t rgb);
  // Text in the toolkit's "Regular" face of `size` pixels, its top at y; x is the left
  // edge, or the centre when centred. Returns the width drawn.
  int text(const std::string& utf8, int x, int y, int size, uint32_t rgb, bool centred = false);

private:
  void blend(int x, int y, uint32_t rgb, uint8_t coverage);
  int width_, height_;
  std::vector<uint32_t> pixels_;
};

}  // namespace win
