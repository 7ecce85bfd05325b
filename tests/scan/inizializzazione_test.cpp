// The initial values of a scan per search type, and the preparation.
#include <fcntl.h>

#include "scan_fixture.h"
#include "host/dvb/decoder.h"
#include "host/gui/elabel.h"

namespace scantest {
namespace {

struct CasoTipo {
  const char* nome;
  int tipo, srStart, srEnd, srStep, step;
  const char* range;
  int stepAtteso, srStartAtteso, srEndAtteso, srStepAtteso, srBaseAtteso;
  bool rangeSR;
  int srCorrenteAtteso;
};

class Inizializzazione : public ScanTest, public ::testing::WithParamInterface<CasoTipo> {};

TEST_P(Inizializzazione, SetsTheRangeTextAndTheOverridesOfTheSearchType) {
  const CasoTipo& c = GetParam();
  carica(banda());
  Parametri p;
  p.freqStart = 10900;
  p.freqEnd = 11000;
  p.step = c.step;
  p.tipo = c.tipo;
  p.srStart = c.srStart;
  p.srEnd = c.srEnd;
  p.srStep = c.srStep;
  scan4transp& w = finestra(p);
  w.initVariabili();
  EXPECT_EQ(w.lb_range->getText(), c.range);
  EXPECT_EQ(w.freqPartenza, 10899);
  EXPECT_EQ(w.stepFrequenza, c.stepAtteso);
  EXPECT_EQ(w.startSymbolRate, c.srStartAtteso);
  EXPECT_EQ(w.endSymbolRate, c.srEndAtteso);
  EXPECT_EQ(w.stepSymbolRate, c.srStepAtteso);
  if (c.tipo != RICERCA_STANDARD) {
    EXPECT_EQ(w.stepSymbolRateBase, c.srBaseAtteso);
  }
  EXPECT_EQ((w.flagRicerca & FLAG_RANGE_SR) != 0, c.rangeSR);
  EXPECT_TRUE(w.flagRicerca & FLAG_ATTIVA);
  EXPECT_EQ(w.srCorrente, c.srCorrenteAtteso);
  EXPECT_EQ(w.posizioneOrbitale, 130);
  EXPECT_EQ(w.ultimaXGrafico, -1);
  EXPECT_EQ(w.limiteSNRuguali, 10);
  EXPECT_EQ(w.numSRconosciuti, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Inizializzazione,
    ::testing::Values(
        CasoTipo{"standard", 0, 27500, 27500, 1000, 3, "Range di frequenze: 10900 - 11000 (standard)", 3, 27500,
                 27500, 1000, 0, false, 27500},
        CasoTipo{"standardConRange", 0, 22000, 27500, 500, 4, "Range di frequenze: 10900 - 11000 (standard)", 4,
                 22000, 27500, 500, 0, true, 22000},
        CasoTipo{"bySR", 1, 5000, 5000, 100, 3, "Range di frequenze: 10900 - 11000 (by SymbolRate)", 1, 2000,
                 45000, 2000, 2000, false, 5000},
        CasoTipo{"byAGC", 2, 2000, 30000, 100, 3, "Range di frequenze: 10900 - 11000 (by AGC)", 1, 2000, 30000,
                 2000, 2000, true, 2000},
        CasoTipo{"euristica", 3, 27000, 28000, 500, 5, "Range di frequenze: 10900 - 11000 (euristica)", 3, 27000,
                 28000, 10, 10, true, 27000},
        CasoTipo{"sconosciuto", 7, 27500, 27500, 1000, 3, "", 3, 27500, 27500, 1000, 0, false, 27500}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(ScanTest, ThePolarisationLabelShowsVerticalForAnyNonZeroValue) {
  carica(banda());
  Parametri p;
  EXPECT_EQ(finestra(p).lPolarizzazioneValore->getText(), "Orizzontale");
  p.polarita = 1;
  EXPECT_EQ(finestra(p).lPolarizzazioneValore->getText(), "Verticale");
  p.polarita = 2;
  EXPECT_EQ(finestra(p).lPolarizzazioneValore->getText(), "Verticale");
}

TEST_F(ScanTest, ThePreparationTakesTheReceiverOverAndEveryScanStartsAfresh) {
  carica(banda());
  std::ofstream(file("scrutafasci.scan")) << "[NT] vecchio | log\n";
  std::ofstream(file("scrutafasci.sr")) << "22000\n";
  std::ofstream(file("scrutafasci.skip")) << "#192\n11778 H\n11800 V\n";
  for (int scansione = 0; scansione < 2; ++scansione) {
    scan4transp& w = preparata();
    EXPECT_GT(w.fdFrontend, 0);
    EXPECT_GT(w.fdSec, 0);
    EXPECT_NE(fcntl(w.fdFrontend, F_GETFD), -1);
    EXPECT_EQ(w.posizioneOrbitale, 192);
    EXPECT_EQ(w.lSatelliteNome->getText(), "Astra 19.2E");
    EXPECT_EQ(w.freqCorrente, w.freqPartenza);
    EXPECT_EQ(Decoder::locked.load(), 1);
    EXPECT_EQ(leggeFile(file("scrutafasci.scan")), "");
    EXPECT_EQ(std::vector<int>(w.srConosciuti, w.srConosciuti + w.numSRconosciuti), std::vector<int>{22000});
    EXPECT_EQ(std::vector<int>(w.freqDaSaltare, w.freqDaSaltare + w.numFreqDaSaltare), std::vector<int>{11778});
    EXPECT_EQ(w.parametriFrontend.u.qpsk.FEC_inner, FEC_NONE);
    w.preparaUscita();
    EXPECT_EQ(Decoder::locked.load(), 0);
    EXPECT_EQ(emu::receiver().mode(), 2);
  }
}

}  // namespace
}  // namespace scantest
