// The deductive search (by symbol rate and by AGC). Not built yet: it finds nothing.
#include <scan/scan4transp.h>

int scan4transp::applicaRicercaDeduttiva() { return 0; }

int scan4transp::calcolaQualitaSegnaleRicDeduttiva() { return 1; }

int scan4transp::provaSRconosciuti() { return 0; }
