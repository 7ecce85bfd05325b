// The heuristic search: at each frequency step through the symbol-rate range
// with a step that adapts to what the frontend reports; on a first lock find the
// best rate, sample the SNR at the next ten frequencies and hand over the best.
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>
#include <host/gui/elabel.h>
#include <host/gui/eerror.h>
#include <host/dvb/frontend.h>
#include <host/dvbapi/frontend.h>
#include <knowledge/routine_di_servizio.h>
#include <scan/scan4transp.h>
#include <widgets/e_monitor_fe_status.h>

namespace {
int percentoSNR(int lettura) { return lettura * 100 / 65536; }

// A failed request closes the frontend; its number may be handed out again by
// the next open, so it is never used again.
void chiudeFrontend(scan4transp& scan) {
  if (scan.fdFrontend > 0) close(scan.fdFrontend);
  scan.fdFrontend = -1;
}
}  // namespace

int scan4transp::passoRicercaEuristica() {
  sintonizza(0);
  // The lock and the step adaptation read the frontend's settled status: right
  // after a tuning it has none yet and would never show a lock.
  attendeStatus(0);
  aggiornaInformazioniSchermo();
  monitorFE->update();
  if (leggeStatusFe()) {
    if (!cercaBestFreq(1)) return 0;
  } else if (cercaBestFreq(0)) {
    srCorrente = startSymbolRate;
  } else {
    // Next symbol rate at the same frequency, or on to the next frequency.
    applicaRicercaEuristica();
    srCorrente += stepSymbolRate;
    if (srCorrente > endSymbolRate) {
      srCorrente = startSymbolRate;
      stepSymbolRate = stepSymbolRateBase;
    } else {
      freqCorrente -= stepFrequenza;
    }
    return 0;
  }
  lStatus->setText("Sintonia canali in corso......");
  inScansione = 0;
  scanTransponderInCorso = 1;
  return 1;
}

int scan4transp::cercaBestFreq(int agganciato) {
  const bool campionamento = flagRicerca & FLAG_PASSO_FINE;
  if (agganciato && !campionamento) {   // a first lock: best rate, then sample
    flagRicerca |= FLAG_PASSO_FINE;
    cercaMigliorSR(0, 0);
    numCampioniBestFreq = 0;
    std::memset(campioniBestFreq, 0, sizeof campioniBestFreq);
    return 0;
  }
  if (agganciato) {
    if (numCampioniBestFreq < 10) {
      campioniBestFreq[numCampioniBestFreq][0] = mediaLettureSNRoAGC(20, 1);
      campioniBestFreq[numCampioniBestFreq][1] = freqCorrente * 1000;
      ++numCampioniBestFreq;
    }
    if (numCampioniBestFreq < 10) return 0;
  } else if (!campionamento) {
    return 0;
  }
  // Ten samples, or the lock was lost while sampling: hand over the best one.
  const int i = routine->findMaxSNR(campioniBestFreq, 10);
  flagRicerca &= ~FLAG_PASSO_FINE;
  if (!sintonizzaTransponder(campioniBestFreq[i][1])) return 0;
  disegnaSpettroTransponderTrovato(campioniBestFreq[i][1] / 1000, campioniBestFreq[i][0]);
  return 1;
}

void scan4transp::cercaMigliorSR(int srMinimo, int srMassimo) {
  if (srMinimo == 0) srMinimo = srCorrente - 10;
  if (srMassimo == 0) srMassimo = srCorrente + 100;
  long da = srMinimo * 1000L;
  if (da < 1000000) da = 1000000;
  long a = srMassimo * 1000L;
  if (a > 45000000) a = 45000000;

  FrontendParameters parametri;
  std::memset(&parametri, 0, sizeof parametri);
  if (fdFrontend <= 0 || ioctl(fdFrontend, FE_GET_FRONTEND, &parametri) < 0) {
    eDebug("ERRORE GET FRONTEND");
    chiudeFrontend(*this);
    return;
  }
  parametri.u.qpsk.FEC_inner = FEC_NONE;
  lSymbolRateValore->setText("ricerca symbolrate migliore");

  int migliore = 0;
  long migliorSR = 0;
  for (long r = da; r < a; r += 1000) {
    parametri.u.qpsk.SymbolRate = uint32_t(r);
    if (ioctl(fdFrontend, FE_SET_FRONTEND, &parametri) < 0) {
      eDebug("ERRORE SET FRONTEND");
      chiudeFrontend(*this);
      return;
    }
    // No wait for a status here: the SNR reading alone ranks the rates.
    const int snr = frontend->SNR();
    if (snr > migliore) {
      migliore = snr;
      migliorSR = r;
    }
  }
  srCorrente = int(migliorSR / 1000);
  parametri.u.qpsk.SymbolRate = uint32_t(srCorrente * 1000);
  if (ioctl(fdFrontend, FE_SET_FRONTEND, &parametri) < 0) {
    eDebug("ERRORE SET FRONTEND (%m)");
    chiudeFrontend(*this);
  }
}

void scan4transp::applicaRicercaEuristica() {
  const int p = percentoSNR(frontend->SNR());
  const int segnale = frontend->Status() & FE_HAS_SIGNAL;
  bool cambiato = false;
  if (p == ultimoSNRpercento) {
    if (++contaSNRuguali == limiteSNRuguali) {
      contaSNRuguali = 0;
      stepSymbolRate += 1;
      cambiato = true;
    }
  }
  if (!segnale) {
    stepSymbolRate += 5;
    cambiato = true;
  }
  if (p < sogliaAggancio) {
    stepSymbolRate += 5;
    cambiato = true;
  }
  if (piccoSuperato == 1)
    stepSymbolRate += 10;
  else if (!cambiato)
    stepSymbolRate = stepSymbolRateBase;
  if (stepSymbolRate < stepSymbolRateBase || stepSymbolRate > 250) stepSymbolRate = stepSymbolRateBase;
  ultimoSNRpercento = p;
}
