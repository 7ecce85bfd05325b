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

// Reads the next line, however long, into riga without its line feed; false at
// the end. A line longer than any buffer must come back whole when it is copied.
bool leggeRiga(FILE* f, std::string& riga) {
  char* testo = nullptr;
  size_t spazio = 0;
  const ssize_t letti = getline(&testo, &spazio, f);
  if (letti < 0) {
    free(testo);
    return false;
  }
  riga.assign(testo, size_t(letti));
  free(testo);
  if (!riga.empty() && riga.back() == '\n') riga.pop_back();
  return true;
}

bool eIntestazione(const std::string& riga) { return !riga.empty() && riga[0] == '#'; }
int numeroIntestazione(const std::string& riga) { return atoi(riga.c_str() + 1); }

char ultimoCarattere(const std::string& riga) { return riga.empty() ? 0 : riga.back(); }

// Copies a line as it was read, every byte of it: a NUL inside a line must not
// cut it short, or the copy would read back differently from what was judged.
void copiaRiga(FILE* f, const std::string& riga) {
  fwrite(riga.data(), 1, riga.size(), f);
  fputc('\n', f);
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
  std::string riga;
  bool trovata = false;
  while (!trovata && leggeRiga(f, riga))
    trovata = eIntestazione(riga) && numeroIntestazione(riga) == posizioneOrbitale;
  while (trovata && *numFreq < maxFreq && leggeRiga(f, riga)) {
    if (eIntestazione(riga)) break;
    if (ultimoCarattere(riga) != voluta) continue;
    int valore = atoi(riga.c_str());
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
    std::string riga;
    bool nellaSezione = false;
    while (leggeRiga(ingresso, riga)) {
      if (eIntestazione(riga)) {
        copiaRiga(uscita, riga);
        nellaSezione = numeroIntestazione(riga) == posizioneOrbitale;
        if (nellaSezione) {
          scriveElenco(uscita, polarita, numFreq, freq);
          scritto = true;
        }
      } else if (!nellaSezione || ultimoCarattere(riga) == altra) {
        copiaRiga(uscita, riga);
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
