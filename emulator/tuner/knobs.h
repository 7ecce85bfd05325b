// Every parameter of the emulated tuner, with its default and where the figure
// comes from. README.md beside this file carries the same table; keep both in step.
#pragma once
#include <array>
#include <cstdint>

namespace emu {

struct Knobs {
  // --- LNB and switch ---------------------------------------------------------
  double if_min_khz = 950000;          // IF window of the tuner (stv0299.c, bsru6.h)
  double if_max_khz = 2150000;
  double cross_polar_db = 25;          // isolation of the opposite polarisation (model)
  uint64_t sec_sequence_us = 100000;   // voltage settle + 54 ms message + quiet times (DiSEqC timing)
  uint64_t sec_write_us = 1000;        // SEC_SET_TONE / SEC_SET_VOLTAGE register write (model)
  // LO error bound comes from Scenario::lo_error_khz_max (default 800 kHz, DRO LNB measurements).

  // --- the band ---------------------------------------------------------------
  // Carrier spectrum: raised-cosine power density (root-raised-cosine shaping), the
  // roll-off is the carrier's own (0.35 for DVB-S, EN 300 421).
  double esno_mean_db = 13.5;          // full transponder, 60 cm dish (link budget, EIRP 50-54 dBW)
  double esno_sd_db = 2.5;
  double esno_min_db = 8;              // clip of the draw, 60 cm
  double esno_max_db = 19;
  double dish_reference_cm = 60;       // dish gain: +20 log10(d / 60 cm), +2.5 dB at 80 cm
  double feed_backoff_min_db = 3;      // unlisted feeds sit 3 to 7 dB below a full transponder
  double feed_backoff_max_db = 7;      //   (multi-carrier back-off)
  // Quasi-error-free Es/N0 per code rate, QPSK (EN 300 421, Eb/N0 converted; 4/5 and 6/7
  // midway between their neighbours, 8/9 0.3 dB above 7/8). A code rate not listed
  // (unknown, 0) is taken as 3/4.
  struct QefRow {
    int fec;                           // DVB API code: 1 = 1/2 ... 8 = 8/9
    double esno_db;
  };
  std::array<QefRow, 8> qef = {{
      {1, 4.2},   // 1/2
      {2, 5.9},   // 2/3
      {3, 6.9},   // 3/4
      {4, 7.4},   // 4/5
      {5, 7.9},   // 5/6
      {6, 8.2},   // 6/7
      {7, 8.5},   // 7/8
      {8, 8.8},   // 8/9
  }};

  // --- demodulator ------------------------------------------------------------
  uint64_t pll_settle_us = 15000;      // part of the lock time; TUNER_HAS_LOCK after it (datasheet)
  double timing_acq_symbols = 1e5;     // timing recovery: 10^5 / SR (datasheet acquisition figures)
  double carrier_acq_symbols = 32768;  // carrier search: n * 65536 / (2 SR), n = 1..2 (datasheet)
  double viterbi_acq_bits = 52224;     // per code rate tried: 52224 / R_u, R_u = 2 SR r 188/204;
                                       //   with FEC auto the rates are tried from 1/2 up to the carrier's
  // Search time-out by programmed symbol rate (stv090x lock timing table).
  uint64_t timeout_above_20M_us = 300000, timeout_above_10M_us = 400000,
           timeout_above_5M_us = 700000, timeout_above_2M_us = 1000000, timeout_low_us = 2500000;
  double window_rolloff = 0.35;        // roll-off of the demodulator's own matched filter (EN 300 421)
  double capture_fraction = 0.12;      // carrier capture |df| <= 0.12 SR (VES1993 datasheet)
  double timing_tolerance = 240e-6;    // SR tolerance for Viterbi (VES1993/STV0299; options 500e-6, 0.05)
  double carrier_sr_solid = 0.01;      // CARRIER with SR within 1 %, flickering up to 3 % (model)
  double carrier_sr_flicker = 0.03;
  double carrier_min_esno_db = 1;      // CARRIER needs Es/N0 >= 1 dB (stv0299 lock detector)
  double viterbi_margin_db = 1;        // VITERBI at Es/N0 >= QEF - 1 dB
  double lock_margin_db = 0.3;         // SYNC+LOCK at Es/N0 >= QEF - 0.3 dB, flickering +-0.3 dB
  double lock_flicker_db = 0.3;
  double signal_threshold_db = 1.5;    // SIGNAL when the window power is 1.5 dB above noise (model)
  double sr_min = 1e6, sr_max = 45e6;  // programmed SR clamped (ves1x93.c, tda8083.c)
  double sr_zero = 0.5e6;              //   0 gives 0.5 MS/s
  double offset_step_khz = 1.34;       // FE_GET_FRONTEND derotator step (stv0299.c)
  double sr_report_step = 2000;        // FE_GET_FRONTEND reports the SR rounded to 2 kS/s

  // --- readings (0..65535) ----------------------------------------------------
  double agc_floor = 38000;            // strength = 38000 + 2600 * 10 log10(rho) (model slope)
  double agc_per_db = 2600;
  double agc_noise_sd = 300;
  double agc_dark = 12000;             // no LNB supply or no LNB on the port (model)
  // SNR = 3 * (0x5EFF - NIR); NIR from Es/N0 (stv0299.c, stb0899_drv.c), interpolated in dB.
  double nir_20db = 2600, nir_10db = 5190, nir_4db = 8250, nir_1_5db = 9600;
  double nir_jitter = 40;              // uniform +-40
  double nir_unlocked_min = 13000;     // unlocked: uniform 13000..20000 (20 %..52 %)
  double nir_unlocked_max = 20000;
  double snr_blend_sr = 0.03;          // blend weight max(SR error / 3 %, offset / capture range)
  double ber_at_qef = 2e-4;            // bit error rate at QEF, falling 10^-1.2 per dB (model slope)
  double ber_per_db = 1.2;
  double ber_window_bytes = 262144;    // errors counted over 2^18 bytes (stv0299 register use)
  uint32_t ber_unlocked = 0xFFFF;

  // --- virtual time per request -------------------------------------------------
  uint64_t read_us = 1000;             // status, strength, SNR, BER: two register reads at 100 kHz I2C
  uint64_t set_frontend_us = 5000;     // stv0299.c register writes
  uint64_t get_frontend_us = 2000;
  uint64_t other_request_us = 1000;    // anything else that reaches the driver (model)
  uint64_t host_scan_us = 2000000;     // a host service scan of one transponder: 2 s
  uint64_t host_scan_per_service_us = 50000;  //   + 50 ms per service (SI repetition rates)
};

}  // namespace emu
