// Top-level windows: a title bar and a client area; they run modally with exec().
#pragma once
#include <host/gui/ewidget.h>

class eWindow : public eWidget {
public:
  explicit eWindow(int takefocus = 0);
  ~eWindow() override;
  void willShow() override;
  void willHide() override;
  void recalcClientRect() override;
  int eventHandler(const eWidgetEvent& event) override;   // 17 closes with -1
  void redrawWidget(gPainter* painter, const eRect& area) override;
  void eraseBackground(gPainter* painter, const eRect& area) override;
  int setProperty(const eString& prop, const eString& value) override;
protected:
  int titleBarHeight = 36;
  int borderWidth = 3;
};
