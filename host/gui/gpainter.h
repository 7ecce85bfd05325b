// Drawing onto the screen on behalf of a widget; coordinates relative to the widget.
#pragma once
#include <vector>
#include <host/gui/gpixmap.h>

class gPainter {
public:
  enum { RT_HALIGN_LEFT = 0, RT_HALIGN_RIGHT = 1, RT_HALIGN_CENTER = 2, RT_VALIGN_CENTER = 4, RT_WRAP = 8 };
  enum { BT_ALPHATEST = 1 };

  // target: the bitmap drawn into; origin: where the widget's (0, 0) lies on it;
  // bounds: what the widget may touch, in target coordinates.
  gPainter(gPixmap& target, ePoint origin, eRect bounds);
  ~gPainter();

  void clip(const eRect& area);      // intersect the clip with area (widget coordinates)
  void clippop();
  void setForegroundColor(const gColor& color);
  void setBackgroundColor(const gColor& color);
  void setFont(const gFont& font);
  // Text inside the box; flags RT_*; lines separated by '\n'.
  void renderText(const eRect& box, const std::string& text, int flags = 0);
  void fill(const eRect& area);      // in the foreground colour
  void clear();                      // the clip area in the background colour
  void line(ePoint start, ePoint end);
  // Copies src with its top-left corner at pos, limited to clip (widget coordinates).
  void blit(gPixmap& src, ePoint pos, const eRect& clip = eRect(), int flags = 0);
  void flush() {}

  gColor foregroundColor() const { return fg; }
  gColor backgroundColor() const { return bg; }
  gPixmap& getTarget() const { return target; }
  ePoint getOrigin() const { return origin; }

private:
  gPixmap& target;
  ePoint origin;
  std::vector<eRect> clips;          // target coordinates; back() is current
  gColor fg, bg;
  gFont font;
};
