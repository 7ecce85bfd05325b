// The terminal front as a person meets it in a terminal (tmux, xterm): the
// program runs on a pseudo-terminal, keys are typed into it, and what it draws
// is read back without the control sequences.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

#include "emu_process.h"
#include "pty_process.h"

using apptest::EmuPty;

namespace {

class TerminalFront : public ::testing::Test {
protected:
  void SetUp() override {
    home = apptest::makeTempDir("front");
    root = home + "/root";
  }
  void TearDown() override { apptest::removeTree(home); }
  // Shown after `from`, within the bound, or the test says what was shown instead.
  void expectShown(EmuPty& t, const std::string& part, size_t from, double boundS = 30) {
    EXPECT_TRUE(t.waitFor(part, boundS, from)) << "wanted: " << part << "\n--- shown:\n" << t.text().substr(from);
  }
  std::string home, root;
};

}  // namespace

TEST_F(TerminalFront, SettingsWindowShowsLabelsValuesAndTheNumberCursor) {
  EmuPty t({"run", "--root", root}, home);
  expectShown(t, "window: Scrutafasci by", 0);
  for (const char* row : {"Soglia aggancio SNR (%)     53", "Frequenza iniziale (MHz)    10700",
                          "Polarizzazione              orizzontale", "[Esci]  [Avvia]  [SR noti]"})
    expectShown(t, row, 0, 5);
  expectShown(t, "focus: Tipo ricerca: < standard >", 0, 5);
  size_t at = t.mark();
  t.type("\x1b[B");   // down
  expectShown(t, "> Frequenza iniziale (MHz)    [1]0700", at);
  expectShown(t, "focus: Frequenza iniziale (MHz): [1]0700", at, 5);
  at = t.mark();
  t.type("1");
  expectShown(t, "focus: Frequenza iniziale (MHz): 1[0]700", at);
  t.type("q");
  expectShown(t, "leaving", at);
  EXPECT_EQ(t.finish(), 0);
}

TEST_F(TerminalFront, BackspaceAndUnknownSequencesChangeNothingAndEndNothing) {
  EmuPty t({"run", "--root", root}, home);
  expectShown(t, "focus: Tipo ricerca", 0);
  t.type("\x1b[B");
  expectShown(t, "focus: Frequenza iniziale (MHz): [1]0700", 0);
  size_t at = t.mark();
  // Backspace both ways, F5, F12, Home, Delete, Ctrl+Right, Alt+x: none of them is a key of the box.
  t.type("1\x7f\x08");
  t.type("\x1b[15~\x1b[24~\x1b[H\x1b[3~\x1b[1;5C\x1bx");
  t.type("2");
  // Had a byte of a sequence leaked as a digit, or Backspace moved the cursor, the number would differ.
  expectShown(t, "focus: Frequenza iniziale (MHz): 12[7]00", at);
  EXPECT_EQ(t.text().find("leaving", at), std::string::npos);
  t.type("q");
  EXPECT_EQ(t.finish(), 0);
}

TEST_F(TerminalFront, FunctionKeysAreTheColourKeysInBothSpellings) {
  // A short scan first, so that the lists have entries.
  auto r = apptest::runEmu({"scan", "--root", root, "--from", "11700", "--to", "11800", "--quiet"}, home);
  ASSERT_EQ(r.status, 0) << r.err;
  EmuPty t({"run", "--root", root}, home);
  expectShown(t, "focus: Tipo ricerca", 0);
  size_t at = t.mark();
  t.type("\x1bOR");   // F3 as xterm sends it: yellow, the known symbol rates
  expectShown(t, "window: Elenco SymbolRate", at);
  expectShown(t, "focus: 27500", at, 5);
  at = t.mark();
  t.type("\x1b");     // Esc alone: exit, back to the settings
  expectShown(t, "window: Scrutafasci by", at);
  at = t.mark();
  t.type("\x1b[14~");   // F4 as rxvt sends it: blue, the channels found
  expectShown(t, "window: Elenco Canali Trovati", at);
  // The list window's entries in view, one per line.
  expectShown(t, "[NT] 1860 - AACH | undefined", at, 5);
  expectShown(t, "[ND] . | SKY", at, 5);
  t.type("\x1b");
  expectShown(t, "window: Scrutafasci by", t.mark());
  at = t.mark();
  t.type("\x1bOP");   // F1: red, the settings window's "Esci"
  EXPECT_EQ(t.finish(), 0);
  EXPECT_EQ(t.text().find("leaving", at), std::string::npos) << "the plug-in returned by itself";
}

TEST_F(TerminalFront, MessageBoxShowsCaptionTextAndButtons) {
  EmuPty t({"run", "--root", root}, home);
  expectShown(t, "focus: Tipo ricerca: < standard >", 0);
  size_t at = t.mark();
  t.type("\x1b[C");   // right: by SymbolRate, which needs known rates a fresh root lacks
  expectShown(t, "focus: Tipo ricerca: < by SymbolRate >", at);
  at = t.mark();
  t.type("g");
  expectShown(t, "message box: Avviso", at);
  expectShown(t, "Impossibile effettuare la ricerca 'by SymbolRate'", at, 5);
  expectShown(t, "> <OK>", at, 5);
  at = t.mark();
  t.type("\r");
  expectShown(t, "window: Scrutafasci by", at);
  t.type("q");
  EXPECT_EQ(t.finish(), 0);
}

TEST_F(TerminalFront, RunningScanShowsProgressStatusAndCountersAndQLeavesAtOnce) {
  EmuPty t({"run", "--root", root, "--realtime"}, home);
  expectShown(t, "focus: Tipo ricerca", 0);
  t.type("\x1b[B");
  expectShown(t, "[1]0700", 0);
  t.type("11700");
  t.type("\x1b[B");
  expectShown(t, "focus: Frequenza finale (MHz): [1]2750", 0);
  t.type("11800");
  // Five digits fill the field; the cursor starts over at its first digit.
  expectShown(t, "focus: Frequenza finale (MHz): [1]1800", 0, 5);
  size_t at = t.mark();
  t.type("g");
  expectShown(t, "window: Scrutafasci at work", at);
  expectShown(t, "Range di frequenze: 11700 - 11800 (standard)", at, 5);
  expectShown(t, "progress: ", at, 5);
  // The first transponder (11 719 MHz) is handed over within seconds of box time.
  expectShown(t, "ch. trovati: TV [", at, 20);
  at = t.mark();
  auto asked = std::chrono::steady_clock::now();
  t.type("q");
  expectShown(t, "leaving: closing the scan\u2026", at, 5);
  double saidAfter = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
  EXPECT_LT(saidAfter, 1.0) << "said at once, before the scan has closed";
  EXPECT_EQ(t.finish(), 0);
}

TEST_F(TerminalFront, NarrowTerminalCutsLinesInsteadOfWrapping) {
  EmuPty t({"run", "--root", root}, home, 40);
  expectShown(t, "focus: Tipo ricerca", 0);
  t.type("q");
  EXPECT_EQ(t.finish(), 0);
  std::string text = t.text();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t cols = 0;
    for (unsigned char c : line) cols += (c & 0xC0) != 0x80;
    EXPECT_LT(cols, 40u) << line;
    start = end + 1;
  }
}

TEST_F(TerminalFront, NumberedScreenshotsInTheBoxRoot) {
  EmuPty t({"run", "--root", root}, home);
  expectShown(t, "focus: Tipo ricerca", 0);
  t.type("s");
  expectShown(t, "screenshot: " + root + "/shot-001.png", 0);
  t.type("s");
  expectShown(t, "screenshot: " + root + "/shot-002.png", 0);
  t.type("q");
  EXPECT_EQ(t.finish(), 0);
  struct stat st {};
  EXPECT_EQ(stat((root + "/shot-001.png").c_str(), &st), 0);
  EXPECT_GT(st.st_size, 1000);
  EXPECT_EQ(stat((root + "/shot-002.png").c_str(), &st), 0);
}

TEST_F(TerminalFront, CtrlCInScanWritesThePartialTableAndReport) {
  std::string report = home + "/r.json";
  EmuPty t({"scan", "--root", root, "--realtime", "--from", "11700", "--to", "11800", "--report", report}, home);
  expectShown(t, " MHz TP ", 0);
  size_t at = t.mark();
  t.type("\x03");   // Ctrl-C through the terminal's line discipline: SIGINT
  expectShown(t, "interrupted: closing the scan", at);
  EXPECT_EQ(t.finish(), 130);
  expectShown(t, "Transponders handed over:", at, 1);
  expectShown(t, ": interrupted", at, 1);
  std::string json = apptest::readFile(report);
  EXPECT_NE(json.find("\"outcome\": \"interrupted\""), std::string::npos) << json.substr(0, 800);
}

TEST_F(TerminalFront, SecondCtrlCInScanLeavesAtOnce) {
  std::string report = home + "/r.json";
  EmuPty t({"scan", "--root", root, "--realtime", "--from", "11700", "--to", "11800", "--report", report}, home);
  expectShown(t, " MHz TP ", 0);
  size_t at = t.mark();
  t.type("\x03");
  expectShown(t, "interrupted: closing the scan", at);
  auto asked = std::chrono::steady_clock::now();
  t.type("\x03");
  EXPECT_EQ(t.finish(), 130) << t.text().substr(at);
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
  EXPECT_LT(took, 2.0);
  EXPECT_EQ(t.text().find("Transponders handed over:", at), std::string::npos) << "no wind-down: " << t.text().substr(at);
}
