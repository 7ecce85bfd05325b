// The scan window: shows the progress of a blind scan and, through its thread
// base, is the worker that performs it. It holds the whole state of one scan.
#pragma once
#include <atomic>
#include <cstdio>
#include <memory>
#include <host/gui/ewindow.h>
#include <host/gui/ethread.h>
#include <host/gui/estring.h>
#include <host/gui/gpixmap.h>
#include <host/dvb/service.h>
#include <host/dvb/transponder.h>
#include <host/dvbapi/frontend.h>
#include <scan/tipi_ricerca.h>

class eLabel;
class eButton;
class eFrontend;
class eDVBState;
class eGrafico;
class eProgBar;
class eMonitorFEstatus;
class eSkin;
class loopForThread;
class routineDiServizio;
class eTimer;

class scan4transp : public eWindow, public eThread {
public:
  // The ten scan parameters in the settings window's order, then the found-channel log.
  scan4transp(int freqStart, int freqEnd, int stepFrequenza, int startSymbolRate, int endSymbolRate,
              int stepSymbolRate, int ritardoScansione, int polarita, int tipoRicerca, int sogliaAggancio,
              char* percorsoLog);
  ~scan4transp() override;

  // Runs the scan; returns when the window's modal run has ended (or at once
  // after the warning when the preparation failed).
  void Exec();
  void initVariabili();
  int preparaScanFreq();

  // Worker and its life cycle.
  void lanciaIlThread();
  void thread() override;
  void loopScansione();
  int eventHandler(const eWidgetEvent& event) override;
  void dvbState(const eDVBState& state);
  void fermaScanFreq();
  void preparaUscita();

  // Frontend access (worker).
  int sintonizza(int nonUsato);
  int leggeStatusFe();
  int mediaLettureSNRoAGC(int n, int tipo);
  // Waits for a non-zero status word and returns it; 0 when no status came
  // within the longest acquisition time, when the frontend is closed, when the
  // scan is being stopped, or (conInterruzione) when richiestaInterruzione is set.
  // registraErrori: log a failing request (once per wait).
  FrontendStatus attendeStatus(int conInterruzione, int registraErrori = 1);

  // Hand-over and services.
  int sintonizzaTransponder(int frequenzaKHz);
  void serviceFound(const eServiceReferenceDVB& servizio, bool nuovo);
  void aggiornaInformazioniSchermo();

  // Standard search.
  int applicaRicercaStandard();
  void domandaInterruzione();
  int cercaMigliorFrequenza(int snrRiferimento);

  // Deductive search (by symbol rate and by AGC).
  int applicaRicercaDeduttiva();
  int calcolaQualitaSegnaleRicDeduttiva();
  int provaSRconosciuti();

  // Heuristic search: passoRicercaEuristica is the per-frequency branch of the
  // main loop; it returns 1 when a transponder was handed over.
  int passoRicercaEuristica();
  int cercaBestFreq(int agganciato);
  void cercaMigliorSR(int srMinimo, int srMassimo);
  void applicaRicercaEuristica();

  // Spectrum plotting (worker).
  void disegnaSpettro(int frequenza, int agc, int snr, int nonRidisegnare);
  void disegnaSpettroTransponderTrovato(int frequenza, int snr);
  void disegnaCroceFreqSaltata(int frequenza);

  // Shows a modal box from the worker inside the loopForThread bracket; the
  // answer, or -1 when the scan is being stopped and no box was shown.
  int messaggioDalWorker(const char* testo, const char* titolo, int flags, int predefinito, int timeout = 0);
  // The GUI part of the end of the scan: the closing message and the final status.
  void concludeScansione();
  // timerFine's slot: concludes a scan whose worker reached the end of the range.
  void concludeDopoLaFine();
  // Writes the known symbol rates and the skip list back to their files.
  void scriveFileConoscenza();
  // Closes the found-channel log if it is open.
  void chiudeLog();
  // Status line set by the worker; remembered so that a phase can put it back
  // without reading the label, which the GUI thread may be changing.
  void impostaStatus(const char* testo);

  // Scan parameters.
  int freqPartenza;        // freqStart - 1: the first frequency probed is one step above
  int freqEnd;
  int stepFrequenza;
  int startSymbolRate, endSymbolRate;
  int stepSymbolRate;
  int stepSymbolRateBase;
  int ritardoScansione;
  int polarita;            // 0 horizontal, 1 vertical
  int tipoRicerca;         // TIPO_RICERCA
  int sogliaAggancio;      // SNR percent
  char* percorsoLog;       // owned by the caller

  // Cursors and scan state.
  int freqCorrente;        // MHz
  int srCorrente;          // kS/s
  std::atomic<int> flagRicerca{0};             // FLAG_* bits; written by the worker, read by the GUI
  std::atomic<int> richiestaInterruzione{0};   // set by the GUI, read and cleared by the searches
  std::atomic<int> inScansione{0};             // the worker's loop goes on while non-zero
  std::atomic<int> scanTransponderInCorso{0};  // the host scans a handed-over transponder
  int posizioneOrbitale;
  int fecTransponder;

  // Lists and work areas.
  int srConosciuti[100];
  int numSRconosciuti;
  int freqDaSaltare[100];
  int numFreqDaSaltare;
  int campioniBestFreq[10][2];     // SNR, frequency in kHz
  int numCampioniBestFreq;
  int campioniDeduttivi[150][2];   // frequency in MHz, 65535 - AGC
  int numCampioniDeduttivi;
  int ultimoSNRpercento, contaSNRuguali, limiteSNRuguali, piccoSuperato;
  int ultimaXGrafico;              // graph column of the last plotted point, -1 when none

  // Service counters.
  int numTV, numRadio, numDati;
  int numTVnuovi, numRadioNuovi, numDatiNuovi;

  // Receiver, devices and host objects.
  eFrontend* frontend;
  int fdFrontend, fdSec;           // 0: not opened; -1: closed after a failure, never used again
  FrontendParameters parametriFrontend;
  eSatellite* satellite;
  eLNB* lnb;
  int sogliaBanda, lofAlto, lofBasso;   // kHz
  eTransponder transponder;
  eTransponder* transponderOriginale;
  eServiceReference servizioOriginale;
  loopForThread* loopThread;
  routineDiServizio* routine;
  std::atomic<FILE*> fileLog{nullptr};  // opened by the worker's hand-over, closed on the GUI thread

  // Widgets (children; the skin places them by these names).
  eLabel* lSatelliteNome;
  eLabel* lFrequenzaValore;
  eLabel* lPolarizzazioneValore;
  eLabel* lSymbolRateValore;
  eLabel* lb_range;
  eProgBar* progBar;
  eMonitorFEstatus* monitorFE;
  eGrafico* grafico;
  eButton* bt_abort;
  eLabel* lcanaliTrovati;
  eLabel* lStatus;

  // Skin colours for the plotting.
  gColor coloreVerde, coloreBianco, coloreRosso, coloreGialloScuro;

  // Process-wide display state, kept from one scan window to the next.
  static int contaPassiGrafico;      // loop steps since the graph was last centred
  static int ultimaFreqMostrata;     // frequency last shown on the window
  static int contaGraficoStandard;   // spaces the standard search's repaints
  static int contaGraficoDeduttiva;  // spaces the deductive search's repaints

  // Single shot, started by the worker at the end of the range: its timeout brings
  // the closing message to the GUI thread. Stopped with the window.
  eTimer* timerFine;
  std::atomic<int> finestraChiusa{0};  // the modal run has ended
  eString testoStatus;                 // the worker's last status line
  std::atomic<int> fineInCorso{0};     // the end-of-scan sequence has begun (it runs once)
  eSkin* skin;                         // kept while the window lives: its colours are in use
};
