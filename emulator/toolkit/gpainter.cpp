// The painter: widget coordinates, a clip stack, fills, lines, copies and text.
#include <host/gui/gpainter.h>

#include <climits>
#include <cstring>

#include "font.h"
#include "internal.h"
#include "screen.h"

namespace {

using i64 = long long;

int clampInt(i64 v) { return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : int(v); }

// Moves a rectangle without overflowing on wild coordinates.
eRect moved(const eRect& r, ePoint by) {
  return eRect::fromCorners(clampInt(i64(r.x1) + by.x()), clampInt(i64(r.y1) + by.y()),
                            clampInt(i64(r.x2) + by.x()), clampInt(i64(r.y2) + by.y()));
}

eRect targetRect(const gPixmap& p) {
  if (!p.data || p.x.isEmpty()) return eRect();
  return eRect(0, 0, p.x.width(), p.x.height());
}

class PixelGuard {
public:
  explicit PixelGuard(gPixelLock* am) : m(am) { if (m) m->mutex.lock(); }
  ~PixelGuard() { if (m) m->mutex.unlock(); }
  PixelGuard(const PixelGuard&) = delete;
  PixelGuard& operator=(const PixelGuard&) = delete;
private:
  gPixelLock* m;
};

int distance2(const gRGB& a, int r, int g, int b) {
  const int dr = a.r - r, dg = a.g - g, db = a.b - b;
  return dr * dr + dg * dg + db * db;
}

// Anti-aliased text on a palette bitmap: coverage is quantised to a few steps
// between background and foreground, each drawn with the nearest opaque entry.
constexpr int kShades = 4;   // steps 1..kShades-1 blend, kShades is the foreground

struct Shades {
  int index[kShades + 1] = {};
  bool blend = true;
};

Shades shadesFor(gColor fg, gColor bg) {
  Shades s;
  for (int& i : s.index) i = fg;
  const gPalette pal = emu::activePalette();
  const int n = int(pal.colors.size());
  if (fg < 0 || fg >= n || bg < 0 || bg >= n || pal.colors[size_t(bg)].a != 0) {
    // Nothing to blend with (unknown or see-through background): hard edges.
    s.blend = false;
    return s;
  }
  const gRGB f = pal.colors[size_t(fg)], b = pal.colors[size_t(bg)];
  for (int step = 1; step < kShades; ++step) {
    const int r = b.r + (f.r - b.r) * step / kShades;
    const int g = b.g + (f.g - b.g) * step / kShades;
    const int bl = b.b + (f.b - b.b) * step / kShades;
    int best = step * 2 < kShades ? int(bg) : int(fg);
    int bestD = distance2(pal.colors[size_t(best)], r, g, bl);
    for (int i = 0; i < n; ++i) {
      if (pal.colors[size_t(i)].a != 0) continue;
      const int d = distance2(pal.colors[size_t(i)], r, g, bl);
      if (d < bestD) {
        bestD = d;
        best = i;
      }
    }
    s.index[step] = best;
  }
  s.index[kShades] = fg;
  return s;
}

}  // namespace

gPainter::gPainter(gPixmap& atarget, ePoint aorigin, eRect bounds) : target(atarget), origin(aorigin) {
  clips.push_back(bounds.intersect(targetRect(target)));
}

gPainter::~gPainter() = default;

void gPainter::clip(const eRect& area) {
  clips.push_back(moved(area, origin).intersect(clips.back()));
}

void gPainter::clippop() {
  if (clips.size() > 1) clips.pop_back();   // the widget's bounds stay
}

void gPainter::setForegroundColor(const gColor& color) { fg = color; }
void gPainter::setBackgroundColor(const gColor& color) { bg = color; }
void gPainter::setFont(const gFont& afont) { font = afont; }

void gPainter::fill(const eRect& area) {
  target.fill(moved(area, origin).intersect(clips.back()), fg);
}

void gPainter::clear() { target.fill(clips.back(), bg); }

void gPainter::line(ePoint start, ePoint end) {
  if (clips.back().isEmpty()) return;
  target.line(start, end, fg, clips.back(), origin);
}

void gPainter::blit(gPixmap& src, ePoint pos, const eRect& area, int flags) {
  if (!src.data || src.x.isEmpty() || src.bypp != target.bypp) return;
  eRect dst = moved(eRect(0, 0, src.x.width(), src.x.height()), pos);
  if (!area.isNull()) dst = dst.intersect(area);
  dst = moved(dst, origin).intersect(clips.back());
  if (dst.isEmpty()) return;
  // Where the source's (0, 0) lands on the target.
  const i64 sx0 = i64(pos.x()) + origin.x(), sy0 = i64(pos.y()) + origin.y();

  // Lock order: source before target; one lock when both share the pixels.
  PixelGuard srcGuard(src.pixelLock);
  PixelGuard dstGuard(target.pixelLock == src.pixelLock ? nullptr : target.pixelLock);
  const int bypp = target.bypp;
  const size_t rowBytes = size_t(dst.width()) * size_t(bypp);
  if (!(flags & BT_ALPHATEST) || bypp != 1) {
    // Within one bitmap, an image moving down is copied from its last row up.
    const bool bottomUp = src.data == target.data && sy0 > 0;
    for (int n = 0; n < dst.height(); ++n) {
      const int y = bottomUp ? dst.y2 - 1 - n : dst.y1 + n;
      const uint8_t* from = static_cast<const uint8_t*>(src.data) + (i64(y) - sy0) * src.stride +
                            (i64(dst.x1) - sx0) * bypp;
      uint8_t* to = static_cast<uint8_t*>(target.data) + i64(y) * target.stride + i64(dst.x1) * bypp;
      std::memmove(to, from, rowBytes);
    }
    return;
  }
  // Alpha test: see-through palette entries of the source (index 0 when it
  // has no palette) leave the target as it is.
  bool clear[256] = {};
  if (src.clut.colors.empty()) {
    clear[0] = true;
  } else {
    for (size_t i = 0; i < src.clut.colors.size() && i < 256; ++i) clear[i] = src.clut.colors[i].a != 0;
  }
  for (int y = dst.y1; y < dst.y2; ++y) {
    const uint8_t* from = static_cast<const uint8_t*>(src.data) + (i64(y) - sy0) * src.stride + (i64(dst.x1) - sx0);
    uint8_t* to = static_cast<uint8_t*>(target.data) + i64(y) * target.stride + dst.x1;
    for (int x = 0; x < dst.width(); ++x)
      if (!clear[from[x]]) to[x] = from[x];
  }
}

void gPainter::renderText(const eRect& box, const std::string& text, int flags) {
  const eRect b = moved(box, origin);
  const eRect area = b.intersect(clips.back());
  if (area.isEmpty() || text.empty() || target.bypp != 1) return;

  emu::FontMetrics m;
  if (!emu::fontMetrics(font, m)) return;
  const std::vector<emu::TextLine> lines = emu::layoutText(font, text, (flags & RT_WRAP) ? b.width() : 0);
  if (lines.empty()) return;

  i64 top = b.y1;
  if (flags & RT_VALIGN_CENTER) top += (i64(b.height()) - i64(lines.size()) * m.lineHeight) / 2;

  const Shades shades = shadesFor(fg, bg);
  std::vector<emu::GlyphPtr> glyphs;
  PixelGuard guard(target.pixelLock);
  for (size_t n = 0; n < lines.size(); ++n) {
    const emu::TextLine& line = lines[n];
    const i64 baseline = top + i64(n) * m.lineHeight + m.ascender;
    if (baseline - m.lineHeight > area.y2 || baseline + m.lineHeight < area.y1) continue;
    i64 pen = b.x1;
    if ((flags & 3) == RT_HALIGN_RIGHT) pen = i64(b.x2) - line.width;
    else if ((flags & 3) == RT_HALIGN_CENTER) pen = b.x1 + (i64(b.width()) - line.width) / 2;
    // The font store's lock nests inside the pixel lock; it never takes one itself.
    if (!emu::fontGlyphs(font, line.text, glyphs)) return;
    for (const emu::GlyphPtr& g : glyphs) {
      const i64 gx = pen + g->left, gy = baseline - g->top;
      pen += g->advance;
      if (gx >= area.x2 || gy >= area.y2 || gx + g->width <= area.x1 || gy + g->height <= area.y1) continue;
      const int x0 = int(std::max<i64>(gx, area.x1)), x1 = int(std::min<i64>(gx + g->width, area.x2));
      const int y0 = int(std::max<i64>(gy, area.y1)), y1 = int(std::min<i64>(gy + g->height, area.y2));
      for (int y = y0; y < y1; ++y) {
        const uint8_t* cov = g->coverage.data() + size_t(y - gy) * size_t(g->width);
        uint8_t* row = static_cast<uint8_t*>(target.data) + i64(y) * target.stride;
        for (int x = x0; x < x1; ++x) {
          const int c = cov[x - gx];
          if (shades.blend) {
            const int step = (c * kShades + 127) / 255;
            if (step > 0) row[x] = uint8_t(shades.index[step]);
          } else if (c >= 128) {
            row[x] = uint8_t(fg);
          }
        }
      }
    }
  }
}
