// A thread owned by an object: run() starts the virtual thread().
#pragma once
#include <atomic>
#include <mutex>
#include <pthread.h>

class eThread {
public:
  eThread();
  virtual ~eThread();          // stops the thread if it still runs
  int run(int prio = 0, int policy = 0);   // 0 when started
  virtual void thread() = 0;
  virtual void thread_finished() {}
  // sendsig false: wait until the thread has ended (returns at once when called by the
  // thread itself); true: stop it, then wait.
  void kill(bool sendsig = false);
  int thread_running() const;
private:
  static void* wrapper(void* self);
  pthread_t the_thread{};
  std::atomic<int> alive{0};
  std::atomic<bool> joinable{false};
  std::atomic<bool> stopRequested{false};   // kill(true): the thread's modal loops end
  std::mutex joinLock;
};
