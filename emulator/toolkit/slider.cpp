// eSlider: left/right move the value by a tenth of the range (at least 1).
#include <host/gui/eslider.h>
#include <host/gui/gpainter.h>
#include "internal.h"

eSlider::eSlider(eWidget* aparent, const eWidget* adescr, int amin, int amax)
    : eDecoWidget(aparent, 1, "eSlider"), descr(adescr), minimum(amin), maximum(amax < amin ? amin : amax), value(amin) {}

void eSlider::setMin(int m) {
  {
    tk::Guard g(tk::lock());
    minimum = m;
    if (maximum < minimum) maximum = minimum;
    value = std::max(minimum, std::min(maximum, value));
  }
  invalidate();
}

void eSlider::setMax(int m) {
  {
    tk::Guard g(tk::lock());
    maximum = m < minimum ? minimum : m;
    value = std::max(minimum, std::min(maximum, value));
  }
  invalidate();
}

void eSlider::setValue(int v) {
  {
    tk::Guard g(tk::lock());
    v = std::max(minimum, std::min(maximum, v));
    if (v == value) return;
    value = v;
  }
  invalidate();
}

int eSlider::getValue() const {
  tk::Guard g(tk::lock());
  return value;
}
int eSlider::getMin() const {
  tk::Guard g(tk::lock());
  return minimum;
}
int eSlider::getMax() const {
  tk::Guard g(tk::lock());
  return maximum;
}

int eSlider::eventHandler(const eWidgetEvent& e) {
  if (e.type == eWidgetEvent::keyDown && (e.parameter == keyLeft || e.parameter == keyRight)) {
    int v;
    bool moved;
    {
      tk::Guard g(tk::lock());
      int stepBy = std::max(1, (maximum - minimum) / increment);
      v = value + (e.parameter == keyRight ? stepBy : -stepBy);
      v = std::max(minimum, std::min(maximum, v));
      moved = v != value;
      value = v;
    }
    if (moved) {
      invalidate();
      changed.emit(v);
    }
    return 1;
  }
  return eDecoWidget::eventHandler(e);
}

void eSlider::redrawWidget(gPainter* p, const eRect&) {
  tk::Guard g(tk::lock());
  if (clientrect.isEmpty()) return;
  tk::Deco d = tk::deco(decoName);
  gColor fg = d.foreground >= 0 ? gColor(d.foreground) : tk::scheme("global.selected.background");
  if (haveFocus() && d.focusForeground >= 0) fg = d.focusForeground;
  int range = maximum - minimum;
  int w = clientrect.width();
  int knob = std::max(6, w / 20);
  int x = range > 0 ? int((long long)(value - minimum) * (w - knob) / range) : 0;
  p->setForegroundColor(fg);
  p->fill(eRect(clientrect.left() + x, clientrect.top(), knob, clientrect.height()));
}
