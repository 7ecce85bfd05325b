// The standard search: at each frequency, tune at the start symbol rate (or at
// every rate of the user's range), measure, and try to lock above the threshold.
#include <scan/scan4transp.h>
#include <scan/loop_for_thread.h>
#include <knowledge/routine_di_servizio.h>
#include <widgets/e_monitor_fe_status.h>
#include <host/gui/elabel.h>
#include <host/dvbapi/frontend.h>

namespace {
int percentualeSNR(int lettura) { return lettura * 100 / 65536; }
const int tentativiAggancio = 4;
}  // namespace

int scan4transp::applicaRicercaStandard() {
  int agcMassimo = 0;
  int snrMassimo = 0;
  const bool conRange = flagRicerca & FLAG_RANGE_SR;
  srCorrente = startSymbolRate;
  if (conRange) flagRicerca |= FLAG_PASSO_SR;

  for (;;) {
    sintonizza(0);
    aggiornaInformazioniSchermo();
    monitorFE->update();
    attendeStatus(1);
    if (richiestaInterruzione || !inScansione) break;

    const int snr = mediaLettureSNRoAGC(4, 1);
    const int percento = percentualeSNR(snr);
    const int agc = mediaLettureSNRoAGC(4, 0);
    if (conRange) {
      if (agc > agcMassimo) agcMassimo = agc;
      if (snr > snrMassimo) snrMassimo = snr;
    } else {
      int senzaRidisegno = 1;
      if (contaGraficoStandard == 4) {
        senzaRidisegno = 0;
        contaGraficoStandard = 0;
      } else {
        ++contaGraficoStandard;
      }
      disegnaSpettro(freqCorrente, agc, snr, senzaRidisegno);
    }

    if (percento >= sogliaAggancio) {
      monitorFE->update();
      for (int tentativo = 0; tentativo < tentativiAggancio; ++tentativo) {
        if (richiestaInterruzione || !inScansione) break;
        sintonizza(0);
        if (attendeStatus(0) & FE_HAS_LOCK) {
          routine->aggiungeSRconosciuti(srConosciuti, &numSRconosciuti, srCorrente);
          flagRicerca &= ~FLAG_PASSO_SR;
          return cercaMigliorFrequenza(snr);
        }
      }
    }
    if (richiestaInterruzione || !inScansione || !conRange) break;
    srCorrente += stepSymbolRate;
    if (srCorrente > endSymbolRate) break;
  }

  if (richiestaInterruzione && conRange) domandaInterruzione();
  flagRicerca &= ~FLAG_PASSO_SR;
  if (conRange) disegnaSpettro(freqCorrente, agcMassimo, snrMassimo, 0);
  return 0;
}

void scan4transp::domandaInterruzione() {
  const int risposta = messaggioDalWorker(
      "Si desidera interrompere la scansione (green)\no passare alla frequenza successiva (red) ?",
      "Interruzione scansione / skip frequenza", 76, 8, 0);
  if (risposta != -1 && risposta != 8) inScansione = 0;   // green: stop the scan
  richiestaInterruzione = 0;
}

int scan4transp::cercaMigliorFrequenza(int snrRiferimento) {
  const eString statusPrecedente = testoStatus;
  lStatus->setText("Ricerca miglior frequenza.....");
  const int f = freqCorrente;
  const int primaSonda = f - stepFrequenza + 1;
  freqCorrente = primaSonda;
  int indiceMigliore = -1;
  int snrMigliore = snrRiferimento;
  for (int i = 0; i < 10; ++i) {
    sintonizza(0);
    aggiornaInformazioniSchermo();
    const FrontendStatus status = attendeStatus(0);
    const int snr = mediaLettureSNRoAGC(4, 1);
    const int agc = mediaLettureSNRoAGC(2, 0);
    disegnaSpettro(freqCorrente, agc, snr, 1);
    if (snr > snrMigliore && (status & FE_HAS_LOCK)) {
      snrMigliore = snr;
      indiceMigliore = i;
    }
    ++freqCorrente;
  }
  impostaStatus(statusPrecedente.c_str());
  // The frequency of the probe that locked best: the transponder is where it locked.
  return indiceMigliore < 0 ? f : primaSonda + indiceMigliore;
}
