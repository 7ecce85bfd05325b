// A worker runs a message box while the GUI thread is parked inside a timer slot.
#include <atomic>
#include <thread>
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

// The plug-in's handshake: the worker starts a timer and waits until the GUI thread spins in
// its slot; the GUI thread spins there until the worker has finished with its box.
class Parking : public SigC::Object {
public:
  Parking() : timer(eApp) { timer.timeout.connect(sigc::mem_fun(*this, &Parking::slot)); }
  void enter() {
    parked = 0;
    release = 0;
    timer.start(60, false);
    while (!parked.load()) {
    }
    timer.stop();
  }
  void leave() {
    left = 0;
    release = 1;
    while (!left.load()) {
    }
  }
  void slot() {
    timer.stop();
    slotThreadIsGui = emu::isGuiThread();
    while (!release.load()) parked = 1;
    parked = 0;
    left = 1;
  }
  eTimer timer;
  std::atomic<int> parked{0}, release{0}, left{0};
  std::atomic<bool> slotThreadIsGui{false};
};

class Worker : public eThread {
public:
  Worker(Parking& p, eWidget& window, int flags, int def, const char* key, bool keyFromOutside)
      : p(p), window(window), flags(flags), def(def), key(key), keyFromOutside(keyFromOutside) {}
  void thread() override {
    p.enter();
    if (!keyFromOutside) emu::postKey(key);   // posted while the GUI thread is parked: not lost
    eMessageBox box("Domanda", "Avviso", flags, def, 0);
    box.show();
    answer = box.exec();
    box.hide();
    p.leave();
    emu::post([this] { window.close(answer.load()); });
  }
  Parking& p;
  eWidget& window;
  int flags, def;
  const char* key;
  bool keyFromOutside;
  std::atomic<int> answer{99};
};

struct Case {
  int flags, def;
  const char* key;
  bool keyFromOutside;
  int expected;
};

class Bracket : public ::testing::TestWithParam<Case> {
protected:
  void SetUp() override { emu::startToolkit(); }
};

TEST_P(Bracket, WorkerRunsTheBoxWhileTheGuiIsParked) {
  const Case& c = GetParam();
  eWindow scan(1);
  scan.show();
  Parking parking;
  Worker worker(parking, scan, c.flags, c.def, c.key, c.keyFromOutside);
  std::thread presser;
  if (c.keyFromOutside)
    presser = std::thread([&] {
      ASSERT_TRUE(emu::waitUntil([] { return emu::currentMessageBox().open; }));
      emu::postKey(c.key);
    });
  emu::post([&] { worker.run(0, 0); });
  int code = scan.exec();
  worker.kill(false);
  if (presser.joinable()) presser.join();
  EXPECT_EQ(worker.answer.load(), c.expected);
  EXPECT_EQ(code, c.expected);
  EXPECT_TRUE(parking.slotThreadIsGui.load());
  EXPECT_FALSE(parking.timer.isActive());
}

INSTANTIATE_TEST_SUITE_P(Keys, Bracket,
                         ::testing::Values(Case{76, 8, "green", false, 4}, Case{76, 8, "red", false, 8},
                                           Case{76, 8, "exit", true, -1}, Case{17, 1, "ok", true, 1}),
                         [](const ::testing::TestParamInfo<Case>& i) {
                           return std::string(i.param.key) + (i.param.keyFromOutside ? "_fromOutside" : "_fromWorker");
                         });

}  // namespace

namespace {

// The worker asks to park the GUI thread just when the GUI thread stops it and waits for it:
// the wait keeps serving the loop, the timer slot parks, the worker's box ends at once.
class StoppedWorker : public eThread {
public:
  explicit StoppedWorker(Parking& p) : p(p) {}
  void thread() override {
    started = true;
    p.enter();
    eMessageBox box("Domanda", "Avviso", 76, 8, 0);
    box.show();
    answer = box.exec();
    box.hide();
    p.leave();
  }
  Parking& p;
  std::atomic<bool> started{false};
  std::atomic<int> answer{99};
};

TEST(BracketStop, KillTrueWhileTheWorkerWaitsForTheGuiThread) {
  emu::startToolkit();
  eWindow scan(1);
  scan.show();
  Parking parking;
  StoppedWorker worker(parking);
  emu::post([&] {
    worker.run(0, 0);
    while (!worker.started.load()) {
    }
    worker.kill(true);
    scan.close(1);
  });
  EXPECT_EQ(scan.exec(), 1);
  EXPECT_EQ(worker.thread_running(), 0);
  EXPECT_EQ(worker.answer.load(), -1);
}

}  // namespace

namespace {

// Without the bracket: the GUI thread idles in its own loop while a worker runs a box. The
// worker's loop is the innermost one, so it serves the queue, and keys reach the box.
class LoneBoxWorker : public eThread {
public:
  explicit LoneBoxWorker(eWidget& window) : window(window) {}
  void thread() override {
    worker = std::this_thread::get_id();
    eMessageBox box("Scansione terminata. Premere annulla per uscire", "Finito", 76, 8, 0);
    box.show();
    answer = box.exec();
    box.hide();
    emu::post([this] { window.close(answer.load()); });
  }
  eWidget& window;
  std::thread::id worker;
  std::atomic<int> answer{99};
};

TEST(BracketStop, AWorkerBoxTakesOverTheLoopFromAnIdleGuiThread) {
  emu::startToolkit();
  eWindow scan(1);
  scan.show();
  LoneBoxWorker worker(scan);
  std::atomic<bool> probeOnWorker{false};
  std::thread presser([&] {
    ASSERT_TRUE(emu::waitUntil([] { return emu::currentMessageBox().open; }));
    emu::post([&] { probeOnWorker = std::this_thread::get_id() == worker.worker; });
    emu::postKey("green");
  });
  emu::post([&] { worker.run(0, 0); });
  EXPECT_EQ(scan.exec(), 4);
  presser.join();
  worker.kill(false);
  EXPECT_TRUE(probeOnWorker.load());
}

}  // namespace
