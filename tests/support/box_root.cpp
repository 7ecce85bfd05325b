#include <support/box_root.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

TempBoxRoot::TempBoxRoot() {
  std::string pattern = (fs::temp_directory_path() / "scruta-box-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(root_ + "/var/tuxbox/plugins");
  fs::create_directories(root_ + "/var/tuxbox/config");
  fs::copy_file(std::string(SCRUTA_SOURCE_DIR) + "/skin/scrutafasci.esml",
                plugin("scrutafasci.esml"), fs::copy_options::overwrite_existing);
}

TempBoxRoot::~TempBoxRoot() {
  std::error_code ec;
  fs::permissions(root_ + "/var/tuxbox/plugins", fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(root_, ec);
}

std::string TempBoxRoot::plugin(const std::string& name) const {
  return root_ + "/var/tuxbox/plugins/" + name;
}

void TempBoxRoot::write(const std::string& name, const std::string& content) const {
  writeFile(plugin(name), content);
}

std::string TempBoxRoot::read(const std::string& name) const { return readFile(plugin(name)); }

bool TempBoxRoot::exists(const std::string& name) const { return fs::exists(plugin(name)); }

}  // namespace testsupport
