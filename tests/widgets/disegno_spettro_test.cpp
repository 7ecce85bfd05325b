#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ambiente.h"
#include <emulator/toolkit/emu.h>
#include <scan/disegno_spettro.h>
#include <scan/tipi_ricerca.h>
#include <widgets/e_grafico.h>

using namespace prova;

namespace {

const int H = 200;

// A scan window's graph (10700 to 12970 MHz, bitmap 200 rows high) and its plotting state.
struct Scena {
  explicit Scena(int tipo, int soglia = 50, int flag = FLAG_ATTIVA) {
    grafico = std::make_unique<eGrafico>(&genitore());
    grafico->resize(eSize(500, 240));
    grafico->setRange(10700, 12970, 100);
    pennello = std::make_unique<pennelloSpettro>(pennelloSpettro{
        grafico.get(), tipo, flag, soglia, ultimaX, picco, VERDE, BIANCO, ROSSO, GIALLO_SCURO});
    prima = copia();
  }
  std::vector<int> copia() const {
    auto img = std::atomic_load(&grafico->immagine);
    std::vector<int> v(2470 * H);
    for (int y = 0; y < H; ++y) {
      const uint8_t* riga = img->pixel(0, y);
      std::copy(riga, riga + 2470, v.begin() + y * 2470);
    }
    return v;
  }
  int at(int x, int y) const { return *std::atomic_load(&grafico->immagine)->pixel(x, y); }
  // Expected picture: the empty bitmap with vertical segments (column, from, to, colour)
  // and horizontal runs laid over it in order.
  struct Tratto { int x1, y1, x2, y2, colore; };
  ::testing::AssertionResult come(const std::vector<Tratto>& tratti) const {
    std::vector<int> atteso = prima;
    for (const auto& t : tratti)
      for (int y = std::min(t.y1, t.y2); y <= std::max(t.y1, t.y2); ++y)
        for (int x = std::min(t.x1, t.x2); x <= std::max(t.x1, t.x2); ++x)
          if (x >= 0 && x < 2470 && y >= 0 && y < H)
            atteso[y * 2470 + x] = t.colore;
    const std::vector<int> ora = copia();
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < 2470; ++x)
        if (ora[y * 2470 + x] != atteso[y * 2470 + x])
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                               << ora[y * 2470 + x] << ", expected "
                                               << atteso[y * 2470 + x];
    return ::testing::AssertionSuccess();
  }
  std::unique_ptr<eGrafico> grafico;
  int ultimaX = -1;
  int picco = -7;
  std::unique_ptr<pennelloSpettro> pennello;
  std::vector<int> prima;
};

Scena::Tratto soglia(int riga) { return {0, riga, 2050, riga, GIALLO_SCURO}; }

}  // namespace

TEST(disegnaSpettro, ThresholdRows) {
  struct Caso { int h, soglia, riga; } casi[] = {
      {200, 30, 141}, {200, 50, 101}, {200, 0, 201}, {200, 53, 95},
      {200, 25, 151}, {200, 100, 1}, {180, 50, 91}, {201, 50, 101}};
  for (const auto& c : casi)
    EXPECT_EQ(rigaSoglia(c.h, c.soglia), c.riga) << c.h << " " << c.soglia;
}

TEST(disegnaSpettro, ReadingToRow) {
  struct Caso { int h, lettura, riga; } casi[] = {
      {200, 32768, 100}, {200, 0, 200}, {200, 65535, 0}, {200, 16384, 150},
      {1000, 65535, 0}, {65535, 65535, 0}, {200, 65536, 0}};
  for (const auto& c : casi)
    EXPECT_EQ(rigaLettura(c.h, c.lettura), c.riga) << c.h << " " << c.lettura;
  // Below 256 rows the float result equals the integer quotient.
  for (int h : {1, 10, 100, 200, 255})
    for (int v = 0; v <= 65535; ++v)
      ASSERT_EQ(rigaLettura(h, v), h * (65536 - v) / 65536) << h << " " << v;
}

TEST(disegnaSpettro, ThresholdLineByType) {
  struct Caso { int tipo, soglia; bool linea; } casi[] = {
      {RICERCA_STANDARD, 30, true}, {RICERCA_STANDARD, 50, true},
      {RICERCA_STANDARD, 0, false},  // row 201 lies below the bitmap
      {RICERCA_EURISTICA, 30, true}, {RICERCA_BY_SR, 30, false}, {RICERCA_BY_AGC, 30, false},
      {9, 30, true}};
  for (const auto& c : casi) {
    SCOPED_TRACE(std::to_string(c.tipo) + "/" + std::to_string(c.soglia));
    Scena s(c.tipo, c.soglia);
    // A frequency below the range: the traces fall outside the bitmap.
    s.pennello->disegnaSpettro(10600, 0, 0, 0);
    EXPECT_EQ(s.ultimaX, -100);
    EXPECT_EQ(altezzaGrafico, H);
    std::vector<Scena::Tratto> attesi;
    if (c.linea)
      attesi.push_back(soglia(rigaSoglia(H, c.soglia)));
    EXPECT_TRUE(s.come(attesi));
  }
}

TEST(disegnaSpettro, StandardTracesJoinTheReadings) {
  Scena s(RICERCA_STANDARD, 50);
  struct Lettura { int freq, agc, snr; } letture[] = {
      {11000, 40000, 20000}, {11001, 50000, 30000}, {11002, 45000, 10000}};
  std::vector<Scena::Tratto> attesi{soglia(101)};
  int yA = H, yS = H;   // the first segments start at the bottom edge
  for (const auto& l : letture) {
    s.pennello->disegnaSpettro(l.freq, l.agc, l.snr, 1);
    const int x = l.freq - 10700;
    const int nA = H * (65536 - l.agc) / 65536, nS = H * (65536 - l.snr) / 65536;
    attesi.push_back({x, yS, x, nS, BIANCO});
    attesi.push_back({x, yA, x, nA, VERDE});
    yA = nA;
    yS = nS;
    EXPECT_EQ(s.ultimaX, x);
    EXPECT_EQ(ultimaYAgc, nA);
    EXPECT_EQ(ultimaYSnr, nS);
  }
  EXPECT_TRUE(s.come(attesi));
}

TEST(disegnaSpettro, StandardWithRateRangeDrawsBarsFromTheBottom) {
  Scena s(RICERCA_STANDARD, 50, FLAG_ATTIVA | FLAG_RANGE_SR);
  struct Lettura { int freq, agc, snr; } letture[] = {
      {11000, 20000, 40000}, {11003, 30000, 50000}, {11003, 10000, 45000}};
  std::vector<Scena::Tratto> attesi{soglia(101)};
  for (const auto& l : letture) {
    s.pennello->disegnaSpettro(l.freq, l.agc, l.snr, 0);
    const int x = l.freq - 10700;
    attesi.push_back({x, H, x, H * (65536 - l.snr) / 65536, BIANCO});
    attesi.push_back({x, H, x, H * (65536 - l.agc) / 65536, VERDE});
  }
  EXPECT_TRUE(s.come(attesi));
}

TEST(disegnaSpettro, DeductiveSearchesDrawOnlyTheAgcTrace) {
  for (int tipo : {RICERCA_BY_SR, RICERCA_BY_AGC}) {
    SCOPED_TRACE(tipo);
    Scena s(tipo, 50);
    s.pennello->disegnaSpettro(11000, 40000, 60000, 1);
    s.pennello->disegnaSpettro(11001, 50000, 60000, 0);
    const int y1 = H * (65536 - 40000) / 65536, y2 = H * (65536 - 50000) / 65536;
    EXPECT_TRUE(s.come({{300, H, 300, y1, VERDE}, {301, y1, 301, y2, VERDE}}));
    EXPECT_EQ(ultimaYAgc, y2);
  }
}

TEST(disegnaSpettro, HeuristicBarShowsTheBestSnrOfTheColumnLeft) {
  Scena s(RICERCA_EURISTICA, 50);
  maxSnrColonna = 0;
  maxSnrColonnaPrec = 0;
  for (int snr : {1000, 5000, 3000})
    s.pennello->disegnaSpettro(11000, 60000, snr, 1);
  EXPECT_EQ(maxSnrColonna, 5000);
  EXPECT_TRUE(s.come({soglia(101)}));   // nothing yet: the column is still open
  s.pennello->disegnaSpettro(11001, 60000, 9000, 1);
  EXPECT_TRUE(s.come({soglia(101), {300, H, 300, rigaLettura(H, 5000), BIANCO}}));
  EXPECT_EQ(s.ultimaX, 301);
  EXPECT_EQ(s.picco, 0);
  EXPECT_EQ(maxSnrColonnaPrec, 5000);
  // The reading that opened column 301 is not part of its maximum.
  EXPECT_EQ(maxSnrColonna, 0);
  s.pennello->disegnaSpettro(11002, 60000, 100, 1);
  EXPECT_EQ(s.picco, 1);
  EXPECT_TRUE(s.come({soglia(101), {300, H, 300, rigaLettura(H, 5000), BIANCO}}));
}

TEST(disegnaSpettro, PeakPassedWhenAColumnDoesNotBeatTheOneBefore) {
  struct Caso { int prec, massimo, picco; } casi[] = {
      {4000, 5000, 0}, {5000, 5000, 1}, {6000, 5000, 1}, {0, 0, 1}, {0, 1, 0}};
  for (const auto& c : casi) {
    SCOPED_TRACE(std::to_string(c.prec) + " " + std::to_string(c.massimo));
    Scena s(RICERCA_EURISTICA, 50);
    maxSnrColonna = 0;
    maxSnrColonnaPrec = c.prec;
    s.pennello->disegnaSpettro(11000, 0, c.massimo, 1);
    s.pennello->disegnaSpettro(11003, 0, 0, 1);
    EXPECT_EQ(s.picco, c.picco);
    EXPECT_EQ(maxSnrColonnaPrec, c.massimo);
  }
}

TEST(disegnaSpettro, HeuristicMaximumCarriesOverIntoANewScan) {
  Scena s(RICERCA_EURISTICA, 50);
  maxSnrColonna = 7000;   // left by an earlier scan
  s.pennello->disegnaSpettro(11000, 0, 1000, 1);
  s.pennello->disegnaSpettro(11001, 0, 1000, 1);
  EXPECT_TRUE(s.come({soglia(101), {300, H, 300, rigaLettura(H, 7000), BIANCO}}));
}

TEST(disegnaSpettro, OtherSearchTypesDrawOnlyTheThreshold) {
  Scena s(7, 50);
  s.pennello->disegnaSpettro(11000, 40000, 40000, 0);
  s.pennello->disegnaSpettro(11001, 40000, 40000, 0);
  EXPECT_TRUE(s.come({soglia(101)}));
}

TEST(disegnaSpettro, FoundTransponderMarks) {
  struct Caso { int tipo, da, a; } casi[] = {
      {RICERCA_STANDARD, 0, 5},     {RICERCA_BY_SR, H, 100}, {RICERCA_BY_AGC, H, 100},
      {RICERCA_EURISTICA, 0, 100},  {12, 0, 100}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.tipo);
    Scena s(c.tipo, 50);
    altezzaGrafico = 77;
    ultimaYAgc = 78;
    s.pennello->disegnaSpettroTransponderTrovato(11500, 32768);
    EXPECT_TRUE(s.come({{800, c.da, 800, c.a, ROSSO}, {801, c.da, 801, c.a, ROSSO}}));
    // The plotting memory is left alone.
    EXPECT_EQ(s.ultimaX, -1);
    EXPECT_EQ(altezzaGrafico, 77);
    EXPECT_EQ(ultimaYAgc, 78);
  }
}

TEST(disegnaSpettro, SkippedFrequencyCross) {
  Scena s(RICERCA_BY_AGC, 50);
  s.pennello->disegnaCroceFreqSaltata(11000);
  std::vector<Scena::Tratto> attesi;
  for (int i = 0; i <= 10; ++i) {
    attesi.push_back({295 + i, 5 + i, 295 + i, 5 + i, BIANCO});
    attesi.push_back({295 + i, 15 - i, 295 + i, 15 - i, BIANCO});
  }
  for (int i = 0; i <= 12; ++i) {
    attesi.push_back({294 + i, 4 + i, 294 + i, 4 + i, BIANCO});
    attesi.push_back({294 + i, 16 - i, 294 + i, 16 - i, BIANCO});
  }
  EXPECT_TRUE(s.come(attesi));
}

TEST(disegnaSpettro, PointsOutsideTheBitmapAreClipped) {
  Scena s(RICERCA_STANDARD, 50);
  s.pennello->disegnaSpettro(10690, 65535, 65535, 1);   // column -10
  s.pennello->disegnaCroceFreqSaltata(10702);
  s.pennello->disegnaSpettroTransponderTrovato(13200, 0);
  std::vector<Scena::Tratto> attesi{soglia(101)};
  for (int i = 0; i <= 10; ++i) {
    attesi.push_back({-3 + i, 5 + i, -3 + i, 5 + i, BIANCO});
    attesi.push_back({-3 + i, 15 - i, -3 + i, 15 - i, BIANCO});
  }
  for (int i = 0; i <= 12; ++i) {
    attesi.push_back({-4 + i, 4 + i, -4 + i, 4 + i, BIANCO});
    attesi.push_back({-4 + i, 16 - i, -4 + i, 16 - i, BIANCO});
  }
  EXPECT_TRUE(s.come(attesi));
}

// Each plotting call repaints the graph at most once, with its last line, and only
// when asked to (any flag but 1); the first plot of a scan repaints its threshold line.
TEST(disegnaSpettro, RepaintsOnlyWithTheLastLineAndWhenAsked) {
  enum Chiamata { LETTURA, TROVATO, CROCE };
  struct Passo { Chiamata chiamata; int freq, flag; unsigned ridisegni; };
  struct Caso { const char* nome; int tipo, flag; std::vector<Passo> passi; } casi[] = {
      {"standard", RICERCA_STANDARD, FLAG_ATTIVA,
       {{LETTURA, 11000, 1, 1}, {LETTURA, 11001, 1, 0}, {LETTURA, 11002, 0, 1}, {LETTURA, 11003, 2, 1}}},
      {"standard, first plot repaints", RICERCA_STANDARD, FLAG_ATTIVA, {{LETTURA, 11000, 0, 2}}},
      {"standard with a range", RICERCA_STANDARD, FLAG_ATTIVA | FLAG_RANGE_SR,
       {{LETTURA, 11000, 1, 1}, {LETTURA, 11000, 1, 0}, {LETTURA, 11000, 0, 1}}},
      {"by AGC: no threshold line", RICERCA_BY_AGC, FLAG_ATTIVA,
       {{LETTURA, 11000, 1, 0}, {LETTURA, 11001, 0, 1}, {LETTURA, 11002, 1, 0}}},
      {"by SR", RICERCA_BY_SR, FLAG_ATTIVA, {{LETTURA, 11000, 0, 1}, {LETTURA, 11001, 1, 0}}},
      // The column's bar repaints whatever the flag; a reading in the same column draws nothing.
      {"heuristic", RICERCA_EURISTICA, FLAG_ATTIVA,
       {{LETTURA, 11000, 1, 1}, {LETTURA, 11000, 0, 0}, {LETTURA, 11001, 1, 1}}},
      {"other type", 7, FLAG_ATTIVA, {{LETTURA, 11000, 1, 1}, {LETTURA, 11001, 0, 0}}},
      {"found mark and cross", RICERCA_BY_AGC, FLAG_ATTIVA, {{TROVATO, 11500, 0, 1}, {CROCE, 11200, 0, 1}}},
      {"found mark, standard", RICERCA_STANDARD, FLAG_ATTIVA, {{TROVATO, 11500, 0, 1}}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    Scena s(c.tipo, 50, c.flag);
    maxSnrColonna = 0;
    int i = 0;
    for (const Passo& p : c.passi) {
      SCOPED_TRACE(i++);
      const unsigned prima = emu::repaintCount(s.grafico.get());
      if (p.chiamata == LETTURA) s.pennello->disegnaSpettro(p.freq, 40000, 20000, p.flag);
      if (p.chiamata == TROVATO) s.pennello->disegnaSpettroTransponderTrovato(p.freq, 20000);
      if (p.chiamata == CROCE) s.pennello->disegnaCroceFreqSaltata(p.freq);
      EXPECT_EQ(emu::repaintCount(s.grafico.get()) - prima, p.ridisegni);
    }
  }
}

TEST(disegnaSpettro, WithoutAGraphNothingHappens) {
  int ultimaX = -1, picco = 0;
  pennelloSpettro p{nullptr, RICERCA_STANDARD, 0, 50, ultimaX, picco, 1, 2, 3, 4};
  p.disegnaSpettro(11000, 1, 1, 0);
  p.disegnaSpettroTransponderTrovato(11000, 1);
  p.disegnaCroceFreqSaltata(11000);
  EXPECT_EQ(ultimaX, -1);
}
