// Palette bitmaps: the framebuffer and widgets' own images are 8-bit palette indices.
#pragma once
#include <cstdint>
#include <vector>
#include <host/gui/estring.h>
#include <host/gui/geometry.h>

// A palette index.
class gColor {
public:
  gColor() = default;
  gColor(int c) : color(c) {}
  operator int() const { return color; }
  int color = 0;
};

struct gRGB {
  uint8_t r = 0, g = 0, b = 0, a = 0;   // a: transparency, 0 opaque
  gRGB() = default;
  gRGB(int ar, int ag, int ab, int aa = 0) : r(uint8_t(ar)), g(uint8_t(ag)), b(uint8_t(ab)), a(uint8_t(aa)) {}
  bool operator==(const gRGB& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct gPalette {
  std::vector<gRGB> colors;    // 256 entries for an 8-bit pixmap
};

class gFont {
public:
  gFont() = default;
  gFont(const eString& fam, int size) : family(fam), pointSize(size) {}
  eString family;
  int pointSize = 0;
};

struct gPixelLock;   // the platform's guard of one image's pixels

// Describes pixel memory; gImage owns it. Copies share the pixels.
class gPixmap {
public:
  gPixmap() = default;
  virtual ~gPixmap() = default;
  gPixmap(const gPixmap&) = default;
  gPixmap& operator=(const gPixmap&) = default;

  eSize getSize() const { return x; }
  uint8_t* pixel(int px, int py) const { return static_cast<uint8_t*>(data) + py * stride + px; }

  // Fills the rectangle (clipped to the pixmap) with one colour.
  void fill(const eRect& area, const gColor& color);
  // Draws a line, both end points included, clipped to the pixmap.
  void line(ePoint start, ePoint end, gColor color);
  // The same line moved by offset and clipped to clip (pixmap coordinates) as well;
  // the pixels drawn are those of the whole line that fall inside.
  void line(ePoint start, ePoint end, gColor color, const eRect& clip, ePoint offset = ePoint());
  // Guards the pixels while a copy is made from them. fill() and line() take the
  // same lock themselves, so do not call them while holding lock().
  gPixmap* lock();
  void unlock();

  eSize x;               // size
  int bpp = 8, bypp = 1, stride = 0;
  void* data = nullptr;
  gPalette clut;
  gPixelLock* pixelLock = nullptr;   // owned by the gImage the pixels belong to
};

class gImage : public gPixmap {
public:
  gImage(eSize size, int bpp);
  ~gImage() override;
  gImage(const gImage&) = delete;
  gImage& operator=(const gImage&) = delete;
private:
  std::vector<uint8_t> storage;
  gPixelLock* ownLock;
};
