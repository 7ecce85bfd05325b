// A row of number fields, edited with the digit and arrow keys.
#pragma once
#include <vector>
#include <host/gui/elabel.h>

class eNumber : public eDecoWidget {
public:
  // len fields, each min..max with maxdigits digits; init: len initial field values.
  eNumber(eWidget* parent, int len, int min, int max, int maxdigits, int* init,
          int isactive = 0, eWidget* descr = nullptr, int grabfocus = 1, const char* deco = "eNumber");
  ~eNumber() override;

  // The fields read as one decimal number (single-digit fields 1 0 7 0 0 read 10700).
  int getNumber() const;
  void setNumber(int number);
  int getNumber(int field) const;
  void setNumber(int field, int value);
  int getActive() const { return active; }

  // OK confirmed the entry; the argument points at the first field.
  SigC::Signal1<void, int*> selected;
  SigC::Signal0<void> numberChanged;

  int eventHandler(const eWidgetEvent& event) override;
  void redrawWidget(gPainter* painter, const eRect& area) override;
  void gotFocus() override;
  void lostFocus() override;
protected:
  std::vector<int> number;
  int len, min, max, maxdigits;
  int active;            // the field being edited
  int digit = 0;         // digits typed into the active field
  eWidget* descr;
  bool editing = false;
  friend class eToolkit;
};
