// The settings of the current satellite: read at start, saved at each launch.
#include <plugin/scrutafasci.h>

#include <host/gui/eerror.h>
#include <plugin/file_conf.h>

void eScrutafasci::leggeFileConf() { leggeTabella(PERCORSO_FILE_CONF, satelliti); }

void eScrutafasci::scriveFileConf() {
  const int valori[NUM_CHIAVI] = {posizioneOrbitale,
                                  chiaveCorrente(tipoRicerca),
                                  freqStart->getNumber(),
                                  freqEnd->getNumber(),
                                  valStepFrequenza->getNumber(),
                                  chiaveCorrente(polarita),
                                  startSymbolRate->getNumber(),
                                  endSymbolRate->getNumber(),
                                  valStepSymbolRate->getNumber(),
                                  valRitardoScansione->getNumber(),
                                  valSogliaAggancio->getNumber()};
  if (memorizzaRecord(satelliti, valori) < 0) {
    // Every record belongs to another satellite: none of them is given up, and the
    // file, which holds the same records, is left as it is.
    eDebug("[SCRUTAFASCI] tabella piena: impostazioni del satellite %d non salvate",
           posizioneOrbitale);
    return;
  }
  scriveTabella(PERCORSO_FILE_CONF, satelliti);
}
