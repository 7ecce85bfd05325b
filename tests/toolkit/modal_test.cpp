// Modal runs: nesting, close codes, the exit key and the close request.
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

class Modal : public ::testing::Test {
protected:
  void SetUp() override { emu::startToolkit(); }
};

class CountingWindow : public eWindow {
public:
  CountingWindow() : eWindow(1) {}
  int eventHandler(const eWidgetEvent& e) override {
    if (e.type == eWidgetEvent::execDone) execDone++;
    if (e.type == eWidgetEvent::wantClose) wantClose++;
    return eWindow::eventHandler(e);
  }
  int execDone = 0, wantClose = 0;
};

TEST_F(Modal, NestedLoopsReturnTheirOwnCodes) {
  CountingWindow outer;
  outer.setText("outer");
  auto* open = new eButton(&outer);
  open->setShortcut("green");
  auto* finish = new eButton(&outer);
  finish->setShortcut("red");
  int innerCode = 99;
  std::string topDuringInner;
  open->selected.connect([&] {
    CountingWindow inner;
    inner.setText("inner");
    inner.show();
    topDuringInner = emu::topWindowTitle();
    innerCode = inner.exec();
    inner.hide();
    EXPECT_EQ(inner.execDone, 1);
    EXPECT_EQ(inner.wantClose, 1);
  });
  finish->selected.connect([&] { outer.close(5); });
  outer.show();
  // Queued before the loop runs: each key goes to the topmost window when it is served.
  emu::postKey("green");
  emu::postKey("exit");
  emu::postKey("red");
  EXPECT_EQ(outer.exec(), 5);
  EXPECT_EQ(innerCode, -1);
  EXPECT_EQ(topDuringInner, "inner");
  EXPECT_EQ(outer.execDone, 1);
  EXPECT_EQ(outer.wantClose, 0);
}

TEST_F(Modal, AcceptAndRejectCodes) {
  struct Case {
    const char* how;
    int code;
  } cases[] = {{"accept", 0}, {"reject", -1}, {"close7", 7}};
  for (const Case& c : cases) {
    CountingWindow w;
    w.show();
    std::string how = c.how;
    emu::post([&w, how] {
      if (how == "accept") w.accept();
      else if (how == "reject") w.reject();
      else w.close(7);
    });
    EXPECT_EQ(w.exec(), c.code) << c.how;
    EXPECT_EQ(w.execDone, 1);
    w.hide();
  }
}

TEST_F(Modal, LocalWindowsDestroyCleanlyBelowTheDesktop) {
  size_t before = emu::desktop()->getChildren().size();
  {
    eWindow w(1);
    new eLabel(&w);
    EXPECT_EQ(w.getParent(), emu::desktop());
    EXPECT_EQ(w.getParent()->getFont().family, "Regular");
    EXPECT_EQ(emu::desktop()->getChildren().size(), before + 1);
  }
  EXPECT_EQ(emu::desktop()->getChildren().size(), before);
}

}  // namespace
