// How the terminal front prints successive screens: redrawn in place on a
// terminal, as changed lines into a pipe.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "emulator/app/terminal_front.h"

namespace {

// Collects what a FramePrinter writes.
class Capture {
public:
  Capture() { file_ = open_memstream(&buf_, &size_); }
  ~Capture() {
    if (file_) std::fclose(file_);
    std::free(buf_);
  }
  std::FILE* file() { return file_; }
  // What was written since the last call.
  std::string take() {
    std::fflush(file_);
    std::string all(buf_, size_);
    std::string fresh = all.substr(seen_);
    seen_ = all.size();
    return fresh;
  }

private:
  std::FILE* file_ = nullptr;
  char* buf_ = nullptr;
  size_t size_ = 0, seen_ = 0;
};

const std::vector<std::string> kSettings = {"window: Settings", "> Start  [1]0700", "  End    12750",
                                            "focus: Start: [1]0700"};
const std::vector<std::string> kTyped = {"window: Settings", "> Start  1[0]700", "  End    12750",
                                         "focus: Start: 1[0]700"};
const std::vector<std::string> kBox = {"message box: Avviso", "  Impossibile", "> <OK>"};

}  // namespace

TEST(FramePrinter, IntoAPipeOnlyWhatChangedAsLines) {
  Capture c;
  app::FramePrinter p(c.file(), false, 80);
  p.show(kSettings);
  EXPECT_EQ(c.take(), "window: Settings\n> Start  [1]0700\n  End    12750\nfocus: Start: [1]0700\n");
  p.show(kSettings);
  EXPECT_EQ(c.take(), "") << "an unchanged screen prints nothing";
  p.show(kTyped);
  EXPECT_EQ(c.take(), "> Start  1[0]700\nfocus: Start: 1[0]700\n") << "the same window: the changed lines";
  p.show(kBox);
  EXPECT_EQ(c.take(), "message box: Avviso\n  Impossibile\n> <OK>\n") << "another window: all of it";
  p.note("screenshot: /tmp/shot-001.png");
  EXPECT_EQ(c.take(), "screenshot: /tmp/shot-001.png\n");
}

TEST(FramePrinter, OnATerminalRedrawsOverTheLastFrameWithinTheWidth) {
  Capture c;
  app::FramePrinter p(c.file(), true, 12);
  p.show(kSettings);
  std::string first = c.take();
  EXPECT_EQ(first.find("\033[4A"), std::string::npos) << "nothing to go back over yet";
  // Cut one column short of the edge (11 columns), by characters, not bytes.
  EXPECT_NE(first.find("window: Set\033[K\n"), std::string::npos) << first;
  p.show(kTyped);
  std::string second = c.take();
  EXPECT_EQ(second.rfind("\033[4A\r\033[J", 0), 0u) << "back up over the 4 lines drawn";
  EXPECT_NE(second.find("> Start  1[\033[K\n"), std::string::npos) << second;
  p.show(kBox);
  EXPECT_EQ(c.take().rfind("\033[4A\r\033[J", 0), 0u);
  p.note("leaving\u2026 now and more");
  std::string note = c.take();
  EXPECT_EQ(note.rfind("\033[3A\r\033[J", 0), 0u) << "the note goes where the frame was";
  EXPECT_NE(note.find("leaving\u2026 no\033[K\n"), std::string::npos) << note;
  EXPECT_NE(note.find("message box\033[K\n"), std::string::npos) << "and the frame comes back below it";
}
