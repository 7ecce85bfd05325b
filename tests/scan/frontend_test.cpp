// Tuning through the real device paths: band, IF, voltage, tone, switch port, rate.
#include <fcntl.h>
#include <unistd.h>

#include "scan_fixture.h"
#include "host/dvbapi/frontend.h"

namespace scantest {
namespace {

struct CasoSintonia {
  const char* nome;
  int mhz;
  int polarita;
  int porta;
  uint32_t lofBasso, lofAlto, soglia;
  uint32_t ifAtteso;
  bool tono;
  secVoltage tensione;
  int byteCommutatore;   // the committed-switch data byte sent
};

class Sintonia : public ScanTest, public ::testing::WithParamInterface<CasoSintonia> {};

TEST_P(Sintonia, SetsBandVoltageTonePortAndRate) {
  const CasoSintonia& c = GetParam();
  testsupport::ScenarioBuilder b;
  b.satellite(192, c.porta, "Astra").lnb(c.lofBasso, c.lofAlto, c.soglia);
  b.carrier(12603, Polarisation::Vertical, 22000);
  b.tunedTo(192, 12603, Polarisation::Vertical, 22000);
  carica(b);
  Parametri p;
  p.polarita = c.polarita;
  scan4transp& w = preparata(p);
  w.freqCorrente = c.mhz;
  w.srCorrente = 27500;
  EXPECT_EQ(w.sintonizza(0), 0);
  emu::TunerState s = emu::box().tuner().state();
  EXPECT_EQ(s.if_khz, c.ifAtteso);
  EXPECT_EQ(s.tone, c.tono);
  EXPECT_EQ(s.voltage, c.tensione);
  EXPECT_EQ(s.port, c.porta);
  EXPECT_EQ(s.last_switch_byte, c.byteCommutatore);
  EXPECT_EQ(s.symbol_rate, 27500000u);
  EXPECT_EQ(s.inversion, INVERSION_AUTO);
  EXPECT_EQ(s.fec, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, Sintonia,
    ::testing::Values(
        CasoSintonia{"sogliaBassa", 11700, 0, 0, 9750000, 10600000, 11700000, 1950000, false, SEC_VOLTAGE_18, 0xF2},
        CasoSintonia{"sopraSogliaAlta", 11701, 0, 0, 9750000, 10600000, 11700000, 1101000, true, SEC_VOLTAGE_18, 0xF3},
        CasoSintonia{"verticale", 11701, 1, 0, 9750000, 10600000, 11700000, 1101000, true, SEC_VOLTAGE_13, 0xF1},
        CasoSintonia{"porta1", 12000, 0, 1, 9750000, 10600000, 11700000, 1400000, true, SEC_VOLTAGE_18, 0xF7},
        CasoSintonia{"porta3Bassa", 10800, 1, 3, 9750000, 10600000, 11700000, 1050000, false, SEC_VOLTAGE_13, 0xFC},
        CasoSintonia{"oscillatoreSopra", 10700, 0, 0, 12700000, 13000000, 12750000, 2000000, false, SEC_VOLTAGE_18, 0xF2},
        CasoSintonia{"verticaleBassa", 11000, 1, 0, 9750000, 10600000, 11700000, 1250000, false, SEC_VOLTAGE_13, 0xF0}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(ScanTest, AFailedTuningClosesTheFrontendForGood) {
  carica(banda());
  scan4transp& w = preparata();
  emu::box().faults().failRequest(FE_SET_FRONTEND, 1, 1);
  w.freqCorrente = 11000;
  const int numero = w.fdFrontend;
  EXPECT_LT(w.sintonizza(0), 0);
  EXPECT_EQ(w.fdFrontend, -1);
  EXPECT_EQ(fcntl(numero, F_GETFD), -1);   // really closed
  EXPECT_EQ(w.inScansione, 1);   // nobody stops the scan on a failed tuning
  EXPECT_EQ(righeLog("ERRORE SET FRONTEND"), 1);
  // The number of the closed descriptor is free again: another file gets it, and
  // nothing of the scan may reach that file.
  int altro = open("/dev/null", O_RDONLY);
  ASSERT_GE(altro, 0);
  EXPECT_LT(w.sintonizza(0), 0);
  EXPECT_EQ(w.attendeStatus(1), 0u);
  EXPECT_EQ(w.mediaLettureSNRoAGC(4, 1), 0);
  EXPECT_EQ(righeLog("ERRORE SET FRONTEND"), 1);
  EXPECT_EQ(righeLog("FE_READ_STATUS"), 0);
  close(altro);
}

TEST_F(ScanTest, TheStatusWaitGivesUpWhenTheFrontendNeverAnswers) {
  carica(banda());
  scan4transp& w = preparata();
  w.freqCorrente = 11000;
  ASSERT_EQ(w.sintonizza(0), 0);
  emu::box().faults().failRequest(FE_READ_STATUS, 1, 0);   // for ever
  EXPECT_EQ(w.attendeStatus(0), 0u);
  EXPECT_EQ(righeLog("++++++++ ERRORE FE_READ_STATUS"), 1);
  EXPECT_EQ(righeLog("attesa abbandonata"), 1);
}

TEST_F(ScanTest, TheStatusWaitEndsAtOnceOnACloseRequest) {
  carica(banda());
  scan4transp& w = preparata();
  w.freqCorrente = 11000;
  ASSERT_EQ(w.sintonizza(0), 0);
  const uint64_t prima = emu::box().clock().now();
  w.richiestaInterruzione = 1;
  EXPECT_EQ(w.attendeStatus(1), 0u);
  w.richiestaInterruzione = 0;
  w.inScansione = 0;
  EXPECT_EQ(w.attendeStatus(0), 0u);
  EXPECT_EQ(emu::box().clock().now(), prima);   // not one request was made
}

TEST_F(ScanTest, TheStatusWaitSeesTheLockOfALockableCarrier) {
  carica(banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12));
  scan4transp& w = preparata();
  w.freqCorrente = 11005;
  w.srCorrente = 27500;
  ASSERT_EQ(w.sintonizza(0), 0);
  EXPECT_TRUE(w.attendeStatus(0) & FE_HAS_LOCK);
  w.freqCorrente = 11050;   // nothing there
  ASSERT_EQ(w.sintonizza(0), 0);
  FrontendStatus s = w.attendeStatus(0);
  EXPECT_NE(s, 0u);
  EXPECT_FALSE(s & FE_HAS_LOCK);
}

const char* nomeLettura(int tipo) { return tipo ? "FE_READ_SNR" : "FE_READ_SIGNAL_STRENGTH"; }

// The mean of n readings is their sum divided by n, the remainder dropped: a mean
// of 101.75 is 101. Both kinds, each count the searches use, over a carrier's noise.
TEST_F(ScanTest, TheMeanOfTheReadingsIsTruncated) {
  carica(banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12));
  scan4transp& w = preparata();
  emu::RequestLog& registro = emu::box().tuner().requests();
  registro.enable(true);
  int resti = 0;   // means that rounding would have made one higher
  for (const int f : {11005, 11050})   // on the carrier and beside it
    for (const int tipo : {1, 0})
      for (const int n : {2, 4, 20})
        for (int volta = 0; volta < 8; ++volta) {
          SCOPED_TRACE(std::to_string(f) + " " + nomeLettura(tipo) + " n=" + std::to_string(n));
          w.freqCorrente = f;
          w.sintonizza(0);
          w.attendeStatus(0);
          registro.clear();
          const int media = w.mediaLettureSNRoAGC(n, tipo);
          const std::vector<int> letture = valoriRichiesti(nomeLettura(tipo));
          ASSERT_EQ(letture.size(), size_t(n));
          long somma = 0;
          for (int v : letture) somma += v;
          EXPECT_EQ(media, somma / n);
          if (2 * (somma % n) >= n) ++resti;
        }
  EXPECT_GT(resti, 0) << "no mean here that rounding would change: the test cannot tell them apart";
}

// A failed reading adds what the buffer held before: the previous reading, or 0 at the start.
TEST_F(ScanTest, AFailedReadingCountsThePreviousOne) {
  carica(banda().carrier(11005, Polarisation::Horizontal, 27500, 3, 12));
  scan4transp& w = preparata();
  w.freqCorrente = 11005;
  ASSERT_EQ(w.sintonizza(0), 0);
  w.attendeStatus(0);
  emu::RequestLog& registro = emu::box().tuner().requests();
  registro.enable(true);
  struct Caso { int da, quante; } casi[] = {{1, 1}, {2, 2}, {4, 1}, {1, 4}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::to_string(c.da) + "x" + std::to_string(c.quante));
    registro.clear();
    emu::box().faults().failRequest(FE_READ_SNR, c.da, c.quante);
    const int media = w.mediaLettureSNRoAGC(4, 1);
    emu::box().faults().clear();
    const std::vector<int> riuscite = valoriRichiesti("FE_READ_SNR");   // failed requests leave no record
    ASSERT_EQ(riuscite.size(), size_t(4 - c.quante));
    long somma = 0;
    int buffer = 0;
    size_t prossima = 0;
    for (int i = 1; i <= 4; ++i) {
      if (i < c.da || i >= c.da + c.quante) buffer = riuscite[prossima++];
      somma += buffer;
    }
    EXPECT_EQ(media, somma / 4);
  }
}

}  // namespace
}  // namespace scantest
