// The DVB core of the host: modes, service and scan controllers, settings.
#pragma once
#include <host/gui/sigc.h>
#include <host/dvb/transponder.h>

class eDVBState {
public:
  enum { stateIdle = 0, stateServiceTune = 1, stateScanning = 2 };
  explicit eDVBState(int s = stateIdle) : state(s) {}
  operator int() const { return state; }
  int state;
};

class eDVBServiceController {
public:
  eTransponder* transponder = nullptr;   // where the receiver is tuned, or none
  virtual ~eDVBServiceController() = default;
};

class eDVBScanController {
public:
  virtual ~eDVBScanController() = default;
  virtual int addTransponder(const eTransponder& tp) = 0;   // non-zero: accepted
  virtual void setUseONIT(int use) = 0;
  virtual void setUseBAT(int use) = 0;
  virtual void setNetworkSearch(int search) = 0;
  virtual void setOnlyFree(int onlyFree) = 0;
  virtual void setSkipOtherOrbitalPositions(int skip) = 0;
  virtual void start() = 0;
};

class eDVBSettings {
public:
  virtual ~eDVBSettings() = default;
  virtual eTransponderList* getTransponders() = 0;
};

class eDVB {
public:
  enum { controllerNone = 0, controllerScan = 1, controllerService = 2 };
  static eDVB* instance;

  eDVBServiceController* getServiceAPI();   // none while scanning or when not tuned
  eDVBScanController* getScanAPI();         // only in mode 1
  void setMode(int mode);
  int getMode() const;

  eDVBSettings* settings = nullptr;
  SigC::Signal1<void, const eDVBState&> stateChanged;   // delivered on the GUI thread

  virtual ~eDVB() = default;
protected:
  eDVB() = default;
};
