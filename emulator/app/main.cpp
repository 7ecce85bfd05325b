// scrutafasci-emu: the emulated receiver that loads and drives the plug-in.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "emulator/app/commands.h"
#include "emulator/app/options.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  app::Options o;
  try {
    o = app::parseOptions(args);
  } catch (const app::UsageError& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return app::kExitUsage;
  }
  try {
    switch (o.command) {
      case app::Command::Help:
        std::fputs(app::usageText().c_str(), stdout);
        return app::kExitOk;
      case app::Command::Run: return app::runCommand(o.run);
      case app::Command::Band: return app::bandCommand(o.band);
      case app::Command::Scan: return app::scanCommand(o.scan);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return app::kExitFailure;
  }
  return app::kExitFailure;
}
