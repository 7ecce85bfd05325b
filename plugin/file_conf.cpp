#include <plugin/file_conf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <host/gui/eerror.h>

const char* const PERCORSO_FILE_CONF = "/var/tuxbox/plugins/scrutafasci.conf";
const char* const INTESTAZIONE_BLOCCO = "# --------------- SATELLITE ----------------\n";

const char* const nomiChiavi[NUM_CHIAVI] = {
    "satellite",       "tipoRicerca",   "freqStart",      "freqEnd",
    "stepFrequenza",   "polarita",      "startSymbolRate", "endSymbolRate",
    "stepSymbolRate",  "ritardoScansione", "sogliaAggancio"};

void azzeraTabella(datiSatellite* satelliti) {
  for (int r = 0; r < NUM_SATELLITI; r++)
    for (int k = 0; k < NUM_CHIAVI; k++) {
      satelliti[r].chiave[k] = nomiChiavi[k];
      satelliti[r].valore[k] = 0;
    }
}

int leggeTabella(const char* percorso, datiSatellite* satelliti) {
  azzeraTabella(satelliti);
  FILE* f = fopen(percorso, "r");
  if (!f) return 0;
  int record = -1;   // no header seen yet
  int k = 0;
  char riga[128];
  while (fgets(riga, sizeof riga, f)) {
    size_t lung = strlen(riga);
    if (lung > 0 && riga[lung - 1] == '\n') riga[--lung] = 0;
    if (riga[0] == '#') {
      record++;
      continue;
    }
    // Lines outside any record are dropped without moving the key sequence, so the
    // blocks that do have a record keep their values where they belong.
    if (record < 0 || record >= NUM_SATELLITI) continue;
    size_t salto = satelliti[record].chiave[k].size() + 1;   // "key="
    satelliti[record].valore[k] = lung > salto ? atoi(riga + salto) : 0;
    k = (k + 1) % NUM_CHIAVI;
  }
  fclose(f);
  return 1;
}

int scegliRecordDaScrivere(const datiSatellite* satelliti, int posizione) {
  int scelto = -1;
  for (int r = 0; r < NUM_SATELLITI; r++)
    if (satelliti[r].valore[K_SATELLITE] == posizione) scelto = r;
  if (scelto >= 0) return scelto;
  for (int r = 0; r < NUM_SATELLITI; r++)
    if (satelliti[r].valore[K_SATELLITE] == 0) return r;
  return -1;
}

int memorizzaRecord(datiSatellite* satelliti, const int* valori) {
  int r = scegliRecordDaScrivere(satelliti, valori[K_SATELLITE]);
  if (r < 0) return -1;
  for (int k = 0; k < NUM_CHIAVI; k++) satelliti[r].valore[k] = valori[k];
  return r;
}

int trovaRecordDaApplicare(const datiSatellite* satelliti, int posizione) {
  for (int r = 0; r < NUM_SATELLITI; r++)
    if (satelliti[r].valore[K_SATELLITE] == posizione) return r;
  return -1;
}

static bool scriveBlocchi(FILE* f, const datiSatellite* satelliti) {
  for (int r = 0; r < NUM_SATELLITI; r++) {
    if (satelliti[r].valore[K_SATELLITE] == 0) continue;
    if (fprintf(f, "%s", INTESTAZIONE_BLOCCO) < 0) return false;
    for (int k = 0; k < NUM_CHIAVI; k++) {
      if (fprintf(f, "%s", satelliti[r].chiave[k].c_str()) < 0) return false;
      if (fprintf(f, "%s", "=") < 0) return false;
      if (fprintf(f, "%d\n", satelliti[r].valore[k]) < 0) return false;
    }
  }
  return fflush(f) == 0 && !ferror(f);
}

int scriveTabella(const char* percorso, const datiSatellite* satelliti) {
  eString nuovo = eString(percorso) + ".new";
  FILE* f = fopen(nuovo.c_str(), "w");
  if (!f) {
    eDebug("[SCRUTAFASCI] impossibile scrivere %s (%m)", nuovo.c_str());
    return 0;
  }
  // On the disk before it takes the old file's place, so a power cut leaves one whole file.
  bool ok = scriveBlocchi(f, satelliti) && fsync(fileno(f)) == 0;
  if (fclose(f) != 0) ok = false;
  if (ok && rename(nuovo.c_str(), percorso) != 0) {
    eDebug("[SCRUTAFASCI] impossibile sostituire %s (%m)", percorso);
    ok = false;
  }
  if (!ok) {
    remove(nuovo.c_str());
    eDebug("[SCRUTAFASCI] impostazioni non salvate, %s invariato", percorso);
    return 0;
  }
  return 1;
}
