// What the scan needs of the emulated receiver: where it is tuned, and what
// the plug-in handed to its scan controller.
#pragma once
#include <vector>

#include "emulator/app/truth.h"

namespace app {

// Tunes the receiver to a listed transponder of the satellite, as a user
// zapping to one of its channels would; throws SetupError when it cannot.
void tuneReceiverTo(int orbitalPosition);

// The transponders handed over so far, each with the services the receiver
// reported for it.
std::vector<HandOver> handedOver();

// Counts for the progress line (cheap).
void handOverCounts(int& transponders, int& services);

}  // namespace app
