#include "emulator/app/summary.h"

#include <algorithm>
#include <vector>

#include "emulator/toolkit/font.h"

namespace app {

size_t textWidth(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string terminalText(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : emu::decodeUtf8(s)) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) c = '?';
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

// A plain text table: columns padded to their widest cell.
void printTable(std::FILE* out, const std::vector<std::string>& head,
                const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> w(head.size());
  for (size_t i = 0; i < head.size(); ++i) w[i] = textWidth(head[i]);
  for (const auto& r : rows)
    for (size_t i = 0; i < r.size() && i < w.size(); ++i) w[i] = std::max(w[i], textWidth(r[i]));
  auto line = [&](const std::vector<std::string>& cells) {
    std::string l;
    for (size_t i = 0; i < cells.size(); ++i) {
      l += cells[i];
      if (i + 1 < cells.size()) l += std::string(w[i] - textWidth(cells[i]) + 2, ' ');
    }
    std::fprintf(out, "  %s\n", l.c_str());
  };
  line(head);
  std::vector<std::string> rule;
  for (size_t x : w) rule.push_back(std::string(x, '-'));
  line(rule);
  for (const auto& r : rows) line(r);
}

std::string fmt(const char* f, double v) {
  char b[64];
  std::snprintf(b, sizeof b, f, v);
  return b;
}

}  // namespace

void printSummary(std::FILE* out, const ScanResult& r) {
  const ScanSettings& s = r.settings;
  std::fprintf(out, "\nScan of %s (%d) %c, %d-%d MHz step %d, search %s, SR %d-%d step %d, threshold %d%%: %s\n",
               r.satelliteName.c_str(), r.orbitalPosition, s.polarisation ? 'V' : 'H', s.fromMHz, s.toMHz,
               s.stepMHz, searchName(s.search), s.srFrom, s.srTo, s.srStep, s.threshold, r.outcome.c_str());
  std::fprintf(out, "Box time %.1f s, wall time %.1f s\n", r.boxTimeS, r.wallTimeS);

  std::fprintf(out, "\nTransponders handed over: %zu\n", r.handOvers.size());
  if (!r.handOvers.empty()) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& h : r.handOvers)
      rows.push_back({fmt("%.0f", h.freqKhz / 1000.0), h.polarisation ? "V" : "H", std::to_string(h.srKsps),
                      std::to_string(h.services.size())});
    printTable(out, {"MHz", "pol", "kS/s", "services"}, rows);
  }

  std::fprintf(out, "\nServices in the found-channel log: %zu\n", r.log.services.size());
  if (!r.log.services.empty()) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& sv : r.log.services)
      rows.push_back({sv.isNew ? "new" : "known", sv.serviceClass, terminalText(sv.name), terminalText(sv.provider)});
    printTable(out, {"", "class", "name", "provider"}, rows);
  }

  const Truth& t = r.truth;
  std::fprintf(out,
               "\nTruth: %zu DVB-S carriers in range (%d DVB-S2 besides), %d lockable, %d found "
               "(%d of the lockable), %d missed, %zu false hand-overs\n",
               t.inRange.size(), t.dvbs2InRange, t.lockable, t.found, t.foundLockable, t.missed,
               t.falseHandOvers.size());
  std::fprintf(out, "Recall: %.1f %% (%d of %d lockable carriers found)\n", t.recall * 100, t.foundLockable,
               t.lockable);
  if (!t.foundNotLockable.empty())
    std::fprintf(out, "Truth fault: %zu carriers handed over that the tuner model locks at no setting of the range\n",
                 t.foundNotLockable.size());
  if (t.missed > 0) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& tc : t.inRange)
      if (tc.missed)
        rows.push_back({fmt("%.3f", tc.carrier->frequency_khz / 1000.0), fmt("%.0f", tc.carrier->symbol_rate / 1000.0),
                        fmt("%.1f", tc.carrier->esno_db), tc.why});
    std::fprintf(out, "Missed:\n");
    printTable(out, {"MHz", "kS/s", "Es/N0", "why missed"}, rows);
  }
}

}  // namespace app
