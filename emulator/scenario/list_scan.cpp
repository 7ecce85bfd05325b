// Legacy scan files: "S freq pol sr fec" (and "S1"/"S2" with roll-off and modulation).
#include <emulator/scenario/lists.h>
#include <emulator/scenario/text.h>

namespace emu {

std::vector<Carrier> readScanFile(const std::string& path, ListReport& report) {
  report.file = path;
  std::vector<Carrier> out;
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    size_t hash = t.find('#');
    if (hash != std::string::npos) t = text::trim(t.substr(0, hash));
    if (t.empty()) continue;
    auto w = text::words(t);
    if (w.empty()) continue;
    const std::string& kind = w[0];
    if (kind == "T" || kind == "C" || kind == "A" || kind == "T2") {
      report.leaveOut(line.number, "not a satellite entry");
      continue;
    }
    if (kind != "S" && kind != "S1" && kind != "S2") {
      report.skip(line.number, "expected 'S freq pol sr fec', found '" + kind + "'");
      continue;
    }
    if (w.size() < 4) {
      report.skip(line.number, "expected 'S freq pol sr fec'");
      continue;
    }
    auto f = text::toDouble(w[1]);
    auto p = text::toPolarisation(w[2]);
    auto sr = text::toDouble(w[3]);
    if (!f || *f <= 0) { report.skip(line.number, "frequency '" + w[1] + "' is not a number"); continue; }
    if (!p) { report.skip(line.number, "polarisation '" + w[2] + "' is neither H nor V"); continue; }
    if (!sr || *sr <= 0) { report.skip(line.number, "symbol rate '" + w[3] + "' is not a number"); continue; }
    Carrier c;
    c.frequency_khz = text::frequencyKhz(*f);
    c.polarisation = *p;
    c.symbol_rate = text::symbolRate(*sr);
    if (!c.symbol_rate) { report.skip(line.number, "symbol rate '" + w[3] + "' is out of range"); continue; }
    c.system = kind == "S2" ? DeliverySystem::DvbS2 : DeliverySystem::DvbS;
    if (w.size() > 4) {
      int code = fecCode(w[4]);
      if (code < 0) { report.skip(line.number, "FEC '" + w[4] + "' is unknown"); continue; }
      c.fec = code;
      c.fec_text = w[4];
    }
    if (w.size() > 5) {
      const std::string& r = w[5];
      if (r == "25") c.rolloff = 0.25;
      else if (r == "20") c.rolloff = 0.20;
      else if (r != "35" && text::upper(r) != "AUTO") { report.skip(line.number, "roll-off '" + r + "' is unknown"); continue; }
    }
    if (w.size() > 6) {
      std::string m = text::upper(w[6]);
      c.modulation = m == "QPSK" ? Modulation::Qpsk : m == "8PSK" || m == "PSK/8" ? Modulation::Psk8 : Modulation::Other;
    }
    if (c.frequency_khz < kBandLowKhz || c.frequency_khz > kBandHighKhz) {
      report.leaveOut(line.number, "outside the Ku band");
      continue;
    }
    c.origin = path + ":" + std::to_string(line.number);
    out.push_back(std::move(c));
  }
  report.carriers = static_cast<int>(out.size());
  return out;
}

}  // namespace emu
