#include <gtest/gtest.h>

#include <climits>
#include <string>

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

TEST(eMonitorFEstatus, SwallowsKeyAndFocusEvents) {
  eMonitorFEstatus m(&genitore(), nullptr, 1);
  eWidget semplice(&genitore());
  for (int tipo = 1; tipo <= 17; ++tipo) {
    SCOPED_TRACE(tipo);
    if (tipo == 4)
      continue;   // the end of a modal run means something to any widget
    const eWidgetEvent e(tipo, keyOk);
    const bool inghiottito = tipo == 1 || tipo == 2 || tipo == 5 || tipo == 6;
    if (inghiottito)
      EXPECT_EQ(m.eventHandler(e), 1);
    else
      EXPECT_EQ(m.eventHandler(e), semplice.eventHandler(e));
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
