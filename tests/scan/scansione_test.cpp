// Whole scans through Exec: the worker, the hand-overs and the host's scans, the
// close requests, the end of the scan and the device faults.
#include "scan_fixture.h"
#include "host/dvbapi/frontend.h"
#include "host/dvb/transponder.h"
#include "host/dvb/edvb.h"
#include "widgets/e_grafico.h"

#include <sched.h>

#include <cstdio>

namespace scantest {
namespace {

const char* const finito = "Finito";
const char* const domanda = "Interruzione scansione / skip frequenza";

// Ends a scan that reached its closing message: the box, then the window.
bool chiudeDopoIlMessaggioFinale() {
  return ScanTest::boxAperto(finito) && ScanTest::premi("exit") &&
         ScanTest::testo("Scansione terminata...have fun!") && ScanTest::premi("exit");
}

TEST_F(ScanTest, TheLoopStepsThroughTheRangeAndEndsWithItsClosingMessage) {
  carica(banda());
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 10710;
  p.step = 5;
  scan4transp& w = finestra(p);
  bool messaggio = false;
  esegui(w, [&] {
    messaggio = boxAperto(finito);
    return messaggio && emu::currentMessageBox().text == "Scansione terminata. Premere annulla per uscire" &&
           chiudeDopoIlMessaggioFinale();
  });
  EXPECT_TRUE(messaggio);
  EXPECT_EQ(w.freqCorrente, 10714);
  EXPECT_EQ(scan4transp::ultimaFreqMostrata, 10709);   // 10704 and 10709 were probed
  EXPECT_TRUE(emu::receiver().handOvers().empty());
  EXPECT_EQ(emu::receiver().mode(), 2);   // viewing again
  // The end of the scan wrote both files: no rate found, an empty section for 19.2E.
  EXPECT_EQ(leggeFile(file("scrutafasci.sr")), "");
  EXPECT_EQ(leggeFile(file("scrutafasci.skip")), "#192\n");
}

// Two services of each kind of the class table, new and known.
std::vector<emu::Service> servizi() {
  auto s = [](const char* nome, const char* fornitore, int tipo, bool noto, int id) {
    emu::Service x;
    x.name = nome;
    x.provider = fornitore;
    x.service_type = tipo;
    x.known = noto;
    x.service_id = id;
    return x;
  };
  return {s("Uno", "RAI", 1, false, 1),        s("Radio Due", "RAI", 2, true, 2),
          s("Televideo", "RAI", 3, false, 3),  s("NVOD", "Sky", 4, true, 4),
          s("Rif", "Sky", 5, false, 5),        s("Mosaico", "Sky", 6, true, 6),
          s("Dati Zero", "Dati", 0, false, 7), s("Dati Dodici", "Dati", 12, true, 8),
          s("Radio Tre", "RAI", 2, false, 9)};
}

const char* const righeAttese =
    "[NT] Uno | RAI\n"
    "[OR] Radio Due | RAI\n"
    "[N] Televideo | RAI\n"
    "[OT] NVOD | Sky\n"
    "[N] Rif | Sky\n"
    "[O] Mosaico | Sky\n"
    "[ND] Dati Zero | Dati\n"
    "[OD] Dati Dodici | Dati\n"
    "[NR] Radio Tre | RAI\n";

emu::Scenario conServizi(std::vector<double> frequenze) {
  testsupport::ScenarioBuilder b = ScanTest::banda();
  for (double f : frequenze) b.carrier(f, Polarisation::Horizontal, 27500, 3, 12);
  emu::Scenario s = b.build();
  int tsid = 1;
  for (emu::Carrier& c : s.satellites[0].carriers) {
    if (c.polarisation != Polarisation::Horizontal) continue;
    c.services = servizi();
    c.transport_stream_id = tsid++;
    c.original_network_id = 1;
    for (emu::Service& x : c.services) x.service_id += 100 * c.transport_stream_id;
  }
  return s;
}

TEST_F(ScanTest, AFoundTransponderIsScannedByTheHostAndItsServicesAreLogged) {
  carica(conServizi({11005}));
  Parametri p;
  p.freqStart = 11000;
  p.freqEnd = 11010;
  scan4transp& w = finestra(p);
  bool contatori = false;
  esegui(w, [&] {
    contatori = testo("ch. trovati: TV [2 - 1]   RD [2 - 1]   DT [2 - 1]");
    return contatori && chiudeDopoIlMessaggioFinale();
  });
  EXPECT_TRUE(contatori);
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  ASSERT_EQ(consegne.size(), 1u);
  EXPECT_EQ(consegne[0].frequency_khz, 11005000u);
  EXPECT_EQ(consegne[0].symbol_rate, 27500000u);
  EXPECT_EQ(consegne[0].polarisation, Polarisation::Horizontal);
  EXPECT_TRUE(consegne[0].locked);
  // The probes left the cursor past the end of the range: the end came only after the host's scan.
  EXPECT_FALSE(consegne[0].aborted);
  EXPECT_EQ(consegne[0].services, 9);
  EXPECT_EQ(leggeFile(file("scrutafasci.scan")), righeAttese);
  EXPECT_EQ(leggeFile(file("scrutafasci.sr")), "27500\n");
  EXPECT_EQ(w.numTV, 2);
  EXPECT_EQ(w.numTVnuovi, 1);
  EXPECT_EQ(w.numRadio, 2);
  EXPECT_EQ(w.numDati, 2);
  EXPECT_EQ(w.fileLog.load(), nullptr);   // closed when the host's scan was over
}

TEST_F(ScanTest, TheWorkerStartsAgainAfterEachHostScanAndTheLogGrows) {
  carica(conServizi({11005, 11045}));
  Parametri p;
  p.freqStart = 11000;
  p.freqEnd = 11060;
  scan4transp& w = finestra(p);
  esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  ASSERT_EQ(consegne.size(), 2u);
  EXPECT_EQ(consegne[0].frequency_khz, 11005000u);
  EXPECT_EQ(consegne[1].frequency_khz, 11045000u);
  EXPECT_EQ(leggeFile(file("scrutafasci.scan")), std::string(righeAttese) + righeAttese);
  EXPECT_EQ(w.numTV, 4);
  EXPECT_GT(w.freqCorrente, 11060);
}

TEST_F(ScanTest, TheKnownRatesOfEarlierScansAreKeptAndTheSkipListRewritten) {
  carica(conServizi({11005}));
  std::ofstream(file("scrutafasci.sr")) << "22000\n1000\n";
  std::ofstream(file("scrutafasci.skip")) << "#130\n11000 V\n#192\n11778 V\n11800 H\n12000 H\n";
  Parametri p;
  p.freqStart = 11000;
  p.freqEnd = 11010;
  scan4transp& w = finestra(p);
  esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
  EXPECT_EQ(leggeFile(file("scrutafasci.sr")), "22000\n27500\n");
  EXPECT_EQ(leggeFile(file("scrutafasci.skip")), "#130\n11000 V\n#192\n11800 H\n12000 H\n11778 V\n");
  EXPECT_FALSE(esiste(file("scrutafasci.skip1")));
  EXPECT_FALSE(esiste(file("scrutafasci.sr1")));
}

// A scan window that notes what its worker finds when it starts and, when asked,
// holds the worker until the scan was stopped: the stop then lands at a known
// point, whatever the machine's load.
class SondaAvvio : public scan4transp {
public:
  using scan4transp::scan4transp;
  void thread() override {
    ++avvii;
    allAvvio = inScansione.load();
    if (trattieni == FINO_ALLO_STOP)
      while (inScansione) sched_yield();
    if (trattieni == FINO_ALLA_CHIUSURA)
      while (!finestraChiusa) sched_yield();
    scan4transp::thread();
  }
  enum { SUBITO, FINO_ALLO_STOP, FINO_ALLA_CHIUSURA };
  std::atomic<int> avvii{0};
  std::atomic<int> allAvvio{-1};
  int trattieni = SUBITO;
};

SondaAvvio& sonda(std::unique_ptr<scan4transp>& finestra, const Parametri& p, char* log) {
  auto* w = new SondaAvvio(p.freqStart, p.freqEnd, p.step, p.srStart, p.srEnd, p.srStep, p.ritardo, p.polarita,
                           p.tipo, p.soglia, log);
  finestra.reset(w);
  return *w;
}

TEST_F(ScanTest, ACloseRequestWhileSearchingEndsTheScanWithItsClosingMessage) {
  carica(banda());
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 12750;
  SondaAvvio& w = sonda(finestra_, p, percorsoLog_);
  w.trattieni = SondaAvvio::FINO_ALLO_STOP;
  esegui(w, [&] { return premi("exit") && chiudeDopoIlMessaggioFinale(); });
  EXPECT_LT(w.freqCorrente, p.freqStart);   // stopped before its first step
  EXPECT_EQ(w.inScansione, 0);
  EXPECT_TRUE(esiste(file("scrutafasci.sr")));
  EXPECT_EQ(leggeFile(file("scrutafasci.skip")), "#192\n");
  EXPECT_EQ(emu::receiver().mode(), 2);
}

TEST_F(ScanTest, AWindowClosedWhileSearchingStopsItsWorker) {
  carica(banda());
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 12750;
  SondaAvvio& w = sonda(finestra_, p, percorsoLog_);
  w.trattieni = SondaAvvio::FINO_ALLA_CHIUSURA;   // the worker steps only once the run has ended
  esegui(w, [&] {
    emu::post([&w] { w.close(0); });
    return true;
  });
  EXPECT_FALSE(w.thread_running());
  EXPECT_EQ(w.inScansione, 0);
  EXPECT_LE(w.freqCorrente, p.freqEnd);   // the range was not run to its end behind the closed window
  EXPECT_FALSE(esiste(file("scrutafasci.sr")));
}

TEST_F(ScanTest, TheEndOfTheScanRunsOnce) {
  carica(banda());
  scan4transp& w = preparata();
  w.fermaScanFreq();
  ASSERT_TRUE(esiste(file("scrutafasci.sr")));
  std::remove(file("scrutafasci.sr").c_str());
  std::remove(file("scrutafasci.skip").c_str());
  w.fermaScanFreq();
  EXPECT_FALSE(esiste(file("scrutafasci.sr")));
  EXPECT_FALSE(esiste(file("scrutafasci.skip")));
}

// A host scan that ends after the stop (or the closing) must not start the worker again.
TEST_F(ScanTest, AHostScanEndingAfterTheStopRestartsNothing) {
  carica(banda());
  for (const bool chiusa : {false, true}) {
    SCOPED_TRACE(chiusa ? "window closed" : "end of the scan begun");
    SondaAvvio& w = sonda(finestra_, Parametri(), percorsoLog_);
    w.initVariabili();
    ASSERT_EQ(w.preparaScanFreq(), 1);
    w.scanTransponderInCorso = 1;
    (chiusa ? w.finestraChiusa : w.fineInCorso) = 1;
    // Should the guard fail, the window would run modally here, deaf to close
    // requests while its end is under way: end its run.
    std::atomic<bool> fatto{false};
    std::thread guardia([&] {
      bool chiusa = false;
      while (!fatto) {
        if (!chiusa && w.isInExec()) {
          chiusa = true;
          emu::post([&w] { w.close(0); });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    });
    w.dvbState(eDVBState(0));
    fatto = true;
    guardia.join();
    EXPECT_EQ(w.avvii, 0);
    EXPECT_EQ(w.scanTransponderInCorso, 0);
  }
}

TEST_F(ScanTest, TheGraphIsCentredOnEveryTenthStep) {
  carica(banda());
  struct Caso { int freqEnd; int contaIniziale; int passiRimasti; int ultimoCentro; } casi[] = {
      {11560, 0, 0, 11559},   // 20 steps from 11502: centred at 11529 and 11559
      {11575, 0, 5, 11559},   // 25 steps: the last five do not move it
      {11560, 5, 5, 11544},   // the count goes on from an earlier scan: centred at 11514 and 11544
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::to_string(c.freqEnd) + " from " + std::to_string(c.contaIniziale));
    scan4transp::contaPassiGrafico = c.contaIniziale;   // what an earlier scan left
    Parametri p;
    p.freqStart = 11500;
    p.freqEnd = c.freqEnd;
    scan4transp& w = finestra(p);
    esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
    EXPECT_EQ(scan4transp::contaPassiGrafico, c.passiRimasti);
    const int origine = w.grafico->origineX;
    EXPECT_NE(origine, 0);
    w.grafico->muoviOrigineBitmap(c.ultimoCentro, 1);   // where it already is: no change
    EXPECT_EQ(w.grafico->origineX, origine);
    w.grafico->muoviOrigineBitmap(c.ultimoCentro - 3, 1);
    EXPECT_NE(w.grafico->origineX, origine);
  }
}

// A first worker that has handed over and is still on its way out when the host's
// scan ends: the host's notice is handled on the GUI thread while this worker runs,
// and the worker's last act, as in the loop after a hand-over, clears inScansione.
// A restart that marked the scan running before it waited for the old worker has
// that mark undone, and its new worker finds the scan stopped.
class SondaRiavvio : public scan4transp {
public:
  using scan4transp::scan4transp;
  void thread() override {
    if (++avvii > 1) {
      allAvvio = inScansione.load();
      scan4transp::thread();
      return;
    }
    scanTransponderInCorso = 1;   // as sintonizzaTransponder leaves it
    emu::post([this] { dvbState(eDVBState(0)); });
    // Served only once the GUI thread waits for this worker inside the restart.
    std::atomic<int> servito{0};
    emu::post([&servito] { servito = 1; });
    while (!servito) sched_yield();
    inScansione = 0;
  }
  std::atomic<int> avvii{0};
  std::atomic<int> allAvvio{-1};
};

TEST_F(ScanTest, ARestartWaitsForTheOldWorkerBeforeItMarksTheScanRunning) {
  carica(banda());
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 10710;
  p.step = 5;
  auto* w = new SondaRiavvio(p.freqStart, p.freqEnd, p.step, p.srStart, p.srEnd, p.srStep, p.ritardo, p.polarita,
                             p.tipo, p.soglia, percorsoLog_);
  finestra_.reset(w);
  esegui(*w, [&] { return chiudeDopoIlMessaggioFinale(); });
  EXPECT_EQ(w->avvii, 2);
  EXPECT_EQ(w->allAvvio, 1) << "the old worker's last write undid the restart";
  EXPECT_EQ(w->freqCorrente, 10714);   // the second worker ran the range to its end
}

TEST_F(ScanTest, TheWorkerFindsTheScanRunningWhenItStarts) {
  // A close request handled before the worker's first instruction must stop it.
  carica(banda());
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 10710;
  SondaAvvio& w = sonda(finestra_, p, percorsoLog_);
  esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
  EXPECT_EQ(w.allAvvio, 1);
}

TEST_F(ScanTest, ACloseRequestDuringTheHostScanClosesTheWindowAtOnce) {
  carica(conServizi({11005}));
  Parametri p;
  p.freqStart = 11000;
  p.freqEnd = 11100;
  scan4transp& w = finestra(p);
  // The first service the host reports asks to close: the host is scanning then.
  std::atomic<int> chiesto{0};
  sigc::connection c = eTransponderList::instance->service_found.connect(
      [&](const eServiceReferenceDVB&, bool) {
        if (!chiesto.exchange(1)) emu::postKey("exit");
      });
  esegui(w, [] { return true; });
  c.disconnect();
  EXPECT_EQ(chiesto, 1);
  EXPECT_EQ(w.finestraChiusa, 1);
  EXPECT_EQ(w.thread_running(), 0);   // nothing restarted the worker
  EXPECT_EQ(emu::receiver().mode(), 2);
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  ASSERT_EQ(consegne.size(), 1u);
  EXPECT_LT(consegne[0].services, 9);   // the host's scan was not waited for
  EXPECT_FALSE(esiste(file("scrutafasci.sr")));
}

TEST_F(ScanTest, ASecondCloseRequestAfterTheClosingMessageClosesTheWindow) {
  carica(banda());
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 10703;
  scan4transp& w = finestra(p);
  esegui(w, [&] {
    // Let the message close by itself is 5 s of wall time; answer it instead.
    return boxAperto(finito) && premi("ok") && testo("Scansione terminata...have fun!") && premi("exit");
  });
  EXPECT_EQ(w.finestraChiusa, 1);
}

// A symbol-rate range makes the standard search defer a close request and ask.
Parametri conRange() {
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 12750;
  p.srStart = 2000;
  p.srEnd = 45000;
  p.srStep = 1000;
  return p;
}

// Waits for the deferring phase, asks to close, checks the question and notes the
// frequency it was asked at; then answers.
bool chiedeEPoiRisponde(scan4transp& w, const char* risposta, int* frequenza) {
  if (!emu::waitUntil([&] { return (w.flagRicerca & FLAG_PASSO_SR) != 0; }) || !ScanTest::premi("exit") ||
      !ScanTest::boxAperto(domanda))
    return false;
  EXPECT_EQ(emu::currentMessageBox().text,
            "Si desidera interrompere la scansione (green)\no passare alla frequenza successiva (red) ?");
  *frequenza = w.freqCorrente;   // the worker is parked in the box
  return ScanTest::premi(risposta);
}

TEST_F(ScanTest, AnsweringGreenStopsTheScanWithoutWritingTheFiles) {
  carica(banda());
  scan4transp& w = finestra(conRange());
  int frequenza = 0;
  esegui(w, [&] {
    return chiedeEPoiRisponde(w, "green", &frequenza) && emu::waitUntil([&] { return !w.thread_running(); }) &&
           premi("exit");
  });
  EXPECT_EQ(w.inScansione, 0);
  EXPECT_EQ(w.richiestaInterruzione, 0);
  EXPECT_EQ(w.freqCorrente, frequenza);
  EXPECT_FALSE(esiste(file("scrutafasci.sr")));
  EXPECT_FALSE(esiste(file("scrutafasci.skip")));
  EXPECT_EQ(w.finestraChiusa, 1);
}

class RispostaCheProsegue : public ScanTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RispostaCheProsegue, TheScanGoesOnWithTheNextFrequency) {
  carica(banda());
  scan4transp& w = finestra(conRange());
  int prima = 0, seconda = 0;
  esegui(w, [&] {
    return chiedeEPoiRisponde(w, GetParam(), &prima) &&
           emu::waitUntil([&] { return !emu::currentMessageBox().open && w.richiestaInterruzione == 0; }) &&
           chiedeEPoiRisponde(w, "green", &seconda) && emu::waitUntil([&] { return !w.thread_running(); }) &&
           premi("exit");
  });
  // The answered frequency was left at once; the next question came at a later step.
  EXPECT_GE(seconda, prima + 3);
  EXPECT_EQ((seconda - prima) % 3, 0);
  EXPECT_EQ(w.richiestaInterruzione, 0);
  EXPECT_EQ(w.inScansione, 0);
}

// Red declines (8); exit leaves the box without an answer (-1).
INSTANTIATE_TEST_SUITE_P(Risposte, RispostaCheProsegue, ::testing::Values("red", "exit"));

struct CasoApertura {
  const char* nome;
  const char* dispositivo;
  const char* riga;
};

class AperturaFallita : public ScanTest, public ::testing::WithParamInterface<CasoApertura> {};

TEST_P(AperturaFallita, ShowsTheWarningAndStartsNoWorker) {
  carica(banda());
  emu::box().faults().failOpen(GetParam().dispositivo, ENOENT);
  scan4transp& w = finestra();
  bool avviso = false;
  esegui(w, [&] {
    avviso = boxAperto("Avviso") &&
             emu::currentMessageBox().text == "Impossibile avviare la scansione a causa di un errore!";
    return avviso && premi("ok");
  });
  EXPECT_TRUE(avviso);
  EXPECT_TRUE(emu::logContains(GetParam().riga));
  EXPECT_EQ(w.thread_running(), 0);
  EXPECT_EQ(w.inScansione, 0);
  EXPECT_EQ(emu::receiver().mode(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AperturaFallita,
    ::testing::Values(CasoApertura{"frontend", "/dev/dvb/card0/frontend0", "ERRORE APERTURA FRONTEND"},
                      CasoApertura{"sec", "/dev/dvb/card0/sec0", "ERRORE APERTURA SEC_DEV"}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(ScanTest, AFailingParameterReadShowsTheWarning) {
  carica(banda());
  emu::box().faults().failRequest(FE_GET_FRONTEND, 1, 1);
  scan4transp& w = finestra();
  esegui(w, [&] { return boxAperto("Avviso") && premi("ok"); });
  EXPECT_TRUE(emu::logContains("ERRORE GET FRONTEND"));
  EXPECT_EQ(w.fdFrontend, -1);
}

TEST_F(ScanTest, AFailingTuningNeitherHangsNorCrashesTheScan) {
  carica(conServizi({11005}));
  emu::box().faults().failRequest(FE_SET_FRONTEND, 2, 0);   // the second tuning fails, and all after it
  Parametri p;
  p.freqStart = 10990;
  p.freqEnd = 11100;
  scan4transp& w = finestra(p);
  esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
  EXPECT_EQ(righeLog("ERRORE SET FRONTEND"), 1);
  EXPECT_EQ(righeLog("FE_READ_STATUS"), 0);
  EXPECT_EQ(w.fdFrontend, -1);
  EXPECT_GT(w.freqCorrente, 11100);
  EXPECT_TRUE(emu::receiver().handOvers().empty());
}

TEST_F(ScanTest, AFrontendThatNeverAnswersItsStatusDoesNotHangTheScan) {
  carica(banda());
  emu::box().faults().failRequest(FE_READ_STATUS, 1, 0);
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 10710;
  p.step = 5;
  scan4transp& w = finestra(p);
  esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
  EXPECT_EQ(righeLog("++++++++ ERRORE FE_READ_STATUS"), 2);   // once per wait, two frequencies
  EXPECT_EQ(w.freqCorrente, 10714);
}

TEST_F(ScanTest, AFailingSecSequenceIsLoggedAndTheScanGoesOn) {
  carica(banda());
  emu::box().faults().failSecSequence();
  Parametri p;
  p.freqStart = 10700;
  p.freqEnd = 10710;
  p.step = 5;
  scan4transp& w = finestra(p);
  esegui(w, [&] { return chiudeDopoIlMessaggioFinale(); });
  EXPECT_EQ(righeLog("ERRORE INVIO SEQUENZA DISEQC"), 2);
  EXPECT_EQ(w.freqCorrente, 10714);
}

}  // namespace
}  // namespace scantest

namespace scantest {
namespace {

TEST_F(ScanTest, ATransponderTheHostRefusesIsReportedFromTheWorkerAndTheScanGoesOn) {
  // Not tuned: the scan runs for orbital position 0 on the switch's first port,
  // and the host refuses a transponder of a position it does not know.
  carica(conServizi({11005}));
  emu::receiver().untune();
  Parametri p;
  p.freqStart = 11000;
  p.freqEnd = 11010;
  scan4transp& w = finestra(p);
  bool avviso = false;
  esegui(w, [&] {
    avviso = boxAperto("Avviso") && emu::currentMessageBox().text == "Impossibile fare scan su questo transponder!";
    return avviso && premi("ok") && chiudeDopoIlMessaggioFinale();
  });
  EXPECT_TRUE(avviso);
  EXPECT_EQ(w.posizioneOrbitale, 0);
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  ASSERT_EQ(consegne.size(), 1u);
  EXPECT_FALSE(consegne[0].accepted);
  EXPECT_EQ(leggeFile(file("scrutafasci.scan")), "");
  EXPECT_EQ(w.fileLog.load(), nullptr);   // closed after the refusal
  EXPECT_EQ(leggeFile(file("scrutafasci.skip")), "#0\n");
  EXPECT_GT(w.freqCorrente, 11010);
}

}  // namespace
}  // namespace scantest
