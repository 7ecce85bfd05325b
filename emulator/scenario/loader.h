// Scenario files (TOML): satellites, their lists and feeds, what the receiver knows, where it is tuned.
#pragma once
#include <string>
#include <emulator/scenario/scenario.h>

namespace emu {

// Reads a scenario file and every list it names (paths relative to the file).
// Throws ScenarioError naming the file, the line and what is wrong; an unknown key is an error.
// Lines of lists that cannot be read are skipped and listed in Scenario::notes with their counts.
Scenario loadScenario(const std::string& path);

// The same from TOML text; path names it in messages and anchors relative list paths.
Scenario parseScenario(const std::string& toml_text, const std::string& path);

// The built-in scenario of the source tree.
std::string builtinScenarioPath();

}  // namespace emu
