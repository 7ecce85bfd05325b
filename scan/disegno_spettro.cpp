#include <scan/disegno_spettro.h>

#include <scan/tipi_ricerca.h>
#include <widgets/e_grafico.h>

std::atomic<int> altezzaGrafico{0};
std::atomic<int> ultimaYAgc{0};
std::atomic<int> ultimaYSnr{0};
std::atomic<int> maxSnrColonna{0};
std::atomic<int> maxSnrColonnaPrec{0};

namespace {

// Column of a frequency: the graph of the scan window starts at 10700 MHz.
const int FREQ_COLONNA_ZERO = 10700;
// The threshold line stops at 12750 MHz.
const int FINE_LINEA_SOGLIA = 2050;

}  // namespace

int rigaLettura(int h, int lettura) {
  return static_cast<int>(static_cast<float>(h) * (1.0f - static_cast<float>(lettura) / 65536.0f));
}

int rigaSoglia(int h, int soglia) {
  int t = static_cast<int>(static_cast<float>(h) * (1.0f - static_cast<float>(soglia) / 100.0f));
  if (t % 2 == 0)
    ++t;
  return t;
}

void pennelloSpettro::disegnaSpettro(int frequenza, int agc, int snr, int nonRidisegnare) {
  if (!grafico)
    return;
  const int x = frequenza - FREQ_COLONNA_ZERO;
  const int ridisegno = nonRidisegnare == 1 ? 1 : 0;

  if (ultimaXGrafico == -1) {
    const int h = grafico->altezzaBitmap;
    altezzaGrafico = h;
    ultimaYAgc = h;
    ultimaYSnr = h;
    ultimaXGrafico = x;
    const int t = rigaSoglia(h, sogliaAggancio);
    if (tipoRicerca != RICERCA_BY_SR && tipoRicerca != RICERCA_BY_AGC)
      grafico->line(0, t, FINE_LINEA_SOGLIA, t, coloreGialloScuro, 0);
  }

  const int h = altezzaGrafico;
  switch (tipoRicerca) {
  case RICERCA_STANDARD: {
    ultimaXGrafico = x;
    // With a symbol-rate range every reading shows as a pair of bars from the bottom.
    if (flagRicerca & FLAG_RANGE_SR) {
      ultimaYAgc = h;
      ultimaYSnr = h;
    }
    const int yA = rigaLettura(h, agc);
    const int yS = rigaLettura(h, snr);
    grafico->line(x, ultimaYSnr, x, yS, coloreBianco, 1);
    grafico->line(x, ultimaYAgc, x, yA, coloreVerde, ridisegno);
    ultimaYSnr = yS;
    ultimaYAgc = yA;
    break;
  }
  case RICERCA_BY_SR:
  case RICERCA_BY_AGC: {
    ultimaXGrafico = x;
    const int yA = rigaLettura(h, agc);
    grafico->line(x, ultimaYAgc, x, yA, coloreVerde, ridisegno);
    ultimaYAgc = yA;
    break;
  }
  case RICERCA_EURISTICA:
    if (x == ultimaXGrafico) {
      if (snr > maxSnrColonna)
        maxSnrColonna = snr;
      break;
    }
    // A new column: the bar of the one just left, with its best SNR.
    grafico->line(ultimaXGrafico, h, ultimaXGrafico, rigaLettura(h, maxSnrColonna), coloreBianco, 0);
    ultimaXGrafico = x;
    piccoSuperato = maxSnrColonna <= maxSnrColonnaPrec ? 1 : 0;
    maxSnrColonnaPrec = maxSnrColonna.load();
    maxSnrColonna = 0;
    break;
  default:
    break;
  }
}

void pennelloSpettro::disegnaSpettroTransponderTrovato(int frequenza, int snr) {
  if (!grafico)
    return;
  const int x = frequenza - FREQ_COLONNA_ZERO;
  const int h = grafico->altezzaBitmap;
  int da, a;
  switch (tipoRicerca) {
  case RICERCA_STANDARD:
    da = 0;
    a = 5;
    break;
  case RICERCA_BY_SR:
  case RICERCA_BY_AGC:
    da = h;
    a = rigaLettura(h, snr);
    break;
  default:
    da = 0;
    a = rigaLettura(h, snr);
    break;
  }
  grafico->line(x, da, x, a, coloreRosso, 1);
  grafico->line(x + 1, da, x + 1, a, coloreRosso, 0);
}

void pennelloSpettro::disegnaCroceFreqSaltata(int frequenza) {
  if (!grafico)
    return;
  const int f = frequenza;
  grafico->line(f - 10705, 5, f - 10695, 15, coloreBianco, 1);
  grafico->line(f - 10706, 4, f - 10694, 16, coloreBianco, 1);
  grafico->line(f - 10705, 15, f - 10695, 5, coloreBianco, 1);
  grafico->line(f - 10706, 16, f - 10694, 4, coloreBianco, 0);
}
