// Signal levels of the carriers: drawn from the scenario's seed where no list gives one.
#pragma once
#include <emulator/scenario/scenario.h>

namespace emu {

// Knobs of the level draw (the tuner's knob table lists them with the rest of the RF model).
struct LevelKnobs {
  double full_mean_db = 13.5;      // Es/N0 of a full transponder on a 60 cm dish (link budget, EIRP 50-54 dBW)
  double full_sd_db = 2.5;
  double full_min_db = 8.0;        // clip range on a 60 cm dish
  double full_max_db = 19.0;
  double reference_dish_cm = 60;   // gain relative to it: 20 log10(d / 60), +2.5 dB for 80 cm
  double feed_backoff_min_db = 3;  // feeds run 3 to 7 dB below a full transponder (multi-carrier back-off)
  double feed_backoff_max_db = 7;
};

// Gain of a dish over the reference one, dB.
double dishGainDb(double dish_cm, const LevelKnobs& k = LevelKnobs());

// Fills esno_db of every carrier whose level was not given. Each carrier's draw depends only on
// the seed, its satellite, polarisation and frequency, so adding a feed changes no other level.
void drawLevels(Scenario& s, const LevelKnobs& k = LevelKnobs());

}  // namespace emu
