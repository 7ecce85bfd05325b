// Files of one test: a fresh temporary folder, whole-file reads and writes.
#pragma once
#include <string>

namespace testsupport {

// A fresh folder under $TMPDIR (or /tmp) named after tag; the caller removes it with removeTree.
std::string makeTempDir(const std::string& tag);
void removeTree(const std::string& dir);
std::string readFile(const std::string& path);   // "" when it cannot be read
void writeFile(const std::string& path, const std::string& content);   // throws when it cannot

}  // namespace testsupport
