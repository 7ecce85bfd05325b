// A temporary box root with the plug-in's skin installed, as the set-up installs
// it on the box: <root>/var/tuxbox/plugins/scrutafasci.esml.
#pragma once
#include <string>

#include "support/files.h"
#include "support/temp_root.h"

namespace testsupport {

class SkinnedRoot : public TempRoot {
public:
  SkinnedRoot();    // throws when the skin cannot be copied

  // Files of the plug-in's folder by name, on the real disk.
  void write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;   // "" when missing
  bool exists(const std::string& name) const;
};

// The skin file of the source tree.
std::string skinSource();

}  // namespace testsupport
