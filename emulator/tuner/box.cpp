#include "emulator/tuner/box.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emulator/tuner/prng.h"

namespace emu {

namespace {
std::string defaultRoot() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state) + "/scrutafasci";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state/scrutafasci";
  return "/tmp/scrutafasci-state";
}

bool makeDirs(const std::string& path) {
  std::string part;
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      part = path.substr(0, i);
      if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

constexpr const char kBoxFolder[] = "/var/tuxbox";
}  // namespace

std::string foldPath(const char* path) {
  if (!path || path[0] != '/') return std::string();
  std::vector<std::string> parts;
  const char* p = path;
  while (*p) {
    while (*p == '/') ++p;
    const char* s = p;
    while (*p && *p != '/') ++p;
    std::string part(s, p);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string out;
  for (const auto& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

std::string Box::boxPath(const char* path) {
  if (!path || path[0] != '/') return std::string();
  // Fast path: most paths are nowhere near the box folder.
  if (std::strstr(path, "tuxbox") == nullptr) return std::string();
  std::string f = foldPath(path);
  size_t n = sizeof kBoxFolder - 1;
  if (f.compare(0, n, kBoxFolder) == 0 && (f.size() == n || f[n] == '/')) return f;
  return std::string();
}

Box::Box() : scenario_(std::make_shared<Scenario>()), tuner_(clock_, knobs_) {
  tuner_.reset(scenario_.get());
}

void Box::load(Scenario s) {
  assignEsNo(s, knobs_);
  auto next = std::make_shared<const Scenario>(std::move(s));
  tuner_.reset(next.get());
  // The old scenario is dropped only now that the tuner no longer points into it.
  scenario_ = next;
  const Tuned& t = scenario_->tuned;
  if (t.frequency_khz) {
    TuneRequest r;
    r.orbital_position = t.orbital_position;
    r.frequency_khz = t.frequency_khz;
    r.polarisation = t.polarisation;
    r.symbol_rate = t.symbol_rate;
    tuner_.tune(r);
  }
}

std::string Box::root() const {
  std::lock_guard<std::mutex> l(root_mutex_);
  if (root_.empty()) root_ = defaultRoot();
  return root_;
}

void Box::setRoot(const std::string& dir) {
  std::string r = dir;
  while (r.size() > 1 && r.back() == '/') r.pop_back();
  std::lock_guard<std::mutex> l(root_mutex_);
  root_ = r;
}

bool Box::prepareRoot() const { return makeDirs(root() + "/var/tuxbox/plugins"); }

bool Box::mapPath(const char* path, std::string* out) const {
  std::string b = boxPath(path);
  if (b.empty()) return false;
  *out = root() + b;
  return true;
}

void Box::setLogSink(std::function<void(const std::string&)> sink) {
  std::lock_guard<std::mutex> l(log_mutex_);
  log_sink_ = std::move(sink);
}

void Box::log(const std::string& line) {
  std::lock_guard<std::mutex> l(log_mutex_);
  if (log_sink_)
    log_sink_(line);
  else
    std::fprintf(stderr, "scrutafasci-emu: %s\n", line.c_str());
}

Box& box() {
  static Box* b = new Box;   // never destroyed: the seam may run during exit
  return *b;
}

void assignEsNo(Scenario& s, const Knobs& k) {
  double dish_db = s.dish_cm > 0 ? 20 * std::log10(s.dish_cm / k.dish_reference_cm) : 0;
  for (Satellite& sat : s.satellites) {
    for (Carrier& c : sat.carriers) {
      if (c.esno_given) continue;
      uint64_t h = hashOf({s.seed, 0xE5E5ull, static_cast<uint64_t>(sat.orbital_position + 10000),
                           c.frequency_khz, static_cast<uint64_t>(c.polarisation)});
      double full = std::clamp(k.esno_mean_db + k.esno_sd_db * gaussianOf(h), k.esno_min_db, k.esno_max_db);
      if (!c.listed)
        full -= k.feed_backoff_min_db + (k.feed_backoff_max_db - k.feed_backoff_min_db) * unitOf(mix64(h));
      c.esno_db = full + dish_db;
    }
  }
}

}  // namespace emu
