// The emulated receiver's screen: a 720x576 framebuffer of palette indices,
// repainted from the widget tree, and screenshots of it as PNG files.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include <host/gui/ewidget.h>
#include <host/gui/gpainter.h>
#include <host/gui/gpixmap.h>

namespace emu {

// The palette of the active skin; until one is installed, a grey ramp
// (entry i is (i, i, i), all opaque). The provider may be called on any thread,
// also while painting with the tree lock held, and must not take pixel locks.
using PaletteProvider = std::function<gPalette()>;
void setPaletteProvider(PaletteProvider provider);
gPalette activePalette();
gPalette defaultPalette();

// Pixels copied off the screen.
struct Frame {
  eRect area;                    // screen coordinates
  std::vector<uint8_t> pixels;   // area.width() bytes per row
  gPalette palette;
};

class Screen {
public:
  static constexpr int width = 720, height = 576;
  static Screen& instance();

  // The toolkit's side. withTreeLock runs fn holding the toolkit's tree lock;
  // paint draws the visible widget tree (the desktop's paintTree) into the
  // painter, limited to area (screen coordinates), and is called with that
  // lock held. Either may be empty until the toolkit is up.
  struct Desktop {
    std::function<void(const std::function<void()>& fn)> withTreeLock;
    std::function<void(gPainter& painter, const eRect& area)> paint;
  };
  void setDesktop(Desktop desktop);

  gPixmap& framebuffer() { return *fb; }

  // Clears area (an all-zero rectangle: the whole screen) to the background
  // index and paints the tree over it. Call it with the tree lock held.
  void repaintLocked(const eRect& area = eRect());
  // Takes the tree lock, repaints and copies area (all-zero: the whole screen).
  Frame capture(const eRect& area = eRect());
  // Copies area of the framebuffer as it is, without repainting.
  Frame grab(const eRect& area = eRect());

  void setBackgroundIndex(int index) { background = index; }

private:
  Screen();
  std::unique_ptr<gImage> fb;
  std::mutex desktopMutex;
  Desktop desktop;
  int background = 0;
};

// Writes a bitmap with its palette as an indexed PNG (see-through entries
// keep their transparency).
bool writePixmapPng(const gPixmap& pixmap, const gPalette& palette, const std::string& path,
                    std::string* error = nullptr);
// Repaints the screen and writes it, or a part of it, as a PNG (see-through
// entries come out black, as the empty video plane behind the GUI).
bool writeScreenshot(const std::string& path, std::string* error = nullptr);
bool writeScreenAreaShot(const eRect& area, const std::string& path, std::string* error = nullptr);
// The part of the screen one widget covers.
inline bool writeWidgetShot(eWidget* widget, const std::string& path, std::string* error = nullptr) {
  if (!widget) return false;
  return writeScreenAreaShot(eRect(widget->getAbsolutePosition(), widget->getSize()), path, error);
}

}  // namespace emu
