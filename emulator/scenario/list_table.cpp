// The derived lists: .tpl (one transponder a line) and .services (one service a line).
#include <cmath>
#include <map>
#include <emulator/scenario/carrier_groups.h>
#include <emulator/scenario/lists.h>
#include <emulator/scenario/text.h>

namespace emu {

namespace {

bool inBand(uint32_t khz) { return khz >= kBandLowKhz && khz <= kBandHighKhz; }

std::string origin(const std::string& path, int line) { return path + ":" + std::to_string(line); }

// One .tpl line into c; an empty result means it was read, otherwise what is wrong.
std::string parseTableLine(const std::vector<std::string>& w, Carrier& c, int& stream_id) {
  if (w.size() < 5) return "expected 'freq_mhz pol sr_ksps fec system [modulation rolloff] [isi=N]'";
  auto f = text::toDouble(w[0]);
  auto khz = f ? text::thousandths(*f) : std::nullopt;
  if (!khz) return "frequency '" + w[0] + "' is not a number of MHz";
  auto p = text::toPolarisation(w[1]);
  if (!p) return "polarisation '" + w[1] + "' is neither H nor V";
  auto sr = text::toDouble(w[2]);
  if (!sr || *sr < 100 || *sr > 100000) return "symbol rate '" + w[2] + "' is not a number of kS/s";
  int fec = fecCode(w[3]);
  if (fec < 0) return "FEC '" + w[3] + "' is unknown";
  std::string sys = text::upper(w[4]);
  if (sys != "DVB-S" && sys != "DVB-S2") return "system '" + w[4] + "' is neither DVB-S nor DVB-S2";
  c.frequency_khz = *khz;
  c.polarisation = *p;
  c.symbol_rate = static_cast<uint32_t>(*sr * 1000 + 0.5);
  c.fec = fec;
  c.fec_text = w[3];
  c.system = sys == "DVB-S2" ? DeliverySystem::DvbS2 : DeliverySystem::DvbS;
  c.modulation = Modulation::Qpsk;
  size_t i = 5;
  if (w.size() > i && !text::startsWith(w[i], "isi=")) {
    std::string m = text::upper(w[i]);
    if (m == "8PSK") c.modulation = Modulation::Psk8;
    else if (m != "QPSK" && m != "-") c.modulation = Modulation::Other;
    ++i;
  }
  if (w.size() > i && !text::startsWith(w[i], "isi=")) {
    const std::string& r = w[i];
    if (r == "35") c.rolloff = 0.35;
    else if (r == "25") c.rolloff = 0.25;
    else if (r == "20") c.rolloff = 0.20;
    else if (r != "-" && text::upper(r) != "AUTO") return "roll-off '" + r + "' is unknown";
    ++i;
  }
  stream_id = -1;
  if (w.size() > i && text::startsWith(w[i], "isi=")) {
    auto s = text::toUnsigned(w[i].substr(4));
    if (!s || *s > 255) return "stream id '" + w[i] + "' is unreadable";
    stream_id = static_cast<int>(*s);
    ++i;
  }
  if (w.size() > i) return "unexpected '" + w[i] + "' at the end";
  return {};
}

}  // namespace

std::vector<Carrier> readTransponderTable(const std::string& path, ListReport& report) {
  report.file = path;
  std::vector<Carrier> out;
  std::map<std::pair<uint32_t, int>, int> seen;   // (frequency, polarisation) -> line
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    if (t.empty() || t[0] == '#') continue;
    Carrier c;
    int stream = -1;
    std::string err = parseTableLine(text::words(t), c, stream);
    if (!err.empty()) {
      report.skip(line.number, err);
      continue;
    }
    if (!inBand(c.frequency_khz)) {
      report.leaveOut(line.number, "outside the Ku band");
      continue;
    }
    auto key = std::make_pair(c.frequency_khz, static_cast<int>(c.polarisation));
    auto it = seen.find(key);
    if (it != seen.end()) {
      // Another stream of a multistream carrier: the band holds the carrier once.
      report.leaveOut(line.number, "another stream of the carrier of line " + std::to_string(it->second));
      continue;
    }
    seen.emplace(key, line.number);
    c.origin = origin(path, line.number);
    out.push_back(std::move(c));
  }
  report.carriers = static_cast<int>(out.size());
  return out;
}

namespace {

int serviceType(const std::string& cls) {
  if (cls == "T") return kServiceTypeTv;
  if (cls == "R") return kServiceTypeRadio;
  if (cls == "D") return kServiceTypeData;
  return -1;
}

// The table's carrier for a service line: exact first, then within 3 MHz and 15 % of the rate.
Carrier* match(std::vector<Carrier>& carriers, uint32_t f, Polarisation p, uint32_t sr) {
  Carrier* best = nullptr;
  uint32_t best_df = 3001;
  for (auto& c : carriers) {
    if (c.polarisation != p) continue;
    uint32_t df = c.frequency_khz > f ? c.frequency_khz - f : f - c.frequency_khz;
    double dsr = std::abs(static_cast<double>(c.symbol_rate) - sr) / c.symbol_rate;
    if (df < best_df && dsr <= 0.15) {
      best = &c;
      best_df = df;
    }
  }
  return best;
}

}  // namespace

void readServiceTable(const std::string& path, std::vector<Carrier>& carriers, Unmatched unmatched,
                      std::vector<Carrier>& feeds, ListReport& report) {
  report.file = path;
  CarrierGroups loose;
  bool in_unmatched = false;
  int kept = 0;
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    if (t.empty()) continue;
    if (t[0] == '#') {
      if (text::startsWith(t, "# --- unmatched")) in_unmatched = true;
      continue;
    }
    auto fields = text::split(t, '|');
    if (fields.size() < 4) {
      report.skip(line.number, "expected 'freq pol sr | T/R/D | name | provider'");
      continue;
    }
    // A name may itself hold '|': the provider is after the last one.
    std::string provider = text::trim(fields.back());
    std::string name;
    for (size_t i = 2; i + 1 < fields.size(); ++i) name += (i > 2 ? "|" : "") + fields[i];
    name = text::trim(name);
    auto w = text::words(fields[0]);
    std::string cls = text::trim(fields[1]);
    int type = serviceType(cls);
    std::optional<double> f, sr;
    std::optional<Polarisation> p;
    if (w.size() == 3) {
      f = text::toDouble(w[0]);
      p = text::toPolarisation(w[1]);
      sr = text::toDouble(w[2]);
    }
    std::optional<uint32_t> fk, srs;
    if (f) fk = text::thousandths(*f);
    if (sr) srs = text::thousandths(*sr);
    if (w.size() != 3 || !fk || !p || !srs) {
      report.skip(line.number, "transponder '" + text::trim(fields[0]) + "' is not 'freq_mhz pol sr_ksps'");
      continue;
    }
    if (type < 0) {
      report.skip(line.number, "service class '" + cls + "' is not T, R or D");
      continue;
    }
    if (name.empty()) {
      report.skip(line.number, "service without a name");
      continue;
    }
    Service s;
    s.name = name;
    s.provider = provider == "?" ? std::string() : provider;
    s.service_type = type;
    Carrier* c = in_unmatched ? nullptr : match(carriers, *fk, *p, *srs);
    if (!c) {
      if (unmatched == Unmatched::Ignore || !inBand(*fk)) {
        report.leaveOut(line.number, "'" + name + "' sits on no transponder of the table");
        continue;
      }
      Carrier proto;
      proto.frequency_khz = *fk;
      proto.polarisation = *p;
      proto.symbol_rate = *srs;
      proto.listed = false;
      proto.origin = path + ":" + std::to_string(line.number);
      c = &loose.at(proto);
    }
    c->services.push_back(std::move(s));
    ++kept;
  }
  report.services = kept;
  report.carriers = static_cast<int>(loose.size());
  for (auto& c : loose.take()) feeds.push_back(std::move(c));
}

}  // namespace emu
