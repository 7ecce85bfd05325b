// eWidget: the tree, geometry, visibility, focus, events and painting.
#include <algorithm>
#include <vector>
#include <host/gui/ewidget.h>
#include <host/gui/gpainter.h>
#include <host/gui/elabel.h>
#include <host/gui/ewindow.h>
#include "emu.h"
#include "font.h"
#include "screen.h"
#include "internal.h"

namespace {

std::atomic<bool> makingDesktop{false};
eWidget* theDesktop = nullptr;

class Desktop : public eWidget {
public:
  Desktop() : eWidget(nullptr, 0) {
    move(ePoint(0, 0));
    resize(eSize(emu::screenWidth, emu::screenHeight));
    setFont(gFont("Regular", 20));
    setName("desktop");
  }
  // See-through: the screen's background (the video plane) shows between windows.
  void eraseBackground(gPainter*, const eRect&) override {}
};

bool isAncestor(const eWidget* a, const eWidget* w) {
  for (; w; w = w->getParent())
    if (w == a) return true;
  return false;
}

void collectFocusable(eWidget* w, std::vector<eWidget*>& out) {
  for (eWidget* c : w->getChildren()) {
    if (!(c->getState() & 1)) continue;
    if (eToolkit::takesFocus(c)) out.push_back(c);
    collectFocusable(c, out);
  }
}

const char* shortcutOf(int key) {
  static const char* digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  if (key >= key0 && key <= key9) return digits[key];
  switch (key) {
    case keyRed: return "red";
    case keyGreen: return "green";
    case keyYellow: return "yellow";
    case keyBlue: return "blue";
    case keyMenu: return "menu";
  }
  return nullptr;
}

eWidget* findShortcut(eWidget* w, const eString& name) {
  for (eWidget* c : w->getChildren()) {
    if (!(c->getState() & 1)) continue;
    if (c->getShortcut() == name) return c;
    if (eWidget* r = findShortcut(c, name)) return r;
  }
  return nullptr;
}

}  // namespace

namespace tk {

std::recursive_mutex& lock() {
  static std::recursive_mutex* m = new std::recursive_mutex;
  return *m;
}

}  // namespace tk

namespace emu {

eWidget* desktop() {

  tk::Guard g(tk::lock());
  if (!theDesktop) {
    makingDesktop = true;
    theDesktop = new Desktop;   // lives as long as the process
    makingDesktop = false;
    // The screen paints the tree and takes its colours from the active skin.
    Screen::Desktop hook;
    hook.withTreeLock = [](const std::function<void()>& fn) {
      tk::Guard lg(tk::lock());
      fn();
    };
    hook.paint = [](gPainter& painter, const eRect& area) {
      if (eWidget* d = theDesktop) eToolkit::paintTree(d, painter, area);
    };
    Screen::instance().setDesktop(hook);
    registerFontFamily("Mono", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    setPaletteProvider([] { return currentPalette(); });
  }
  return theDesktop;
}

std::recursive_mutex& treeLock() { return tk::lock(); }


}  // namespace emu

eWidget::eWidget(eWidget* aparent, int atakefocus) : parent(aparent), takefocus(atakefocus) {
  tk::Guard g(tk::lock());
  if (!parent && !makingDesktop) parent = emu::desktop();
  // Top-level widgets start hidden; children are shown with their parent.
  state = (parent && parent != theDesktop) || makingDesktop ? 1 : 0;
  if (parent) parent->children.push_back(this);
}

eWidget::~eWidget() {
  tk::quitLevel(this, -1);
  for (;;) {
    eWidget* c;
    {
      tk::Guard g(tk::lock());
      if (children.empty()) break;
      c = children.front();
    }
    delete c;   // unlinks itself
  }
  tk::Guard g(tk::lock());
  for (eWidget* a = parent; a; a = a->parent)
    if (a->focus == this) a->focus = nullptr;
  if (parent) parent->children.remove(this);
  if (this == theDesktop) theDesktop = nullptr;
}

void eWidget::move(ePoint p) {
  {
    tk::Guard g(tk::lock());
    position = p;
  }
  invalidate();
  event(eWidgetEvent(eWidgetEvent::changedPosition));
}

void eWidget::resize(eSize s) {
  {
    tk::Guard g(tk::lock());
    size = s;
    recalcClientRect();
  }
  invalidate();
  event(eWidgetEvent(eWidgetEvent::changedSize));
}

void eWidget::cmove(ePoint p) {
  ePoint off;
  {
    tk::Guard g(tk::lock());
    off = clientrect.topLeft();
  }
  move(p - off);
}

void eWidget::cresize(eSize s) {
  int dw, dh;
  {
    tk::Guard g(tk::lock());
    dw = size.width() - clientrect.width();
    dh = size.height() - clientrect.height();
  }
  resize(eSize(s.width() + dw, s.height() + dh));
}

ePoint eWidget::getAbsolutePosition() const {
  tk::Guard g(tk::lock());
  ePoint p = position;
  for (const eWidget* w = parent; w; w = w->parent) p = p + w->position + w->clientrect.topLeft();
  return p;
}

void eWidget::setName(const char* n) {
  tk::Guard g(tk::lock());
  name = n ? n : "";
}

eWidget* eWidget::search(const eString& n) {
  tk::Guard g(tk::lock());
  for (eWidget* c : children)
    if (c->name == n) return c;
  for (eWidget* c : children)
    if (eWidget* r = c->search(n)) return r;
  return nullptr;
}

void eWidget::show() {
  bool was;
  {
    tk::Guard g(tk::lock());
    was = state & 1;
    state |= 1;
    if (parent && parent == theDesktop) {
      // Showing a window raises it.
      parent->children.remove(this);
      parent->children.push_back(this);
    }
  }
  invalidate();
  if (!was) event(eWidgetEvent(eWidgetEvent::willShow));
}

void eWidget::hide() {
  {
    tk::Guard g(tk::lock());
    if (!(state & 1)) return;
    state &= ~1;
  }
  invalidate();
  event(eWidgetEvent(eWidgetEvent::willHide));
  // The focus does not stay on something hidden.
  eWidget* tlw = getTLW();
  eWidget* f;
  {
    tk::Guard g(tk::lock());
    f = tlw ? tlw->focus : nullptr;
  }
  if (tlw && tlw != this && f && isAncestor(this, f)) {
    tlw->focusNext(0);
    tk::Guard g(tk::lock());
    if (tlw->focus && !tlw->focus->isVisible()) tlw->focus = nullptr;
  }
}

bool eWidget::isVisible() const {
  tk::Guard g(tk::lock());
  for (const eWidget* w = this; w; w = w->parent)
    if (!(w->state & 1)) return false;
  return true;
}

int eWidget::getState() const {
  tk::Guard g(tk::lock());
  return state;
}

void eWidget::setText(const eString& t) {
  {
    tk::Guard g(tk::lock());
    if (text == t) return;
    text = t;
  }
  invalidate();
}

const eString& eWidget::getText() const { return text; }

void eWidget::setFont(const gFont& f) {
  {
    tk::Guard g(tk::lock());
    font = f;
  }
  invalidate();
}

const gFont& eWidget::getFont() const {
  tk::Guard g(tk::lock());
  for (const eWidget* w = this; w; w = w->parent)
    if (!w->font.family.empty()) return w->font;
  static const gFont fallback("Regular", 20);
  return fallback;
}

void eWidget::setForegroundColor(const gColor& c, bool inv) {
  {
    tk::Guard g(tk::lock());
    foregroundColor = c;
    hasForeground = true;
  }
  if (inv) invalidate();
}

void eWidget::setBackgroundColor(const gColor& c, bool inv) {
  {
    tk::Guard g(tk::lock());
    backgroundColor = c;
    hasBackground = true;
  }
  if (inv) invalidate();
}

namespace {
// The deco a widget is drawn with, "" for plain widgets.
std::string decoOf(const eWidget* w) {
  if (auto* d = dynamic_cast<const eDecoWidget*>(w)) return d->getDeco();
  if (dynamic_cast<const eWindow*>(w)) return "eWindow";
  return "";
}
}  // namespace

gColor eWidget::getForegroundColor() const {
  tk::Guard g(tk::lock());
  for (const eWidget* w = this; w; w = w->parent) {
    if (w->hasForeground) return w->foregroundColor;
    std::string d = decoOf(w);
    if (!d.empty()) {
      tk::Deco dc = tk::deco(d);
      if (dc.foreground >= 0) return dc.foreground;
    }
  }
  return tk::scheme("global.normal.foreground");
}

gColor eWidget::getBackgroundColor() const {
  tk::Guard g(tk::lock());
  for (const eWidget* w = this; w; w = w->parent) {
    if (w->hasBackground) return w->backgroundColor;
    std::string d = decoOf(w);
    if (!d.empty()) {
      tk::Deco dc = tk::deco(d);
      if (dc.background >= 0) return dc.background;
    }
  }
  return tk::scheme("global.normal.background");
}

void eWidget::setShortcut(const eString& key) {
  tk::Guard g(tk::lock());
  shortcut = key;
}

void eWidget::setFocus(eWidget* w) {
  eWidget* tlw = getTLW();
  if (!tlw) return;
  eWidget* old;
  {
    tk::Guard g(tk::lock());
    old = tlw->focus;
    if (old == w) return;
    tlw->focus = w;
  }
  if (old) {
    old->event(eWidgetEvent(eWidgetEvent::lostFocus));
    old->invalidate();
  }
  if (w) {
    w->event(eWidgetEvent(eWidgetEvent::gotFocus));
    w->invalidate();
  }
}

void eWidget::focusNext(int direction) {
  eWidget* tlw = getTLW();
  if (!tlw) return;
  eWidget* next = nullptr;
  {
    tk::Guard g(tk::lock());
    std::vector<eWidget*> list;
    collectFocusable(tlw, list);
    if (list.empty()) return;
    auto it = std::find(list.begin(), list.end(), tlw->focus);
    int n = int(list.size());
    if (it == list.end()) {
      next = direction ? list.back() : list.front();
    } else {
      int i = int(it - list.begin());
      next = list[size_t(direction ? (i + n - 1) % n : (i + 1) % n)];
    }
  }
  setFocus(next);
}

bool eWidget::haveFocus() const {
  tk::Guard g(tk::lock());
  const eWidget* tlw = this;
  while (tlw->parent && tlw->parent != theDesktop) tlw = tlw->parent;
  return tlw->focus == this;
}

void eWidget::invalidate(eRect, int) {
  repaints.fetch_add(1, std::memory_order_relaxed);
}

int eWidget::exec() {
  {
    tk::Guard g(tk::lock());
    if (inExec) return -1;   // already running modally
    inExec = true;
  }
  int code = tk::runLevel(this);
  {
    tk::Guard g(tk::lock());
    inExec = false;
  }
  event(eWidgetEvent(eWidgetEvent::execDone));
  return code;
}

void eWidget::close(int result) { tk::quitLevel(this, result); }

void eWidget::accept() { close(0); }

void eWidget::reject() { event(eWidgetEvent(eWidgetEvent::wantClose)); }

eWidget* eWidget::getTLW() {
  tk::Guard g(tk::lock());
  eWidget* w = this;
  while (w->parent && w->parent != theDesktop) w = w->parent;
  return w;
}

int eWidget::event(const eWidgetEvent& e) {
  if (eventFilter(e)) return 1;
  return eventHandler(e);
}

int eWidget::eventHandler(const eWidgetEvent& e) {
  switch (e.type) {
    case eWidgetEvent::keyDown: return keyDown(e.parameter);
    case eWidgetEvent::keyUp: return keyUp(e.parameter);
    case eWidgetEvent::gotFocus: gotFocus(); return 1;
    case eWidgetEvent::lostFocus: lostFocus(); return 1;
    case eWidgetEvent::willShow: willShow(); return 1;
    case eWidgetEvent::willHide: willHide(); return 1;
  }
  return 0;
}

int eWidget::setProperty(const eString& prop, const eString& value) {
  if (prop == "shortcut") {
    setShortcut(value);
    return 0;
  }
  if (prop == "helptext") {
    setHelpText(value);
    return 0;
  }
  if (prop == "hidden") {
    if (value == "1" || value == "true" || value == "yes") hide();
    else show();
    return 0;
  }
  return -1;
}

void eWidget::willShow() {}
void eWidget::willHide() {}
void eWidget::setPalette() {}
int eWidget::eventFilter(const eWidgetEvent&) { return 0; }
int eWidget::keyDown(int) { return 0; }
int eWidget::keyUp(int) { return 0; }
void eWidget::gotFocus() {}
void eWidget::lostFocus() {}

void eWidget::recalcClientRect() { clientrect = eRect(0, 0, size.width(), size.height()); }

void eWidget::redrawWidget(gPainter*, const eRect&) {}

void eWidget::eraseBackground(gPainter* p, const eRect&) {
  bool opaque = hasBackground;
  gColor bg = backgroundColor;
  if (!opaque) {
    std::string d = decoOf(this);
    if (!d.empty()) {
      tk::Deco dc = tk::deco(d);
      if (haveFocus() && takefocus && dc.focusBackground >= 0) {
        bg = dc.focusBackground;
        opaque = true;
      } else if (dc.background >= 0) {
        bg = dc.background;
        opaque = true;
      }
      if (dc.border > 0 && dc.borderColor >= 0) {
        p->setForegroundColor(dc.borderColor);
        p->fill(eRect(0, 0, size.width(), size.height()));
        if (opaque) {
          p->setForegroundColor(bg);
          p->fill(eRect(dc.border, dc.border, size.width() - 2 * dc.border, size.height() - 2 * dc.border));
        }
        return;
      }
    }
  }
  if (opaque) {
    p->setForegroundColor(bg);
    p->fill(eRect(0, 0, size.width(), size.height()));
  }
}

bool eToolkit::takesFocus(const eWidget* w) { return w->takefocus != 0; }

void eToolkit::paintTree(eWidget* w, gPainter& painter, const eRect& area) {
  tk::Guard g(tk::lock());
  gPixmap& target = painter.getTarget();
  eRect all(0, 0, target.getSize().width(), target.getSize().height());
  eRect bounds = area.isNull() ? all : area.translated(painter.getOrigin().x(), painter.getOrigin().y()).intersect(all);
  paintAt(w, target, painter.getOrigin(), bounds, eRect());
}

void eToolkit::paintAt(eWidget* w, gPixmap& target, ePoint origin, const eRect& bounds, const eRect& area) {
  if (!(w->state & 1)) return;
  eRect mine = eRect(origin, w->size).intersect(bounds);
  if (mine.isEmpty()) return;
  eRect whole = area.isNull() ? eRect(0, 0, w->size.width(), w->size.height()) : area;
  {
    gPainter p(target, origin, mine);
    p.setForegroundColor(w->getForegroundColor());
    p.setBackgroundColor(w->getBackgroundColor());
    p.setFont(w->getFont());
    w->eraseBackground(&p, whole);
    p.setForegroundColor(w->getForegroundColor());
    p.setBackgroundColor(w->getBackgroundColor());
    w->redrawWidget(&p, whole);
  }
  ePoint corigin = origin + w->clientrect.topLeft();
  eRect cbounds = eRect(corigin, w->clientrect.size()).intersect(mine);
  if (cbounds.isEmpty()) return;
  for (eWidget* c : w->children) paintAt(c, target, corigin + c->position, cbounds, eRect());
}

int eToolkit::deliverKey(eWidget* target, int key) {
  eWidget* tlw = target->getTLW();
  eWidget* f;
  {
    tk::Guard g(tk::lock());
    f = tlw->focus;
  }
  if (f && !f->isVisible()) f = nullptr;
  for (eWidget* w = f; w && w != tlw; w = w->getParent())
    if (w->event(eWidgetEvent(eWidgetEvent::keyDown, key))) return 1;
  if (const char* sc = shortcutOf(key)) {
    eWidget* s;
    {
      tk::Guard g(tk::lock());
      s = findShortcut(tlw, sc);
    }
    if (s) {
      s->event(eWidgetEvent(eWidgetEvent::evtShortcut, key));
      return 1;
    }
  }
  return tlw->event(eWidgetEvent(eWidgetEvent::keyDown, key));
}
