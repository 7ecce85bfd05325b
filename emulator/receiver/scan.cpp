// The scan controller: tunes each handed-over transponder on the tuner and, when it locks,
// reports its services one by one as a table read would, then tells that the scan is over.
// Every step runs on the main loop; waits are virtual time (and wall time with --realtime).
#include <emulator/receiver/internal.h>
#include <emulator/toolkit/emu.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <host/gui/eerror.h>
#include <emulator/scenario/lists.h>
#include <emulator/tuner/tuner.h>

namespace emu::rx {

namespace {

// Time a scan spends on the tables of a locked transponder (the SI repetition
// rates): the tuner's knobs host_scan_us and host_scan_per_service_us.
uint64_t tableReadUs() { return box().knobs().host_scan_us; }
uint64_t perServiceUs() { return box().knobs().host_scan_per_service_us; }
// Status reads while waiting for a lock after the acquisition attempt.
constexpr int kLockReads = 3;
constexpr uint64_t kLockReadGapUs = 20000;
// How long the scan waits for the thread that started it to end (wall time, 1 ms polls).
constexpr int kCallerPolls = 5000;

bool threadAlive(long tid) {
  std::string p = "/proc/self/task/" + std::to_string(tid);
  return access(p.c_str(), F_OK) == 0;
}

}  // namespace

ScanController& scanController() {
  static ScanController* c = new ScanController;   // never destroyed: steps may still be queued
  return *c;
}

ScanController::ScanController() : timer_(eApp) {
  timer_.timeout.connect([this] {
    auto step = std::move(timer_step_);
    timer_step_ = nullptr;
    if (step) step();
  });
}

int ScanController::addTransponder(const eTransponder& tp) {
  HandOver h;
  h.orbital_position = tp.satellite.orbital_position;
  h.frequency_khz = tp.satellite.frequency;
  h.symbol_rate = tp.satellite.symbol_rate;
  h.polarisation = tp.satellite.polarisation ? Polarisation::Vertical : Polarisation::Horizontal;
  h.fec = tp.satellite.fec;
  State& s = state();
  size_t record;
  {
    std::lock_guard<std::mutex> l(s.m);
    syncLocked(s);
    if (s.mode.load() != eDVB::controllerScan) h.why = "not in scan mode";
    else if (running_.load()) h.why = "a scan is running";
    else if (!tp.satellite.valid) h.why = "no satellite data";
    else if (tp.satellite.frequency < kBandLowKhz || tp.satellite.frequency > kBandHighKhz) h.why = "outside the band";
    else if (!box().scenario().satelliteAt(tp.satellite.orbital_position)) h.why = "unknown orbital position";
    else if (tp.satellite.polarisation != 0 && tp.satellite.polarisation != 1) h.why = "unknown polarisation";
    else if (tp.satellite.symbol_rate == 0) h.why = "no symbol rate";
    h.accepted = h.why.empty();
    s.hand_overs.push_back(h);
    record = s.hand_overs.size() - 1;
  }
  if (!h.accepted) {
    eDebug("receiver: transponder %u kHz refused: %s", h.frequency_khz, h.why.c_str());
    return 0;
  }
  std::lock_guard<std::mutex> q(m_);
  queue_.push_back({h.orbital_position, h.frequency_khz, h.symbol_rate, h.polarisation, h.fec, record});
  return 1;
}

void ScanController::clear() {
  std::lock_guard<std::mutex> q(m_);
  queue_.clear();
  use_onit_ = 1;
  use_bat_ = 1;
  network_search_ = 1;
  only_free_ = 0;
  skip_other_ = 0;
}

void ScanController::start() {
  uint64_t run;
  {
    std::lock_guard<std::mutex> q(m_);
    if (running_.load()) {
      eDebug("receiver: a scan is already running");
      return;
    }
    jobs_ = std::move(queue_);
    queue_.clear();
    job_ = 0;
    run = ++run_;
    running_ = true;
    // The host's scan follows the hand-over: it begins once the thread that asked for it
    // (the plug-in's worker, which ends right after) has gone.
    caller_tid_ = emu::isGuiThread() ? 0 : static_cast<long>(syscall(SYS_gettid));
  }
  emu::post([this, run] { waitForCaller(run, 0); });
}

void ScanController::abort() {
  std::lock_guard<std::mutex> q(m_);
  queue_.clear();
  ++run_;
  if (!running_.exchange(false)) return;
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  if (job_ < jobs_.size() && jobs_[job_].record < s.hand_overs.size()) {
    HandOver& h = s.hand_overs[jobs_[job_].record];
    h.aborted = true;
    h.ended_us = box().clock().now();
  }
  jobs_.clear();
  pending_.clear();
  timer_.stop();
}

void ScanController::after(uint64_t us, uint64_t run, void (ScanController::*next)(uint64_t)) {
  if (!box().clock().realtime()) {
    box().clock().advance(us);
    emu::post([this, run, next] { (this->*next)(run); });
    return;
  }
  // A box clock that moves by itself (a window's tempo) has already covered part of the wait.
  uint64_t end = box().clock().now() + us;
  timer_step_ = [this, run, next, end] {
    box().clock().advanceTo(end);
    (this->*next)(run);
  };
  timer_.start(static_cast<long>((us + 999) / 1000), true);
}

void ScanController::waitForCaller(uint64_t run, int polls) {
  long tid;
  {
    std::lock_guard<std::mutex> q(m_);
    if (!current(run)) return;
    tid = caller_tid_;
  }
  if (tid && threadAlive(tid) && polls < kCallerPolls) {
    timer_step_ = [this, run, polls] { waitForCaller(run, polls + 1); };
    timer_.start(1, true);
    return;
  }
  if (tid && polls >= kCallerPolls) eDebug("receiver: the thread that started the scan still runs; scanning anyway");
  tuneJob(run);
}

void ScanController::tuneJob(uint64_t run) {
  TuneRequest r;
  bool nothing = false;
  {
    std::lock_guard<std::mutex> q(m_);
    if (!current(run)) return;
    nothing = job_ >= jobs_.size();
    if (nothing) running_ = false;
  }
  if (nothing) {   // started with nothing to scan: over at once
    eDVB::instance->stateChanged(eDVBState(eDVBState::stateIdle));
    return;
  }
  {
    std::lock_guard<std::mutex> q(m_);
    if (!current(run) || job_ >= jobs_.size()) return;
    const Job& j = jobs_[job_];
    r.orbital_position = j.orbital_position;
    r.frequency_khz = j.frequency_khz;
    r.polarisation = j.polarisation;
    r.symbol_rate = j.symbol_rate;
    r.fec = j.fec;
    r.wait = false;
    reads_ = 0;
    State& s = state();
    std::lock_guard<std::mutex> l(s.m);
    HandOver& h = s.hand_overs[j.record];
    h.scanned = true;
    h.started_us = box().clock().now();
  }
  TuneOutcome o = box().tuner().tune(r);
  if (o.error) {
    eDebug("receiver: scan: tuning %u kHz failed (%d)", r.frequency_khz, o.error);
    finishJob(run);
    return;
  }
  uint64_t end = box().tuner().peek().attempt_end_us, now = box().clock().now();
  after(end > now ? end - now : 0, run, &ScanController::readLock);
}

void ScanController::readLock(uint64_t run) {
  {
    std::lock_guard<std::mutex> q(m_);
    if (!current(run)) return;
  }
  uint32_t status = box().tuner().status();
  CarrierRef ref = box().tuner().peek().candidate;
  if (!(status & FE_HAS_LOCK) || !ref.valid()) {
    std::lock_guard<std::mutex> q(m_);
    if (++reads_ < kLockReads) {
      after(kLockReadGapUs, run, &ScanController::readLock);
      return;
    }
  } else {
    State& s = state();
    std::lock_guard<std::mutex> q(m_);
    std::lock_guard<std::mutex> l(s.m);
    if (s.scenario != &box().scenario()) {
      eDebug("receiver: the scenario changed under the scan");
    } else if (ref.satellite < static_cast<int>(s.on_carrier.size()) &&
               ref.carrier < static_cast<int>(s.on_carrier[ref.satellite].size())) {
      const Carrier& c = box().scenario().satellites[ref.satellite].carriers[ref.carrier];
      HandOver& h = s.hand_overs[jobs_[job_].record];
      h.locked = true;
      h.carrier_khz = c.frequency_khz;
      h.carrier_listed = c.listed;
      pending_ = s.on_carrier[ref.satellite][ref.carrier];
      next_service_ = 0;
      if (pending_.empty())
        after(tableReadUs(), run, &ScanController::finishJob);
      else
        after(tableReadUs() + perServiceUs(), run, &ScanController::reportNext);
      return;
    }
  }
  finishJob(run);
}

void ScanController::reportNext(uint64_t run) {
  eServiceReferenceDVB ref;
  bool is_new = false, more = false;
  {
    std::lock_guard<std::mutex> q(m_);
    if (!current(run) || next_service_ >= pending_.size()) return;
    State& s = state();
    std::lock_guard<std::mutex> l(s.m);
    ServiceEntry* e = pending_[next_service_++];
    more = next_service_ < pending_.size();
    // Found by a scan, the service is in the receiver's lists from now on.
    is_new = !e->known;
    e->known = true;
    ref = e->ref;
    const Satellite& sat = box().scenario().satellites[e->satellite];
    const Carrier& c = sat.carriers[e->carrier];
    ReportedService r;
    r.hand_over = static_cast<int>(jobs_[job_].record);
    r.orbital_position = sat.orbital_position;
    r.carrier_khz = c.frequency_khz;
    r.polarisation = c.polarisation;
    r.symbol_rate = c.symbol_rate;
    r.carrier_listed = c.listed;
    r.name = e->record.service_name;
    r.provider = e->record.service_provider;
    r.service_type = e->record.service_type;
    r.service_id = ref.getServiceID();
    r.transport_stream_id = ref.getTransportStreamID();
    r.original_network_id = ref.getOriginalNetworkID();
    r.is_new = is_new;
    r.at_us = box().clock().now();
    s.reported.push_back(std::move(r));
    HandOver& h = s.hand_overs[jobs_[job_].record];
    ++h.services;
    h.new_services += is_new;
  }
  eTransponderList::instance->service_found(ref, is_new);
  if (more)
    after(perServiceUs(), run, &ScanController::reportNext);
  else
    finishJob(run);
}

void ScanController::finishJob(uint64_t run) {
  {
    std::lock_guard<std::mutex> q(m_);
    if (!current(run)) return;
    State& s = state();
    {
      std::lock_guard<std::mutex> l(s.m);
      if (job_ < jobs_.size()) s.hand_overs[jobs_[job_].record].ended_us = box().clock().now();
    }
    pending_.clear();
    if (++job_ < jobs_.size()) {
      emu::post([this, run] { tuneJob(run); });
      return;
    }
    jobs_.clear();
    running_ = false;
  }
  eDVB::instance->stateChanged(eDVBState(eDVBState::stateIdle));
}

}  // namespace emu::rx
