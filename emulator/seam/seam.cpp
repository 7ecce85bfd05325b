// The libc seam of the box. These definitions live in the executable and are
// exported (exports.list), so the plug-in, the host library and every other
// library resolve the calls here first. Box paths (/var/tuxbox/...) go under the
// box root, the two DVB devices to the emulated tuner; everything else passes
// through to the next definition (a sanitizer's interceptor or libc).
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "emulator/seam/fd_table.h"
#include "emulator/tuner/box.h"
#include "emulator/tuner/device.h"

using emu::seam::fdTable;

namespace {

template <class F>
F nextDefinition(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
// The next definition of a function, looked up once; fails the call without one.
#define REAL(name, type, failure)                                 \
  static const auto real_##name = nextDefinition<type>(#name);   \
  if (!real_##name) {                                             \
    errno = ENOSYS;                                               \
    return failure;                                               \
  }

using OpenFn = int (*)(const char*, int, ...);
using Open2Fn = int (*)(const char*, int);
using OpenatFn = int (*)(int, const char*, int, ...);
using CloseFn = int (*)(int);
using IoctlFn = int (*)(int, unsigned long, ...);
using FopenFn = FILE* (*)(const char*, const char*);
using RenameFn = int (*)(const char*, const char*);
using PathFn = int (*)(const char*);

bool absolute(const char* path) { return path && path[0] == '/'; }

bool needsMode(int flags) { return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE; }

bool writes(int flags) {
  return (flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC | O_APPEND));
}
bool writes(const char* mode) { return mode && (strchr(mode, 'w') || strchr(mode, 'a') || strchr(mode, '+')); }

bool inPluginFolder(const std::string& box_path) {
  static const char kPlugins[] = "/var/tuxbox/plugins";
  size_t n = sizeof kPlugins - 1;
  return box_path.compare(0, n, kPlugins) == 0 && (box_path.size() == n || box_path[n] == '/');
}

// What the seam does with one path.
struct Route {
  emu::DeviceKind device = emu::DeviceKind::None;
  bool mapped = false;
  std::string box_path;   // folded, when mapped
  std::string real;       // the path to use, when mapped
};

Route route(const char* path) {
  Route r;
  if (!path || path[0] != '/') return r;
  r.device = emu::deviceAt(path);
  if (r.device != emu::DeviceKind::None) return r;
  r.box_path = emu::Box::boxPath(path);
  if (!r.box_path.empty()) {
    r.mapped = true;
    r.real = emu::box().root() + r.box_path;
  }
  return r;
}

// The fault plan's verdict on a box file; 0 lets the call go on.
int fileFault(const Route& r, bool writing) {
  emu::Box& b = emu::box();
  if (writing && b.faults().killsAt(r.box_path)) raise(SIGKILL);
  if (writing && inPluginFolder(r.box_path))
    if (int e = b.faults().readOnlyPlugins()) return e;
  return b.faults().openError(r.box_path);
}

int openDevice(emu::DeviceKind kind, int flags) {
  int err = 0;
  emu::Device* d = emu::openDevice(kind, flags, &err);
  if (!d) {
    errno = err;
    return -1;
  }
  int efd_flags = ((flags & O_CLOEXEC) ? EFD_CLOEXEC : 0) | ((flags & O_NONBLOCK) ? EFD_NONBLOCK : 0);
  int fd = eventfd(0, efd_flags);   // a real descriptor, so the number is unique
  if (fd < 0) {
    int e = errno;
    emu::closeDevice(d);
    errno = e;
    return -1;
  }
  if (!fdTable().attach(fd, d)) {
    static const auto real_close = nextDefinition<CloseFn>("close");
    if (real_close) real_close(fd);
    emu::closeDevice(d);
    errno = EMFILE;
    return -1;
  }
  return fd;
}

// A real descriptor came back with a number the table still holds: its device
// was closed behind the seam's back (dup2, close_range). Forget it.
int fresh(int fd) {
  if (fd >= 0) fdTable().forget(fd);
  return fd;
}

FILE* fresh(FILE* f) {
  if (f) fresh(fileno(f));
  return f;
}

template <class Real>
int openVia(Real real, const char* path, int flags, mode_t mode) {
  Route r = route(path);
  if (r.device != emu::DeviceKind::None) return openDevice(r.device, flags);
  if (r.mapped) {
    if (int e = fileFault(r, writes(flags))) {
      errno = e;
      return -1;
    }
    return fresh(real(r.real.c_str(), flags, mode));
  }
  return fresh(real(path, flags, mode));
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (needsMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  REAL(open, OpenFn, -1);
  return openVia([](const char* p, int f, mode_t m) { return real_open(p, f, m); }, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (needsMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  REAL(open64, OpenFn, -1);
  return openVia([](const char* p, int f, mode_t m) { return real_open64(p, f, m); }, path, flags, mode);
}

int __open_2(const char* path, int flags) {
  REAL(__open_2, Open2Fn, -1);
  return openVia([](const char* p, int f, mode_t) { return real___open_2(p, f); }, path, flags, 0);
}

int __open64_2(const char* path, int flags) {
  REAL(__open64_2, Open2Fn, -1);
  return openVia([](const char* p, int f, mode_t) { return real___open64_2(p, f); }, path, flags, 0);
}

int openat(int dirfd, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (needsMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  REAL(openat, OpenatFn, -1);
  if (!absolute(path)) return fresh(real_openat(dirfd, path, flags, mode));
  return openVia([dirfd](const char* p, int f, mode_t m) { return real_openat(dirfd, p, f, m); }, path, flags,
                 mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (needsMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  REAL(openat64, OpenatFn, -1);
  if (!absolute(path)) return fresh(real_openat64(dirfd, path, flags, mode));
  return openVia([dirfd](const char* p, int f, mode_t m) { return real_openat64(dirfd, p, f, m); }, path, flags,
                 mode);
}

int close(int fd) {
  REAL(close, CloseFn, -1);
  if (emu::Device* d = fdTable().detach(fd)) emu::closeDevice(d);
  return real_close(fd);
}

int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  int r = 0;
  if (fdTable().with(fd, [&](emu::Device* d) { r = emu::deviceIoctl(d, request, arg); })) {
    if (r < 0) {
      errno = -r;
      return -1;
    }
    return r;
  }
  REAL(ioctl, IoctlFn, -1);
  return real_ioctl(fd, request, arg);
}

FILE* fopen(const char* path, const char* mode) {
  REAL(fopen, FopenFn, nullptr);
  Route r = route(path);
  if (r.mapped) {
    if (int e = fileFault(r, writes(mode))) {
      errno = e;
      return nullptr;
    }
    return fresh(real_fopen(r.real.c_str(), mode));
  }
  return fresh(real_fopen(path, mode));
}

FILE* fopen64(const char* path, const char* mode) {
  REAL(fopen64, FopenFn, nullptr);
  Route r = route(path);
  if (r.mapped) {
    if (int e = fileFault(r, writes(mode))) {
      errno = e;
      return nullptr;
    }
    return fresh(real_fopen64(r.real.c_str(), mode));
  }
  return fresh(real_fopen64(path, mode));
}

int rename(const char* from, const char* to) noexcept {
  REAL(rename, RenameFn, -1);
  Route a = route(from), b = route(to);
  if (a.mapped || b.mapped) {
    int e = a.mapped ? fileFault(a, true) : 0;
    if (!e && b.mapped) e = fileFault(b, true);
    if (e) {
      errno = e;
      return -1;
    }
  }
  return real_rename(a.mapped ? a.real.c_str() : from, b.mapped ? b.real.c_str() : to);
}

int remove(const char* path) noexcept {
  REAL(remove, PathFn, -1);
  Route r = route(path);
  if (r.mapped) {
    if (int e = fileFault(r, true)) {
      errno = e;
      return -1;
    }
    return real_remove(r.real.c_str());
  }
  return real_remove(path);
}

int unlink(const char* path) noexcept {
  REAL(unlink, PathFn, -1);
  Route r = route(path);
  if (r.mapped) {
    if (int e = fileFault(r, true)) {
      errno = e;
      return -1;
    }
    return real_unlink(r.real.c_str());
  }
  return real_unlink(path);
}

// Sleeping is virtual: the clock moves on by the argument.
int usleep(useconds_t us) {
  emu::box().clock().sleep(us);
  return 0;
}

}  // extern "C"
