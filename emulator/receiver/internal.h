// The receiver's state shared by its files: the lists built from the box's scenario, where
// it is tuned, the mode, and the records of hand-overs and reports.
#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>
#include <host/dvb/dvb.h>
#include <host/gui/ebase.h>
#include <emulator/receiver/receiver.h>
#include <emulator/scenario/scenario.h>

namespace emu::rx {

// A service reference's identity: DVB namespace, transport stream, original network, service id.
using ServiceKey = std::tuple<int, int, int, int>;

struct ServiceEntry {
  eServiceDVB record;
  eServiceReferenceDVB ref;
  int satellite = -1, carrier = -1;   // indices into the scenario
  bool known = false;                 // in the receiver's lists (searchService finds it)
};

struct SatelliteRecord {
  eLNB lnb;
  eSatellite satellite;
};

// Everything below is guarded by m, except the atomics.
struct State {
  std::mutex m;
  const Scenario* scenario = nullptr;          // the box's scenario the lists were made from
  std::deque<SatelliteRecord> satellites;      // deques: records keep their addresses
  std::deque<ServiceEntry> services;
  std::map<ServiceKey, ServiceEntry*> by_key;
  std::vector<std::vector<std::vector<ServiceEntry*>>> on_carrier;   // [satellite][carrier]
  std::unique_ptr<eTransponder> current;       // where the receiver is tuned, or none
  eDVBServiceController service_controller;
  std::atomic<int> mode{eDVB::controllerService};
  std::vector<HandOver> hand_overs;
  std::vector<ReportedService> reported;
  int flushes = 0, leaves = 0;
};

State& state();

// Makes the lists again when the box holds another scenario than the one they came from.
void syncLocked(State& s);
// Makes the lists, tuning and playing service from the box's scenario.
void rebuildLocked(State& s);
// The current transponder for a carrier of the scenario.
std::unique_ptr<eTransponder> transponderFor(const Satellite& sat, const Carrier& c);
// The reference the receiver gives a service of the scenario.
eServiceReferenceDVB referenceOf(const Satellite& sat, const Carrier& c, const Service& v);
ServiceKey keyOf(const eServiceReference& ref);
// The service interface without making the lists first (for callers that hold State::m).
eServiceInterface& serviceInterface();

// The scan controller behind eDVB::getScanAPI.
class ScanController : public eDVBScanController {
public:
  ScanController();
  int addTransponder(const eTransponder& tp) override;
  void setUseONIT(int use) override { use_onit_ = use; }
  void setUseBAT(int use) override { use_bat_ = use; }
  void setNetworkSearch(int search) override { network_search_ = search; }
  void setOnlyFree(int only_free) override { only_free_ = only_free; }
  void setSkipOtherOrbitalPositions(int skip) override { skip_other_ = skip; }
  void start() override;

  // Viewing mode is back: a running scan ends without further reports; the queue is emptied.
  void abort();
  // Scan mode entered: an empty queue and the default options.
  void clear();
  bool running() const { return running_.load(); }

private:
  struct Job {
    int orbital_position;
    uint32_t frequency_khz, symbol_rate;
    Polarisation polarisation;
    int fec;
    size_t record;                    // index into State::hand_overs
  };
  void waitForCaller(uint64_t run, int polls);
  void tuneJob(uint64_t run);
  void readLock(uint64_t run);
  void reportNext(uint64_t run);
  void finishJob(uint64_t run);
  // Runs next on the main loop once `us` of virtual time have passed.
  void after(uint64_t us, uint64_t run, void (ScanController::*next)(uint64_t));
  bool current(uint64_t run) const { return run == run_.load(); }

  eTimer timer_;                      // the wall-clock waits (realtime pacing, caller polls)
  std::function<void()> timer_step_;  // what the timer runs; set and run on the main loop
  std::mutex m_;                      // queue, jobs and the step in progress
  std::vector<Job> queue_, jobs_;
  size_t job_ = 0, next_service_ = 0;
  int reads_ = 0;
  std::vector<ServiceEntry*> pending_;   // services of the locked carrier still to report
  long caller_tid_ = 0;
  std::atomic<uint64_t> run_{0};
  std::atomic<bool> running_{false};
  std::atomic<int> use_onit_{1}, use_bat_{1}, network_search_{1}, only_free_{0}, skip_other_{0};
};

ScanController& scanController();

}  // namespace emu::rx
