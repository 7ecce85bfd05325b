#include <climits>
#include <cstdlib>
#include <random>
#include <thread>

#include <gtest/gtest.h>
#include <host/gui/gpixmap.h>

#include "pixels.h"

namespace {

using pixels::Point;

// Every pixel of the unclipped line, walked one step at a time, then kept if
// inside the bitmap: what the clipped line must draw.
std::set<Point> reference(long long x0, long long y0, long long x1, long long y1, int w, int h) {
  std::set<Point> s;
  const long long dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0);
  const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
  const bool steep = dy > dx;
  const long long da = steep ? dy : dx, db = steep ? dx : dy;
  long long err = da, k = 0;   // 2*i*db + da, kept modulo 2*da
  for (long long i = 0; i <= da; ++i) {
    long long x = steep ? x0 + sx * k : x0 + sx * i;
    long long y = steep ? y0 + sy * i : y0 + sy * k;
    if (x >= 0 && x < w && y >= 0 && y < h) s.insert({int(x), int(y)});
    err += 2 * db;
    while (da > 0 && err >= 2 * da) { err -= 2 * da; ++k; }
  }
  return s;
}

std::set<Point> drawn(int w, int h, ePoint a, ePoint b) {
  gImage img(eSize(w, h), 8);
  img.line(a, b, 7);
  EXPECT_EQ(pixels::count(img, 7), int(pixels::inked(img).size()));
  return pixels::inked(img);
}

TEST(Image, AllocatesZeroedPixelsWithStrideWidth) {
  gImage img(eSize(37, 5), 8);
  EXPECT_EQ(img.getSize(), eSize(37, 5));
  EXPECT_EQ(img.stride, 37);
  EXPECT_EQ(img.bpp, 8);
  ASSERT_NE(img.data, nullptr);
  EXPECT_NE(img.pixelLock, nullptr);
  EXPECT_TRUE(pixels::inked(img).empty());
}

TEST(Image, BadSizesGiveAnEmptyBitmapThatIgnoresDrawing) {
  for (eSize s : {eSize(-3, 10), eSize(10, 0), eSize(0, 0), eSize(1 << 20, 1 << 20)}) {
    gImage img(s, 8);
    EXPECT_TRUE(img.getSize().isEmpty()) << s.width() << "x" << s.height();
    EXPECT_EQ(img.data, nullptr);
    img.fill(eRect(0, 0, 10, 10), 3);
    img.line(ePoint(0, 0), ePoint(5, 5), 3);
  }
}

TEST(Fill, IsClippedToThePixmap) {
  struct Case { eRect area; int expected; };
  const Case cases[] = {
    {eRect(2, 3, 4, 5), 20},
    {eRect(-5, -5, 7, 7), 4},           // over the top-left corner
    {eRect(8, 8, 100, 100), 4},          // over the bottom-right corner
    {eRect(-100, 4, 1000, 1), 10},       // a whole row
    {eRect(0, 10, 10, 5), 0},            // below
    {eRect(10, 0, 1, 10), 0},            // right of it
    {eRect(3, 3, 0, 4), 0},              // empty
    {eRect::fromCorners(6, 6, 2, 2), 0}, // inverted
    {eRect::fromCorners(INT_MIN, INT_MIN, INT_MAX, INT_MAX), 100},
  };
  for (const Case& c : cases) {
    gImage img(eSize(10, 10), 8);
    img.fill(c.area, 9);
    EXPECT_EQ(pixels::count(img, 9), c.expected) << c.area.x1 << "," << c.area.y1 << " " << c.area.x2 << "," << c.area.y2;
  }
}

TEST(Line, DrawsBothEndsWithBresenhamSteps) {
  EXPECT_EQ(drawn(10, 10, ePoint(0, 0), ePoint(3, 1)), (std::set<Point>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(drawn(10, 10, ePoint(3, 1), ePoint(3, 1)), (std::set<Point>{{3, 1}}));
  EXPECT_EQ(drawn(10, 10, ePoint(2, 5), ePoint(2, 2)), (std::set<Point>{{2, 2}, {2, 3}, {2, 4}, {2, 5}}));
  EXPECT_EQ(drawn(10, 10, ePoint(4, 4), ePoint(1, 7)), (std::set<Point>{{4, 4}, {3, 5}, {2, 6}, {1, 7}}));
}

TEST(Line, ClipsLikeTheUnclippedLine) {
  const int w = 30, h = 20;
  struct Case { int x0, y0, x1, y1; };
  const Case cases[] = {
    {-10, 5, 40, 12},   // through left and right edges
    {12, -8, 17, 30},   // through top and bottom
    {-5, -5, 40, 40},   // corner to corner, beyond both
    {-20, 10, 10, -20}, // cuts the top-left corner
    {25, 25, 35, 15},   // near the bottom-right corner, outside
    {-30, -1, 60, -1},  // the row above
    {-30, 0, 60, 0},    // the top row
    {60, 7, -30, 7},    // a row drawn right to left
    {12, 7, 3, 7},      // a short one, inside
    {-30, 19, 60, 19},  // the bottom row
    {-30, 20, 60, 20},  // the row below
    {0, -30, 0, 60},    // the left column
    {29, -30, 29, 60},  // the right column
    {30, -30, 30, 60},  // right of the last column
    {-1, -30, -1, 60},  // left of the first column
    {40, 5, -10, 6},    // right to left, shallow
    {7, 50, 3, -50},    // bottom to top, steep
    {-100, -100, -50, -60}, // fully outside
    {5, 5, 20, 10},     // fully inside
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drawn(w, h, ePoint(c.x0, c.y0), ePoint(c.x1, c.y1)), reference(c.x0, c.y0, c.x1, c.y1, w, h))
        << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
}

TEST(Line, RandomLinesMatchTheReference) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> coord(-2000, 2000);
  for (int n = 0; n < 300; ++n) {
    const int x0 = coord(rng), y0 = coord(rng) / 8, x1 = coord(rng), y1 = coord(rng) / 8;
    ASSERT_EQ(drawn(64, 40, ePoint(x0, y0), ePoint(x1, y1)), reference(x0, y0, x1, y1, 64, 40))
        << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

TEST(Line, RowsAtAndBelowTheHeightOfTheGraphBitmap) {
  gImage img(eSize(2470, 200), 8);
  img.line(ePoint(0, 200), ePoint(2470, 200), 5);
  img.line(ePoint(300, 200), ePoint(300, 250), 5);
  EXPECT_EQ(pixels::count(img, 5), 0);
  img.line(ePoint(0, 199), ePoint(2470, 199), 5);
  EXPECT_EQ(pixels::count(img, 5), 2470);
  for (int x = 0; x < 2470; ++x) ASSERT_EQ(*img.pixel(x, 199), 5);
  // A vertical segment from below the bitmap up to row 100 draws rows 100..199.
  img.line(ePoint(300, 200), ePoint(300, 100), 6);
  EXPECT_EQ(pixels::count(img, 6), 100);
  EXPECT_EQ(*img.pixel(300, 100), 6);
}

TEST(Line, HugeCoordinatesAreClippedWithoutWalkingThem) {
  gImage img(eSize(50, 40), 8);
  img.line(ePoint(INT_MIN, INT_MIN), ePoint(INT_MAX, INT_MAX), 1);
  std::set<Point> diagonal;
  for (int i = 0; i < 40; ++i) diagonal.insert({i, i});
  EXPECT_EQ(pixels::inked(img), diagonal);

  gImage row(eSize(50, 40), 8);
  row.line(ePoint(-1000000000, 39), ePoint(1000000000, 39), 2);
  row.line(ePoint(INT_MIN, -5), ePoint(INT_MAX, -5), 2);
  row.line(ePoint(INT_MAX, INT_MIN), ePoint(INT_MAX, INT_MAX), 2);
  EXPECT_EQ(pixels::count(row, 2), 50);

  const int x0 = -1000000, y0 = -5, x1 = 1000000, y1 = 45;
  EXPECT_EQ(drawn(50, 40, ePoint(x0, y0), ePoint(x1, y1)), reference(x0, y0, x1, y1, 50, 40));
}

TEST(Line, ExtraClipAndOffset) {
  gImage img(eSize(20, 20), 8);
  img.line(ePoint(-10, 0), ePoint(30, 0), 3, eRect(5, 0, 4, 20), ePoint(0, 7));
  std::set<Point> expect;
  for (int x = 5; x < 9; ++x) expect.insert({x, 7});
  EXPECT_EQ(pixels::inked(img), expect);
}

TEST(Lock, CopiesSeeWholeLinesWhileAnotherThreadDraws) {
  gImage img(eSize(200, 50), 8);
  std::atomic<bool> done{false};
  std::thread painter([&] {
    for (int n = 0; n < 400; ++n) {
      const int c = 1 + n % 2;
      for (int y = 0; y < 50; ++y) img.line(ePoint(0, y), ePoint(199, y), c);
    }
    done = true;
  });
  int copies = 0;
  while (!done || copies == 0) {
    gPixmap* p = img.lock();
    // Within a locked copy every row is one colour: lines never tear.
    for (int y = 0; y < 50; ++y) {
      const uint8_t first = *p->pixel(0, y);
      for (int x = 1; x < 200; ++x) ASSERT_EQ(*p->pixel(x, y), first);
    }
    p->unlock();
    ++copies;
  }
  painter.join();
  EXPECT_EQ(pixels::count(img, 2), 200 * 50);
}

TEST(Lock, CopiesOfAPixmapShareItsPixelsAndLock) {
  gImage img(eSize(4, 4), 8);
  gPixmap copy = img;
  copy.line(ePoint(0, 0), ePoint(3, 0), 4);
  EXPECT_EQ(*img.pixel(3, 0), 4);
  EXPECT_EQ(copy.pixelLock, img.pixelLock);
}

}  // namespace
