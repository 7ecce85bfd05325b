// The main loop and its timers.
#pragma once
#include <host/gui/sigc.h>

class eMainloop {
public:
  virtual ~eMainloop() = default;
  // Runs events and timers on this thread until quit() is called for this level.
  virtual int exec() = 0;
  virtual void quit(int result = 0) = 0;
};

extern eMainloop* eApp;

class eTimer {
public:
  explicit eTimer(eMainloop* context = eApp);
  ~eTimer();
  void start(long msec, bool singleShot = false);   // any thread
  void stop();                                      // any thread
  bool isActive() const;
  SigC::Signal0<void> timeout;                      // emitted on the GUI thread
  class Impl;
private:
  Impl* d;
};
