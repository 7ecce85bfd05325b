#include "emulator/window/canvas.h"

#include <algorithm>

#include "emulator/toolkit/font.h"

namespace win {

void Canvas::fill(const Rect& r, uint32_t rgb) {
  int x0 = std::max(0, r.x), x1 = std::min(width_, r.x + r.w);
  int y0 = std::max(0, r.y), y1 = std::min(height_, r.y + r.h);
  for (int y = y0; y < y1; ++y) std::fill(row(y) + x0, row(y) + std::max(x0, x1), rgb);
}

void Canvas::frame(const Rect& r, uint32_t rgb) {
  fill({r.x, r.y, r.w, 1}, rgb);
  fill({r.x, r.y + r.h - 1, r.w, 1}, rgb);
  fill({r.x, r.y, 1, r.h}, rgb);
  fill({r.x + r.w - 1, r.y, 1, r.h}, rgb);
}

void Canvas::blend(int x, int y, uint32_t rgb, uint8_t c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !c) return;
  uint32_t& p = row(y)[x];
  auto mix = [c](uint32_t a, uint32_t b) { return (a * (255u - c) + b * c) / 255u; };
  uint32_t r = mix((p >> 16) & 255, (rgb >> 16) & 255), g = mix((p >> 8) & 255, (rgb >> 8) & 255),
           b = mix(p & 255, rgb & 255);
  p = (r << 16) | (g << 8) | b;
}

int Canvas::text(const std::string& utf8, int x, int y, int size, uint32_t rgb, bool centred) {
  gFont font("Regular", size);
  emu::FontMetrics m;
  std::vector<emu::GlyphPtr> glyphs;
  if (!emu::fontMetrics(font, m) || !emu::fontGlyphs(font, emu::decodeUtf8(utf8), glyphs)) return 0;
  int w = 0;
  for (const auto& g : glyphs) w += g->advance;
  int pen = centred ? x - w / 2 : x;
  const int baseline = y + m.ascender;
  for (const auto& g : glyphs) {
    for (int gy = 0; gy < g->height; ++gy)
      for (int gx = 0; gx < g->width; ++gx)
        blend(pen + g->left + gx, baseline - g->top + gy, rgb, g->coverage[size_t(gy) * size_t(g->width) + size_t(gx)]);
    pen += g->advance;
  }
  return w;
}

}  // namespace win
