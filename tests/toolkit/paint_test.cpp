// Painting the tree: what lands on the screen's framebuffer.
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/screen.h"

namespace {

class Paint : public ::testing::Test {
protected:
  void SetUp() override { emu::startToolkit(); }
  static int at(const emu::Frame& f, int x, int y) {
    return f.pixels[size_t((y - f.area.top()) * f.area.width() + (x - f.area.left()))];
  }
};

TEST_F(Paint, WindowsLabelsAndHiddenWidgets) {
  eSkin* s = eSkin::getActive();
  int red = s->queryColor("std_red"), green = s->queryColor("std_green");
  emu::Screen::instance().setBackgroundIndex(0);
  eWindow w(1);
  w.move(ePoint(100, 100));
  w.resize(eSize(200, 150));
  w.setText("T");
  auto* l = new eLabel(&w);
  l->move(ePoint(10, 10));
  l->resize(eSize(50, 20));
  l->setBackgroundColor(red);
  auto* gone = new eLabel(&w);
  gone->move(ePoint(100, 60));
  gone->resize(eSize(30, 30));
  gone->setBackgroundColor(green);
  gone->hide();
  eWindow hiddenWindow(1);
  hiddenWindow.move(ePoint(400, 400));
  hiddenWindow.resize(eSize(100, 100));
  w.show();
  emu::Frame f = emu::Screen::instance().capture();
  ASSERT_EQ(f.area.width(), emu::screenWidth);
  EXPECT_EQ(at(f, 101, 120), int(s->queryScheme("eWindow.border")));   // border
  EXPECT_EQ(at(f, 290, 105), int(s->queryScheme("eWindow.titleBar"))); // title bar, right of the text
  EXPECT_EQ(at(f, 250, 200), int(w.getBackgroundColor()));             // client area
  EXPECT_EQ(at(f, 100 + 3 + 10 + 5, 100 + 3 + 36 + 10 + 5), red);      // label inside the client area
  EXPECT_EQ(at(f, 100 + 3 + 110, 100 + 3 + 36 + 70), int(w.getBackgroundColor()));  // hidden label
  EXPECT_EQ(at(f, 450, 450), 0);                                        // hidden window
  EXPECT_EQ(at(f, 50, 50), 0);                                          // nothing there
  w.hide();
}

TEST_F(Paint, ChildrenAreClippedToTheirParent) {
  eSkin* s = eSkin::getActive();
  int red = s->queryColor("std_red");
  emu::Screen::instance().setBackgroundIndex(0);
  eWindow w(1);
  w.move(ePoint(0, 0));
  w.resize(eSize(100, 100));
  auto* big = new eLabel(&w);
  big->move(ePoint(50, 20));
  big->resize(eSize(500, 20));   // wider than the window
  big->setBackgroundColor(red);
  w.show();
  emu::Frame f = emu::Screen::instance().capture();
  EXPECT_EQ(at(f, 60, 3 + 36 + 25), red);
  EXPECT_NE(at(f, 100, 3 + 36 + 25), red);
  EXPECT_EQ(at(f, 200, 3 + 36 + 25), 0);
  w.hide();
}

}  // namespace
