// Reading a list in whichever format it comes.
#include <emulator/scenario/lists.h>
#include <emulator/scenario/text.h>

namespace emu {

namespace {

bool endsWith(const std::string& s, const char* suffix) {
  std::string x(suffix);
  return s.size() >= x.size() && s.compare(s.size() - x.size(), x.size(), x) == 0;
}

// A list that gave nothing is refused: a typo in a path or a format mix-up must not pass unseen.
void requireEntries(const ListReport& r, const char* what) {
  if (r.carriers > 0 || r.services > 0) return;
  if (!r.problems.empty()) {
    const ListProblem& first = r.problems.front();
    std::string why = first.text.substr(first.text.find(": ", r.file.size()) + 2);
    throw ScenarioError(r.file, first.line, std::string("no ") + what + " could be used (" +
                        std::to_string(r.skipped) + " unreadable, " + std::to_string(r.left_out) +
                        " left out); first: " + why);
  }
  throw ScenarioError(r.file, 0, std::string("holds no ") + what);
}

}  // namespace

const char* formatName(ListFormat f) {
  switch (f) {
    case ListFormat::Auto: return "auto";
    case ListFormat::TransponderTable: return "tpl";
    case ListFormat::VdrChannels: return "vdr";
    case ListFormat::ZapChannels: return "zap";
    case ListFormat::Dvbv5: return "dvbv5";
    case ListFormat::ScanFile: return "scan";
  }
  return "?";
}

std::optional<ListFormat> formatByName(const std::string& name) {
  for (ListFormat f : {ListFormat::Auto, ListFormat::TransponderTable, ListFormat::VdrChannels,
                       ListFormat::ZapChannels, ListFormat::Dvbv5, ListFormat::ScanFile})
    if (name == formatName(f)) return f;
  return std::nullopt;
}

ListFormat detectFormat(const std::string& path) {
  if (endsWith(path, ".tpl")) return ListFormat::TransponderTable;
  if (endsWith(path, ".services"))
    throw ScenarioError(path, 0, "a .services file is read together with its .tpl table (give both)");
  for (const auto& line : text::readLines(path)) {
    std::string t = text::trim(line.text);
    if (t.empty() || t[0] == '#' || t[0] == ':') continue;
    if (t[0] == '[') return ListFormat::Dvbv5;
    auto w = text::words(t);
    if (w.empty()) continue;
    if (w[0] == "S" || w[0] == "S1" || w[0] == "S2") return ListFormat::ScanFile;
    size_t colons = 0;
    for (char c : t) colons += c == ':';
    if (colons >= 12) return ListFormat::VdrChannels;
    if (colons == 7) return ListFormat::ZapChannels;
    throw ScenarioError(path, line.number, "cannot tell the list format from this line; give 'format'");
  }
  throw ScenarioError(path, 0, "empty list");
}

ListResult readList(const ListRequest& rq) {
  ListResult out;
  ListFormat fmt = rq.format == ListFormat::Auto ? detectFormat(rq.file) : rq.format;
  if (!rq.services.empty() && fmt != ListFormat::TransponderTable)
    throw ScenarioError(rq.file, 0, "a services file only goes with a .tpl table");
  ListReport r;
  r.file = rq.file;
  switch (fmt) {
    case ListFormat::TransponderTable: out.carriers = readTransponderTable(rq.file, r); break;
    case ListFormat::VdrChannels: out.carriers = readVdrChannels(rq.file, rq.orbital_position, r); break;
    case ListFormat::ZapChannels: out.carriers = readZapChannels(rq.file, rq.zap_satellite, r); break;
    case ListFormat::Dvbv5: out.carriers = readDvbv5(rq.file, r); break;
    case ListFormat::ScanFile: out.carriers = readScanFile(rq.file, r); break;
    case ListFormat::Auto: break;
  }
  requireEntries(r, "transponders");
  out.reports.push_back(std::move(r));
  if (!rq.services.empty()) {
    ListReport s;
    s.file = rq.services;
    readServiceTable(rq.services, out.carriers, rq.unmatched, out.feeds, s);
    requireEntries(s, "services");
    out.reports.push_back(std::move(s));
  }
  return out;
}

}  // namespace emu
