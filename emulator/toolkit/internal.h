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

}  // namespace tk

// Guards the pixels of one gImage (and of the gPixmap copies that share them).
struct gPixelLock {
  std::mutex mutex;
};

// The emulator's way into the widgets' private state (the host's widgets name it
// their friend): painting, focus, key delivery and the screen listings.
class eToolkit {
public:
  // Paints w and its children into the painter's target; a null area is all of it.
  static void paintTree(eWidget* w, gPainter& painter, const eRect& area);
  static bool takesFocus(const eWidget* w);
  // The keyDown path from the focused widget of w's window up to that window.
  static int deliverKey(eWidget* w, int key);
  static void texts(eWidget* w, std::vector<std::string>& out);
  static unsigned repaints(const eWidget* w);
  // A list's entries in view and the current one's row; a number field's fields as shown.
  static std::vector<std::string> listRows(const eListBoxBase* lb, int* currentRow);
  static std::vector<std::string> numberFields(const eNumber* n);

private:
  static void paintAt(eWidget* w, gPixmap& target, ePoint origin, const eRect& bounds, const eRect& area);
  static std::string trimmed(std::string s);
};

namespace tk {
gColor shortcutColor(const eString& name);
void drawLabelText(gPainter* p, const gFont& font, const eRect& client, const eString& text, int align,
                   bool vcenter, bool wrap, const eString& mark);
}  // namespace tk
