// The emulator's handle on the host toolkit: start-up, the GUI loop, input, and what is on
// screen. Used by the emulator program and the tests; the plug-in never sees it.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include <host/gui/gui.h>

namespace emu {

constexpr int screenWidth = 720, screenHeight = 576;

// The start-up level the host reaches (eInit); modules loaded later initialise at once.
constexpr int hostRunlevel = 40;

// Makes the desktop (720x576, font "Regular:20"), makes the calling thread the GUI thread and
// raises the start-up level to hostRunlevel (the widget creators of level 30 get registered).
// Safe to call more than once. Without a loaded skin the built-in palette is active.
void startToolkit();
// The root of the widget tree; every top-level window hangs below it. Made on first use.
eWidget* desktop();
// The one lock of the toolkit: tree, widget state and framebuffer. Recursive. Hold it to walk
// the tree from outside the loop; paintWidget takes it itself.
std::recursive_mutex& treeLock();

// Runs the GUI loop on the calling thread until quitLoop(); returns its code.
int runLoop();
void quitLoop(int code = 0);
// Runs fn on the loop (whichever thread runs the innermost loop); safe from any thread.
void post(std::function<void()> fn);
// True on the thread that started the toolkit.
bool isGuiThread();

// The clock eTimer counts on, in microseconds: the wall clock (an empty function, the
// default) or another, such as the box clock while a window sets the box's tempo.
void setTimerClock(std::function<uint64_t()> nowUs);
// When the earliest running timer is due on that clock; UINT64_MAX when none runs.
uint64_t nextTimerDue();

// Remote-control keys by name: "0".."9", "up", "down", "left", "right", "ok", "exit",
// "red", "green", "yellow", "blue", "menu". -1 for an unknown name.
int keyFromName(const std::string& name);
const char* keyName(int key);     // "?" for an unknown code
// Queues a key press (down and up) from any thread; it is delivered on the loop to the focused
// widget of the topmost window. False for an unknown key.
bool postKey(int key);
bool postKey(const std::string& name);

// The topmost shown top-level window (0 when none) and its title.
eWidget* topWindow();
std::string topWindowTitle();
// A widget by name: below root (default: the whole tree), depth first; 0 when none.
eWidget* findWidget(const std::string& name, eWidget* root = nullptr);
// The texts visible on screen, windows bottom to top, each in tree order: window titles,
// labels and buttons, the list entries in view, number fields (their digits), message texts.
std::vector<std::string> visibleTexts();
bool textVisible(const std::string& text);    // an exact entry of visibleTexts()
bool textVisibleContaining(const std::string& part);

// A list box's entries in view, top to bottom; *currentRow is the current one's row (-1: none
// in view). Empty for a widget that is no list.
std::vector<std::string> listEntriesInView(const eWidget* list, int* currentRow = nullptr);
// A number field's fields as shown, zero-padded (empty for a widget that is no number field).
std::vector<std::string> numberFieldTexts(const eWidget* number);

struct MessageBoxInfo {
  bool open = false;
  std::string text, caption;
  std::vector<std::string> buttons;   // button captions, left to right
  int flags = 0;
};
// The topmost shown message box.
MessageBoxInfo currentMessageBox();

// Polls cond (every ms) until it holds or timeoutMs pass; true when it held.
bool waitUntil(const std::function<bool()>& cond, int timeoutMs = 10000);

// The debug log: every line of eDebug/eWarning/eFatal, kept in memory.
std::vector<std::string> logLines();
bool logContains(const std::string& part);
void clearLog();
// Where lines go besides memory: stderr (the default) or a file (0: back to stderr).
void setLogFile(const char* path);
void setLogToStderr(bool on);

// Repaint requests of all widgets so far: when it has not moved, the screen has not
// changed (a window front repaints only then).
unsigned long screenChanges();
// Repaint requests (invalidate) a widget has received.
unsigned repaintCount(const eWidget* widget);
// Paints a shown widget and its children into the painter's target, clipped to area
// (painter coordinates; a null area is the whole target).
void paintWidget(eWidget* widget, gPainter& painter, const eRect& area = eRect());
// The palette of the active skin (256 entries).
gPalette currentPalette();
// The font file for a family ("Regular", "Bold", "Mono" or one from the active skin).
std::string fontFile(const std::string& family);
// The built-in skin as XML (palette, colour roles, decorations; no fonts, no windows),
// for skins that only add to it.
std::string builtinSkinXml();

}  // namespace emu
