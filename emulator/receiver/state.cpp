// The receiver's lists, made from the box's scenario: satellites with their LNB records and
// every service of every carrier, with what the receiver already knows.
#include <emulator/receiver/internal.h>

#include <host/gui/eerror.h>
#include <emulator/tuner/tuner.h>

namespace emu::rx {

State& state() {
  static State* s = new State;   // never destroyed: the plug-in may call in during exit
  return *s;
}

eServiceReferenceDVB referenceOf(const Satellite& sat, const Carrier& c, const Service& v) {
  return eServiceReferenceDVB(sat.orbital_position << 16, c.transport_stream_id, c.original_network_id,
                              v.service_id, v.service_type);
}

ServiceKey keyOf(const eServiceReference& ref) {
  return ServiceKey(ref.data[4], ref.data[2], ref.data[3], ref.data[1]);
}

std::unique_ptr<eTransponder> transponderFor(const Satellite& sat, const Carrier& c) {
  auto tp = std::make_unique<eTransponder>(*eTransponderList::instance);
  tp->setSatellite(static_cast<int>(c.frequency_khz), static_cast<int>(c.symbol_rate),
                   static_cast<int>(c.polarisation), c.fec, sat.orbital_position, 0);
  tp->transport_stream_id = c.transport_stream_id;
  tp->original_network_id = c.original_network_id;
  return tp;
}

void rebuildLocked(State& s) {
  const Scenario& sc = box().scenario();
  s.scenario = &sc;
  s.satellites.clear();
  s.services.clear();
  s.by_key.clear();
  s.on_carrier.assign(sc.satellites.size(), {});
  s.current.reset();
  s.service_controller.transponder = nullptr;
  eServiceReference playing;
  int collisions = 0;
  for (size_t si = 0; si < sc.satellites.size(); ++si) {
    const Satellite& sat = sc.satellites[si];
    SatelliteRecord& r = s.satellites.emplace_back();
    r.lnb.lof_lo = sat.lnb.lof_low_khz;
    r.lnb.lof_hi = sat.lnb.lof_high_khz;
    r.lnb.lof_threshold = sat.lnb.threshold_khz;
    r.lnb.diseqc.DiSEqCMode = 1;
    r.lnb.diseqc.DiSEqCParam = sat.diseqc_port;
    r.satellite.description = sat.name;
    r.satellite.orbital_position = sat.orbital_position;
    r.satellite.lnb = &r.lnb;
    s.on_carrier[si].resize(sat.carriers.size());
    for (size_t ci = 0; ci < sat.carriers.size(); ++ci) {
      const Carrier& c = sat.carriers[ci];
      bool tuned_here = sc.isTuned() && sc.tuned.orbital_position == sat.orbital_position &&
                        sc.tuned.frequency_khz == c.frequency_khz && sc.tuned.polarisation == c.polarisation;
      if (tuned_here) {
        s.current = transponderFor(sat, c);
        s.service_controller.transponder = s.current.get();
      }
      for (const Service& v : c.services) {
        ServiceEntry& e = s.services.emplace_back();
        e.record.service_type = v.service_type;
        e.record.service_name = v.name;
        e.record.service_provider = v.provider;
        e.ref = referenceOf(sat, c, v);
        e.satellite = static_cast<int>(si);
        e.carrier = static_cast<int>(ci);
        e.known = v.known || c.known;
        if (!s.by_key.emplace(keyOf(e.ref), &e).second) ++collisions;
        s.on_carrier[si][ci].push_back(&e);
        if (tuned_here && !sc.tuned.playing.empty() && v.name == sc.tuned.playing && playing.type == -1)
          playing = e.ref;
      }
    }
  }
  if (sc.isTuned() && !s.current) {
    // Tuned where no carrier of the lists is: the receiver is there all the same.
    s.current = std::make_unique<eTransponder>(*eTransponderList::instance);
    s.current->setSatellite(static_cast<int>(sc.tuned.frequency_khz), static_cast<int>(sc.tuned.symbol_rate),
                            static_cast<int>(sc.tuned.polarisation), sc.tuned.fec, sc.tuned.orbital_position, 0);
    s.service_controller.transponder = s.current.get();
  }
  if (collisions)
    eDebug("receiver: %d services share their reference with another one; lookups find the first", collisions);
  serviceInterface().service = playing;
}

void syncLocked(State& s) {
  if (s.scenario != &box().scenario()) rebuildLocked(s);
}

}  // namespace emu::rx
