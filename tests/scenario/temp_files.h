// Small files written for one test into a folder of its own.
#pragma once
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class TempDir {
public:
  TempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "scenario-test-XXXXXX").string();
    dir_ = mkdtemp(t.data()) ? t : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string write(const std::string& name, const std::string& content) const {
    std::string p = dir_ + "/" + name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }
  const std::string& path() const { return dir_; }
private:
  std::string dir_;
};

inline std::string listsDir() { return std::string(SCRUTA_SOURCE_DIR) + "/scenarios/lists"; }
