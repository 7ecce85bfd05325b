// Read-only list windows: known symbol rates, found channels, acknowledgements.
#pragma once
#include <host/gui/ebutton.h>
#include <host/gui/elabel.h>
#include <host/gui/ewindow.h>
#include <host/gui/listbox.h>

class elenco : public eWindow {
public:
  enum TIPO_ELENCO {
    ELENCO_SYMBOLRATE = 0,
    ELENCO_CANALI_TROVATI = 1,
    ELENCO_RINGRAZIAMENTI = 2
  };
  enum { NUM_RINGRAZIAMENTI = 11 };

  elenco(TIPO_ELENCO tipo, char* percorso);
  ~elenco() override;
  void popolaVettoreRingraziamenti();

private:
  void riempieSymbolRate();
  void riempieCanaliTrovati(const char* percorso);
  void mostraRingraziamenti(int larghezza);

  eListBox<eListBoxEntryText>* lista;
  eButton* bt_ok;
  eLabel* etichetteRingraziamenti[NUM_RINGRAZIAMENTI] = {};
  const char* testiRingraziamenti[NUM_RINGRAZIAMENTI] = {};
};
