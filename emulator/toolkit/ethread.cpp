// eThread: a POSIX thread owned by an object.
#include <atomic>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <host/gui/eerror.h>
#include <host/gui/ethread.h>
#include "internal.h"

struct eThread::Runtime {
  pthread_t the_thread{};
  std::atomic<int> alive{0};
  std::atomic<bool> joinable{false};
  std::atomic<bool> stopRequested{false};   // kill(true): the thread's modal loops end
  std::mutex joinLock;
};

void* eThread::wrapper(void* self) {
  eThread* t = static_cast<eThread*>(self);
  Runtime& r = *t->runtime;
  tk::setCurrentStopFlag(&r.stopRequested);
  t->thread();
  t->thread_finished();
  tk::setCurrentStopFlag(nullptr);
  r.alive = 0;
  tk::wakeLoops();
  return nullptr;
}

eThread::eThread() : runtime(new Runtime) {}

eThread::~eThread() {
  Runtime& r = *runtime;
  if (r.joinable.load() && pthread_equal(pthread_self(), r.the_thread)) {
    // Destroyed by its own thread: nobody is left to join it.
    pthread_detach(r.the_thread);
    r.joinable = false;
  } else {
    kill(true);
  }
  delete runtime;
}

int eThread::run(int, int) {
  Runtime& r = *runtime;
  {
    std::lock_guard<std::mutex> g(r.joinLock);
    if (r.joinable.load() && pthread_equal(pthread_self(), r.the_thread)) return -1;   // from the thread itself
  }
  // A restart may come while the previous run is still on its way out (its thread() has
  // returned but the thread has not ended): wait for that end, then start anew.
  if (r.joinable.load()) kill(false);
  if (r.joinable.load() || r.alive.load()) return -1;
  r.stopRequested = false;
  r.alive = 1;
  pthread_t t;
  int err = pthread_create(&t, nullptr, wrapper, this);
  if (err) {
    r.alive = 0;
    eDebug("eThread: pthread_create failed: %s", std::strerror(err));
    return -1;
  }
  {
    std::lock_guard<std::mutex> g(r.joinLock);
    r.the_thread = t;
    r.joinable = true;
  }
  return 0;
}

void eThread::kill(bool sendsig) {
  Runtime& r = *runtime;
  pthread_t t;
  {
    std::lock_guard<std::mutex> g(r.joinLock);
    if (!r.joinable.load()) return;
    t = r.the_thread;
  }
  if (pthread_equal(pthread_self(), t)) return;   // a thread cannot wait for itself
  if (sendsig) {
    // Stopping: every modal loop the thread runs (or starts) ends with -1.
    r.stopRequested = true;
    tk::wakeLoops();
  }
  // While waiting, keep serving the loop when this thread owns it: the thread may be waiting
  // for a timer slot or a posted call before it can end.
  while (r.alive.load()) tk::pumpOrWait(5);
  std::lock_guard<std::mutex> g(r.joinLock);
  if (r.joinable.load() && pthread_equal(r.the_thread, t)) {
    pthread_join(t, nullptr);
    r.joinable = false;
  }
}

int eThread::thread_running() const { return runtime->alive.load(); }
