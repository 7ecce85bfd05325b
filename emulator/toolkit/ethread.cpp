// eThread: a POSIX thread owned by an object.
#include <cstring>
#include <host/gui/eerror.h>
#include <host/gui/ethread.h>
#include "internal.h"

eThread::eThread() = default;

eThread::~eThread() {
  if (joinable.load() && pthread_equal(pthread_self(), the_thread)) {
    // Destroyed by its own thread: nobody is left to join it.
    pthread_detach(the_thread);
    joinable = false;
    return;
  }
  kill(true);
}

void* eThread::wrapper(void* self) {
  eThread* t = static_cast<eThread*>(self);
  tk::setCurrentStopFlag(&t->stopRequested);
  t->thread();
  t->thread_finished();
  tk::setCurrentStopFlag(nullptr);
  t->alive = 0;
  tk::wakeLoops();
  return nullptr;
}

int eThread::run(int, int) {
  {
    std::lock_guard<std::mutex> g(joinLock);
    if (joinable.load() && pthread_equal(pthread_self(), the_thread)) return -1;   // from the thread itself
  }
  // A restart may come while the previous run is still on its way out (its thread() has
  // returned but the thread has not ended): wait for that end, then start anew.
  if (joinable.load()) kill(false);
  if (joinable.load() || alive.load()) return -1;
  stopRequested = false;
  alive = 1;
  pthread_t t;
  int err = pthread_create(&t, nullptr, wrapper, this);
  if (err) {
    alive = 0;
    eDebug("eThread: pthread_create failed: %s", std::strerror(err));
    return -1;
  }
  {
    std::lock_guard<std::mutex> g(joinLock);
    the_thread = t;
    joinable = true;
  }
  return 0;
}

void eThread::kill(bool sendsig) {
  pthread_t t;
  {
    std::lock_guard<std::mutex> g(joinLock);
    if (!joinable.load()) return;
    t = the_thread;
  }
  if (pthread_equal(pthread_self(), t)) return;   // a thread cannot wait for itself
  if (sendsig) {
    // Stopping: every modal loop the thread runs (or starts) ends with -1.
    stopRequested = true;
    tk::wakeLoops();
  }
  // While waiting, keep serving the loop when this thread owns it: the thread may be waiting
  // for a timer slot or a posted call before it can end.
  while (alive.load()) tk::pumpOrWait(5);
  std::lock_guard<std::mutex> g(joinLock);
  if (joinable.load() && pthread_equal(the_thread, t)) {
    pthread_join(t, nullptr);
    joinable = false;
  }
}

int eThread::thread_running() const { return alive.load(); }
