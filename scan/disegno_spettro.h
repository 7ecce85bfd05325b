// Turning frontend readings into marks on the scan window's spectrum graph.
// The scan window's plotting methods hand their members to a pennelloSpettro.
#pragma once
#include <atomic>
#include <host/gui/gpixmap.h>

class eGrafico;

// Plotting memory, shared by every scan of the process (the worker's only).
extern std::atomic<int> altezzaGrafico;      // bitmap height, taken at a scan's first plot
extern std::atomic<int> ultimaYAgc;          // row of the previous AGC point
extern std::atomic<int> ultimaYSnr;          // row of the previous SNR point
extern std::atomic<int> maxSnrColonna;       // best SNR of the open column (heuristic)
extern std::atomic<int> maxSnrColonnaPrec;   // best SNR of the column closed before

// Row of a 16-bit reading in a bitmap h rows high: 65535 near the top, 0 one row below it.
int rigaLettura(int h, int lettura);
// Row of the lock threshold (SNR percent), always odd.
int rigaSoglia(int h, int soglia);

// What the plotting reads and writes of a scan window.
struct pennelloSpettro {
  eGrafico* grafico;
  int tipoRicerca;
  int flagRicerca;
  int sogliaAggancio;
  int& ultimaXGrafico;
  int& piccoSuperato;
  gColor coloreVerde, coloreBianco, coloreRosso, coloreGialloScuro;

  void disegnaSpettro(int frequenza, int agc, int snr, int nonRidisegnare);
  void disegnaSpettroTransponderTrovato(int frequenza, int snr);
  void disegnaCroceFreqSaltata(int frequenza);
};
