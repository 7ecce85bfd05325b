#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ambiente.h"
#include <widgets/e_monitor_fe_status.h>

using namespace prova;

TEST(eMonitorFEstatus, FifteenChildrenInPlace) {
  eMonitorFEstatus m(&genitore(), nullptr, 1);
  EXPECT_EQ(m.getFont().pointSize, 18);
  EXPECT_EQ(m.getFont().family, genitore().getFont().family);
  EXPECT_EQ(m.getChildren().size(), 15u);

  struct Figlio { const char* nome; const char* testo; int x, y, w, h; bool barra; } figli[] = {
      {"lsnr", "snr", 2, 0, 40, 30, false},      {"snr_num", "", 355, 0, 60, 30, false},
      {"lagc", "agc", 2, 22, 40, 30, false},     {"agc_num", "", 355, 22, 60, 30, false},
      {"lber", "ber", 2, 44, 40, 30, false},     {"ber_num", "", 355, 44, 60, 30, false},
      {"lSignal", "SI", 415, 0, 24, 18, false},  {"lCarrier", "CA", 445, 0, 24, 18, false},
      {"lViterbi", "VI", 415, 40, 24, 18, false}, {"lSync", "SY", 415, 20, 24, 18, false},
      {"lLock", "LO", 445, 20, 24, 18, false},   {"lReinizializza", "RE", 445, 40, 24, 18, false},
      {"p_snr", "", 45, 5, 300, 12, true},       {"p_agc", "", 45, 27, 300, 12, true},
      {"p_ber", "", 45, 49, 300, 12, true},
  };
  for (const auto& f : figli) {
    SCOPED_TRACE(f.nome);
    eWidget* w = m.search(f.nome);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->getParent(), &m);
    EXPECT_EQ(w->getPosition(), ePoint(f.x, f.y));
    EXPECT_EQ(w->getSize(), eSize(f.w, f.h));
    EXPECT_EQ(w->getText(), f.testo);
    if (f.barra) {
      auto* b = dynamic_cast<eProgBar*>(w);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->perc, 0);
    } else {
      EXPECT_NE(dynamic_cast<eLabel*>(w), nullptr);
    }
  }
  EXPECT_EQ(m.search("p_snr"), m.p_snr);
  EXPECT_EQ(m.search("lReinizializza"), m.lReinizializza);
  EXPECT_EQ(int(m.coloreAcceso), VERDE);
  EXPECT_EQ(int(m.coloreSpento), int(genitore().getBackgroundColor()));
}

namespace {

// Records which of the host's handlers an event reached.
struct monitorOsservato : eMonitorFEstatus {
  monitorOsservato() : eMonitorFEstatus(&genitore(), nullptr, 1) {}
  int keyDown(int) override { raggiunti.push_back(1); return 0; }
  int keyUp(int) override { raggiunti.push_back(2); return 0; }
  void gotFocus() override { raggiunti.push_back(5); }
  void lostFocus() override { raggiunti.push_back(6); }
  void willShow() override { raggiunti.push_back(3); }
  void willHide() override { raggiunti.push_back(14); }
  std::vector<int> raggiunti;
};

}  // namespace

TEST(eMonitorFEstatus, SwallowsKeyAndFocusEvents) {
  eWidget semplice(&genitore());
  for (int tipo = 1; tipo <= 17; ++tipo) {
    SCOPED_TRACE(tipo);
    if (tipo == 4)
      continue;   // the end of a modal run means something to any widget
    monitorOsservato m;
    const eWidgetEvent e(tipo, keyOk);
    const bool inghiottito = tipo == 1 || tipo == 2 || tipo == 5 || tipo == 6;
    if (inghiottito) {
      EXPECT_EQ(m.eventHandler(e), 1);
      EXPECT_TRUE(m.raggiunti.empty());
    } else {
      EXPECT_EQ(m.eventHandler(e), semplice.eventHandler(e));
      if (tipo == 3 || tipo == 14) {
        EXPECT_EQ(m.raggiunti, std::vector<int>{tipo});
      }
    }
  }
}

TEST(eMonitorFEstatus, IntegerLog2) {
  struct Caso { unsigned int x; int atteso; } casi[] = {
      {0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {1023, 9}, {1024, 10}, {2047, 10},
      {2048, 11}, {0xFFFF, 15}, {0x80000000u, 31}, {UINT_MAX, 31}};
  for (const auto& c : casi)
    EXPECT_EQ(log2(c.x), c.atteso) << c.x;
}

TEST(eMonitorFEstatus, UpdateWithoutFrontendKeepsWhatItShows) {
  eMonitorFEstatus m(&genitore(), nullptr, 1);
  m.update();
  EXPECT_EQ(m.snr_num->getText(), "");
  EXPECT_EQ(m.p_snr->perc, 0);
}

#include <emulator/toolkit/emu.h>
#include "frontend_di_prova.h"

namespace {

struct Lettura {
  int snr, agc;
  uint32_t ber;
  int status;
};

struct Mostrato {
  int barraSnr, barraAgc, barraBer;
  const char *testoSnr, *testoAgc, *testoBer;
};

}  // namespace

TEST(eMonitorFEstatus, BarsAndNumbers) {
  struct Caso { Lettura l; Mostrato m; } casi[] = {
      {{32768, 16384, 0, 0}, {50, 25, 0, "50%", "25%", "0"}},
      {{65535, 65535, 1, 0}, {99, 99, 0, "99%", "99%", "1"}},
      {{0, 0, 1024, 0}, {0, 0, 10, "0%", "0%", "1024"}},
      {{655, 656, 2047, 0}, {0, 1, 10, "0%", "1%", "2047"}},
      {{40000, 30000, 0xFFFF, 0}, {61, 45, 15, "61%", "45%", "65535"}},
      // An all-ones count is shown signed, as the box shows it: -1.
      {{1, 2, 0xFFFFFFFFu, 0}, {0, 0, 31, "0%", "0%", "-1"}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.m.testoBer);
    prova::frontendDiProva fe;
    fe.snr = c.l.snr;
    fe.agc = c.l.agc;
    fe.ber = c.l.ber;
    eMonitorFEstatus m(&genitore(), &fe, 1);
    m.update();
    EXPECT_EQ(m.p_snr->perc, c.m.barraSnr);
    EXPECT_EQ(m.p_agc->perc, c.m.barraAgc);
    EXPECT_EQ(m.p_ber->perc, c.m.barraBer);
    EXPECT_EQ(m.snr_num->getText(), c.m.testoSnr);
    EXPECT_EQ(m.agc_num->getText(), c.m.testoAgc);
    EXPECT_EQ(m.ber_num->getText(), c.m.testoBer);
  }
}

TEST(eMonitorFEstatus, StatusLights) {
  struct Caso { int status; const char* accese; } casi[] = {
      {0x4A, "lSignal lLock lSync lReinizializza"},
      {0x85, ""},
      {0x00, ""},
      {0x02, "lSignal"},
      {0x08, "lLock"},
      {0x10, "lCarrier"},
      {0x20, "lViterbi"},
      {0x40, "lSync lReinizializza"},
      {0xFF, "lSignal lCarrier lViterbi lSync lLock lReinizializza"},
  };
  const char* luci[] = {"lSignal", "lCarrier", "lViterbi", "lSync", "lLock", "lReinizializza"};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.status);
    prova::frontendDiProva fe;
    fe.status = c.status;
    eMonitorFEstatus m(&genitore(), &fe, 1);
    m.coloreSpento = VIOLA;   // tell unlit lights from untouched ones
    m.update();
    const std::string accese = std::string(" ") + c.accese + " ";
    for (const char* luce : luci) {
      SCOPED_TRACE(luce);
      const bool accesa = accese.find(std::string(" ") + luce + " ") != std::string::npos;
      EXPECT_EQ(int(m.search(luce)->getBackgroundColor()), accesa ? VERDE : VIOLA);
    }
  }
}

TEST(eMonitorFEstatus, ReadsTheFrontendInOrder) {
  prova::frontendDiProva fe;
  eMonitorFEstatus m(&genitore(), &fe, 1);
  EXPECT_TRUE(fe.letture.empty());
  m.update();
  EXPECT_EQ(fe.letture, (std::vector<std::string>{"SNR", "SignalStrength", "BER", "Status"}));
}

TEST(eMonitorFEstatus, SameReadingsRepaintNoBarButSetTheLightsAgain) {
  prova::frontendDiProva fe;
  fe.snr = 32768;
  fe.agc = 16384;
  fe.ber = 100;
  fe.status = 0x4A;
  eMonitorFEstatus m(&genitore(), &fe, 1);
  m.update();
  const unsigned barre[] = {emu::repaintCount(m.p_snr), emu::repaintCount(m.p_agc),
                            emu::repaintCount(m.p_ber)};
  const unsigned luce = emu::repaintCount(m.lCarrier);
  m.update();
  EXPECT_EQ(emu::repaintCount(m.p_snr), barre[0]);
  EXPECT_EQ(emu::repaintCount(m.p_agc), barre[1]);
  EXPECT_EQ(emu::repaintCount(m.p_ber), barre[2]);
  EXPECT_GT(emu::repaintCount(m.lCarrier), luce);
  EXPECT_EQ(m.snr_num->getText(), "50%");
  fe.snr = 0;
  m.update();
  EXPECT_GT(emu::repaintCount(m.p_snr), barre[0]);
  EXPECT_EQ(emu::repaintCount(m.p_agc), barre[1]);
}

TEST(eMonitorFEstatus, PaintedMonitor) {
  prova::frontendDiProva fe;
  fe.snr = 32768;      // 50 %
  fe.agc = 16384;      // 25 %
  fe.ber = 1024;       // bar 10
  fe.status = 0x4A;
  eMonitorFEstatus m(&genitore(), &fe, 1);
  m.resize(eSize(480, 70));
  m.update();
  gImage schermo(eSize(480, 70), 8);
  schermo.fill(eRect(0, 0, 480, 70), SENTINELLA);
  gPainter p(schermo, ePoint(0, 0), eRect(0, 0, 480, 70));
  emu::paintWidget(&m, p);
  auto at = [&](int x, int y) { return int(*schermo.pixel(x, y)); };

  // Bars at x 45, inner width 298: filled up to 149 (snr), 74 (agc), 29 (ber) columns.
  struct Barra { int y, pieni; } barre[] = {{5, 149}, {27, 74}, {49, 29}};
  for (const auto& b : barre) {
    SCOPED_TRACE(b.y);
    EXPECT_EQ(at(45, b.y), GRIGIO_CHIARO);                   // border
    EXPECT_EQ(at(45 + 1 + 2, b.y + 1 + 4), VERDE);           // filled, past the first divider
    EXPECT_EQ(at(45 + 1 + b.pieni - 1, b.y + 6), VERDE);
    EXPECT_EQ(at(45 + 1 + b.pieni, b.y + 6), GRIGIO_SCURO);  // the rest
    EXPECT_EQ(at(45 + 1, b.y + 6), GRIGIO_SCURO);            // the first divider
  }
  // Lights: lit in green, unlit in the parent's background; their text on top.
  struct Luce { int x, y; bool accesa; } luci[] = {
      {415, 0, true}, {445, 0, false}, {415, 20, true}, {445, 20, true}, {415, 40, false},
      {445, 40, true}};
  for (const auto& l : luci) {
    SCOPED_TRACE(std::to_string(l.x) + "," + std::to_string(l.y));
    EXPECT_EQ(at(l.x, l.y), l.accesa ? VERDE : int(genitore().getBackgroundColor()));
    EXPECT_EQ(at(l.x + 23, l.y + 17), l.accesa ? VERDE : int(genitore().getBackgroundColor()));
    int testo = 0;
    for (int y = l.y; y < l.y + 18; ++y)
      for (int x = l.x; x < l.x + 24; ++x)
        testo += at(x, y) == BIANCO;
    EXPECT_GT(testo, 0);
  }
  // The numbers carry ink once set.
  for (int y0 : {0, 22, 44}) {
    int inchiostro = 0;
    for (int y = y0; y < y0 + 22; ++y)
      for (int x = 355; x < 415; ++x)
        inchiostro += at(x, y) == BIANCO;
    EXPECT_GT(inchiostro, 0) << y0;
  }
}

TEST(eMonitorFEstatus, ReceiversFrontendKeepsItsOwnReaders) {
  ASSERT_NE(eFrontend::frontend, nullptr);
  eMonitorFEstatus m(&genitore(), eFrontend::frontend, 1);
  m.update();
  EXPECT_GE(m.p_snr->perc, 0);
  EXPECT_LE(m.p_snr->perc, 99);
  EXPECT_EQ(m.snr_num->getText(), std::to_string(m.p_snr->perc) + "%");
  EXPECT_EQ(m.agc_num->getText(), std::to_string(m.p_agc->perc) + "%");
}
