// VDR channels.conf and the older zap/szap channel lists.
#include <cctype>
#include <cmath>
#include <emulator/scenario/carrier_groups.h>
#include <emulator/scenario/lists.h>
#include <emulator/scenario/text.h>

namespace emu {

namespace {

bool inBand(uint32_t khz) { return khz >= kBandLowKhz && khz <= kBandHighKhz; }

// First number of a PID field such as "5101=27", "5101+5100=27", "5102=deu@3,5103=mis@3".
unsigned long firstPid(const std::string& field) {
  size_t n = 0;
  while (n < field.size() && std::isdigit(static_cast<unsigned char>(field[n]))) ++n;
  return n ? std::stoul(field.substr(0, n > 9 ? 9 : n)) : 0;
}

bool anyPid(const std::string& field) {
  for (const auto& part : text::split(field, ';'))
    for (const auto& pid : text::split(part, ','))
      if (firstPid(pid) != 0) return true;
  return false;
}

int classify(unsigned long vpid, bool audio) {
  if (vpid != 0) return kServiceTypeTv;
  return audio ? kServiceTypeRadio : kServiceTypeData;
}

// VDR parameter string ("HC23M5O35S1"): letters each followed by an optional number.
std::string parseParameters(const std::string& p, Carrier& c) {
  bool pol = false;
  size_t i = 0;
  while (i < p.size()) {
    char k = static_cast<char>(std::toupper(static_cast<unsigned char>(p[i++])));
    size_t b = i;
    while (i < p.size() && std::isdigit(static_cast<unsigned char>(p[i]))) ++i;
    std::string num = p.substr(b, i - b);
    long v = num.empty() ? -1 : std::stol(num.substr(0, 9));
    switch (k) {
      case 'H': c.polarisation = Polarisation::Horizontal; pol = true; break;
      case 'V': c.polarisation = Polarisation::Vertical; pol = true; break;
      case 'L': case 'R': return "circular polarisation on a linear satellite";
      case 'C': {
        static const struct { long v; int code; const char* text; } rates[] = {
            {0, 0, "NONE"}, {12, 1, "1/2"}, {23, 2, "2/3"}, {34, 3, "3/4"}, {45, 4, "4/5"}, {56, 5, "5/6"},
            {67, 6, "6/7"}, {78, 7, "7/8"}, {89, 8, "8/9"}, {35, 0, "3/5"}, {910, 0, "9/10"}, {999, 0, "AUTO"}};
        bool found = false;
        for (const auto& r : rates)
          if (r.v == v) { c.fec = r.code; c.fec_text = r.text; found = true; }
        if (!found) return "FEC 'C" + num + "' is unknown";
        break;
      }
      case 'M':
        c.modulation = v == 2 ? Modulation::Qpsk : v == 5 ? Modulation::Psk8 : Modulation::Other;
        break;
      case 'O':
        c.rolloff = v == 25 ? 0.25 : v == 20 ? 0.20 : 0.35;
        break;
      case 'S':
        if (v != 0 && v != 1) return "system 'S" + num + "' is unknown";
        c.system = v == 1 ? DeliverySystem::DvbS2 : DeliverySystem::DvbS;
        break;
      default:
        if (!std::isalpha(static_cast<unsigned char>(k))) return std::string("unexpected '") + k + "' in the parameters";
        break;   // inversion, stream id, ...: not modelled
    }
  }
  return pol ? std::string() : "no polarisation in the parameters";
}

// "S19.2E" -> 192, "S5.0W" -> -50; none for a source that is not a satellite.
std::optional<int> satelliteSource(const std::string& s) {
  if (s.size() < 3 || s[0] != 'S') return std::nullopt;
  char side = s.back();
  if (side != 'E' && side != 'W') return std::nullopt;
  auto deg = text::toDouble(s.substr(1, s.size() - 2));
  if (!deg) return std::nullopt;
  int tenths = static_cast<int>(std::lround(*deg * 10));
  return side == 'W' ? -tenths : tenths;
}

std::optional<unsigned long> number(const std::string& s) {
  auto v = text::toUnsigned(text::trim(s));
  if (!v || *v > 0xFFFFFFFFul) return std::nullopt;
  return static_cast<unsigned long>(*v);
}

}  // namespace

std::vector<Carrier> readVdrChannels(const std::string& path, int orbital_position, ListReport& report) {
  report.file = path;
  CarrierGroups groups;
  int kept = 0;
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    if (t.empty() || t[0] == ':' || t[0] == '#') continue;   // group separators and comments
    auto f = text::split(t, ':');
    if (f.size() < 13) {
      report.skip(line.number, "expected 13 ':'-separated fields, found " + std::to_string(f.size()));
      continue;
    }
    auto src = satelliteSource(f[3]);
    if (!src) {
      report.leaveOut(line.number, "source '" + f[3] + "' is not a satellite");
      continue;
    }
    if (*src != orbital_position) {
      report.leaveOut(line.number, "another satellite (" + f[3] + ")");
      continue;
    }
    auto freq = text::toDouble(f[1]);
    auto sr = text::toDouble(f[4]);
    auto sid = number(f[9]), nid = number(f[10]), tid = number(f[11]);
    if (!freq || *freq <= 0) { report.skip(line.number, "frequency '" + f[1] + "' is not a number"); continue; }
    if (!sr || *sr <= 0) { report.skip(line.number, "symbol rate '" + f[4] + "' is not a number"); continue; }
    if (!sid || !nid || !tid) { report.skip(line.number, "SID, NID or TID is not a number"); continue; }
    Carrier proto;
    std::string err = parseParameters(f[2], proto);
    if (!err.empty()) { report.skip(line.number, err); continue; }
    proto.frequency_khz = text::frequencyKhz(*freq);
    proto.symbol_rate = text::symbolRate(*sr);
    if (!proto.symbol_rate) { report.skip(line.number, "symbol rate '" + f[4] + "' is out of range"); continue; }
    if (!inBand(proto.frequency_khz)) { report.leaveOut(line.number, "outside the Ku band"); continue; }
    proto.transport_stream_id = static_cast<int>(*tid);
    proto.original_network_id = static_cast<int>(*nid);
    proto.origin = path + ":" + std::to_string(line.number);

    Service s;
    std::string name = f[0];
    for (char& ch : name) if (ch == '|') ch = ':';   // VDR writes colons of names as '|'
    size_t semi = name.find(';');
    if (semi != std::string::npos) {
      s.provider = name.substr(semi + 1);
      name.erase(semi);
    }
    // "long name,short name"; a decimal comma belongs to the name ("NDR 90,3").
    for (size_t comma = name.find(','); comma != std::string::npos; comma = name.find(',', comma + 1)) {
      bool decimal = comma > 0 && comma + 1 < name.size() && std::isdigit(static_cast<unsigned char>(name[comma - 1])) &&
                     std::isdigit(static_cast<unsigned char>(name[comma + 1]));
      if (!decimal) {
        name.erase(comma);
        break;
      }
    }
    s.name = text::trim(name);
    if (s.name.empty()) { report.skip(line.number, "service without a name"); continue; }
    s.service_type = classify(firstPid(f[5]), anyPid(f[6]));
    s.service_id = static_cast<int>(*sid);
    groups.at(proto).services.push_back(std::move(s));
    ++kept;
  }
  report.services = kept;
  report.carriers = static_cast<int>(groups.size());
  return groups.take();
}

std::vector<Carrier> readZapChannels(const std::string& path, int zap_satellite, ListReport& report) {
  report.file = path;
  CarrierGroups groups;
  int kept = 0;
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    if (t.empty() || t[0] == '#') continue;
    auto f = text::split(t, ':');
    if (f.size() != 8) {
      report.skip(line.number, "expected 'name:freq:pol:sat:sr:vpid:apid:sid', found " + std::to_string(f.size()) + " fields");
      continue;
    }
    auto freq = text::toDouble(f[1]);
    auto pol = text::toPolarisation(f[2]);
    auto sat = number(f[3]);
    auto sr = text::toDouble(f[4]);
    auto vpid = number(f[5]), apid = number(f[6]), sid = number(f[7]);
    if (!freq || *freq <= 0 || !pol || !sat || !sr || *sr <= 0 || !vpid || !apid || !sid) {
      report.skip(line.number, "a field is not a number or the polarisation is neither h nor v");
      continue;
    }
    if (static_cast<int>(*sat) != zap_satellite) {
      report.leaveOut(line.number, "another satellite (sat " + f[3] + ")");
      continue;
    }
    Carrier proto;
    proto.frequency_khz = text::frequencyKhz(*freq);
    proto.polarisation = *pol;
    proto.symbol_rate = text::symbolRate(*sr);
    if (!proto.symbol_rate) { report.skip(line.number, "symbol rate '" + f[4] + "' is out of range"); continue; }
    if (!inBand(proto.frequency_khz)) { report.leaveOut(line.number, "outside the Ku band"); continue; }
    proto.origin = path + ":" + std::to_string(line.number);
    Service s;
    s.name = text::trim(f[0]);
    if (s.name.empty()) { report.skip(line.number, "service without a name"); continue; }
    s.service_type = classify(*vpid, *apid != 0);
    s.service_id = static_cast<int>(*sid);
    groups.at(proto).services.push_back(std::move(s));
    ++kept;
  }
  report.services = kept;
  report.carriers = static_cast<int>(groups.size());
  return groups.take();
}

}  // namespace emu
