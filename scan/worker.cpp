// The scan worker: its main loop, the restart after each host scan, the close
// request and the end of the scan.
#include <scan/scan4transp.h>
#include <scan/loop_for_thread.h>
#include <widgets/e_grafico.h>
#include <widgets/e_monitor_fe_status.h>
#include <host/gui/ebase.h>
#include <host/gui/elabel.h>
#include <host/gui/emessage.h>
#include <host/dvb/edvb.h>
#include <host/dvb/frontend.h>

void scan4transp::lanciaIlThread() {
  kill(false);   // a worker that handed over may still be returning: let it end first
  // Set before the worker exists: a close request handled at once must find a
  // running scan, not one that has yet to say so.
  inScansione = 1;
  run(0, 0);
  if (!isInExec()) {
    if (!isVisible()) show();
    exec();
  }
}

namespace {
// True on a scan worker: the end of the range and the message boxes take the
// worker's way there.
thread_local bool sulWorker = false;
}  // namespace

void scan4transp::thread() {
  sulWorker = true;
  loopScansione();
  sulWorker = false;
}

void scan4transp::loopScansione() {
  if (!inScansione) return;   // stopped before the worker began
  impostaStatus("Scan in progress......");
  eDVB::instance->setMode(1);
  // Only the loop's own advance ends the range: the best-frequency probes may
  // leave the cursor past the end of a hand-over whose host scan is still to come.
  bool oltreLaFine = false;
  while (inScansione) {
    freqCorrente += (flagRicerca & FLAG_PASSO_FINE) ? 1 : stepFrequenza;
    if (freqCorrente > freqEnd) {
      oltreLaFine = true;
      inScansione = 0;
      break;
    }
    if (++contaPassiGrafico >= 10) {
      grafico->muoviOrigineBitmap(freqCorrente, 1);
      contaPassiGrafico = 0;
    }
    int trovata = 0;
    switch (tipoRicerca) {
      case RICERCA_STANDARD:
        flagRicerca |= FLAG_STANDARD;
        trovata = applicaRicercaStandard();
        flagRicerca &= ~FLAG_STANDARD;
        break;
      case RICERCA_BY_SR:
      case RICERCA_BY_AGC:
        aggiornaInformazioniSchermo();
        monitorFE->update();
        flagRicerca |= FLAG_DEDUTTIVA;
        trovata = applicaRicercaDeduttiva();
        flagRicerca &= ~FLAG_DEDUTTIVA;
        break;
      case RICERCA_EURISTICA:
        if (passoRicercaEuristica()) {
          impostaStatus("Sintonia canali in corso......");
          inScansione = 0;
        }
        continue;
      default:
        continue;
    }
    // A stop asked for during the step hands nothing over.
    if (!trovata || !inScansione) continue;
    impostaStatus("Sintonia canali in corso......");
    // Read while the frontend still sits on the transponder: the host tunes it next.
    const int snr = frontend->SNR();
    if (sintonizzaTransponder(trovata * 1000)) {
      disegnaSpettroTransponderTrovato(trovata, snr);
      inScansione = 0;
    }
  }
  if (oltreLaFine) fermaScanFreq();
}

int scan4transp::eventHandler(const eWidgetEvent& event) {
  switch (event.type) {
    case eWidgetEvent::execDone:
      finestraChiusa = 1;
      // However the run ended, no worker may go on behind a closed window.
      inScansione = 0;
      kill(false);
      preparaUscita();
      return eWindow::eventHandler(event);
    case eWidgetEvent::wantClose:
      if (flagRicerca & FLAG_RINVIO_CHIUSURA) {
        richiestaInterruzione = 1;   // the search asks at its next check point
        return 1;
      }
      if (inScansione) {
        fermaScanFreq();
        return 1;
      }
      // A worker still running here is on its way out (it handed over, was
      // answered "stop" or is ending the range): wait for it rather than cut it
      // off in the middle of a file write.
      if (thread_running()) kill(false);
      return eWindow::eventHandler(event);
    default:
      return eWindow::eventHandler(event);
  }
}

void scan4transp::dvbState(const eDVBState& state) {
  if (state.state != 0 || !scanTransponderInCorso) return;
  scanTransponderInCorso = 0;
  chiudeLog();
  // A stop may come between the worker's last check and its hand-over: the
  // host's scan then ends a scan that is already ending, and nothing restarts.
  if (finestraChiusa || fineInCorso) return;
  lanciaIlThread();
}

void scan4transp::fermaScanFreq() {
  int prima = 0;
  if (!fineInCorso.compare_exchange_strong(prima, 1)) return;   // already ending
  // Asked before the stop: a worker that sees the stop may end at once, and the
  // scan it was running still deserves its closing message.
  const bool conWorker = thread_running();
  scanTransponderInCorso = 0;
  inScansione = 0;
  lStatus->setText("Attendere...interruzione in corso");

  if (sulWorker) {
    // End of the range, on the worker: write the files here, where the lists
    // live, and hand the closing message to the GUI thread. The worker must not
    // wait for its own thread nor run a box outside the bracket.
    scriveFileConoscenza();
    timerFine->start(0, true);
    return;
  }
  if (!conWorker) {
    scriveFileConoscenza();
    preparaUscita();
    close(0);
    return;
  }
  kill(false);   // the worker sees inScansione at its next check; its lists are then stable
  scriveFileConoscenza();
  concludeScansione();
}

void scan4transp::concludeDopoLaFine() {
  if (!finestraChiusa) concludeScansione();
}

void scan4transp::concludeScansione() {
  kill(false);   // the worker started the timer as its last act
  {
    eMessageBox box("Scansione terminata. Premere annulla per uscire", "Finito", 17, 0, 5000);
    box.show();
    box.exec();
    box.hide();
  }
  grafico->inibisciScrollBitmap(0);   // the user may now scroll the spectrum
  lStatus->setText("Scansione terminata...have fun!");
}

void scan4transp::impostaStatus(const char* testo) {
  testoStatus = testo;
  lStatus->setText(testo);
}

int scan4transp::messaggioDalWorker(const char* testo, const char* titolo, int flags, int predefinito,
                                    int timeout) {
  if (!sulWorker) {   // nothing to park: show it here
    eMessageBox box(testo, titolo, flags, predefinito, timeout);
    box.show();
    int risposta = box.exec();
    box.hide();
    return risposta;
  }
  if (!loopThread->waitForEnterLoop(&inScansione)) return -1;
  int risposta;
  {
    eMessageBox box(testo, titolo, flags, predefinito, timeout);
    box.show();
    risposta = box.exec();
    box.hide();
  }
  loopThread->waitForExitLoop();
  return risposta;
}
