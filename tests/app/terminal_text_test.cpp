// Names reach the terminal as UTF-8 whatever bytes the lists gave them.
#include <gtest/gtest.h>

#include "emulator/app/summary.h"

namespace {

TEST(TerminalText, LatinOneBecomesUtf8AndControlsBecomeMarks) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"Das Erste", "Das Erste"},
      {"M\xc3\xbcnchen TV", "M\xc3\xbcnchen TV"},                // UTF-8 already
      {"M\xfcnchen TV", "M\xc3\xbcnchen TV"},                    // Latin-1 u-umlaut
      {"\xe9t\xe9", "\xc3\xa9t\xc3\xa9"},                        // Latin-1 that looks like a UTF-8 lead
      {"a\x01\x1b[2Jb", "a??[2Jb"},                              // no escape reaches the terminal
      {"\x85x", "?x"},                                           // C1 control as Latin-1
      {"\xf0\x9f\x93\xba", "\xf0\x9f\x93\xba"},                  // four bytes kept
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::terminalText(c.in), c.out) << c.in;
    EXPECT_EQ(app::textWidth(app::terminalText(c.in)), app::textWidth(c.out));
  }
}

}  // namespace
