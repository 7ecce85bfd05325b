// Service references and the service interface of the host.
#pragma once
#include <host/gui/estring.h>

class eServiceReference {
public:
  enum { idInvalid = -1, idDVB = 1 };
  int type = idInvalid;
  int flags = 0;
  int data[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  eString path;
  eString descr;

  eServiceReference() = default;
  eServiceReference(int type, int flags, int d0 = 0, int d1 = 0, int d2 = 0, int d3 = 0, int d4 = 0);
  virtual ~eServiceReference() = default;
  bool operator==(const eServiceReference& o) const;
  bool operator!=(const eServiceReference& o) const { return !(*this == o); }
  bool operator<(const eServiceReference& o) const;
};

// A DVB service: data[0] service type, [1] service id, [2] transport stream id,
// [3] original network id, [4] DVB namespace (orbital position << 16).
class eServiceReferenceDVB : public eServiceReference {
public:
  eServiceReferenceDVB() = default;
  eServiceReferenceDVB(int dvbNamespace, int transportStreamId, int originalNetworkId, int serviceId, int serviceType);
  int getServiceType() const { return data[0]; }
  int getServiceID() const { return data[1]; }
  int getTransportStreamID() const { return data[2]; }
  int getOriginalNetworkID() const { return data[3]; }
  int getDVBNamespace() const { return data[4]; }
};

class eServiceInterface {
public:
  static eServiceInterface* getInstance();
  eServiceReference service;                 // the service playing now (type -1: none)
  int play(const eServiceReference& ref);    // 0 on success
  virtual ~eServiceInterface() = default;
protected:
  eServiceInterface() = default;
};
