// Descriptor numbers of the emulated devices. A plain zero-initialised array of
// atomics: usable before any constructor has run. A device leaves the table on
// close only when no thread is inside a request on it.
#pragma once
#include <sched.h>

#include <atomic>

#include "emulator/tuner/device.h"

namespace emu::seam {

class FdTable {
public:
  static constexpr int kSize = 16384;

  // Records the device under fd; false when the number is beyond the table.
  bool attach(int fd, Device* d) {
    if (fd < 0 || fd >= kSize) return false;
    slots_[fd].device.store(d);
    return true;
  }

  // Takes the device out of the table, waiting for requests running on it.
  Device* detach(int fd) {
    if (fd < 0 || fd >= kSize || !slots_[fd].device.load()) return nullptr;
    Device* d = slots_[fd].device.exchange(nullptr);
    if (d)
      while (slots_[fd].users.load() != 0) sched_yield();
    return d;
  }

  // Drops a device whose descriptor was closed without the seam.
  void forget(int fd) {
    if (Device* d = detach(fd)) closeDevice(d);
  }

  // Runs f(device) when fd is an emulated device; false otherwise.
  template <class F>
  bool with(int fd, F&& f) {
    if (fd < 0 || fd >= kSize) return false;
    Slot& s = slots_[fd];
    if (!s.device.load()) return false;   // the common case: a real descriptor
    s.users.fetch_add(1);
    Device* d = s.device.load();
    if (d) f(d);
    s.users.fetch_sub(1);
    return d != nullptr;
  }

private:
  struct Slot {
    std::atomic<Device*> device;
    std::atomic<int> users;
  };
  Slot slots_[kSize];
};

FdTable& fdTable();

}  // namespace emu::seam
