// The heuristic search: the adaptive symbol-rate step, the best-rate sweep, the
// sampling after a first lock and its hand-over, on a prepared window; then a
// whole heuristic scan through Exec.
#include "scan_fixture.h"
#include "host/dvb/edvb.h"
#include "host/dvb/frontend.h"
#include "host/dvbapi/frontend.h"
#include "host/gui/elabel.h"

namespace scantest {
namespace {

// Readings without jitter, so that a percentage can be known before the search reads it.
void lettureFisse() {
  emu::box().knobs().nir_jitter = 0;
  emu::box().knobs().nir_unlocked_min = emu::box().knobs().nir_unlocked_max = 16000;
}

Parametri euristica(int srStart, int srEnd) {
  Parametri p;
  p.freqStart = 10900;
  p.freqEnd = 11200;
  p.tipo = RICERCA_EURISTICA;
  p.srStart = srStart;
  p.srEnd = srEnd;
  p.soglia = 53;
  return p;
}

int percentoSNR() { return eFrontend::frontend->SNR() * 100 / 65536; }

// --- the adaptive step -------------------------------------------------------------

struct CasoPasso {
  const char* nome;
  bool segnale;       // tuned on the carrier (locked, about 90 %) or on an empty spot (38 %)
  bool uguale;        // the previous step had the same percentage
  int contaPrima;
  int passoPrima;
  int picco;
  int passoDopo, contaDopo;
};

class PassoAdattivo : public ScanTest, public ::testing::WithParamInterface<CasoPasso> {};

TEST_P(PassoAdattivo, GrowsWithoutSignalBelowTheThresholdAndPastThePeak) {
  const CasoPasso& c = GetParam();
  lettureFisse();
  carica(banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12));
  scan4transp& w = preparata(euristica(27500, 28000));
  w.freqCorrente = c.segnale ? 11005 : 11100;
  w.srCorrente = 27500;
  w.sintonizza(0);
  ASSERT_NE(w.attendeStatus(0), 0u);
  const int p = percentoSNR();
  ASSERT_EQ(p >= w.sogliaAggancio, c.segnale);
  ASSERT_EQ((eFrontend::frontend->Status() & FE_HAS_SIGNAL) != 0, c.segnale);
  w.ultimoSNRpercento = c.uguale ? p : p - 1;
  w.contaSNRuguali = c.contaPrima;
  w.stepSymbolRate = c.passoPrima;
  w.piccoSuperato = c.picco;
  w.applicaRicercaEuristica();
  EXPECT_EQ(w.stepSymbolRate, c.passoDopo);
  EXPECT_EQ(w.contaSNRuguali, c.contaDopo);
  EXPECT_EQ(w.ultimoSNRpercento, p);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, PassoAdattivo,
    ::testing::Values(CasoPasso{"buonoTornaAllaBase", true, false, 0, 30, 0, 10, 0},
                      CasoPasso{"buonoNonoUguale", true, true, 8, 30, 0, 10, 9},
                      CasoPasso{"buonoDecimoUguale", true, true, 9, 10, 0, 11, 0},
                      CasoPasso{"buonoPiccoSuperato", true, false, 0, 10, 1, 20, 0},
                      CasoPasso{"sottoLaBase", true, false, 0, -5, 1, 10, 0},
                      CasoPasso{"senzaSegnale", false, false, 0, 10, 0, 20, 0},
                      CasoPasso{"senzaSegnaleUguale", false, true, 3, 10, 0, 20, 4},
                      CasoPasso{"senzaSegnalePicco", false, false, 0, 10, 1, 30, 0},
                      CasoPasso{"finoA250", false, false, 0, 240, 0, 250, 0},
                      CasoPasso{"oltre250", false, false, 0, 245, 0, 10, 0}),
    [](const auto& info) { return std::string(info.param.nome); });

struct CasoRata {
  const char* nome;
  int srStart, srEnd;
  int srDopo, passoDopo;
  int arretra;   // how far the cursor was taken back
};

class RataSuccessiva : public ScanTest, public ::testing::WithParamInterface<CasoRata> {};

TEST_P(RataSuccessiva, WithoutLockTheNextRateIsTriedAtTheSameFrequencyUntilTheRangeEnds) {
  const CasoRata& c = GetParam();
  lettureFisse();
  carica(banda());
  scan4transp& w = preparata(euristica(c.srStart, c.srEnd));
  w.freqCorrente = 11100;   // no signal there
  w.srCorrente = c.srStart;
  EXPECT_EQ(w.passoRicercaEuristica(), 0);
  EXPECT_EQ(w.srCorrente, c.srDopo);
  EXPECT_EQ(w.stepSymbolRate, c.passoDopo);
  EXPECT_EQ(w.freqCorrente, 11100 - c.arretra);
  EXPECT_EQ(w.flagRicerca & FLAG_PASSO_FINE, 0);
  EXPECT_TRUE(emu::receiver().handOvers().empty());
}

INSTANTIATE_TEST_SUITE_P(Casi, RataSuccessiva,
                         ::testing::Values(
                             // Without signal the step is at least 15: past the end at once.
                             CasoRata{"unaSolaRata", 27500, 27510, 27500, 10, 0},
                             // No signal and below the threshold: 10 + 5 + 5.
                             CasoRata{"restaAllaFrequenza", 27000, 28000, 27020, 20, 3}),
                         [](const auto& info) { return std::string(info.param.nome); });

// --- the best rate ------------------------------------------------------------------

struct CasoMigliorSR {
  const char* nome;
  unsigned long richiesta;   // failing request, 0 none
  int chiamata;              // its failing call
  const char* riga;          // the log line, nullptr none
  bool cambiata;             // srCorrente was set from the sweep
};

class MigliorSR : public ScanTest, public ::testing::WithParamInterface<CasoMigliorSR> {};

TEST_P(MigliorSR, SweepsFromTenBelowTo99AboveAndStopsAtTheFirstFailure) {
  const CasoMigliorSR& c = GetParam();
  carica(banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12));
  scan4transp& w = preparata(euristica(27000, 28000));
  w.freqCorrente = 11005;
  w.srCorrente = 27300;   // 27290..27399: no lock
  w.sintonizza(0);
  w.attendeStatus(0);
  w.srCorrente = 27450;   // 27440..27549 holds the carrier's rate
  if (c.richiesta) emu::box().faults().failRequest(c.richiesta, uint64_t(c.chiamata), 1);
  emu::clearLog();
  const uint64_t inizio = emu::box().clock().now();
  w.cercaMigliorSR(0, 0);
  // No pause at any of the 110 rates: the sweep costs the box well under a second
  // (a status wait at each rate made it 30 s).
  EXPECT_LT(emu::box().clock().now() - inizio, 1000000u) << "box time in microseconds";
  if (c.riga) {
    EXPECT_EQ(righeLog(c.riga), 1);
    EXPECT_EQ(w.fdFrontend, -1);
  } else {
    EXPECT_GT(w.fdFrontend, 0);
    EXPECT_EQ(int(emu::box().tuner().state().symbol_rate), w.srCorrente * 1000);
  }
  if (c.cambiata) {
    EXPECT_LE(std::abs(w.srCorrente - 27500), 6);   // within the demodulator's timing tolerance
  } else {
    EXPECT_EQ(w.srCorrente, 27450);
  }
  // The phase is shown once the frontend's parameters were read.
  EXPECT_EQ(std::string(w.lSymbolRateValore->getText()) == "ricerca symbolrate migliore",
            c.richiesta != FE_GET_FRONTEND);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, MigliorSR,
    ::testing::Values(CasoMigliorSR{"riuscita", 0, 0, nullptr, true},
                      CasoMigliorSR{"letturaFallita", FE_GET_FRONTEND, 1, "ERRORE GET FRONTEND", false},
                      CasoMigliorSR{"primaImpostazioneFallita", FE_SET_FRONTEND, 1, "ERRORE SET FRONTEND", false},
                      // 110 rates, then the best one is set: that last setting fails.
                      CasoMigliorSR{"ultimaImpostazioneFallita", FE_SET_FRONTEND, 111, "ERRORE SET FRONTEND (", true}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(ScanTest, TheBestRateSweepStopsBelow45000) {
  carica(banda().carrier(11010, Polarisation::Horizontal, 45000, 3, 12));
  scan4transp& w = preparata(euristica(44000, 45000));
  w.freqCorrente = 11010;
  w.srCorrente = 44995;   // 44985..45094, cut to 44985..44999
  w.cercaMigliorSR(0, 0);
  EXPECT_GE(w.srCorrente, 44985);
  EXPECT_LT(w.srCorrente, 45000);
  EXPECT_LT(emu::box().tuner().state().symbol_rate, 45000000u);
}

// --- sampling and hand-over -----------------------------------------------------------

struct CasoCampioni {
  const char* nome;
  int portante, srPortante, srStart;
  int primoAggancio;   // the frequency of the first lock
  int campioni;        // samples taken before the pick
};

class Campionamento : public ScanTest, public ::testing::WithParamInterface<CasoCampioni> {};

TEST_P(Campionamento, AFirstLockSamplesTheFollowingFrequenciesAndHandsOverTheBest) {
  const CasoCampioni& c = GetParam();
  lettureFisse();
  carica(banda().carrier(c.portante, Polarisation::Horizontal, c.srPortante, 3, 12));
  scan4transp& w = preparata(euristica(c.srStart, c.srStart));
  eDVB::instance->setMode(1);   // the scan controller, as the worker's loop sets it
  w.freqCorrente = c.primoAggancio - 9;
  int primo = 0, passi = 0, consegnata = 0;
  while (!consegnata && passi++ < 40) {   // the worker's advance, then its heuristic step
    w.freqCorrente += (w.flagRicerca & FLAG_PASSO_FINE) ? 1 : w.stepFrequenza;
    consegnata = w.passoRicercaEuristica();
    if (!primo && (w.flagRicerca & FLAG_PASSO_FINE)) primo = w.freqCorrente;
  }
  ASSERT_EQ(consegnata, 1);
  EXPECT_EQ(primo, c.primoAggancio);
  ASSERT_EQ(w.numCampioniBestFreq, c.campioni);
  int migliore = 0;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(w.campioniBestFreq[i][1], i < c.campioni ? (primo + 1 + i) * 1000 : 0) << i;
    if (w.campioniBestFreq[i][0] > w.campioniBestFreq[migliore][0]) migliore = i;
  }
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  ASSERT_EQ(consegne.size(), 1u);
  EXPECT_EQ(int(consegne[0].frequency_khz), w.campioniBestFreq[migliore][1]);
  EXPECT_EQ(int(consegne[0].frequency_khz), c.portante * 1000);   // the best SNR is on the carrier
  EXPECT_LE(std::abs(int(consegne[0].symbol_rate) - c.srPortante * 1000), c.srPortante / 4);
  EXPECT_EQ(w.flagRicerca & FLAG_PASSO_FINE, 0);
  EXPECT_EQ(w.inScansione, 0);
  EXPECT_EQ(w.scanTransponderInCorso, 1);
  EXPECT_EQ(std::string(w.lStatus->getText()), "Sintonia canali in corso......");
  // After ten samples the rate of the best-rate sweep stays; after a lost lock the range starts again.
  if (c.campioni == 10)
    EXPECT_EQ(w.srCorrente * 1000, int(consegne[0].symbol_rate));
  else
    EXPECT_EQ(w.srCorrente, c.srStart);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Campionamento,
    ::testing::Values(
        // 45000 kS/s captures 5.4 MHz either side: locked from 11005 to 11015.
        CasoCampioni{"dieciCampioni", 11010, 45000, 44996, 11005, 10},
        // 27500 kS/s captures 3.3 MHz: the lock is lost at 11014.
        CasoCampioni{"aggancioPerso", 11010, 27500, 27496, 11008, 5}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(ScanTest, ALockLostAtTheFirstSampledFrequencyHandsNothingOver) {
  carica(banda());
  scan4transp& w = preparata(euristica(27500, 27500));
  eDVB::instance->setMode(1);
  w.flagRicerca |= FLAG_PASSO_FINE;   // sampling had begun, nothing taken yet
  w.numCampioniBestFreq = 0;
  w.freqCorrente = 11100;
  EXPECT_EQ(w.passoRicercaEuristica(), 0);
  EXPECT_EQ(w.flagRicerca & FLAG_PASSO_FINE, 0);
  EXPECT_TRUE(emu::receiver().handOvers().empty());   // frequency 0 was refused
  EXPECT_EQ(w.inScansione, 1);
  EXPECT_EQ(w.scanTransponderInCorso, 0);
}

TEST_F(ScanTest, AHeuristicScanHandsTheCarrierOverAndGoesOnAfterTheHostsScan) {
  carica(banda().carrier(11010, Polarisation::Horizontal, 27500, 3, 12));
  Parametri p = euristica(27500, 27500);
  p.freqStart = 10997;
  p.freqEnd = 11040;
  scan4transp& w = finestra(p);
  esegui(w, [&] {
    return boxAperto("Finito") && premi("exit") && testo("Scansione terminata...have fun!") && premi("exit");
  });
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  ASSERT_EQ(consegne.size(), 1u);
  EXPECT_TRUE(consegne[0].locked);
  EXPECT_EQ(consegne[0].carrier_khz, 11010000u);
  EXPECT_LE(std::abs(int(consegne[0].frequency_khz) - 11010000), 1000);
  EXPECT_GT(w.freqCorrente, 11040);
  EXPECT_EQ(w.flagRicerca & FLAG_PASSO_FINE, 0);
}

}  // namespace
}  // namespace scantest
