// Progress bar: border, filled part, rest, optional start offset, three directions;
// left to right it cuts the filled part into tenths with thin dividers.
#pragma once
#include <atomic>
#include <host/gui/ewidget.h>
#include <host/gui/gpainter.h>

class eProgBar : public eWidget {
public:
  eProgBar(eWidget* parent, int takefocus = 0);
  ~eProgBar() override;

  void setPerc(int perc);             // repaints only on change; any thread
  void setStart(int start);           // repaints only on change
  int setParams(int start, int perc); // 1 when something changed (and repainted), else 0

  int setProperty(const eString& prop, const eString& value) override;
  void redrawWidget(gPainter* painter, const eRect& area) override;

  // Set by the scan's worker, read by the painting.
  std::atomic<int> perc{0};
  std::atomic<int> border{1};
  std::atomic<int> start{0};
  std::atomic<int> direction{0};      // 0 left to right, 1 top to bottom, 2 bottom to top
  gColor leftColor;
  gColor rightColor;
};

eWidget* creaProgBar(eWidget* parent);

class eProgBarSkinInit {
public:
  eProgBarSkinInit();
  ~eProgBarSkinInit();
};
