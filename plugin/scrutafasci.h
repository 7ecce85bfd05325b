// The settings window: search type, ranges, polarity, delay and threshold, the
// launch of a scan and the three list buttons.
#pragma once
#include <host/gui/ebutton.h>
#include <host/gui/elabel.h>
#include <host/gui/enumber.h>
#include <host/gui/ewindow.h>
#include <host/gui/listbox.h>
#include <plugin/dati_satellite.h>
#include <scan/tipi_ricerca.h>

extern const char* const PERCORSO_SKIN;        // "/var/tuxbox/plugins/scrutafasci.esml"
extern const char* const PERCORSO_FILE_SR;     // "/var/tuxbox/plugins/scrutafasci.sr"
extern const char* const PERCORSO_FILE_LOG;    // "/var/tuxbox/plugins/scrutafasci.scan"

class eScrutafasci : public eWindow {
public:
  eScrutafasci();
  ~eScrutafasci() override;

  void mostraNascondeParametri();
  void cambiaTipoRicerca(eListBoxEntryText* entry);
  void nextField0(int* campi);
  void showElencoSR();
  void showCanaliTrovati();
  void showElencoRingraziamenti();
  void leggeFileConf();
  void scriveFileConf();
  void avviaScansione();

private:
  void applicaRecord(const datiSatellite& record);
  static int chiaveCorrente(eListBox<eListBoxEntryText>* lista);
  static void avanzaLista(eListBox<eListBoxEntryText>* lista, int volte);

  eLabel* lTipoRicerca;
  eListBox<eListBoxEntryText>* tipoRicerca;
  eLabel* lFreqStart;
  eNumber* freqStart;
  eLabel* lFreqEnd;
  eNumber* freqEnd;
  eLabel* lStepFrequenza;
  eNumber* valStepFrequenza;
  eLabel* autoStepFrequenza;
  eLabel* lpolarita;
  eListBox<eListBoxEntryText>* polarita;
  eLabel* lStartSymbolRate;
  eNumber* startSymbolRate;
  eLabel* autoStartSymbolRate;
  eLabel* lEndSymbolRate;
  eNumber* endSymbolRate;
  eLabel* autoEndSymbolRate;
  eLabel* lStepSymbolRate;
  eNumber* valStepSymbolRate;
  eLabel* autoStepSymbolRate;
  eLabel* lRitardoScansione;
  eNumber* valRitardoScansione;
  eLabel* lSogliaAggancio;
  eNumber* valSogliaAggancio;
  eButton* bt_abort;
  eButton* bt_ok;
  eButton* bt_showSR;
  eButton* bt_showCanaliTrovati;
  eButton* bt_thanks;

  datiSatellite satelliti[NUM_SATELLITI];
  int posizioneOrbitale = 0;
};
