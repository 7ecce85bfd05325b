// Bytes typed at a terminal as the keys they mean: nothing typed by habit may end the run.
#include <gtest/gtest.h>

#include "emulator/app/terminal_keys.h"

using app::TerminalKey;
using app::TerminalKeyReader;

namespace {

// The keys as words: remote names, "EXIT", "LEAVE", "SHOT".
std::string words(const std::vector<TerminalKey>& keys) {
  std::string s;
  for (const auto& k : keys) {
    if (!s.empty()) s += " ";
    switch (k.kind) {
      case TerminalKey::Remote: s += k.remote; break;
      case TerminalKey::Exit: s += "EXIT"; break;
      case TerminalKey::Leave: s += "LEAVE"; break;
      case TerminalKey::Shot: s += "SHOT"; break;
    }
  }
  return s;
}

std::string read(const std::string& bytes, bool thenIdle = true) {
  TerminalKeyReader r;
  auto keys = r.feed(bytes);
  if (thenIdle) {
    auto more = r.idle();
    keys.insert(keys.end(), more.begin(), more.end());
  }
  return words(keys);
}

}  // namespace

TEST(TerminalKeys, EachByteOrSequenceMeansOneKeyOrNothing) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* keys;
  } cases[] = {
      {"digits and Enter", "12\r\n", "1 2 ok ok"},
      {"arrows", "\x1b[A\x1b[B\x1b[C\x1b[D", "up down right left"},
      {"application-mode arrows", "\x1bOA\x1bOD", "up left"},
      {"colour letters", "rgyb", "red green yellow blue"},
      {"upper case too", "RQ", "red LEAVE"},
      {"F1-F4 as xterm sends them", "\x1bOP\x1bOQ\x1bOR\x1bOS", "red green yellow blue"},
      {"F1-F4 as rxvt and VT220 send them", "\x1b[11~\x1b[12~\x1b[13~\x1b[14~", "red green yellow blue"},
      {"F1-F4 on the Linux console", "\x1b[[A\x1b[[D", "red blue"},
      {"Backspace in both spellings", "\x7f\x08", ""},
      {"Backspace between digits", "1\x7f" "2", "1 2"},
      {"F5 and F12 are ignored whole", "\x1b[15~\x1b[24~", ""},
      {"Home, End, Delete, Page Up", "\x1b[H\x1b[F\x1b[3~\x1b[5~", ""},
      {"modified arrows are ignored whole", "\x1b[1;5C\x1b[1;2A", ""},
      {"Alt+key is ignored", "\x1bx", ""},
      {"Esc alone", "\x1b", "EXIT"},
      {"Esc Esc", "\x1b\x1b", "EXIT EXIT"},
      {"menu, screenshot, leave", "msq", "menu SHOT LEAVE"},
      {"Tab and other letters", "\tzx", ""},
      {"a key after an ignored sequence still counts", "\x1b[15~" "5", "5"},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.bytes), c.keys) << c.what;
}

TEST(TerminalKeys, SequenceSplitAcrossReadsIsOneKey) {
  TerminalKeyReader r;
  EXPECT_EQ(words(r.feed("\x1b")), "");
  EXPECT_TRUE(r.pending());
  EXPECT_EQ(words(r.feed("[1")), "");
  EXPECT_EQ(words(r.feed("1~")), "red");
  EXPECT_FALSE(r.pending());
}

TEST(TerminalKeys, StalledSequenceIsDroppedNotGuessed) {
  TerminalKeyReader r;
  EXPECT_EQ(words(r.feed("\x1b[1")), "");
  EXPECT_EQ(words(r.idle()), "");
  EXPECT_EQ(words(r.feed("A")), "");   // no stray key from the rest
}

TEST(TerminalKeys, RunawaySequenceEnds) {
  TerminalKeyReader r;
  EXPECT_EQ(words(r.feed("\x1b[" + std::string(40, '1'))), "") << "no digit leaks from its parameters";
  EXPECT_EQ(words(r.feed("2;3~")), "") << "its end is dropped too";
  EXPECT_EQ(words(r.feed("7")), "7");
}
