#include "emulator/tuner/rf_model.h"

#include <algorithm>
#include <cmath>

#include "host/dvbapi/frontend.h"

namespace emu {

namespace {
constexpr double kPi = 3.14159265358979323846;

// 8-point Gauss-Legendre on [a, b].
template <class F>
double gauss8(F f, double a, double b) {
  static const double x[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                              0.9602898564975363};
  static const double w[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                              0.1012285362903763};
  double m = 0.5 * (a + b), h = 0.5 * (b - a), s = 0;
  for (int i = 0; i < 4; ++i) s += w[i] * (f(m - h * x[i]) + f(m + h * x[i]));
  return s * h;
}
}  // namespace

double rcShape(double df, double sr, double rolloff) {
  df = std::fabs(df);
  double f1 = (1 - rolloff) * sr / 2, f2 = (1 + rolloff) * sr / 2;
  if (df <= f1) return 1;
  if (df >= f2) return 0;
  return 0.5 * (1 + std::cos(kPi * (df - f1) / (f2 - f1)));
}

double windowShare(double offset, double sr_c, double a_c, double sr_w, double a_w) {
  double lo = std::max(offset - (1 + a_c) * sr_c / 2, -(1 + a_w) * sr_w / 2);
  double hi = std::min(offset + (1 + a_c) * sr_c / 2, (1 + a_w) * sr_w / 2);
  if (hi <= lo) return 0;
  // Split at the corners of both shapes so that every piece is smooth.
  double cuts[10] = {lo, hi,
                     offset - (1 - a_c) * sr_c / 2, offset + (1 - a_c) * sr_c / 2,
                     -(1 - a_w) * sr_w / 2, (1 - a_w) * sr_w / 2,
                     offset, 0, 0, 0};
  int n = 7;
  std::sort(cuts, cuts + n);
  auto f = [&](double x) { return rcShape(x - offset, sr_c, a_c) * rcShape(x, sr_w, a_w); };
  double sum = 0, prev = lo;
  for (int i = 0; i < n; ++i) {
    double c = std::clamp(cuts[i], lo, hi);
    if (c > prev) {
      sum += gauss8(f, prev, c);
      prev = c;
    }
  }
  return sum / sr_w;
}

double codeRate(int fec) {
  switch (fec) {
    case FEC_1_2: return 1.0 / 2;
    case FEC_2_3: return 2.0 / 3;
    case FEC_3_4: return 3.0 / 4;
    case FEC_4_5: return 4.0 / 5;
    case FEC_5_6: return 5.0 / 6;
    case FEC_6_7: return 6.0 / 7;
    case FEC_7_8: return 7.0 / 8;
    case FEC_8_9: return 8.0 / 9;
    default: return 3.0 / 4;
  }
}

double qefDb(int fec, const Knobs& k) {
  double three_quarters = 0;
  for (const Knobs::QefRow& r : k.qef) {
    if (r.fec == fec) return r.esno_db;
    if (r.fec == FEC_3_4) three_quarters = r.esno_db;
  }
  return three_quarters;
}

double nirFor(double esno_db, const Knobs& k) {
  // Piecewise linear in dB through the table, extended along the end segments.
  const double x[4] = {1.5, 4, 10, 20};
  const double y[4] = {k.nir_1_5db, k.nir_4db, k.nir_10db, k.nir_20db};
  int i = esno_db < x[1] ? 0 : esno_db < x[2] ? 1 : 2;
  double v = y[i] + (y[i + 1] - y[i]) * (esno_db - x[i]) / (x[i + 1] - x[i]);
  return std::clamp(v, 0.0, k.nir_unlocked_min);
}

double programmedSr(uint32_t sr, const Knobs& k) {
  if (sr == 0) return k.sr_zero;
  return std::clamp(static_cast<double>(sr), k.sr_min, k.sr_max);
}

uint64_t searchTimeoutUs(double sr, const Knobs& k) {
  if (sr > 20e6) return k.timeout_above_20M_us;
  if (sr > 10e6) return k.timeout_above_10M_us;
  if (sr > 5e6) return k.timeout_above_5M_us;
  if (sr > 2e6) return k.timeout_above_2M_us;
  return k.timeout_low_us;
}

uint64_t lockTimeUs(double sr, int carrier_fec, int set_fec, int n, const Knobs& k) {
  double t = k.pll_settle_us * 1e-6 + k.timing_acq_symbols / sr + n * k.carrier_acq_symbols / sr;
  auto viterbi = [&](int fec) { return k.viterbi_acq_bits / (2 * sr * codeRate(fec) * 188.0 / 204.0); };
  if (set_fec != FEC_NONE && set_fec != FEC_AUTO) {
    t += viterbi(set_fec);
  } else {
    static const int order[] = {FEC_1_2, FEC_2_3, FEC_3_4, FEC_5_6, FEC_7_8};
    double target = codeRate(carrier_fec);
    for (int f : order) {
      t += viterbi(f);
      if (codeRate(f) >= target - 1e-9) break;
    }
  }
  return static_cast<uint64_t>(std::llround(t * 1e6));
}

}  // namespace emu
