#include "emulator/tuner/tuner.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "emulator/tuner/prng.h"
#include "emulator/tuner/rf_model.h"

namespace emu {

namespace {
bool powersLnb(secVoltage v) {
  return v == SEC_VOLTAGE_13 || v == SEC_VOLTAGE_13_5 || v == SEC_VOLTAGE_18 || v == SEC_VOLTAGE_18_5;
}
Polarisation polarisationOf(secVoltage v) {
  return (v == SEC_VOLTAGE_13 || v == SEC_VOLTAGE_13_5) ? Polarisation::Vertical : Polarisation::Horizontal;
}
double dbToLinear(double db) { return std::pow(10.0, db / 10); }
// Enum fields come from the caller's memory and may hold anything: read them raw.
template <class E>
int32_t raw(const E& field) {
  static_assert(sizeof(E) == sizeof(int32_t), "32-bit field");
  int32_t v;
  std::memcpy(&v, &field, sizeof v);
  return v;
}
uint16_t clip16(double v) { return static_cast<uint16_t>(std::clamp(std::lround(v), 0L, 65535L)); }

// Noise kinds, kept apart in the hashes.
enum : unsigned { kAgcNoise = 1, kSnrUnlocked, kSnrJitter, kCarrierDraw, kLockDraw, kBerNoise, kLockPasses };
}  // namespace

Tuner::Tuner(VirtualClock& clock, const Knobs& knobs) : clock_(clock), knobs_(knobs) {}

void Tuner::reset(const Scenario* scenario) {
  std::lock_guard<std::mutex> l(mutex_);
  scenario_ = scenario;
  index_.clear();
  if (scenario_) {
    for (const Satellite& sat : scenario_->satellites) {
      SatelliteIndex ix;
      for (size_t i = 0; i < sat.carriers.size(); ++i) {
        const Carrier& c = sat.carriers[i];
        ix.by_frequency.emplace_back(c.frequency_khz * 1e3, static_cast<int>(i));
        ix.reach = std::max(ix.reach, (1 + c.rolloff) * c.symbol_rate / 2.0);
      }
      std::sort(ix.by_frequency.begin(), ix.by_frequency.end());
      for (int band = 0; band < 2; ++band) {
        uint64_t h = hashOf({scenario_->seed, 0x10E0ull, static_cast<uint64_t>(sat.orbital_position + 10000),
                             static_cast<uint64_t>(band)});
        ix.lo_error_khz[band] = (2 * unitOf(h) - 1) * scenario_->lo_error_khz_max;
      }
      index_.push_back(std::move(ix));
    }
  }
  state_ = TunerState{};
  state_.acquisition_start_us = clock_.now();
  retuneLocked(state_.acquisition_start_us);
}

int Tuner::satelliteOnPortLocked(int port) const {
  if (!scenario_) return -1;
  for (size_t i = 0; i < scenario_->satellites.size(); ++i)
    if ((scenario_->satellites[i].diseqc_port & 3) == port) return static_cast<int>(i);
  return -1;
}

void Tuner::recordLocked(const char* request, uint64_t t, int64_t value, int result) {
  if (!requests_.enabled()) return;
  RequestRecord r;
  r.time_us = t;
  r.request = request;
  r.value = value;
  r.result = result;
  r.status = statusAtLocked(t);
  r.symbol_rate_ksps = state_.symbol_rate / 1e3;
  r.powered = powersLnb(state_.voltage);
  r.polarisation = polarisationOf(state_.voltage);
  r.high_band = state_.tone;
  r.origin = RequestOriginScope::current();
  int si = satelliteOnPortLocked(state_.port);
  if (si >= 0) {
    const Satellite& sat = scenario_->satellites[si];
    r.on_satellite = true;
    r.orbital_position = sat.orbital_position;
    if (state_.tuned) {
      // Nominal LO, as the plug-in computed the IF; an LO above the band (C band) inverts.
      double lo = state_.tone ? sat.lnb.lof_high_khz : sat.lnb.lof_low_khz;
      const auto& byf = index_[si].by_frequency;
      bool inverted = !byf.empty() && lo * 1e3 > byf.back().first;
      r.frequency_mhz = (inverted ? lo - state_.if_khz : lo + state_.if_khz) / 1e3;
    }
  }
  requests_.add(r);
}

void Tuner::retuneLocked(uint64_t start) {
  state_.acquisition_start_us = start;
  view_ = viewForLocked(state_, start);
  current_record_ = -1;
  if (!recording_ || !state_.tuned || !view_.powered) return;
  AttemptRecord r;
  r.host = host_tuning_;
  r.polarisation = polarisationOf(state_.voltage);
  r.rf_khz = view_.rf_khz;
  int si = satelliteOnPortLocked(state_.port);
  r.nominal_khz = view_.rf_khz - (si >= 0 ? index_[static_cast<size_t>(si)].lo_error_khz[state_.tone ? 1 : 0] : 0);
  r.programmed_sr = view_.programmed_sr;
  r.candidate = view_.candidate;
  r.in_capture = view_.in_capture;
  r.lockable = view_.lockable;
  records_.push_back(r);
  current_record_ = static_cast<long>(records_.size()) - 1;
}

TunerView Tuner::viewForLocked(const TunerState& st, uint64_t start) const {
  const Knobs& k = knobs_;
  const double window_rolloff = k.window_rolloff;
  TunerView v;
  v.programmed_sr = programmedSr(st.symbol_rate, k);
  int si = satelliteOnPortLocked(st.port);
  v.powered = powersLnb(st.voltage) && si >= 0;
  v.agc = k.agc_dark;
  if (v.powered && st.tuned) {
    const Satellite& sat = scenario_->satellites[si];
    const SatelliteIndex& ix = index_[si];
    Polarisation pol = polarisationOf(st.voltage);
    int band = st.tone ? 1 : 0;
    double lo = (band ? sat.lnb.lof_high_khz : sat.lnb.lof_low_khz) + ix.lo_error_khz[band];
    double xpol = dbToLinear(-k.cross_polar_db);
    auto weightOf = [&](const Carrier& c) {
      return dbToLinear(c.esno_db) * (c.polarisation == pol ? 1.0 : xpol);
    };
    double sum = 0, best = 1e300;
    for (int image : {1, -1}) {
      double rf = (lo + image * double(st.if_khz)) * 1e3;
      if (rf <= 0) continue;
      double reach = ix.reach + (1 + window_rolloff) * v.programmed_sr / 2;
      auto it = std::lower_bound(ix.by_frequency.begin(), ix.by_frequency.end(),
                                 std::make_pair(rf - reach, -1));
      for (; it != ix.by_frequency.end() && it->first <= rf + reach; ++it) {
        const Carrier& c = sat.carriers[it->second];
        double off = it->first - rf;
        sum += weightOf(c) * windowShare(off, c.symbol_rate, c.rolloff, v.programmed_sr, window_rolloff);
        if (c.polarisation == pol && std::fabs(off) < best) {
          best = std::fabs(off);
          v.candidate = {si, it->second};
          v.offset_khz = off / 1e3;
          v.image = image;
          v.rf_khz = rf / 1e3;
        }
      }
      if (image == 1) v.rf_khz = rf / 1e3;
    }
    if (v.candidate.valid() && v.image == -1)
      v.rf_khz = lo - double(st.if_khz);
    v.rho_db = 10 * std::log10(1 + sum);
    v.agc = k.agc_floor + k.agc_per_db * v.rho_db;

    if (v.candidate.valid()) {
      const Carrier& c = sat.carriers[v.candidate.carrier];
      double fc = c.frequency_khz * 1e3;
      double interference = 0;
      auto it = std::lower_bound(ix.by_frequency.begin(), ix.by_frequency.end(),
                                 std::make_pair(fc - ix.reach - (1 + c.rolloff) * c.symbol_rate / 2, -1));
      for (; it != ix.by_frequency.end() && it->first <= fc + ix.reach + (1 + c.rolloff) * c.symbol_rate / 2; ++it) {
        if (it->second == v.candidate.carrier) continue;
        const Carrier& o = sat.carriers[it->second];
        interference += weightOf(o) * windowShare(it->first - fc, o.symbol_rate, o.rolloff, c.symbol_rate, c.rolloff);
      }
      v.esno_db = c.esno_db - 10 * std::log10(1 + interference);
      v.sr_error = c.symbol_rate ? std::fabs(v.programmed_sr - c.symbol_rate) / c.symbol_rate : 1;
      double capture = k.capture_fraction * v.programmed_sr;
      v.in_capture = std::fabs(v.offset_khz * 1e3) <= capture;
      if (v.in_capture && c.system == DeliverySystem::DvbS && v.esno_db >= k.carrier_min_esno_db) {
        if (v.sr_error <= k.carrier_sr_solid)
          v.carrier_p = 1;
        else if (v.sr_error < k.carrier_sr_flicker)
          v.carrier_p = (k.carrier_sr_flicker - v.sr_error) / (k.carrier_sr_flicker - k.carrier_sr_solid);
      }
      bool fec_ok = st.fec == FEC_NONE || st.fec == FEC_AUTO || c.fec == 0 || st.fec == c.fec;
      double qef = qefDb(c.fec, k);
      v.viterbi = v.carrier_p > 0 && v.sr_error <= k.timing_tolerance && fec_ok &&
                  v.esno_db >= qef - k.viterbi_margin_db;
      if (v.viterbi) {
        double lo_edge = qef - k.lock_margin_db - k.lock_flicker_db;
        v.lock_p = std::clamp((v.esno_db - lo_edge) / (2 * k.lock_flicker_db), 0.0, 1.0);
      }
      v.lockable = v.lock_p > 0;
    }
  }
  int fec_for_time = v.candidate.valid() ? scenario_->satellites[v.candidate.satellite].carriers[v.candidate.carrier].fec : 0;
  int passes = 1 + static_cast<int>(hashOf({scenario_ ? scenario_->seed : 0, kLockPasses, start,
                                           st.if_khz, st.symbol_rate}) & 1);
  v.lock_time_us = lockTimeUs(v.programmed_sr, fec_for_time, st.fec, passes, k);
  if (!st.tuned)
    v.attempt_end_us = start;   // nothing to acquire: the status shows power only
  else
    v.attempt_end_us = start + (v.lockable ? v.lock_time_us : searchTimeoutUs(v.programmed_sr, k));
  return v;
}

uint64_t Tuner::noiseKeyLocked(uint64_t t, unsigned kind) const {
  return hashOf({scenario_ ? scenario_->seed : 0, kind, t, static_cast<uint64_t>(state_.port),
                 static_cast<uint64_t>(state_.voltage), state_.tone ? 1ull : 0ull, state_.if_khz,
                 state_.symbol_rate, static_cast<uint64_t>(state_.fec)});
}

uint32_t Tuner::statusAtLocked(uint64_t t) const {
  if (!state_.tuned) return FE_HAS_POWER;
  if (t < view_.attempt_end_us) return 0;
  uint32_t s = FE_HAS_POWER;
  if (t >= state_.acquisition_start_us + knobs_.pll_settle_us) s |= FE_TUNER_HAS_LOCK;
  if (!view_.powered) return s;
  if (view_.rho_db >= knobs_.signal_threshold_db) s |= FE_HAS_SIGNAL;
  if (view_.carrier_p > 0 && unitOf(noiseKeyLocked(t, kCarrierDraw)) < view_.carrier_p) {
    s |= FE_HAS_CARRIER;
    if (view_.viterbi) {
      s |= FE_HAS_VITERBI;
      if (view_.lock_p > 0 && unitOf(noiseKeyLocked(t, kLockDraw)) < view_.lock_p) s |= FE_HAS_SYNC | FE_HAS_LOCK;
    }
  }
  return s;
}

bool Tuner::lockAtLocked(uint64_t t) const { return (statusAtLocked(t) & FE_HAS_LOCK) != 0; }

uint16_t Tuner::strengthAtLocked(uint64_t t) const {
  return clip16(view_.agc + knobs_.agc_noise_sd * gaussianOf(noiseKeyLocked(t, kAgcNoise)));
}

uint16_t Tuner::snrAtLocked(uint64_t t) const {
  const Knobs& k = knobs_;
  double nir_unlocked = k.nir_unlocked_min +
                        (k.nir_unlocked_max - k.nir_unlocked_min) * unitOf(noiseKeyLocked(t, kSnrUnlocked));
  double unlocked = 3 * (0x5EFF - nir_unlocked);
  if (!view_.powered || !state_.tuned || !view_.candidate.valid()) return clip16(unlocked);
  const Carrier& c = scenario_->satellites[view_.candidate.satellite].carriers[view_.candidate.carrier];
  if (c.system != DeliverySystem::DvbS || view_.esno_db < k.carrier_min_esno_db) return clip16(unlocked);
  double capture = k.capture_fraction * view_.programmed_sr;
  double w = std::max(view_.sr_error / k.snr_blend_sr, std::fabs(view_.offset_khz * 1e3) / capture);
  if (w >= 1) return clip16(unlocked);
  double jitter = k.nir_jitter * (2 * unitOf(noiseKeyLocked(t, kSnrJitter)) - 1);
  double locked = 3 * (0x5EFF - (nirFor(view_.esno_db, k) + jitter));
  return clip16((1 - w) * locked + w * unlocked);
}

// --- requests ------------------------------------------------------------------

int Tuner::setFrontendLocked(const FrontendParameters& p, uint64_t now) {
  if (p.Frequency < knobs_.if_min_khz || p.Frequency > knobs_.if_max_khz) return -EINVAL;
  int32_t inversion = raw(p.Inversion), fec = raw(p.u.qpsk.FEC_inner);
  if (inversion < INVERSION_OFF || inversion > INVERSION_AUTO) return -EINVAL;
  if (fec < FEC_NONE || fec > FEC_AUTO) return -EINVAL;
  state_.tuned = true;
  state_.if_khz = p.Frequency;
  state_.inversion = inversion;
  state_.symbol_rate = p.u.qpsk.SymbolRate;
  state_.fec = fec;
  retuneLocked(now + knobs_.set_frontend_us);
  return 0;
}

int Tuner::setFrontend(const FrontendParameters& p) {
  int r;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    r = setFrontendLocked(p, t);
    recordLocked("FE_SET_FRONTEND", t, p.Frequency, r);
    clock_.advance(knobs_.set_frontend_us);
  }
  clock_.pace();
  return r;
}

int Tuner::getFrontend(FrontendParameters* out) {
  FrontendParameters p;
  std::memset(&p, 0, sizeof p);
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    p.Frequency = state_.if_khz;
    p.Inversion = static_cast<SpectralInversion>(state_.inversion);
    p.u.qpsk.SymbolRate = state_.symbol_rate;
    p.u.qpsk.FEC_inner = static_cast<CodeRate>(state_.fec);
    if (lockAtLocked(t)) {
      const Carrier& c = scenario_->satellites[view_.candidate.satellite].carriers[view_.candidate.carrier];
      double steps = std::round(view_.image * view_.offset_khz / knobs_.offset_step_khz);
      p.Frequency = static_cast<uint32_t>(std::llround(state_.if_khz + steps * knobs_.offset_step_khz));
      p.u.qpsk.SymbolRate =
          static_cast<uint32_t>(std::llround(c.symbol_rate / knobs_.sr_report_step) * knobs_.sr_report_step);
      if (c.fec) p.u.qpsk.FEC_inner = static_cast<CodeRate>(c.fec);
    }
    recordLocked("FE_GET_FRONTEND", t, p.Frequency, out ? 0 : -EFAULT);
    clock_.advance(knobs_.get_frontend_us);
  }
  clock_.pace();
  if (!out) return -EFAULT;
  *out = p;
  return 0;
}

int Tuner::sendSequenceLocked(const secCmdSequence& seq, uint64_t now, uint64_t* cost) {
  *cost = knobs_.sec_sequence_us;
  int32_t voltage = raw(seq.voltage), mini = raw(seq.miniCommand), tone_mode = raw(seq.continuousTone);
  if (voltage < SEC_VOLTAGE_OFF || voltage > SEC_VOLTAGE_18_5) return -EINVAL;
  if (mini < SEC_MINI_NONE || mini > SEC_MINI_B) return -EINVAL;
  if (tone_mode != SEC_TONE_ON && tone_mode != SEC_TONE_OFF) return -EINVAL;
  if (seq.numCommands < 0 || seq.numCommands > 64) return -EINVAL;
  if (seq.numCommands > 0 && !seq.commands) return -EFAULT;
  int port = state_.port;
  int switch_byte = state_.last_switch_byte;
  for (int i = 0; i < seq.numCommands; ++i) {
    const secCommand& c = seq.commands[i];
    switch (raw(c.type)) {
      case SEC_CMDTYPE_DISEQC:
      case SEC_CMDTYPE_DISEQC_RAW: {
        const secDiseqcCmd& d = c.u.diseqc;
        if (d.numParams > SEC_MAX_DISEQC_PARAMS) return -EINVAL;
        // Committed switch (Write N0) to any LNB or switch of the 0x1x family.
        if ((d.addr & 0xF0) == 0x10 && d.cmd == 0x38 && d.numParams >= 1) {
          port = (d.params[0] >> 2) & 3;
          switch_byte = d.params[0];
        }
        break;
      }
      case SEC_CMDTYPE_VSEC:
        break;
      case SEC_CMDTYPE_PAUSE:
        *cost += std::min<uint64_t>(c.u.pause, 10000) * 1000;
        break;
      default:
        return -EINVAL;
    }
  }
  // The tone burst after the message picks satellite A or B.
  if (mini == SEC_MINI_A) port = 0;
  if (mini == SEC_MINI_B) port = 1;
  bool tone = tone_mode == SEC_TONE_ON;
  state_.last_switch_byte = switch_byte;
  if (port != state_.port || tone != state_.tone || voltage != state_.voltage) {
    state_.port = port;
    state_.tone = tone;
    state_.voltage = static_cast<secVoltage>(voltage);
    retuneLocked(now + *cost);   // the demodulator starts again on the new signal
  }
  return 0;
}

int Tuner::sendSequence(const secCmdSequence& seq) {
  int r;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t cost = 0;
    uint64_t t = clock_.now();
    r = sendSequenceLocked(seq, t, &cost);
    recordLocked("SEC_SEND_SEQUENCE", t, state_.port, r);
    clock_.advance(cost);
  }
  clock_.pace();
  return r;
}

int Tuner::setVoltage(int v) {
  int r = 0;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t now = clock_.now();
    if (v < SEC_VOLTAGE_OFF || v > SEC_VOLTAGE_18_5) {
      r = -EINVAL;
    } else if (v != state_.voltage) {
      state_.voltage = static_cast<secVoltage>(v);
      retuneLocked(now + knobs_.sec_write_us);
    }
    recordLocked("SEC_SET_VOLTAGE", now, v, r);
    clock_.advance(knobs_.sec_write_us);
  }
  clock_.pace();
  return r;
}

int Tuner::setTone(int t) {
  int r = 0;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t now = clock_.now();
    if (t != SEC_TONE_ON && t != SEC_TONE_OFF) {
      r = -EINVAL;
    } else if ((t == SEC_TONE_ON) != state_.tone) {
      state_.tone = t == SEC_TONE_ON;
      retuneLocked(now + knobs_.sec_write_us);
    }
    recordLocked("SEC_SET_TONE", now, t, r);
    clock_.advance(knobs_.sec_write_us);
  }
  clock_.pace();
  return r;
}

uint32_t Tuner::status() {
  uint32_t s;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    s = statusAtLocked(t);
    recordLocked("FE_READ_STATUS", t, s, 0);
    if (current_record_ >= 0 && (s & FE_HAS_LOCK)) records_[static_cast<size_t>(current_record_)].lock_read = true;
    clock_.advance(knobs_.read_us);
  }
  clock_.pace();
  return s;
}

uint16_t Tuner::signalStrength() {
  uint16_t v;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    v = strengthAtLocked(t);
    recordLocked("FE_READ_SIGNAL_STRENGTH", t, v, 0);
    if (current_record_ >= 0) {
      AttemptRecord& r = records_[static_cast<size_t>(current_record_)];
      if (r.agc_reads < UINT16_MAX && r.agc_sum <= UINT32_MAX - v) {
        r.agc_sum += v;
        ++r.agc_reads;
      }
    }
    clock_.advance(knobs_.read_us);
  }
  clock_.pace();
  return v;
}

uint16_t Tuner::snr() {
  uint16_t v;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    v = snrAtLocked(t);
    recordLocked("FE_READ_SNR", t, v, 0);
    if (current_record_ >= 0) {
      AttemptRecord& r = records_[static_cast<size_t>(current_record_)];
      r.max_snr = std::max(r.max_snr, v);
    }
    clock_.advance(knobs_.read_us);
  }
  clock_.pace();
  return v;
}

uint32_t Tuner::ber() {
  uint32_t v = knobs_.ber_unlocked;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    if (lockAtLocked(t)) {
      const Carrier& c = scenario_->satellites[view_.candidate.satellite].carriers[view_.candidate.carrier];
      double rate = knobs_.ber_at_qef * std::pow(10.0, -knobs_.ber_per_db * (view_.esno_db - qefDb(c.fec, knobs_)));
      double mean = std::min(rate, 0.5) * knobs_.ber_window_bytes * 8;
      double n = mean + std::sqrt(mean) * gaussianOf(noiseKeyLocked(t, kBerNoise));
      v = static_cast<uint32_t>(std::clamp(std::llround(n), 0LL, 0xFFFFFFFELL));
    }
    recordLocked("FE_READ_BER", t, v, 0);
    clock_.advance(knobs_.read_us);
  }
  clock_.pace();
  return v;
}

uint32_t Tuner::uncorrectedBlocks() {
  uint32_t v = 0;
  {
    std::lock_guard<std::mutex> l(mutex_);
    uint64_t t = clock_.now();
    if (!lockAtLocked(t)) v = 0xFFFF;
    recordLocked("FE_READ_UNCORRECTED_BLOCKS", t, v, 0);
    clock_.advance(knobs_.read_us);
  }
  clock_.pace();
  return v;
}

// --- host helpers ----------------------------------------------------------------

int Tuner::hostStateLocked(const TuneRequest& r, TunerState* st) const {
  const Satellite* sat = scenario_ ? scenario_->satelliteAt(r.orbital_position) : nullptr;
  if (!sat) return ENXIO;
  bool high = r.frequency_khz > sat->lnb.threshold_khz;
  long long f = static_cast<long long>(r.frequency_khz) - (high ? sat->lnb.lof_high_khz : sat->lnb.lof_low_khz);
  st->port = sat->diseqc_port & 3;
  st->voltage = r.polarisation == Polarisation::Horizontal ? SEC_VOLTAGE_18 : SEC_VOLTAGE_13;
  st->tone = high;
  st->if_khz = static_cast<uint32_t>(f < 0 ? -f : f);
  st->symbol_rate = r.symbol_rate;
  st->fec = r.fec;
  st->inversion = INVERSION_AUTO;
  st->tuned = true;
  if (st->if_khz < knobs_.if_min_khz || st->if_khz > knobs_.if_max_khz) return EINVAL;
  return 0;
}

TunerView Tuner::evaluate(const TuneRequest& r) const {
  std::lock_guard<std::mutex> l(mutex_);
  TunerState st;
  if (hostStateLocked(r, &st) != 0) return TunerView{};
  return viewForLocked(st, 0);
}

void Tuner::recordAttempts(bool on) {
  std::lock_guard<std::mutex> l(mutex_);
  recording_ = on;
  records_.clear();
  current_record_ = -1;
}

std::vector<AttemptRecord> Tuner::attempts() const {
  std::lock_guard<std::mutex> l(mutex_);
  return records_;
}

std::vector<AttemptRecord> Tuner::takeAttempts() {
  std::lock_guard<std::mutex> l(mutex_);
  std::vector<AttemptRecord> out;
  out.swap(records_);
  current_record_ = -1;
  return out;
}

TuneOutcome Tuner::tune(const TuneRequest& r) {
  TuneOutcome out;
  {
    std::lock_guard<std::mutex> l(mutex_);
    struct HostFlag {
      bool& f;
      explicit HostFlag(bool& b) : f(b) { f = true; }
      ~HostFlag() { f = false; }
    } host(host_tuning_);
    int si = -1;
    if (scenario_)
      for (size_t i = 0; i < scenario_->satellites.size(); ++i)
        if (scenario_->satellites[i].orbital_position == r.orbital_position) si = static_cast<int>(i);
    if (si < 0) {
      out.error = ENXIO;
      return out;
    }
    const Satellite& sat = scenario_->satellites[si];
    bool high = r.frequency_khz > sat.lnb.threshold_khz;
    long long f = static_cast<long long>(r.frequency_khz) - (high ? sat.lnb.lof_high_khz : sat.lnb.lof_low_khz);
    bool horizontal = r.polarisation == Polarisation::Horizontal;
    secCommand cmd;
    std::memset(&cmd, 0, sizeof cmd);
    cmd.type = SEC_CMDTYPE_DISEQC;
    cmd.u.diseqc = {0xE0, 0x10, 0x38, 1,
                    {static_cast<uint8_t>(0xF0 | ((sat.diseqc_port * 4) & 0x0C) | (horizontal ? 2 : 0) | (high ? 1 : 0)), 0, 0}};
    secCmdSequence seq{horizontal ? SEC_VOLTAGE_18 : SEC_VOLTAGE_13, SEC_MINI_NONE,
                       high ? SEC_TONE_ON : SEC_TONE_OFF, 1, &cmd};
    uint64_t cost = 0;
    int e = sendSequenceLocked(seq, clock_.now(), &cost);
    clock_.advance(cost);
    FrontendParameters p;
    std::memset(&p, 0, sizeof p);
    p.Frequency = static_cast<uint32_t>(f < 0 ? -f : f);
    p.Inversion = INVERSION_AUTO;
    p.u.qpsk.SymbolRate = r.symbol_rate;
    p.u.qpsk.FEC_inner = static_cast<CodeRate>(r.fec);
    uint64_t t = clock_.now();
    if (!e) e = setFrontendLocked(p, t);
    recordLocked("tune", t, r.frequency_khz, e);
    clock_.advance(knobs_.set_frontend_us);
    if (e) {
      out.error = -e;
      return out;
    }
    if (r.wait) {
      clock_.advanceTo(view_.attempt_end_us);
      uint64_t t = clock_.now();
      out.status = statusAtLocked(t);
      clock_.advance(knobs_.read_us);
      out.locked = (out.status & FE_HAS_LOCK) != 0;
      if (out.locked) out.carrier = view_.candidate;
    }
  }
  clock_.pace();
  return out;
}

CarrierRef Tuner::lockedCarrier() {
  std::lock_guard<std::mutex> l(mutex_);
  return lockAtLocked(clock_.now()) ? view_.candidate : CarrierRef{};
}

std::vector<SweepPoint> Tuner::sweep(const SweepRequest& r) {
  std::vector<SweepPoint> out;
  if (r.step_khz == 0 || r.from_khz > r.to_khz) return out;
  int n = std::max(1, r.readings);
  for (uint64_t f = r.from_khz; f <= r.to_khz; f += r.step_khz) {
    TuneRequest t;
    t.orbital_position = r.orbital_position;
    t.frequency_khz = static_cast<uint32_t>(f);
    t.polarisation = r.polarisation;
    t.symbol_rate = r.symbol_rate;
    t.wait = r.wait_status;
    SweepPoint p;
    p.frequency_khz = t.frequency_khz;
    if (tune(t).error) {
      out.push_back(p);
      continue;
    }
    long agc = 0, snr_sum = 0;
    for (int i = 0; i < n; ++i) agc += signalStrength();
    for (int i = 0; i < n; ++i) snr_sum += snr();
    p.agc = static_cast<uint16_t>(agc / n);
    p.snr = static_cast<uint16_t>(snr_sum / n);
    p.status = status();
    out.push_back(p);
  }
  return out;
}

TunerState Tuner::state() const {
  std::lock_guard<std::mutex> l(mutex_);
  return state_;
}

TunerView Tuner::peek() const {
  std::lock_guard<std::mutex> l(mutex_);
  return view_;
}

}  // namespace emu
