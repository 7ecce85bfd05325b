#include "support/skinned_root.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

std::string skinSource() { return std::string(SCRUTA_SOURCE_DIR) + "/skin/scrutafasci.esml"; }

SkinnedRoot::SkinnedRoot() {
  std::error_code ec;
  fs::copy_file(skinSource(), plugins("scrutafasci.esml"), fs::copy_options::overwrite_existing, ec);
  if (ec) throw std::runtime_error("cannot install the skin into " + path() + ": " + ec.message());
}

void SkinnedRoot::write(const std::string& name, const std::string& content) const {
  writeFile(plugins(name), content);
}

std::string SkinnedRoot::read(const std::string& name) const { return readFile(plugins(name)); }

bool SkinnedRoot::exists(const std::string& name) const { return fs::exists(plugins(name)); }

}  // namespace testsupport
