// eTransponder: a transponder record of the lists; tune() moves the receiver there.
#include <emulator/receiver/internal.h>

#include <cerrno>
#include <host/gui/eerror.h>
#include <emulator/tuner/tuner.h>

using namespace emu;
using namespace emu::rx;

eTransponder::eTransponder(eTransponderList& l) : list(&l), state(0) {}

eTransponder& eTransponder::operator=(const eTransponder& o) {
  satellite = o.satellite;
  list = o.list;
  transport_stream_id = o.transport_stream_id;
  original_network_id = o.original_network_id;
  state = o.state;
  return *this;
}

void eTransponder::setSatellite(int frequency, int symbol_rate, int polarisation, int fec, int orbital_position,
                                int inversion) {
  satellite.valid = 1;
  satellite.frequency = static_cast<unsigned int>(frequency);
  satellite.symbol_rate = static_cast<unsigned int>(symbol_rate);
  satellite.polarisation = polarisation;
  satellite.fec = fec;
  satellite.orbital_position = orbital_position;
  satellite.inversion = inversion;
}

int eTransponder::tune() {
  if (!satellite.valid) return -ENOENT;
  State& s = rx::state();
  {
    std::lock_guard<std::mutex> l(s.m);
    syncLocked(s);
    if (!box().scenario().satelliteAt(satellite.orbital_position)) {
      eDebug("receiver: no satellite at %d to tune to", satellite.orbital_position);
      return -ENXIO;
    }
    s.current = std::make_unique<eTransponder>(*this);
    s.service_controller.transponder = s.current.get();
  }
  // Like the box's own tuning: the command goes out, the demodulator acquires in its own time.
  TuneRequest r;
  r.orbital_position = satellite.orbital_position;
  r.frequency_khz = satellite.frequency;
  r.polarisation = satellite.polarisation ? Polarisation::Vertical : Polarisation::Horizontal;
  r.symbol_rate = satellite.symbol_rate;
  r.fec = satellite.fec;
  r.wait = false;
  TuneOutcome o = box().tuner().tune(r);
  if (o.error) eDebug("receiver: tuning %u kHz failed (%d)", satellite.frequency, o.error);
  return o.error ? -o.error : 0;
}
