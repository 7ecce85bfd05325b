// eWindow: a top-level window with a title bar; exit / reject close it with -1.
#include <host/gui/ewindow.h>
#include <host/gui/gpainter.h>
#include "emu.h"
#include "internal.h"

eWindow::eWindow(int atakefocus) : eWidget(emu::desktop(), atakefocus) {
  tk::Guard g(tk::lock());
  state = 0;   // windows appear with show()
  recalcClientRect();
}

eWindow::~eWindow() = default;

void eWindow::willShow() {
  // A window shown without a focus gives it to its first control.
  eWidget* f;
  {
    tk::Guard g(tk::lock());
    f = focus;
  }
  if (!f || !f->isVisible()) focusNext(0);
}

void eWindow::willHide() {}

void eWindow::recalcClientRect() {
  // The decoration of the skin in force when the window is placed.
  tk::Deco d = tk::deco("eWindow");
  if (d.found) {
    if (d.border >= 0) borderWidth = d.border;
    if (d.titleHeight >= 0) titleBarHeight = d.titleHeight;
  }
  clientrect = eRect(borderWidth, borderWidth + titleBarHeight, size.width() - 2 * borderWidth,
                     size.height() - 2 * borderWidth - titleBarHeight);
}

int eWindow::eventHandler(const eWidgetEvent& e) {
  switch (e.type) {
    case eWidgetEvent::wantClose:
      close(-1);
      return 1;
    case eWidgetEvent::keyDown:
      switch (e.parameter) {
        case keyExit:
          event(eWidgetEvent(eWidgetEvent::wantClose));
          return 1;
        case ::keyDown:
          focusNext(0);
          return 1;
        case ::keyUp:
          focusNext(1);
          return 1;
      }
      break;
  }
  return eWidget::eventHandler(e);
}

void eWindow::redrawWidget(gPainter* p, const eRect&) {
  tk::Guard g(tk::lock());
  tk::Deco d = tk::deco("eWindow");
  gColor titleBg = d.titleBackground >= 0 ? gColor(d.titleBackground) : tk::scheme("eWindow.titleBar");
  gColor titleFg = d.titleForeground >= 0 ? gColor(d.titleForeground) : tk::scheme("eWindow.titleBarFont");
  eRect bar(borderWidth, borderWidth, size.width() - 2 * borderWidth, titleBarHeight);
  p->setForegroundColor(titleBg);
  p->fill(bar);
  p->setForegroundColor(titleFg);
  p->setBackgroundColor(titleBg);
  const gFont& f = getFont();
  p->setFont(gFont(f.family.empty() ? eString("Regular") : f.family, titleBarHeight * 2 / 3));
  p->renderText(eRect(bar.left() + 8, bar.top(), bar.width() - 16, bar.height()), text,
                gPainter::RT_VALIGN_CENTER);
}

void eWindow::eraseBackground(gPainter* p, const eRect&) {
  tk::Deco d = tk::deco("eWindow");
  gColor border = d.borderColor >= 0 ? gColor(d.borderColor) : tk::scheme("eWindow.border");
  p->setForegroundColor(border);
  p->fill(eRect(0, 0, size.width(), size.height()));
  p->setForegroundColor(getBackgroundColor());
  p->fill(clientrect);
}

int eWindow::setProperty(const eString& prop, const eString& value) {
  if (prop == "title") {
    setText(value);
    return 0;
  }
  return eWidget::setProperty(prop, value);
}
