// The emulated DVB-S frontend and SEC of the box: a QPSK demodulator behind a
// universal LNB and a DiSEqC committed switch, over the scenario's band.
//
// The tuner is one object shared by the two devices and by the host's services;
// every call is thread-safe. Calls that stand for a register access cost virtual
// time (knobs.h); the "peek" calls do not and are meant for tests and tools.
//
// The box that owns the tuner (scenario, clock, root, fault plan) is in box.h,
// included at the end of this header.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "emulator/scenario/scenario.h"
#include "emulator/tuner/clock.h"
#include "emulator/tuner/knobs.h"
#include "emulator/tuner/request_log.h"
#include "host/dvbapi/frontend.h"
#include "host/dvbapi/sec.h"

namespace emu {

// What the requests have set.
struct TunerState {
  secVoltage voltage = SEC_VOLTAGE_OFF;
  bool tone = false;                 // 22 kHz on: high band
  int port = 0;                      // committed switch 0..3
  int last_switch_byte = -1;         // data byte of the last committed-switch command, -1 none
  bool tuned = false;                // an FE_SET_FRONTEND has succeeded
  uint32_t if_khz = 0;               // as set
  uint32_t symbol_rate = 0;          // as set (before clamping)
  int fec = 0;                       // as set
  int inversion = INVERSION_AUTO;
  uint64_t acquisition_start_us = 0; // when the last attempt started
};

// Where a scenario carrier is: satellite index and carrier index in the scenario.
struct CarrierRef {
  int satellite = -1;
  int carrier = -1;
  bool valid() const { return satellite >= 0 && carrier >= 0; }
};

// The model's noise-free view of the current tuning (for tests, tools, the host).
struct TunerView {
  bool powered = false;              // LNB supplied and an LNB on the port
  double rf_khz = 0;                 // the dish frequency the tuned IF stands for
  double programmed_sr = 0;          // after clamping
  double rho_db = 0;                 // (signal + noise) / noise in the window
  double agc = 0;                    // strength before noise and clipping
  CarrierRef candidate;              // the nearest co-polar carrier, if any
  double offset_khz = 0;             // candidate - tuned, at the dish
  int image = 1;                     // +1: RF = LO + IF; -1: RF = LO - IF (spectrum inverted)
  bool in_capture = false;           // |offset| within the capture range of the programmed SR
  double sr_error = 1;               // |programmed - carrier| / carrier
  double esno_db = -99;              // candidate's Es/N0 with interference
  double carrier_p = 0, lock_p = 0;  // chance of CARRIER / LOCK per reading
  bool viterbi = false;
  bool lockable = false;             // the attempt ends at the lock time
  uint64_t attempt_end_us = 0;       // status reads 0 before this
  uint64_t lock_time_us = 0;
};

// A host-side tuning by dish frequency (service scans, the band command).
struct TuneRequest {
  int orbital_position = 0;          // selects the satellite and so the switch port
  uint32_t frequency_khz = 0;        // at the dish
  Polarisation polarisation = Polarisation::Horizontal;
  uint32_t symbol_rate = 0;          // symbols per second
  int fec = 0;                       // 0 = auto
  bool wait = true;                  // advance the clock to the end of the attempt
};

struct TuneOutcome {
  int error = 0;                     // 0, or the errno of the failing request
  bool locked = false;
  uint32_t status = 0;
  CarrierRef carrier;                // the carrier locked on (valid when locked)
};

// One acquisition attempt as a scan met it: where the tuner was set, what the model
// made of it and what the reads showed. Kept only while recording (for the truth).
struct AttemptRecord {               // 48 bytes: a long sweep keeps some 100 000 of them
  double rf_khz = 0;                 // dish frequency the tuned IF stands for
  double nominal_khz = 0;            // the same without the LNB's error: what the caller meant
  double programmed_sr = 0;
  CarrierRef candidate;
  Polarisation polarisation = Polarisation::Horizontal;
  uint32_t agc_sum = 0;              // strength reads: sum and count (saturating)
  uint16_t agc_reads = 0;
  uint16_t max_snr = 0;              // greatest SNR read
  bool host = false;                 // started by tune() (the host), not by a device request
  bool in_capture = false;
  bool lockable = false;
  bool lock_read = false;            // a status read showed LOCK
};

struct SweepRequest {
  int orbital_position = 0;
  Polarisation polarisation = Polarisation::Horizontal;
  uint32_t from_khz = 10700000, to_khz = 12750000, step_khz = 1000;
  uint32_t symbol_rate = 2000000;
  int readings = 4;                  // AGC and SNR readings averaged per point
  bool wait_status = false;          // wait for the end of each attempt before reading
};

struct SweepPoint {
  uint32_t frequency_khz = 0;
  uint16_t agc = 0, snr = 0;
  uint32_t status = 0;               // read after the readings (0 when the attempt runs)
};

class Tuner {
public:
  Tuner(VirtualClock& clock, const Knobs& knobs);

  // Gives the tuner the band to work on (the box calls this when it loads).
  // Clears the state; the scenario must outlive the tuner or the next reset.
  void reset(const Scenario* scenario);

  // --- the requests (each charges its cost) ------------------------------------
  int setFrontend(const FrontendParameters& p);   // 0 or -errno (EINVAL: IF outside)
  int getFrontend(FrontendParameters* p);
  int sendSequence(const secCmdSequence& seq);    // 0 or -errno
  int setVoltage(int voltage);                    // a secVoltage value; EINVAL otherwise
  int setTone(int tone);                          // a secToneMode value
  uint32_t status();
  uint16_t signalStrength();
  uint16_t snr();
  uint32_t ber();
  uint32_t uncorrectedBlocks();

  // --- host helpers --------------------------------------------------------------
  // Tunes like the box's own software: LNB of the satellite at the orbital position,
  // band, voltage, tone, DiSEqC port, then FE_SET_FRONTEND; with wait, the clock is
  // advanced to the end of the attempt and the lock is read.
  TuneOutcome tune(const TuneRequest& r);
  // The carrier the demodulator is locked on now (invalid when none).
  CarrierRef lockedCarrier();
  // Steps through a range, one tuning and `readings` AGC and SNR reads per point.
  std::vector<SweepPoint> sweep(const SweepRequest& r);

  // --- inspection without cost -------------------------------------------------
  TunerState state() const;
  TunerView peek() const;
  // What the model makes of the host tuning r (tune()'s settings), neighbours
  // included, without changing the state or the clock: the one lock rule, which
  // the truth asks too. An IF outside the window gives a view that locks nothing.
  TunerView evaluate(const TuneRequest& r) const;
  // Records every acquisition attempt from now on (clears what was kept).
  void recordAttempts(bool on);
  std::vector<AttemptRecord> attempts() const;
  std::vector<AttemptRecord> takeAttempts();      // hands the record over, keeps recording
  // The record of the requests served (off until enabled); see request_log.h.
  RequestLog& requests() { return requests_; }

private:
  struct SatelliteIndex {
    std::vector<std::pair<double, int>> by_frequency;   // Hz, carrier index
    double reach = 0;                                   // widest half occupied band, Hz
    double lo_error_khz[2] = {0, 0};                    // low band, high band
  };
  int setFrontendLocked(const FrontendParameters& p, uint64_t now);
  // Port, voltage, tone and IF of a host tuning; 0 or an errno.
  int hostStateLocked(const TuneRequest& r, TunerState* st) const;
  TunerView viewForLocked(const TunerState& st, uint64_t start) const;
  int sendSequenceLocked(const secCmdSequence& seq, uint64_t now, uint64_t* cost);
  void retuneLocked(uint64_t start);
  uint16_t strengthAtLocked(uint64_t t) const;
  uint16_t snrAtLocked(uint64_t t) const;
  uint32_t statusAtLocked(uint64_t t) const;
  bool lockAtLocked(uint64_t t) const;
  uint64_t noiseKeyLocked(uint64_t t, unsigned kind) const;
  int satelliteOnPortLocked(int port) const;
  void recordLocked(const char* request, uint64_t t, int64_t value, int result);

  VirtualClock& clock_;
  const Knobs& knobs_;
  mutable std::mutex mutex_;
  const Scenario* scenario_ = nullptr;
  std::vector<SatelliteIndex> index_;
  TunerState state_;
  TunerView view_;
  bool recording_ = false;
  bool host_tuning_ = false;         // inside tune(): attempts are the host's
  long current_record_ = -1;         // the record of the running attempt, if kept
  std::vector<AttemptRecord> records_;
  RequestLog requests_;
};

}  // namespace emu

#include "emulator/tuner/box.h"
