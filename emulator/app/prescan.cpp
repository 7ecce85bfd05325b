#include "emulator/app/prescan.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

MhzRange reachableMHz(const emu::Lnb& lnb, double ifMinKhz, double ifMaxKhz) {
  double lowFrom = lnb.lof_low_khz + ifMinKhz;
  double highTo = lnb.lof_high_khz + ifMaxKhz;
  MhzRange r;
  r.from = static_cast<int>(std::ceil(lowFrom / 1000));
  r.to = static_cast<int>(std::floor(highTo / 1000));
  return r;
}

std::vector<std::string> scanWarnings(const ScanSettings& s, MhzRange reach) {
  std::vector<std::string> w;
  char buf[400];
  if (s.fromMHz > s.toMHz) {
    std::snprintf(buf, sizeof buf,
                  "warning: the frequency range is inverted (--from %d above --to %d): the plug-in gets it as "
                  "typed; expect a scan that visits no frequency and finds nothing",
                  s.fromMHz, s.toMHz);
    w.push_back(buf);
  }
  int lo = std::min(s.fromMHz, s.toMHz), hi = std::max(s.fromMHz, s.toMHz);
  if (lo < reach.from || hi > reach.to) {
    bool none = hi < reach.from || lo > reach.to;
    std::snprintf(buf, sizeof buf,
                  "warning: %d-%d MHz lies %s the %d-%d MHz this LNB and tuner reach: the tuner refuses "
                  "those frequencies, so %s",
                  lo, hi, none ? "wholly outside" : "partly outside", reach.from, reach.to,
                  none ? "expect nothing to be found"
                       : "expect nothing found beyond the band's edges");
    w.push_back(buf);
  }
  if (s.srFrom > s.srTo) {
    std::snprintf(buf, sizeof buf,
                  "warning: the symbol-rate range is inverted (--sr-from %d above --sr-to %d): the plug-in gets it "
                  "as typed; expect no rate to be tried and nothing found",
                  s.srFrom, s.srTo);
    w.push_back(buf);
  }
  if (s.stepMHz == 0)
    w.push_back("warning: --step 0: the plug-in gets it as typed; expect it to refuse a standard or heuristic "
                "search (\"Avviso\"), while the searches by symbol rate and by AGC step by 1 MHz anyway");
  if (s.srStep == 0 && s.srFrom != s.srTo)
    w.push_back("warning: --sr-step 0: the plug-in gets it as typed; a symbol-rate sweep may never move on, "
                "and --max-box-time / --max-wall-time will stop it");
  return w;
}

namespace {

// Makes and removes a file in dir: the one honest test of "can write here".
std::string probeFolder(const std::string& dir) {
  std::string probe = (std::filesystem::path(dir) / ".scrutafasci-write-probe-XXXXXX").string();
  std::vector<char> name(probe.begin(), probe.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return std::strerror(errno);
  close(fd);
  unlink(name.data());
  return "";
}

}  // namespace

std::string fileWriteProblem(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return "no file name";
  fs::path p(path);
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "it is a folder";
  std::string dir = p.parent_path().string();
  if (dir.empty()) dir = ".";
  if (stat(dir.c_str(), &st) != 0) return "folder " + dir + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return dir + ": " + std::strerror(ENOTDIR);
  if (std::string why = probeFolder(dir); !why.empty()) return "folder " + dir + ": " + why;
  if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) return std::strerror(errno);
  return "";
}

std::string folderWriteProblem(const std::string& dir) {
  namespace fs = std::filesystem;
  if (dir.empty()) return "no folder name";
  std::error_code ec;
  fs::create_directories(dir, ec);
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0) {
    // The real cause: the first part of the path that is missing or no folder.
    fs::path part;
    for (const auto& piece : fs::path(dir)) {
      part /= piece;
      if (stat(part.string().c_str(), &st) != 0) return part.string() + ": " + std::strerror(errno);
      if (!S_ISDIR(st.st_mode)) return part.string() + ": " + std::strerror(ENOTDIR);
    }
    return ec ? ec.message() : std::string(std::strerror(ENOENT));
  }
  if (!S_ISDIR(st.st_mode)) return std::strerror(ENOTDIR);
  return probeFolder(dir);
}

}  // namespace app
