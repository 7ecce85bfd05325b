// Modal message boxes with up to four buttons.
#pragma once
#include <host/gui/ewindow.h>

class eLabel;
class eButton;

class eMessageBox : public eWindow {
public:
  enum {
    btOK = 1, btCancel = 2, btYes = 4, btNo = 8, btMax = 16,
    iconInfo = 16, iconWarning = 32, iconQuestion = 64, iconError = 128
  };
  // flags: buttons (bt*) and icon (icon*) combined; def: the button focused first;
  // timeout: ms after which the box closes by itself with -1 (0: never).
  eMessageBox(eString message, eString caption = eString(), int flags = btOK, int def = btOK, int timeout = 0);
  ~eMessageBox() override;
  // exec() answers the pressed button's bt* code, or -1 when closed without a choice.
  int eventHandler(const eWidgetEvent& event) override;
  const eString& getMessage() const { return message; }
  int getFlags() const { return flags; }
private:
  void pressed(int code);
  void timedOut();
  eString message;
  int flags;
  eLabel* textLabel = nullptr;
  class eTimer* timer = nullptr;
  int timeoutMs = 0;
};
