// Counter-based noise: every random figure of the tuner is a hash of the seed and
// of the state it belongs to, so readings do not depend on call order.
#pragma once
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace emu {

inline uint64_t mix64(uint64_t x) {   // splitmix64 finaliser
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

inline uint64_t hashOf(std::initializer_list<uint64_t> words) {
  uint64_t h = 0x51A7E11173ull;
  for (uint64_t w : words) h = mix64(h ^ w);
  return h;
}

// Uniform in [0, 1).
inline double unitOf(uint64_t h) { return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0); }

// Standard normal (Box-Muller on two figures derived from h).
inline double gaussianOf(uint64_t h) {
  double u1 = unitOf(mix64(h ^ 0x1234567ull));
  double u2 = unitOf(mix64(h ^ 0x89ABCDEull));
  if (u1 < 1e-300) u1 = 1e-300;
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

}  // namespace emu
