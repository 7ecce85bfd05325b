// Tuning and measuring through the DVB API v1 frontend and SEC devices.
#include <scan/scan4transp.h>
#include <host/gui/eerror.h>
#include <host/dvb/frontend.h>
#include <host/dvbapi/frontend.h>
#include <host/dvbapi/sec.h>
#include <cerrno>
#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// A status request costs about 1 ms on the frontend's I2C bus; the longest
// acquisition (the search time-out below 2 MS/s) is 2.5 s. 3000 requests give up
// safely after it.
const int maxLettureStatus = 3000;
}  // namespace

int scan4transp::sintonizza(int) {
  int f = freqCorrente * 1000;
  const bool bandaAlta = f > sogliaBanda;
  f -= bandaAlta ? lofAlto : lofBasso;
  parametriFrontend.Frequency = uint32_t(abs(f));   // an LO above the carrier gives a negative difference
  parametriFrontend.Inversion = INVERSION_AUTO;

  const int posizione = lnb ? lnb->getDiSEqC().DiSEqCParam : 0;
  secCommand comando{};
  comando.type = SEC_CMDTYPE_DISEQC;
  comando.u.diseqc.framing = 0xE0;   // master command, no reply expected
  comando.u.diseqc.addr = 0x10;      // any LNB or switch
  comando.u.diseqc.cmd = 0x38;       // write N0: committed switch
  comando.u.diseqc.numParams = 1;
  comando.u.diseqc.params[0] =
      uint8_t(0xF0 | ((posizione * 4) & 0x0C) | (polarita ? 0 : 0x02) | (bandaAlta ? 0x01 : 0));
  secCmdSequence sequenza{};
  sequenza.voltage = polarita ? SEC_VOLTAGE_13 : SEC_VOLTAGE_18;
  sequenza.miniCommand = SEC_MINI_NONE;
  sequenza.continuousTone = bandaAlta ? SEC_TONE_ON : SEC_TONE_OFF;
  sequenza.numCommands = 1;
  sequenza.commands = &comando;
  if (ioctl(fdSec, SEC_SEND_SEQUENCE, &sequenza) < 0) eDebug("ERRORE INVIO SEQUENZA DISEQC");

  parametriFrontend.u.qpsk.SymbolRate = uint32_t(srCorrente * 1000);
  parametriFrontend.u.qpsk.FEC_inner = FEC_NONE;
  if (fdFrontend < 0) return -1;   // closed after an earlier failure
  int esito = ioctl(fdFrontend, FE_SET_FRONTEND, &parametriFrontend);
  if (esito < 0) {
    eDebug("ERRORE SET FRONTEND (%m)");
    ::close(fdFrontend);   // the descriptor, not the window
    // The number may be handed out again by the next open: never use it again.
    fdFrontend = -1;
  }
  return esito;
}

int scan4transp::leggeStatusFe() {
  int agc = frontend->SignalStrength();
  int snr = frontend->SNR();
  disegnaSpettro(freqCorrente, agc, snr, 0);
  return frontend->Status() & FE_HAS_LOCK;
}

int scan4transp::mediaLettureSNRoAGC(int n, int tipo) {
  if (n <= 0) return 0;
  uint16_t lettura = 0;
  long somma = 0;
  for (int i = 0; i < n; ++i) {
    if (fdFrontend >= 0) ioctl(fdFrontend, tipo ? FE_READ_SNR : FE_READ_SIGNAL_STRENGTH, &lettura);
    somma += lettura;   // a failed reading adds the previous value
  }
  return int(somma / n);
}

FrontendStatus scan4transp::attendeStatus(int conInterruzione, int registraErrori) {
  if (fdFrontend < 0) return 0;
  bool erroreRegistrato = false;
  for (int i = 0; i < maxLettureStatus; ++i) {
    if (!inScansione) return 0;
    if (conInterruzione && richiestaInterruzione) return 0;
    FrontendStatus status = 0;
    if (ioctl(fdFrontend, FE_READ_STATUS, &status) < 0) {
      if (registraErrori && !erroreRegistrato) eDebug("++++++++ ERRORE FE_READ_STATUS");
      erroreRegistrato = true;
      if (errno == EBADF) return 0;
      continue;
    }
    if (status) return status;
  }
  eDebug("++++++++ NESSUNO STATUS DAL FRONTEND: attesa abbandonata");
  return 0;
}
