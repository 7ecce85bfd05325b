// eDVB: the modes, the service controller and the scan controller; the DVB settings.
#include <emulator/receiver/internal.h>

namespace emu::rx {
namespace {

class Settings : public eDVBSettings {
public:
  eTransponderList* getTransponders() override { return eTransponderList::instance; }
};

class Dvb : public eDVB {
public:
  Dvb() { settings = &settings_; }
private:
  Settings settings_;
};

eDVB* theDvb() {
  static Dvb* d = new Dvb;   // never destroyed: the plug-in's objects may outlive main
  return d;
}

}  // namespace
}  // namespace emu::rx

using namespace emu::rx;

eDVB* eDVB::instance = theDvb();

eDVBServiceController* eDVB::getServiceAPI() {
  State& s = state();
  std::lock_guard<std::mutex> l(s.m);
  syncLocked(s);
  if (s.mode.load() != controllerService || !s.current) return nullptr;
  s.service_controller.transponder = s.current.get();
  return &s.service_controller;
}

eDVBScanController* eDVB::getScanAPI() {
  return state().mode.load() == controllerScan ? &scanController() : nullptr;
}

void eDVB::setMode(int mode) {
  if (mode != controllerNone && mode != controllerScan && mode != controllerService) return;
  State& s = state();
  int was = s.mode.exchange(mode);
  if (was == mode) return;
  if (mode == controllerScan) scanController().clear();
  if (was == controllerScan) scanController().abort();
}

int eDVB::getMode() const { return state().mode.load(); }
