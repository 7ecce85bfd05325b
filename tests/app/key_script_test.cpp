#include <gtest/gtest.h>

#include "emulator/app/key_script.h"

using app::KeyScriptError;
using app::parseKeyScript;
using app::ScriptStep;

TEST(KeyScript, KeysAndMarksInOrder) {
  auto steps = parseKeyScript("down ok 1 2 ok wait:500 until:\"Scansione terminata\" shot:out.png red*3");
  ASSERT_EQ(steps.size(), 11u);
  EXPECT_EQ(steps[0].kind, ScriptStep::Key);
  EXPECT_EQ(steps[0].key, 11);  // down
  EXPECT_EQ(steps[1].key, 14);  // ok
  EXPECT_EQ(steps[2].key, 1);
  EXPECT_EQ(steps[3].key, 2);
  EXPECT_EQ(steps[5].kind, ScriptStep::Wait);
  EXPECT_EQ(steps[5].waitMs, 500);
  EXPECT_EQ(steps[6].kind, ScriptStep::Until);
  EXPECT_EQ(steps[6].name, "Scansione terminata");
  EXPECT_EQ(steps[6].boundS, 0);
  EXPECT_EQ(steps[7].kind, ScriptStep::Shot);
  EXPECT_EQ(steps[7].name, "out.png");
  for (int i = 8; i < 11; ++i) EXPECT_EQ(steps[static_cast<size_t>(i)].key, 16);  // red
}

TEST(KeyScript, UntilWithItsOwnBoundAndUnquotedText) {
  auto steps = parseKeyScript("until:'have fun!':12.5 until:Finito");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].name, "have fun!");
  EXPECT_DOUBLE_EQ(steps[0].boundS, 12.5);
  EXPECT_EQ(steps[1].name, "Finito");
}

TEST(KeyScript, EveryKeyNameMapsToItsCode) {
  const auto& names = app::keyNames();
  ASSERT_EQ(names.size(), 21u);
  for (size_t i = 0; i < names.size(); ++i) {
    auto steps = parseKeyScript(names[i]);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].key, static_cast<int>(i)) << names[i];
  }
}

TEST(KeyScript, UnknownKeyIsRefusedWithTheKeyList) {
  try {
    parseKeyScript("down enter");
    FAIL() << "no error";
  } catch (const KeyScriptError& e) {
    std::string m = e.what();
    EXPECT_NE(m.find("'enter'"), std::string::npos) << m;
    EXPECT_NE(m.find("0 1 2 3 4 5 6 7 8 9 up down left right ok exit red green yellow blue menu"),
              std::string::npos) << m;
  }
}

TEST(KeyScript, MalformedWordsAreRefused) {
  const char* bad[] = {"wait:", "wait:5x", "wait:-3", "until:", "until:\"\"", "until:\"x\"5",
                       "until:\"x\":0", "shot:", "sleep:4", "ok*0", "ok*x", "ok*1001", "until:\"open",
                       "OK"};
  for (const char* b : bad) EXPECT_THROW(parseKeyScript(b), KeyScriptError) << b;
}

TEST(KeyScript, BareShotMeansTheScreenshotOption) {
  auto steps = parseKeyScript("ok shot");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[1].kind, ScriptStep::Shot);
  EXPECT_TRUE(steps[1].name.empty());
}

TEST(KeyScript, EmptyScriptHasNoSteps) {
  EXPECT_TRUE(parseKeyScript("   \n\t ").empty());
}
