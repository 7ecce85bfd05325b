#include "emulator/app/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace app {

namespace {
std::string reason(const std::string& path, int e) { return path + ": " + std::strerror(e); }
}  // namespace

std::string whyNotWritable(const std::string& path) {
  if (path.empty()) return "an empty file name";
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return path + ": is a folder";
  // The same temporary file the write will use, made and removed at once.
  std::string tmp = path + ".part";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return reason(path, errno);
  ::close(fd);
  ::unlink(tmp.c_str());
  return {};
}

void writeFileAtomically(const std::string& path, const std::string& text) {
  writeFileAtomically(path, [&text](FILE* f) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); });
}

void writeFileAtomically(const std::string& path, const std::function<bool(FILE*)>& write) {
  std::string tmp = path + ".part";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + reason(path, errno));
  errno = 0;
  bool ok = write(f) && !std::ferror(f);
  int e = errno ? errno : EIO;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    e = errno;
  }
  if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
    if (ok) e = errno;
    std::remove(tmp.c_str());
    throw std::runtime_error("cannot write " + reason(path, e));
  }
}

}  // namespace app
