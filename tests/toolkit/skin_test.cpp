// Skin files: loading, errors with file and line, building windows, creators by name.
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

const char* const goodSkin = R"(<?xml version="1.0"?>
<skin>
  <colors>
    <color name="std_black" value="#000000"/>
    <color name="std_white" value="#ffffff"/>
    <color name="std_red" value="#ff0000"/>
    <color name="std_green" value="#00ff00"/>
  </colors>
  <schemes>
    <map name="eProgress.left" color="std_green"/>
  </schemes>
  <fonts>
    <font name="Regular" file="DejaVuSans.ttf"/>
  </fonts>
  <decos>
    <deco name="eButton" border="2" borderColor="std_white" background="std_black"/>
  </decos>
  <window name="prova" position="90,10" size="540,430" text="Titolo" font="Regular:20">
    <widget name="lFreqStart" position="10,20" size="200,30" text="Frequenza" foregroundColor="std_red"
            align="right"/>
    <widget name="bt_ok" position="300,300" size="100,30" text="OK" shortcut="green"/>
    <widget name="made" creator="recorder" position="5,6" size="70,80" colour="std_red" direction="2">
      <widget name="inner" creator="recorder" position="1,2" size="3,4"/>
    </widget>
    <widget name="box" position="10,100" size="300,50">
      <widget name="child" text="dentro&#10;riga" hidden="1"/>
    </widget>
  </window>
  <window name="missingChild">
    <widget name="nobody" position="1,1" size="1,1"/>
  </window>
</skin>
)";

std::string writeTemp(const std::string& text) {
  char path[] = "/tmp/skin_test_XXXXXX";
  int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  close(fd);
  std::ofstream(path) << text;
  return path;
}

// Records what the skin does to it, in order.
class Recorder : public eWidget {
public:
  explicit Recorder(eWidget* parent) : eWidget(parent, 0) {}
  int eventHandler(const eWidgetEvent& e) override {
    if (e.type == eWidgetEvent::changedSize) calls.push_back("size");
    return eWidget::eventHandler(e);
  }
  int setProperty(const eString& prop, const eString& value) override {
    calls.push_back(prop + "=" + value);
    return 0;
  }
  std::vector<std::string> calls;
};
eWidget* makeRecorder(eWidget* parent) { return new Recorder(parent); }

class Skin : public ::testing::Test {
protected:
  void SetUp() override {
    emu::startToolkit();
    emu::clearLog();
    emu::setLogToStderr(false);
    path = writeTemp(goodSkin);
  }
  void TearDown() override { unlink(path.c_str()); }
  std::string path;
};

TEST_F(Skin, BuildPlacesAndConfiguresNamedWidgets) {
  eSkin::addWidgetCreator("recorder", makeRecorder);
  eSkin skin;
  ASSERT_EQ(skin.load(path.c_str()), 0);
  EXPECT_EQ(eSkin::getActive(), &skin);
  eWindow w(1);
  auto* label = new eLabel(&w, 0, 0, "eLabel");
  label->setName("lFreqStart");
  auto* ok = new eButton(&w);
  ok->setName("bt_ok");
  auto* box = new eWidget(&w);
  box->setName("box");
  auto* child = new eLabel(box);
  child->setName("child");
  EXPECT_EQ(skin.build(&w, "prova"), 0);
  EXPECT_EQ(w.getPosition(), ePoint(90, 10));
  EXPECT_EQ(w.getSize(), eSize(540, 430));
  EXPECT_EQ(w.getText(), "Titolo");
  EXPECT_EQ(label->getPosition(), ePoint(10, 20));
  EXPECT_EQ(label->getSize(), eSize(200, 30));
  EXPECT_EQ(label->getText(), "Frequenza");
  EXPECT_EQ(int(label->getForegroundColor()), skin.queryColor("std_red"));
  EXPECT_EQ(ok->getShortcut(), "green");
  EXPECT_EQ(child->getText(), "dentro\nriga");
  EXPECT_FALSE(child->getState() & 1);

  auto* made = dynamic_cast<Recorder*>(w.search("made"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->getParent(), &w);
  EXPECT_EQ(made->getPosition(), ePoint(5, 6));
  EXPECT_EQ(made->calls, (std::vector<std::string>{"size", "colour=std_red", "direction=2"}));
  auto* inner = dynamic_cast<Recorder*>(w.search("inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->getParent(), made);
  eSkin::removeWidgetCreator("recorder", makeRecorder);
}

TEST_F(Skin, ColoursAndSchemesArePaletteIndices) {
  eSkin skin;
  ASSERT_EQ(skin.load(path.c_str()), 0);
  EXPECT_EQ(int(skin.queryColor("std_black")), 0);
  EXPECT_EQ(int(skin.queryColor("std_green")), 3);
  EXPECT_EQ(int(skin.queryScheme("eProgress.left")), 3);
  EXPECT_EQ(skin.paletteEntry(2), gRGB(255, 0, 0));
  EXPECT_TRUE(skin.hasDeco("eButton"));
  EXPECT_FALSE(skin.hasDeco("eNothing"));
  EXPECT_EQ(int(skin.queryColor("no_such")), 0);
  EXPECT_TRUE(emu::logContains("no colour \"no_such\""));
}

TEST_F(Skin, BuildFailsForAMissingDescriptionOrWidget) {
  eSkin skin;
  ASSERT_EQ(skin.load(path.c_str()), 0);
  eWindow w(1);
  EXPECT_NE(skin.build(&w, "scrutafasci"), 0);
  EXPECT_TRUE(emu::logContains("no window description \"scrutafasci\""));
  EXPECT_NE(skin.build(&w, "missingChild"), 0);
  EXPECT_TRUE(emu::logContains(path + ":30: window \"missingChild\": no widget named \"nobody\""));
}

TEST_F(Skin, UnknownCreatorFailsTheBuild) {
  eSkin skin;
  ASSERT_EQ(skin.load(path.c_str()), 0);
  eWindow w(1);
  new eLabel(&w);
  EXPECT_NE(skin.build(&w, "prova"), 0);   // "recorder" is not registered here
  EXPECT_TRUE(emu::logContains("unknown widget creator \"recorder\""));
}

struct BadFile {
  const char* text;
  int line;
  const char* reason;
};

class BadSkin : public ::testing::TestWithParam<BadFile> {
protected:
  void SetUp() override {
    emu::startToolkit();
    emu::clearLog();
    emu::setLogToStderr(false);
  }
};

TEST_P(BadSkin, LoadNamesFileLineAndReason) {
  const BadFile& b = GetParam();
  std::string path = writeTemp(b.text);
  eSkin before;
  eSkin skin;
  EXPECT_NE(skin.load(path.c_str()), 0);
  EXPECT_NE(eSkin::getActive(), &skin);
  std::string where = path + ":" + std::to_string(b.line) + ": ";
  EXPECT_TRUE(emu::logContains(where)) << where;
  EXPECT_TRUE(emu::logContains(b.reason)) << b.reason;
  eWindow w(1);
  EXPECT_NE(skin.build(&w, "x"), 0);
  unlink(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, BadSkin,
    ::testing::Values(
        BadFile{"<skin>\n  <colors>\n    <color name=\"a\" value=\"#000000\">\n  </colors>\n</skin>\n", 4, "mismatch"},
        BadFile{"<skin>\n<colors>\n<color name=\"a\" value=\"blue\"/>\n</colors>\n</skin>\n", 3, "is not #rrggbb"},
        BadFile{"<skin>\n<schemes>\n<map name=\"x\" color=\"nope\"/>\n</schemes>\n</skin>\n", 3, "no such colour"},
        BadFile{"<skin>\n<window name=\"x\">\n\n<widget name=\"a\" position=\"1;2\"/>\n</window>\n</skin>\n", 4,
                "is not \"x,y\""},
        BadFile{"<skin>\n<window name=\"x\" font=\"Regular\"/>\n</skin>\n", 2, "Family:size"},
        BadFile{"<skin>\n<colours/>\n</skin>\n", 2, "unknown element <colours>"},
        BadFile{"<skin>\n<fonts><font name=\"F\" file=\"missing.ttf\"/></fonts>\n</skin>\n", 2, "not found"},
        BadFile{"<skin>\n<window name=\"x\"/>\n<window name=\"x\"/>\n</skin>\n", 3, "described twice"}),
    [](const ::testing::TestParamInfo<BadFile>& i) { return "case" + std::to_string(i.index); });

TEST(SkinFile, MissingFileIsAnError) {
  emu::clearLog();
  emu::setLogToStderr(false);
  eSkin skin;
  EXPECT_NE(skin.load("/nonexistent/skin.esml"), 0);
  EXPECT_TRUE(emu::logContains("/nonexistent/skin.esml: cannot open"));
}

TEST(SkinFile, WithoutASkinTheBuiltInPaletteAnswers) {
  eSkin* s = eSkin::getActive();
  ASSERT_NE(s, nullptr);
  int gray = s->queryColor("std_gray");
  EXPECT_GT(gray, int(s->queryColor("std_dyellow")));
  EXPECT_NE(int(s->queryColor("std_green")), int(s->queryColor("std_red")));
  EXPECT_NE(int(s->queryScheme("eProgress.left")), int(s->queryScheme("eProgress.right")));
  EXPECT_EQ(emu::currentPalette().colors.size(), 256u);
}

}  // namespace

namespace {

TEST(SkinFile, DestroyingTheActiveSkinHandsOverToTheNewestRemaining) {
  emu::setLogToStderr(false);
  std::string path = writeTemp(goodSkin);
  auto* first = new eSkin;
  ASSERT_EQ(first->load(path.c_str()), 0);
  auto* unloaded = new eSkin;
  auto* second = new eSkin;
  ASSERT_EQ(second->load(path.c_str()), 0);
  EXPECT_EQ(eSkin::getActive(), second);
  delete second;
  EXPECT_EQ(eSkin::getActive(), first);   // not the one that never loaded a file
  delete first;
  EXPECT_NE(eSkin::getActive(), nullptr);
  EXPECT_NE(eSkin::getActive(), unloaded);
  delete unloaded;
  unlink(path.c_str());
}

}  // namespace
