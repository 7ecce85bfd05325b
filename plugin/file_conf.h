// The settings file: one block of twelve lines per used record of the table.
#pragma once
#include <plugin/dati_satellite.h>

extern const char* const PERCORSO_FILE_CONF;     // "/var/tuxbox/plugins/scrutafasci.conf"
extern const char* const INTESTAZIONE_BLOCCO;    // the header line of a block, line feed included

// Gives every record its key names and clears all values (all records free).
void azzeraTabella(datiSatellite* satelliti);

// Clears the table, then fills it from the file at percorso. Values are taken by
// position; lines before the first header and blocks past the 60th have no record
// and are skipped. 0 when the file cannot be opened (the table stays free), else 1.
int leggeTabella(const char* percorso, datiSatellite* satelliti);

// The record a launch stores into: the last one of the satellite, else the first
// free one; -1 when all records belong to other satellites.
int scegliRecordDaScrivere(const datiSatellite* satelliti, int posizione);

// Stores the eleven values (satellite first) into the record chosen above; the index,
// or -1 when the table has no room (nothing is stored then).
int memorizzaRecord(datiSatellite* satelliti, const int* valori);

// The record applied to the window: the first one of the satellite, or -1.
int trovaRecordDaApplicare(const datiSatellite* satelliti, int posizione);

// Writes every used record to percorso. The blocks go to percorso + ".new" first,
// which then replaces the old file, so a failed write leaves the old file whole.
// 1 when the new file is in place, else 0 (the old file is untouched).
int scriveTabella(const char* percorso, const datiSatellite* satelliti);
