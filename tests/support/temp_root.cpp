#include "support/temp_root.h"

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

#include "emulator/tuner/box.h"

namespace testsupport {

namespace {
int removeOne(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }
}  // namespace

TempRoot::TempRoot() {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/scrutafasci-root-XXXXXX";
  char* made = mkdtemp(&pattern[0]);
  if (!made) throw std::runtime_error("cannot make a temporary box root");
  path_ = made;
  previous_ = emu::box().root();
  emu::box().setRoot(path_);
  if (!emu::box().prepareRoot()) throw std::runtime_error("cannot prepare the box root " + path_);
}

TempRoot::~TempRoot() {
  emu::box().setRoot(previous_);
  nftw(path_.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS);
}

std::string TempRoot::plugins(const std::string& name) const {
  return path_ + "/var/tuxbox/plugins" + (name.empty() ? "" : "/" + name);
}

}  // namespace testsupport
