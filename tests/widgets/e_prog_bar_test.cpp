#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ambiente.h"
#include <emulator/toolkit/emu.h>
#include <widgets/e_prog_bar.h>

using namespace prova;

namespace {

// Rectangles as (x, y, w, h), painted in order.
struct Rettangolo { int x, y, w, h, colore; };

const int BORDO = GRIGIO_CHIARO;   // scheme eProgress.border
const int PIENO = VERDE;           // scheme eProgress.left
const int RESTO = GRIGIO_SCURO;    // scheme eProgress.right

std::unique_ptr<eProgBar> barra(int w, int h, int bordo, int direzione, int start, int perc) {
  auto b = std::make_unique<eProgBar>(&genitore(), 0);
  b->resize(eSize(w, h));
  b->setProperty("border", std::to_string(bordo));
  b->setProperty("direction", std::to_string(direzione));
  b->setParams(start, perc);
  return b;
}

std::vector<Rettangolo> cornice(int w, int h, int b) {
  return {{0, 0, w, b, BORDO}, {0, b, b, h - b, BORDO}, {b, h - b, w - b, b, BORDO},
          {w - b, b, b, h - b, BORDO}};
}

// Dividers: one-pixel columns from row `da` to row `a` inclusive.
void divisori(std::vector<Rettangolo>& r, std::initializer_list<int> colonne, int da, int a) {
  for (int x : colonne)
    r.push_back({x, da, 1, a - da + 1, RESTO});
}

::testing::AssertionResult uguale(const Dipinto& d, const std::vector<Rettangolo>& rett) {
  gImage atteso(eSize(d.larghezza(), d.altezza()), 8);
  atteso.fill(eRect(0, 0, d.larghezza(), d.altezza()), SENTINELLA);
  for (const auto& r : rett)
    atteso.fill(eRect(r.x, r.y, r.w, r.h), r.colore);
  for (int y = 0; y < d.altezza(); ++y)
    for (int x = 0; x < d.larghezza(); ++x)
      if (d.at(x, y) != *atteso.pixel(x, y))
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                             << d.at(x, y) << ", expected "
                                             << int(*atteso.pixel(x, y));
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult stessiPixel(const Dipinto& a, const Dipinto& b) {
  for (int y = 0; y < a.altezza(); ++y)
    for (int x = 0; x < a.larghezza(); ++x)
      if (a.at(x, y) != b.at(x, y))
        return ::testing::AssertionFailure() << "differ at (" << x << ", " << y << ")";
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(eProgBar, ConstructionTakesTheSchemeColours) {
  eProgBar b(&genitore(), 0);
  EXPECT_EQ(int(b.leftColor), PIENO);
  EXPECT_EQ(int(b.rightColor), RESTO);
  EXPECT_EQ(int(b.getForegroundColor()), BORDO);
  EXPECT_EQ(b.border, 1);
  EXPECT_EQ(b.direction, 0);
  EXPECT_EQ(b.start, 0);
  EXPECT_EQ(b.perc, 0);
}

TEST(eProgBar, Painting) {
  struct Caso {
    const char* nome;
    int w, h, bordo, direzione, start, perc;
    std::vector<Rettangolo> attesi;
  };
  std::vector<Caso> casi;

  {
    Caso c{"half", 300, 12, 1, 0, 0, 50, cornice(300, 12, 1)};
    c.attesi.push_back({1, 1, 149, 10, PIENO});
    divisori(c.attesi, {1, 30, 59, 88, 117, 146}, 1, 10);
    c.attesi.push_back({150, 1, 149, 10, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"full", 300, 12, 1, 0, 0, 100, cornice(300, 12, 1)};
    c.attesi.push_back({1, 1, 298, 10, PIENO});
    divisori(c.attesi, {1, 30, 59, 88, 117, 146, 175, 204, 233, 262, 291}, 1, 10);
    casi.push_back(c);
  }
  {
    // The dividers end at row H - 2B, above the inner bottom row H - B - 1.
    Caso c{"thick border", 300, 20, 3, 0, 0, 50, cornice(300, 20, 3)};
    c.attesi.push_back({3, 3, 147, 14, PIENO});
    divisori(c.attesi, {3, 32, 61, 90, 119}, 3, 14);
    c.attesi.push_back({150, 3, 147, 14, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"empty", 300, 12, 1, 0, 0, 0, cornice(300, 12, 1)};
    c.attesi.push_back({1, 1, 298, 10, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"start 20", 300, 12, 1, 0, 20, 50, cornice(300, 12, 1)};
    c.attesi.push_back({60, 1, 149, 10, PIENO});
    divisori(c.attesi, {60, 89, 118, 147}, 1, 10);
    c.attesi.push_back({209, 1, 90, 10, RESTO});
    c.attesi.push_back({1, 1, 59, 10, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"start beyond 100", 300, 12, 1, 0, 150, 50, cornice(300, 12, 1)};
    c.attesi.push_back({1, 1, 298, 10, RESTO});
    casi.push_back(c);
  }
  {
    // Inner width 8: a divider spacing of 0 draws no dividers.
    Caso c{"narrow", 10, 12, 1, 0, 0, 50, cornice(10, 12, 1)};
    c.attesi.push_back({1, 1, 4, 10, PIENO});
    c.attesi.push_back({5, 1, 4, 10, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"no border", 300, 12, 0, 0, 0, 50, {}};
    c.attesi.push_back({0, 0, 150, 12, PIENO});
    divisori(c.attesi, {0, 30, 60, 90, 120}, 0, 11);
    c.attesi.push_back({150, 0, 150, 12, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"top to bottom", 40, 50, 2, 1, 20, 30, cornice(40, 50, 2)};
    c.attesi.push_back({2, 11, 36, 13, PIENO});
    c.attesi.push_back({2, 24, 36, 24, RESTO});
    c.attesi.push_back({2, 2, 36, 9, RESTO});
    casi.push_back(c);
  }
  {
    Caso c{"bottom to top", 40, 50, 2, 2, 20, 30, cornice(40, 50, 2)};
    c.attesi.push_back({2, 26, 36, 13, PIENO});
    c.attesi.push_back({2, 2, 36, 24, RESTO});
    c.attesi.push_back({2, 39, 36, 9, RESTO});
    casi.push_back(c);
  }
  casi.push_back({"direction 3", 300, 12, 1, 3, 0, 50, cornice(300, 12, 1)});

  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    auto b = barra(c.w, c.h, c.bordo, c.direzione, c.start, c.perc);
    EXPECT_TRUE(uguale(Dipinto(*b), c.attesi));
  }
}

TEST(eProgBar, PercentagesOutsideTheRangePaintLikeTheirLimits) {
  struct Caso { int perc, come; } casi[] = {{150, 100}, {101, 100}, {-10, 0}, {-1000, 0}};
  for (int direzione : {0, 1, 2})
    for (const auto& c : casi) {
      SCOPED_TRACE(std::to_string(direzione) + ": " + std::to_string(c.perc));
      auto fuori = barra(300, 40, 1, direzione, 0, c.perc);
      auto limite = barra(300, 40, 1, direzione, 0, c.come);
      EXPECT_TRUE(stessiPixel(Dipinto(*fuori), Dipinto(*limite)));
    }
}

TEST(eProgBar, SettersReportChanges) {
  eProgBar b(&genitore(), 0);
  EXPECT_EQ(b.setParams(0, 0), 0);
  EXPECT_EQ(b.setParams(0, 1), 1);
  EXPECT_EQ(b.perc, 1);
  EXPECT_EQ(b.setParams(0, 1), 0);
  EXPECT_EQ(b.setParams(5, 1), 1);
  EXPECT_EQ(b.start, 5);
  b.setPerc(40);
  EXPECT_EQ(b.perc, 40);
  b.setStart(10);
  EXPECT_EQ(b.start, 10);
}

// The setters repaint the bar only when a value changed; properties never do.
TEST(eProgBar, SettersRepaintOnlyOnAChange) {
  eProgBar b(&genitore(), 0);
  struct Passo { const char* nome; std::function<void()> fai; unsigned ridisegni; } passi[] = {
      {"setPerc 0 on a new bar", [&] { b.setPerc(0); }, 0},
      {"setPerc 40", [&] { b.setPerc(40); }, 1},
      {"setPerc 40 again", [&] { b.setPerc(40); }, 0},
      {"setStart 0", [&] { b.setStart(0); }, 0},
      {"setStart 10", [&] { b.setStart(10); }, 1},
      {"setParams unchanged", [&] { b.setParams(10, 40); }, 0},
      {"setParams new perc", [&] { b.setParams(10, 41); }, 1},
      {"setParams new start", [&] { b.setParams(11, 41); }, 1},
      {"a property", [&] { b.setProperty("border", "3"); }, 0},
  };
  for (const Passo& p : passi) {
    const unsigned prima = emu::repaintCount(&b);
    p.fai();
    EXPECT_EQ(emu::repaintCount(&b) - prima, p.ridisegni) << p.nome;
  }
}

TEST(eProgBar, Properties) {
  eProgBar b(&genitore(), 0);
  struct Caso { const char* nome; const char* valore; } casi[] = {
      {"leftColor", "std_cyan"}, {"rightColor", "std_orange"}, {"border", "3"},
      {"direction", "2"}};
  for (const auto& c : casi)
    EXPECT_EQ(b.setProperty(c.nome, c.valore), 0) << c.nome;
  EXPECT_EQ(int(b.leftColor), CIANO);
  EXPECT_EQ(int(b.rightColor), ARANCIO);
  EXPECT_EQ(b.border, 3);
  EXPECT_EQ(b.direction, 2);
  eWidget semplice(&genitore());
  EXPECT_EQ(b.setProperty("nonEsiste", "1"), semplice.setProperty("nonEsiste", "1"));
}

TEST(eProgBar, CreatedByTheSkin) {
  eInit::setRunlevel(30);
  eWidget finestra(&genitore());
  ASSERT_EQ(skin().build(&finestra, "prova_creatori"), 0);
  auto* b = dynamic_cast<eProgBar*>(finestra.search("barraDaSkin"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->getSize(), eSize(300, 12));
  EXPECT_EQ(int(b->leftColor), CIANO);
  EXPECT_EQ(int(b->rightColor), ARANCIO);
  EXPECT_EQ(b->border, 2);
  EXPECT_EQ(b->direction, 1);
}
