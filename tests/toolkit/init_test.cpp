// Start-up levels.
#include <gtest/gtest.h>
#include <host/gui/gui.h>

namespace {

std::vector<std::string> journal;

class Probe : public eAutoInit {
public:
  Probe(int level, const char* name) : eAutoInit(level, name) {}
  void initNow() override { journal.push_back(std::string("init ") + description); }
  void closeNow() override { journal.push_back(std::string("close ") + description); }
};

struct Made {
  Made() { journal.push_back("made"); }
  ~Made() { journal.push_back("gone"); }
};

TEST(Init, LevelsRunInOrderAndLateAdditionsStartAtOnce) {
  journal.clear();
  int base = eInit::getRunlevel();
  Probe a(base + 10, "a"), b(base + 30, "b"), c(base + 10, "c");
  eInit::add(base + 30, &b);
  eInit::add(base + 10, &a);
  eInit::add(base + 10, &c);
  eInit::add(base + 10, &a);   // twice: once
  eInit::setRunlevel(base + 20);
  EXPECT_EQ(journal, (std::vector<std::string>{"init a", "init c"}));
  EXPECT_EQ(eInit::getRunlevel(), base + 20);
  eInit::setRunlevel(base + 30);
  EXPECT_EQ(journal.back(), "init b");

  // Added after its level was reached (a module loaded later): initialised at once.
  Probe late(base + 30, "late");
  eInit::add(base + 30, &late);
  EXPECT_EQ(journal.back(), "init late");
  eInit::remove(base + 30, &late);
  EXPECT_EQ(journal.back(), "close late");

  // Not reached yet: waits for its level.
  Probe high(base + 40, "high");
  eInit::add(base + 40, &high);
  EXPECT_EQ(journal.back(), "close late");
  eInit::remove(base + 40, &high);
  EXPECT_EQ(journal.back(), "close late");   // never initialised: not closed

  eInit::setRunlevel(base + 10);
  EXPECT_EQ(journal.back(), "close b");
  eInit::remove(base + 10, &a);
  EXPECT_EQ(journal.back(), "close a");
  eInit::remove(base + 30, &b);   // closed already
  EXPECT_EQ(journal.back(), "close a");
  eInit::remove(base + 10, &c);
  EXPECT_EQ(journal.back(), "close c");
}

TEST(Init, AutoInitP0MakesAndDeletesItsObject) {
  journal.clear();
  int base = eInit::getRunlevel();
  {
    eAutoInitP0<Made> holder(base + 5, "made");
    EXPECT_TRUE(journal.empty());
    eInit::setRunlevel(base + 5);
    EXPECT_EQ(journal, (std::vector<std::string>{"made"}));
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"made", "gone"}));
}

}  // namespace

#include "emulator/toolkit/emu.h"

namespace {

eWidget* makeNothing(eWidget* parent) { return new eWidget(parent); }

struct CreatorInit {
  CreatorInit() { eSkin::addWidgetCreator("nothingWidget", makeNothing); }
  ~CreatorInit() { eSkin::removeWidgetCreator("nothingWidget", makeNothing); }
};

TEST(Init, StartingTheToolkitReachesTheHostLevel) {
  eAutoInitP0<CreatorInit> registration(30, "nothingWidget");
  emu::startToolkit();
  EXPECT_GE(eInit::getRunlevel(), emu::hostRunlevel);
  EXPECT_NE(registration.operator->(), nullptr);
}

}  // namespace
