// The settings of one satellite, and the table of them kept by the settings window.
#pragma once
#include <host/gui/estring.h>

enum {
  NUM_SATELLITI = 60,    // records of the table
  NUM_CHIAVI = 11        // keys of a record
};

// Index of each value in a record, in file order.
enum INDICE_CHIAVE {
  K_SATELLITE = 0,
  K_TIPO_RICERCA,
  K_FREQ_START,
  K_FREQ_END,
  K_STEP_FREQUENZA,
  K_POLARITA,
  K_START_SYMBOL_RATE,
  K_END_SYMBOL_RATE,
  K_STEP_SYMBOL_RATE,
  K_RITARDO_SCANSIONE,
  K_SOGLIA_AGGANCIO
};

// One record: a free record has satellite 0.
struct datiSatellite {
  eString chiave[NUM_CHIAVI];
  int valore[NUM_CHIAVI];
};

extern const char* const nomiChiavi[NUM_CHIAVI];
