#include "emulator/tuner/device.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "emulator/tuner/box.h"

namespace emu {

struct Device {
  DeviceKind kind;
  bool writable;
};

namespace {
constexpr const char kFrontendPath[] = "/dev/dvb/card0/frontend0";
constexpr const char kSecPath[] = "/dev/dvb/card0/sec0";

const char* nameOf(DeviceKind k) { return k == DeviceKind::Frontend ? "frontend0" : "sec0"; }

// Unsupported and unknown requests are worth one line each, not one per call.
void logOnce(DeviceKind kind, unsigned long request, const char* what) {
  static std::mutex m;
  static std::set<std::pair<int, unsigned long>>* seen = new std::set<std::pair<int, unsigned long>>;
  {
    std::lock_guard<std::mutex> l(m);
    if (!seen->insert({static_cast<int>(kind), request}).second) return;
  }
  char line[160];
  const char* name = requestName(request);
  if (name)
    std::snprintf(line, sizeof line, "%s: %s (0x%08lx) %s", nameOf(kind), name, request, what);
  else
    std::snprintf(line, sizeof line, "%s: request 0x%08lx %s", nameOf(kind), request, what);
  box().log(line);
}

enum class Kind { Implemented, Unsupported, Unknown };

Kind classify(DeviceKind dev, unsigned long request) {
  if (dev == DeviceKind::Frontend) {
    switch (request) {
      case FE_READ_STATUS: case FE_READ_BER: case FE_READ_SIGNAL_STRENGTH: case FE_READ_SNR:
      case FE_READ_UNCORRECTED_BLOCKS: case FE_SET_FRONTEND: case FE_GET_FRONTEND:
        return Kind::Implemented;
      case FE_GET_NEXT_FREQUENCY: case FE_GET_NEXT_SYMBOL_RATE: case FE_GET_INFO: case FE_GET_EVENT:
        return Kind::Unsupported;
      default:
        return Kind::Unknown;
    }
  }
  switch (request) {
    case SEC_SEND_SEQUENCE: case SEC_SET_TONE: case SEC_SET_VOLTAGE:
      return Kind::Implemented;
    case SEC_GET_STATUS: case SEC_RESET_OVERLOAD:
      return Kind::Unsupported;
    default:
      return Kind::Unknown;
  }
}

bool needsWrite(unsigned long request) {
  return request == FE_SET_FRONTEND || request == SEC_SEND_SEQUENCE || request == SEC_SET_TONE ||
         request == SEC_SET_VOLTAGE;
}
}  // namespace

DeviceKind deviceAt(const char* path) {
  if (!path || path[0] != '/' || !std::strstr(path, "dvb")) return DeviceKind::None;
  std::string f = foldPath(path);
  if (f == kFrontendPath) return DeviceKind::Frontend;
  if (f == kSecPath) return DeviceKind::Sec;
  return DeviceKind::None;
}

Device* openDevice(DeviceKind kind, int flags, int* err) {
  if (kind == DeviceKind::None) {
    *err = ENODEV;
    return nullptr;
  }
  if (int e = box().faults().openError(kind == DeviceKind::Frontend ? kFrontendPath : kSecPath)) {
    *err = e;
    return nullptr;
  }
  int mode = flags & O_ACCMODE;
  return new Device{kind, mode == O_WRONLY || mode == O_RDWR};
}

void closeDevice(Device* d) { delete d; }

int deviceIoctl(Device* d, unsigned long request, void* arg) {
  if (!d) return -EBADF;
  Box& b = box();
  Tuner& t = b.tuner();
  Kind k = classify(d->kind, request);
  if (k == Kind::Unknown) {
    logOnce(d->kind, request, "unknown to this driver (ENOTTY)");
    return -ENOTTY;
  }
  if (k == Kind::Unsupported) {
    logOnce(d->kind, request, "not supported by this driver (EOPNOTSUPP)");
    b.clock().advance(b.knobs().other_request_us);
    return -EOPNOTSUPP;
  }
  if (int e = b.faults().requestError(request)) {
    b.clock().advance(b.knobs().other_request_us);
    return -e;
  }
  if (needsWrite(request) && !d->writable) return -EPERM;
  RequestOriginScope origin(RequestOrigin::Device);
  // The two SEC settings take their value in place of a pointer, as in API v1.
  if (request == SEC_SET_TONE) return t.setTone(static_cast<int>(reinterpret_cast<intptr_t>(arg)));
  if (request == SEC_SET_VOLTAGE) return t.setVoltage(static_cast<int>(reinterpret_cast<intptr_t>(arg)));
  if (!arg) return -EFAULT;
  switch (request) {
    case FE_READ_STATUS: *static_cast<uint32_t*>(arg) = b.faults().statusRead(t.status()); return 0;
    case FE_READ_BER: *static_cast<uint32_t*>(arg) = t.ber(); return 0;
    case FE_READ_SIGNAL_STRENGTH: *static_cast<uint16_t*>(arg) = t.signalStrength(); return 0;
    case FE_READ_SNR: *static_cast<uint16_t*>(arg) = t.snr(); return 0;
    case FE_READ_UNCORRECTED_BLOCKS: *static_cast<uint32_t*>(arg) = t.uncorrectedBlocks(); return 0;
    case FE_SET_FRONTEND: return t.setFrontend(*static_cast<const FrontendParameters*>(arg));
    case FE_GET_FRONTEND: return t.getFrontend(static_cast<FrontendParameters*>(arg));
    case SEC_SEND_SEQUENCE: return t.sendSequence(*static_cast<const secCmdSequence*>(arg));
  }
  return -ENOTTY;
}

}  // namespace emu
