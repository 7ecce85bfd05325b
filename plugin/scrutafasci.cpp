#include <plugin/scrutafasci.h>

#include <libintl.h>
#include <locale.h>
#include <cstdint>
#include <memory>
#include <host/dvb/edvb.h>
#include <host/gui/eerror.h>
#include <host/gui/emessage.h>
#include <host/gui/eskin.h>
#include <plugin/file_conf.h>

const char* const PERCORSO_SKIN = "/var/tuxbox/plugins/scrutafasci.esml";
const char* const PERCORSO_FILE_SR = "/var/tuxbox/plugins/scrutafasci.sr";
const char* const PERCORSO_FILE_LOG = "/var/tuxbox/plugins/scrutafasci.scan";

namespace {

eLabel* nuovaEtichetta(eWidget* padre, const char* nome) {
  eLabel* l = new eLabel(padre, 0, 0, "eLabel");
  l->setName(nome);
  return l;
}

// A row of single-digit fields holding one decimal number.
eNumber* nuovoNumero(eWidget* padre, int campi, int* iniziali, eWidget* descr, const char* nome) {
  eNumber* n = new eNumber(padre, campi, 0, 9, 1, iniziali, 0, descr, 1, "eNumber");
  n->setName(nome);
  return n;
}

eButton* nuovoPulsante(eWidget* padre, const char* nome) {
  eButton* b = new eButton(padre, nullptr, 1, "eButton");
  b->setName(nome);
  return b;
}

void nuovaVoce(eListBox<eListBoxEntryText>* lista, const char* testo, int chiave) {
  new eListBoxEntryText(lista, testo, reinterpret_cast<void*>(static_cast<intptr_t>(chiave)), 0,
                        eString(), 0);
}

// The skin stays loaded once the window is built: its palette is the one on screen.
// One is kept for the process; a newer one replaces it, the last goes at unload.
std::unique_ptr<eSkin>& skinInUso() {
  static std::unique_ptr<eSkin> skin;
  return skin;
}

}  // namespace

eScrutafasci::eScrutafasci() : eWindow(1) {
  for (datiSatellite& s : satelliti)
    for (int k = 0; k < NUM_CHIAVI; k++) {
      s.chiave[k] = eString();
      s.valore[k] = 0;
    }

  move(ePoint(90, 10));
  resize(eSize(540, 430));
  setText("Scrutafasci by the Scrutafasci developers - v 1.0.1");
  eWidget* padre = getParent();
  setFont(gFont(padre ? padre->getFont().family : getFont().family, 20));

  lTipoRicerca = nuovaEtichetta(this, "lTipoRicerca");
  tipoRicerca = new eListBox<eListBoxEntryText>(this, lTipoRicerca, 1);
  tipoRicerca->setName("tipoRicerca");
  nuovaVoce(tipoRicerca, "standard", RICERCA_STANDARD);
  nuovaVoce(tipoRicerca, "by SymbolRate", RICERCA_BY_SR);
  nuovaVoce(tipoRicerca, "by AGC", RICERCA_BY_AGC);

  int iniFreqStart[5] = {1, 0, 7, 0, 0};
  int iniFreqEnd[5] = {1, 2, 7, 5, 0};
  int iniStepFreq[5] = {0, 0, 0, 0, 3};
  int iniStartSR[5] = {2, 7, 5, 0, 0};
  int iniEndSR[5] = {2, 7, 5, 0, 0};
  int iniStepSR[5] = {0, 0, 0, 0, 1};
  int iniRitardo[3] = {0, 1, 0};
  int iniSoglia[2] = {5, 3};

  lFreqStart = nuovaEtichetta(this, "lFreqStart");
  freqStart = nuovoNumero(this, 5, iniFreqStart, lFreqStart, "freqStart");
  lFreqEnd = nuovaEtichetta(this, "lFreqEnd");
  freqEnd = nuovoNumero(this, 5, iniFreqEnd, lFreqEnd, "freqEnd");
  lStepFrequenza = nuovaEtichetta(this, "lStepFrequenza");
  valStepFrequenza = nuovoNumero(this, 5, iniStepFreq, lStepFrequenza, "valStepFrequenza");
  autoStepFrequenza = nuovaEtichetta(this, "autoStepFrequenza");

  lpolarita = nuovaEtichetta(this, "lpolarita");
  polarita = new eListBox<eListBoxEntryText>(this, lpolarita, 1);
  polarita->setName("polarita");
  nuovaVoce(polarita, dcgettext(nullptr, "orizzontale", LC_MESSAGES), 0);
  nuovaVoce(polarita, dcgettext(nullptr, "verticale", LC_MESSAGES), 1);

  lStartSymbolRate = nuovaEtichetta(this, "lStartSymbolRate");
  startSymbolRate = nuovoNumero(this, 5, iniStartSR, lStartSymbolRate, "startSymbolRate");
  autoStartSymbolRate = nuovaEtichetta(this, "autoStartSymbolRate");
  lEndSymbolRate = nuovaEtichetta(this, "lEndSymbolRate");
  endSymbolRate = nuovoNumero(this, 5, iniEndSR, lEndSymbolRate, "endSymbolRate");
  autoEndSymbolRate = nuovaEtichetta(this, "autoEndSymbolRate");
  lStepSymbolRate = nuovaEtichetta(this, "lStepSymbolRate");
  valStepSymbolRate = nuovoNumero(this, 5, iniStepSR, lStepSymbolRate, "valStepSymbolRate");
  autoStepSymbolRate = nuovaEtichetta(this, "autoStepSymbolRate");
  lRitardoScansione = nuovaEtichetta(this, "lRitardoScansione");
  valRitardoScansione = nuovoNumero(this, 3, iniRitardo, lRitardoScansione, "valRitardoScansione");
  lSogliaAggancio = nuovaEtichetta(this, "lSogliaAggancio");
  valSogliaAggancio = nuovoNumero(this, 2, iniSoglia, lSogliaAggancio, "valSogliaAggancio");

  bt_abort = nuovoPulsante(this, "bt_abort");
  bt_ok = nuovoPulsante(this, "bt_ok");
  bt_showSR = nuovoPulsante(this, "bt_showSR");
  bt_showCanaliTrovati = nuovoPulsante(this, "bt_showCanaliTrovati");
  bt_thanks = nuovoPulsante(this, "bt_thanks");

  std::unique_ptr<eSkin> skin(new eSkin);
  skin->load(PERCORSO_SKIN);
  if (skin->build(this, "scrutafasci")) eFatal("skin load of \"scrutafasci\" failed");
  skinInUso() = std::move(skin);

  // Search type 0 shows every value field.
  autoStepFrequenza->hide();
  autoStartSymbolRate->hide();
  autoEndSymbolRate->hide();
  autoStepSymbolRate->hide();

  CONNECT(freqStart->selected, SigC::slot(*this, &eScrutafasci::nextField0));
  CONNECT(freqEnd->selected, SigC::slot(*this, &eScrutafasci::nextField0));
  CONNECT(valStepFrequenza->selected, SigC::slot(*this, &eScrutafasci::nextField0));
  CONNECT(bt_abort->selected, SigC::slot(*this, &eWidget::reject));
  CONNECT(bt_showCanaliTrovati->selected, SigC::slot(*this, &eScrutafasci::showCanaliTrovati));
  CONNECT(tipoRicerca->selchanged, SigC::slot(*this, &eScrutafasci::cambiaTipoRicerca));
  CONNECT(bt_showSR->selected, SigC::slot(*this, &eScrutafasci::showElencoSR));
  CONNECT(bt_thanks->selected, SigC::slot(*this, &eScrutafasci::showElencoRingraziamenti));

  leggeFileConf();

  eDVBServiceController* servizi = eDVB::instance ? eDVB::instance->getServiceAPI() : nullptr;
  bool trovata = servizi && servizi->transponder;
  if (trovata) {
    posizioneOrbitale = servizi->transponder->satellite.orbital_position;
    CONNECT(bt_ok->selected, SigC::slot(*this, &eScrutafasci::avviaScansione));
  } else {
    eMessageBox box(
        "Attenzione. Impossibile recuperare la posizione orbitale corrente. "
        "Posizionarsi su un canale valido e riavviare Scrutafasci!",
        "Errore", 33, 1, 0);
    box.show();
    box.exec();
    box.hide();
  }

  if (trovata) {
    int r = trovaRecordDaApplicare(satelliti, posizioneOrbitale);
    if (r >= 0) applicaRecord(satelliti[r]);
  }
  setFocus(tipoRicerca);
}

eScrutafasci::~eScrutafasci() = default;

int eScrutafasci::chiaveCorrente(eListBox<eListBoxEntryText>* lista) {
  eListBoxEntryText* voce = lista->getCurrent();
  return voce ? static_cast<int>(reinterpret_cast<intptr_t>(voce->getKey())) : -1;
}

void eScrutafasci::avanzaLista(eListBox<eListBoxEntryText>* lista, int volte) {
  // A stored count far past the entries stops at the last one.
  for (int i = 0; i < volte; i++) {
    eListBoxEntry* prima = lista->getCurrent();
    eListBoxEntry* dopo = lista->goNext();
    lista->setCurrent(dopo, false);
    if (!dopo || dopo == prima) break;
  }
}

void eScrutafasci::applicaRecord(const datiSatellite& record) {
  avanzaLista(tipoRicerca, record.valore[K_TIPO_RICERCA]);
  freqStart->setNumber(record.valore[K_FREQ_START]);
  freqEnd->setNumber(record.valore[K_FREQ_END]);
  valStepFrequenza->setNumber(record.valore[K_STEP_FREQUENZA]);
  if (record.valore[K_POLARITA] == 1) avanzaLista(polarita, 1);
  startSymbolRate->setNumber(record.valore[K_START_SYMBOL_RATE]);
  endSymbolRate->setNumber(record.valore[K_END_SYMBOL_RATE]);
  valStepSymbolRate->setNumber(record.valore[K_STEP_SYMBOL_RATE]);
  valRitardoScansione->setNumber(record.valore[K_RITARDO_SCANSIONE]);
  valSogliaAggancio->setNumber(record.valore[K_SOGLIA_AGGANCIO]);
}

void eScrutafasci::mostraNascondeParametri() {
  // Per search type: whether the value field (not its placeholder) is shown for the
  // frequency step, start, end and step of the symbol rate.
  static const bool campoVisibile[4][4] = {
      {true, true, true, true},      // standard
      {true, false, false, false},   // by SymbolRate
      {false, true, true, false},    // by AGC
      {false, true, true, false}};   // heuristic
  int tipo = chiaveCorrente(tipoRicerca);
  if (tipo < 0 || tipo > 3) return;
  eWidget* const campi[4] = {valStepFrequenza, startSymbolRate, endSymbolRate, valStepSymbolRate};
  eWidget* const segnaposto[4] = {autoStepFrequenza, autoStartSymbolRate, autoEndSymbolRate,
                                  autoStepSymbolRate};
  for (int i = 0; i < 4; i++) {
    if (campoVisibile[tipo][i]) {
      segnaposto[i]->hide();
      campi[i]->show();
    } else {
      campi[i]->hide();
      segnaposto[i]->show();
    }
  }
}

void eScrutafasci::cambiaTipoRicerca(eListBoxEntryText*) { mostraNascondeParametri(); }

void eScrutafasci::nextField0(int*) { focusNext(0); }
