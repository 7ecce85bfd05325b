// The three list buttons of the settings window: each press builds a new window.
#include <plugin/elenco.h>
#include <plugin/scrutafasci.h>

namespace {

void mostraElenco(elenco::TIPO_ELENCO tipo, const char* percorso) {
  elenco finestra(tipo, const_cast<char*>(percorso));
  finestra.show();
  finestra.exec();
  finestra.hide();
}

}  // namespace

void eScrutafasci::showElencoSR() { mostraElenco(elenco::ELENCO_SYMBOLRATE, ""); }

void eScrutafasci::showCanaliTrovati() {
  mostraElenco(elenco::ELENCO_CANALI_TROVATI, PERCORSO_FILE_LOG);
}

void eScrutafasci::showElencoRingraziamenti() { mostraElenco(elenco::ELENCO_RINGRAZIAMENTI, ""); }
