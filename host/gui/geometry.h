// Points, sizes and rectangles of the screen, in pixels.
#pragma once
#include <algorithm>

class ePoint {
public:
  ePoint() = default;
  ePoint(int x, int y) : xp(x), yp(y) {}
  int x() const { return xp; }
  int y() const { return yp; }
  int& rx() { return xp; }
  int& ry() { return yp; }
  ePoint operator+(const ePoint& o) const { return ePoint(xp + o.xp, yp + o.yp); }
  ePoint operator-(const ePoint& o) const { return ePoint(xp - o.xp, yp - o.yp); }
  bool operator==(const ePoint& o) const { return xp == o.xp && yp == o.yp; }
  bool operator!=(const ePoint& o) const { return !(*this == o); }
private:
  int xp = 0, yp = 0;
};

class eSize {
public:
  eSize() = default;
  eSize(int w, int h) : wd(w), ht(h) {}
  int width() const { return wd; }
  int height() const { return ht; }
  bool isEmpty() const { return wd <= 0 || ht <= 0; }
  bool operator==(const eSize& o) const { return wd == o.wd && ht == o.ht; }
  bool operator!=(const eSize& o) const { return !(*this == o); }
private:
  int wd = 0, ht = 0;
};

// Corners (x1, y1) inclusive and (x2, y2) exclusive; all zero means "empty / everything".
class eRect {
public:
  eRect() = default;
  eRect(int left, int top, int width, int height) : x1(left), y1(top), x2(left + width), y2(top + height) {}
  eRect(ePoint topLeft, eSize size) : eRect(topLeft.x(), topLeft.y(), size.width(), size.height()) {}
  static eRect fromCorners(int ax1, int ay1, int ax2, int ay2) {
    eRect r; r.x1 = ax1; r.y1 = ay1; r.x2 = ax2; r.y2 = ay2; return r;
  }
  int left() const { return x1; }
  int top() const { return y1; }
  int right() const { return x2; }
  int bottom() const { return y2; }
  int width() const { return x2 - x1; }
  int height() const { return y2 - y1; }
  ePoint topLeft() const { return ePoint(x1, y1); }
  eSize size() const { return eSize(width(), height()); }
  bool isNull() const { return x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0; }
  bool isEmpty() const { return x2 <= x1 || y2 <= y1; }
  bool contains(const ePoint& p) const { return p.x() >= x1 && p.x() < x2 && p.y() >= y1 && p.y() < y2; }
  eRect intersect(const eRect& o) const {
    eRect r = fromCorners(std::max(x1, o.x1), std::max(y1, o.y1), std::min(x2, o.x2), std::min(y2, o.y2));
    if (r.isEmpty()) r = eRect();
    return r;
  }
  eRect translated(int dx, int dy) const { return fromCorners(x1 + dx, y1 + dy, x2 + dx, y2 + dy); }
  bool operator==(const eRect& o) const { return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2; }
  bool operator!=(const eRect& o) const { return !(*this == o); }

  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
