#include <gtest/gtest.h>

#include "emulator/toolkit/png.h"
#include "emulator/toolkit/screen.h"
#include "tempdir.h"

namespace {

// Installs a desktop that paints a fixed picture, and takes it away afterwards.
struct FakeDesktop {
  int locks = 0;
  std::vector<eRect> areas;
  FakeDesktop() {
    emu::Screen::Desktop d;
    d.withTreeLock = [this](const std::function<void()>& fn) { ++locks; fn(); };
    d.paint = [this](gPainter& p, const eRect& area) {
      areas.push_back(area);
      p.setForegroundColor(200);
      p.fill(eRect(100, 50, 40, 30));
      p.setForegroundColor(60);
      p.line(ePoint(0, 575), ePoint(719, 575));
    };
    emu::Screen::instance().setDesktop(d);
  }
  ~FakeDesktop() { emu::Screen::instance().setDesktop({}); }
};

TEST(Screen, ScreenshotRepaintsTheTreeAndWritesThePalette) {
  TempDir dir;
  FakeDesktop desk;
  std::string error;
  ASSERT_TRUE(emu::writeScreenshot(dir.file("s.png"), &error)) << error;
  EXPECT_EQ(desk.locks, 1);
  ASSERT_EQ(desk.areas.size(), 1u);
  EXPECT_EQ(desk.areas[0], eRect(0, 0, 720, 576));
  emu::RgbImage img;
  ASSERT_TRUE(emu::readPng(dir.file("s.png"), img));
  EXPECT_EQ(img.width, 720);
  EXPECT_EQ(img.height, 576);
  EXPECT_EQ(img.at(100, 50)[0], 200);     // grey palette: index 200 is (200, 200, 200)
  EXPECT_EQ(img.at(139, 79)[1], 200);
  EXPECT_EQ(img.at(140, 79)[1], 0);
  EXPECT_EQ(img.at(5, 575)[2], 60);
}

TEST(Screen, AreaShotsAreCutToTheScreen) {
  TempDir dir;
  FakeDesktop desk;
  ASSERT_TRUE(emu::writeScreenAreaShot(eRect(120, 60, 1000, 1000), dir.file("a.png")));
  emu::RgbImage img;
  ASSERT_TRUE(emu::readPng(dir.file("a.png"), img));
  EXPECT_EQ(img.width, 600);
  EXPECT_EQ(img.height, 516);
  EXPECT_EQ(img.at(0, 0)[0], 200);
  EXPECT_EQ(img.at(20, 20)[0], 0);
  std::string error;
  EXPECT_FALSE(emu::writeScreenAreaShot(eRect(800, 0, 10, 10), dir.file("b.png"), &error));
  EXPECT_FALSE(error.empty());
}

TEST(Screen, RepaintClearsOnlyTheArea) {
  FakeDesktop desk;
  emu::Screen& s = emu::Screen::instance();
  s.framebuffer().fill(eRect(0, 0, 720, 576), 9);
  s.repaintLocked(eRect(90, 40, 20, 20));
  const emu::Frame f = s.grab(eRect(80, 30, 40, 40));
  ASSERT_EQ(f.pixels.size(), 1600u);
  EXPECT_EQ(f.pixels[0], 9);                     // (80, 30): outside the area
  EXPECT_EQ(f.pixels[size_t(15 * 40 + 15)], 0);  // (95, 45): cleared
  EXPECT_EQ(f.pixels[size_t(25 * 40 + 25)], 200);// (105, 55): painted
  EXPECT_EQ(f.pixels[size_t(35 * 40 + 35)], 9);  // (115, 65): the fill, but outside the area
}

TEST(Screen, PaletteProviderFeedsShots) {
  TempDir dir;
  FakeDesktop desk;
  gPalette pal;
  pal.colors.assign(16, gRGB(0, 0, 255));      // short palettes are padded to 256
  emu::setPaletteProvider([pal] { return pal; });
  EXPECT_EQ(emu::activePalette().colors.size(), 256u);
  const bool ok = emu::writeScreenAreaShot(eRect(0, 0, 10, 10), dir.file("p.png"));
  emu::setPaletteProvider(nullptr);
  ASSERT_TRUE(ok);
  emu::RgbImage img;
  ASSERT_TRUE(emu::readPng(dir.file("p.png"), img));
  EXPECT_EQ(img.at(0, 0)[2], 255);
  EXPECT_EQ(emu::activePalette().colors[7], gRGB(7, 7, 7));
}

}  // namespace
