// What the emulated frontend was asked, in order, with the tuning each request met:
// the readings as the plug-in saw them (spectrum CSV, checks of a search). Off until
// enabled; while off a request pays one relaxed atomic load.
//
//   emu::RequestLog& log = emu::box().tuner().requests();
//   log.clear();
//   log.enable(true);
//   ... the scan ...
//   for (const emu::RequestRecord& r : log.records()) if (r.origin != emu::RequestOrigin::Host) ...
//
// Requests are those that reach the tuner: through the device nodes (ioctl), through the
// host's eFrontend object, and the host's own calls (its tune() helper, its service scan).
// Requests refused before the tuner (unknown, unsupported, injected faults, EPERM) are
// not recorded.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "emulator/scenario/scenario.h"

namespace emu {

// Who asked. The device dispatch and the host's eFrontend mark their calls with a
// RequestOriginScope; anything else counts as Host.
enum class RequestOrigin : uint8_t { Device, Frontend, Host };
const char* originName(RequestOrigin o);   // "device", "frontend", "host"

struct RequestRecord {
  uint64_t time_us = 0;          // box time the tuner served the request at
  const char* request = "";      // "FE_READ_SIGNAL_STRENGTH", ..., "SEC_SET_TONE"; "tune" for the host helper
  // Readings: what was returned (status bits, strength, SNR, BER, blocks; FE_GET_FRONTEND:
  // the Frequency field, IF kHz). Settings: what was asked (FE_SET_FRONTEND: IF kHz;
  // SEC_SET_VOLTAGE / SEC_SET_TONE: the value; SEC_SEND_SEQUENCE: the switch port after
  // it; tune: the dish frequency in kHz).
  int64_t value = 0;
  int result = 0;                // 0 or -errno
  uint32_t status = 0;           // the FE_READ_STATUS bits at time_us (costs no time, draws nothing)
  // The tuning after the request: the transponder frequency it stands for (nominal LO of
  // the band +- IF; 0 before any FE_SET_FRONTEND), the symbol rate as set.
  double frequency_mhz = 0;
  double symbol_rate_ksps = 0;
  int orbital_position = 0;      // of the satellite on the selected switch port, if any
  Polarisation polarisation = Polarisation::Horizontal;   // by the voltage
  bool on_satellite = false;     // a satellite sits on the selected switch port
  bool powered = false;          // LNB supply on (13 or 18 V)
  bool high_band = false;        // 22 kHz tone on
  RequestOrigin origin = RequestOrigin::Host;
};   // 64 bytes: a scan of the whole band takes some 200 000 readings

class RequestLog {
public:
  void enable(bool on) { on_.store(on, std::memory_order_relaxed); }
  bool enabled() const { return on_.load(std::memory_order_relaxed); }
  void clear();
  void add(const RequestRecord& r);
  std::vector<RequestRecord> records() const;   // a copy, in the order served
  // Each record in order without copying them all; the log is locked meanwhile, so f must
  // not make requests.
  void visit(const std::function<void(const RequestRecord&)>& f) const;
  size_t size() const;

private:
  std::atomic<bool> on_{false};
  mutable std::mutex mutex_;
  std::vector<RequestRecord> records_;
};

// Marks the requests made by this thread while it lives (nests; restores on exit).
class RequestOriginScope {
public:
  explicit RequestOriginScope(RequestOrigin o);
  ~RequestOriginScope();
  RequestOriginScope(const RequestOriginScope&) = delete;
  RequestOriginScope& operator=(const RequestOriginScope&) = delete;
  static RequestOrigin current();

private:
  RequestOrigin previous_;
};

}  // namespace emu
