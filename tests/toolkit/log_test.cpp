// The debug log, eFatal and eString formatting.
#include <cerrno>
#include <gtest/gtest.h>
#include <thread>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

TEST(Log, LinesAreKeptWithErrnoText) {
  emu::setLogToStderr(false);
  emu::clearLog();
  errno = ENOENT;
  eDebug("ERRORE SET FRONTEND (%m) %d", 7);
  EXPECT_EQ(errno, ENOENT);
  eWarning("attenzione %s", "x");
  auto lines = emu::logLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "ERRORE SET FRONTEND (No such file or directory) 7");
  EXPECT_EQ(lines[1], "attenzione x");
}

TEST(Log, ManyThreadsLogAtOnce) {
  emu::setLogToStderr(false);
  emu::clearLog();
  std::vector<std::thread> ts;
  for (int t = 0; t < 4; ++t)
    ts.emplace_back([t] {
      for (int i = 0; i < 200; ++i) eDebug("t%d %d", t, i);
    });
  for (auto& t : ts) t.join();
  EXPECT_EQ(emu::logLines().size(), 800u);
  EXPECT_TRUE(emu::logContains("t3 199"));
}

TEST(LogDeathTest, FatalEndsTheProcessWithItsMessage) {
  EXPECT_EXIT(eFatal("skin load of \"%s\" failed", "scrutafasci"), ::testing::ExitedWithCode(1),
              "skin load of \"scrutafasci\" failed");
}

TEST(String, SprintfFormatsIntoItself) {
  eString s("old");
  eString& r = s.sprintf("Range di frequenze: %d - %d (standard)", 10900, 11000);
  EXPECT_EQ(&r, &s);
  EXPECT_EQ(s, "Range di frequenze: 10900 - 11000 (standard)");
  std::string big(1000, 'x');
  s.sprintf("%s|%d%%", big.c_str(), 45);
  EXPECT_EQ(s, big + "|45%");
}

TEST(String, SetNumInBases) {
  struct Case {
    int v, base;
    const char* text;
  } cases[] = {{10800, 10, "10800"}, {-42, 10, "-42"}, {255, 16, "ff"}, {5, 2, "101"}, {0, 10, "0"},
               {7, 99, "7"},         {-2147483647 - 1, 10, "-2147483648"}};
  for (const Case& c : cases) {
    eString s;
    EXPECT_EQ(s.setNum(c.v, c.base), c.text);
  }
  EXPECT_EQ(eString("a-b-c").removeChars('-'), "abc");
  EXPECT_EQ(eString("Verticale").upper(), "VERTICALE");
}

}  // namespace
