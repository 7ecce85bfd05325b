#include <plugin/elenco.h>

#include <cstdint>
#include <cstdio>
#include <plugin/scrutafasci.h>
#include <knowledge/routine_di_servizio.h>

elenco::elenco(TIPO_ELENCO tipo, char* percorso) : eWindow(1) {
  cmove(ePoint(120, 80));
  cresize(eSize(520, 476));
  const int W = 520, H = 476;   // the client area just set

  lista = new eListBox<eListBoxEntryText>(this, nullptr, 1, eListBoxEntryText::getEntryHeight(),
                                          "eListBox");
  lista->move(ePoint(10, 10));
  lista->resize(eSize(W - 20, H - 60));
  lista->loadDeco();
  lista->beginAtomic();

  switch (tipo) {
    case ELENCO_SYMBOLRATE:
      setText("Elenco SymbolRate");
      riempieSymbolRate();
      break;
    case ELENCO_CANALI_TROVATI:
      setText("Elenco Canali Trovati");
      riempieCanaliTrovati(percorso);
      break;
    case ELENCO_RINGRAZIAMENTI:
      setText("Thankses - Ringraziamenti");
      mostraRingraziamenti(W);
      break;
  }
  lista->endAtomic();

  bt_ok = new eButton(this, nullptr, 1, "eButton");
  bt_ok->move(ePoint(W - 110, H - 40));
  bt_ok->resize(eSize(100, 30));
  bt_ok->setShortcut("green");
  bt_ok->setShortcutPixmap("green");
  bt_ok->loadDeco();
  bt_ok->setText("OK");
  CONNECT(bt_ok->selected, SigC::slot(*this, &eWidget::accept));
}

elenco::~elenco() = default;

void elenco::riempieSymbolRate() {
  int valori[100];
  int numero = 0;
  routineDiServizio routine;
  routine.leggeFileSRconosciuti(const_cast<char*>(PERCORSO_FILE_SR), &numero, valori);
  for (int i = 0; i < numero; i++)
    new eListBoxEntryText(lista, eString().sprintf("%d", valori[i]),
                          reinterpret_cast<void*>(static_cast<intptr_t>(i)), 0, eString(), 0);
  lista->sort();
}

void elenco::riempieCanaliTrovati(const char* percorso) {
  FILE* f = percorso ? fopen(percorso, "r") : nullptr;
  if (!f) {
    new eListBoxEntryText(lista, "Impossibile aprire il file di log!", nullptr, 0, eString(), 0);
  } else {
    char riga[100];
    while (fgets(riga, sizeof riga, f))
      new eListBoxEntryText(lista, riga, nullptr, 0, eString(), 0);
    fclose(f);
  }
  lista->sort();
}

void elenco::mostraRingraziamenti(int larghezza) {
  lista->hide();
  popolaVettoreRingraziamenti();
  for (int i = 0; i < NUM_RINGRAZIAMENTI; i++) {
    eLabel* l = new eLabel(this, 0, 0, "eLabel");
    etichetteRingraziamenti[i] = l;
    l->setName(eString().setNum(i).c_str());
    l->move(ePoint(20, 10 + 41 * i));
    l->resize(eSize(larghezza - 10, 40));
    l->loadDeco();
    l->setText(testiRingraziamenti[i]);
  }
}
