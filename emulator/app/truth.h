// What a scan should have found: the band's carriers against the settings and
// the hand-overs the plug-in made. Whether a carrier locks at a setting is asked
// of the tuner model (LockOracle); why a lockable carrier was missed is read from
// what the scan did (the tuner's attempts, the skip list, how the scan ended).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "emulator/app/options.h"
#include "emulator/scenario/scenario.h"
#include "emulator/tuner/tuner.h"

namespace app {

// What the tuner model makes of a host tuning of the scanned satellite.
struct LockAnswer {
  int carrier = -1;          // the candidate carrier (index in the satellite's carriers), -1 none
  bool inCapture = false;    // the tuning lies within the candidate's capture range
  bool locks = false;        // the model locks the candidate there
  double esnoDb = -99;       // the candidate's Es/N0 with its neighbours
};
struct LockOracle {
  std::function<LockAnswer(uint32_t freqKhz, int polarisation, uint32_t srSps)> at;
  // Bounds of the search for a locking setting (the model decides within them):
  // rates further from a carrier's than this share are not asked, nor frequencies
  // further than its half band plus this.
  double rateShare = 0.01;
  double freqMarginKhz = 5000;
};

// The oracle of a tuner: Tuner::evaluate at the satellite's position.
LockOracle tunerOracle(const emu::Tuner& tuner, const emu::Scenario& scenario, int orbitalPosition);

// What the scan did, as far as the reasons of a miss need it.
struct ScanTrace {
  std::vector<emu::AttemptRecord> attempts;   // the tuner's attempts during the scan
  std::vector<int> skipMHz;                   // the skip list of the satellite and polarisation
  bool finished = true;                       // false: stopped before its end
};

// Why a lockable carrier was missed: a fixed set, each read from the trace.
enum class MissReason {
  ScanStopped,          // the scan was stopped before it
  NoPlateau,            // the 2000 kS/s AGC readings showed no plateau of two or more MHz over it
  PlateauOpenAtEnd,     // its plateau was still open when the range ended
  SharedPlateau,        // its plateau covers a neighbour too: one centre is tried per plateau
  OnSkipList,           // the plateau's centre lies within 2 MHz of a skip-list entry
  NoKnownRate,          // no known symbol rate of the search's range locks it
  RateOutsideSweep,     // its rates lie outside the swept range or past its end
  StepsPastWindow,      // tuned on it, but the symbol-rate steps went past its timing window
  NotInCapture,         // no tried frequency lies within its capture range
  SnrBelowThreshold,    // set where it locks, but the SNR stayed below the threshold
  LockNotRead,          // set where it locks, but no status read showed the lock
  LockedNotHandedOver,  // a status read showed the lock, but no hand-over followed
};
const char* missReasonName(MissReason r);   // short key, e.g. "shared-plateau"
const char* missReasonText(MissReason r);   // one line for people

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
  int index = -1;                  // in the satellite's carriers
  bool lockable = false;
  int lockMHz = 0, lockKsps = 0;   // a setting of the range at which the model locks it
  std::string why;                 // not lockable: why not; missed: the reason's text
  bool missed = false;
  MissReason reason = MissReason::ScanStopped;   // valid when missed
  int foundBy = -1;                // index of the first hand-over that reaches it
};

struct Truth {
  std::string rule;                // the lockable rule, in words, for the report
  std::vector<TruthCarrier> inRange;
  int dvbs2InRange = 0;            // carriers the DVB-S demodulator never locks
  int lockable = 0, found = 0, foundLockable = 0, missed = 0;
  double recall = 0;               // foundLockable / lockable (1 when nothing is lockable)
  std::vector<int> falseHandOvers; // indices of hand-overs that reach no DVB-S carrier
  std::vector<int> repeatHandOvers;// hand-overs of a carrier already handed over
  std::vector<int> foundNotLockable;   // inRange indices: a fault of the truth when not empty
};

// The symbol rates (kS/s) the search may set, as a closed range: the window's range
// (its start only without a range) for the standard search and the search by AGC,
// 2000 to 45000 for the search by symbol rate.
std::pair<int, int> rateRangeOf(const ScanSettings& s);

// satellite: the scanned one; knownRates: the known symbol rates (kS/s) the scan started with.
Truth computeTruth(const emu::Satellite& satellite, const ScanSettings& settings,
                   const std::vector<int>& knownRates, const std::vector<HandOver>& handOvers,
                   const LockOracle& oracle, const ScanTrace& trace = ScanTrace());

// Reads a known symbol-rate file as the plug-in does (values 1001 to 44999, at most 100).
std::vector<int> readKnownRates(const std::string& path);
// The entries of one satellite and polarisation (0 H, 1 V) of a skip-frequency file, MHz.
std::vector<int> readSkipList(const std::string& path, int orbitalPosition, int polarisation);

}  // namespace app
