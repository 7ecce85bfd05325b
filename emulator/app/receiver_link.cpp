// Until the emulated receiver's services are in, the receiver stays where the
// scenario tunes it and nothing is reported as handed over.
#include "emulator/app/receiver_link.h"

#include "emulator/app/box_setup.h"
#include "emulator/app/commands.h"
#include "emulator/tuner/box.h"

namespace app {

void tuneReceiverTo(int orbitalPosition) {
  const emu::Scenario& sc = emu::box().scenario();
  if (sc.tuned.frequency_khz && sc.tuned.orbital_position != orbitalPosition)
    throw SetupError(kExitFailure, "retuning the receiver to another satellite is not available yet");
}

std::vector<HandOver> handedOver() { return {}; }

void handOverCounts(int& transponders, int& services) { transponders = services = 0; }

}  // namespace app
