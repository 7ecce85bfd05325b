// Helpers shared by the toolkit's own files.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <host/gui/gui.h>

namespace tk {

std::recursive_mutex& lock();
using Guard = std::lock_guard<std::recursive_mutex>;

// The loop levels: every exec() is one; any thread may run one.
struct Level;
// Runs a level for widget (0: a plain eApp->exec()) on the calling thread; returns its code.
int runLevel(eWidget* widget);
// Ends the level of widget; false when it is not running one.
bool quitLevel(eWidget* widget, int code);
void wakeLoops();
void setGuiThread();
// Runs pending work for up to maxMs when the calling thread owns the innermost level;
// otherwise just waits up to maxMs. Used by waits that must not stall the loop.
void pumpOrWait(int maxMs);

// The calling thread's stop request (set by eThread::kill(true)), or 0.
std::atomic<bool>* currentStopFlag();
void setCurrentStopFlag(std::atomic<bool>* flag);

// Colours of the active skin by role, 0 when unknown.
gColor scheme(const char* role);
struct Deco {
  bool found = false;
  int border = 0;
  int borderColor = -1, background = -1, foreground = -1;
  int focusBackground = -1, focusForeground = -1;
  int titleBackground = -1, titleForeground = -1, titleHeight = -1;
};
Deco deco(const std::string& name);

// Text width estimate for layout (the fonts are proportional; this errs wide).
int textWidth(const std::string& text, int pixelSize);

void countRepaint(const eWidget* w);

}  // namespace tk

namespace tk {
gColor shortcutColor(const eString& name);
void drawLabelText(gPainter* p, const gFont& font, const eRect& client, const eString& text, int align,
                   bool vcenter, bool wrap, const eString& mark);
}  // namespace tk
