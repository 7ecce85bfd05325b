// The settings of the current satellite: read at start, saved at each launch.
#include <plugin/scrutafasci.h>

#include <cstdint>
#include <host/gui/eerror.h>
#include <plugin/file_conf.h>

void eScrutafasci::leggeFileConf() { leggeTabella(PERCORSO_FILE_CONF, satelliti); }

void eScrutafasci::scriveFileConf() {
  int r = scegliRecordDaScrivere(satelliti, posizioneOrbitale);
  if (r < 0) {
    // Every record belongs to another satellite: none of them is given up.
    eDebug("[SCRUTAFASCI] tabella piena: impostazioni del satellite %d non salvate", posizioneOrbitale);
    return;
  }
  int* v = satelliti[r].valore;
  v[K_SATELLITE] = posizioneOrbitale;
  v[K_TIPO_RICERCA] = chiaveCorrente(tipoRicerca);
  v[K_FREQ_START] = freqStart->getNumber();
  v[K_FREQ_END] = freqEnd->getNumber();
  v[K_STEP_FREQUENZA] = valStepFrequenza->getNumber();
  v[K_POLARITA] = chiaveCorrente(polarita);
  v[K_START_SYMBOL_RATE] = startSymbolRate->getNumber();
  v[K_END_SYMBOL_RATE] = endSymbolRate->getNumber();
  v[K_STEP_SYMBOL_RATE] = valStepSymbolRate->getNumber();
  v[K_RITARDO_SCANSIONE] = valRitardoScansione->getNumber();
  v[K_SOGLIA_AGGANCIO] = valSogliaAggancio->getNumber();
  scriveTabella(PERCORSO_FILE_CONF, satelliti);
}
