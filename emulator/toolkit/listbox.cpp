// List boxes: left/right change the current entry, OK selects it.
#include <algorithm>
#include <cctype>
#include <host/gui/gpainter.h>
#include <host/gui/listbox.h>
#include "internal.h"

eListBoxEntry::eListBoxEntry(eListBoxBase* parent, const eString& ahelptext, int aselectable)
    : listbox(parent), helptext(ahelptext), selectable(aselectable) {
  if (listbox) listbox->append(this);
}

eListBoxEntry::~eListBoxEntry() {
  if (listbox) listbox->take(this);
}

bool eListBoxEntry::operator<(const eListBoxEntry& other) const { return getText() < other.getText(); }

eListBoxBase::eListBoxBase(eWidget* aparent, const eWidget* adescr, int atakefocus, int item_height,
                           const char* deco)
    : eDecoWidget(aparent, atakefocus, deco), descr(adescr),
      itemHeight(item_height > 0 ? item_height : eListBoxEntryText::getEntryHeight()) {}

eListBoxBase::~eListBoxBase() { clearList(); }

void eListBoxBase::append(eListBoxEntry* e) {
  {
    tk::Guard g(tk::lock());
    entries.push_back(e);
    if (!current && e->isSelectable()) current = e;   // the first entry is current, unannounced
  }
  if (!atomic) invalidate();
}

void eListBoxBase::take(eListBoxEntry* e) {
  eListBoxEntry* now = nullptr;
  bool changed = false;
  {
    tk::Guard g(tk::lock());
    auto it = std::find(entries.begin(), entries.end(), e);
    if (it == entries.end()) return;
    if (current == e) {
      auto next = std::next(it);
      current = next != entries.end() ? *next : (it != entries.begin() ? *std::prev(it) : nullptr);
      changed = true;
      now = current;
    }
    entries.erase(it);
  }
  if (!atomic) invalidate();
  if (changed && now) emitSelchanged(now);
}

void eListBoxBase::clearList() {
  std::list<eListBoxEntry*> old;
  {
    tk::Guard g(tk::lock());
    old.swap(entries);
    current = nullptr;
    top = 0;
  }
  for (eListBoxEntry* e : old) {
    delete e;
  }
  invalidate();
}

namespace {
// Moves from cur by dir over selectable entries; stays at the ends.
eListBoxEntry* step(const std::list<eListBoxEntry*>& l, eListBoxEntry* cur, int dir) {
  if (l.empty()) return nullptr;
  auto it = std::find(l.begin(), l.end(), cur);
  if (it == l.end()) return dir > 0 ? l.front() : l.back();
  if (dir > 0) {
    for (auto n = std::next(it); n != l.end(); ++n)
      if ((*n)->isSelectable()) return *n;
  } else {
    while (it != l.begin()) {
      --it;
      if ((*it)->isSelectable()) return *it;
    }
  }
  return cur;
}
}  // namespace

eListBoxEntry* eListBoxBase::goNext() {
  eListBoxEntry* n;
  {
    tk::Guard g(tk::lock());
    n = step(entries, current, 1);
  }
  if (n) setCurrent(n, false);
  return getCurrentEntry();
}

eListBoxEntry* eListBoxBase::goPrev() {
  eListBoxEntry* n;
  {
    tk::Guard g(tk::lock());
    n = step(entries, current, -1);
  }
  if (n) setCurrent(n, false);
  return getCurrentEntry();
}

int eListBoxBase::setCurrent(const eListBoxEntry* entry, bool sendSelected) {
  eListBoxEntry* e = nullptr;
  bool changed;
  {
    tk::Guard g(tk::lock());
    auto it = std::find(entries.begin(), entries.end(), entry);
    if (it == entries.end()) return 1;   // not one of ours
    e = *it;
    changed = current != e;
    current = e;
    // Keep the current entry in view.
    int idx = int(std::distance(entries.begin(), it));
    int rows = itemHeight > 0 ? std::max(1, clientrect.height() / itemHeight) : 1;
    if (idx < top) top = idx;
    if (idx >= top + rows) top = idx - rows + 1;
  }
  if (changed) {
    if (!atomic) invalidate();
    emitSelchanged(e);
  }
  if (sendSelected) emitSelected(e);
  return 0;
}

eListBoxEntry* eListBoxBase::getCurrentEntry() const {
  tk::Guard g(tk::lock());
  return current;
}

int eListBoxBase::getCount() const {
  tk::Guard g(tk::lock());
  return int(entries.size());
}

void eListBoxBase::beginAtomic() {
  tk::Guard g(tk::lock());
  atomic++;
}

void eListBoxBase::endAtomic() {
  {
    tk::Guard g(tk::lock());
    if (atomic > 0) atomic--;
    if (atomic) return;
  }
  invalidate();
}

void eListBoxBase::sort() {
  {
    tk::Guard g(tk::lock());
    std::vector<eListBoxEntry*> v(entries.begin(), entries.end());
    std::stable_sort(v.begin(), v.end(), [](eListBoxEntry* a, eListBoxEntry* b) { return *a < *b; });
    entries.assign(v.begin(), v.end());
    top = 0;
  }
  if (!atomic) invalidate();
}

int eListBoxBase::eventHandler(const eWidgetEvent& e) {
  if (e.type == eWidgetEvent::keyDown) {
    switch (e.parameter) {
      case keyRight: goNext(); return 1;
      case keyLeft: goPrev(); return 1;
      case keyOk: {
        eListBoxEntry* c = getCurrentEntry();
        if (c) emitSelected(c);
        return 1;
      }
    }
  }
  if (e.type == eWidgetEvent::gotFocus || e.type == eWidgetEvent::lostFocus) invalidate();
  return eDecoWidget::eventHandler(e);
}

void eListBoxBase::redrawWidget(gPainter* p, const eRect&) {
  tk::Guard g(tk::lock());
  if (itemHeight <= 0) return;
  tk::Deco d = tk::deco(decoName);
  bool focused = haveFocus();
  p->setFont(getFont());
  int rows = std::max(1, clientrect.height() / itemHeight);
  int i = 0;
  for (eListBoxEntry* e : entries) {
    if (i >= top && i < top + rows) {
      eRect row(clientrect.left(), clientrect.top() + (i - top) * itemHeight, clientrect.width(), itemHeight);
      gColor fg = getForegroundColor();
      if (e == current) {
        gColor bg = focused ? (d.focusBackground >= 0 ? gColor(d.focusBackground) : tk::scheme("global.selected.background"))
                            : tk::scheme("global.selected.background");
        if (focused && d.focusForeground >= 0) fg = d.focusForeground;
        p->setForegroundColor(bg);
        p->fill(row);
        p->setBackgroundColor(bg);
      } else {
        p->setBackgroundColor(getBackgroundColor());
      }
      p->setForegroundColor(fg);
      int align = 0;
      if (auto* t = dynamic_cast<eListBoxEntryText*>(e)) align = t->getAlign() & 3;
      std::string s = e->getText();
      while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
      p->renderText(eRect(row.left() + 4, row.top(), row.width() - 8, row.height()), s,
                    align | gPainter::RT_VALIGN_CENTER);
    }
    ++i;
  }
}

eListBoxEntryText::eListBoxEntryText(eListBox<eListBoxEntryText>* lb, const char* atext, void* akey, int aalign,
                                     const eString& ahelptext, int akeytype)
    : eListBoxEntry(lb, ahelptext), text(atext ? atext : ""), key(akey), align(aalign), keytype(akeytype) {}

eListBoxEntryText::eListBoxEntryText(eListBox<eListBoxEntryText>* lb, const eString& atext, void* akey, int aalign,
                                     const eString& ahelptext, int akeytype)
    : eListBoxEntry(lb, ahelptext), text(atext), key(akey), align(aalign), keytype(akeytype) {}

void eListBoxEntryText::setText(const eString& t) {
  {
    tk::Guard g(tk::lock());
    text = t;
  }
  if (listbox) listbox->invalidate();
}

namespace {
// Natural order: runs of digits compare by value, everything else case-insensitively.
bool naturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    unsigned char ca = (unsigned char)a[i], cb = (unsigned char)b[j];
    if (std::isdigit(ca) && std::isdigit(cb)) {
      size_t i2 = i, j2 = j;
      while (i2 < a.size() && a[i2] == '0') ++i2;
      while (j2 < b.size() && b[j2] == '0') ++j2;
      size_t ie = i2, je = j2;
      while (ie < a.size() && std::isdigit((unsigned char)a[ie])) ++ie;
      while (je < b.size() && std::isdigit((unsigned char)b[je])) ++je;
      if (ie - i2 != je - j2) return ie - i2 < je - j2;
      int c = a.compare(i2, ie - i2, b, j2, je - j2);
      if (c) return c < 0;
      i = ie;
      j = je;
      continue;
    }
    int la = std::tolower(ca), lb = std::tolower(cb);
    if (la != lb) return la < lb;
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}
}  // namespace

bool eListBoxEntryText::operator<(const eListBoxEntry& other) const { return naturalLess(text, other.getText()); }

int eListBoxEntryText::getEntryHeight() { return 30; }
