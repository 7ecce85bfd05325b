// eDecoWidget (skin decorations) and eLabel (text).
#include <cstdlib>
#include <host/gui/elabel.h>
#include <host/gui/gpainter.h>
#include <host/gui/eskin.h>
#include "font.h"
#include "internal.h"

eDecoWidget::eDecoWidget(eWidget* aparent, int atakefocus, const char* deco)
    : eWidget(aparent, atakefocus), decoName(deco ? deco : "") {}

int eDecoWidget::loadDeco() {
  tk::Deco d = tk::deco(decoName);
  {
    tk::Guard g(tk::lock());
    decoLoaded = d.found;
    decoBorder = d.found ? d.border : 0;
    recalcClientRect();
  }
  invalidate();
  return d.found ? 1 : 0;
}

void eDecoWidget::setDeco(const char* deco) {
  {
    tk::Guard g(tk::lock());
    decoName = deco ? deco : "";
  }
  loadDeco();
}

int eDecoWidget::setProperty(const eString& prop, const eString& value) {
  if (prop == "deco") {
    setDeco(value.c_str());
    return 0;
  }
  return eWidget::setProperty(prop, value);
}

void eDecoWidget::recalcClientRect() {
  // The border of the skin's deco is taken whenever the geometry changes.
  tk::Deco d = tk::deco(decoName);
  decoLoaded = d.found;
  decoBorder = d.found ? d.border : 0;
  clientrect = eRect(decoBorder, decoBorder, size.width() - 2 * decoBorder, size.height() - 2 * decoBorder);
}

eLabel::eLabel(eWidget* aparent, int aflags, int atakefocus, const char* deco)
    : eDecoWidget(aparent, atakefocus, deco), flags(aflags) {}

void eLabel::setFlags(int f) {
  {
    tk::Guard g(tk::lock());
    flags = f;
  }
  invalidate();
}

void eLabel::setAlign(int a) {
  {
    tk::Guard g(tk::lock());
    align = a;
  }
  invalidate();
}

void eLabel::setShortcutPixmap(const eString& s) {
  {
    tk::Guard g(tk::lock());
    shortcutPixmap = s;
  }
  invalidate();
}

namespace tk {
// The colour of a shortcut mark.
gColor shortcutColor(const eString& name) {
  eSkin* s = eSkin::getActive();
  if (name == "red") return s->queryColor("std_red");
  if (name == "green") return s->queryColor("std_green");
  if (name == "yellow") return s->queryColor("std_yellow");
  if (name == "blue") return s->queryColor("std_blue");
  return s->queryColor("std_gray");
}

// Text of a label-like widget in its client area, with an optional shortcut mark in front.
void drawLabelText(gPainter* p, const gFont& font, const eRect& client, const eString& text, int align,
                   bool vcenter, bool wrap, const eString& mark) {
  eRect box = client;
  if (!mark.empty()) {
    int m = std::min(client.height() - 8, 16);
    if (m > 2) {
      gColor fg = p->foregroundColor();
      p->setForegroundColor(shortcutColor(mark));
      p->fill(eRect(client.left() + 4, client.top() + (client.height() - m) / 2, m, m));
      p->setForegroundColor(fg);
      box = eRect::fromCorners(client.left() + m + 10, client.top(), client.right(), client.bottom());
    }
  }
  int f = align & 3;
  if (vcenter) f |= gPainter::RT_VALIGN_CENTER;
  // Lines that do not fit the box get a smaller font (down to two thirds) rather than be cut.
  if (text.find('\n') != std::string::npos || wrap) {
    int wrapWidth = wrap ? box.width() : 0;
    gFont fitted = font;
    int smallest = std::max(1, font.pointSize * 2 / 3);
    while (fitted.pointSize > smallest && emu::textExtent(fitted, text, wrapWidth).height() > box.height())
      fitted.pointSize--;
    if (fitted.pointSize != font.pointSize) p->setFont(fitted);
  }
  if (wrap) f |= gPainter::RT_WRAP;
  p->renderText(box, text, f);
}
}  // namespace tk

void eLabel::redrawWidget(gPainter* p, const eRect&) {
  tk::Guard g(tk::lock());
  if (text.empty() && shortcutPixmap.empty()) return;
  p->setForegroundColor(getForegroundColor());
  p->setFont(getFont());
  tk::drawLabelText(p, getFont(), clientrect, text, align, (flags & flagVCenter) || !(flags & 0x100), (flags & 0x200) != 0,
                    shortcutPixmap);
}

int eLabel::setProperty(const eString& prop, const eString& value) {
  if (prop == "align") {
    if (value == "left") setAlign(gPainter::RT_HALIGN_LEFT);
    else if (value == "right") setAlign(gPainter::RT_HALIGN_RIGHT);
    else if (value == "center") setAlign(gPainter::RT_HALIGN_CENTER);
    else return -1;
    return 0;
  }
  if (prop == "valign") {
    if (value == "center") setFlags(flags | flagVCenter);
    else if (value == "top") setFlags((flags & ~flagVCenter) | 0x100);
    else return -1;
    return 0;
  }
  if (prop == "wrap") {
    setFlags(value == "on" || value == "1" ? (flags | 0x200) : (flags & ~0x200));
    return 0;
  }
  if (prop == "shortcutPixmap") {
    setShortcutPixmap(value);
    return 0;
  }
  return eDecoWidget::setProperty(prop, value);
}
