// The model against what a scan at the default settings must see on a full band.
#include <map>
#include <set>

#include "emulator/tuner/rf_model.h"
#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::DeliverySystem;
using emu::Polarisation;
using testsupport::FrontendClient;
using testsupport::ScenarioBuilder;

namespace {

class ModelChecksTest : public testsupport::BoxTest {};

// An Astra-like high band: 27500 kS/s every 19.5 MHz, polarisations alternating,
// every third one DVB-S2, levels drawn from the seed, LO errors on.
emu::Scenario highBand(uint64_t seed) {
  ScenarioBuilder b;
  b.seed(seed).loError(800).satellite(192, 0);
  int i = 0;
  for (double f = 11719.5; f < 12740; f += 19.5, ++i) {
    b.drawnCarrier(f, i % 2 ? Polarisation::Vertical : Polarisation::Horizontal, 27500, FEC_3_4);
  }
  emu::Scenario s = b.build();
  for (size_t k = 0; k < s.satellites[0].carriers.size(); k += 3)
    s.satellites[0].carriers[k].system = DeliverySystem::DvbS2;
  return s;
}

// The standard search at its defaults: step 3 MHz, 27500 kS/s, threshold 53 %:
// tune, wait, mean of four SNR readings, then up to four lock attempts.
TEST_F(ModelChecksTest, DefaultStandardSearchLocksEveryGoodTransponder) {
  for (uint64_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    load(highBand(seed));
    const emu::Scenario& sc = emu::box().scenario();
    FrontendClient fc;
    std::set<int> locked;
    for (int f = 11700; f <= 12750; f += 3) {
      fc.tune(f, 0, 27500);
      fc.waitStatus();
      int p = fc.mean(4, true) * 100 / 65536;
      if (p < 53) continue;
      for (int attempt = 0; attempt < 4; ++attempt) {
        fc.tune(f, 0, 27500);
        if (fc.waitStatus() & FE_HAS_LOCK) {
          emu::CarrierRef c = emu::box().tuner().lockedCarrier();
          if (c.valid()) locked.insert(c.carrier);
          break;
        }
      }
    }
    int good = 0;
    for (size_t i = 0; i < sc.satellites[0].carriers.size(); ++i) {
      const emu::Carrier& c = sc.satellites[0].carriers[i];
      bool lockable = c.polarisation == Polarisation::Horizontal && c.system == DeliverySystem::DvbS &&
                      c.esno_db >= emu::qefDb(c.fec, emu::box().knobs()) + 0.5;
      if (lockable) {
        ++good;
        EXPECT_EQ(locked.count(static_cast<int>(i)), 1u) << c.frequency_khz << " at " << c.esno_db << " dB";
      } else if (c.polarisation == Polarisation::Vertical || c.system == DeliverySystem::DvbS2) {
        EXPECT_EQ(locked.count(static_cast<int>(i)), 0u) << c.frequency_khz;
      }
    }
    EXPECT_GT(good, 10);
  }
}

}  // namespace
