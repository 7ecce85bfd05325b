// Small scenarios made in code for tests: satellites on switch ports, carriers
// with given levels, a fixed seed.
#pragma once
#include <cstdint>
#include <string>

#include "emulator/scenario/scenario.h"

namespace testsupport {

class ScenarioBuilder {
public:
  ScenarioBuilder();
  // Starts a satellite; the following lnb() and carrier() calls belong to it.
  ScenarioBuilder& satellite(int orbital_position, int diseqc_port, const std::string& name = "sat");
  ScenarioBuilder& lnb(uint32_t lof_low_khz, uint32_t lof_high_khz, uint32_t threshold_khz);
  // A carrier at the dish frequency (MHz), symbol rate in kS/s, FEC as the API's
  // CodeRate, Es/N0 in dB (given, so nothing is drawn).
  ScenarioBuilder& carrier(double mhz, emu::Polarisation pol, uint32_t ksps, int fec = 3, double esno_db = 12,
                           emu::DeliverySystem system = emu::DeliverySystem::DvbS);
  // A carrier whose Es/N0 the scenario's knobs draw.
  ScenarioBuilder& drawnCarrier(double mhz, emu::Polarisation pol, uint32_t ksps, int fec = 3,
                                bool listed = true);
  ScenarioBuilder& seed(uint64_t s);
  ScenarioBuilder& loError(double khz_max);   // 0 (the builder's default) disables it
  ScenarioBuilder& tunedTo(int orbital_position, double mhz, emu::Polarisation pol, uint32_t ksps);
  emu::Scenario build() const { return s_; }

private:
  emu::Scenario s_;
};

}  // namespace testsupport
