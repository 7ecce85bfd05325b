#include <emulator/scenario/levels.h>

#include <algorithm>
#include <cmath>

namespace emu {

namespace {

uint64_t splitmix(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double uniform(uint64_t& x) { return (static_cast<double>(splitmix(x) >> 11) + 0.5) / 9007199254740992.0; }

// Box-Muller, written out so that every library gives the same numbers.
double normal(uint64_t& x) {
  double u1 = uniform(x), u2 = uniform(x);
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

}  // namespace

double dishGainDb(double dish_cm, const LevelKnobs& k) { return 20.0 * std::log10(dish_cm / k.reference_dish_cm); }

void drawLevels(Scenario& s, const LevelKnobs& k) {
  double gain = dishGainDb(s.dish_cm, k);
  for (auto& sat : s.satellites) {
    for (auto& c : sat.carriers) {
      if (c.esno_given) continue;
      uint64_t x = s.seed;
      x ^= splitmix(x) + static_cast<uint64_t>(static_cast<int64_t>(sat.orbital_position)) * 0x100000001B3ull;
      x ^= splitmix(x) + (static_cast<uint64_t>(c.frequency_khz) << 1 | static_cast<uint64_t>(c.polarisation));
      splitmix(x);
      double full = std::clamp(k.full_mean_db + k.full_sd_db * normal(x), k.full_min_db, k.full_max_db) + gain;
      if (!c.listed) full -= k.feed_backoff_min_db + (k.feed_backoff_max_db - k.feed_backoff_min_db) * uniform(x);
      c.esno_db = std::round(full * 100) / 100;
    }
  }
}

}  // namespace emu
