#include "support/scenario_builder.h"

#include <cmath>

namespace testsupport {

ScenarioBuilder::ScenarioBuilder() {
  s_.name = "test";
  s_.seed = 42;
  s_.lo_error_khz_max = 0;
}

ScenarioBuilder& ScenarioBuilder::satellite(int orbital_position, int diseqc_port, const std::string& name) {
  emu::Satellite sat;
  sat.orbital_position = orbital_position;
  sat.diseqc_port = diseqc_port;
  sat.name = name;
  s_.satellites.push_back(sat);
  return *this;
}

ScenarioBuilder& ScenarioBuilder::lnb(uint32_t lof_low_khz, uint32_t lof_high_khz, uint32_t threshold_khz) {
  if (s_.satellites.empty()) satellite(192, 0);
  s_.satellites.back().lnb = {lof_low_khz, lof_high_khz, threshold_khz};
  return *this;
}

ScenarioBuilder& ScenarioBuilder::carrier(double mhz, emu::Polarisation pol, uint32_t ksps, int fec, double esno_db,
                                          emu::DeliverySystem system) {
  if (s_.satellites.empty()) satellite(192, 0);
  emu::Carrier c;
  c.frequency_khz = static_cast<uint32_t>(std::lround(mhz * 1000));
  c.polarisation = pol;
  c.symbol_rate = ksps * 1000;
  c.fec = fec;
  c.system = system;
  c.rolloff = 0.35;
  c.esno_db = esno_db;
  c.esno_given = true;
  s_.satellites.back().carriers.push_back(c);
  return *this;
}

ScenarioBuilder& ScenarioBuilder::drawnCarrier(double mhz, emu::Polarisation pol, uint32_t ksps, int fec,
                                               bool listed) {
  carrier(mhz, pol, ksps, fec, 0);
  s_.satellites.back().carriers.back().esno_given = false;
  s_.satellites.back().carriers.back().listed = listed;
  return *this;
}

ScenarioBuilder& ScenarioBuilder::seed(uint64_t s) {
  s_.seed = s;
  return *this;
}

ScenarioBuilder& ScenarioBuilder::loError(double khz_max) {
  s_.lo_error_khz_max = khz_max;
  return *this;
}

ScenarioBuilder& ScenarioBuilder::tunedTo(int orbital_position, double mhz, emu::Polarisation pol, uint32_t ksps) {
  s_.tuned.orbital_position = orbital_position;
  s_.tuned.frequency_khz = static_cast<uint32_t>(std::lround(mhz * 1000));
  s_.tuned.polarisation = pol;
  s_.tuned.symbol_rate = ksps * 1000;
  return *this;
}

}  // namespace testsupport
