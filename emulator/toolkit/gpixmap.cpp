// Palette bitmaps: filling, clipped lines and the pixel lock.
#include <host/gui/gpixmap.h>
#include "internal.h"

#include <cstdint>
#include <cstring>

namespace {

using i64 = long long;
using i128 = __int128;

// Biggest bitmap we hand out; beyond it the image stays empty instead of
// exhausting memory over a bad size.
constexpr i64 kMaxImageBytes = i64(1) << 28;

class PixelGuard {
public:
  explicit PixelGuard(const gPixmap& p) : m(p.pixelLock) { if (m) m->mutex.lock(); }
  ~PixelGuard() { if (m) m->mutex.unlock(); }
  PixelGuard(const PixelGuard&) = delete;
  PixelGuard& operator=(const PixelGuard&) = delete;
private:
  gPixelLock* m;
};

eRect pixmapRect(const gPixmap& p) {
  if (!p.data || p.x.isEmpty()) return eRect();
  return eRect(0, 0, p.x.width(), p.x.height());
}

void putPixel(const gPixmap& p, int x, int y, uint32_t color) {
  uint8_t* at = static_cast<uint8_t*>(p.data) + i64(y) * p.stride + i64(x) * p.bypp;
  switch (p.bypp) {
  case 1: *at = uint8_t(color); break;
  case 2: { uint16_t v = uint16_t(color); std::memcpy(at, &v, 2); break; }
  default: { uint32_t v = color; std::memcpy(at, &v, 4); break; }
  }
}

void fillRow(const gPixmap& p, int x1, int x2, int y, uint32_t color) {
  if (p.bypp == 1) {
    std::memset(static_cast<uint8_t*>(p.data) + i64(y) * p.stride + x1, int(color & 0xff), size_t(x2 - x1));
    return;
  }
  for (int x = x1; x < x2; ++x) putPixel(p, x, y, color);
}

i64 ceilDiv(i128 n, i128 d) {   // d > 0
  i128 q = n / d;
  if (n % d != 0 && n > 0) ++q;
  return i64(q);
}

// Bresenham from (x0, y0) to (x1, y1), both ends included, drawing only the
// pixels inside clip (already within the pixmap). The pixel of step i along the
// major axis is offset round(i * minor / major) (halves away from the start) on
// the minor axis; the visible range of i is solved for directly, so the cost is
// bounded by the clip's size, whatever the coordinates.
void rasterLine(const gPixmap& p, i64 x0, i64 y0, i64 x1, i64 y1, uint32_t color, const eRect& clip) {
  if (clip.isEmpty()) return;
  const i64 dx = x1 >= x0 ? x1 - x0 : x0 - x1;
  const i64 dy = y1 >= y0 ? y1 - y0 : y0 - y1;
  const int sx = x1 >= x0 ? 1 : -1;
  const int sy = y1 >= y0 ? 1 : -1;
  const bool steep = dy > dx;

  const i64 a0 = steep ? y0 : x0, b0 = steep ? x0 : y0;
  const i64 da = steep ? dy : dx, db = steep ? dx : dy;
  const int sa = steep ? sy : sx, sb = steep ? sx : sy;
  const i64 amin = steep ? clip.y1 : clip.x1, amax = (steep ? clip.y2 : clip.x2) - 1;
  const i64 bmin = steep ? clip.x1 : clip.y1, bmax = (steep ? clip.x2 : clip.y2) - 1;

  // Steps whose major coordinate is inside.
  i64 ilo = sa > 0 ? amin - a0 : a0 - amax;
  i64 ihi = sa > 0 ? amax - a0 : a0 - amin;
  if (ilo < 0) ilo = 0;
  if (ihi > da) ihi = da;
  if (ilo > ihi) return;

  // Minor offsets that are inside: k in [klo, khi].
  const i64 klo = sb > 0 ? bmin - b0 : b0 - bmax;
  const i64 khi = sb > 0 ? bmax - b0 : b0 - bmin;
  if (khi < 0 || klo > db) return;
  if (db == 0) {
    if (klo > 0) return;
  } else {
    // k(i) = floor((2 i db + da) / (2 da)); k is non-decreasing in i.
    if (klo > 0) {
      const i64 first = ceilDiv(i128(2) * da * klo - da, i128(2) * db);
      if (first > ilo) ilo = first;
    }
    if (khi < db) {
      const i64 last = ceilDiv(i128(2) * da * khi + da, i128(2) * db) - 1;
      if (last < ihi) ihi = last;
    }
    if (ilo > ihi) return;
  }

  if (!steep && db == 0) {   // a row: the grid's and the threshold's lines
    const i64 from = sa > 0 ? a0 + ilo : a0 - ihi;
    fillRow(p, int(from), int(from + (ihi - ilo) + 1), int(b0), color);
    return;
  }
  const i64 twoDa = 2 * da, twoDb = 2 * db;
  i64 k = 0, err = 0;
  if (da > 0) {
    const i128 num = i128(2) * ilo * db + da;
    k = i64(num / twoDa);
    err = i64(num % twoDa);
  }
  for (i64 i = ilo; i <= ihi; ++i) {
    const i64 a = a0 + sa * i, b = b0 + sb * k;
    if (steep) putPixel(p, int(b), int(a), color);
    else putPixel(p, int(a), int(b), color);
    err += twoDb;
    if (err >= twoDa && da > 0) {
      err -= twoDa;
      ++k;
    }
  }
}

}  // namespace

void gPixmap::fill(const eRect& area, const gColor& color) {
  const eRect r = area.intersect(pixmapRect(*this));
  if (r.isEmpty()) return;
  PixelGuard guard(*this);
  for (int y = r.y1; y < r.y2; ++y) fillRow(*this, r.x1, r.x2, y, uint32_t(color.color));
}

void gPixmap::line(ePoint start, ePoint end, gColor color) {
  const eRect clip = pixmapRect(*this);
  if (clip.isEmpty()) return;
  PixelGuard guard(*this);
  rasterLine(*this, start.x(), start.y(), end.x(), end.y(), uint32_t(color.color), clip);
}

void gPixmap::line(ePoint start, ePoint end, gColor color, const eRect& clip, ePoint offset) {
  const eRect c = clip.intersect(pixmapRect(*this));
  if (c.isEmpty()) return;
  PixelGuard guard(*this);
  rasterLine(*this, i64(start.x()) + offset.x(), i64(start.y()) + offset.y(),
             i64(end.x()) + offset.x(), i64(end.y()) + offset.y(), uint32_t(color.color), c);
}

gPixmap* gPixmap::lock() {
  if (pixelLock) pixelLock->mutex.lock();
  return this;
}

void gPixmap::unlock() {
  if (pixelLock) pixelLock->mutex.unlock();
}

gImage::gImage(eSize size, int abpp) : ownLock(new gPixelLock) {
  bpp = abpp;
  bypp = abpp <= 8 ? 1 : abpp <= 16 ? 2 : 4;
  pixelLock = ownLock;
  if (size.isEmpty()) return;
  const i64 bytes = i64(size.width()) * size.height() * bypp;
  if (bytes > kMaxImageBytes) return;
  storage.assign(size_t(bytes), 0);
  x = size;
  stride = size.width() * bypp;
  data = storage.data();
}

gImage::~gImage() {
  data = nullptr;
  pixelLock = nullptr;
  delete ownLock;
}
