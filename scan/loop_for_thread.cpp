#include <scan/loop_for_thread.h>
#include <host/gui/ebase.h>
#include <sched.h>

loopForThread::loopForThread() : timer(new eTimer(eApp)) {
  timer->timeout.connect(SigC::slot(*this, &loopForThread::dummyLoop));
}

loopForThread::~loopForThread() {
  if (timer->isActive()) timer->stop();
  delete timer;
}

int loopForThread::waitForEnterLoop(const std::atomic<int>* continua) {
  nelLoop = 0;
  richiestaUscita = 0;
  loopTerminato = 0;
  fase = IN_ATTESA;
  timer->start(60, false);
  while (!nelLoop) {
    if (continua && !*continua) {
      // The GUI thread may be waiting for this worker: give up unless it is
      // already on its way into dummyLoop.
      int attesa = IN_ATTESA;
      if (fase.compare_exchange_strong(attesa, LIBERO)) {
        timer->stop();
        return 0;
      }
    }
    sched_yield();
  }
  timer->stop();
  return 1;
}

void loopForThread::dummyLoop() {
  timer->stop();
  int attesa = IN_ATTESA;
  if (!fase.compare_exchange_strong(attesa, PARCHEGGIATO)) return;   // a late tick: nobody waits
  while (!richiestaUscita) {
    nelLoop = 1;
    sched_yield();
  }
  nelLoop = 0;
  fase = LIBERO;
  loopTerminato = 1;
}

void loopForThread::waitForExitLoop() {
  // Cleared before the GUI thread is let go, so that its answer cannot be lost.
  loopTerminato = 0;
  richiestaUscita = 1;
  while (!loopTerminato) sched_yield();
}
