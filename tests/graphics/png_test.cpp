#include <fstream>

#include <gtest/gtest.h>
#include <host/gui/gpixmap.h>

#include "emulator/toolkit/png.h"
#include "emulator/toolkit/screen.h"
#include "tempdir.h"

namespace {

gPalette rainbow() {
  gPalette p;
  p.colors.resize(256);
  for (int i = 0; i < 256; ++i) p.colors[size_t(i)] = gRGB(i, 255 - i, (i * 7) & 255);
  return p;
}

TEST(Png, PaletteBitmapRoundTrip) {
  TempDir dir;
  gImage img(eSize(37, 11), 8);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 37; ++x) *img.pixel(x, y) = uint8_t(x * 7 + y * 13);
  const gPalette pal = rainbow();
  std::string error;
  ASSERT_TRUE(emu::writePixmapPng(img, pal, dir.file("a.png"), &error)) << error;
  emu::RgbImage back;
  ASSERT_TRUE(emu::readPng(dir.file("a.png"), back, &error)) << error;
  ASSERT_EQ(back.width, 37);
  ASSERT_EQ(back.height, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 37; ++x) {
      const gRGB& c = pal.colors[*img.pixel(x, y)];
      const uint8_t* p = back.at(x, y);
      ASSERT_EQ(p[0], c.r);
      ASSERT_EQ(p[1], c.g);
      ASSERT_EQ(p[2], c.b);
    }
  const emu::RgbImage expect = emu::toRgb(37, 11, img.pixel(0, 0), img.stride, pal);
  const emu::ImageDifference d = emu::compareImages(expect, back);
  EXPECT_TRUE(d.sameSize);
  EXPECT_EQ(d.differingFraction, 0.0);
  EXPECT_EQ(d.maxChannelDifference, 0);
}

TEST(Png, SeeThroughEntriesKeptOrFlattened) {
  TempDir dir;
  gImage img(eSize(2, 1), 8);
  *img.pixel(0, 0) = 1;
  *img.pixel(1, 0) = 2;
  gPalette pal;
  pal.colors.assign(256, gRGB());
  pal.colors[1] = gRGB(10, 20, 30, 255);   // fully see-through
  pal.colors[2] = gRGB(200, 100, 50);
  ASSERT_TRUE(emu::writePixmapPng(img, pal, dir.file("keep.png")));
  ASSERT_TRUE(emu::writeIndexedPng(dir.file("flat.png"), 2, 1, img.pixel(0, 0), 2, pal, emu::Transparency::flatten));
  emu::RgbImage keep, flat;
  ASSERT_TRUE(emu::readPng(dir.file("keep.png"), keep));
  ASSERT_TRUE(emu::readPng(dir.file("flat.png"), flat));
  for (const emu::RgbImage* im : {&keep, &flat}) {
    EXPECT_EQ(im->at(0, 0)[0], 0);      // composited onto black when read
    EXPECT_EQ(im->at(1, 0)[0], 200);
  }
  EXPECT_GT(std::filesystem::file_size(dir.path / "keep.png"), 0u);
}

TEST(Png, RgbRoundTrip) {
  TempDir dir;
  emu::RgbImage img;
  img.width = 3;
  img.height = 2;
  img.rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 250, 251, 252};
  ASSERT_TRUE(emu::writeRgbPng(dir.file("rgb.png"), img));
  emu::RgbImage back;
  ASSERT_TRUE(emu::readPng(dir.file("rgb.png"), back));
  EXPECT_EQ(back.rgb, img.rgb);
}

TEST(Png, BadInputIsAnErrorNotACrash) {
  TempDir dir;
  emu::RgbImage out;
  std::string error;
  EXPECT_FALSE(emu::readPng(dir.file("missing.png"), out, &error));
  EXPECT_NE(error.find("missing.png"), std::string::npos);
  { std::ofstream(dir.file("junk.png")) << "\x89PNG\r\n\x1a\n not really"; }
  EXPECT_FALSE(emu::readPng(dir.file("junk.png"), out, &error));
  EXPECT_EQ(out.width, 0);
  gImage empty(eSize(0, 0), 8);
  EXPECT_FALSE(emu::writePixmapPng(empty, rainbow(), dir.file("e.png"), &error));
  gImage img(eSize(4, 4), 8);
  EXPECT_FALSE(emu::writePixmapPng(img, rainbow(), dir.file("no/such/dir/x.png"), &error));
  EXPECT_FALSE(error.empty());
}

TEST(Compare, ToleranceAndSize) {
  emu::RgbImage a;
  a.width = 10;
  a.height = 10;
  a.rgb.assign(300, 100);
  emu::RgbImage b = a;
  b.rgb[3 * 42 + 1] = 103;   // one pixel, green off by 3
  b.rgb[3 * 7 + 2] = 98;     // another, blue off by 2
  struct Case { int tolerance; double fraction; };
  for (const Case& c : {Case{0, 0.02}, Case{2, 0.01}, Case{3, 0.0}}) {
    const emu::ImageDifference d = emu::compareImages(a, b, c.tolerance);
    EXPECT_TRUE(d.sameSize);
    EXPECT_DOUBLE_EQ(d.differingFraction, c.fraction) << c.tolerance;
    EXPECT_EQ(d.maxChannelDifference, 3);
  }
  emu::RgbImage c = a;
  c.width = 5;
  c.height = 20;
  const emu::ImageDifference d = emu::compareImages(a, c);
  EXPECT_FALSE(d.sameSize);
  EXPECT_EQ(d.differingFraction, 1.0);
}

}  // namespace
