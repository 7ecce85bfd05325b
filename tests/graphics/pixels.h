// Small helpers for looking at palette bitmaps in tests.
#pragma once
#include <set>
#include <utility>
#include <host/gui/gpixmap.h>

namespace pixels {

using Point = std::pair<int, int>;

inline std::set<Point> inked(const gPixmap& p, int background = 0) {
  std::set<Point> s;
  for (int y = 0; y < p.x.height(); ++y)
    for (int x = 0; x < p.x.width(); ++x)
      if (*p.pixel(x, y) != background) s.insert({x, y});
  return s;
}

inline int count(const gPixmap& p, int value) {
  int n = 0;
  for (int y = 0; y < p.x.height(); ++y)
    for (int x = 0; x < p.x.width(); ++x) n += *p.pixel(x, y) == value;
  return n;
}

// Bounding box of the pixels that are not background (eRect() if none).
inline eRect inkBox(const gPixmap& p, int background = 0) {
  int x1 = p.x.width(), y1 = p.x.height(), x2 = -1, y2 = -1;
  for (int y = 0; y < p.x.height(); ++y)
    for (int x = 0; x < p.x.width(); ++x)
      if (*p.pixel(x, y) != background) {
        x1 = std::min(x1, x); y1 = std::min(y1, y);
        x2 = std::max(x2, x); y2 = std::max(y2, y);
      }
  if (x2 < 0) return eRect();
  return eRect::fromCorners(x1, y1, x2 + 1, y2 + 1);
}

}  // namespace pixels
