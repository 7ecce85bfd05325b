// The two DVB API v1 device nodes of the box, as the seam reaches them.
#pragma once

namespace emu {

enum class DeviceKind { None, Frontend, Sec };

// Which device a box path names ("/dev/dvb/card0/frontend0", "/dev/dvb/card0/sec0",
// after folding); None for every other path.
DeviceKind deviceAt(const char* path);

// One open of a device. Owned by the seam between openDevice and closeDevice.
struct Device;

// Opens the device for the given open() flags; nullptr with *err set (the fault
// plan's errno, or ENODEV for None).
Device* openDevice(DeviceKind kind, int flags, int* err);
// One request: 0 or -errno. Implemented requests reach the tuner; known requests
// the driver does not support give EOPNOTSUPP, unknown ones ENOTTY (each logged once).
int deviceIoctl(Device* d, unsigned long request, void* arg);
void closeDevice(Device* d);

}  // namespace emu
