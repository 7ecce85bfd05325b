// The loop serves due timers and posted calls in turn: neither starves the other.
#include <gtest/gtest.h>

#include <functional>

#include "emulator/toolkit/emu.h"
#include "host/gui/ebase.h"

namespace {

TEST(LoopFairness, ADueTimerFiresThroughAStreamOfPostedCalls) {
  emu::startToolkit();
  bool scattato = false;
  int giri = 0;
  eTimer timer(eApp);
  timer.timeout.connect([&] { scattato = true; });
  // Each call posts the next, as a script driving the GUI does; it stops once the
  // timer fired, or after many rounds when the timer starves.
  std::function<void()> ripeti = [&] {
    if (scattato || ++giri > 100000) {
      emu::quitLoop();
      return;
    }
    emu::post(ripeti);
  };
  timer.start(0, true);
  emu::post(ripeti);
  emu::runLoop();
  EXPECT_TRUE(scattato) << "starved for " << giri << " posted calls";
  EXPECT_LT(giri, 10);
}

TEST(LoopFairness, PostedCallsRunThroughATimerThatIsAlwaysDue) {
  emu::startToolkit();
  int scatti = 0;
  bool servito = false;
  eTimer timer(eApp);
  timer.timeout.connect([&] {
    if (servito || ++scatti > 100000) emu::quitLoop();
  });
  timer.start(0, false);   // due again at once after every tick
  emu::post([&] { servito = true; });
  emu::runLoop();
  timer.stop();
  EXPECT_TRUE(servito) << "starved for " << scatti << " ticks";
  EXPECT_LT(scatti, 10);
}

}  // namespace
