// OK: check that the chosen search can run, save the settings and run a scan.
#include <plugin/scrutafasci.h>

#include <host/gui/emessage.h>
#include <knowledge/routine_di_servizio.h>
#include <scan/scan4transp.h>

namespace {

void avviso(const char* testo) {
  eMessageBox box(testo, "Avviso", 17, 1, 0);
  box.show();
  box.exec();
  box.hide();
}

}  // namespace

void eScrutafasci::avviaScansione() {
  int tipo = chiaveCorrente(tipoRicerca);
  if (tipo == RICERCA_BY_SR) {
    int valori[100];
    int numero = 0;
    routineDiServizio routine;
    routine.leggeFileSRconosciuti(const_cast<char*>(PERCORSO_FILE_SR), &numero, valori);
    if (numero == 0) {
      avviso("Impossibile effettuare la ricerca 'by SymbolRate' se non esiste il file dei "
             "SymbolRate conosciuti!");
      return;
    }
  } else if (tipo == RICERCA_BY_AGC || tipo == RICERCA_EURISTICA) {
    if (startSymbolRate->getNumber() == endSymbolRate->getNumber()) {
      avviso("Impossibile effettuare la ricerca Euristica o 'by AGC' se non si specifica un "
             "range valido per il SymbolRate!");
      return;
    }
  }
  // The deductive searches walk 1 MHz at a time whatever the field says; the
  // others would stay on one frequency for ever.
  if ((tipo == RICERCA_STANDARD || tipo == RICERCA_EURISTICA) && valStepFrequenza->getNumber() <= 0) {
    avviso("Impossibile effettuare la ricerca con un passo di frequenza nullo: specificare un passo "
           "di almeno 1 MHz!");
    return;
  }

  scriveFileConf();
  int parametri[10] = {freqStart->getNumber(),
                       freqEnd->getNumber(),
                       valStepFrequenza->getNumber(),
                       startSymbolRate->getNumber(),
                       endSymbolRate->getNumber(),
                       valStepSymbolRate->getNumber(),
                       valRitardoScansione->getNumber(),
                       chiaveCorrente(polarita),
                       tipo,
                       valSogliaAggancio->getNumber()};
  scan4transp* scansione =
      new scan4transp(parametri[0], parametri[1], parametri[2], parametri[3], parametri[4],
                      parametri[5], parametri[6], parametri[7], parametri[8], parametri[9],
                      const_cast<char*>(PERCORSO_FILE_LOG));
  hide();
  scansione->show();
  scansione->Exec();
  scansione->hide();
  show();
  mostraNascondeParametri();
  delete scansione;
}
