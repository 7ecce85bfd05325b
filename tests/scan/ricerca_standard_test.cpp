// The standard search at one frequency and the best-frequency probes, called
// directly on a prepared window over the emulated tuner.
#include "scan_fixture.h"
#include "widgets/e_grafico.h"

#include <algorithm>

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

// A carrier whose lock shows only at a later status read: the measuring wait sees
// the first lock, the attempts the next ones. Up to four attempts, and a lock in
// the fourth counts like one in the first.
TEST_F(ScanTest, UpToFourLockAttemptsAndALockInTheFourthCounts) {
  carica(conPortante());
  struct Caso { int locchiPersi; int tentativo; } casi[] = {
      {0, 1}, {1, 1}, {2, 2}, {4, 4}, {5, 0}, {9, 0}};   // tentativo 0: none locks
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::to_string(c.locchiPersi) + " locks dropped");
    scan4transp& w = preparata();
    w.freqCorrente = 11005;
    emu::box().faults().clear();
    emu::box().faults().dropLocks(c.locchiPersi);
    const uint64_t sintonie = emu::box().faults().calls(FE_SET_FRONTEND);
    const int trovata = w.applicaRicercaStandard();
    const uint64_t fatte = emu::box().faults().calls(FE_SET_FRONTEND) - sintonie;
    if (c.tentativo) {
      EXPECT_GE(trovata, 11004);
      EXPECT_LE(trovata, 11006);
      EXPECT_EQ(fatte, uint64_t(1 + c.tentativo + 10));   // measuring, the attempts, the ten probes
      EXPECT_EQ(std::vector<int>(w.srConosciuti, w.srConosciuti + w.numSRconosciuti), std::vector<int>{27500});
    } else {
      EXPECT_EQ(trovata, 0);
      EXPECT_EQ(fatte, 5u);   // measuring and four attempts
      EXPECT_EQ(w.numSRconosciuti, 0);
    }
  }
}

// Without a symbol-rate range every fifth plot repaints the graph; the count goes
// on from where the previous scan left it.
TEST_F(ScanTest, EveryFifthStandardPlotRepaintsTheGraph) {
  carica(banda());
  struct Caso { int contaIniziale; std::vector<bool> ridisegni; } casi[] = {
      {0, {false, false, false, false, true, false, false, false, false, true}},
      {3, {false, true, false, false, false, false, true, false, false, false}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.contaIniziale);
    scan4transp::contaGraficoStandard = c.contaIniziale;   // what an earlier scan left
    scan4transp& w = preparata();
    w.disegnaSpettro(10700, 0, 0, 1);   // the scan's first plot draws the threshold line
    std::vector<bool> ridisegni;
    for (int F = 10910; F < 10920; ++F) {   // nothing there: each call measures and plots once
      w.freqCorrente = F;
      const unsigned prima = emu::repaintCount(w.grafico);
      ASSERT_EQ(w.applicaRicercaStandard(), 0);
      ridisegni.push_back(emu::repaintCount(w.grafico) > prima);
    }
    EXPECT_EQ(ridisegni, c.ridisegni);
  }
}

// With a symbol-rate range the readings of each rate are not plotted: at the end
// one pair of bars from the bottom shows the greatest SNR mean and the greatest AGC
// mean of all the rates, each on its own, and repaints once.
TEST_F(ScanTest, WithARangeOnePairOfBarsShowsTheGreatestMeans) {
  carica(banda());
  // A weak AGC, so that its green bar stays below the white SNR bar and both show.
  emu::box().knobs().agc_floor = 5000;
  Parametri p;
  p.srStart = 20000;
  p.srEnd = 26000;
  p.srStep = 1000;
  scan4transp& w = preparata(p);
  ASSERT_TRUE(w.flagRicerca & FLAG_RANGE_SR);
  w.disegnaSpettro(10700, 0, 0, 1);   // the scan's first plot draws the threshold line
  const int F = 10915, x = F - 10700, H = w.grafico->altezzaBitmap;
  ASSERT_GT(H, 0);
  ASSERT_LT(H, 256);   // the row of a reading is then its integer quotient
  std::shared_ptr<gImage> bitmap = std::atomic_load(&w.grafico->immagine);
  std::vector<int> colonna;
  for (int y = 0; y < H; ++y) colonna.push_back(*bitmap->pixel(x, y));
  emu::box().tuner().requests().enable(true);
  w.freqCorrente = F;
  const unsigned prima = emu::repaintCount(w.grafico);
  ASSERT_EQ(w.applicaRicercaStandard(), 0);
  EXPECT_EQ(emu::repaintCount(w.grafico) - prima, 1u);

  // The means of each rate, from what the frontend answered: four SNR, then four AGC readings.
  const std::vector<int> snr = valoriRichiesti("FE_READ_SNR"), agc = valoriRichiesti("FE_READ_SIGNAL_STRENGTH");
  ASSERT_EQ(snr.size(), 28u);
  ASSERT_EQ(agc.size(), 28u);
  std::vector<int> medieSnr, medieAgc;
  for (size_t i = 0; i < 28; i += 4) {
    medieSnr.push_back((snr[i] + snr[i + 1] + snr[i + 2] + snr[i + 3]) / 4);
    medieAgc.push_back((agc[i] + agc[i + 1] + agc[i + 2] + agc[i + 3]) / 4);
  }
  const auto maxSnr = std::max_element(medieSnr.begin(), medieSnr.end());
  const auto maxAgc = std::max_element(medieAgc.begin(), medieAgc.end());
  // The case must tell the maxima from the last rate's means and from each other's rate.
  ASSERT_NE(maxSnr - medieSnr.begin(), 6);
  ASSERT_NE(maxAgc - medieAgc.begin(), 6);
  ASSERT_NE(maxSnr - medieSnr.begin(), maxAgc - medieAgc.begin());

  const int yS = H * (65536 - *maxSnr) / 65536, yA = H * (65536 - *maxAgc) / 65536;
  ASSERT_LT(yS, yA);
  for (int y = 0; y < H; ++y) {
    const int atteso = y >= yA ? int(w.coloreVerde) : y >= yS ? int(w.coloreBianco) : colonna[y];
    EXPECT_EQ(*bitmap->pixel(x, y), atteso) << "row " << y << " (SNR bar from " << yS << ", AGC from " << yA << ")";
  }
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
