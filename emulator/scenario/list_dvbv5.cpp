// dvbv5 channel files: INI sections of KEY = VALUE, one per transponder or service.
#include <map>
#include <emulator/scenario/carrier_groups.h>
#include <emulator/scenario/lists.h>
#include <emulator/scenario/text.h>

namespace emu {

namespace {

struct Entry {
  int line = 0;
  std::string name;
  std::map<std::string, std::string> keys;
  bool bad = false;   // its header could not be read
};

bool inBand(uint32_t khz) { return khz >= kBandLowKhz && khz <= kBandHighKhz; }

std::string get(const Entry& e, const char* key) {
  auto it = e.keys.find(key);
  return it == e.keys.end() ? std::string() : it->second;
}

// Fills c from a section; empty result when read, otherwise what is wrong.
// left_out is set for entries that are readable but not for this box.
std::string parseEntry(const Entry& e, Carrier& c, bool& left_out) {
  left_out = false;
  std::string sys = text::upper(get(e, "DELIVERY_SYSTEM"));
  if (sys.empty()) return "no DELIVERY_SYSTEM";
  if (sys != "DVBS" && sys != "DVBS2") {
    left_out = true;
    return "not a satellite entry (" + sys + ")";
  }
  c.system = sys == "DVBS2" ? DeliverySystem::DvbS2 : DeliverySystem::DvbS;
  auto f = text::toUnsigned(get(e, "FREQUENCY"));
  if (!f || *f == 0) return "FREQUENCY is missing or not a number";
  c.frequency_khz = text::frequencyKhz(static_cast<double>(*f));
  std::string pol = text::upper(get(e, "POLARIZATION"));
  if (pol == "LEFT" || pol == "RIGHT") return "circular polarisation on a linear satellite";
  auto p = text::toPolarisation(pol);
  if (!p) return "POLARIZATION is missing or neither HORIZONTAL nor VERTICAL";
  c.polarisation = *p;
  auto sr = text::toUnsigned(get(e, "SYMBOL_RATE"));
  if (!sr || *sr == 0) return "SYMBOL_RATE is missing or not a number";
  c.symbol_rate = text::symbolRate(static_cast<double>(*sr));
  if (!c.symbol_rate) return "SYMBOL_RATE " + get(e, "SYMBOL_RATE") + " is out of range";
  std::string fec = get(e, "INNER_FEC");
  if (!fec.empty()) {
    int code = fecCode(fec);
    if (code < 0) return "INNER_FEC '" + fec + "' is unknown";
    c.fec = code;
    c.fec_text = fec;
  }
  std::string mod = text::upper(get(e, "MODULATION"));
  c.modulation = mod.empty() || mod == "QPSK" ? Modulation::Qpsk : mod == "PSK/8" ? Modulation::Psk8 : Modulation::Other;
  std::string ro = text::upper(get(e, "ROLLOFF"));
  if (ro == "25") c.rolloff = 0.25;
  else if (ro == "20") c.rolloff = 0.20;
  else if (!ro.empty() && ro != "35" && ro != "AUTO") return "ROLLOFF '" + ro + "' is unknown";
  if (!inBand(c.frequency_khz)) {
    left_out = true;
    return "outside the Ku band";
  }
  return {};
}

}  // namespace

std::vector<Carrier> readDvbv5(const std::string& path, ListReport& report) {
  report.file = path;
  std::vector<Entry> entries;
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    if (t.empty() || t[0] == '#') continue;
    if (t[0] == '[') {
      if (t.back() != ']') {
        report.skip(line.number, "section name without ']'");
        entries.push_back({line.number, "", {}, true});   // keeps its keys away from the previous section
        continue;
      }
      entries.push_back({line.number, text::trim(t.substr(1, t.size() - 2)), {}, false});
      continue;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos || text::trim(t.substr(0, eq)).empty()) {
      report.skip(line.number, "expected 'KEY = VALUE'");
      continue;
    }
    if (entries.empty()) {
      report.skip(line.number, "a key before the first [section]");
      continue;
    }
    entries.back().keys[text::upper(text::trim(t.substr(0, eq)))] = text::trim(t.substr(eq + 1));
  }

  CarrierGroups groups;
  std::map<std::tuple<uint32_t, int, uint32_t>, int> transponder_lines;
  int services = 0;
  for (const auto& e : entries) {
    if (e.bad) continue;   // an unreadable header, already counted
    if (e.keys.empty()) {
      report.skip(e.line, "[" + e.name + "] holds no keys");
      continue;
    }
    Carrier proto;
    bool left_out = false;
    std::string err = parseEntry(e, proto, left_out);
    if (!err.empty()) {
      if (left_out) report.leaveOut(e.line, "[" + e.name + "] " + err);
      else report.skip(e.line, "[" + e.name + "] " + err);
      continue;
    }
    proto.origin = path + ":" + std::to_string(e.line);
    std::string sid = get(e, "SERVICE_ID");
    if (sid.empty()) {
      auto key = std::make_tuple(proto.frequency_khz, static_cast<int>(proto.polarisation), proto.symbol_rate);
      auto it = transponder_lines.find(key);
      if (it != transponder_lines.end()) {
        report.leaveOut(e.line, "[" + e.name + "] the same transponder as line " + std::to_string(it->second));
        continue;
      }
      transponder_lines.emplace(key, e.line);
      groups.at(proto);
      continue;
    }
    auto id = text::toUnsigned(sid);
    if (!id || *id > 0xFFFF) {
      report.skip(e.line, "[" + e.name + "] SERVICE_ID '" + sid + "' is not a number");
      continue;
    }
    Service s;
    s.name = e.name;
    s.provider = get(e, "PROVIDER");
    s.service_id = static_cast<int>(*id);
    bool video = text::toUnsigned(get(e, "VIDEO_PID")).value_or(0) != 0;
    bool audio = text::toUnsigned(text::words(get(e, "AUDIO_PID")).empty() ? "" : text::words(get(e, "AUDIO_PID"))[0])
                     .value_or(0) != 0;
    s.service_type = video ? kServiceTypeTv : audio ? kServiceTypeRadio : kServiceTypeData;
    groups.at(proto).services.push_back(std::move(s));
    ++services;
  }
  report.sortProblems();
  report.services = services;
  report.carriers = static_cast<int>(groups.size());
  return groups.take();
}

}  // namespace emu
