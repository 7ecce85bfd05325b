// The framebuffer and screenshots.
#include "screen.h"

#include "png.h"

namespace emu {
namespace {

std::mutex paletteMutex;
PaletteProvider paletteProvider;

eRect screenRect() { return eRect(0, 0, Screen::width, Screen::height); }

eRect onScreen(const eRect& area) { return area.isNull() ? screenRect() : area.intersect(screenRect()); }

bool writeFrame(const Frame& f, const std::string& path, std::string* error) {
  if (f.area.isEmpty()) {
    if (error) *error = "screenshot: the area is off the screen";
    return false;
  }
  return writeIndexedPng(path, f.area.width(), f.area.height(), f.pixels.data(), f.area.width(), f.palette,
                         Transparency::flatten, error);
}

}  // namespace

void setPaletteProvider(PaletteProvider provider) {
  std::lock_guard<std::mutex> l(paletteMutex);
  paletteProvider = std::move(provider);
}

gPalette defaultPalette() {
  gPalette p;
  p.colors.resize(256);
  for (int i = 0; i < 256; ++i) p.colors[size_t(i)] = gRGB(i, i, i);
  return p;
}

gPalette activePalette() {
  PaletteProvider provider;
  {
    std::lock_guard<std::mutex> l(paletteMutex);
    provider = paletteProvider;
  }
  if (!provider) return defaultPalette();
  gPalette p = provider();
  if (p.colors.empty()) return defaultPalette();
  p.colors.resize(256);
  return p;
}

Screen& Screen::instance() {
  // Never destroyed: threads may still paint during exit.
  static Screen* screen = new Screen;
  return *screen;
}

Screen::Screen() : fb(new gImage(eSize(width, height), 8)) {}

void Screen::setDesktop(Desktop d) {
  std::lock_guard<std::mutex> l(desktopMutex);
  desktop = std::move(d);
}

void Screen::repaintLocked(const eRect& area) {
  const eRect r = onScreen(area);
  if (r.isEmpty()) return;
  std::function<void(gPainter&, const eRect&)> paint;
  {
    std::lock_guard<std::mutex> l(desktopMutex);
    paint = desktop.paint;
  }
  fb->fill(r, background);
  if (!paint) return;
  gPainter painter(*fb, ePoint(0, 0), r);
  paint(painter, r);
}

Frame Screen::grab(const eRect& area) {
  Frame f;
  f.area = onScreen(area);
  f.palette = activePalette();
  if (f.area.isEmpty()) return f;
  f.pixels.resize(size_t(f.area.width()) * size_t(f.area.height()));
  fb->lock();
  for (int y = f.area.y1; y < f.area.y2; ++y) {
    const uint8_t* row = fb->pixel(f.area.x1, y);
    std::copy(row, row + f.area.width(), f.pixels.begin() + size_t(y - f.area.y1) * size_t(f.area.width()));
  }
  fb->unlock();
  return f;
}

Frame Screen::capture(const eRect& area) {
  std::function<void(const std::function<void()>&)> withLock;
  {
    std::lock_guard<std::mutex> l(desktopMutex);
    withLock = desktop.withTreeLock;
  }
  Frame f;
  auto work = [&] {
    repaintLocked(area);
    f = grab(area);
  };
  if (withLock) withLock(work);
  else work();
  return f;
}

bool writePixmapPng(const gPixmap& pixmap, const gPalette& palette, const std::string& path, std::string* error) {
  if (!pixmap.data || pixmap.x.isEmpty() || pixmap.bypp != 1) {
    if (error) *error = "png: only non-empty 8-bit bitmaps can be written";
    return false;
  }
  // Copy under the lock, write without it: a drawing thread only waits for the copy.
  const int w = pixmap.x.width(), h = pixmap.x.height();
  std::vector<uint8_t> pixels(size_t(w) * size_t(h));
  gPixmap& p = const_cast<gPixmap&>(pixmap);
  p.lock();
  for (int y = 0; y < h; ++y) std::copy(p.pixel(0, y), p.pixel(0, y) + w, pixels.begin() + size_t(y) * size_t(w));
  p.unlock();
  return writeIndexedPng(path, w, h, pixels.data(), w, palette, Transparency::keep, error);
}

bool writeScreenshot(const std::string& path, std::string* error) {
  return writeFrame(Screen::instance().capture(), path, error);
}

bool writeScreenAreaShot(const eRect& area, const std::string& path, std::string* error) {
  const eRect r = area.intersect(screenRect());
  if (r.isEmpty()) {
    if (error) *error = "screenshot: the area is off the screen";
    return false;
  }
  return writeFrame(Screen::instance().capture(r), path, error);
}

}  // namespace emu
