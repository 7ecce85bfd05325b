#include "support/files.h"

#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <stdio.h>

namespace testsupport {

std::string makeTempDir(const std::string& tag) {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/scrutafasci-" + tag + "-XXXXXX";
  if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp " + pattern);
  return pattern;
}

namespace {
int removeOne(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }
}  // namespace

void removeTree(const std::string& dir) { nftw(dir.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS); }

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

}  // namespace testsupport
