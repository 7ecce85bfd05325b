// Taking the receiver over at the start of a scan and giving it back at the end.
#include <scan/scan4transp.h>
#include <knowledge/routine_di_servizio.h>
#include <host/gui/eerror.h>
#include <host/gui/elabel.h>
#include <host/dvb/decoder.h>
#include <host/dvb/edvb.h>
#include <host/dvbapi/frontend.h>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
char percorsoSkip[] = "/var/tuxbox/plugins/scrutafasci.skip";
char percorsoSR[] = "/var/tuxbox/plugins/scrutafasci.sr";
}  // namespace

int scan4transp::preparaScanFreq() {
  posizioneOrbitale = 0;
  delete transponderOriginale;
  transponderOriginale = new eTransponder(*eDVB::instance->settings->getTransponders());
  eTransponderList::instance->leaveTransponder(nullptr);

  eDVBServiceController* sapi = eDVB::instance->getServiceAPI();
  Decoder::Flush();
  Decoder::locked = 1;   // the host's viewing must not retune while the scan runs
  servizioOriginale = eServiceInterface::getInstance()->service;

  if (sapi && sapi->transponder) {
    const eTransponder::satellite_t& s = sapi->transponder->satellite;
    transponderOriginale->setSatellite(s.frequency, s.symbol_rate, s.polarisation, s.fec, s.orbital_position, 0);
    posizioneOrbitale = s.orbital_position;
  }

  satellite = eTransponderList::instance->findSatellite(posizioneOrbitale);
  if (satellite) {
    lSatelliteNome->setText(satellite->getDescription());
    lnb = satellite->getLNB();
  }
  if (lnb) {
    sogliaBanda = int(lnb->getLOFThreshold());
    lofAlto = int(lnb->getLOFHi());
    lofBasso = int(lnb->getLOFLo());
  }
  // Without an LNB record the universal LNB values of the constructor stay, on switch port 0.

  freqCorrente = freqPartenza;

  if (fdFrontend == 0) {
    fdFrontend = open("/dev/dvb/card0/frontend0", O_RDWR);
    if (fdFrontend < 0) {
      eDebug("ERRORE APERTURA FRONTEND");
      fdFrontend = -1;
      return 0;
    }
  }
  if (fdSec == 0) {
    fdSec = open("/dev/dvb/card0/sec0", O_RDWR);
    if (fdSec < 0) {
      eDebug("ERRORE APERTURA SEC_DEV");
      fdSec = -1;
      return 0;
    }
  }
  if (ioctl(fdFrontend, FE_GET_FRONTEND, &parametriFrontend) < 0) {
    eDebug("ERRORE GET FRONTEND (%m)");
    ::close(fdFrontend);   // the descriptor, not the window
    fdFrontend = -1;
    return 0;
  }
  parametriFrontend.u.qpsk.FEC_inner = FEC_NONE;

  // Every scan starts with an empty found-channel log.
  if (FILE* f = fopen(percorsoLog, "w")) fclose(f);

  routine->leggeFileFreqToSkip(percorsoSkip, polarita, posizioneOrbitale, &numFreqDaSaltare, freqDaSaltare, 100);
  routine->leggeFileSRconosciuti(percorsoSR, &numSRconosciuti, srConosciuti);
  return 1;
}

void scan4transp::preparaUscita() {
  eDVB::instance->setMode(2);
  if (Decoder::locked) {
    Decoder::locked = 0;
    eTransponderList::instance->leaveTransponder(nullptr);
    if (transponderOriginale) transponderOriginale->tune();
  }
  if (servizioOriginale.type != eServiceReference::idInvalid) {
    eServiceInterface::getInstance()->service = eServiceReference();
    eServiceInterface::getInstance()->play(servizioOriginale);
  }
}

void scan4transp::scriveFileConoscenza() {
  routine->scriveFileSRconosciuti(percorsoSR, numSRconosciuti, srConosciuti);
  routine->scriveFileFreqToSkip(percorsoSkip, polarita, posizioneOrbitale, numFreqDaSaltare, freqDaSaltare);
}
