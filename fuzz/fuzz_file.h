// The fuzz input as a file of its own (the readers open paths): under $TMPDIR, else
// in memory-backed /dev/shm so that fsync costs nothing.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include "emulator/toolkit/emu.h"

namespace fuzz {

// The plug-in's debug lines stay in the log's memory, not on the fuzzer's output.
inline const bool quietLog = (emu::setLogToStderr(false), true);

inline const std::string& folder() {
  static const std::string dir = [] {
    struct stat st {};
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    std::string d = base + "/scruta-fuzz-" + std::to_string(getpid());
    mkdir(d.c_str(), 0700);
    return d;
  }();
  return dir;
}

inline std::string path(const char* name) { return folder() + "/" + name; }

inline std::string write(const char* name, const uint8_t* data, size_t size) {
  std::string p = path(name);
  FILE* f = std::fopen(p.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return p;
}

inline std::string read(const std::string& p) {
  std::string s;
  if (FILE* f = std::fopen(p.c_str(), "rb")) {
    char b[4096];
    size_t n;
    while ((n = std::fread(b, 1, sizeof b, f)) > 0) s.append(b, n);
    std::fclose(f);
  }
  return s;
}

// A failed invariant: the message, then abort so that libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

}  // namespace fuzz
