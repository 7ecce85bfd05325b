// Search types and the search state bits of a scan.
#pragma once

enum TIPO_RICERCA {
  RICERCA_STANDARD = 0,    // "standard"
  RICERCA_BY_SR = 1,       // "by SymbolRate"
  RICERCA_BY_AGC = 2,      // "by AGC"
  RICERCA_EURISTICA = 3    // heuristic; not offered by the settings window
};

// Bits of scan4transp::flagRicerca; each is set and cleared on its own.
enum FLAG_RICERCA {
  FLAG_ATTIVA = 0x01,        // the scan has started
  FLAG_RANGE_SR = 0x02,      // the user gave a symbol-rate range, not a single rate
  FLAG_PASSO_FINE = 0x04,    // the loop advances by 1 MHz (heuristic sampling)
  FLAG_DEDUTTIVA = 0x08,     // the deductive search runs
  FLAG_TEST_SR_NOTI = 0x10,  // known symbol rates are being tried: a close request is deferred
  FLAG_RICERCA_SR = 0x20,    // the symbol-rate sweep runs: a close request is deferred
  FLAG_STANDARD = 0x40,      // the standard search runs
  FLAG_PASSO_SR = 0x80       // the standard search steps through rates: a close request is deferred
};

// A close request while one of these runs only sets richiestaInterruzione.
enum { FLAG_RINVIO_CHIUSURA = FLAG_PASSO_SR | FLAG_TEST_SR_NOTI | FLAG_RICERCA_SR };
