// Transponders, satellites, LNBs and the transponder list of the DVB settings.
#pragma once
#include <host/gui/estring.h>
#include <host/gui/sigc.h>
#include <host/dvb/service.h>

class eTransponderList;
class eSatellite;

class eDiSEqC {
public:
  int DiSEqCMode = 1;     // 1: DiSEqC 1.0 committed switch
  int DiSEqCParam = 0;    // committed-switch position 0..3
};

class eLNB {
public:
  unsigned int getLOFHi() const { return lof_hi; }          // kHz
  unsigned int getLOFLo() const { return lof_lo; }          // kHz
  unsigned int getLOFThreshold() const { return lof_threshold; }  // kHz
  eDiSEqC& getDiSEqC() { return diseqc; }
  unsigned int lof_hi = 10600000, lof_lo = 9750000, lof_threshold = 11700000;
  eDiSEqC diseqc;
};

class eSatellite {
public:
  const eString& getDescription() const { return description; }
  int getOrbitalPosition() const { return orbital_position; }
  eLNB* getLNB() const { return lnb; }
  eString description;
  int orbital_position = 0;   // tenths of a degree, east positive
  eLNB* lnb = nullptr;
};

// A service record of the list (what a scan found or the receiver knows).
class eServiceDVB {
public:
  int service_type = 0;       // DVB service_type code
  eString service_name;
  eString service_provider;
};

class eTransponder {
public:
  struct satellite_t {
    int valid = 0;
    unsigned int frequency = 0;     // kHz
    unsigned int symbol_rate = 0;   // symbols per second
    int polarisation = 0;           // 0 horizontal, 1 vertical
    int fec = 0;
    int inversion = 0;
    int orbital_position = 0;
  } satellite;

  explicit eTransponder(eTransponderList& list);
  eTransponder(const eTransponder&) = default;
  eTransponder& operator=(const eTransponder&);
  virtual ~eTransponder() = default;

  void setSatellite(int frequency, int symbol_rate, int polarisation, int fec, int orbital_position, int inversion);
  int tune();                 // 0 on success

  eTransponderList* list;
  int transport_stream_id = -1, original_network_id = -1;
  int state;                  // last word: the list's state of this transponder (2: to be scanned)
};

class eTransponderList {
public:
  static eTransponderList* instance;

  void leaveTransponder(eTransponder* tp);
  eSatellite* findSatellite(int orbital_position);
  eServiceDVB* searchService(const eServiceReference& ref);

  // One call per service a scan reports: the service and whether it was new to the receiver.
  SigC::Signal2<void, const eServiceReferenceDVB&, bool> service_found;

  virtual ~eTransponderList() = default;
protected:
  eTransponderList() = default;
};
