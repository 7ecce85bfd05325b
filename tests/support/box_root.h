// A temporary box root for one test: <root>/var/tuxbox/plugins/ with the skin
// installed, removed again when the test ends.
#pragma once
#include <string>

namespace testsupport {

class TempBoxRoot {
public:
  TempBoxRoot();                 // makes the folders and installs skin/scrutafasci.esml
  ~TempBoxRoot();                // removes the whole tree
  TempBoxRoot(const TempBoxRoot&) = delete;
  TempBoxRoot& operator=(const TempBoxRoot&) = delete;

  const std::string& root() const { return root_; }
  // The real path of a file of the plug-in's folder (/var/tuxbox/plugins/NAME on the box).
  std::string plugin(const std::string& name) const;
  void write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;   // "" when missing
  bool exists(const std::string& name) const;

private:
  std::string root_;
};

// Reads and writes whole files by real path.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

}  // namespace testsupport
