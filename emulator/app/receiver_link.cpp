#include "emulator/app/receiver_link.h"

#include "emulator/app/box_setup.h"
#include "emulator/app/commands.h"
#include "emulator/receiver/receiver.h"
#include "emulator/tuner/box.h"

namespace app {

void tuneReceiverTo(int orbitalPosition) {
  const emu::Scenario& sc = emu::box().scenario();
  if (sc.tuned.frequency_khz && sc.tuned.orbital_position == orbitalPosition) return;
  const emu::Satellite& sat = satelliteOf(orbitalPosition);
  // Zap to the satellite as the user would before starting the plug-in.
  if (!emu::receiver().retune(orbitalPosition))
    throw SetupError(kExitScenario, "the receiver cannot be tuned to " + sat.name +
                                        ": the scenario lists no DVB-S transponder there");
}

std::vector<HandOver> handedOver() {
  std::vector<HandOver> out;
  for (const emu::HandOver& h : emu::receiver().handOvers()) {
    HandOver o;
    o.freqKhz = h.frequency_khz;
    o.srKsps = static_cast<int>(h.symbol_rate / 1000);
    o.polarisation = static_cast<int>(h.polarisation);
    o.orbitalPosition = h.orbital_position;
    out.push_back(std::move(o));
  }
  for (const emu::ReportedService& s : emu::receiver().reportedServices())
    if (s.hand_over >= 0 && static_cast<size_t>(s.hand_over) < out.size())
      out[static_cast<size_t>(s.hand_over)].services.push_back({s.name, s.provider, s.service_type, s.is_new});
  return out;
}

void handOverCounts(int& transponders, int& services) {
  transponders = static_cast<int>(emu::receiver().handOvers().size());
  services = static_cast<int>(emu::receiver().reportedServices().size());
}

}  // namespace app
