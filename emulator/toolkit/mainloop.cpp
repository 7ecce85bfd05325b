// eApp: one queue of posted calls and timers, served by whichever thread runs the innermost
// loop level. Any thread may run a level (exec); a level on another thread takes over while the
// level below it is busy inside a callback, which is how a worker runs a message box while the
// GUI thread waits in a timer slot. No lock is held while a callback runs.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <thread>
#include <vector>
#include <host/gui/ebase.h>
#include "emu.h"
#include "internal.h"

using Clock = std::chrono::steady_clock;

class eTimer::Impl {
public:
  eTimer* owner = nullptr;
  bool active = false, single = false, dead = false;
  int firing = 0;
  std::thread::id firingThread;
  long interval = 0;
  int64_t due = 0;   // microseconds of the timer clock
};

namespace tk {

struct Level {
  std::thread::id tid;
  eWidget* widget = nullptr;
  std::atomic<bool>* stop = nullptr;
  bool quit = false;
  int code = 0;
};

}  // namespace tk

namespace {

thread_local std::atomic<bool>* tlsStop = nullptr;

class Loop : public eMainloop {
public:
  std::mutex m;
  std::condition_variable cv;
  std::deque<std::function<void()>> posted;
  bool timerTurn = false;   // a due timer goes before the next posted call
  std::vector<eTimer::Impl*> timers;
  std::vector<tk::Level*> levels;
  std::thread::id gui = std::this_thread::get_id();
  std::function<uint64_t()> timerClock;   // empty: the wall clock

  int64_t timerNow() const {
    if (timerClock) return static_cast<int64_t>(timerClock());
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
  }

  int exec() override { return tk::runLevel(nullptr); }
  void quit(int result) override {
    std::lock_guard<std::mutex> g(m);
    for (auto it = levels.rbegin(); it != levels.rend(); ++it)
      if (!(*it)->widget && !(*it)->quit) {
        (*it)->quit = true;
        (*it)->code = result;
        break;
      }
    cv.notify_all();
  }
  void post(std::function<void()> fn) {
    std::lock_guard<std::mutex> g(m);
    posted.push_back(std::move(fn));
    cv.notify_all();
  }
  bool isGuiThread() const { return std::this_thread::get_id() == gui; }

  bool ownsTop() const { return !levels.empty() && levels.back()->tid == std::this_thread::get_id(); }

  // Runs one posted call or one due timer, or waits until deadline for work. Called with the
  // lock held and the calling thread owning the innermost level.
  void serveOne(std::unique_lock<std::mutex>& lk, Clock::time_point deadline) {
    eTimer::Impl* next = nullptr;
    for (auto* t : timers)
      if (t->active && !t->firing && (!next || t->due < next->due)) next = t;
    const int64_t now = timerNow();
    const bool timerDue = next && next->due <= now;
    // Posted calls and due timers take turns: a steady stream of either must not
    // starve the other.
    if (!posted.empty() && (!timerDue || !timerTurn)) {
      timerTurn = true;
      auto fn = std::move(posted.front());
      posted.pop_front();
      lk.unlock();
      fn();
      fn = nullptr;   // captured objects die outside the lock
      lk.lock();
      return;
    }
    if (timerDue) {
      timerTurn = false;
      if (next->single) {
        next->active = false;
      } else {
        next->due += next->interval * 1000;
        if (next->due <= now) next->due = now + next->interval * 1000;
      }
      next->firing++;
      next->firingThread = std::this_thread::get_id();
      eTimer* owner = next->owner;
      lk.unlock();
      owner->timeout.emit();
      lk.lock();
      next->firing--;
      if (next->dead && !next->firing) delete next;
      cv.notify_all();
      return;
    }
    auto until = deadline;
    if (next) {
      // Another clock than the wall's moves at its own pace: look at it often.
      auto wallDue = timerClock ? Clock::now() + std::chrono::milliseconds(2)
                                : Clock::now() + std::chrono::microseconds(next->due - now);
      if (wallDue < until) until = wallDue;
    }
    cv.wait_until(lk, until);
  }
};

Loop& loop() {
  static Loop* l = new Loop;   // never destroyed: timers of static objects outlive main
  return *l;
}

}  // namespace

eMainloop* eApp = &loop();

// Posting belongs to the emulator's own code (the receiver, the program, the tests):
// the host's eMainloop offers a plug-in no such call.
void emu::post(std::function<void()> fn) { loop().post(std::move(fn)); }
bool emu::isGuiThread() { return loop().isGuiThread(); }

namespace tk {

std::atomic<bool>* currentStopFlag() { return tlsStop; }
void setCurrentStopFlag(std::atomic<bool>* flag) { tlsStop = flag; }

int runLevel(eWidget* widget) {
  Loop& L = loop();
  Level lv;
  lv.tid = std::this_thread::get_id();
  lv.widget = widget;
  lv.stop = tlsStop;
  if (lv.stop && lv.stop->load()) return -1;   // the thread is being stopped
  std::unique_lock<std::mutex> lk(L.m);
  L.levels.push_back(&lv);
  while (!lv.quit) {
    if (lv.stop && lv.stop->load()) {
      lv.code = -1;
      break;
    }
    // The stop flag is not guarded by the lock: look again now and then.
    auto deadline = Clock::now() + std::chrono::milliseconds(lv.stop ? 20 : 500);
    if (L.levels.back() != &lv)
      L.cv.wait_until(lk, deadline);
    else
      L.serveOne(lk, deadline);
  }
  L.levels.erase(std::find(L.levels.begin(), L.levels.end(), &lv));
  L.cv.notify_all();
  return lv.code;
}

bool quitLevel(eWidget* widget, int code) {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  for (auto it = L.levels.rbegin(); it != L.levels.rend(); ++it)
    if ((*it)->widget == widget && !(*it)->quit) {
      (*it)->quit = true;
      (*it)->code = code;
      L.cv.notify_all();
      return true;
    }
  return false;
}

void wakeLoops() {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  L.cv.notify_all();
}

void pumpOrWait(int maxMs) {
  Loop& L = loop();
  std::unique_lock<std::mutex> lk(L.m);
  auto deadline = Clock::now() + std::chrono::milliseconds(maxMs);
  if (L.ownsTop())
    L.serveOne(lk, deadline);
  else
    L.cv.wait_until(lk, deadline);
}

void setGuiThread() {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  L.gui = std::this_thread::get_id();
}

}  // namespace tk

namespace emu {

void setTimerClock(std::function<uint64_t()> nowUs) {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  // Timers already running keep their remaining time on the new clock.
  int64_t before = L.timerNow();
  L.timerClock = std::move(nowUs);
  int64_t after = L.timerNow();
  for (auto* t : L.timers) t->due += after - before;
  L.cv.notify_all();
}

uint64_t nextTimerDue() {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  int64_t best = INT64_MAX;
  for (auto* t : L.timers)
    if (t->active && !t->firing && t->due < best) best = t->due;
  if (best == INT64_MAX) return UINT64_MAX;
  return best < 0 ? 0 : static_cast<uint64_t>(best);
}

}  // namespace emu

eTimer::eTimer(eMainloop*) : d(new Impl) {
  d->owner = this;
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  L.timers.push_back(d);
}

eTimer::~eTimer() {
  Loop& L = loop();
  std::unique_lock<std::mutex> lk(L.m);
  d->active = false;
  L.timers.erase(std::find(L.timers.begin(), L.timers.end(), d));
  if (d->firing && d->firingThread == std::this_thread::get_id()) {
    // Destroyed from inside its own timeout slot: the loop frees the record once the slot
    // has returned.
    d->dead = true;
    return;
  }
  // Another thread is inside the slot: the signal must outlive that call.
  L.cv.wait(lk, [this] { return d->firing == 0; });
  delete d;
}

void eTimer::start(long msec, bool singleShot) {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  if (msec < 0) msec = 0;
  d->active = true;
  d->single = singleShot;
  d->interval = msec;
  d->due = L.timerNow() + static_cast<int64_t>(msec) * 1000;
  L.cv.notify_all();
}

void eTimer::stop() {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  d->active = false;
}

bool eTimer::isActive() const {
  Loop& L = loop();
  std::lock_guard<std::mutex> g(L.m);
  return d->active;
}
