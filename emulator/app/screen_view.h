// What a person reads on the box's screen, as lines of text: the top window's
// title, its controls row by row as they stand on screen (the focused one
// marked, a number field's cursor in brackets), a list window's entries in
// view, the scan's progress, and an open message box with its buttons.
#pragma once
#include <string>
#include <vector>

namespace app {

struct ScreenView {
  std::string title;                  // the top window's title ("" when none)
  std::vector<std::string> rows;      // the window's content, top to bottom
  std::string focus;                  // "label: value" of the focused control
  int focusRow = -1;                  // the row holding it
  int progressPercent = -1;           // the scan window's progress, -1 elsewhere
  bool messageBox = false;            // rows hold a message box
};

// Reads the screen under the toolkit's lock; any thread.
ScreenView readScreen();

// The view as the lines the terminal shows.
std::vector<std::string> screenLines(const ScreenView& v);

// The scan window's progress from its range and frequency labels, -1 when
// either cannot be read ("Range di frequenze: 11700 - 11800 (standard)", "11750").
int scanPercent(const std::string& rangeText, const std::string& freqText);

}  // namespace app
