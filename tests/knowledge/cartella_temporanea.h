// A temporary folder per test, with whole-file read and write.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class CartellaTemporanea {
public:
  CartellaTemporanea() {
    char modello[] = "/tmp/scruta-knowledge-XXXXXX";
    char* d = mkdtemp(modello);
    if (d) dir = d;
  }
  ~CartellaTemporanea() {
    if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
  }
  std::string path(const std::string& name) const { return dir + "/" + name; }
  void write(const std::string& name, const std::string& contents) const {
    std::ofstream(path(name), std::ios::binary) << contents;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool exists(const std::string& name) const { return access(path(name).c_str(), F_OK) == 0; }
  std::string dir;
};
