// The box's root folder: where /var/tuxbox/... of the box lives on this machine.
#pragma once
#include <stdexcept>
#include <string>

namespace app {

struct RootError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Refuses a root that is, or resolves through links to, this machine's /, or whose
// var/tuxbox is machineTuxbox (the machine's /var/tuxbox) itself: throws RootError.
void checkRootIsTheBoxs(const std::string& root, const std::string& machineTuxbox);

// Checks the root (above), then makes <root>/var/tuxbox/plugins and installs the skin there as
// scrutafasci.esml (always refreshed, so an edited skin takes effect).
// An empty skinSource installs no skin. Returns the absolute root.
std::string prepareRoot(const std::string& root, const std::string& skinSource);

// The skin shipped with the sources (SCRUTA_SKIN overrides).
std::string defaultSkinSource();

// <root>/var/tuxbox/plugins/<name>
std::string pluginFile(const std::string& root, const std::string& name);

}  // namespace app
