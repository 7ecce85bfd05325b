// The by-AGC sweep seen from the tuner: the symbol rates it sets, its lock reads and
// its display refreshes, read back from the emulated frontend's request log. Each
// case calls the search once on a prepared window with a plateau given by hand.
#include <cmath>

#include "scan_fixture.h"
#include "emulator/tuner/request_log.h"
#include "host/dvbapi/frontend.h"
#include "host/gui/elabel.h"
#include "scan/disegno_spettro.h"
#include "widgets/e_grafico.h"

namespace scantest {
namespace {

// One step of the sweep as the tuner saw it.
struct PassoSweep {
  int sr = 0;                  // the rate the step tuned first, kS/s
  bool segnaleEPortante = false;   // the status the step's waits ended with
  int lettureAggancio = 0;     // status reads after it tuned the same rate again
  int srSalita = 0;            // the rate of the rising test, 0 without one
  int aggiornamentiMonitor = 0;    // the monitor's reads of the frontend (its BER read)
};

// The steps of the sweep at centre C: from the first setting at C other than the
// walking rate of 2000 kS/s to the first setting at another frequency (the
// best-frequency test). A setting at the step's rate + 300 is its rising test.
std::vector<PassoSweep> passiSweep(const std::vector<emu::RequestRecord>& log, int C) {
  std::vector<PassoSweep> passi;
  enum { ATTESE, AGGANCIO, SALITA } fase = ATTESE;
  for (const emu::RequestRecord& r : log) {
    const std::string req = r.request;
    if (r.origin == emu::RequestOrigin::Frontend) {
      if (req == "FE_READ_BER" && !passi.empty()) ++passi.back().aggiornamentiMonitor;
      continue;
    }
    if (r.origin != emu::RequestOrigin::Device) continue;
    if (req == "FE_SET_FRONTEND") {
      const int sr = int(std::lround(r.symbol_rate_ksps));
      if (std::lround(r.frequency_mhz) != C) {
        if (!passi.empty()) break;
        continue;
      }
      if (passi.empty() && sr == 2000) continue;
      if (!passi.empty() && sr == passi.back().sr) {
        fase = AGGANCIO;
      } else if (!passi.empty() && sr == passi.back().sr + 300) {
        passi.back().srSalita = sr;
        fase = SALITA;
      } else {
        passi.push_back(PassoSweep{});
        passi.back().sr = sr;
        fase = ATTESE;
      }
    } else if (req == "FE_READ_STATUS" && !passi.empty() && r.result == 0 && r.value != 0) {
      if (fase == ATTESE)
        passi.back().segnaleEPortante = (r.value & FE_HAS_SIGNAL) && (r.value & FE_HAS_CARRIER);
      else if (fase == AGGANCIO)
        ++passi.back().lettureAggancio;
    }
  }
  return passi;
}

std::string descrive(const std::vector<PassoSweep>& passi) {
  std::string s;
  for (const PassoSweep& p : passi)
    s += "[" + std::to_string(p.sr) + (p.segnaleEPortante ? " S+C" : "") + " reads " +
         std::to_string(p.lettureAggancio) + (p.srSalita ? " up " + std::to_string(p.srSalita) : "") +
         (p.aggiornamentiMonitor ? " monitor " + std::to_string(p.aggiornamentiMonitor) : "") + "] ";
  return s;
}

// A carrier at 11050 H, 27500 kS/s, 12 dB; the SNR readings without their noise, so
// that a rate closer to the carrier's always reads higher.
class SweepDeduttivo : public ScanTest {
protected:
  static constexpr int PORTANTE = 11050;   // MHz
  static constexpr int VUOTO = 11150;      // nothing within reach of a 27.5 MS/s window

  scan4transp& pronta(int srStart, int srEnd) {
    emu::box().knobs().nir_jitter = 0;
    emu::box().knobs().nir_unlocked_min = emu::box().knobs().nir_unlocked_max = 16000;
    carica(banda().carrier(PORTANTE, Polarisation::Horizontal, 27500, 3, 12));
    Parametri p;
    p.freqStart = 10900;
    p.freqEnd = 11300;
    p.tipo = RICERCA_BY_AGC;
    p.srStart = srStart;
    p.srEnd = srEnd;
    p.soglia = 0;   // every step with signal and carrier makes its lock reads
    return preparata(p);
  }

  // n full-scale samples whose centre is C, examined 50 MHz above it; returns the
  // sweep as the tuner saw it.
  std::vector<PassoSweep> sweep(scan4transp& w, int pieni, int C) {
    const int primo = C - (pieni / 2 - 1);
    for (int i = 0; i < pieni; ++i) {
      w.campioniDeduttivi[i][0] = primo + i;
      w.campioniDeduttivi[i][1] = 0;
    }
    w.numCampioniDeduttivi = pieni;
    w.freqCorrente = C + 50;
    emu::RequestLog& log = emu::box().tuner().requests();
    log.clear();
    log.enable(true);
    w.applicaRicercaDeduttiva();   // a sweep creeping onto 27500 locks there: only its first steps matter
    log.enable(false);
    return passiSweep(log.records(), C);
  }
};

// --- the quality classes --------------------------------------------------------

struct CasoClasse {
  int pieni;                 // full-scale samples of the plateau
  const char* prefisso;
  int lettureAggancio;
  int passoSenzaSegnale, passoSNRcrescente, passoAltro;
};

void PrintTo(const CasoClasse& c, std::ostream* os) { *os << c.prefisso; }

class ClasseSweep : public SweepDeduttivo, public ::testing::WithParamInterface<CasoClasse> {};

// Each class is pinned on the first step of three sweeps: one over an empty part of
// the band, one rising towards the carrier's rate (27250 kS/s, 0.9 % below it, and
// 27550 much closer), one falling away from it (27560, then 27860).
TEST_P(ClasseSweep, TheClassSetsTheLockReadsAndTheThreeSteps) {
  const CasoClasse& c = GetParam();
  struct Sweep {
    const char* nome;
    int centro, srStart, srEnd;
    bool segnale;
    int passo;
  } casi[] = {
      {"without signal", VUOTO, 27500, 27600, false, c.passoSenzaSegnale},
      {"rising SNR", PORTANTE, 27250, 27600, true, c.passoSNRcrescente},
      {"falling SNR", PORTANTE, 27560, 27900, true, c.passoAltro},
  };
  for (const Sweep& s : casi) {
    SCOPED_TRACE(s.nome);
    scan4transp& w = pronta(s.srStart, s.srEnd);
    const std::vector<PassoSweep> passi = sweep(w, c.pieni, s.centro);
    ASSERT_GE(passi.size(), 2u) << descrive(passi);
    EXPECT_EQ(passi[0].sr, s.srStart) << descrive(passi);
    EXPECT_EQ(passi[0].segnaleEPortante, s.segnale) << descrive(passi);
    EXPECT_EQ(passi[0].lettureAggancio, s.segnale ? c.lettureAggancio : 0) << descrive(passi);
    EXPECT_EQ(passi[0].srSalita, s.segnale ? s.srStart + 300 : 0) << descrive(passi);
    EXPECT_EQ(passi[1].sr - passi[0].sr, s.passo) << descrive(passi);
  }
}

INSTANTIATE_TEST_SUITE_P(Classi, ClasseSweep,
                         ::testing::Values(CasoClasse{4, "[q=S] ", 50, 2, 2, 2}, CasoClasse{5, "[q=M] ", 6, 10, 40, 5},
                                           CasoClasse{8, "[q=B] ", 4, 20, 50, 7},
                                           CasoClasse{15, "[q=O] ", 2, 50, 70, 15}),
                         [](const auto& info) { return std::string(info.param.prefisso).substr(3, 1); });

// --- the rising test --------------------------------------------------------------

// The rising test is made while the rate 300 kS/s higher is still within the range.
TEST_F(SweepDeduttivo, TheRisingTestTunes300HigherWhileThatIsWithinTheRange) {
  struct {
    int srEnd;
    int salita;
  } casi[] = {{27859, 0}, {27860, 27860}, {27900, 27860}};
  for (const auto& c : casi) {
    SCOPED_TRACE("end " + std::to_string(c.srEnd));
    scan4transp& w = pronta(27560, c.srEnd);
    const std::vector<PassoSweep> passi = sweep(w, 15, PORTANTE);
    ASSERT_GE(passi.size(), 2u) << descrive(passi);
    EXPECT_TRUE(passi[0].segnaleEPortante) << descrive(passi);
    EXPECT_EQ(passi[0].srSalita, c.salita) << descrive(passi);
    EXPECT_EQ(passi[1].sr, 27560 + 15) << descrive(passi);   // not rising either way
  }
}

// --- the display during a sweep without signal -------------------------------------

// 50 steps of 2 kS/s without signal: the rate shown and the monitor are brought up
// to date after the 21st step and the 42nd, and at no other step.
TEST_F(SweepDeduttivo, ASweepWithoutSignalRefreshesTheDisplayAfterEvery21Steps) {
  scan4transp& w = pronta(27500, 27600);
  w.lSymbolRateValore->setText("-");
  const std::vector<PassoSweep> passi = sweep(w, 4, VUOTO);
  ASSERT_EQ(passi.size(), 50u) << descrive(passi);
  std::vector<int> conAggiornamento;
  for (size_t i = 0; i < passi.size(); ++i) {
    EXPECT_EQ(passi[i].sr, 27500 + 2 * int(i));
    if (passi[i].aggiornamentiMonitor) conAggiornamento.push_back(int(i) + 1);
  }
  EXPECT_EQ(conAggiornamento, (std::vector<int>{21, 42})) << descrive(passi);
  // The best-frequency test that follows does not show the rate: the last refresh's stays.
  EXPECT_EQ(std::string(w.lSymbolRateValore->getText()), std::to_string(27500 + 42 * 2));
}

// --- the AGC trace -------------------------------------------------------------------

// The AGC is plotted at two thirds of its reading: a full-scale AGC stays clear of
// the graph's top row, where the skip crosses are drawn.
TEST_F(ScanTest, TheDeductiveSearchPlotsTheAgcAtTwoThirdsOfItsReading) {
  for (int agc : {38000, 55535, 65535}) {
    SCOPED_TRACE("AGC " + std::to_string(agc));
    emu::box().knobs().agc_noise_sd = 0;
    emu::box().knobs().agc_floor = agc;   // nothing on the band: every reading is the floor
    carica(banda());
    Parametri p;
    p.freqStart = 10900;
    p.freqEnd = 11200;
    p.tipo = RICERCA_BY_AGC;
    p.srEnd = 27600;
    scan4transp& w = preparata(p);
    std::shared_ptr<gImage> bitmap = std::atomic_load(&w.grafico->immagine);
    ASSERT_TRUE(bitmap);
    w.freqCorrente = 11000;
    EXPECT_EQ(w.applicaRicercaDeduttiva(), 0);
    const int h = w.grafico->altezzaBitmap;
    const int riga = rigaLettura(h, int(agc / 1.5));
    ASSERT_NE(riga, rigaLettura(h, agc));
    EXPECT_EQ(ultimaYAgc.load(), riga);
    // The first plot draws its column from the bottom up to the reading's row, and no higher.
    EXPECT_EQ(*bitmap->pixel(300, riga), uint8_t(int(w.coloreVerde)));
    EXPECT_NE(*bitmap->pixel(300, riga - 1), uint8_t(int(w.coloreVerde)));
  }
}

}  // namespace
}  // namespace scantest
