// eNumber: a row of number fields, edited with the digit keys (type into the active field, which
// then moves on), left/right (choose the field) and OK (confirm).
#include <host/gui/enumber.h>
#include <host/gui/gpainter.h>
#include "internal.h"

namespace {
int power10(int digits) {
  int p = 1;
  for (int i = 0; i < digits && p < 1000000000 / 10; ++i) p *= 10;
  return p;
}
}  // namespace

eNumber::eNumber(eWidget* aparent, int alen, int amin, int amax, int amaxdigits, int* init, int isactive,
                 eWidget* adescr, int grabfocus, const char* deco)
    : eDecoWidget(aparent, grabfocus, deco),
      len(alen > 0 ? alen : 1), min(amin), max(amax < amin ? amin : amax),
      maxdigits(amaxdigits > 0 ? amaxdigits : 1), active(0), descr(adescr) {
  number.assign(size_t(len), min);
  if (init)
    for (int i = 0; i < len; ++i) number[size_t(i)] = std::max(min, std::min(max, init[i]));
  active = isactive >= 0 && isactive < len ? isactive : 0;
}

eNumber::~eNumber() = default;

int eNumber::getNumber() const {
  tk::Guard g(tk::lock());
  int base = power10(maxdigits);
  long long n = 0;
  for (int v : number) n = n * base + v;
  return n > 0x7fffffff ? 0x7fffffff : int(n);
}

void eNumber::setNumber(int value) {
  {
    tk::Guard g(tk::lock());
    // Negative numbers read as 0; a number with more digits than the fields keeps its low digits.
    long long n = value < 0 ? 0 : value;
    int base = power10(maxdigits);
    for (int i = len - 1; i >= 0; --i) {
      int v = int(n % base);
      n /= base;
      number[size_t(i)] = std::max(min, std::min(max, v));
    }
    digit = 0;
  }
  invalidate();
}

int eNumber::getNumber(int field) const {
  tk::Guard g(tk::lock());
  return field >= 0 && field < len ? number[size_t(field)] : 0;
}

void eNumber::setNumber(int field, int value) {
  {
    tk::Guard g(tk::lock());
    if (field < 0 || field >= len) return;
    number[size_t(field)] = std::max(min, std::min(max, value));
  }
  invalidate();
}

int eNumber::eventHandler(const eWidgetEvent& e) {
  if (e.type != eWidgetEvent::keyDown) return eDecoWidget::eventHandler(e);
  int key = e.parameter;
  if (key >= key0 && key <= key9) {
    {
      tk::Guard g(tk::lock());
      int& f = number[size_t(active)];
      f = digit == 0 ? key : f * 10 + key;
      if (f > max) f = max;
      if (f < min) f = min;
      if (++digit >= maxdigits) {
        digit = 0;
        active = (active + 1) % len;   // after the last field, typing starts over at the first
      }
      editing = true;
    }
    invalidate();
    numberChanged.emit();
    return 1;
  }
  if (key == keyLeft || key == keyRight) {
    {
      tk::Guard g(tk::lock());
      if (key == keyLeft && active > 0) active--;
      if (key == keyRight && active < len - 1) active++;
      digit = 0;
    }
    invalidate();
    return 1;
  }
  if (key == keyOk) {
    {
      tk::Guard g(tk::lock());
      digit = 0;
      editing = false;
    }
    selected.emit(number.data());
    return 1;
  }
  return 0;
}

void eNumber::redrawWidget(gPainter* p, const eRect&) {
  tk::Guard g(tk::lock());
  if (clientrect.isEmpty() || len <= 0) return;
  tk::Deco d = tk::deco(decoName);
  bool focused = haveFocus();
  int w = clientrect.width() / len;
  p->setFont(getFont());
  for (int i = 0; i < len; ++i) {
    eRect cell(clientrect.left() + i * w, clientrect.top(), w, clientrect.height());
    gColor fg = getForegroundColor();
    if (focused && i == active) {
      gColor bg = d.focusBackground >= 0 ? gColor(d.focusBackground) : tk::scheme("global.selected.background");
      fg = d.focusForeground >= 0 ? gColor(d.focusForeground) : tk::scheme("global.selected.foreground");
      p->setForegroundColor(bg);
      p->fill(cell);
      p->setBackgroundColor(bg);
    } else {
      p->setBackgroundColor(getBackgroundColor());
    }
    p->setForegroundColor(fg);
    eString s;
    s.sprintf("%0*d", maxdigits, number[size_t(i)]);
    p->renderText(cell, s, gPainter::RT_HALIGN_CENTER | gPainter::RT_VALIGN_CENTER);
  }
}

void eNumber::gotFocus() {
  {
    tk::Guard g(tk::lock());
    digit = 0;
  }
  invalidate();
}

void eNumber::lostFocus() {
  {
    tk::Guard g(tk::lock());
    digit = 0;
    editing = false;
  }
  invalidate();
}
