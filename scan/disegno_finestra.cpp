// The scan window's plotting methods: its members handed to the spectrum plotting.
#include <scan/scan4transp.h>
#include <scan/disegno_spettro.h>

namespace {

pennelloSpettro pennello(scan4transp& s) {
  return pennelloSpettro{s.grafico,      s.tipoRicerca,     s.flagRicerca.load(), s.sogliaAggancio,
                         s.ultimaXGrafico, s.piccoSuperato, s.coloreVerde,        s.coloreBianco,
                         s.coloreRosso,  s.coloreGialloScuro};
}

}  // namespace

void scan4transp::disegnaSpettro(int frequenza, int agc, int snr, int nonRidisegnare) {
  pennello(*this).disegnaSpettro(frequenza, agc, snr, nonRidisegnare);
}

void scan4transp::disegnaSpettroTransponderTrovato(int frequenza, int snr) {
  pennello(*this).disegnaSpettroTransponderTrovato(frequenza, snr);
}

void scan4transp::disegnaCroceFreqSaltata(int frequenza) {
  pennello(*this).disegnaCroceFreqSaltata(frequenza);
}
