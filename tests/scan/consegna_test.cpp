// The hand-over to the host's scan controller and the display refresh.
#include "scan_fixture.h"
#include "host/dvb/edvb.h"
#include "host/gui/elabel.h"
#include "widgets/e_prog_bar.h"

namespace scantest {
namespace {

struct CasoBanda {
  int khz;
  bool accettata;
};

class LimitiBanda : public ScanTest, public ::testing::WithParamInterface<CasoBanda> {};

TEST_P(LimitiBanda, AcceptsOnly10700To12750MHz) {
  carica(banda());
  scan4transp& w = preparata();
  ::remove(file("scrutafasci.scan").c_str());
  eDVB::instance->setMode(1);
  w.srCorrente = 27500;
  EXPECT_EQ(w.sintonizzaTransponder(GetParam().khz), GetParam().accettata ? 1 : 0);
  std::vector<emu::HandOver> consegne = emu::receiver().handOvers();
  if (GetParam().accettata) {
    ASSERT_EQ(consegne.size(), 1u);
    EXPECT_EQ(consegne[0].frequency_khz, uint32_t(GetParam().khz));
    EXPECT_EQ(consegne[0].symbol_rate, 27500000u);
    EXPECT_EQ(consegne[0].orbital_position, 192);
    EXPECT_EQ(w.scanTransponderInCorso, 1);
    EXPECT_NE(w.fileLog.load(), nullptr);
  } else {
    EXPECT_TRUE(consegne.empty());
    EXPECT_FALSE(esiste(file("scrutafasci.scan")));   // the log was not even opened
    EXPECT_EQ(w.fileLog.load(), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Casi, LimitiBanda,
                         ::testing::Values(CasoBanda{10699999, false}, CasoBanda{10700000, true},
                                           CasoBanda{12750000, true}, CasoBanda{12750001, false},
                                           CasoBanda{0, false}, CasoBanda{-5, false}));

TEST_F(ScanTest, WithoutAScanControllerTheHandOverFailsAndClosesTheLog) {
  carica(banda());
  scan4transp& w = preparata();
  eDVB::instance->setMode(2);   // viewing: no scan controller
  EXPECT_EQ(w.sintonizzaTransponder(11005000), 0);
  EXPECT_TRUE(emu::logContains("no scan active"));
  EXPECT_EQ(w.fileLog.load(), nullptr);
  EXPECT_EQ(w.scanTransponderInCorso, 0);
}

TEST_F(ScanTest, ProgressAndFrequencyAreRefreshedOncePerFrequency) {
  carica(banda());
  Parametri p;
  p.freqStart = 11001;   // freqPartenza 11000
  p.freqEnd = 11100;
  scan4transp& w = preparata(p);
  eProgBar* barra = w.progBar;
  w.freqCorrente = 11050;
  w.srCorrente = 27500;
  w.aggiornaInformazioniSchermo();
  EXPECT_EQ(w.lFrequenzaValore->getText(), "11050");
  EXPECT_EQ(barra->perc.load(), 50);
  EXPECT_EQ(w.lSymbolRateValore->getText(), "27500");
  w.lFrequenzaValore->setText("x");
  w.srCorrente = 22000;
  w.aggiornaInformazioniSchermo();
  EXPECT_EQ(w.lFrequenzaValore->getText(), "x");   // same frequency: not shown again
  EXPECT_EQ(w.lSymbolRateValore->getText(), "22000");
  w.freqCorrente = 11100;
  w.aggiornaInformazioniSchermo();
  EXPECT_EQ(barra->perc.load(), 100);
  EXPECT_EQ(scan4transp::ultimaFreqMostrata, 11100);
}

// The percentage is 100 - (end - cursor) * 100 / (end - start + 1), the quotient
// truncated toward zero: rounding, or flooring past the end, shows another bar.
TEST_F(ScanTest, TheProgressPercentageIsTruncated) {
  carica(banda());
  struct Caso { int freqStart, freqEnd, freqCorrente, perc; } casi[] = {
      {11001, 11003, 11001, 34},    // 100 - 200/3: 66.7 is 66, not 67
      {11001, 11007, 11001, 15},    // 100 - 600/7: 85.7 is 85
      {11001, 11007, 11004, 58},    // 100 - 300/7: 42.9 is 42
      {11001, 11003, 11000, 0},     // the start, one step before the first probe
      {11001, 11003, 11003, 100},
      {11001, 11003, 11004, 133},   // a probe past the end: -33.3 is -33, not -34
      {11001, 11007, 11012, 171},   // -71.4 is -71
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::to_string(c.freqEnd) + " at " + std::to_string(c.freqCorrente));
    Parametri p;
    p.freqStart = c.freqStart;
    p.freqEnd = c.freqEnd;
    scan4transp& w = preparata(p);
    scan4transp::ultimaFreqMostrata = 0;
    w.progBar->setPerc(-1);
    w.freqCorrente = c.freqCorrente;
    w.aggiornaInformazioniSchermo();
    EXPECT_EQ(w.progBar->perc.load(), c.perc);
  }
}

}  // namespace
}  // namespace scantest
