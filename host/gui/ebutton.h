// Push buttons: OK or the widget's shortcut key presses them.
#pragma once
#include <host/gui/elabel.h>

class eButton : public eLabel {
public:
  eButton(eWidget* parent, eLabel* descr = nullptr, int takefocus = 1, const char* deco = "eButton");
  SigC::Signal0<void> selected;            // the button was pressed
  int eventHandler(const eWidgetEvent& event) override;
  void redrawWidget(gPainter* painter, const eRect& area) override;
  void gotFocus() override;
  void lostFocus() override;
protected:
  eLabel* descr;
};
