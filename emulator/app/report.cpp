#include "emulator/app/report.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <set>
#include <nlohmann/json.hpp>
#include <stdexcept>

using nlohmann::ordered_json;

namespace app {

std::string serviceClassOf(int t) {
  unsigned u = static_cast<unsigned>(t);
  if (u == 1 || u == 4) return "tv";
  if (u == 2) return "radio";
  if (u == 3 || u == 5 || u == 6) return "other";
  return "data";
}

namespace {

const char* polName(int p) { return p ? "V" : "H"; }

ordered_json carrierJson(const emu::Carrier& c) {
  ordered_json j;
  j["freq_khz"] = c.frequency_khz;
  j["pol"] = polName(static_cast<int>(c.polarisation));
  j["sr_ksps"] = c.symbol_rate / 1000.0;
  j["fec"] = c.fec;
  j["system"] = c.system == emu::DeliverySystem::DvbS ? "DVB-S" : "DVB-S2";
  j["esno_db"] = std::round(c.esno_db * 100) / 100;
  j["listed"] = c.listed;
  j["services"] = c.services.size();
  return j;
}

ordered_json handOverJson(const HandOver& h) {
  ordered_json j;
  j["freq_khz"] = h.freqKhz;
  j["sr_ksps"] = h.srKsps;
  j["pol"] = polName(h.polarisation);
  j["orbital_position"] = h.orbitalPosition;
  ordered_json services = ordered_json::array();
  for (const auto& s : h.services)
    services.push_back({{"new", s.isNew}, {"class", serviceClassOf(s.type)}, {"type", s.type},
                        {"name", s.name}, {"provider", s.provider}});
  j["services"] = services;
  return j;
}

ordered_json usedJson(const ScanSettings& s, const UsedSettings& u) {
  ordered_json j;
  j["frequency_step_mhz"] = u.frequencyStepMHz;
  j["sr_range_ksps"] = {u.rateFromKsps, u.rateToKsps};
  if (s.search == SearchType::Standard) {
    j["sr_tried_ksps"] = u.ratesKsps;
  } else {
    j["agc_probe_sr_ksps"] = u.probeSrKsps;
    j["known_sr_tried_ksps"] = u.knownRatesKsps;
  }
  if (s.search == SearchType::ByAgc) {
    j["swept_sr_ksps"] = {u.sweptFromKsps, u.sweptToKsps};
    j["sweep_steps_ksps"] = u.sweepStepsKsps;
  }
  j["acquisition_attempts"] = u.attempts;
  return j;
}

}  // namespace

UsedSettings usedSettings(const ScanSettings& s, const std::vector<int>& known,
                          const std::vector<emu::AttemptRecord>& attempts) {
  UsedSettings u;
  auto range = rateRangeOf(s);
  u.rateFromKsps = range.first;
  u.rateToKsps = range.second;
  if (s.search == SearchType::Standard) {
    u.frequencyStepMHz = s.stepMHz;
    u.ratesKsps.push_back(s.srFrom);
    if (s.srTo != s.srFrom && s.srStep > 0)
      for (long r = static_cast<long>(s.srFrom) + s.srStep; r <= s.srTo && u.ratesKsps.size() < 1000; r += s.srStep)
        u.ratesKsps.push_back(static_cast<int>(r));
  } else {
    u.frequencyStepMHz = 1;
    u.probeSrKsps = 2000;
    for (int r : known)
      if (r >= range.first && r <= range.second) u.knownRatesKsps.push_back(r);
  }
  // The sweep: settings at one frequency other than the probe rate and the known
  // rates; a setting 300 kS/s above the last is the rising test, not a step.
  std::set<int> steps;
  int lowest = 0, highest = 0;
  double lastKhz = -1;
  int base = -1;
  for (const emu::AttemptRecord& a : attempts) {
    if (a.host) continue;
    ++u.attempts;
    if (s.search != SearchType::ByAgc) continue;
    int ksps = static_cast<int>(std::lround(a.programmed_sr / 1000));
    bool probe = a.programmed_sr == 2e6 && a.agc_reads >= 4;
    bool knownRate = std::find(u.knownRatesKsps.begin(), u.knownRatesKsps.end(), ksps) != u.knownRatesKsps.end();
    if (probe || knownRate || ksps < s.srFrom || ksps >= s.srTo + 300) {
      base = -1;
      continue;
    }
    if (a.nominal_khz != lastKhz) base = -1;
    lastKhz = a.nominal_khz;
    if (base >= 0 && ksps == base + 300) continue;
    if (ksps >= s.srTo) continue;
    lowest = lowest ? std::min(lowest, ksps) : ksps;
    highest = std::max(highest, ksps);
    if (base >= 0 && ksps > base) steps.insert(ksps - base);
    base = ksps;
  }
  u.sweptFromKsps = lowest;
  u.sweptToKsps = highest;
  u.sweepStepsKsps.assign(steps.begin(), steps.end());
  return u;
}

std::string reportJson(const ScanResult& r) {
  ordered_json j;
  j["scenario"] = {{"name", r.scenarioName}, {"file", r.scenarioFile}};
  j["satellite"] = {{"orbital_position", r.orbitalPosition}, {"name", r.satelliteName}};
  const ScanSettings& s = r.settings;
  j["settings"] = {{"search", searchName(s.search)}, {"from_mhz", s.fromMHz}, {"to_mhz", s.toMHz},
                   {"step_mhz", s.stepMHz}, {"pol", polName(s.polarisation)},
                   {"sr_from_ksps", s.srFrom}, {"sr_to_ksps", s.srTo}, {"sr_step_ksps", s.srStep},
                   {"delay", s.delay}, {"threshold_pct", s.threshold}};
  j["settings"]["used"] = usedJson(s, r.used);
  j["outcome"] = r.outcome;
  j["box_time_s"] = std::round(r.boxTimeS * 1000) / 1000;
  j["wall_time_s"] = std::round(r.wallTimeS * 1000) / 1000;
  j["peak_rss_kib"] = r.peakRssKib;

  ordered_json ho = ordered_json::array();
  for (const auto& h : r.handOvers) ho.push_back(handOverJson(h));
  j["handed_over"] = ho;

  ordered_json services = ordered_json::array();
  for (const auto& s2 : r.log.services)
    services.push_back({{"new", s2.isNew}, {"class", s2.serviceClass}, {"name", s2.name},
                        {"provider", s2.provider}});
  j["services"] = services;
  if (!r.log.badLines.empty()) j["log_lines_not_understood"] = r.log.badLines;

  const Truth& t = r.truth;
  ordered_json inRange = ordered_json::array(), lockable = ordered_json::array(),
               found = ordered_json::array(), missed = ordered_json::array();
  for (const auto& tc : t.inRange) {
    ordered_json c = carrierJson(*tc.carrier);
    c["lockable"] = tc.lockable;
    if (tc.lockable) c["locks_at"] = {{"mhz", tc.lockMHz}, {"sr_ksps", tc.lockKsps}};
    if (!tc.lockable || tc.missed) c["why"] = tc.why;
    if (tc.missed) c["reason"] = missReasonName(tc.reason);
    if (tc.foundBy >= 0) c["handed_over_at_khz"] = r.handOvers[static_cast<size_t>(tc.foundBy)].freqKhz;
    inRange.push_back(c);
    if (tc.lockable) lockable.push_back(c);
    if (tc.foundBy >= 0) found.push_back(c);
    if (tc.lockable && tc.foundBy < 0) missed.push_back(c);
  }
  ordered_json falses = ordered_json::array(), repeats = ordered_json::array();
  for (int i : t.falseHandOvers) falses.push_back(handOverJson(r.handOvers[static_cast<size_t>(i)]));
  for (int i : t.repeatHandOvers) repeats.push_back(handOverJson(r.handOvers[static_cast<size_t>(i)]));
  ordered_json tj;
  tj["lockable_rule"] = t.rule;
  tj["recall_rule"] = "recall = lockable carriers found / lockable carriers; a carrier is found "
                      "when the tuner model, tuned at a hand-over's frequency and rate, takes it as its "
                      "carrier within the capture range";
  tj["counts"] = {{"in_range", t.inRange.size()}, {"dvbs2_in_range", t.dvbs2InRange},
                  {"lockable", t.lockable}, {"found", t.found}, {"found_lockable", t.foundLockable},
                  {"missed", t.missed}, {"false_handovers", t.falseHandOvers.size()},
                  {"repeat_handovers", t.repeatHandOvers.size()},
                  {"found_not_lockable", t.foundNotLockable.size()}};
  ordered_json reasons = ordered_json::object();
  for (const auto& tc : t.inRange)
    if (tc.missed) {
      const char* k = missReasonName(tc.reason);
      reasons[k] = reasons.contains(k) ? reasons[k].get<int>() + 1 : 1;
    }
  tj["missed_by_reason"] = reasons;
  tj["recall"] = std::round(t.recall * 10000) / 10000;
  tj["in_range"] = inRange;
  tj["lockable"] = lockable;
  tj["found"] = found;
  tj["missed"] = missed;
  tj["false_handovers"] = falses;
  tj["repeat_handovers"] = repeats;
  j["truth"] = tj;
  return j.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

void writeReport(const ScanResult& r, const std::string& path) {
  std::string text = reportJson(r);
  std::string tmp = path + ".part";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) throw std::runtime_error("cannot write the report " + path + ": " + std::strerror(errno));
    f << text;
    if (!f.flush()) throw std::runtime_error("cannot write the report " + path);
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::string why = std::strerror(errno);
    std::remove(tmp.c_str());
    throw std::runtime_error("cannot write the report " + path + ": " + why);
  }
}

}  // namespace app
