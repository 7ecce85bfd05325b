// The emulator's view of the toolkit: start-up, loop, keys and what the screen shows.
#include <chrono>
#include <thread>
#include <host/gui/gui.h>
#include "emu.h"
#include "internal.h"

// The screen listings read the widgets' state.
void eToolkit::texts(eWidget* w, std::vector<std::string>& out) {
  if (!(w->state & 1)) return;
  if (auto* lb = dynamic_cast<eListBoxBase*>(w)) {
    int rows = lb->itemHeight > 0 ? std::max(1, lb->clientrect.height() / lb->itemHeight) : 1;
    int i = 0;
    for (eListBoxEntry* e : lb->entries) {
      if (i >= lb->top && i < lb->top + rows) out.push_back(trimmed(e->getText()));
      ++i;
    }
  } else if (auto* n = dynamic_cast<eNumber*>(w)) {
    std::string s;
    for (size_t i = 0; i < n->number.size(); ++i) {
      eString f;
      f.sprintf("%0*d", n->maxdigits, n->number[i]);
      if (i && n->maxdigits > 1) s += ".";
      s += f;
    }
    out.push_back(s);
  } else if (auto* mb = w->parent ? dynamic_cast<eMessageBox*>(w->parent) : nullptr;
             mb && w->name == "text" && dynamic_cast<eLabel*>(w)) {
    out.push_back(mb->getMessage());   // as given, not as broken into lines
  } else if (!w->text.empty() && (dynamic_cast<eLabel*>(w) || dynamic_cast<eWindow*>(w))) {
    out.push_back(w->text);
  }
  for (eWidget* c : w->children) texts(c, out);
}

unsigned eToolkit::repaints(const eWidget* w) { return w->repaints.load(); }

std::string eToolkit::trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

std::vector<std::string> eToolkit::listRows(const eListBoxBase* lb, int* currentRow) {
  std::vector<std::string> out;
  int rows = lb->itemHeight > 0 ? std::max(1, lb->clientrect.height() / lb->itemHeight) : 1;
  int i = 0;
  if (currentRow) *currentRow = -1;
  for (eListBoxEntry* e : lb->entries) {
    if (i >= lb->top && i < lb->top + rows) {
      if (currentRow && e == lb->current) *currentRow = static_cast<int>(out.size());
      out.push_back(trimmed(e->getText()));
    }
    ++i;
  }
  return out;
}

std::vector<std::string> eToolkit::numberFields(const eNumber* n) {
  std::vector<std::string> out;
  for (int v : n->number) {
    eString f;
    f.sprintf("%0*d", n->maxdigits, v);
    out.push_back(f);
  }
  return out;
}

namespace emu {

void startToolkit() {
  tk::setGuiThread();
  desktop();
  eSkin::getActive();
  if (eInit::getRunlevel() < hostRunlevel) eInit::setRunlevel(hostRunlevel);
}

unsigned repaintCount(const eWidget* w) { return w ? eToolkit::repaints(w) : 0; }

void paintWidget(eWidget* widget, gPainter& painter, const eRect& area) {
  if (widget) eToolkit::paintTree(widget, painter, area);
}

int runLoop() { return eApp->exec(); }
void quitLoop(int code) { eApp->quit(code); }

namespace {
const char* const keyNames[] = {"0",  "1",    "2",    "3",     "4",  "5",    "6",   "7",     "8",      "9",   "up",
                                "down", "left", "right", "ok", "exit", "red", "green", "yellow", "blue", "menu"};
}

int keyFromName(const std::string& name) {
  for (int i = 0; i <= keyMenu; ++i)
    if (name == keyNames[i]) return i;
  return -1;
}

const char* keyName(int key) { return key >= 0 && key <= keyMenu ? keyNames[key] : "?"; }

bool postKey(int key) {
  if (key < 0 || key > keyMenu) return false;
  post([key] {
    eWidget* top = topWindow();
    if (!top) {
      eDebug("key %s: no window to take it", keyName(key));
      return;
    }
    eToolkit::deliverKey(top, key);
    if (eWidget* w = topWindow()) {
      eWidget* f = w->getFocus();
      (f && f->isVisible() ? f : w)->event(eWidgetEvent(eWidgetEvent::keyUp, key));
    }
  });
  return true;
}

bool postKey(const std::string& name) { return postKey(keyFromName(name)); }

eWidget* topWindow() {
  tk::Guard g(tk::lock());
  const auto& l = desktop()->getChildren();
  for (auto it = l.rbegin(); it != l.rend(); ++it)
    if ((*it)->getState() & 1) return *it;
  return nullptr;
}

std::string topWindowTitle() {
  tk::Guard g(tk::lock());
  eWidget* w = topWindow();
  return w ? std::string(w->getText()) : std::string();
}

eWidget* findWidget(const std::string& name, eWidget* root) {
  return (root ? root : desktop())->search(name);
}

std::vector<std::string> visibleTexts() {
  tk::Guard g(tk::lock());
  std::vector<std::string> out;
  for (eWidget* w : desktop()->getChildren()) eToolkit::texts(w, out);
  return out;
}

bool textVisible(const std::string& text) {
  for (const auto& t : visibleTexts())
    if (t == text) return true;
  return false;
}

bool textVisibleContaining(const std::string& part) {
  for (const auto& t : visibleTexts())
    if (t.find(part) != std::string::npos) return true;
  return false;
}

std::vector<std::string> listEntriesInView(const eWidget* list, int* currentRow) {
  tk::Guard g(tk::lock());
  if (currentRow) *currentRow = -1;
  auto* lb = dynamic_cast<const eListBoxBase*>(list);
  return lb ? eToolkit::listRows(lb, currentRow) : std::vector<std::string>();
}

std::vector<std::string> numberFieldTexts(const eWidget* number) {
  tk::Guard g(tk::lock());
  auto* n = dynamic_cast<const eNumber*>(number);
  return n ? eToolkit::numberFields(n) : std::vector<std::string>();
}

MessageBoxInfo currentMessageBox() {
  tk::Guard g(tk::lock());
  MessageBoxInfo info;
  const auto& l = desktop()->getChildren();
  for (auto it = l.rbegin(); it != l.rend(); ++it) {
    auto* mb = dynamic_cast<eMessageBox*>(*it);
    if (!mb || !(mb->getState() & 1)) continue;
    info.open = true;
    info.text = mb->getMessage();
    info.caption = mb->getText();
    info.flags = mb->getFlags();
    for (eWidget* c : mb->getChildren())
      if (dynamic_cast<eButton*>(c)) info.buttons.push_back(c->getText());
    break;
  }
  return info;
}

bool waitUntil(const std::function<bool()>& cond, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (cond()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace emu
