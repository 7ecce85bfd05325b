// The three commands of scrutafasci-emu. Each returns the process's exit status.
#pragma once
#include "emulator/app/options.h"

namespace app {

// Exit statuses: 0 done; 2 a bad command line; 3 a bad scenario or box root;
// 4 a plug-in that does not load; 5 a scan or script that did not end in time;
// 6 the plug-in refused the settings or stopped otherwise; 130 interrupted by
// Ctrl-C (kExitInterrupted); 1 anything else. 2 also for an output path that
// cannot be written.
enum ExitStatus { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitScenario = 3, kExitPlugin = 4,
                  kExitTimeout = 5, kExitRefused = 6 };

int runCommand(const RunOptions& o);
int bandCommand(const BandOptions& o);
int scanCommand(const ScanOptions& o);

}  // namespace app
