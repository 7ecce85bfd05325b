#include <thread>

#include <gtest/gtest.h>
#include <host/gui/gpainter.h>

#include "emulator/toolkit/font.h"
#include "emulator/toolkit/screen.h"
#include "pixels.h"

namespace {

// Renders into a 300x120 bitmap cleared to 0, white (255) on black (0) with the grey palette.
struct Canvas {
  gImage img{eSize(300, 120), 8};
  gPainter painter{img, ePoint(0, 0), eRect(0, 0, 300, 120)};
  Canvas(const char* family = "Regular", int size = 20) {
    painter.setForegroundColor(255);
    painter.setBackgroundColor(0);
    painter.setFont(gFont(family, size));
  }
  eRect draw(const eRect& box, const std::string& text, int flags = 0) {
    painter.renderText(box, text, flags);
    return pixels::inkBox(img);
  }
};

bool inside(const eRect& inner, const eRect& outer) {
  return !inner.isEmpty() && inner.x1 >= outer.x1 && inner.y1 >= outer.y1 && inner.x2 <= outer.x2 &&
         inner.y2 <= outer.y2;
}

TEST(Text, InkStaysInsideTheBox) {
  const eRect box(20, 10, 120, 40);
  Canvas c;
  const eRect ink = c.draw(box, "Frequenza 10800");
  EXPECT_TRUE(inside(ink, box));
  EXPECT_GT(pixels::count(c.img, 255), 50);
  // Too long for its box: cut at the box, not beyond.
  Canvas d;
  const eRect cut = d.draw(eRect(20, 10, 60, 14), "Sintonia canali in corso......");
  EXPECT_TRUE(inside(cut, eRect(20, 10, 60, 14)));
  EXPECT_GE(cut.x2, 75);
}

TEST(Text, HorizontalAlignmentMovesTheInk) {
  const eRect box(0, 0, 300, 40);
  Canvas l, m, r;
  const eRect left = l.draw(box, "10800", gPainter::RT_HALIGN_LEFT);
  const eRect centre = m.draw(box, "10800", gPainter::RT_HALIGN_CENTER);
  const eRect right = r.draw(box, "10800", gPainter::RT_HALIGN_RIGHT);
  EXPECT_LT(left.x1, 5);
  EXPECT_GT(right.x2, 295);
  EXPECT_LT(left.x1, centre.x1);
  EXPECT_LT(centre.x1, right.x1);
  EXPECT_NEAR((centre.x1 + centre.x2) / 2, 150, 3);
  EXPECT_EQ(left.width(), right.width());
  EXPECT_EQ(left.y1, right.y1);
}

TEST(Text, VerticalCentring) {
  const eRect box(0, 0, 300, 120);
  Canvas top, mid;
  const eRect a = top.draw(box, "SNR", 0);
  const eRect b = mid.draw(box, "SNR", gPainter::RT_VALIGN_CENTER);
  EXPECT_LT(a.y1, 15);
  EXPECT_NEAR((b.y1 + b.y2) / 2, 60, 6);
  EXPECT_EQ(a.height(), b.height());
}

TEST(Text, LineBreaksAndWrapping) {
  emu::FontMetrics m;
  ASSERT_TRUE(emu::fontMetrics(gFont("Regular", 20), m));
  ASSERT_GT(m.lineHeight, 15);
  Canvas one, two;
  const eRect a = one.draw(eRect(0, 0, 300, 120), "TV");
  const eRect b = two.draw(eRect(0, 0, 300, 120), "TV\nRD");
  EXPECT_GE(b.height(), a.height() + m.lineHeight - 2);

  const std::string words = "ch. trovati TV RD DT";
  const eRect narrow(10, 0, 70, 120);
  Canvas flat, wrapped;
  const eRect f = flat.draw(narrow, words);
  const eRect w = wrapped.draw(narrow, words, gPainter::RT_WRAP);
  EXPECT_LT(f.height(), m.lineHeight);
  EXPECT_GE(w.height(), 2 * m.lineHeight);
  EXPECT_TRUE(inside(w, narrow));

  const auto lines = emu::layoutText(gFont("Regular", 20), words, 70);
  ASSERT_GE(lines.size(), 2u);
  for (const auto& line : lines) {
    EXPECT_LE(line.width, 70);
    ASSERT_FALSE(line.text.empty());
    EXPECT_NE(line.text.front(), U' ');
  }
  // A word longer than the line is broken, never lost.
  const auto broken = emu::layoutText(gFont("Regular", 20), "MMMMMMMMMM", 40);
  std::u32string joined;
  for (const auto& line : broken) joined += line.text;
  EXPECT_EQ(joined, U"MMMMMMMMMM");
  EXPECT_GT(broken.size(), 2u);
}

TEST(Text, PainterClipCutsTheText) {
  Canvas c;
  c.painter.clip(eRect(0, 0, 30, 120));
  const eRect ink = c.draw(eRect(0, 0, 300, 120), "Frequenze da saltare");
  EXPECT_TRUE(inside(ink, eRect(0, 0, 30, 120)));
  EXPECT_GE(ink.x2, 27);
}

TEST(Text, FamiliesAndBoldInk) {
  EXPECT_EQ(emu::fontFileFor("Regular"), "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  EXPECT_EQ(emu::fontFileFor("Bold"), "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
  EXPECT_EQ(emu::fontFileFor("Replacement"), "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  Canvas regular("Regular"), bold("Bold");
  regular.draw(eRect(0, 0, 300, 120), "Finito");
  bold.draw(eRect(0, 0, 300, 120), "Finito");
  EXPECT_GT(pixels::inked(bold.img).size(), pixels::inked(regular.img).size());
}

TEST(Text, MissingFontFileDrawsNothing) {
  emu::registerFontFamily("Nowhere", "/nonexistent/font.ttf");
  Canvas c("Nowhere");
  c.draw(eRect(0, 0, 300, 120), "Avviso");
  EXPECT_TRUE(pixels::inked(c.img).empty());
  EXPECT_EQ(emu::textExtent(gFont("Nowhere", 20), "Avviso"), eSize());
}

TEST(Text, SizeFollowsThePointSize) {
  const eSize small = emu::textExtent(gFont("Regular", 16), "12970");
  const eSize large = emu::textExtent(gFont("Regular", 32), "12970");
  EXPECT_GT(small.width(), 0);
  EXPECT_NEAR(large.width(), 2 * small.width(), 4);
  EXPECT_EQ(emu::textExtent(gFont("Regular", 16), "a\nb\nc").height(), 3 * small.height());
}

TEST(Text, EdgesAreShadedOnTheGreyPalette) {
  Canvas c("Regular", 24);
  c.draw(eRect(0, 0, 300, 120), "Orizzontale");
  int between = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 300; ++x) between += *c.img.pixel(x, y) > 0 && *c.img.pixel(x, y) < 255;
  EXPECT_GT(between, 20);
}

TEST(Text, ShadesComeFromTheActivePalette) {
  gPalette pal;
  pal.colors.assign(256, gRGB(255, 0, 0));   // far from any grey
  pal.colors[0] = gRGB(0, 0, 0);
  pal.colors[1] = gRGB(255, 255, 255);
  pal.colors[2] = gRGB(128, 128, 128);
  emu::setPaletteProvider([pal] { return pal; });
  Canvas c;
  c.painter.setForegroundColor(1);
  c.draw(eRect(0, 0, 300, 120), "Verticale");
  emu::setPaletteProvider(nullptr);
  int ones = 0, twos = 0, others = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 300; ++x) {
      const int v = *c.img.pixel(x, y);
      ones += v == 1;
      twos += v == 2;
      others += v > 2;
    }
  EXPECT_GT(ones, 0);
  EXPECT_GT(twos, 0);
  EXPECT_EQ(others, 0);
}

TEST(Text, Utf8AndLatin1Bytes) {
  EXPECT_EQ(emu::decodeUtf8("Qualit\xC3\xA0"), U"Qualit\u00E0");
  EXPECT_EQ(emu::decodeUtf8("Qualit\xE0"), U"Qualit\u00E0");        // a Latin-1 byte
  EXPECT_EQ(emu::decodeUtf8("\xE2\x82\xAC"), U"\u20AC");
  EXPECT_EQ(emu::decodeUtf8("\xC0\x80"), U"\u00C0\u0080");           // overlong
  EXPECT_EQ(emu::decodeUtf8("\xE2\x82"), U"\u00E2\u0082");           // cut short
}

TEST(Text, RendersFromSeveralThreads) {
  Canvas a, b;
  std::thread t([&] {
    for (int n = 0; n < 30; ++n) a.painter.renderText(eRect(0, 0, 300, 120), "ber " + std::to_string(n), 0);
  });
  for (int n = 0; n < 30; ++n) b.painter.renderText(eRect(0, 0, 300, 120), "snr " + std::to_string(n), 0);
  t.join();
  EXPECT_FALSE(pixels::inked(a.img).empty());
  EXPECT_FALSE(pixels::inked(b.img).empty());
}

}  // namespace
