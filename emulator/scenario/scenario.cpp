#include <emulator/scenario/scenario.h>

#include <set>
#include <emulator/scenario/text.h>

namespace emu {

const Carrier* Satellite::find(uint32_t frequency_khz, Polarisation pol, uint32_t tolerance_khz) const {
  const Carrier* best = nullptr;
  uint32_t best_df = tolerance_khz + 1;
  for (const auto& c : carriers) {
    if (c.polarisation != pol) continue;
    uint32_t df = c.frequency_khz > frequency_khz ? c.frequency_khz - frequency_khz : frequency_khz - c.frequency_khz;
    if (df < best_df) {
      best = &c;
      best_df = df;
    }
  }
  return best;
}

const Satellite* Scenario::satelliteAt(int orbital_position) const {
  for (const auto& s : satellites)
    if (s.orbital_position == orbital_position) return &s;
  return nullptr;
}

const Satellite* Scenario::satelliteOnPort(int port) const {
  for (const auto& s : satellites)
    if (s.diseqc_port == port) return &s;
  return nullptr;
}

// Ids every service reference needs: transport stream and network ids per carrier, unique service ids.
void completeIds(Satellite& sat) {
  std::set<int> used;
  for (const auto& c : sat.carriers)
    if (c.transport_stream_id) used.insert(c.transport_stream_id);
  int next = 1;
  int nid = sat.network_id ? sat.network_id : sat.orbital_position > 0 ? sat.orbital_position : 1;
  for (auto& c : sat.carriers) {
    if (!c.original_network_id) c.original_network_id = nid;
    if (!c.transport_stream_id) {
      while (used.count(next)) ++next;
      c.transport_stream_id = next;
      used.insert(next);
    }
    std::set<int> sids;
    for (const auto& s : c.services)
      if (s.service_id) sids.insert(s.service_id);
    int sid = c.transport_stream_id * 10 % 60000 + 1;
    for (auto& s : c.services) {
      if (s.service_id) continue;
      while (sids.count(sid)) sid = sid % 65535 + 1;
      s.service_id = sid;
      sids.insert(sid);
    }
  }
}
void completeIds(Scenario& s) {
  for (auto& sat : s.satellites) completeIds(sat);
}

const char* polarisationLetter(
Polarisation p) { return p == Polarisation::Horizontal ? "H" : "V"; }

const char* systemName(DeliverySystem s) { return s == DeliverySystem::DvbS2 ? "DVB-S2" : "DVB-S"; }

int fecCode(const std::string& t) {
  std::string u = text::upper(text::trim(t));
  static const struct { const char* text; int code; } rates[] = {
      {"1/2", 1}, {"2/3", 2}, {"3/4", 3}, {"4/5", 4}, {"5/6", 5}, {"6/7", 6}, {"7/8", 7}, {"8/9", 8},
      {"AUTO", 0}, {"NONE", 0}, {"-", 0}, {"1/4", 0}, {"1/3", 0}, {"2/5", 0}, {"3/5", 0}, {"9/10", 0}};
  for (const auto& r : rates)
    if (u == r.text) return r.code;
  return -1;
}

}  // namespace emu
