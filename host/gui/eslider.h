// A horizontal slider with a value between min and max.
#pragma once
#include <host/gui/elabel.h>

class eSlider : public eDecoWidget {
public:
  eSlider(eWidget* parent, const eWidget* descr = nullptr, int min = 0, int max = 99);
  void setMin(int min);
  void setMax(int max);
  void setValue(int value);      // any thread; emits no signal
  int getValue() const;
  int getMin() const;
  int getMax() const;
  SigC::Signal1<void, int> changed;   // the user moved the slider (left/right keys)
  int eventHandler(const eWidgetEvent& event) override;
  void redrawWidget(gPainter* painter, const eRect& area) override;
protected:
  const eWidget* descr;
  int minimum, maximum, value;
  int increment = 10;
};
