// Runs the built scrutafasci-emu as a child process and collects what it says.
#pragma once
#include <string>
#include <vector>

#include "support/files.h"

namespace apptest {

struct EmuRun {
  int status = -1;          // exit status; 128 + signal when killed
  std::string out, err;
};

// Runs SCRUTA_EMU_PATH with args; HOME and XDG_STATE_HOME point into home so
// that no run touches the user's own state folder. Killed after timeoutS.
EmuRun runEmu(const std::vector<std::string>& args, const std::string& home, double timeoutS = 120,
              const std::string& input = "");

// In a forked child: HOME and XDG_STATE_HOME into home, then SCRUTA_EMU_PATH with args.
[[noreturn]] void execEmu(const std::vector<std::string>& args, const std::string& home);

using testsupport::makeTempDir;
using testsupport::readFile;
using testsupport::removeTree;
using testsupport::writeFile;

}  // namespace apptest
