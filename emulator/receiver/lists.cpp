// eTransponderList: satellites and their LNBs, the service records, the service-found signal.
#include <emulator/receiver/internal.h>

namespace emu::rx {
namespace {

class TransponderList : public eTransponderList {};

eTransponderList* theList() {
  static TransponderList* l = new TransponderList;   // never destroyed, like the other host objects
  return l;
}

}  // namespace
}  // namespace emu::rx

using namespace emu::rx;

eTransponderList* eTransponderList::instance = theList();

void eTransponderList::leaveTransponder(eTransponder*) {
  // The receiver stays where it is: leaving only tells the lists that no transponder of theirs
  // is being watched now. The service controller still reports the transponder it is on.
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  ++s.leaves;
}

eSatellite* eTransponderList::findSatellite(int orbital_position) {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  syncLocked(s);
  for (auto& r : s.satellites)
    if (r.satellite.orbital_position == orbital_position) return &r.satellite;
  return nullptr;
}

eServiceDVB* eTransponderList::searchService(const eServiceReference& ref) {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  syncLocked(s);
  if (ref.type != eServiceReference::idDVB) return nullptr;
  auto it = s.by_key.find(keyOf(ref));
  return it != s.by_key.end() && it->second->known ? &it->second->record : nullptr;
}
