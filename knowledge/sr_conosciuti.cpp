// The known symbol-rate file and its in-memory list.
#include <knowledge/routine_di_servizio.h>
#include <knowledge/scrittura_sicura.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
const int capacitaSR = 100;
const int srMinimoValido = 1001;
const int srMassimoValido = 44999;
}  // namespace

int routineDiServizio::leggeFileSRconosciuti(char* percorso, int* numSR, int* sr) {
  FILE* f = fopen(percorso, "r");
  if (!f) return 0;
  // Ten bytes as the file has always been read: a longer line yields several values.
  char riga[10];
  while (fgets(riga, sizeof riga, f)) {
    int valore = atoi(riga);
    if (valore < srMinimoValido || valore > srMassimoValido) continue;
    if (*numSR < capacitaSR) {
      sr[*numSR] = valore;
      ++*numSR;
    }
  }
  fclose(f);
  return 1;
}

int routineDiServizio::scriveFileSRconosciuti(char* percorso, int numSR, int* sr) {
  // Written beside and renamed over, so that a cut during the write keeps the old list.
  std::string temporaneo = std::string(percorso) + "1";
  FILE* f = fopen(temporaneo.c_str(), "w");
  if (!f) return 0;
  for (int i = 0; i < numSR; ++i) fprintf(f, "%d\n", sr[i]);
  return chiudeESostituisce(f, temporaneo.c_str(), percorso) ? 1 : 0;
}

int routineDiServizio::aggiungeSRconosciuti(int* sr, int* numSR, int nuovoSR) {
  if (*numSR >= capacitaSR) return 0;
  for (int i = 0; i < *numSR; ++i)
    if (sr[i] == nuovoSR) return 0;
  sr[*numSR] = nuovoSR;
  ++*numSR;
  return 1;
}

int routineDiServizio::findMaxSNR(int (*campioni)[2], int numCampioni) {
  int migliore = 0;
  int indice = 0;
  for (int i = 0; i < numCampioni; ++i) {
    if (campioni[i][0] > migliore) {
      migliore = campioni[i][0];
      indice = i;
    }
  }
  return indice;
}
