#include "emulator/app/truth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace app {

double qefEsnoDb(int fec) {
  switch (fec) {
    case 1: return 4.2;   // 1/2
    case 2: return 5.9;   // 2/3
    case 3: return 6.9;   // 3/4
    case 4: return 7.4;   // 4/5
    case 5: return 7.9;   // 5/6
    case 6: return 8.2;   // 6/7
    case 7: return 8.5;   // 7/8
    default: return 6.9;  // unknown: taken as 3/4, the most common code
  }
}

double lockedSnrPercent(double esnoDb) {
  // Noise indicator against Es/N0, interpolated; SNR = 3 * (0x5EFF - NIR).
  static const double pts[][2] = {{1.5, 9600}, {4, 8250}, {10, 5190}, {20, 2600}};
  double nir;
  if (esnoDb <= pts[0][0]) {
    nir = pts[0][1];
  } else if (esnoDb >= pts[3][0]) {
    nir = pts[3][1];
  } else {
    int i = 0;
    while (esnoDb > pts[i + 1][0]) ++i;
    double t = (esnoDb - pts[i][0]) / (pts[i + 1][0] - pts[i][0]);
    nir = pts[i][1] + t * (pts[i + 1][1] - pts[i][1]);
  }
  double snr = 3.0 * (0x5EFF - nir);
  return std::min(snr, 65535.0) * 100.0 / 65536.0;
}

namespace {

double loError(const LockModel& m, uint32_t khz) { return m.loErrorKhz ? m.loErrorKhz(khz) : 0.0; }
double qef(const LockModel& m, int fec) { return m.qefDb ? m.qefDb(fec) : qefEsnoDb(fec); }
double lockedSnr(const LockModel& m, double esno) { return m.lockedSnrPct ? m.lockedSnrPct(esno) : lockedSnrPercent(esno); }

double captureKhz(const LockModel& m, const emu::Carrier& c) {
  return m.captureFraction * c.symbol_rate / 1000.0;
}

bool rateFits(const LockModel& m, const emu::Carrier& c, int ksps) {
  double err = std::fabs(ksps * 1000.0 - c.symbol_rate);
  return err <= c.symbol_rate * m.timingPpm * 1e-6;
}

// The SNR percentage read while tuned off the carrier's centre by a fraction w of
// the capture range: the reading slides from the locked value to the unlocked one.
double snrAt(const LockModel& m, const emu::Carrier& c, double w) {
  w = std::clamp(w, 0.0, 1.0);
  return (1 - w) * lockedSnr(m, c.esno_db) + w * m.unlockedSnrPercent;
}

// Standard search: is there a probed frequency and a tried rate that lock?
bool standardLocks(const LockModel& m, const emu::Carrier& c, const ScanSettings& s, std::string& why) {
  std::vector<int> rates{s.srFrom};
  if (s.srTo != s.srFrom && s.srStep > 0)
    for (long r = static_cast<long>(s.srFrom) + s.srStep; r <= s.srTo; r += s.srStep)
      rates.push_back(static_cast<int>(r));
  int rate = -1;
  for (int r : rates)
    if (rateFits(m, c, r)) { rate = r; break; }
  if (rate < 0) {
    why = "its symbol rate is not among the rates tried";
    return false;
  }
  if (s.stepMHz <= 0) {
    why = "a frequency step of 0 probes nothing";
    return false;
  }
  double cap = captureKhz(m, c);
  for (long f = static_cast<long>(s.fromMHz) - 1 + s.stepMHz; f <= s.toMHz; f += s.stepMHz) {
    double off = std::fabs(f * 1000.0 + loError(m, static_cast<uint32_t>(f * 1000)) - c.frequency_khz);
    if (off > cap) continue;
    if (snrAt(m, c, off / cap) >= s.threshold) {
      why = "locks at " + std::to_string(f) + " MHz, " + std::to_string(rate) + " kS/s";
      return true;
    }
  }
  why = "no probed frequency lies within its capture range with the SNR at the threshold";
  return false;
}

bool hasPlateau(const LockModel& m, const emu::Carrier& c, std::string& why) {
  if (c.esno_db < m.plateauEsnoDb) {
    why = "too weak for an AGC plateau";
    return false;
  }
  if (c.symbol_rate / 1000.0 < m.plateauMinSrKsps) {
    why = "too narrow for an AGC plateau";
    return false;
  }
  return true;
}

bool deductiveLocks(const LockModel& m, const emu::Carrier& c, const ScanSettings& s,
                    const std::vector<int>& known, std::string& why) {
  if (!hasPlateau(m, c, why)) return false;
  if (lockedSnr(m, c.esno_db) < s.threshold && s.search == SearchType::ByAgc) {
    why = "its SNR stays below the threshold";
    return false;
  }
  int lo = s.search == SearchType::BySymbolRate ? 2000 : s.srFrom;
  int hi = s.search == SearchType::BySymbolRate ? 45000 : s.srTo;
  for (int r : known)
    if (r >= lo && r <= hi && rateFits(m, c, r)) {
      why = "a known symbol rate (" + std::to_string(r) + " kS/s) fits";
      return true;
    }
  if (s.search == SearchType::BySymbolRate) {
    why = "no known symbol rate fits";
    return false;
  }
  double ksps = c.symbol_rate / 1000.0;
  if (ksps >= std::min(s.srFrom, s.srTo) && ksps <= std::max(s.srFrom, s.srTo)) {
    why = "its symbol rate lies in the swept range";
    return true;
  }
  why = "its symbol rate lies outside the swept range";
  return false;
}

std::string ruleText(const ScanSettings& s, const LockModel& m) {
  std::ostringstream r;
  r << "A DVB-S carrier of the scanned satellite and polarisation inside the range is lockable "
       "when its Es/N0 reaches the quasi-error-free value of its code rate "
    << (m.lockMarginDb < 0 ? "less " : "plus ") << std::fabs(m.lockMarginDb) << " dB and ";
  switch (s.search) {
    case SearchType::Standard:
      r << "one of the tried symbol rates (start, then start plus each step up to the end, when the "
           "range is not a single value) lies within "
        << m.timingPpm << " ppm of its own, and one probed frequency (start - 1 + k * step) "
           "lies within its capture range ("
        << m.captureFraction << " * SR, after the LNB error) where the SNR, sliding from the locked "
           "value to the unlocked one towards the edge of that range, reaches the threshold.";
      break;
    case SearchType::BySymbolRate:
      r << "it raises an AGC plateau at 2000 kS/s (Es/N0 of at least " << m.plateauEsnoDb
        << " dB and a symbol rate of at least " << m.plateauMinSrKsps
        << " kS/s), and a known symbol rate from 2000 to 45000 kS/s lies within " << m.timingPpm
        << " ppm of its own.";
      break;
    case SearchType::ByAgc:
      r << "it raises an AGC plateau at 2000 kS/s (Es/N0 of at least " << m.plateauEsnoDb
        << " dB and a symbol rate of at least " << m.plateauMinSrKsps
        << " kS/s), its locked SNR reaches the threshold, and a known symbol rate of the user's "
           "range fits it within "
        << m.timingPpm << " ppm or its symbol rate lies inside the user's range (the sweep).";
      break;
  }
  return r.str();
}

}  // namespace

Truth computeTruth(const emu::Satellite& sat, const ScanSettings& s, const std::vector<int>& known,
                   const std::vector<HandOver>& handOvers, const LockModel& m) {
  Truth t;
  t.rule = ruleText(s, m);
  auto pol = static_cast<emu::Polarisation>(s.polarisation);
  const uint32_t lo = static_cast<uint32_t>(std::max(0, s.fromMHz)) * 1000u;
  const uint32_t hi = static_cast<uint32_t>(std::max(0, s.toMHz)) * 1000u;

  auto within = [&](const HandOver& h, const emu::Carrier& c) {
    if (h.polarisation != s.polarisation || h.orbitalPosition != sat.orbital_position) return false;
    double off = std::fabs(h.freqKhz + loError(m, h.freqKhz) - c.frequency_khz);
    return off <= captureKhz(m, c);
  };

  for (const emu::Carrier& c : sat.carriers) {
    if (c.polarisation != pol || c.frequency_khz < lo || c.frequency_khz > hi) continue;
    if (c.system != emu::DeliverySystem::DvbS) {
      ++t.dvbs2InRange;
      continue;
    }
    TruthCarrier tc;
    tc.carrier = &c;
    if (c.esno_db < qef(m, c.fec) + m.lockMarginDb) {
      tc.why = "too weak to lock";
    } else if (s.search == SearchType::Standard) {
      tc.lockable = standardLocks(m, c, s, tc.why);
    } else {
      tc.lockable = deductiveLocks(m, c, s, known, tc.why);
    }
    for (size_t i = 0; i < handOvers.size(); ++i)
      if (within(handOvers[i], c)) {
        tc.foundBy = static_cast<int>(i);
        break;
      }
    t.inRange.push_back(tc);
  }

  for (const TruthCarrier& tc : t.inRange) {
    if (tc.lockable) ++t.lockable;
    if (tc.foundBy >= 0) ++t.found;
    if (tc.lockable && tc.foundBy >= 0) ++t.foundLockable;
    if (tc.lockable && tc.foundBy < 0) ++t.missed;
  }
  t.recall = t.lockable ? static_cast<double>(t.foundLockable) / t.lockable : 1.0;

  // A hand-over near no DVB-S carrier of the satellite is false; one that reaches a
  // carrier already handed over is a repeat.
  std::vector<const emu::Carrier*> taken;
  for (size_t i = 0; i < handOvers.size(); ++i) {
    const emu::Carrier* hit = nullptr;
    for (const emu::Carrier& c : sat.carriers)
      if (c.polarisation == pol && c.system == emu::DeliverySystem::DvbS && within(handOvers[i], c)) {
        hit = &c;
        break;
      }
    if (!hit) t.falseHandOvers.push_back(static_cast<int>(i));
    else if (std::find(taken.begin(), taken.end(), hit) != taken.end()) t.repeatHandOvers.push_back(static_cast<int>(i));
    else taken.push_back(hit);
  }
  return t;
}

std::vector<int> readKnownRates(const std::string& path) {
  std::vector<int> rates;
  std::ifstream f(path, std::ios::binary);
  if (!f) return rates;
  std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  // Read in pieces of at most 9 characters ending at a line feed, as fgets with a
  // 10-byte buffer does; each piece is one value.
  size_t i = 0;
  while (i < all.size() && rates.size() < 100) {
    size_t n = 0;
    std::string piece;
    while (i < all.size() && n < 9) {
      char ch = all[i++];
      piece += ch;
      ++n;
      if (ch == '\n') break;
    }
    int v = std::atoi(piece.c_str());
    if (v >= 1001 && v <= 44999) rates.push_back(v);
  }
  return rates;
}

}  // namespace app
