#include "emulator/window/status_strip.h"

#include <cstdio>

#include "emulator/tuner/box.h"

namespace win {

std::string boxTimeText(double s, const std::string& tempo) {
  long t = static_cast<long>(s);
  char buf[64];
  std::snprintf(buf, sizeof buf, "box %ld:%02ld:%02ld  %s", t / 3600, t / 60 % 60, t % 60, tempo.c_str());
  return buf;
}

std::string tunerText() {
  emu::Tuner& t = emu::box().tuner();
  emu::TunerState st = t.state();
  emu::TunerView v = t.peek();
  uint32_t status = t.peekStatus();
  std::string sat = "port " + std::to_string(st.port);
  for (const auto& s : emu::box().scenario().satellites)
    if (s.diseqc_port == st.port) {
      sat = s.name + " (" + std::to_string(s.orbital_position) + ") " + sat;
      break;
    }
  const char* pol = st.voltage == SEC_VOLTAGE_13 || st.voltage == SEC_VOLTAGE_13_5 ? "V"
                    : st.voltage == SEC_VOLTAGE_18 || st.voltage == SEC_VOLTAGE_18_5 ? "H" : "-";
  char buf[160];
  if (st.tuned)
    std::snprintf(buf, sizeof buf, "%s  %.0f MHz %s  %u kS/s ", sat.c_str(), v.rf_khz / 1000, pol,
                  st.symbol_rate / 1000);
  else
    std::snprintf(buf, sizeof buf, "%s  not tuned ", sat.c_str());
  std::string out = buf;
  const std::pair<uint32_t, const char*> bits[] = {{FE_HAS_SIGNAL, " SIG"}, {FE_HAS_CARRIER, " CAR"},
                                                   {FE_HAS_VITERBI, " VIT"}, {FE_HAS_SYNC, " SYNC"},
                                                   {FE_HAS_LOCK, " LOCK"}};
  for (const auto& [bit, name] : bits)
    if (status & bit) out += name;
  return out;
}

void drawStatusStrip(Canvas& c, const Rect& area, const std::string& left, const std::string& right) {
  c.fill(area, 0x101216);
  c.fill({area.x, area.y, area.w, 1}, 0x3a3f48);
  c.text(left, area.x + 8, area.y + 5, 15, 0xe8e8e8);
  c.text(right, area.x + 190, area.y + 5, 15, 0x9fd0ff);
}

}  // namespace win
