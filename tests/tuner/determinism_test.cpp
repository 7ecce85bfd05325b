// Same scenario and seed, same readings; another seed, other readings; and the
// noise belongs to the state and the time, not to the order of the calls.
#include <cmath>
#include <thread>
#include <vector>

#include "support/box_test.h"
#include "support/frontend_client.h"

using emu::Polarisation;
using testsupport::FrontendClient;
using testsupport::ScenarioBuilder;

namespace {

class DeterminismTest : public testsupport::BoxTest {
protected:
  emu::Scenario scenario(uint64_t seed) {
    return ScenarioBuilder()
        .seed(seed)
        .loError(800)
        .satellite(192, 0)
        .drawnCarrier(11720, Polarisation::Horizontal, 27500, FEC_3_4)
        .drawnCarrier(11759, Polarisation::Horizontal, 27500, FEC_5_6)
        .drawnCarrier(11740, Polarisation::Vertical, 27500, FEC_3_4)
        .drawnCarrier(11790, Polarisation::Horizontal, 6111, FEC_3_4, false)
        .build();
  }

  // A short scan: tune, wait, average, like the plug-in's searches.
  std::vector<uint32_t> run(uint64_t seed) {
    emu::box().clock().reset(0);
    load(scenario(seed));
    FrontendClient fc;
    std::vector<uint32_t> out;
    for (int f = 11700; f <= 11800; f += 3) {
      fc.tune(f, 0, 27500);
      out.push_back(fc.waitStatus());
      out.push_back(static_cast<uint32_t>(fc.mean(4, true)));
      out.push_back(static_cast<uint32_t>(fc.mean(4, false)));
      out.push_back(fc.ber());
    }
    out.push_back(static_cast<uint32_t>(emu::box().clock().now() / 1000));
    return out;
  }
};

TEST_F(DeterminismTest, SameSeedSameReadings) {
  std::vector<uint32_t> a = run(11), b = run(11), c = run(12);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}

TEST_F(DeterminismTest, DrawnLevelsFollowTheSeedAndTheTable) {
  load(scenario(11));
  std::vector<double> first;
  for (const auto& c : emu::box().scenario().satellites[0].carriers) first.push_back(c.esno_db);
  load(scenario(11));
  std::vector<double> again;
  for (const auto& c : emu::box().scenario().satellites[0].carriers) again.push_back(c.esno_db);
  EXPECT_EQ(first, again);
  // Listed transponders within the clip, the unlisted feed 3 to 7 dB below that range.
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(first[i], 8);
    EXPECT_LE(first[i], 19);
  }
  EXPECT_LE(first[3], 19 - 3);
  EXPECT_GE(first[3], 8 - 7);
  // An 80 cm dish adds 2.5 dB to every drawn level.
  emu::Scenario big = scenario(11);
  big.dish_cm = 80;
  load(big);
  for (size_t i = 0; i < first.size(); ++i)
    EXPECT_NEAR(emu::box().scenario().satellites[0].carriers[i].esno_db - first[i], 2.5, 0.01);
}

TEST_F(DeterminismTest, DrawnLevelsSpreadAsTheTableSays) {
  ScenarioBuilder b;
  b.seed(5).satellite(192, 0);
  for (int i = 0; i < 400; ++i) b.drawnCarrier(10700 + 5 * i, Polarisation::Horizontal, 27500);
  load(b.build());
  double sum = 0, sq = 0;
  const auto& cs = emu::box().scenario().satellites[0].carriers;
  for (const auto& c : cs) sum += c.esno_db;
  double mean = sum / cs.size();
  for (const auto& c : cs) sq += (c.esno_db - mean) * (c.esno_db - mean);
  EXPECT_NEAR(mean, 13.5, 0.4);
  EXPECT_NEAR(std::sqrt(sq / cs.size()), 2.5, 0.4);
}

// A reading depends on the tuning and the virtual time it is taken at: the same
// state read at the same moment gives the same value, whoever asks.
TEST_F(DeterminismTest, ReadingsAreFunctionsOfStateAndTime) {
  load(scenario(3));
  FrontendClient fc;
  fc.tune(11759, 0, 27500);
  fc.waitStatus();
  uint64_t t0 = emu::box().clock().now();
  std::vector<int> here;
  for (int i = 0; i < 8; ++i) here.push_back(fc.snr());
  // Elsewhere and back, with the clock set to the same moment.
  fc.tune(11720, 0, 27500);
  std::thread([&] { fc.tune(11759, 0, 27500); }).join();
  emu::box().clock().reset(0);
  fc.tune(11759, 0, 27500);
  emu::box().clock().reset(t0);
  // The tuning started at another moment, so its lock passes may differ; the
  // readings of the settled state do not.
  std::vector<int> there(8);
  std::thread t([&] {
    for (int i = 0; i < 8; ++i) there[i] = fc.snr();
  });
  t.join();
  EXPECT_EQ(here, there);
}

}  // namespace
