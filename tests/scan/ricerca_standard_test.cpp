// The standard search at one frequency and the best-frequency probes, called
// directly on a prepared window over the emulated tuner.
#include "scan_fixture.h"

namespace scantest {
namespace {

// One carrier: 11005 H, 27500 kS/s, FEC 3/4, 12 dB (SNR about 90 %).
testsupport::ScenarioBuilder conPortante(emu::DeliverySystem sistema = emu::DeliverySystem::DvbS) {
  return ScanTest::banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12, sistema);
}

struct CasoStandard {
  const char* nome;
  int freq;                 // where the search runs
  int srStart, srEnd, srStep;
  int soglia;
  bool dvbs2;
  int attesa;               // the frequency found, 0 none; -1: any within 11004..11006
  int srFinale;             // srCorrente afterwards
  std::vector<int> noti;    // the known-rate list afterwards
};

class RicercaStandard : public ScanTest, public ::testing::WithParamInterface<CasoStandard> {};

TEST_P(RicercaStandard, TriesTheRatesOfTheRangeAndLocksAboveTheThreshold) {
  const CasoStandard& c = GetParam();
  carica(conPortante(c.dvbs2 ? emu::DeliverySystem::DvbS2 : emu::DeliverySystem::DvbS));
  Parametri p;
  p.freqStart = 10990;
  p.freqEnd = 11100;
  p.step = 3;
  p.srStart = c.srStart;
  p.srEnd = c.srEnd;
  p.srStep = c.srStep;
  p.soglia = c.soglia;
  scan4transp& w = preparata(p);
  w.freqCorrente = c.freq;
  int trovata = w.applicaRicercaStandard();
  if (c.attesa < 0) {
    EXPECT_GE(trovata, 11004);
    EXPECT_LE(trovata, 11006);
  } else {
    EXPECT_EQ(trovata, c.attesa);
  }
  EXPECT_EQ(w.srCorrente, c.srFinale);
  EXPECT_EQ(std::vector<int>(w.srConosciuti, w.srConosciuti + w.numSRconosciuti), c.noti);
  EXPECT_FALSE(w.flagRicerca & FLAG_PASSO_SR);
  EXPECT_EQ(w.richiestaInterruzione, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, RicercaStandard,
    ::testing::Values(
        CasoStandard{"unaRataAgganciata", 11004, 27500, 27500, 1000, 53, false, -1, 27500, {27500}},
        CasoStandard{"sogliaZero", 11003, 27500, 27500, 1000, 0, false, -1, 27500, {27500}},
        CasoStandard{"sogliaIrraggiungibile", 11003, 27500, 27500, 1000, 100, false, 0, 27500, {}},
        CasoStandard{"lontanoDallaPortante", 11050, 27500, 27500, 1000, 0, false, 0, 27500, {}},
        CasoStandard{"rataSbagliata", 11003, 22000, 22000, 1000, 0, false, 0, 22000, {}},
        CasoStandard{"rangeRaggiungeLaRata", 11004, 22000, 27500, 5500, 0, false, -1, 27500, {27500}},
        CasoStandard{"rangeLaSalta", 11003, 22000, 27500, 6000, 0, false, 0, 28000, {}},
        CasoStandard{"inizioSopraFine", 11004, 27500, 22000, 1000, 0, false, -1, 27500, {27500}},
        CasoStandard{"inizioSopraFineSenzaAggancio", 11003, 30000, 22000, 1000, 0, false, 0, 31000, {}},
        CasoStandard{"dvbs2MaiAgganciata", 11005, 27500, 27500, 1000, 0, true, 0, 27500, {}}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(ScanTest, TheSnrPercentageEqualToTheThresholdStartsTheLockAttempts) {
  // Measure the carrier's SNR percentage as the search sees it, then set the
  // threshold right at it and one above it.
  carica(conPortante());
  scan4transp& misura = preparata();
  misura.freqCorrente = 11005;
  misura.srCorrente = 27500;
  misura.sintonizza(0);
  misura.attendeStatus(0);
  int minimo = 100;
  for (int i = 0; i < 20; ++i) minimo = std::min(minimo, misura.mediaLettureSNRoAGC(4, 1) * 100 / 65536);
  Parametri p;
  p.soglia = minimo;
  scan4transp& w = preparata(p);
  w.freqCorrente = 11005;
  EXPECT_NE(w.applicaRicercaStandard(), 0);
  p.soglia = 100;
  scan4transp& sopra = preparata(p);
  sopra.freqCorrente = 11005;
  EXPECT_EQ(sopra.applicaRicercaStandard(), 0);
  EXPECT_EQ(sopra.numSRconosciuti, 0);
}

TEST_F(ScanTest, ALockAddsTheRateOnceToTheKnownList) {
  carica(conPortante());
  scan4transp& w = preparata();
  w.srConosciuti[0] = 22000;
  w.numSRconosciuti = 1;
  w.freqCorrente = 11004;
  EXPECT_NE(w.applicaRicercaStandard(), 0);
  w.freqCorrente = 11004;
  EXPECT_NE(w.applicaRicercaStandard(), 0);
  EXPECT_EQ(std::vector<int>(w.srConosciuti, w.srConosciuti + w.numSRconosciuti), (std::vector<int>{22000, 27500}));
}

struct CasoSonde {
  const char* nome;
  int f, passo;
  int snrRiferimento;
  int attesa;         // expected result
  int freqFinale;     // freqCorrente afterwards
};

class MigliorFrequenza : public ScanTest, public ::testing::WithParamInterface<CasoSonde> {};

TEST_P(MigliorFrequenza, ProbesTenFrequenciesAndReturnsWhereTheBestLockWas) {
  const CasoSonde& c = GetParam();
  carica(conPortante());
  Parametri p;
  p.step = c.passo;
  scan4transp& w = preparata(p);
  w.freqCorrente = c.f;
  w.srCorrente = 27500;
  w.impostaStatus("prima");
  EXPECT_EQ(w.cercaMigliorFrequenza(c.snrRiferimento), c.attesa);
  EXPECT_EQ(w.freqCorrente, c.freqFinale);
  EXPECT_EQ(w.lStatus->getText(), "prima");
  EXPECT_EQ(w.srCorrente, 27500);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, MigliorFrequenza,
    ::testing::Values(
        // Step 1 at 11004: probes 11004..11013; the centre of the carrier locks best.
        CasoSonde{"passo1", 11004, 1, 0, 11005, 11014},
        // Step 3 at 11004: probes 11002..11011; the probe at 11005 is the best, and that is
        // where the transponder is (F + i would say 11007).
        CasoSonde{"passo3", 11004, 3, 0, 11005, 11012},
        // Step 5 at 11008: probes 11004..11013.
        CasoSonde{"passo5", 11008, 5, 0, 11005, 11014},
        // No probe beats the reference: the frequency that locked stays.
        CasoSonde{"nessunaMigliore", 11004, 3, 65535, 11004, 11012},
        // Nothing locks anywhere near: the frequency that locked stays.
        CasoSonde{"nessunAggancio", 11060, 3, 0, 11060, 11068}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
}  // namespace scantest
