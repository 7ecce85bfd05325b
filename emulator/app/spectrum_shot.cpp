#include "emulator/app/spectrum_shot.h"

#include <vector>

#include <host/gui/ewidget.h>
#include <host/gui/gpainter.h>
#include <host/gui/gpixmap.h>

#include "emulator/app/plugin_loader.h"
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/png.h"
#include "emulator/toolkit/screen.h"

namespace app {

bool writeSpectrumBitmap(const Plugin& plugin, eWidget* graph, const std::string& path, std::string* error,
                         int firstMHz) {
  // The graph is the plug-in's own class; its accessor is reached by its symbol.
  // A member function returning a class with a destructor takes the result slot
  // first and `this` second, as this free-function type does.
  using GetImage = gPixmap (*)(eWidget*);
  auto get = reinterpret_cast<GetImage>(plugin.symbol("_ZN8eGrafico11getImmagineEv"));
  if (!get || !graph) {
    if (error) *error = "the plug-in offers no graph bitmap";
    return false;
  }
  gPixmap pm = get(graph);
  if (!pm.data || pm.x.isEmpty()) {
    if (error) *error = "the graph has no bitmap yet";
    return false;
  }
  const int fullW = pm.x.width(), h = pm.x.height();
  std::vector<uint8_t> pixels(static_cast<size_t>(fullW) * static_cast<size_t>(h));
  pm.lock();
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = pm.pixel(0, y);
    std::copy(row, row + fullW, pixels.begin() + static_cast<long>(y) * fullW);
  }
  pm.unlock();
  gPalette palette = pm.clut.colors.empty() ? emu::currentPalette() : pm.clut;
  palette.colors.resize(256);

  // The bitmap is wider than its range (a margin of two tick steps on the right):
  // those columns hold nothing but background and are left out.
  const uint8_t background = pixels[static_cast<size_t>(fullW - 1)];
  int w = fullW;
  while (w > 1) {
    bool blank = true;
    for (int y = 0; y < h && blank; ++y) blank = pixels[static_cast<size_t>(y) * fullW + (w - 1)] == background;
    if (!blank) break;
    --w;
  }

  // Below the plot, a scale: a tick every 10 MHz, a label every 100 MHz.
  const int scaleH = 26, outH = h + scaleH;
  gImage img(eSize(w, outH), 8);
  img.clut = palette;
  img.fill(eRect(0, 0, w, outH), background);
  img.lock();
  for (int y = 0; y < h; ++y)
    std::copy(pixels.begin() + static_cast<long>(y) * fullW, pixels.begin() + static_cast<long>(y) * fullW + w,
              img.pixel(0, y));
  img.unlock();
  auto nearest = [&palette](int r, int g, int b) {
    int best = 0;
    long bestD = -1;
    for (int i = 0; i < 256; ++i) {
      const gRGB& c = palette.colors[static_cast<size_t>(i)];
      if (c.a) continue;
      long d = (c.r - r) * (c.r - r) + (c.g - g) * (c.g - g) + (c.b - b) * (c.b - b);
      if (bestD < 0 || d < bestD) {
        bestD = d;
        best = i;
      }
    }
    return static_cast<gColor>(best);
  };
  const gColor white = nearest(255, 255, 255), grey = nearest(128, 128, 128);
  gPainter p(img, ePoint(0, 0), eRect(0, 0, w, outH));
  p.setBackgroundColor(background);
  p.setFont(gFont("Regular", 14));
  for (int x = 0; x < w; x += 10) {
    int mhz = firstMHz + x;
    bool major = mhz % 100 == 0;
    img.line(ePoint(x, h), ePoint(x, h + (major ? 7 : 3)), major ? white : grey);
    if (major) {
      p.setForegroundColor(white);
      // Labels at the edges stay whole: aligned inwards.
      int flags = x < 30 ? gPainter::RT_HALIGN_LEFT : x > w - 30 ? gPainter::RT_HALIGN_RIGHT
                                                               : gPainter::RT_HALIGN_CENTER;
      int left = x < 30 ? x : x > w - 30 ? x - 60 : x - 30;
      p.renderText(eRect(left, h + 8, 60, 18), std::to_string(mhz), flags);
    }
  }
  return emu::writePixmapPng(img, palette, path, error);
}

}  // namespace app
