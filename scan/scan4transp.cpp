// The scan window: construction, the initial values of a scan, Exec, destruction.
#include <scan/scan4transp.h>
#include <scan/loop_for_thread.h>
#include <knowledge/routine_di_servizio.h>
#include <widgets/e_grafico.h>
#include <widgets/e_monitor_fe_status.h>
#include <widgets/e_prog_bar.h>
#include <host/gui/ebase.h>
#include <host/gui/ebutton.h>
#include <host/gui/eerror.h>
#include <host/gui/elabel.h>
#include <host/gui/emessage.h>
#include <host/gui/eskin.h>
#include <host/dvb/edvb.h>
#include <host/dvb/frontend.h>
#include <cstring>
#include <unistd.h>

int scan4transp::contaPassiGrafico = 0;
int scan4transp::ultimaFreqMostrata = 0;
int scan4transp::contaGraficoStandard = 0;
int scan4transp::contaGraficoDeduttiva = 0;

namespace {

eTransponderList& elencoTransponder() { return *eDVB::instance->settings->getTransponders(); }

eLabel* creaEtichetta(eWidget* padre, const char* nome) {
  eLabel* l = new eLabel(padre, 0, 0, "eLabel");
  l->setName(nome);
  return l;
}

}  // namespace

scan4transp::scan4transp(int freqStart, int freqEnd_, int stepFrequenza_, int startSymbolRate_,
                         int endSymbolRate_, int stepSymbolRate_, int ritardoScansione_, int polarita_,
                         int tipoRicerca_, int sogliaAggancio_, char* percorsoLog_)
    : eWindow(1),
      eThread(),
      freqPartenza(freqStart - 1),
      freqEnd(freqEnd_),
      stepFrequenza(stepFrequenza_),
      startSymbolRate(startSymbolRate_),
      endSymbolRate(endSymbolRate_),
      stepSymbolRate(stepSymbolRate_),
      stepSymbolRateBase(0),
      ritardoScansione(ritardoScansione_),
      polarita(polarita_),
      tipoRicerca(tipoRicerca_),
      sogliaAggancio(sogliaAggancio_),
      percorsoLog(percorsoLog_),
      freqCorrente(freqStart - 1),
      srCorrente(startSymbolRate_),
      posizioneOrbitale(0),
      fecTransponder(0),
      numSRconosciuti(0),
      numFreqDaSaltare(0),
      numCampioniBestFreq(0),
      numCampioniDeduttivi(0),
      ultimoSNRpercento(0),
      contaSNRuguali(0),
      limiteSNRuguali(10),
      piccoSuperato(0),
      ultimaXGrafico(-1),
      numTV(0), numRadio(0), numDati(0),
      numTVnuovi(0), numRadioNuovi(0), numDatiNuovi(0),
      frontend(eFrontend::frontend),
      fdFrontend(0),
      fdSec(0),
      satellite(nullptr),
      lnb(nullptr),
      sogliaBanda(11700000), lofAlto(10600000), lofBasso(9750000),
      transponder(elencoTransponder()),
      transponderOriginale(nullptr),
      loopThread(nullptr),
      routine(nullptr),
      coloreVerde(0), coloreBianco(0), coloreRosso(0), coloreGialloScuro(0),
      timerFine(new eTimer(eApp)),
      skin(nullptr) {
  memset(srConosciuti, 0, sizeof srConosciuti);
  memset(freqDaSaltare, 0, sizeof freqDaSaltare);
  memset(campioniBestFreq, 0, sizeof campioniBestFreq);
  memset(campioniDeduttivi, 0, sizeof campioniDeduttivi);
  memset(&parametriFrontend, 0, sizeof parametriFrontend);
  grafico = nullptr;

  const gFont& famiglia = getParent() ? getParent()->getFont() : getFont();
  setFont(gFont(famiglia.family, 20));
  move(ePoint(100, 10));
  resize(eSize(520, 520));
  setText("Scrutafasci at work...shhh non disturbare ;-)");

  lSatelliteNome = creaEtichetta(this, "lSatelliteNome");
  lFrequenzaValore = creaEtichetta(this, "lFrequenzaValore");
  lPolarizzazioneValore = creaEtichetta(this, "lPolarizzazioneValore");
  lSymbolRateValore = creaEtichetta(this, "lSymbolRateValore");
  lb_range = creaEtichetta(this, "lb_range");
  progBar = new eProgBar(this, 0);
  progBar->setName("progBar");
  monitorFE = new eMonitorFEstatus(this, frontend, 1);
  monitorFE->setName("monitorFE");
  grafico = new eGrafico(this);
  grafico->setName("grafico");
  grafico->inibisciScrollBitmap(1);   // no scrolling by the user while the scan runs
  bt_abort = new eButton(this, nullptr, 1, "eButton");
  bt_abort->setName("bt_abort");
  lcanaliTrovati = creaEtichetta(this, "lcanaliTrovati");
  lStatus = creaEtichetta(this, "lStatus");

  skin = new eSkin();
  skin->load("/var/tuxbox/plugins/scrutafasci.esml");
  if (skin->build(this, "scan4transp")) eFatal("skin load of \"scan4feed\" failed");

  lPolarizzazioneValore->setText(polarita ? "Verticale" : "Orizzontale");
  grafico->setRange(10700, 12970, 100);

  bt_abort->selected.connect(SigC::slot(static_cast<eWidget&>(*this), &eWidget::reject));
  eDVB::instance->stateChanged.connect(SigC::slot(*this, &scan4transp::dvbState));
  timerFine->timeout.connect(SigC::slot(*this, &scan4transp::concludeDopoLaFine));
  elencoTransponder().service_found.connect(SigC::slot(*this, &scan4transp::serviceFound));
}

scan4transp::~scan4transp() {
  // The worker uses the children: it must be gone before the window part is destroyed.
  inScansione = 0;
  kill(false);
  chiudeLog();
  if (fdFrontend > 0) ::close(fdFrontend);
  if (fdSec > 0) ::close(fdSec);
  fdFrontend = fdSec = -1;
  timerFine->stop();
  delete timerFine;
  delete loopThread;
  delete routine;
  delete transponderOriginale;
  delete skin;
}

void scan4transp::Exec() {
  initVariabili();
  if (preparaScanFreq()) {
    lanciaIlThread();
    return;
  }
  // Nothing was started: give the receiver back what the preparation took.
  preparaUscita();
  eMessageBox box("Impossibile avviare la scansione a causa di un errore!", "Avviso", 17, 1, 0);
  box.show();
  box.exec();
  box.hide();
}

void scan4transp::initVariabili() {
  posizioneOrbitale = 130;
  fdFrontend = fdSec = 0;
  numTV = numRadio = numDati = 0;
  numTVnuovi = numRadioNuovi = numDatiNuovi = 0;
  satellite = nullptr;
  scanTransponderInCorso = 0;
  richiestaInterruzione = 0;
  fecTransponder = 0;
  numFreqDaSaltare = 0;

  delete loopThread;
  loopThread = new loopForThread();
  delete routine;
  routine = new routineDiServizio();

  int flag = FLAG_ATTIVA;
  if (endSymbolRate != startSymbolRate) flag |= FLAG_RANGE_SR;
  flagRicerca = flag;

  limiteSNRuguali = 10;
  numCampioniDeduttivi = 0;
  ultimoSNRpercento = 0;
  contaSNRuguali = 0;
  numCampioniBestFreq = 0;
  memset(campioniBestFreq, 0, sizeof campioniBestFreq);
  memset(campioniDeduttivi, 0, sizeof campioniDeduttivi);
  ultimaXGrafico = -1;

  eSkin* attivo = eSkin::getActive();
  if (attivo) {
    coloreVerde = attivo->queryColor("std_green");
    coloreBianco = attivo->queryColor("std_white");
    coloreRosso = attivo->queryColor("std_red");
    coloreGialloScuro = attivo->queryColor("std_dyellow");
  }

  srCorrente = startSymbolRate;

  eString range;
  switch (tipoRicerca) {
    case RICERCA_STANDARD:
      lb_range->setText(range.sprintf("Range di frequenze: %d - %d (standard)", freqPartenza + 1, freqEnd));
      break;
    case RICERCA_BY_SR:
      lb_range->setText(range.sprintf("Range di frequenze: %d - %d (by SymbolRate)", freqPartenza + 1, freqEnd));
      stepFrequenza = 1;
      startSymbolRate = 2000;
      endSymbolRate = 45000;
      stepSymbolRate = 2000;
      stepSymbolRateBase = 2000;
      break;
    case RICERCA_BY_AGC:
      lb_range->setText(range.sprintf("Range di frequenze: %d - %d (by AGC)", freqPartenza + 1, freqEnd));
      stepFrequenza = 1;
      stepSymbolRate = 2000;
      stepSymbolRateBase = 2000;
      break;
    case RICERCA_EURISTICA:
      lb_range->setText(range.sprintf("Range di frequenze: %d - %d (euristica)", freqPartenza + 1, freqEnd));
      stepFrequenza = 3;
      stepSymbolRate = 10;
      stepSymbolRateBase = 10;
      break;
    default:
      break;
  }

  numSRconosciuti = 0;
  memset(srConosciuti, 0, sizeof srConosciuti);
}
