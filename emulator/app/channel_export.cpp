#include "emulator/app/channel_export.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace app {

namespace {

constexpr int kNullPid = 8191;   // a stream the service has, whose PID the scenario does not know

bool endsWith(const std::string& s, const char* tail) {
  std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

std::string fecTextOf(const emu::Carrier& c) {
  if (!c.fec_text.empty()) return c.fec_text;
  static const char* const rates[] = {"NONE", "1/2", "2/3", "3/4", "4/5", "5/6", "6/7", "7/8", "8/9"};
  if (c.fec > 0 && c.fec <= 8) return rates[c.fec];
  return "AUTO";
}

int vdrFec(const std::string& fec) {
  static const struct { const char* text; int code; } rates[] = {
      {"NONE", 0}, {"1/2", 12}, {"2/3", 23}, {"3/4", 34}, {"4/5", 45}, {"5/6", 56}, {"6/7", 67},
      {"7/8", 78}, {"8/9", 89}, {"3/5", 35}, {"9/10", 910}};
  for (const auto& r : rates)
    if (fec == r.text) return r.code;
  return 999;
}

bool hasVideo(const std::string& cls) { return cls == "tv"; }
bool hasAudio(const std::string& cls) { return cls == "tv" || cls == "radio"; }

std::string oneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

std::string mhzText(uint32_t khz) {
  char b[32];
  if (khz % 1000 == 0) std::snprintf(b, sizeof b, "%u", khz / 1000);
  else std::snprintf(b, sizeof b, "%.3f", khz / 1000.0);
  return b;
}

}  // namespace

std::optional<ChannelFormat> channelFormatOfPath(const std::string& path) {
  if (endsWith(path, ".conf")) return ChannelFormat::Vdr;
  if (endsWith(path, ".channels") || endsWith(path, ".dvbv5")) return ChannelFormat::Dvbv5;
  return std::nullopt;
}

std::optional<ChannelFormat> channelFormatByName(const std::string& name) {
  if (name == "vdr") return ChannelFormat::Vdr;
  if (name == "dvbv5") return ChannelFormat::Dvbv5;
  return std::nullopt;
}

std::string vdrSource(int orbitalPosition) {
  char b[32];
  int a = std::abs(orbitalPosition);
  std::snprintf(b, sizeof b, "S%d.%d%c", a / 10, a % 10, orbitalPosition < 0 ? 'W' : 'E');
  return b;
}

ChannelList buildChannelList(const std::vector<emu::HandOver>& handOvers,
                             const std::vector<emu::ReportedService>& reported, const FoundLog& log,
                             const emu::Scenario& scenario) {
  // What the log lists, by name and provider, with the class it gave each time.
  std::map<std::pair<std::string, std::string>, std::vector<std::string>> logged;
  for (const LoggedService& s : log.services) logged[{s.name, s.provider}].push_back(s.serviceClass);

  ChannelList out;
  std::map<std::tuple<uint32_t, int, uint32_t>, size_t> byKey;   // carrier or tuning -> transponder
  std::vector<int> transponderOf(handOvers.size(), -1);
  for (size_t i = 0; i < handOvers.size(); ++i) {
    const emu::HandOver& h = handOvers[i];
    auto key = h.carrier_khz ? std::make_tuple(h.carrier_khz, static_cast<int>(h.polarisation), 0u)
                             : std::make_tuple(h.frequency_khz, static_cast<int>(h.polarisation), h.symbol_rate);
    auto it = byKey.find(key);
    if (it != byKey.end()) {
      transponderOf[i] = static_cast<int>(it->second);
      continue;
    }
    ExportedTransponder t;
    t.orbitalPosition = h.orbital_position;
    t.frequencyKhz = h.frequency_khz;
    t.polarisation = h.polarisation;
    t.symbolRate = h.symbol_rate;
    if (const emu::Satellite* sat = scenario.satelliteAt(h.orbital_position)) {
      const emu::Lnb def;
      t.universalLnb = sat->lnb.lof_low_khz == def.lof_low_khz && sat->lnb.lof_high_khz == def.lof_high_khz &&
                       sat->lnb.threshold_khz == def.threshold_khz;
      const emu::Carrier* c = h.carrier_khz ? sat->find(h.carrier_khz, h.polarisation, 0) : nullptr;
      if (c) {
        t.fec = fecTextOf(*c);
        t.system = c->system;
        t.modulation = c->modulation;
        t.rolloff = c->rolloff;
        t.transportStreamId = c->transport_stream_id;
        t.networkId = c->original_network_id ? c->original_network_id : sat->network_id;
      }
    }
    byKey.emplace(key, out.transponders.size());
    transponderOf[i] = static_cast<int>(out.transponders.size());
    out.transponders.push_back(std::move(t));
  }

  for (const emu::ReportedService& s : reported) {
    if (s.hand_over < 0 || static_cast<size_t>(s.hand_over) >= handOvers.size()) continue;
    ExportedTransponder& t = out.transponders[static_cast<size_t>(transponderOf[static_cast<size_t>(s.hand_over)])];
    bool dup = false;
    for (const ExportedService& e : t.services) dup = dup || (e.serviceId == s.service_id && e.name == s.name);
    if (dup) continue;
    auto it = logged.find({s.name, s.provider});
    if (it == logged.end() || it->second.empty()) continue;   // not in the log: not found as far as the plug-in says
    ExportedService e;
    e.name = s.name;
    e.provider = s.provider;
    e.serviceClass = it->second.front();
    it->second.erase(it->second.begin());
    e.serviceId = s.service_id;
    if (s.transport_stream_id) t.transportStreamId = s.transport_stream_id;
    if (s.original_network_id) t.networkId = s.original_network_id;
    t.services.push_back(std::move(e));
  }
  for (const auto& [key, classes] : logged) out.servicesNotPlaced += static_cast<int>(classes.size());
  return out;
}

std::string vdrChannels(const ChannelList& list) {
  std::string out;
  char b[512];
  for (const ExportedTransponder& t : list.transponders) {
    const char* pol = emu::polarisationLetter(t.polarisation);
    std::snprintf(b, sizeof b, ":%s %s %u\n", mhzText(t.frequencyKhz).c_str(), pol, t.symbolRate / 1000);
    out += b;
    // VDR's parameter letters: polarisation, code rate, modulation, roll-off (DVB-S2 only), system.
    std::string params = pol + std::string("C") + std::to_string(vdrFec(t.fec)) + "M" +
                         (t.modulation == emu::Modulation::Psk8 ? "5" : t.modulation == emu::Modulation::Qpsk ? "2" : "999");
    if (t.system == emu::DeliverySystem::DvbS2)
      params += "O" + std::to_string(static_cast<int>(std::lround(t.rolloff * 100))) + "S1";
    else
      params += "S0";
    for (const ExportedService& s : t.services) {
      std::string name = oneLine(s.name) + (s.provider.empty() ? "" : ";" + oneLine(s.provider));
      for (char& c : name)
        if (c == ':') c = '|';   // VDR's escape of a colon in a name
      std::snprintf(b, sizeof b, ":%s:%s:%s:%u:%d:%d:0:0:%d:%d:%d:0\n", mhzText(t.frequencyKhz).c_str(),
                    params.c_str(), vdrSource(t.orbitalPosition).c_str(), t.symbolRate / 1000,
                    hasVideo(s.serviceClass) ? kNullPid : 0, hasAudio(s.serviceClass) ? kNullPid : 0, s.serviceId,
                    t.networkId, t.transportStreamId);
      out += name + b;
    }
  }
  return out;
}

int namesVdrCuts(const ChannelList& list) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  int n = 0;
  for (const ExportedTransponder& t : list.transponders)
    for (const ExportedService& s : t.services) {
      const std::string& m = s.name;
      bool cut = m.find_first_of(";|") != std::string::npos;
      for (size_t i = 0; i < m.size() && !cut; ++i)
        cut = m[i] == ',' && !(i > 0 && i + 1 < m.size() && digit(m[i - 1]) && digit(m[i + 1]));
      n += cut;
    }
  return n;
}

std::string dvbv5Channels(const ChannelList& list) {
  std::string out;
  for (const ExportedTransponder& t : list.transponders) {
    std::string tuning;
    if (t.universalLnb) tuning += "\tLNB = UNIVERSAL\n";
    tuning += "\tFREQUENCY = " + std::to_string(t.frequencyKhz) + "\n";
    tuning += "\tINVERSION = AUTO\n";
    tuning += "\tSYMBOL_RATE = " + std::to_string(t.symbolRate) + "\n";
    tuning += "\tINNER_FEC = " + t.fec + "\n";
    tuning += std::string("\tMODULATION = ") + (t.modulation == emu::Modulation::Psk8 ? "PSK/8" : "QPSK") + "\n";
    if (t.system == emu::DeliverySystem::DvbS2)
      tuning += "\tROLLOFF = " + std::to_string(static_cast<int>(std::lround(t.rolloff * 100))) + "\n";
    tuning += std::string("\tPOLARIZATION = ") +
              (t.polarisation == emu::Polarisation::Vertical ? "VERTICAL" : "HORIZONTAL") + "\n";
    tuning += std::string("\tDELIVERY_SYSTEM = ") + (t.system == emu::DeliverySystem::DvbS2 ? "DVBS2" : "DVBS") + "\n";
    if (t.services.empty()) {
      out += "[CHANNEL]\n" + tuning + "\n";
      continue;
    }
    for (const ExportedService& s : t.services) {
      out += "[" + oneLine(s.name) + "]\n";
      out += "\tSERVICE_ID = " + std::to_string(s.serviceId) + "\n";
      out += "\tNETWORK_ID = " + std::to_string(t.networkId) + "\n";
      out += "\tTRANSPORT_ID = " + std::to_string(t.transportStreamId) + "\n";
      if (!s.provider.empty()) out += "\tPROVIDER = " + oneLine(s.provider) + "\n";
      if (hasVideo(s.serviceClass)) out += "\tVIDEO_PID = " + std::to_string(kNullPid) + "\n";
      if (hasAudio(s.serviceClass)) out += "\tAUDIO_PID = " + std::to_string(kNullPid) + "\n";
      out += tuning + "\n";
    }
  }
  return out;
}

std::string channelsText(const ChannelList& list, ChannelFormat format) {
  return format == ChannelFormat::Vdr ? vdrChannels(list) : dvbv5Channels(list);
}

}  // namespace app
