// The skip-frequency file: per satellite section, the frequencies of both
// polarisations that the deductive searches pass over.
#include <knowledge/routine_di_servizio.h>
#include <knowledge/scrittura_sicura.h>
#include <host/gui/eerror.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int freqMinimaValida = 10700;
const int freqMassimaValida = 12750;

const char* letteraPolarita(int polarita) { return polarita ? "V" : "H"; }

// Reads the next line into riga without its line feed; false at the end.
// Reads that give an empty string are passed over.
bool leggeRiga(FILE* f, char (&riga)[128]) {
  while (fgets(riga, sizeof riga, f)) {
    size_t n = strlen(riga);
    if (n == 0) continue;
    if (riga[n - 1] == '\n') riga[n - 1] = 0;
    return true;
  }
  return false;
}

bool eIntestazione(const char* riga) { return riga[0] == '#'; }
int numeroIntestazione(const char* riga) { return atoi(riga + 1); }

char ultimoCarattere(const char* riga) {
  size_t n = strlen(riga);
  return n ? riga[n - 1] : 0;
}

void scriveElenco(FILE* f, int polarita, int numFreq, int* freq) {
  for (int i = 0; i < numFreq; ++i) fprintf(f, "%d %s\n", freq[i], letteraPolarita(polarita));
}

}  // namespace

int routineDiServizio::leggeFileFreqToSkip(char* percorso, int polarita, int posizioneOrbitale, int* numFreq,
                                           int* freq, int maxFreq) {
  const char voluta = *letteraPolarita(polarita);
  FILE* f = fopen(percorso, "r");
  if (!f) {
    eDebug("Impossibile aprire il file delle frequenze da saltare!");
    return 0;
  }
  char riga[128];
  bool trovata = false;
  while (!trovata && leggeRiga(f, riga))
    trovata = eIntestazione(riga) && numeroIntestazione(riga) == posizioneOrbitale;
  while (trovata && *numFreq < maxFreq && leggeRiga(f, riga)) {
    if (eIntestazione(riga)) break;
    if (ultimoCarattere(riga) != voluta) continue;
    int valore = atoi(riga);
    if (valore < freqMinimaValida || valore > freqMassimaValida) continue;
    freq[*numFreq] = valore;
    ++*numFreq;
  }
  fclose(f);
  return 1;
}

int routineDiServizio::scriveFileFreqToSkip(char* percorso, int polarita, int posizioneOrbitale, int numFreq,
                                            int* freq) {
  // The new contents are built in the temporary beside the file and renamed over
  // it: at every moment the skip file is either the old or the new one.
  std::string temporaneo = std::string(percorso) + "1";
  remove(temporaneo.c_str());

  FILE* uscita = fopen(temporaneo.c_str(), "w");
  if (!uscita) {
    eDebug("Impossibile riscrivere il file delle frequenze da saltare!");
    return 0;
  }
  const char altra = *letteraPolarita(!polarita);
  bool scritto = false;
  FILE* ingresso = fopen(percorso, "r");   // a missing file reads as empty
  if (ingresso) {
    char riga[128];
    bool nellaSezione = false;
    while (leggeRiga(ingresso, riga)) {
      if (eIntestazione(riga)) {
        fprintf(uscita, "%s\n", riga);
        nellaSezione = numeroIntestazione(riga) == posizioneOrbitale;
        if (nellaSezione) {
          scriveElenco(uscita, polarita, numFreq, freq);
          scritto = true;
        }
      } else if (!nellaSezione || ultimoCarattere(riga) == altra) {
        fprintf(uscita, "%s\n", riga);
      }
    }
    fclose(ingresso);
  }
  if (!scritto) {
    fprintf(uscita, "%s%d\n", "#", posizioneOrbitale);
    scriveElenco(uscita, polarita, numFreq, freq);
  }
  if (!chiudeESostituisce(uscita, temporaneo.c_str(), percorso)) {
    eDebug("Impossibile riscrivere il file delle frequenze da saltare!");
    FILE* rimasto = fopen(temporaneo.c_str(), "r");
    if (rimasto) {
      fclose(rimasto);
      eDebug("Impossibile eliminare il file");
    }
    return 0;
  }
  return 1;
}
