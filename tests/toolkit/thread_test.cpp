// eThread: start, wait, stop, and waiting for itself.
#include <atomic>
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

class Spinner : public eThread {
public:
  void thread() override {
    started = true;
    while (!go.load()) {
    }
    runs++;
  }
  void thread_finished() override { finished++; }
  std::atomic<bool> started{false}, go{false};
  std::atomic<int> runs{0}, finished{0};
};

TEST(Thread, RunThenKillFalseWaitsForTheEnd) {
  Spinner t;
  EXPECT_EQ(t.thread_running(), 0);
  ASSERT_EQ(t.run(0, 0), 0);
  EXPECT_NE(t.thread_running(), 0);
  while (!t.started.load()) {
  }
  t.go = true;
  t.kill(false);
  EXPECT_EQ(t.thread_running(), 0);
  EXPECT_EQ(t.runs.load(), 1);
  EXPECT_EQ(t.finished.load(), 1);
  // Runs again after it ended.
  t.go = true;
  ASSERT_EQ(t.run(0, 0), 0);
  t.kill(false);
  EXPECT_EQ(t.runs.load(), 2);
  t.kill(false);   // nothing left to wait for
}

TEST(Thread, RestartWaitsForThePreviousRunToEnd) {
  // The GUI thread restarts the worker as soon as it has handed over; its thread may not have
  // ended yet. The restart must neither fail nor overlap the old run.
  for (int i = 0; i < 50; ++i) {
    Spinner t;
    ASSERT_EQ(t.run(0, 0), 0);
    t.go = true;
    ASSERT_EQ(t.run(0, 0), 0);
    t.kill(false);
    EXPECT_EQ(t.runs.load(), 2);
    EXPECT_EQ(t.finished.load(), 2);
  }
}

class SelfWaiter : public eThread {
public:
  void thread() override {
    kill(false);   // returns at once: a thread cannot wait for itself
    kill(true);
    returned = true;
  }
  std::atomic<bool> returned{false};
};

TEST(Thread, KillFromTheThreadItselfReturns) {
  SelfWaiter t;
  ASSERT_EQ(t.run(), 0);
  t.kill(false);
  EXPECT_TRUE(t.returned.load());
}

// A worker stuck in a modal run of its own: kill(true) ends the run and the thread.
class BoxWorker : public eThread {
public:
  void thread() override {
    eMessageBox box("Attesa", "Avviso", 17, 1, 0);
    box.show();
    shown = true;
    code = box.exec();
    box.hide();
    second = eMessageBox("Dopo", "Avviso", 17, 1, 0).exec();
  }
  std::atomic<bool> shown{false};
  std::atomic<int> code{99}, second{99};
};

TEST(Thread, KillTrueStopsModalRunsOfTheThread) {
  emu::startToolkit();
  BoxWorker t;
  ASSERT_EQ(t.run(), 0);
  ASSERT_TRUE(emu::waitUntil([&] { return t.shown.load(); }));
  t.kill(true);
  EXPECT_EQ(t.thread_running(), 0);
  EXPECT_EQ(t.code.load(), -1);
  EXPECT_EQ(t.second.load(), -1);   // later runs return at once
}

// The worker waits for a timer slot of the GUI loop before it can end; the GUI thread waits for
// the worker: kill keeps serving the loop meanwhile.
class NeedsTheLoop : public eThread {
public:
  void thread() override {
    emu::post([this] { served = true; });
    while (!served.load()) {
    }
  }
  std::atomic<bool> served{false};
};

TEST(Thread, KillServesTheLoopWhileWaiting) {
  emu::startToolkit();
  eWindow w(1);
  w.show();
  NeedsTheLoop t;
  bool done = false;
  emu::post([&] {
    t.run();
    t.kill(false);
    done = true;
    w.close(3);
  });
  EXPECT_EQ(w.exec(), 3);
  EXPECT_TRUE(done);
  EXPECT_TRUE(t.served.load());
}

TEST(Thread, DestructorStopsARunningThread) {
  emu::startToolkit();
  auto* t = new BoxWorker;
  ASSERT_EQ(t->run(), 0);
  ASSERT_TRUE(emu::waitUntil([&] { return t->shown.load(); }));
  delete t;   // must not hang
  SUCCEED();
}

}  // namespace
