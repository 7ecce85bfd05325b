// The pure figures of the RF model: spectra, windows, thresholds, times.
#pragma once
#include <cstdint>

#include "emulator/tuner/knobs.h"

namespace emu {

// Raised-cosine power density of a carrier at df Hz from its centre, 0..1 of the flat top.
double rcShape(double df, double sr, double rolloff);

// (1/sr_w) * integral of RC_c(f - offset) * RC_w(f) df: the share of a carrier
// (flat height 1) that a matched window of sr_w passes, offset = carrier - window (Hz).
double windowShare(double offset, double sr_c, double rolloff_c, double sr_w, double rolloff_w);

double codeRate(int fec);                             // 0.5 .. 0.875; 0.75 when unknown
double qefDb(int fec, const Knobs& k);                // quasi-error-free Es/N0 of QPSK
double nirFor(double esno_db, const Knobs& k);        // the demodulator's noise indicator
double programmedSr(uint32_t sr, const Knobs& k);     // clamped as the driver does
uint64_t searchTimeoutUs(double sr, const Knobs& k);
// Acquisition time to lock: PLL, timing, carrier (n passes), Viterbi over the code
// rates tried (from 1/2 up to the carrier's with FEC auto, else the one set).
uint64_t lockTimeUs(double sr, int carrier_fec, int set_fec, int n, const Knobs& k);

}  // namespace emu
