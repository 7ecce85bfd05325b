#include "emulator/app/spectrum_shot.h"

#include <vector>

#include <host/gui/ewidget.h>
#include <host/gui/gpixmap.h>

#include "emulator/app/plugin_loader.h"
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/png.h"

namespace app {

bool writeSpectrumBitmap(const Plugin& plugin, eWidget* graph, const std::string& path, std::string* error) {
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
  const int w = pm.x.width(), h = pm.x.height();
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  pm.lock();
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = pm.pixel(0, y);
    std::copy(row, row + w, pixels.begin() + static_cast<long>(y) * w);
  }
  pm.unlock();
  gPalette palette = pm.clut.colors.empty() ? emu::currentPalette() : pm.clut;
  return emu::writeIndexedPng(path, w, h, pixels.data(), w, palette, emu::Transparency::flatten, error);
}

}  // namespace app
