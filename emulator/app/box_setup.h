// Sets up the emulated box for a command: root folder with the skin, scenario
// loaded into the box, clock pacing.
#pragma once
#include <stdexcept>
#include <string>

#include "emulator/app/options.h"
#include "emulator/scenario/scenario.h"

namespace app {

// A set-up that cannot go on; status is the process's exit status.
struct SetupError : std::runtime_error {
  SetupError(int status, const std::string& what) : std::runtime_error(what), status(status) {}
  int status;
};

struct BoxSetup {
  std::string root;           // absolute
  std::string scenarioPath;
};

std::string defaultScenarioPath();

// Reads the scenario of the options (the seed applied); throws SetupError(kExitScenario).
emu::Scenario readScenario(const BoxOptions& o, std::string* path);

// Prepares the root (with the skin when the plug-in will run) and loads the
// scenario into the box. Throws SetupError (kExitScenario for a bad root).
BoxSetup setUpBox(const BoxOptions& o, emu::Scenario scenario, const std::string& scenarioPath,
                  bool withSkin = true);
// Both of the above.
BoxSetup setUpBox(const BoxOptions& o, bool withSkin = true);

// The satellite at an orbital position of the loaded scenario; throws
// SetupError(kExitUsage) naming the satellites there are.
const emu::Satellite& satelliteOf(int orbitalPosition);

}  // namespace app
