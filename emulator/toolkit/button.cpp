// eButton: OK while focused, or its shortcut key in its window, presses it.
#include <host/gui/ebutton.h>
#include <host/gui/gpainter.h>
#include "internal.h"

eButton::eButton(eWidget* aparent, eLabel* adescr, int atakefocus, const char* deco)
    : eLabel(aparent, 0, atakefocus, deco), descr(adescr) {
  align = gPainter::RT_HALIGN_CENTER;
}

int eButton::eventHandler(const eWidgetEvent& e) {
  if ((e.type == eWidgetEvent::keyDown && e.parameter == keyOk) || e.type == eWidgetEvent::evtShortcut) {
    selected.emit();
    return 1;
  }
  return eLabel::eventHandler(e);
}

void eButton::redrawWidget(gPainter* p, const eRect&) {
  tk::Guard g(tk::lock());
  tk::Deco d = tk::deco(decoName);
  bool focused = haveFocus();
  gColor fg = getForegroundColor();
  if (focused) fg = d.focusForeground >= 0 ? gColor(d.focusForeground) : tk::scheme("global.selected.foreground");
  p->setForegroundColor(fg);
  p->setFont(getFont());
  tk::drawLabelText(p, getFont(), clientrect, text, align, true, false, shortcutPixmap);
}

void eButton::gotFocus() { invalidate(); }
void eButton::lostFocus() { invalidate(); }
