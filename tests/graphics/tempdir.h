// A fresh directory for the files one test writes, removed afterwards.
#pragma once
#include <filesystem>
#include <string>
#include <unistd.h>

class TempDir {
public:
  TempDir() {
    static int n = 0;
    path = std::filesystem::temp_directory_path() /
           ("scruta-graphics-" + std::to_string(getpid()) + "-" + std::to_string(n++));
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string file(const std::string& name) const { return (path / name).string(); }
  std::filesystem::path path;
};
