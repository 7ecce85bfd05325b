// Number fields: reading and writing the number, editing with keys.
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

class Number : public ::testing::Test {
protected:
  void SetUp() override { emu::startToolkit(); }
  void key(eWidget* w, int k) { w->event(eWidgetEvent(eWidgetEvent::keyDown, k)); }
  std::string fields(eNumber* n, int len) {
    std::string s;
    for (int i = 0; i < len; ++i) s += char('0' + n->getNumber(i));
    return s;
  }
};

TEST_F(Number, DigitFieldsReadAsOneNumber) {
  eWindow w(1);
  int init[5] = {1, 0, 7, 0, 0};
  auto* n = new eNumber(&w, 5, 0, 9, 1, init, 0, nullptr, 1, "eNumber");
  EXPECT_EQ(n->getNumber(), 10700);
  struct Case {
    int set;
    const char* fields;
    int get;
  } cases[] = {{0, "00000", 0},       {12750, "12750", 12750}, {3, "00003", 3},
               {99999, "99999", 99999}, {123456, "23456", 23456}, {-5, "00000", 0}};
  for (const Case& c : cases) {
    n->setNumber(c.set);
    EXPECT_EQ(fields(n, 5), c.fields) << c.set;
    EXPECT_EQ(n->getNumber(), c.get) << c.set;
  }
}

TEST_F(Number, ShortFieldRows) {
  eWindow w(1);
  int init2[2] = {5, 3};
  auto* n = new eNumber(&w, 2, 0, 9, 1, init2, 0, nullptr, 1, "eNumber");
  EXPECT_EQ(n->getNumber(), 53);
  n->setNumber(999);
  EXPECT_EQ(n->getNumber(), 99);
}

TEST_F(Number, DigitsTypeIntoTheActiveFieldAndMoveOn) {
  eWindow w(1);
  int init[5] = {1, 0, 7, 0, 0};
  auto* n = new eNumber(&w, 5, 0, 9, 1, init, 0, nullptr, 1, "eNumber");
  int changes = 0;
  n->numberChanged.connect([&] { changes++; });
  key(n, key1);
  key(n, key1);
  EXPECT_EQ(n->getNumber(), 11700);
  EXPECT_EQ(n->getActive(), 2);
  key(n, keyRight);
  key(n, key5);
  EXPECT_EQ(n->getNumber(), 11750);
  key(n, keyLeft);
  key(n, keyLeft);
  key(n, keyLeft);
  key(n, keyLeft);
  key(n, keyLeft);   // stops at the first field
  EXPECT_EQ(n->getActive(), 0);
  key(n, key2);
  EXPECT_EQ(n->getNumber(), 21750);
  EXPECT_EQ(changes, 4);
  for (int i = 0; i < 4; ++i) key(n, keyRight);
  key(n, key9);   // the last field; typing then starts over at the first
  EXPECT_EQ(n->getNumber(), 21759);
  EXPECT_EQ(n->getActive(), 0);
}

TEST_F(Number, OkConfirmsWithThePointerToTheFirstField) {
  eWindow w(1);
  int init[3] = {0, 1, 0};
  auto* n = new eNumber(&w, 3, 0, 9, 1, init, 0, nullptr, 1, "eNumber");
  int* got = nullptr;
  int first = -1, third = -1;
  n->selected.connect([&](int* p) {
    got = p;
    first = p[0];
    third = p[2];
  });
  n->setNumber(427);
  key(n, keyOk);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(third, 7);
}

TEST_F(Number, KeysReachTheFocusedFieldThroughTheWindow) {
  eWindow w(1);
  int init[3] = {0, 0, 0};
  auto* a = new eNumber(&w, 3, 0, 9, 1, init, 0, nullptr, 1, "eNumber");
  auto* b = new eNumber(&w, 3, 0, 9, 1, init, 0, nullptr, 1, "eNumber");
  w.show();
  EXPECT_EQ(w.getFocus(), a);
  for (const char* k : {"1", "2", "3", "down", "4", "exit"}) emu::postKey(k);
  EXPECT_EQ(w.exec(), -1);
  EXPECT_EQ(a->getNumber(), 123);
  EXPECT_EQ(b->getNumber(), 400);
  EXPECT_TRUE(emu::textVisible("123"));
  EXPECT_TRUE(emu::textVisible("400"));
}

}  // namespace
