// Focus, shortcuts, sliders, the resize event and what the screen listing shows.
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

class Keys : public ::testing::Test {
protected:
  void SetUp() override { emu::startToolkit(); }
};

TEST_F(Keys, UpDownMoveTheFocusAndSkipHiddenControls) {
  eWindow w(1);
  auto* a = new eButton(&w);
  auto* b = new eButton(&w);
  auto* c = new eButton(&w);
  new eLabel(&w);   // takes no focus
  w.show();
  EXPECT_EQ(w.getFocus(), a);
  b->hide();
  std::vector<eWidget*> seen;
  for (auto* bt : {a, b, c}) bt->selected.connect([&seen, bt] { seen.push_back(bt); });
  for (const char* k : {"down", "ok", "down", "ok", "up", "up", "ok", "exit"}) emu::postKey(k);
  EXPECT_EQ(w.exec(), -1);
  EXPECT_EQ(seen, (std::vector<eWidget*>{c, a, a}));
  // Hiding the focused control moves the focus on.
  w.setFocus(c);
  c->hide();
  EXPECT_EQ(w.getFocus(), a);
}

TEST_F(Keys, ColourKeysPressTheShortcutButtonOfTheTopWindow) {
  eWindow w(1);
  auto* ok = new eButton(&w);
  ok->setShortcut("green");
  auto* list = new eListBox<eListBoxEntryText>(&w);
  new eListBoxEntryText(list, "uno");
  w.show();
  w.setFocus(list);
  int pressed = 0;
  ok->selected.connect([&] {
    pressed++;
    w.accept();
  });
  emu::postKey("yellow");   // nobody: ignored
  emu::postKey("green");
  EXPECT_EQ(w.exec(), 0);
  EXPECT_EQ(pressed, 1);
}

TEST_F(Keys, SliderMovesWithLeftRightAndReportsIt) {
  eWindow w(1);
  auto* s = new eSlider(&w, nullptr, 0, 0);
  s->setMax(100);
  s->setValue(50);
  EXPECT_EQ(s->getValue(), 50);
  s->setValue(500);
  EXPECT_EQ(s->getValue(), 100);
  std::vector<int> moves;
  s->changed.connect([&](int v) { moves.push_back(v); });
  s->setValue(40);   // the program's own move: no signal
  w.show();
  for (const char* k : {"right", "left", "left", "exit"}) emu::postKey(k);
  w.exec();
  EXPECT_EQ(moves, (std::vector<int>{50, 40, 30}));
  s->setMax(10);
  EXPECT_EQ(s->getValue(), 10);
}

class SizeWatcher : public eWidget {
public:
  explicit SizeWatcher(eWidget* p) : eWidget(p, 0) {}
  int eventHandler(const eWidgetEvent& e) override {
    if (e.type == eWidgetEvent::changedSize) sizes.push_back(getClientSize());
    return eWidget::eventHandler(e);
  }
  std::vector<eSize> sizes;
};

TEST_F(Keys, ResizeDeliversTheSizeEventAfterTheChange) {
  eWindow w(1);
  auto* s = new SizeWatcher(&w);
  s->resize(eSize(300, 200));
  ASSERT_EQ(s->sizes.size(), 1u);
  EXPECT_EQ(s->sizes[0], eSize(300, 200));
}

TEST_F(Keys, ClientAreaOfAWindow) {
  eWindow w(1);
  w.cmove(ePoint(120, 80));
  w.cresize(eSize(520, 476));
  EXPECT_EQ(w.getClientSize(), eSize(520, 476));
  auto* l = new eLabel(&w);
  l->move(ePoint(10, 10));
  EXPECT_EQ(l->getAbsolutePosition(), ePoint(130, 90));
}

TEST_F(Keys, ScreenListingShowsWhatIsVisible) {
  eWindow w(1);
  w.setText("Elenco SymbolRate");
  auto* l = new eLabel(&w);
  l->setText("etichetta");
  auto* hidden = new eLabel(&w);
  hidden->setText("nascosta");
  hidden->hide();
  auto* lb = new eListBox<eListBoxEntryText>(&w);
  lb->resize(eSize(200, 65));   // two rows of 30
  new eListBoxEntryText(lb, "27500\n");
  new eListBoxEntryText(lb, "22000");
  new eListBoxEntryText(lb, "fuori");
  EXPECT_FALSE(emu::textVisible("etichetta"));   // the window is not shown yet
  w.show();
  EXPECT_EQ(emu::topWindow(), &w);
  EXPECT_EQ(emu::topWindowTitle(), "Elenco SymbolRate");
  auto texts = emu::visibleTexts();
  EXPECT_EQ(texts, (std::vector<std::string>{"Elenco SymbolRate", "etichetta", "27500", "22000"}));
  EXPECT_EQ(emu::findWidget("nothing"), nullptr);
  l->setName("lab");
  EXPECT_EQ(emu::findWidget("lab"), l);
  unsigned before = emu::repaintCount(l);
  l->setText("altro");
  EXPECT_GT(emu::repaintCount(l), before);
  w.hide();
  EXPECT_EQ(emu::topWindow(), nullptr);
}

TEST_F(Keys, KeyNames) {
  EXPECT_EQ(emu::keyFromName("ok"), keyOk);
  EXPECT_EQ(emu::keyFromName("7"), key7);
  EXPECT_EQ(emu::keyFromName("menu"), keyMenu);
  EXPECT_EQ(emu::keyFromName("enter"), -1);
  EXPECT_FALSE(emu::postKey("enter"));
  EXPECT_STREQ(emu::keyName(keyGreen), "green");
}

}  // namespace
