// The bracket that parks the GUI thread while the worker runs a message box.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "emulator/toolkit/emu.h"
#include "host/gui/ebase.h"
#include "scan/loop_for_thread.h"

namespace {

// Runs the GUI loop on this thread until fine() holds (or a generous guard passes).
void serveFinche(const std::function<bool()>& fine) {
  eTimer controllo(eApp);
  int giri = 0;
  controllo.timeout.connect([&] {
    if (fine() || ++giri > 5000) emu::quitLoop();
  });
  controllo.start(2, false);
  emu::runLoop();
  controllo.stop();
  EXPECT_TRUE(fine());
}

TEST(LoopForThread, ParksTheGuiThreadForTheWholeBracket) {
  emu::startToolkit();
  loopForThread l;
  std::atomic<int> cicli{0}, parcheggiato{0};
  std::thread worker([&] {
    for (int i = 0; i < 5; ++i) {
      if (!l.waitForEnterLoop()) return;
      parcheggiato += l.nelLoop.load();   // the GUI thread sits in dummyLoop now
      l.waitForExitLoop();
      ++cicli;
    }
  });
  serveFinche([&] { return cicli == 5; });
  worker.join();
  EXPECT_EQ(cicli, 5);
  EXPECT_EQ(parcheggiato, 5);
  EXPECT_EQ(l.nelLoop, 0);
  EXPECT_EQ(l.loopTerminato, 1);
}

TEST(LoopForThread, AWorkerThatIsToldToStopGivesUpWaitingForTheGuiThread) {
  emu::startToolkit();
  loopForThread l;
  std::atomic<int> continua{1};
  std::atomic<int> esito{-1};
  // The GUI thread is busy elsewhere (here: this test) and cannot come.
  std::thread worker([&] { esito = l.waitForEnterLoop(&continua); });
  continua = 0;
  worker.join();
  EXPECT_EQ(esito, 0);
  // A tick already under way when the worker gave up reaches dummyLoop late: it
  // finds nobody waiting and returns without parking the GUI thread.
  std::atomic<int> tornato{0};
  std::thread tardivo([&] {
    l.dummyLoop();
    tornato = 1;
  });
  const bool subito = emu::waitUntil([&] { return tornato == 1; }, 5000);
  if (!subito) l.richiestaUscita = 1;   // parked for nobody: let it go so the test ends
  tardivo.join();
  EXPECT_TRUE(subito) << "a late tick parked the GUI thread with no worker to let it go";
  EXPECT_EQ(l.nelLoop, 0);
  EXPECT_EQ(l.loopTerminato, 0);
  // The bracket still works afterwards.
  std::atomic<int> fatto{0};
  std::thread dopo([&] {
    if (l.waitForEnterLoop()) l.waitForExitLoop();
    fatto = 1;
  });
  serveFinche([&] { return fatto == 1; });
  dopo.join();
  EXPECT_EQ(l.loopTerminato, 1);
}

}  // namespace
