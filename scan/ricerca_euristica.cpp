// The heuristic search. Not built yet: each frequency is tuned and shown, nothing is found.
#include <scan/scan4transp.h>
#include <widgets/e_monitor_fe_status.h>

int scan4transp::passoRicercaEuristica() {
  sintonizza(0);
  aggiornaInformazioniSchermo();
  monitorFE->update();
  return 0;
}

int scan4transp::cercaBestFreq(int) { return 0; }

void scan4transp::cercaMigliorSR(int, int) {}

void scan4transp::applicaRicercaEuristica() {}
