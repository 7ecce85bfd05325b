#include <emulator/scenario/loader.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <toml++/toml.h>
#include <emulator/scenario/lists.h>
#include <emulator/scenario/text.h>
#include <emulator/tuner/fault_plan.h>

namespace emu {

namespace fs = std::filesystem;

namespace {

// Tolerance within which a frequency of the scenario names a carrier of the lists.
constexpr uint32_t kSameTransponderKhz = 2000;

int lineOf(const toml::node& n) { return static_cast<int>(n.source().begin.line); }

// One TOML table with its allowed keys and typed getters that refuse bad values with their line.
class Table {
public:
  Table(const toml::table& t, std::string where, const std::string& file) : t_(t), where_(std::move(where)), file_(file) {}

  void allow(std::initializer_list<const char*> keys) const {
    for (auto&& [k, v] : t_) {
      bool ok = false;
      for (const char* a : keys) ok = ok || k.str() == a;
      if (!ok) throw ScenarioError(file_, static_cast<int>(k.source().begin.line),
                                   "unknown key '" + std::string(k.str()) + "' in " + where_);
    }
  }
  bool has(const char* key) const { return t_.contains(key); }
  int line() const { return lineOf(t_); }
  [[noreturn]] void fail(const char* key, const std::string& what) const {
    const toml::node* n = t_.get(key);
    throw ScenarioError(file_, n ? lineOf(*n) : line(), where_ + " " + key + ": " + what);
  }
  [[noreturn]] void missing(const char* key) const {
    throw ScenarioError(file_, line(), where_ + ": '" + key + "' is missing");
  }

  std::optional<int64_t> integer(const char* key, int64_t lo, int64_t hi, bool required = false) const {
    const toml::node* n = t_.get(key);
    if (!n) { if (required) missing(key); return std::nullopt; }
    auto v = n->value_exact<int64_t>();
    if (!v) fail(key, "expected an integer");
    if (*v < lo || *v > hi) fail(key, std::to_string(*v) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return v;
  }
  std::optional<double> number(const char* key, double lo, double hi, bool required = false) const {
    const toml::node* n = t_.get(key);
    if (!n) { if (required) missing(key); return std::nullopt; }
    std::optional<double> v;
    if (auto i = n->value_exact<int64_t>()) v = static_cast<double>(*i);
    else if (auto d = n->value_exact<double>()) v = *d;
    if (!v || !std::isfinite(*v)) fail(key, "expected a number");
    if (*v < lo || *v > hi) {
      std::ostringstream os;
      os << *v << " is outside " << lo << ".." << hi;
      fail(key, os.str());
    }
    return v;
  }
  std::optional<std::string> string(const char* key, bool required = false) const {
    const toml::node* n = t_.get(key);
    if (!n) { if (required) missing(key); return std::nullopt; }
    auto v = n->value_exact<std::string>();
    if (!v) fail(key, "expected a string");
    return v;
  }
  std::optional<bool> boolean(const char* key) const {
    const toml::node* n = t_.get(key);
    if (!n) return std::nullopt;
    auto v = n->value_exact<bool>();
    if (!v) fail(key, "expected true or false");
    return v;
  }
  const toml::table* table(const char* key) const {
    const toml::node* n = t_.get(key);
    if (!n) return nullptr;
    if (!n->is_table()) fail(key, "expected a table");
    return n->as_table();
  }
  // An array of tables ([[key]] or [ {..}, {..} ]).
  std::vector<const toml::table*> tables(const char* key) const {
    std::vector<const toml::table*> out;
    const toml::node* n = t_.get(key);
    if (!n) return out;
    const toml::array* a = n->as_array();
    if (!a) fail(key, "expected an array of tables");
    for (const auto& e : *a) {
      if (!e.is_table()) throw ScenarioError(file_, lineOf(e), where_ + " " + key + ": expected a table");
      out.push_back(e.as_table());
    }
    return out;
  }
  std::vector<std::pair<std::string, int>> strings(const char* key) const {
    std::vector<std::pair<std::string, int>> out;
    const toml::node* n = t_.get(key);
    if (!n) return out;
    const toml::array* a = n->as_array();
    if (!a) fail(key, "expected an array of strings");
    for (const auto& e : *a) {
      auto s = e.value_exact<std::string>();
      if (!s) throw ScenarioError(file_, lineOf(e), where_ + " " + key + ": expected a string");
      out.emplace_back(*s, lineOf(e));
    }
    return out;
  }
  const toml::node* node(const char* key) const { return t_.get(key); }
  const std::string& file() const { return file_; }

private:
  const toml::table& t_;
  std::string where_;
  const std::string& file_;
};

Polarisation polarisation(const Table& t, const char* key) {
  auto s = t.string(key, true);
  auto p = text::toPolarisation(*s);
  if (!p) t.fail(key, "'" + *s + "' is neither \"H\" nor \"V\"");
  return *p;
}

uint32_t bandFrequency(const Table& t, const char* key) {
  double mhz = *t.number(key, kBandLowKhz / 1000.0, kBandHighKhz / 1000.0, true);
  return static_cast<uint32_t>(std::lround(mhz * 1000));
}

int switchPort(const Table& t) {
  const toml::node* n = t.node("diseqc_port");
  if (!n) t.missing("diseqc_port");
  if (auto s = n->value_exact<std::string>()) {
    if (s->size() == 1 && (*s)[0] >= 'A' && (*s)[0] <= 'D') return (*s)[0] - 'A';
    t.fail("diseqc_port", "'" + *s + "' is not a port A..D or 0..3");
  }
  return static_cast<int>(*t.integer("diseqc_port", 0, 3, true));
}

int serviceTypeOf(const Table& t) {
  const toml::node* n = t.node("type");
  if (!n) return kServiceTypeTv;
  if (auto s = n->value_exact<std::string>()) {
    if (*s == "T") return kServiceTypeTv;
    if (*s == "R") return kServiceTypeRadio;
    if (*s == "D") return kServiceTypeData;
    t.fail("type", "'" + *s + "' is not T, R, D or a service type code");
  }
  return static_cast<int>(*t.integer("type", 0, 255));
}

std::string resolve(const std::string& scenario_path, const std::string& rel) {
  fs::path p(rel);
  if (p.is_absolute()) return p.string();
  return (fs::path(scenario_path).parent_path() / p).lexically_normal().string();
}

uint32_t distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

// Adds list carriers to a satellite; a carrier already there (same polarisation, within 2 MHz)
// takes the new services it lacks instead of appearing twice.
void merge(Satellite& sat, std::vector<Carrier>&& carriers, std::vector<std::string>& notes) {
  for (auto& c : carriers) {
    Carrier* same = nullptr;
    for (auto& e : sat.carriers)
      if (e.polarisation == c.polarisation && distance(e.frequency_khz, c.frequency_khz) <= kSameTransponderKhz) same = &e;
    if (!same) {
      sat.carriers.push_back(std::move(c));
      continue;
    }
    // A service of the same name is the same service; one without an id takes the new list's id.
    std::vector<bool> claimed(same->services.size(), false);
    int added = 0;
    for (auto& s : c.services) {
      size_t i = 0;
      for (; i < claimed.size(); ++i) {
        Service& x = same->services[i];
        if (claimed[i] || x.name != s.name) continue;
        if (x.service_id == s.service_id || x.service_id == 0 || s.service_id == 0) break;
      }
      if (i < claimed.size()) {
        claimed[i] = true;
        Service& x = same->services[i];
        if (!x.service_id) x.service_id = s.service_id;
        if (x.provider.empty()) x.provider = s.provider;
        x.known = x.known || s.known;
        continue;
      }
      same->services.push_back(std::move(s));
      ++added;
    }
    notes.push_back(c.origin + ": the same transponder as " + same->origin + " (" + std::to_string(added) +
                    " services added to it)");
  }
}

Carrier readFeed(const Table& t, const std::string& file) {
  t.allow({"frequency_mhz", "polarisation", "symbol_rate_ksps", "fec", "system", "modulation", "rolloff",
           "esno_db", "known", "services", "transport_stream_id"});
  Carrier c;
  c.listed = false;
  c.frequency_khz = bandFrequency(t, "frequency_mhz");
  c.polarisation = polarisation(t, "polarisation");
  c.symbol_rate = static_cast<uint32_t>(std::lround(*t.number("symbol_rate_ksps", 1000, 45000, true) * 1000));
  std::string fec = t.string("fec").value_or("3/4");
  c.fec = fecCode(fec);
  if (c.fec < 0) t.fail("fec", "'" + fec + "' is not a code rate such as \"3/4\"");
  c.fec_text = fec;
  std::string sys = t.string("system").value_or("DVB-S");
  if (sys != "DVB-S" && sys != "DVB-S2") t.fail("system", "'" + sys + "' is neither \"DVB-S\" nor \"DVB-S2\"");
  c.system = sys == "DVB-S2" ? DeliverySystem::DvbS2 : DeliverySystem::DvbS;
  std::string mod = t.string("modulation").value_or(c.system == DeliverySystem::DvbS2 ? "8PSK" : "QPSK");
  if (mod != "QPSK" && mod != "8PSK") t.fail("modulation", "'" + mod + "' is neither \"QPSK\" nor \"8PSK\"");
  if (c.system == DeliverySystem::DvbS && mod != "QPSK") t.fail("modulation", "DVB-S carries QPSK only");
  c.modulation = mod == "8PSK" ? Modulation::Psk8 : Modulation::Qpsk;
  c.rolloff = t.number("rolloff", 0.2, 0.35).value_or(0.35);
  if (auto e = t.number("esno_db", -10, 40)) { c.esno_db = *e; c.esno_given = true; }
  c.known = t.boolean("known").value_or(false);
  c.transport_stream_id = static_cast<int>(t.integer("transport_stream_id", 1, 65535).value_or(0));
  c.origin = file + ":" + std::to_string(t.line());
  for (const toml::table* st : t.tables("services")) {
    Table s(*st, "service of the feed at " + c.origin, file);
    s.allow({"name", "provider", "type", "service_id", "known"});
    Service v;
    v.name = *s.string("name", true);
    if (v.name.empty()) s.fail("name", "is empty");
    v.provider = s.string("provider").value_or("");
    v.service_type = serviceTypeOf(s);
    v.service_id = static_cast<int>(s.integer("service_id", 1, 65535).value_or(0));
    v.known = s.boolean("known").value_or(c.known);
    c.services.push_back(std::move(v));
  }
  return c;
}

void readListEntry(const Table& t, Satellite& sat, Scenario& sc, const std::string& file) {
  t.allow({"file", "transponders", "services", "format", "unmatched", "zap_satellite", "known"});
  ListRequest rq;
  rq.orbital_position = sat.orbital_position;
  if (t.has("file") == t.has("transponders"))
    throw ScenarioError(file, t.line(), "a list names either 'file' or 'transponders' (with 'services')");
  if (t.has("file")) {
    rq.file = resolve(file, *t.string("file"));
    if (t.has("services")) t.fail("services", "goes with 'transponders', not with 'file'");
  } else {
    rq.file = resolve(file, *t.string("transponders"));
    rq.format = ListFormat::TransponderTable;
    if (auto s = t.string("services")) rq.services = resolve(file, *s);
  }
  if (auto f = t.string("format")) {
    auto fmt = formatByName(*f);
    if (!fmt) t.fail("format", "'" + *f + "' is not one of auto, tpl, vdr, zap, dvbv5, scan");
    if (t.has("transponders") && *fmt != ListFormat::TransponderTable) t.fail("format", "'transponders' is a tpl table");
    rq.format = *fmt;
  }
  std::string um = t.string("unmatched").value_or("ignore");
  if (um != "ignore" && um != "feeds") t.fail("unmatched", "'" + um + "' is neither \"ignore\" nor \"feeds\"");
  rq.unmatched = um == "feeds" ? Unmatched::Feeds : Unmatched::Ignore;
  rq.zap_satellite = static_cast<int>(t.integer("zap_satellite", 0, 3).value_or(0));
  bool known = t.boolean("known").value_or(false);

  ListResult r;
  try {
    r = emu::readList(rq);
  } catch (const ScenarioError& e) {
    // A list that cannot be opened at all is the scenario's mistake: point at its line.
    if (e.line() > 0) throw;
    const char* key = t.has("file") ? "file" : e.file() == rq.services ? "services" : "transponders";
    t.fail(key, "'" + e.file() + "': " + e.reason());
  }
  for (auto& rep : r.reports) {
    sc.entries_dropped += rep.skipped + rep.left_out;
    sc.notes.push_back(rep.summary());
    for (auto& p : rep.problems) sc.notes.push_back("  " + p.text);
  }
  auto mark = [&](std::vector<Carrier>& cs) {
    for (auto& c : cs) {
      c.known = c.known || known;
      for (auto& s : c.services) s.known = s.known || known;
    }
  };
  mark(r.carriers);
  mark(r.feeds);
  merge(sat, std::move(r.carriers), sc.notes);
  merge(sat, std::move(r.feeds), sc.notes);
}

void readKnown(const Table& t, Satellite& sat) {
  t.allow({"frequency_mhz", "polarisation", "services"});
  uint32_t f = bandFrequency(t, "frequency_mhz");
  Polarisation p = polarisation(t, "polarisation");
  Carrier* c = const_cast<Carrier*>(sat.find(f, p, kSameTransponderKhz));
  if (!c) throw ScenarioError(t.file(), t.line(), "known transponder " + std::to_string(f / 1000.0) + " " +
                              polarisationLetter(p) + " is not on " + sat.name);
  auto names = t.strings("services");
  if (names.empty()) {
    c->known = true;
    for (auto& s : c->services) s.known = true;
    return;
  }
  for (auto& [name, line] : names) {
    bool found = false;
    for (auto& s : c->services)
      if (s.name == name) { s.known = true; found = true; }
    if (!found) throw ScenarioError(t.file(), line, "service '" + name + "' is not on the transponder at " + c->origin);
  }
}

// Two list carriers of one polarisation whose occupied bands ((1 + roll-off) x SR)
// overlap: kept both, as the lists give them (the tuner's interference decides
// which of them locks), and noted.
void noteOverlaps(const Satellite& sat, std::vector<std::string>& notes) {
  for (size_t i = 0; i < sat.carriers.size(); ++i)
    for (size_t j = i + 1; j < sat.carriers.size(); ++j) {
      const Carrier& a = sat.carriers[i];
      const Carrier& b = sat.carriers[j];
      if (!a.listed || !b.listed || a.polarisation != b.polarisation) continue;
      double halves = (a.symbol_rate * (1 + a.rolloff) + b.symbol_rate * (1 + b.rolloff)) / 1000.0 / 2;   // kHz
      double overlap = halves - distance(a.frequency_khz, b.frequency_khz);
      if (overlap <= 0) continue;
      char mid[120];
      std::snprintf(mid, sizeof mid, ": %.3f MHz %s %u kS/s overlaps %.3f MHz %u kS/s of ", a.frequency_khz / 1000.0,
                    polarisationLetter(a.polarisation), a.symbol_rate / 1000, b.frequency_khz / 1000.0,
                    b.symbol_rate / 1000);
      char by[40];
      std::snprintf(by, sizeof by, " by %.3f MHz", overlap / 1000);
      notes.push_back(a.origin + mid + b.origin + by);
    }
}

void checkFeedPlacement(const Satellite& sat, const std::string& file) {
  for (const auto& f : sat.carriers) {
    if (f.listed) continue;
    for (const auto& c : sat.carriers) {
      if (&c == &f || c.polarisation != f.polarisation) continue;
      // Occupied bandwidths (1 + roll-off) x SR must not overlap.
      double half = (c.symbol_rate * (1 + c.rolloff) + f.symbol_rate * (1 + f.rolloff)) / 2000.0;   // kHz
      if (distance(c.frequency_khz, f.frequency_khz) < half)
        throw ScenarioError(file, std::atoi(f.origin.c_str() + f.origin.rfind(':') + 1),
                            "the feed at " + std::to_string(f.frequency_khz / 1000.0) + " MHz overlaps the carrier of " +
                            c.origin);
    }
  }
}

Satellite readSatellite(const Table& t, Scenario& sc, const std::string& file) {
  t.allow({"position", "name", "diseqc_port", "network_id", "lnb", "list", "known", "feed"});
  Satellite sat;
  sat.orbital_position = static_cast<int>(*t.integer("position", -1800, 1800, true));
  sat.name = *t.string("name", true);
  sat.diseqc_port = switchPort(t);
  sat.network_id = static_cast<int>(t.integer("network_id", 1, 65535).value_or(sat.orbital_position > 0 ? sat.orbital_position : 1));
  if (const toml::table* l = t.table("lnb")) {
    Table lt(*l, "lnb of " + sat.name, file);
    lt.allow({"lof_low_khz", "lof_high_khz", "threshold_khz"});
    sat.lnb.lof_low_khz = static_cast<uint32_t>(lt.integer("lof_low_khz", 1000000, 20000000).value_or(sat.lnb.lof_low_khz));
    sat.lnb.lof_high_khz = static_cast<uint32_t>(lt.integer("lof_high_khz", 1000000, 20000000).value_or(sat.lnb.lof_high_khz));
    sat.lnb.threshold_khz = static_cast<uint32_t>(lt.integer("threshold_khz", kBandLowKhz, kBandHighKhz).value_or(sat.lnb.threshold_khz));
  }
  auto lists = t.tables("list");
  auto feeds = t.tables("feed");
  if (lists.empty() && feeds.empty()) throw ScenarioError(file, t.line(), "satellite " + sat.name + " has no list and no feed");
  for (const toml::table* l : lists) readListEntry(Table(*l, "list of " + sat.name, file), sat, sc, file);
  for (const toml::table* f : feeds) {
    Carrier c = readFeed(Table(*f, "feed of " + sat.name, file), file);
    for (const auto& e : sat.carriers)
      if (e.polarisation == c.polarisation && e.frequency_khz == c.frequency_khz)
        throw ScenarioError(file, lineOf(*f), "a feed on the frequency of " + e.origin);
    sat.carriers.push_back(std::move(c));
  }
  for (const toml::table* k : t.tables("known")) readKnown(Table(*k, "known transponder of " + sat.name, file), sat);
  checkFeedPlacement(sat, file);
  std::stable_sort(sat.carriers.begin(), sat.carriers.end(), [](const Carrier& a, const Carrier& b) {
    return std::make_pair(a.polarisation, a.frequency_khz) < std::make_pair(b.polarisation, b.frequency_khz);
  });
  noteOverlaps(sat, sc.notes);
  completeIds(sat);
  return sat;
}

void readTuned(const Table& t, Scenario& sc) {
  t.allow({"position", "frequency_mhz", "polarisation", "symbol_rate_ksps", "playing"});
  int pos = static_cast<int>(*t.integer("position", -1800, 1800, true));
  Satellite* sat = nullptr;
  for (auto& s : sc.satellites)
    if (s.orbital_position == pos) sat = &s;
  if (!sat) t.fail("position", std::to_string(pos) + " is none of the scenario's satellites");
  uint32_t f = bandFrequency(t, "frequency_mhz");
  Polarisation p = polarisation(t, "polarisation");
  Carrier* c = const_cast<Carrier*>(sat->find(f, p, kSameTransponderKhz));
  if (!c) throw ScenarioError(t.file(), t.line(), "the tuned transponder is not on " + sat->name);
  uint32_t sr = c->symbol_rate;
  if (auto k = t.number("symbol_rate_ksps", 1000, 45000)) {
    sr = static_cast<uint32_t>(std::lround(*k * 1000));
    if (std::abs(static_cast<double>(sr) - c->symbol_rate) > 0.01 * c->symbol_rate)
      t.fail("symbol_rate_ksps", "the transponder at " + c->origin + " runs " + std::to_string(c->symbol_rate / 1000) + " kS/s");
  }
  sc.tuned.orbital_position = pos;
  sc.tuned.frequency_khz = c->frequency_khz;
  sc.tuned.polarisation = c->polarisation;
  sc.tuned.symbol_rate = c->symbol_rate;
  sc.tuned.fec = c->fec;
  // The receiver has the transponder it watches in its lists.
  c->known = true;
  for (auto& s : c->services) s.known = true;
  if (auto name = t.string("playing")) {
    bool found = std::any_of(c->services.begin(), c->services.end(), [&](const Service& s) { return s.name == *name; });
    if (!found) t.fail("playing", "'" + *name + "' is not a service of the transponder at " + c->origin);
    sc.tuned.playing = *name;
  }
}

}  // namespace

Scenario parseScenario(const std::string& toml_text, const std::string& path) {
  toml::table root;
  try {
    root = toml::parse(toml_text, path);
  } catch (const toml::parse_error& e) {
    throw ScenarioError(path, static_cast<int>(e.source().begin.line), std::string(e.description()));
  }
  Scenario sc;
  sc.source_path = path;
  Table t(root, "the scenario", path);
  t.allow({"name", "rf", "satellite", "tuned", "faults"});
  sc.name = t.string("name").value_or(fs::path(path).stem().string());
  if (const toml::table* rf = t.table("rf")) {
    Table r(*rf, "[rf]", path);
    r.allow({"dish_cm", "seed", "lo_error_khz"});
    sc.dish_cm = r.number("dish_cm", 30, 300).value_or(sc.dish_cm);
    sc.seed = static_cast<uint64_t>(r.integer("seed", 0, INT64_MAX).value_or(1));
    sc.lo_error_khz_max = r.number("lo_error_khz", 0, 5000).value_or(sc.lo_error_khz_max);
  }
  auto sats = t.tables("satellite");
  if (sats.empty()) throw ScenarioError(path, 0, "no [[satellite]]");
  for (const toml::table* s : sats) {
    Satellite sat = readSatellite(Table(*s, "[[satellite]]", path), sc, path);
    for (const auto& o : sc.satellites) {
      if (o.orbital_position == sat.orbital_position)
        throw ScenarioError(path, lineOf(*s), "a second satellite at position " + std::to_string(sat.orbital_position));
      if (o.diseqc_port == sat.diseqc_port)
        throw ScenarioError(path, lineOf(*s), sat.name + " shares switch port " + std::to_string(sat.diseqc_port) + " with " + o.name);
    }
    sc.satellites.push_back(std::move(sat));
  }
  if (const toml::table* tu = t.table("tuned")) readTuned(Table(*tu, "[tuned]", path), sc);
  for (const auto& [rule, line] : t.strings("faults")) {
    std::string why;
    if (!FaultPlan().add(rule, &why)) throw ScenarioError(path, line, why);
    sc.faults.push_back(rule);
  }
  return sc;
}

Scenario loadScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError(path, 0, "cannot open the scenario file");
  std::stringstream ss;
  ss << in.rdbuf();
  return parseScenario(ss.str(), path);
}

std::string builtinScenarioPath() {
#ifdef SCRUTA_SOURCE_DIR
  return std::string(SCRUTA_SOURCE_DIR) + "/scenarios/builtin.toml";
#else
  return "scenarios/builtin.toml";
#endif
}

}  // namespace emu
