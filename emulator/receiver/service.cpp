// Service references and the service interface: what plays, and play().
#include <emulator/receiver/internal.h>

#include <cerrno>
#include <tuple>
#include <host/gui/eerror.h>
#include <emulator/tuner/tuner.h>

using namespace emu;
using namespace emu::rx;

eServiceReference::eServiceReference(int type, int flags, int d0, int d1, int d2, int d3, int d4)
    : type(type), flags(flags) {
  data[0] = d0;
  data[1] = d1;
  data[2] = d2;
  data[3] = d3;
  data[4] = d4;
}

bool eServiceReference::operator==(const eServiceReference& o) const {
  if (type != o.type || path != o.path) return false;
  for (int i = 0; i < 8; ++i)
    if (data[i] != o.data[i]) return false;
  return true;
}

bool eServiceReference::operator<(const eServiceReference& o) const {
  if (type != o.type) return type < o.type;
  for (int i = 0; i < 8; ++i)
    if (data[i] != o.data[i]) return data[i] < o.data[i];
  return path < o.path;
}

eServiceReferenceDVB::eServiceReferenceDVB(int dvbNamespace, int transportStreamId, int originalNetworkId,
                                           int serviceId, int serviceType)
    : eServiceReference(idDVB, 0, serviceType, serviceId, transportStreamId, originalNetworkId, dvbNamespace) {}

namespace {

class ServiceInterface : public eServiceInterface {};

}  // namespace

namespace emu::rx {
eServiceInterface& serviceInterface() {
  static ServiceInterface* i = new ServiceInterface;   // never destroyed, like the other host objects
  return *i;
}
}  // namespace emu::rx

eServiceInterface* eServiceInterface::getInstance() {
  // What plays comes with the lists: make them when the box has a new scenario.
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  syncLocked(s);
  return &serviceInterface();
}

int eServiceInterface::play(const eServiceReference& ref) {
  if (Decoder::locked.load()) {
    eDebug("receiver: the decoder is held by a scan; not playing");
    return -EBUSY;
  }
  State& s = state();
  std::unique_ptr<eTransponder> retune;
  {
    std::lock_guard<std::mutex> l(s.m);
    syncLocked(s);
    if (ref.type != eServiceReference::idDVB) return -EINVAL;
    auto it = s.by_key.find(keyOf(ref));
    if (it == s.by_key.end() || !it->second->known) return -ENOENT;
    const ServiceEntry& e = *it->second;
    const Satellite& sat = box().scenario().satellites[e.satellite];
    const Carrier& c = sat.carriers[e.carrier];
    // A service elsewhere: the receiver tunes to its transponder first.
    const eTransponder* cur = s.current.get();
    if (!cur || cur->satellite.orbital_position != sat.orbital_position ||
        cur->satellite.frequency != c.frequency_khz ||
        cur->satellite.polarisation != static_cast<int>(c.polarisation))
      retune = transponderFor(sat, c);
    service = ref;
  }
  if (retune) return retune->tune();
  return 0;
}
