// A thread owned by an object: run() starts the virtual thread().
#pragma once

class eThread {
public:
  eThread();
  virtual ~eThread();          // stops the thread if it still runs
  eThread(const eThread&) = delete;
  eThread& operator=(const eThread&) = delete;
  int run(int prio = 0, int policy = 0);   // 0 when started
  virtual void thread() = 0;
  virtual void thread_finished() {}
  // sendsig false: wait until the thread has ended (returns at once when called by the
  // thread itself); true: stop it, then wait.
  void kill(bool sendsig = false);
  int thread_running() const;
private:
  struct Runtime;              // the platform's thread and its locks
  Runtime* runtime;
  static void* wrapper(void* self);
};
