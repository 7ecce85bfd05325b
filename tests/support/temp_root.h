// A temporary box root for one test: made under the build tree's temporary
// folder, given to the box, removed with everything in it at the end.
#pragma once
#include <string>

namespace testsupport {

class TempRoot {
public:
  TempRoot();
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;
  const std::string& path() const { return path_; }
  // <root>/var/tuxbox/plugins/<name>
  std::string plugins(const std::string& name = "") const;

private:
  std::string path_;
  std::string previous_;
};

}  // namespace testsupport
