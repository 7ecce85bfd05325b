// The deductive searches ("by SymbolRate" and "by AGC"): walk the band at a low
// symbol rate measuring only the AGC, collect plateaus of high signal and, when
// a plateau ends, deduce a candidate centre and its quality, then try the known
// rates there and, by AGC, sweep the user's symbol-rate range.
#include <cstdlib>
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

const char* const TESTO_SCANSIONE = "Scan in progress......";

// By quality class 1..4 (index 0 unused): status prefix, lock reads and symbol-rate
// steps (kS/s) without signal and carrier, with a rising SNR, and otherwise.
struct ClasseQualita {
  const char* prefisso;
  int lettureAggancio;
  int passoSenzaSegnale;
  int passoSNRcrescente;
  int passoAltro;
};
const ClasseQualita CLASSI[5] = {
    {"", 0, 2, 2, 2},
    {"[q=S] ", 50, 2, 2, 2},
    {"[q=M] ", 6, 10, 40, 5},
    {"[q=B] ", 4, 20, 50, 7},
    {"[q=O] ", 2, 50, 70, 15},
};

// Inverted AGC below this is part of a plateau (an AGC mean of 55536 or more).
const int SOGLIA_PLATEAU = 10000;
const int SR_MISURA = 2000;   // kS/s at which the band is walked

bool segnaleEPortante(FrontendStatus s) {
  return (s & FE_HAS_SIGNAL) && (s & FE_HAS_CARRIER);
}

int percentoSNR(int lettura) { return lettura * 100 / 65536; }

void svuotaCampioniDeduttivi(scan4transp& scan) {
  std::memset(scan.campioniDeduttivi, 0, sizeof scan.campioniDeduttivi);
  scan.numCampioniDeduttivi = 0;
}

// The user broke off the sweep at centro: remember it as a frequency to skip?
void domandaFrequenzaDaSaltare(scan4transp& scan, int centro) {
  const int risposta = scan.messaggioDalWorker(
      "Si desidera aggiungere questa frequenza\na quelle da saltare automaticamente?",
      "Frequenze da saltare", 76, 8, 0);
  if (risposta != -1 && risposta != 8 && scan.numFreqDaSaltare <= 99) {
    scan.freqDaSaltare[scan.numFreqDaSaltare++] = centro;
    scan.lStatus->setText("Skipped......");
    scan.disegnaCroceFreqSaltata(centro);
  }
}

// Leaves the candidate: a close request still pending was made for this one and
// must not skip the next. The flags go first, so a later request ends the scan.
int lasciaCandidato(scan4transp& scan, int risultato) {
  scan.flagRicerca &= ~(FLAG_TEST_SR_NOTI | FLAG_RICERCA_SR);
  scan.richiestaInterruzione = 0;
  return risultato;
}

}  // namespace

int scan4transp::calcolaQualitaSegnaleRicDeduttiva() {
  const int n = numCampioniDeduttivi;
  if (n == 0) return 1;
  int pieni = 0;
  bool iniziato = false;
  int nonPieniDiSeguito = 0;
  for (int i = 0; i < n; ++i) {
    const bool pieno = campioniDeduttivi[i][1] == 0;
    if (!iniziato) {
      if (pieno) {
        iniziato = true;
        ++pieni;
      }
      continue;
    }
    if (pieno) {
      ++pieni;
      nonPieniDiSeguito = 0;
    } else if (++nonPieniDiSeguito >= 2) {
      break;
    }
  }
  if (pieni <= 4) return 1;
  if (pieni <= 7) return 2;
  if (pieni <= 14) return 3;
  return 4;
}

int scan4transp::provaSRconosciuti() {
  const int centro = freqCorrente;
  const int frequenze[3] = {centro, centro + 1, centro - 1};
  for (int f : frequenze) {
    freqCorrente = f;
    for (int i = 0; i < numSRconosciuti; ++i) {
      const int sr = srConosciuti[i];
      if (sr < startSymbolRate || sr > endSymbolRate) continue;
      srCorrente = sr;
      aggiornaInformazioniSchermo();
      sintonizza(0);
      if (attendeStatus(0) & FE_HAS_LOCK) return 1;
    }
  }
  freqCorrente = centro;
  return 0;
}

int scan4transp::applicaRicercaDeduttiva() {
  const int F = freqCorrente;

  // Measure and plot the AGC at the walking rate (drawn at two thirds of the reading).
  srCorrente = SR_MISURA;
  sintonizza(0);
  monitorFE->update();
  const int agc = mediaLettureSNRoAGC(4, 0);
  const int inv = 65535 - agc;
  int senzaRidisegno = 1;
  if (contaGraficoDeduttiva == 4) {
    senzaRidisegno = 0;
    contaGraficoDeduttiva = 0;
  } else {
    ++contaGraficoDeduttiva;
  }
  disegnaSpettro(F, int(agc / 1.5), 0, senzaRidisegno);

  if (inv < SOGLIA_PLATEAU) {   // the plateau goes on
    if (numCampioniDeduttivi == 150) svuotaCampioniDeduttivi(*this);
    campioniDeduttivi[numCampioniDeduttivi][0] = F;
    campioniDeduttivi[numCampioniDeduttivi][1] = inv;
    ++numCampioniDeduttivi;
    lStatus->setText(TESTO_SCANSIONE);
    return 0;
  }
  if (numCampioniDeduttivi <= 1) {   // a single high reading is no plateau
    svuotaCampioniDeduttivi(*this);
    lStatus->setText(TESTO_SCANSIONE);
    return 0;
  }

  // The plateau ended at F: its quality, its centre (strongest AGC, the middle
  // sample winning among equals) and its ends.
  const int n = numCampioniDeduttivi;
  const int classe = calcolaQualitaSegnaleRicDeduttiva();
  int indice = int(n * 0.5f) - 1;
  if (indice < 0) indice = 0;
  int valore = campioniDeduttivi[indice][1];
  for (int i = 0; i < n; ++i) {
    if (campioniDeduttivi[i][1] < valore) {
      indice = i;
      valore = campioniDeduttivi[i][1];
    }
  }
  const int C = campioniDeduttivi[indice][0];
  const int P = campioniDeduttivi[0][0];
  const int L = campioniDeduttivi[n - 1][0];
  svuotaCampioniDeduttivi(*this);
  if (C == 0) {
    lStatus->setText(TESTO_SCANSIONE);
    return 0;
  }

  // Frequencies the user asked to skip.
  for (int i = 0; i < numFreqDaSaltare; ++i) {
    lStatus->setText("Test frequenze da saltare......");
    if (std::abs(C - freqDaSaltare[i]) <= 2) {
      lStatus->setText("Skipped......");
      disegnaCroceFreqSaltata(freqDaSaltare[i]);
      lStatus->setText(TESTO_SCANSIONE);
      return 0;
    }
  }
  lStatus->setText(TESTO_SCANSIONE);

  // The known symbol rates at the centre and next to it.
  const int srSalvato = srCorrente;
  freqCorrente = C;
  sintonizza(0);
  flagRicerca |= FLAG_TEST_SR_NOTI;
  lStatus->setText("Test SR noti...(red to skip)");
  const int notoAgganciato = provaSRconosciuti();
  flagRicerca &= ~FLAG_TEST_SR_NOTI;
  if (notoAgganciato) {
    const int R = freqCorrente;
    freqCorrente = F;
    return lasciaCandidato(*this, R);
  }

  if (tipoRicerca == RICERCA_BY_SR) {   // the next step probes F again
    freqCorrente = L;
    return lasciaCandidato(*this, 0);
  }

  // By AGC: sweep the user's range with the class's steps and patience.
  const ClasseQualita& q = CLASSI[classe];
  flagRicerca |= FLAG_RICERCA_SR;
  lStatus->setText(eString(q.prefisso) + "Ricerca SR....(red to skip)");
  srCorrente = startSymbolRate;

  int agganciato = 0;       // lock bit carried from the last lock read
  int saltato = 0;
  int migliorSNR = 0, migliorSR = 0;
  int passiSenzaAggiornamento = 0;
  while (!agganciato && srCorrente < endSymbolRate && !saltato) {
    bool abbandonato = false;
    int passo = 0;
    sintonizza(0);
    FrontendStatus stato = attendeStatus(1, 0);
    if (richiestaInterruzione) {
      abbandonato = true;
    } else {
      ++passiSenzaAggiornamento;
      stato = attendeStatus(1, 1);
      if (richiestaInterruzione) abbandonato = true;
    }

    if (!abbandonato && segnaleEPortante(stato)) {
      const int s = mediaLettureSNRoAGC(4, 1);
      if (richiestaInterruzione) {
        abbandonato = true;
      } else {
        const int p = percentoSNR(s);
        passiSenzaAggiornamento = 0;
        aggiornaInformazioniSchermo();
        if (s >= migliorSNR) {
          migliorSNR = s;
          monitorFE->update();
          migliorSR = srCorrente;
        }
        if (p >= sogliaAggancio) {
          sintonizza(0);
          monitorFE->update();
          int bitAggancio = 0;
          for (int k = 0; k < q.lettureAggancio; ++k) {
            if (richiestaInterruzione) {
              abbandonato = true;
              break;
            }
            if (bitAggancio) {
              monitorFE->update();
              routine->aggiungeSRconosciuti(srConosciuti, &numSRconosciuti, srCorrente);
              freqCorrente = F;
              return lasciaCandidato(*this, C);
            }
            bitAggancio = attendeStatus(0) & FE_HAS_LOCK;
          }
          if (!abbandonato) agganciato = bitAggancio;
        }
        if (!abbandonato) {
          // Does the SNR rise a little higher up? Then take bigger steps.
          if (srCorrente + 300 <= endSymbolRate) {
            const int srProvato = srCorrente;
            srCorrente += 300;
            sintonizza(0);
            const FrontendStatus stato2 = attendeStatus(0);
            const int s2 = mediaLettureSNRoAGC(4, 1);
            srCorrente = srProvato;
            const bool crescente = s2 >= s && segnaleEPortante(stato2);
            passo = crescente ? q.passoSNRcrescente : q.passoAltro;
          } else {
            passo = q.passoAltro;
          }
        }
      }
    } else if (!abbandonato) {
      passo = q.passoSenzaSegnale;
    }

    if (!abbandonato) {
      if (classe == 1 || passo == 0) passo = 2;
      srCorrente += passo;
      if (passiSenzaAggiornamento > 20) {
        aggiornaInformazioniSchermo();
        passiSenzaAggiornamento = 0;
        monitorFE->update();
      }
    }
    if (richiestaInterruzione == 1) {
      richiestaInterruzione = 0;
      saltato = 1;
    }
  }

  if (saltato) {
    freqCorrente = F;
    srCorrente = srSalvato;
    domandaFrequenzaDaSaltare(*this, C);
    flagRicerca &= ~FLAG_RICERCA_SR;
    return 0;
  }

  // The best frequency of the plateau at the best rate of the sweep, then a last wait for lock.
  srCorrente = migliorSR;
  lStatus->setText("Test best freq....");
  uint16_t lettura = 0;
  unsigned migliore = 0;
  int B = P;
  for (int f = P; f <= F - 1; ++f) {
    freqCorrente = f;
    sintonizza(0);
    if (fdFrontend > 0) ioctl(fdFrontend, FE_READ_SNR, &lettura);
    if (lettura >= migliore) {
      migliore = lettura;
      monitorFE->update();
      B = f;
    }
  }
  freqCorrente = B;
  sintonizza(0);
  for (int i = 0; i < 10; ++i) {
    usleep(300000);
    if (agganciato) {
      routine->aggiungeSRconosciuti(srConosciuti, &numSRconosciuti, srCorrente);
      freqCorrente = F;
      return lasciaCandidato(*this, B);
    }
    agganciato = frontend->Status() & FE_HAS_LOCK;
  }
  srCorrente = srSalvato;
  freqCorrente = F;
  return lasciaCandidato(*this, 0);
}
