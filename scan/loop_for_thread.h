// The bracket that lets the scan worker run a modal message box: while the box
// is open the GUI thread is parked in a timer callback, so only one thread runs
// the toolkit's GUI code.
#pragma once
#include <atomic>
#include <host/gui/sigc.h>

class eTimer;

class loopForThread : public SigC::Object {
public:
  loopForThread();     // on the GUI thread; the timer runs on eApp
  ~loopForThread() override;

  // Worker: parks the GUI thread. Returns 1 once it is parked. When continua is
  // given and drops to 0 before the GUI thread got there (the scan is being
  // stopped and the GUI thread may be waiting for the worker), gives up and
  // returns 0; the caller then must not show its box nor call waitForExitLoop.
  int waitForEnterLoop(const std::atomic<int>* continua = nullptr);
  // Worker: lets the GUI thread go and waits until it has left dummyLoop.
  void waitForExitLoop();
  // GUI thread: the timer's slot.
  void dummyLoop();

  eTimer* timer;
  std::atomic<int> nelLoop{0};          // 1 while the GUI thread is parked
  std::atomic<int> richiestaUscita{0};  // 1: the worker lets the GUI thread go
  std::atomic<int> loopTerminato{0};    // 1: the GUI thread has left dummyLoop

private:
  // Who wins the race between a late timer and a worker that gave up.
  enum { LIBERO = 0, IN_ATTESA = 1, PARCHEGGIATO = 2 };
  std::atomic<int> fase{LIBERO};
};
