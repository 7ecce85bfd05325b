// Key scripts: remote-control keys and marks, as given with --keys.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

struct KeyScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ScriptStep {
  enum Kind { Key, Wait, Until, Shot } kind = Key;
  int key = 0;            // Key: the eRCKey code
  std::string name;       // Key: its name; Until: the text; Shot: the file (empty: --screenshot's)
  int waitMs = 0;         // Wait
  double boundS = 0;      // Until: its own bound in seconds, 0 for the default
};

// Names of the remote-control keys, in the order of their codes.
const std::vector<std::string>& keyNames();
// The code of a key name, or -1.
int keyCode(const std::string& name);

// Parses a script; throws KeyScriptError naming the bad word (an unknown key
// brings the list of keys).
std::vector<ScriptStep> parseKeyScript(const std::string& script);

}  // namespace app
