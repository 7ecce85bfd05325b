#include "emulator/app/truth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace app {

const char* missReasonName(MissReason r) {
  switch (r) {
    case MissReason::ScanStopped: return "scan-stopped";
    case MissReason::NoPlateau: return "no-plateau";
    case MissReason::PlateauOpenAtEnd: return "plateau-open-at-end";
    case MissReason::SharedPlateau: return "shared-plateau";
    case MissReason::OnSkipList: return "on-skip-list";
    case MissReason::NoKnownRate: return "no-known-rate";
    case MissReason::RateOutsideSweep: return "rate-outside-sweep";
    case MissReason::StepsPastWindow: return "steps-past-window";
    case MissReason::NotInCapture: return "not-in-capture";
    case MissReason::SnrBelowThreshold: return "snr-below-threshold";
    case MissReason::LockNotRead: return "lock-not-read";
    case MissReason::LockedNotHandedOver: return "locked-not-handed-over";
  }
  return "?";
}

const char* missReasonText(MissReason r) {
  switch (r) {
    case MissReason::ScanStopped: return "the scan was stopped before it";
    case MissReason::NoPlateau: return "the AGC readings at 2000 kS/s showed no plateau over it";
    case MissReason::PlateauOpenAtEnd: return "its AGC plateau was still open when the range ended";
    case MissReason::SharedPlateau: return "shares one AGC plateau with a neighbour (one centre is tried per plateau)";
    case MissReason::OnSkipList: return "its plateau's centre is on the skip list";
    case MissReason::NoKnownRate: return "no known symbol rate of the search's range fits it";
    case MissReason::RateOutsideSweep: return "its symbol rate lies outside the swept range or past its end";
    case MissReason::StepsPastWindow: return "the sweep's symbol-rate steps went past its timing window";
    case MissReason::NotInCapture: return "no tried frequency lies within its capture range";
    case MissReason::SnrBelowThreshold: return "SNR below the threshold at every tried setting that locks it";
    case MissReason::LockNotRead: return "set where it locks, but no status read showed the lock";
    case MissReason::LockedNotHandedOver: return "a status read showed the lock, but it was not handed over";
  }
  return "?";
}

LockOracle tunerOracle(const emu::Tuner& tuner, const emu::Scenario& scenario, int orbitalPosition) {
  LockOracle o;
  const emu::Satellite* sat = scenario.satelliteAt(orbitalPosition);
  int si = sat ? static_cast<int>(sat - scenario.satellites.data()) : -1;
  o.at = [&tuner, si, orbitalPosition](uint32_t freqKhz, int pol, uint32_t srSps) {
    emu::TuneRequest r;
    r.orbital_position = orbitalPosition;
    r.frequency_khz = freqKhz;
    r.polarisation = static_cast<emu::Polarisation>(pol);
    r.symbol_rate = srSps;
    emu::TunerView v = tuner.evaluate(r);
    LockAnswer a;
    if (v.candidate.valid() && v.candidate.satellite == si) {
      a.carrier = v.candidate.carrier;
      a.inCapture = v.in_capture;
      a.locks = v.lockable;
      a.esnoDb = v.esno_db;
    }
    return a;
  };
  return o;
}

std::pair<int, int> rateRangeOf(const ScanSettings& s) {
  switch (s.search) {
    case SearchType::BySymbolRate: return {2000, 45000};
    case SearchType::ByAgc: return {s.srFrom, s.srTo};
    case SearchType::Standard: break;
  }
  if (s.srTo == s.srFrom) return {s.srFrom, s.srFrom};
  return {s.srFrom, std::max(s.srFrom, s.srTo)};
}

namespace {

constexpr int kPlateauAgc = 55536;     // the deductive search's sample: inverted AGC below 10000
constexpr uint32_t kProbeSps = 2000000;
constexpr int kSkipReachMHz = 2;

bool deductive(const ScanSettings& s) { return s.search != SearchType::Standard; }

struct Search {
  bool locks = false;
  int mhz = 0, ksps = 0;
  bool nearAny = false;      // some frequency of the range lies near it
  bool rateAny = false;      // some rate of the range lies near its own
  bool candidate = false;    // the model took it as the candidate somewhere
  double esno = -99;
};

// Looks for a setting of the range at which the model locks carrier ci: closest
// frequencies and rates first, so that a lockable carrier costs few questions.
Search searchLock(const LockOracle& o, const emu::Satellite& sat, int ci, const ScanSettings& s,
                  std::pair<int, int> rates) {
  const emu::Carrier& c = sat.carriers[static_cast<size_t>(ci)];
  Search out;
  double kspsC = c.symbol_rate / 1000.0;
  int rLo = std::max(rates.first, static_cast<int>(std::floor(kspsC * (1 - o.rateShare))));
  int rHi = std::min(rates.second, static_cast<int>(std::ceil(kspsC * (1 + o.rateShare))));
  double spanKhz = (1 + c.rolloff) * c.symbol_rate / 2000.0 + o.freqMarginKhz;
  int fLo = std::max(s.fromMHz, static_cast<int>(std::floor((c.frequency_khz - spanKhz) / 1000)));
  int fHi = std::min(s.toMHz, static_cast<int>(std::ceil((c.frequency_khz + spanKhz) / 1000)));
  out.nearAny = fLo <= fHi;
  out.rateAny = rLo <= rHi;
  if (!out.nearAny || !out.rateAny) return out;
  std::vector<int> fs, rs;
  for (int f = fLo; f <= fHi; ++f) fs.push_back(f);
  for (int r = rLo; r <= rHi; ++r) rs.push_back(r);
  std::stable_sort(fs.begin(), fs.end(), [&](int a, int b) {
    return std::fabs(a * 1000.0 - c.frequency_khz) < std::fabs(b * 1000.0 - c.frequency_khz);
  });
  std::stable_sort(rs.begin(), rs.end(), [&](int a, int b) { return std::fabs(a - kspsC) < std::fabs(b - kspsC); });
  for (int r : rs)
    for (int f : fs) {
      LockAnswer a = o.at(static_cast<uint32_t>(f) * 1000u, s.polarisation, static_cast<uint32_t>(r) * 1000u);
      if (a.carrier != ci) continue;
      out.candidate = true;
      out.esno = a.esnoDb;
      if (a.locks) {
        out.locks = true;
        out.mhz = f;
        out.ksps = r;
        return out;
      }
    }
  return out;
}

std::string notLockableWhy(const Search& x, const emu::Carrier& c, std::pair<int, int> rates) {
  char b[200];
  if (!x.rateAny) {
    std::snprintf(b, sizeof b, "its symbol rate (%.0f kS/s) lies outside the rates the search sets (%d-%d kS/s)",
                  c.symbol_rate / 1000.0, rates.first, rates.second);
    return b;
  }
  if (!x.nearAny) return "no frequency of the range reaches it";
  if (!x.candidate) return "a neighbour is nearer at every setting of the range";
  std::snprintf(b, sizeof b, "the tuner model locks it at no setting of the range (Es/N0 %.1f dB with its neighbours)",
                x.esno);
  return b;
}

// One AGC plateau of the deductive search, as its readings at 2000 kS/s gave it.
struct Plateau {
  double firstRfKhz = 0, lastRfKhz = 0;
  int centreMHz = 0;
  bool open = false;         // the range ended inside it
};

// Rebuilds the plateaus from the plug-in's own AGC means, with its rules: a sample
// is a mean of 55536 or more, a plateau needs two, the centre is the strongest.
std::vector<Plateau> plateausOf(const std::vector<emu::AttemptRecord>& attempts) {
  struct Sample {
    int mhz;
    int inv;
    double rf;
  };
  std::vector<Plateau> out;
  std::vector<Sample> run;
  auto close = [&](bool open) {
    if (run.size() >= 2 || (open && !run.empty())) {
      size_t n = run.size();
      size_t m = static_cast<size_t>(std::max(0, static_cast<int>(static_cast<float>(n) * 0.5f) - 1));
      size_t best = m;
      for (size_t i = 0; i < n; ++i)
        if (run[i].inv < run[best].inv) best = i;
      out.push_back({run.front().rf, run.back().rf, run[best].mhz, open});
    }
    run.clear();
  };
  for (const emu::AttemptRecord& a : attempts) {
    // The measurement: four AGC reads at the probe rate (a sweep step reads the SNR).
    if (a.host || a.programmed_sr != kProbeSps || a.agc_reads < 4) continue;
    int agc = static_cast<int>(a.agc_sum / a.agc_reads);
    if (agc >= kPlateauAgc)
      run.push_back({static_cast<int>(std::lround(a.nominal_khz / 1000)), 65535 - agc, a.rf_khz});
    else
      close(false);
  }
  close(true);
  return out;
}

bool covers(const Plateau& p, uint32_t khz) { return khz + 500.0 >= p.firstRfKhz && khz <= p.lastRfKhz + 500.0; }

// What the scan tried nearest to the carrier: rates on it, or frequencies near it.
std::string nearestTried(const emu::Carrier& c, const std::vector<const emu::AttemptRecord*>& on, bool rates) {
  double below = -1, above = -1;
  double own = rates ? c.symbol_rate / 1000.0 : c.frequency_khz / 1000.0;
  for (const emu::AttemptRecord* a : on) {
    double v = rates ? a->programmed_sr / 1000 : a->nominal_khz / 1000;
    if (v <= own && (below < 0 || v > below)) below = v;
    if (v >= own && (above < 0 || v < above)) above = v;
  }
  if (below < 0 && above < 0) return "";
  char b[120];
  const char* unit = rates ? "kS/s" : "MHz";
  if (below >= 0 && above >= 0 && std::lround(below) != std::lround(above))
    std::snprintf(b, sizeof b, "nearest tried: %.0f and %.0f %s", below, above, unit);
  else
    std::snprintf(b, sizeof b, "nearest tried: %.0f %s", below >= 0 ? below : above, unit);
  return b;
}

MissReason missReason(const emu::Satellite& sat, int ci, const ScanSettings& s, const std::vector<int>& known,
                      const LockOracle& o, const ScanTrace& trace, const std::vector<Plateau>& plateaus,
                      std::string* detail) {
  const emu::Carrier& c = sat.carriers[static_cast<size_t>(ci)];
  std::vector<const emu::AttemptRecord*> mine, on, locking;
  double reach = -1e300;
  for (const emu::AttemptRecord& a : trace.attempts) {
    if (a.host) continue;
    reach = std::max(reach, a.rf_khz);
    if (a.polarisation == c.polarisation) mine.push_back(&a);
    if (a.candidate.carrier != ci || a.polarisation != c.polarisation) continue;
    on.push_back(&a);
    if (a.lockable) locking.push_back(&a);
  }
  if (!trace.finished && reach < c.frequency_khz) return MissReason::ScanStopped;

  if (deductive(s) && locking.empty()) {
    const Plateau* mine = nullptr;
    for (const Plateau& p : plateaus)
      if (covers(p, c.frequency_khz)) mine = &p;
    if (!mine) return MissReason::NoPlateau;
    if (mine->open) return MissReason::PlateauOpenAtEnd;
    for (int skip : trace.skipMHz)
      if (std::abs(mine->centreMHz - skip) <= kSkipReachMHz) return MissReason::OnSkipList;
    for (size_t j = 0; j < sat.carriers.size(); ++j)
      if (static_cast<int>(j) != ci && sat.carriers[j].polarisation == c.polarisation &&
          covers(*mine, sat.carriers[j].frequency_khz))
        return MissReason::SharedPlateau;
  }

  if (locking.empty()) {
    // Was it tuned at a frequency where the model locks it at its own rate? Then the
    // rates were wrong; otherwise the frequencies were.
    std::vector<const emu::AttemptRecord*> rightPlace;
    std::vector<double> asked, good;
    const uint32_t ownSps = static_cast<uint32_t>(std::lround(c.symbol_rate / 1000.0)) * 1000u;
    for (const emu::AttemptRecord* a : on) {
      // The search by AGC steps rates only in its sweep: its AGC walk and its
      // known-rate tries say nothing about the steps.
      int ksps = static_cast<int>(std::lround(a->programmed_sr / 1000));
      bool probe = a->programmed_sr == kProbeSps && a->agc_reads >= 4;
      bool knownTry = std::find(known.begin(), known.end(), ksps) != known.end();
      if (s.search == SearchType::ByAgc && (probe || knownTry || ksps < s.srFrom || ksps >= s.srTo)) continue;
      double f = std::round(a->nominal_khz);
      bool yes = std::find(good.begin(), good.end(), f) != good.end();
      if (!yes && std::find(asked.begin(), asked.end(), f) == asked.end()) {
        asked.push_back(f);
        LockAnswer x = o.at(static_cast<uint32_t>(f), static_cast<int>(c.polarisation), ownSps);
        if (x.carrier == ci && x.locks) {
          good.push_back(f);
          yes = true;
        }
      }
      if (yes) rightPlace.push_back(a);
    }
    bool tunedOn = !rightPlace.empty();
    if (s.search == SearchType::BySymbolRate || s.search == SearchType::ByAgc) {
      // Would a known rate of the search's range lock it anywhere in the range?
      auto range = rateRangeOf(s);
      bool knownFits = false;
      for (int r : known) {
        if (r < range.first || r > range.second) continue;
        ScanSettings one = s;
        Search x = searchLock(o, sat, ci, one, {r, r});
        if (x.locks) knownFits = true;
      }
      if (s.search == SearchType::BySymbolRate)
        return knownFits ? MissReason::NotInCapture : MissReason::NoKnownRate;
      // The sweep sets rates from its start while below its end.
      Search inSweep = searchLock(o, sat, ci, s, {s.srFrom, s.srTo - 1});
      if (!knownFits && !inSweep.locks) return MissReason::RateOutsideSweep;
    }
    *detail = tunedOn ? nearestTried(c, rightPlace, true) : nearestTried(c, on.empty() ? mine : on, false);
    return tunedOn ? MissReason::StepsPastWindow : MissReason::NotInCapture;
  }
  int bestPct = 0;
  bool lockRead = false;
  for (const emu::AttemptRecord* a : locking) {
    bestPct = std::max(bestPct, a->max_snr * 100 / 65536);
    lockRead = lockRead || a->lock_read;
  }
  if (bestPct < s.threshold) return MissReason::SnrBelowThreshold;
  return lockRead ? MissReason::LockedNotHandedOver : MissReason::LockNotRead;
}

std::string ruleText(const ScanSettings& s) {
  auto r = rateRangeOf(s);
  std::ostringstream t;
  t << "A DVB-S carrier of the scanned satellite and polarisation inside the range is lockable when the "
       "tuner model itself (the code the scan runs against, neighbours and the LNB error included) locks it "
       "at a setting the search may make: a whole MHz from "
    << s.fromMHz << " to " << s.toMHz << " and a symbol rate from " << r.first << " to " << r.second
    << " kS/s";
  switch (s.search) {
    case SearchType::Standard:
      t << (s.srTo == s.srFrom ? " (the start rate only: no range given)" : " (the window's range)");
      break;
    case SearchType::BySymbolRate: t << " (the range the search by symbol rate works in)"; break;
    case SearchType::ByAgc: t << " (the swept range)"; break;
  }
  t << ". Whether the search's path reaches that setting is not part of the rule: a lockable carrier "
       "missed gets its reason, read from what the scan did.";
  return t.str();
}

}  // namespace

Truth computeTruth(const emu::Satellite& sat, const ScanSettings& s, const std::vector<int>& known,
                   const std::vector<HandOver>& handOvers, const LockOracle& o, const ScanTrace& trace) {
  Truth t;
  t.rule = ruleText(s);
  auto pol = static_cast<emu::Polarisation>(s.polarisation);
  const uint32_t lo = static_cast<uint32_t>(std::max(0, s.fromMHz)) * 1000u;
  const uint32_t hi = static_cast<uint32_t>(std::max(0, s.toMHz)) * 1000u;
  const auto rates = rateRangeOf(s);

  // The carrier a hand-over reaches, as the model sees it: the candidate within capture.
  std::vector<int> reached(handOvers.size(), -1);
  for (size_t i = 0; i < handOvers.size(); ++i) {
    const HandOver& h = handOvers[i];
    if (h.polarisation != s.polarisation || h.orbitalPosition != sat.orbital_position) continue;
    LockAnswer a = o.at(h.freqKhz, h.polarisation, static_cast<uint32_t>(std::max(0, h.srKsps)) * 1000u);
    if (a.carrier >= 0 && a.inCapture &&
        sat.carriers[static_cast<size_t>(a.carrier)].system == emu::DeliverySystem::DvbS)
      reached[i] = a.carrier;
  }

  std::vector<Plateau> plateaus;
  if (deductive(s)) plateaus = plateausOf(trace.attempts);
  // Every lock adds its rate to the plug-in's known rates, tried at later plateaus.
  std::vector<int> knownByTheEnd = known;
  for (const HandOver& h : handOvers) knownByTheEnd.push_back(h.srKsps);

  for (size_t ci = 0; ci < sat.carriers.size(); ++ci) {
    const emu::Carrier& c = sat.carriers[ci];
    if (c.polarisation != pol || c.frequency_khz < lo || c.frequency_khz > hi) continue;
    if (c.system != emu::DeliverySystem::DvbS) {
      ++t.dvbs2InRange;
      continue;
    }
    TruthCarrier tc;
    tc.carrier = &c;
    tc.index = static_cast<int>(ci);
    Search x = searchLock(o, sat, tc.index, s, rates);
    tc.lockable = x.locks;
    if (x.locks) {
      tc.lockMHz = x.mhz;
      tc.lockKsps = x.ksps;
    } else {
      tc.why = notLockableWhy(x, c, rates);
    }
    for (size_t i = 0; i < handOvers.size(); ++i)
      if (reached[i] == tc.index) {
        tc.foundBy = static_cast<int>(i);
        break;
      }
    if (tc.lockable && tc.foundBy < 0) {
      tc.missed = true;
      std::string detail;
      tc.reason = missReason(sat, tc.index, s, knownByTheEnd, o, trace, plateaus, &detail);
      tc.why = missReasonText(tc.reason);
      if (!detail.empty()) tc.why += " (" + detail + ")";
    }
    t.inRange.push_back(tc);
  }

  for (size_t i = 0; i < t.inRange.size(); ++i) {
    const TruthCarrier& tc = t.inRange[i];
    if (tc.lockable) ++t.lockable;
    if (tc.foundBy >= 0) ++t.found;
    if (tc.lockable && tc.foundBy >= 0) ++t.foundLockable;
    if (tc.missed) ++t.missed;
    if (!tc.lockable && tc.foundBy >= 0) t.foundNotLockable.push_back(static_cast<int>(i));
  }
  t.recall = t.lockable ? static_cast<double>(t.foundLockable) / t.lockable : 1.0;

  std::vector<int> taken;
  for (size_t i = 0; i < handOvers.size(); ++i) {
    if (reached[i] < 0) t.falseHandOvers.push_back(static_cast<int>(i));
    else if (std::find(taken.begin(), taken.end(), reached[i]) != taken.end()) t.repeatHandOvers.push_back(static_cast<int>(i));
    else taken.push_back(reached[i]);
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

std::vector<int> readSkipList(const std::string& path, int orbitalPosition, int polarisation) {
  std::vector<int> out;
  std::ifstream f(path, std::ios::binary);
  std::string line;
  bool mine = false;
  const char want = polarisation ? 'V' : 'H';
  while (std::getline(f, line)) {
    if (!line.empty() && line[0] == '#') {
      mine = std::atoi(line.c_str() + 1) == orbitalPosition;
      continue;
    }
    if (!mine) continue;
    std::istringstream in(line);
    int mhz = 0;
    std::string p;
    if (in >> mhz >> p && !p.empty() && p[0] == want) out.push_back(mhz);
  }
  return out;
}

}  // namespace app
