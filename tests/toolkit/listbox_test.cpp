// List boxes: current entry, keys, signals and sorting.
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

using TextList = eListBox<eListBoxEntryText>;

class List : public ::testing::Test {
protected:
  void SetUp() override { emu::startToolkit(); }
  static int key(eListBoxEntryText* e) { return int(reinterpret_cast<intptr_t>(e->getKey())); }
};

TEST_F(List, GoNextAndSetCurrentAnnounceTheNewEntry) {
  eWindow w(1);
  auto* lb = new TextList(&w, nullptr, 1);
  auto* a = new eListBoxEntryText(lb, "standard", reinterpret_cast<void*>(0));
  auto* b = new eListBoxEntryText(lb, "by SymbolRate", reinterpret_cast<void*>(1));
  auto* c = new eListBoxEntryText(lb, "by AGC", reinterpret_cast<void*>(2));
  EXPECT_EQ(lb->getCurrent(), a);
  EXPECT_EQ(lb->getCount(), 3);
  std::vector<int> seen;
  lb->selchanged.connect([&](eListBoxEntryText* e) { seen.push_back(key(e)); });

  eListBoxEntryText* n = lb->goNext();
  EXPECT_EQ(n, b);
  EXPECT_EQ(lb->setCurrent(n, false), 0);   // already current: no second signal
  EXPECT_EQ(lb->goNext(), c);
  EXPECT_EQ(lb->goNext(), c);                // past the last entry: stays
  EXPECT_EQ(lb->getCurrent(), c);
  lb->setCurrent(a, false);
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 0}));
}

TEST_F(List, LeftRightChangeAndOkSelects) {
  eWindow w(1);
  auto* lb = new TextList(&w, nullptr, 1);
  new eListBoxEntryText(lb, "orizzontale", reinterpret_cast<void*>(0));
  new eListBoxEntryText(lb, "verticale", reinterpret_cast<void*>(1));
  w.show();
  int changed = 0, selectedKey = -1;
  lb->selchanged.connect([&](eListBoxEntryText*) { changed++; });
  lb->selected.connect([&](eListBoxEntryText* e) { selectedKey = key(e); });
  for (const char* k : {"right", "right", "left", "right", "ok", "exit"}) emu::postKey(k);
  EXPECT_EQ(w.exec(), -1);
  EXPECT_EQ(changed, 3);
  EXPECT_EQ(selectedKey, 1);
  EXPECT_EQ(key(lb->getCurrent()), 1);
}

TEST_F(List, SortIsNaturalAndStable) {
  eWindow w(1);
  auto* lb = new TextList(&w, nullptr, 1);
  lb->beginAtomic();
  const char* texts[] = {"27500", "3000", "22000", "Zeta", "alfa", "3000", "Alfa 10", "Alfa 9"};
  for (int i = 0; i < 8; ++i) new eListBoxEntryText(lb, texts[i], reinterpret_cast<void*>(intptr_t(i)));
  lb->sort();
  lb->endAtomic();
  std::vector<std::string> order;
  std::vector<int> keys;
  for (eListBoxEntry* e : lb->entryList()) {
    order.push_back(e->getText());
    keys.push_back(key(static_cast<eListBoxEntryText*>(e)));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"3000", "3000", "22000", "27500", "alfa", "Alfa 9", "Alfa 10", "Zeta"}));
  EXPECT_EQ(keys[0], 1);   // equal texts keep their order
  EXPECT_EQ(keys[1], 5);
}

TEST_F(List, DeletingEntriesAndTheListIsSafe) {
  eWindow w(1);
  auto* lb = new TextList(&w, nullptr, 1);
  auto* a = new eListBoxEntryText(lb, "a");
  auto* b = new eListBoxEntryText(lb, "b");
  delete a;   // the current one: the next becomes current
  EXPECT_EQ(lb->getCurrent(), b);
  EXPECT_EQ(lb->getCount(), 1);
  lb->clearList();
  EXPECT_EQ(lb->getCount(), 0);
  EXPECT_EQ(lb->getCurrent(), nullptr);
  EXPECT_EQ(lb->goNext(), nullptr);
  EXPECT_EQ(eListBoxEntryText::getEntryHeight(), 30);
}

}  // namespace
