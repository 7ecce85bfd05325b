// Handing a locked transponder to the host's scan controller, counting and
// logging the services it reports, and the frequency/progress display.
#include <scan/scan4transp.h>
#include <widgets/e_prog_bar.h>
#include <host/gui/eerror.h>
#include <host/gui/elabel.h>
#include <host/dvb/edvb.h>
#include <sched.h>

int scan4transp::sintonizzaTransponder(int frequenzaKHz) {
  if (unsigned(frequenzaKHz) - 10700000u > 2050000u) return 0;   // outside 10700..12750 MHz
  transponder.setSatellite(frequenzaKHz, srCorrente * 1000, polarita, fecTransponder, posizioneOrbitale, 0);
  transponder.state = 2;   // to be scanned
  eDVBScanController* scanAPI = eDVB::instance->getScanAPI();
  chiudeLog();
  fileLog = fopen(percorsoLog, "a");
  if (!scanAPI) {
    eWarning("no scan active");
    chiudeLog();
    return 0;
  }
  if (scanAPI->addTransponder(transponder)) {
    scanAPI->setUseONIT(0);
    scanAPI->setUseBAT(0);
    scanAPI->setNetworkSearch(0);
    scanAPI->setOnlyFree(0);
    scanAPI->setSkipOtherOrbitalPositions(1);
    // Marked before the start: the host's end-of-scan notice may arrive at once.
    scanTransponderInCorso = 1;
    scanAPI->start();
    sched_yield();
    return 1;
  }
  chiudeLog();
  messaggioDalWorker("Impossibile fare scan su questo transponder!", "Avviso", 17, 1, 0);
  return 0;
}

void scan4transp::chiudeLog() {
  if (FILE* f = fileLog.exchange(nullptr)) fclose(f);
}

void scan4transp::serviceFound(const eServiceReferenceDVB& servizio, bool nuovo) {
  eServiceDVB* record = eDVB::instance->settings->getTransponders()->searchService(servizio);
  // A service the list does not hold is still counted, by the type its reference carries.
  unsigned tipo = unsigned(record ? record->service_type : servizio.getServiceType());
  eString riga = nuovo ? "[N" : "[O";
  switch (tipo) {
    case 1:
    case 4:
      ++numTV;
      if (nuovo) ++numTVnuovi;
      riga += "T";
      break;
    case 2:
      ++numRadio;
      if (nuovo) ++numRadioNuovi;
      riga += "R";
      break;
    case 3:
    case 5:
    case 6:
      break;
    default:
      ++numDati;
      if (nuovo) ++numDatiNuovi;
      riga += "D";
      break;
  }
  eString contatori;
  lcanaliTrovati->setText(contatori.sprintf("ch. trovati: TV [%d - %d]   RD [%d - %d]   DT [%d - %d]", numTV,
                                            numTVnuovi, numRadio, numRadioNuovi, numDati, numDatiNuovi));
  riga += "] ";
  if (record) riga += record->service_name;
  riga += " | ";
  if (record) riga += record->service_provider;
  if (FILE* f = fileLog.load()) {
    fprintf(f, "%s\n", riga.c_str());
    fflush(f);
  }
}

void scan4transp::aggiornaInformazioniSchermo() {
  if (freqCorrente != ultimaFreqMostrata) {
    ultimaFreqMostrata = freqCorrente;
    eString testo;
    lFrequenzaValore->setText(testo.setNum(freqCorrente));
    const int ampiezza = freqEnd - freqPartenza;
    progBar->setPerc(ampiezza ? 100 - (freqEnd - freqCorrente) * 100 / ampiezza : 100);
  }
  eString sr;
  lSymbolRateValore->setText(sr.setNum(srCorrente));
}
