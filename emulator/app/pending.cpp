// Commands whose box parts have not landed yet.
#include <cstdio>

#include "emulator/app/commands.h"

namespace app {
int runCommand(const RunOptions&) { std::fprintf(stderr, "scrutafasci-emu: run is not available yet\n"); return kExitFailure; }
int bandCommand(const BandOptions&) { std::fprintf(stderr, "scrutafasci-emu: band is not available yet\n"); return kExitFailure; }
int scanCommand(const ScanOptions&) { std::fprintf(stderr, "scrutafasci-emu: scan is not available yet\n"); return kExitFailure; }
}  // namespace app
