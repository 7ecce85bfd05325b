// The emulator's side of the receiver: loading, moving it, and what the scans did.
#include <emulator/receiver/receiver.h>

#include <cstdio>
#include <emulator/receiver/internal.h>
#include <emulator/tuner/tuner.h>

namespace emu {

using namespace rx;

Receiver& receiver() {
  static Receiver r;
  return r;
}

void Receiver::load(Scenario s) {
  scanController().abort();
  completeIds(s);
  box().load(std::move(s));
  reset();
}

void Receiver::reset() {
  scanController().abort();
  State& s = state();
  {
    std::lock_guard<std::mutex> l(s.m);
    rebuildLocked(s);
    s.mode = eDVB::controllerService;
    s.hand_overs.clear();
    s.reported.clear();
    s.flushes = 0;
    s.leaves = 0;
  }
  Decoder::locked = 0;
  const Scenario& sc = box().scenario();
  if (sc.isTuned()) {
    TuneRequest r;
    r.orbital_position = sc.tuned.orbital_position;
    r.frequency_khz = sc.tuned.frequency_khz;
    r.polarisation = sc.tuned.polarisation;
    r.symbol_rate = sc.tuned.symbol_rate;
    r.fec = sc.tuned.fec;
    box().tuner().tune(r);
  }
}

bool Receiver::retune(int orbital_position, uint32_t frequency_khz, Polarisation pol, const std::string& play) {
  State& s = state();
  std::unique_ptr<eTransponder> tp;
  {
    std::lock_guard<std::mutex> l(s.m);
    syncLocked(s);
    const Satellite* sat = box().scenario().satelliteAt(orbital_position);
    const Carrier* c = sat ? sat->find(frequency_khz, pol, 2000) : nullptr;
    if (!c) return false;
    tp = transponderFor(*sat, *c);
    eServiceReference playing;
    size_t si = static_cast<size_t>(sat - box().scenario().satellites.data());
    size_t ci = static_cast<size_t>(c - sat->carriers.data());
    for (ServiceEntry* e : s.on_carrier[si][ci]) {
      e->known = true;   // the receiver has what it watches in its lists
      if (!play.empty() && e->record.service_name == play && playing.type == -1) playing = e->ref;
    }
    serviceInterface().service = playing;
  }
  return tp->tune() == 0;
}

bool Receiver::retune(int orbital_position) {
  const Carrier* pick = nullptr;
  std::string play;
  {
    State& s = state();
    std::lock_guard<std::mutex> l(s.m);
    syncLocked(s);
    const Satellite* sat = box().scenario().satelliteAt(orbital_position);
    if (!sat) return false;
    // A transponder with services to watch; without one, any DVB-S transponder of
    // the satellite (listed first), so that every satellite can be reached.
    auto first = [&](auto wanted) -> const Carrier* {
      for (const Carrier& c : sat->carriers)
        if (c.system == DeliverySystem::DvbS && wanted(c)) return &c;
      return nullptr;
    };
    pick = first([](const Carrier& c) { return c.listed && !c.services.empty(); });
    if (!pick) pick = first([](const Carrier& c) { return c.listed; });
    if (!pick) pick = first([](const Carrier&) { return true; });
    if (!pick) return false;
    if (!pick->services.empty()) play = pick->services.front().name;
    for (const Service& v : pick->services)
      if (v.service_type == kServiceTypeTv) {
        play = v.name;
        break;
      }
  }
  return retune(orbital_position, pick->frequency_khz, pick->polarisation, play);
}

void Receiver::untune() {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  syncLocked(s);
  s.current.reset();
  s.service_controller.transponder = nullptr;
  serviceInterface().service = eServiceReference();
}

std::vector<HandOver> Receiver::handOvers() const {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  return s.hand_overs;
}

std::vector<ReportedService> Receiver::reportedServices() const {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  return s.reported;
}

int Receiver::mode() const { return state().mode.load(); }
bool Receiver::scanRunning() const { return scanController().running(); }

int Receiver::decoderFlushes() const {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  return s.flushes;
}

int Receiver::transponderLeaves() const {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  return s.leaves;
}

namespace {

const char* className(int type) {
  unsigned t = static_cast<unsigned>(type);
  if (t == 1 || t == 4) return "TV";
  if (t == 2) return "radio";
  if (t == 3 || t == 5 || t == 6) return "other";
  return "data";
}

}  // namespace

std::vector<std::string> Receiver::reportLines() const {
  std::vector<std::string> out;
  char line[512];
  for (const HandOver& h : handOvers()) {
    std::snprintf(line, sizeof line, "hand-over %d.%d%c %.3f MHz %s %u kS/s: ", std::abs(h.orbital_position) / 10,
                  std::abs(h.orbital_position) % 10, h.orbital_position < 0 ? 'W' : 'E', h.frequency_khz / 1000.0,
                  polarisationLetter(h.polarisation), h.symbol_rate / 1000);
    std::string s = line;
    if (!h.accepted) s += "refused (" + h.why + ")";
    else if (!h.scanned) s += "accepted, not scanned";
    else if (h.aborted) s += "scan aborted";
    else if (!h.locked) s += "no lock";
    else {
      std::snprintf(line, sizeof line, "locked on %.3f MHz (%s), %d services, %d new", h.carrier_khz / 1000.0,
                    h.carrier_listed ? "listed" : "unlisted feed", h.services, h.new_services);
      s += line;
    }
    out.push_back(s);
  }
  for (const ReportedService& r : reportedServices()) {
    std::snprintf(line, sizeof line, "service %s %-5s %.3f MHz %s: %s | %s", r.is_new ? "new  " : "known",
                  className(r.service_type), r.carrier_khz / 1000.0, polarisationLetter(r.polarisation), r.name.c_str(),
                  r.provider.c_str());
    out.push_back(line);
  }
  return out;
}

}  // namespace emu
