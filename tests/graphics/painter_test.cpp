#include <atomic>
#include <thread>

#include <gtest/gtest.h>
#include <host/gui/gpainter.h>

#include "pixels.h"

namespace {

TEST(Painter, FillsInWidgetCoordinatesWithinItsBounds) {
  gImage img(eSize(50, 50), 8);
  gPainter p(img, ePoint(10, 10), eRect(10, 10, 20, 20));
  p.setForegroundColor(3);
  p.fill(eRect(0, 0, 2, 2));
  EXPECT_EQ(pixels::inkBox(img), eRect(10, 10, 2, 2));
  p.fill(eRect(-100, -100, 1000, 1000));
  EXPECT_EQ(pixels::inkBox(img), eRect(10, 10, 20, 20));
  EXPECT_EQ(pixels::count(img, 3), 400);
}

TEST(Painter, BoundsAreClippedToTheTarget) {
  gImage img(eSize(20, 20), 8);
  gPainter p(img, ePoint(15, 15), eRect(15, 15, 30, 30));
  p.setBackgroundColor(8);
  p.clear();
  EXPECT_EQ(pixels::inkBox(img), eRect(15, 15, 5, 5));
}

TEST(Painter, ClipStackNarrowsAndPops) {
  gImage img(eSize(50, 50), 8);
  gPainter p(img, ePoint(10, 10), eRect(10, 10, 20, 20));
  p.setBackgroundColor(1);
  p.clip(eRect(5, 5, 100, 100));       // widget (5,5).. -> target (15,15)..(30,30)
  p.clear();
  EXPECT_EQ(pixels::inkBox(img, 0), eRect(15, 15, 15, 15));

  p.clip(eRect(0, 0, 8, 8));           // with the one before: (15,15)..(18,18)
  p.setBackgroundColor(2);
  p.clear();
  EXPECT_EQ(pixels::count(img, 2), 9);
  EXPECT_EQ(*img.pixel(15, 15), 2);
  EXPECT_EQ(*img.pixel(17, 17), 2);
  EXPECT_EQ(pixels::count(img, 1), 225 - 9);

  p.clippop();
  p.clippop();
  p.clippop();                          // one pop too many keeps the bounds
  p.setBackgroundColor(4);
  p.clear();
  EXPECT_EQ(pixels::count(img, 4), 400);
  EXPECT_EQ(pixels::inkBox(img), eRect(10, 10, 20, 20));
}

TEST(Painter, ClipsThatMissLeaveNothingToDraw) {
  gImage img(eSize(50, 50), 8);
  gPainter p(img, ePoint(0, 0), eRect(0, 0, 50, 50));
  p.setForegroundColor(5);
  p.setBackgroundColor(5);
  p.clip(eRect(100, 100, 10, 10));     // outside
  p.fill(eRect(0, 0, 50, 50));
  p.clear();
  p.line(ePoint(0, 0), ePoint(49, 49));
  p.clip(eRect(0, 0, 50, 50));         // a wider clip inside an empty one stays empty
  p.clear();
  EXPECT_EQ(pixels::count(img, 5), 0);
  p.clippop();
  p.clippop();
  p.clear();
  EXPECT_EQ(pixels::count(img, 5), 2500);
}

TEST(Painter, EmptyBoundsAllowNothing) {
  gImage img(eSize(10, 10), 8);
  gPainter p(img, ePoint(0, 0), eRect());
  p.setBackgroundColor(5);
  p.clear();
  p.setForegroundColor(5);
  p.fill(eRect(0, 0, 10, 10));
  EXPECT_EQ(pixels::count(img, 5), 0);
}

TEST(Painter, LinesAreClippedToTheClip) {
  gImage img(eSize(40, 40), 8);
  gPainter p(img, ePoint(10, 5), eRect(0, 0, 40, 40));
  p.setForegroundColor(6);
  p.clip(eRect(0, 0, 10, 10));         // target (10,5)..(20,15)
  p.line(ePoint(-50, 3), ePoint(100, 3));
  p.line(ePoint(2, -1000), ePoint(2, 1000));
  std::set<pixels::Point> expect;
  for (int x = 10; x < 20; ++x) expect.insert({x, 8});
  for (int y = 5; y < 15; ++y) expect.insert({12, y});
  EXPECT_EQ(pixels::inked(img), expect);
  EXPECT_EQ(p.foregroundColor(), 6);
}

gImage* pattern(int w, int h) {
  auto* src = new gImage(eSize(w, h), 8);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *src->pixel(x, y) = uint8_t(1 + x + y * w);
  return src;
}

TEST(Blit, CopiesAtThePositionLimitedToTheArea) {
  std::unique_ptr<gImage> src(pattern(10, 10));
  gImage img(eSize(60, 60), 8);
  gPainter p(img, ePoint(20, 20), eRect(20, 20, 40, 40));
  // Source (0,0) at widget (-3, 2); only widget area (0,0)..(5,5) is copied.
  p.blit(*src, ePoint(-3, 2), eRect(0, 0, 5, 5));
  EXPECT_EQ(pixels::inkBox(img), eRect(20, 22, 5, 3));
  for (int y = 22; y < 25; ++y)
    for (int x = 20; x < 25; ++x) EXPECT_EQ(*img.pixel(x, y), *src->pixel(x - 20 + 3, y - 22));
}

TEST(Blit, WithoutAreaIsLimitedByClipAndTarget) {
  std::unique_ptr<gImage> src(pattern(30, 4));
  gImage img(eSize(20, 20), 8);
  gPainter p(img, ePoint(0, 0), eRect(0, 0, 20, 20));
  p.clip(eRect(0, 0, 20, 2));
  p.blit(*src, ePoint(-500, 0));        // entirely left of the target
  EXPECT_TRUE(pixels::inked(img).empty());
  p.blit(*src, ePoint(-5, 1));
  EXPECT_EQ(pixels::inkBox(img), eRect(0, 1, 20, 1));
  EXPECT_EQ(*img.pixel(0, 1), *src->pixel(5, 0));
  EXPECT_EQ(*img.pixel(19, 1), *src->pixel(24, 0));
}

TEST(Blit, AlphaTestSkipsSeeThroughEntries) {
  gImage src(eSize(3, 1), 8);
  *src.pixel(0, 0) = 0;
  *src.pixel(1, 0) = 7;
  *src.pixel(2, 0) = 9;
  gImage img(eSize(3, 1), 8);
  img.fill(eRect(0, 0, 3, 1), 4);
  gPainter p(img, ePoint(0, 0), eRect(0, 0, 3, 1));
  p.blit(src, ePoint(0, 0), eRect(), gPainter::BT_ALPHATEST);   // no palette: index 0 is see-through
  EXPECT_EQ(*img.pixel(0, 0), 4);
  EXPECT_EQ(*img.pixel(1, 0), 7);
  src.clut.colors.assign(256, gRGB(1, 2, 3));
  src.clut.colors[9].a = 255;
  img.fill(eRect(0, 0, 3, 1), 4);
  p.blit(src, ePoint(0, 0), eRect(), gPainter::BT_ALPHATEST);
  EXPECT_EQ(*img.pixel(0, 0), 0);
  EXPECT_EQ(*img.pixel(2, 0), 4);
}

TEST(Blit, OntoItselfMovesTheImage) {
  std::unique_ptr<gImage> img(pattern(8, 8));
  std::unique_ptr<gImage> orig(pattern(8, 8));
  gPainter p(*img, ePoint(0, 0), eRect(0, 0, 8, 8));
  p.blit(*img, ePoint(2, 3));
  for (int y = 3; y < 8; ++y)
    for (int x = 2; x < 8; ++x) ASSERT_EQ(*img->pixel(x, y), *orig->pixel(x - 2, y - 3)) << x << "," << y;
}

// The graph's case: a worker draws into the bitmap while the GUI copies it.
TEST(Blit, CopiesWhileAnotherThreadDraws) {
  gImage bitmap(eSize(300, 40), 8);
  gImage screen(eSize(200, 60), 8);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int n = 0; n < 2000; ++n) bitmap.line(ePoint(n % 300, 40), ePoint(n % 300, n % 40), 1 + n % 3);
    done = true;
  });
  gPainter p(screen, ePoint(0, 10), eRect(0, 10, 200, 40));
  int copies = 0;
  while (!done || copies == 0) {
    p.blit(bitmap, ePoint(-50, 0), eRect(0, 0, 200, 40));
    ++copies;
  }
  worker.join();
  p.blit(bitmap, ePoint(-50, 0), eRect(0, 0, 200, 40));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(*screen.pixel(x, y + 10), *bitmap.pixel(x + 50, y));
}

}  // namespace
