// What a scan should have found: the band's carriers against the settings and
// the hand-overs the plug-in made.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "emulator/app/options.h"
#include "emulator/scenario/scenario.h"

namespace app {

// The lock behaviour of the emulated frontend, as far as the truth needs it;
// defaults are the tuner model's figures.
struct LockModel {
  double captureFraction = 0.12;     // carrier capture: |offset| <= 0.12 * SR
  double timingPpm = 240;            // symbol-rate tolerance of the demodulator
  double lockMarginDb = -0.3;        // LOCK once Es/N0 >= QEF + margin
  double plateauEsnoDb = 5.8;        // AGC at 2000 kS/s reaches 55536 from here
  double plateauMinSrKsps = 4600;    // flat top of at least 3 MHz (0.65 * SR)
  double unlockedSnrPercent = 36;    // mean SNR percentage without lock
  // LNB local-oscillator error in kHz at a frequency; the carrier is caught at
  // tuned + error. Empty: no error.
  std::function<double(uint32_t freqKhz)> loErrorKhz;
  // The tuner's own figures when given; the defaults below otherwise.
  std::function<double(int fec)> qefDb;
  std::function<double(double esnoDb)> lockedSnrPct;
};

double qefEsnoDb(int fec);                   // quasi-error-free Es/N0 of a DVB API code rate
double lockedSnrPercent(double esnoDb);      // what the threshold is compared with when locked

struct HandOver {
  uint32_t freqKhz = 0;
  int srKsps = 0;
  int polarisation = 0;
  int orbitalPosition = 0;
  struct Service {
    std::string name, provider;
    int type = 0;
    bool isNew = false;
  };
  std::vector<Service> services;
};

struct TruthCarrier {
  const emu::Carrier* carrier = nullptr;
  bool lockable = false;
  std::string why;                 // the reason it is not lockable, or how it locks
  int foundBy = -1;                // index of the first hand-over within its capture range
};

struct Truth {
  std::string rule;                // the lockable rule, in words, for the report
  std::vector<TruthCarrier> inRange;
  int dvbs2InRange = 0;            // carriers the DVB-S demodulator never locks
  int lockable = 0, found = 0, foundLockable = 0, missed = 0;
  double recall = 0;               // foundLockable / lockable (1 when nothing is lockable)
  std::vector<int> falseHandOvers; // indices of hand-overs near no carrier
  std::vector<int> repeatHandOvers;// hand-overs of a carrier already handed over
};

// knownRates: the known symbol rates (kS/s) the scan started with.
Truth computeTruth(const emu::Satellite& satellite, const ScanSettings& settings,
                   const std::vector<int>& knownRates, const std::vector<HandOver>& handOvers,
                   const LockModel& model = LockModel());

// Reads a known symbol-rate file as the plug-in does (values 1001 to 44999, at most 100).
std::vector<int> readKnownRates(const std::string& path);

}  // namespace app
