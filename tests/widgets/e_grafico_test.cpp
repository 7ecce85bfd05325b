#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ambiente.h"
#include <emulator/toolkit/emu.h>
#include <widgets/e_grafico.h>
#include <widgets/e_prog_bar.h>

using namespace prova;

namespace {

// A graph laid out at w x h under the test parent; font size 16, so a height of 240
// gives a bitmap 200 rows high starting at row 22 and labels from row 222.
std::unique_ptr<eGrafico> grafico(int w = 500, int h = 240) {
  auto g = std::make_unique<eGrafico>(&genitore());
  g->resize(eSize(w, h));
  return g;
}

int pixel(eGrafico& g, int x, int y) {
  auto img = std::atomic_load(&g.immagine);
  return *img->pixel(x, y);
}

eSize dimensioneBitmap(eGrafico& g) { return std::atomic_load(&g.immagine)->getSize(); }

// The frequency label that redrawFrequenza should paint: the same text in the same box.
void etichettaAttesa(gImage& img, eGrafico& g, int x, const std::string& testo) {
  gPainter p(img, ePoint(0, 0), eRect(ePoint(0, 0), img.getSize()));
  const eRect box(x, g.yFrequenze, 90, 30);
  p.clip(box);
  p.setForegroundColor(g.getForegroundColor());
  p.setBackgroundColor(g.getBackgroundColor());
  p.setFont(g.getFont());
  p.renderText(box, testo, 0);
  p.clippop();
}

// Compares the box of a label at column x of the painted widget with a reference one.
::testing::AssertionResult etichettaUguale(eGrafico& g, const Dipinto& d, int x,
                                           const std::string& testo) {
  gImage attesa(g.getSize(), 8);
  attesa.fill(eRect(ePoint(0, 0), g.getSize()), SENTINELLA);
  etichettaAttesa(attesa, g, x, testo);
  int inchiostro = 0;
  for (int y = g.yFrequenze; y < std::min(d.altezza(), g.yFrequenze + 30); ++y)
    for (int c = x; c < std::min(d.larghezza(), x + 90); ++c) {
      const int atteso = *attesa.pixel(c, y);
      if (atteso == g.getForegroundColor())
        ++inchiostro;
      if (d.at(c, y) != atteso)
        return ::testing::AssertionFailure()
               << "label " << testo << " at x " << x << ": pixel (" << c << ", " << y
               << ") is " << d.at(c, y) << ", expected " << atteso;
    }
  if (inchiostro == 0)
    return ::testing::AssertionFailure() << "reference text " << testo << " has no ink";
  return ::testing::AssertionSuccess();
}

bool rigaIntatta(const Dipinto& d, int x1, int x2, int y1, int y2) {
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x)
      if (d.at(x, y) != SENTINELLA)
        return false;
  return true;
}

}  // namespace

TEST(eGrafico, ConstructionTakesTheParentsLookAndMakesNoChildren) {
  eGrafico g(&genitore());
  EXPECT_EQ(g.getFont().family, genitore().getFont().family);
  EXPECT_EQ(g.getFont().pointSize, 16);
  EXPECT_EQ(int(g.getForegroundColor()), BIANCO);
  EXPECT_EQ(int(g.getBackgroundColor()), BLU_SCURO);
  EXPECT_TRUE(g.getChildren().empty());
  EXPECT_EQ(std::atomic_load(&g.immagine), nullptr);
  EXPECT_EQ(g.origineX, 0);
  EXPECT_EQ(g.scrollInibito, 0);
  EXPECT_EQ(g.freqIniziale, 10700);
  EXPECT_EQ(g.freqFinale, 12970);
  EXPECT_EQ(g.passoFrequenza, 100);
}

TEST(eGrafico, LayoutPlacesArrowsSliderBitmapAndLabels) {
  auto g = grafico(500, 240);
  ASSERT_NE(g->slider, nullptr);
  ASSERT_NE(g->frecciaSinistra, nullptr);
  ASSERT_NE(g->frecciaDestra, nullptr);
  EXPECT_EQ(g->yControlli, 2);
  EXPECT_EQ(g->yBitmap, 22);
  EXPECT_EQ(g->altezzaBitmap, 200);
  EXPECT_EQ(g->yFrequenze, 222);
  EXPECT_EQ(g->yBitmap + g->altezzaBitmap, g->yFrequenze);

  struct { eWidget* w; const char* testo; ePoint pos; eSize dim; } figli[] = {
      {g->frecciaSinistra, "<", ePoint(0, 2), eSize(16, 16)},
      {g->frecciaDestra, ">", ePoint(484, 2), eSize(16, 16)},
      {g->slider, "", ePoint(16, 2), eSize(468, 18)},
  };
  for (auto& f : figli) {
    SCOPED_TRACE(f.testo);
    EXPECT_EQ(f.w->getParent(), g.get());
    EXPECT_EQ(f.w->getPosition(), f.pos);
    EXPECT_EQ(f.w->getSize(), f.dim);
    if (*f.testo) {
      EXPECT_EQ(f.w->getText(), f.testo);
    }
  }
}

TEST(eGrafico, LayoutAgainReusesTheChildrenAndTheirConnection) {
  auto g = grafico(500, 240);
  eWidget* sinistra = g->frecciaSinistra;
  eSlider* slider = g->slider;
  g->resize(eSize(400, 140));
  EXPECT_EQ(g->getChildren().size(), 3u);
  EXPECT_EQ(g->frecciaSinistra, sinistra);
  EXPECT_EQ(g->slider, slider);
  EXPECT_EQ(g->altezzaBitmap, 100);
  EXPECT_EQ(g->frecciaDestra->getPosition(), ePoint(384, 2));
  EXPECT_EQ(g->slider->getSize(), eSize(368, 18));

  int emessi = 0;
  g->sliderMosso.connect([&] { ++emessi; });
  g->inibisciScrollBitmap(1);
  g->slider->changed.emit(120);
  EXPECT_EQ(emessi, 1);    // one connection, not one per layout
  g->inibisciScrollBitmap(0);
  g->slider->changed.emit(120);
  EXPECT_EQ(g->origineX, -120);
}

TEST(eGrafico, GridAndTicksOfTheScanRange) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  ASSERT_EQ(dimensioneBitmap(*g), eSize(2470, 200));
  EXPECT_EQ(g->ampiezzaRange, 2270);
  EXPECT_EQ(g->slider->getMax(), 2270 - 500);

  const int sfondo = 0;
  auto griglia = [](int r) { return r >= 20 && r <= 180 && r % 20 == 0; };
  auto verticale = [](int c) { return c >= 10 && c <= 2260 && c % 10 == 0; };
  auto tacca = [](int c) { return c >= 100 && c <= 2200 && c % 100 == 0; };

  // Column 5 lies between vertical lines: only the horizontal grid crosses it.
  for (int r = 0; r < 200; ++r)
    ASSERT_EQ(pixel(*g, 5, r), griglia(r) ? GRIGLIA : sfondo) << "row " << r;
  for (int c = 0; c < 2470; ++c) {
    SCOPED_TRACE("column " + std::to_string(c));
    // Row 15: between the top ticks and the first horizontal line.
    ASSERT_EQ(pixel(*g, c, 15), verticale(c) ? GRIGLIA : sfondo);
    // The horizontal lines run from column 0 to 2270 inclusive.
    ASSERT_EQ(pixel(*g, c, 20), c <= 2270 ? GRIGLIA : sfondo);
    ASSERT_EQ(pixel(*g, c, 180), c <= 2270 ? GRIGLIA : sfondo);
    // Tick pairs: rows 0..10 and 190..199 (200 lies below the bitmap).
    for (int r : {0, 10, 190, 199})
      ASSERT_EQ(pixel(*g, c, r), tacca(c) ? SCALA : verticale(c) ? GRIGLIA : sfondo) << r;
    ASSERT_EQ(pixel(*g, c, 11), verticale(c) ? GRIGLIA : sfondo);
    ASSERT_EQ(pixel(*g, c, 189), verticale(c) ? GRIGLIA : sfondo);
  }
}

TEST(eGrafico, NoTickOrGridLineAtTheEndOfTheRange) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12900, 100);   // the end falls on a tick
  ASSERT_EQ(dimensioneBitmap(*g), eSize(2400, 200));
  EXPECT_EQ(pixel(*g, 2100, 5), SCALA);
  EXPECT_EQ(pixel(*g, 2190, 15), GRIGLIA);
  EXPECT_EQ(pixel(*g, 2200, 5), 0);
  EXPECT_EQ(pixel(*g, 2200, 15), 0);
  EXPECT_EQ(pixel(*g, 2200, 20), GRIGLIA);   // the horizontal lines reach it
  EXPECT_EQ(pixel(*g, 2201, 20), 0);
}

TEST(eGrafico, TwentyThreeScaleLabels) {
  // Wide enough for every label to lie inside the widget.
  auto g = grafico(2400, 240);
  g->setRange(10700, 12970, 100);
  Dipinto d(*g);
  for (int k = 0; k < 23; ++k)
    EXPECT_TRUE(etichettaUguale(*g, d, 100 * k, std::to_string(10700 + 100 * k)));
  // No label at offset 2300 (13000): it is not below 2270.
  EXPECT_TRUE(rigaIntatta(d, 2300, 2400, 222, 240));
  // Nothing between the label boxes.
  EXPECT_TRUE(rigaIntatta(d, 90, 100, 222, 240));
}

TEST(eGrafico, LabelsAndBitmapFollowTheScroll) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  ultimaColonna = -1;
  g->muoviOrigineBitmap(11200, 0);
  ASSERT_EQ(g->origineX, -500);
  Dipinto d(*g);
  EXPECT_TRUE(etichettaUguale(*g, d, 0, "11200"));
  EXPECT_TRUE(etichettaUguale(*g, d, 100, "11300"));
  // Bitmap column 500 (a grid line) now at widget column 0, row 15 at widget row 37.
  EXPECT_EQ(d.at(0, 37), GRIGLIA);
  EXPECT_EQ(d.at(5, 37), 0);
  EXPECT_EQ(d.at(0, 22), SCALA);    // tick of 11200 at the top

  // A label whose left edge lies outside the painted area is left out.
  Dipinto parziale(*g, eRect(150, 0, 350, 240));
  EXPECT_TRUE(rigaIntatta(parziale, 100, 190, 222, 240));
  EXPECT_TRUE(etichettaUguale(*g, parziale, 200, "11400"));
}

TEST(eGrafico, NoLabelsAndNoBitmapBeforeTheFirstSetRange) {
  auto g = grafico(500, 240);
  Dipinto d(*g);
  EXPECT_TRUE(rigaIntatta(d, 0, 500, 0, 240));
}

TEST(eGrafico, ScrollColumns) {
  // Widget 500 wide: half width 250, last column 2270 - 500 = 1770.
  struct Caso { int frequenza, centra; bool sposta; int colonna; } casi[] = {
      {10700 + 250 - 1, 1, false, 0},   // column -1
      {10700, 1, false, 0},
      {10699, 0, false, 0},
      {11000, 1, true, 50},
      {11000, 0, true, 300},
      {12470, 0, true, 1770},
      {12471, 0, true, 1770},
      {12970, 1, true, 1770},
      {12970, 0, true, 1770},
      {13500, 0, true, 1770},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(std::to_string(c.frequenza) + "/" + std::to_string(c.centra));
    auto g = grafico(500, 240);
    g->setRange(10700, 12970, 100);
    g->slider->setValue(7);
    ultimaColonna = -99;
    g->muoviOrigineBitmap(c.frequenza, c.centra);
    if (c.sposta) {
      EXPECT_EQ(g->origineX, -c.colonna);
      EXPECT_EQ(g->slider->getValue(), c.colonna);
      EXPECT_EQ(ultimaColonna, c.colonna);
    } else {
      EXPECT_EQ(g->origineX, 0);
      EXPECT_EQ(g->slider->getValue(), 7);
      EXPECT_EQ(ultimaColonna, -99);
    }
  }
}

TEST(eGrafico, ScrollToTheSameColumnHappensOnce) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  ultimaColonna = -99;
  g->muoviOrigineBitmap(11000, 1);
  ASSERT_EQ(g->slider->getValue(), 50);
  g->slider->setValue(7);
  g->muoviOrigineBitmap(10750, 0);      // column 50 again
  EXPECT_EQ(g->slider->getValue(), 7);
  EXPECT_EQ(g->origineX, -50);
  g->muoviOrigineBitmap(10760, 0);
  EXPECT_EQ(g->slider->getValue(), 60);
  EXPECT_EQ(g->origineX, -60);
}

TEST(eGrafico, SharedColumnSuppressesAFirstScrollToColumnZero) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  ultimaColonna = 0;
  g->slider->setValue(7);
  g->muoviOrigineBitmap(10700, 0);
  EXPECT_EQ(g->slider->getValue(), 7);
  EXPECT_EQ(g->origineX, 0);
  EXPECT_EQ(ultimaColonna, 0);
}

TEST(eGrafico, ALaterGraphStillScrollsToWhereAnEarlierOneStopped) {
  {
    auto primo = grafico(500, 240);
    primo->setRange(10700, 12970, 100);
    ultimaColonna = -99;
    primo->muoviOrigineBitmap(12970, 1);
    ASSERT_EQ(ultimaColonna, 1770);
  }
  auto secondo = grafico(500, 240);
  secondo->setRange(10700, 12970, 100);
  secondo->muoviOrigineBitmap(12970, 1);
  EXPECT_EQ(secondo->origineX, -1770);
  EXPECT_EQ(secondo->slider->getValue(), 1770);
  EXPECT_EQ(ultimaColonna, 1770);
}

TEST(eGrafico, ProgramScrollsWhileTheUserCannot) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  g->inibisciScrollBitmap(1);
  ultimaColonna = -99;
  g->muoviOrigineBitmap(11300, 1);
  EXPECT_EQ(g->origineX, -350);
  EXPECT_EQ(g->scrollInibito, 1);
}

TEST(eGrafico, SliderMovesAreSignalledWhileScrollingIsInhibited) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  const std::string prima = "<<<<<<<<<<<<<<<< EMETTO IL MESSAGGIO <<<<<<<<<<<<<<<<<<<";
  const std::string dopo = "<<<<<<<<<<<<<<<< MESSAGGIO EMESSO <<<<<<<<<<<<<<<<<<<";
  std::vector<std::string> righeAlSegnale;
  g->sliderMosso.connect([&] { righeAlSegnale = emu::logLines(); });
  g->inibisciScrollBitmap(1);
  emu::clearLog();
  g->slider->changed.emit(300);
  EXPECT_EQ(righeAlSegnale, std::vector<std::string>{prima});
  EXPECT_EQ(emu::logLines(), (std::vector<std::string>{prima, dopo}));
  EXPECT_EQ(g->origineX, 0);
  g->inibisciScrollBitmap(0);
  emu::clearLog();
  righeAlSegnale.clear();
  g->slider->changed.emit(300);
  EXPECT_TRUE(righeAlSegnale.empty());
  EXPECT_TRUE(emu::logLines().empty());
  EXPECT_EQ(g->origineX, -300);
}

TEST(eGrafico, LinesAreClippedToTheBitmap) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  g->line(-5, 105, 3, 105, ROSSO, 1);
  g->line(15, 150, 15, 400, ROSSO, 1);
  g->line(2500, 5, 2500, 5, ROSSO, 0);
  for (int c = 0; c <= 3; ++c)
    EXPECT_EQ(pixel(*g, c, 105), ROSSO);
  EXPECT_EQ(pixel(*g, 4, 105), 0);
  for (int r = 150; r < 200; ++r)
    EXPECT_EQ(pixel(*g, 15, r), ROSSO);
  EXPECT_EQ(pixel(*g, 15, 149), 0);
}

TEST(eGrafico, NewBackgroundClearsThePlot) {
  auto g = grafico(500, 240);
  g->setRange(10700, 12970, 100);
  g->line(5, 5, 5, 5, BIANCO, 0);
  ASSERT_EQ(pixel(*g, 5, 5), BIANCO);
  g->setBitmapBkColor(VIOLA);
  EXPECT_EQ(pixel(*g, 5, 5), VIOLA);
  EXPECT_EQ(pixel(*g, 5, 20), GRIGLIA);
  EXPECT_EQ(pixel(*g, 2469, 199), VIOLA);
  EXPECT_EQ(dimensioneBitmap(*g), eSize(2470, 200));
  const gPixmap copia = g->getImmagine();
  EXPECT_EQ(copia.getSize(), eSize(2470, 200));
  EXPECT_EQ(copia.data, std::atomic_load(&g->immagine)->data);
}

TEST(eGrafico, BackgroundProperty) {
  auto g = grafico(500, 240);
  EXPECT_EQ(g->setProperty("setBitmapBkColor", "std_red"), 0);
  EXPECT_EQ(int(g->coloreSfondoBitmap), ROSSO);
  EXPECT_EQ(pixel(*g, 5, 5), ROSSO);
  // Anything else is the host widget's.
  eWidget semplice(&genitore());
  EXPECT_EQ(g->setProperty("nonEsiste", "1"), semplice.setProperty("nonEsiste", "1"));
}

TEST(eGrafico, SpacingsOfZeroDrawNoLinesOfThatKind) {
  struct Caso {
    const char* nome;
    int altezzaWidget, start, end, step;
    int larghezza, altezza;
    bool orizzontali, verticali, tacche, etichette;
  } casi[] = {
      {"low bitmap", 49, 10700, 12970, 100, 2470, 9, false, true, true, true},
      {"step below 10", 240, 10700, 10800, 5, 110, 200, true, false, true, true},
      {"step 0", 240, 10700, 10800, 0, 100, 200, true, false, false, false},
      {"negative step", 240, 10700, 12970, -100, 2070, 200, true, false, false, false},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    auto g = grafico(500, c.altezzaWidget);
    g->setRange(c.start, c.end, c.step);
    ASSERT_EQ(dimensioneBitmap(*g), eSize(c.larghezza, c.altezza));
    const int a = c.altezza;
    // Column 3 is never a tick or vertical line: only horizontal lines cross it.
    int orizzontali = 0;
    for (int r = 0; r < a; ++r)
      orizzontali += pixel(*g, 3, r) == GRIGLIA;
    // Row a/2 + 1 is never a horizontal line here.
    int verticali = 0, tacche = 0;
    for (int x = 0; x < c.larghezza; ++x) {
      verticali += pixel(*g, x, a / 2 + 1) == GRIGLIA;
      tacche += pixel(*g, x, 0) == SCALA;
    }
    EXPECT_EQ(orizzontali > 0, c.orizzontali);
    EXPECT_EQ(verticali > 0, c.verticali);
    EXPECT_EQ(tacche > 0, c.tacche);
    Dipinto d(*g);
    const bool etichette = !rigaIntatta(d, 0, 500, g->yFrequenze, c.altezzaWidget);
    EXPECT_EQ(etichette, c.etichette);
  }
}

// A line repaints the graph only when asked to (flag 0); the plots space their
// repaints with this flag.
TEST(eGrafico, ALineRepaintsTheGraphOnlyWithFlag0) {
  eGrafico g(&genitore());
  g.setRange(10700, 12970, 100);
  for (const int flag : {1, 0, 2, 0}) {
    SCOPED_TRACE(flag);
    const unsigned prima = emu::repaintCount(&g);
    g.line(1, 1, 20, 20, gColor(3), flag);
    EXPECT_EQ(emu::repaintCount(&g) - prima, flag == 0 ? 1u : 0u);
  }
}

// Both creators of the plug-in come with start-up level 30: below it the skin
// knows neither, from it on both.
TEST(eGrafico, TheCreatorsAreRegisteredAtLevel30) {
  eWidget& padre = genitore();   // starts the toolkit first: it raises the start-up level itself
  const int prima = eInit::getRunlevel();
  for (const int livello : {29, 30}) {
    SCOPED_TRACE(livello);
    eInit::setRunlevel(livello);
    eWidget finestra(&padre);
    skin().build(&finestra, "prova_creatori");
    EXPECT_EQ(dynamic_cast<eGrafico*>(finestra.search("graficoDaSkin")) != nullptr, livello >= 30);
    EXPECT_EQ(dynamic_cast<eProgBar*>(finestra.search("barraDaSkin")) != nullptr, livello >= 30);
  }
  eInit::setRunlevel(prima);
}

TEST(eGrafico, CreatedByTheSkin) {
  eInit::setRunlevel(30);
  eWidget finestra(&genitore());
  ASSERT_EQ(skin().build(&finestra, "prova_creatori"), 0);
  auto* g = dynamic_cast<eGrafico*>(finestra.search("graficoDaSkin"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->getParent(), &finestra);
  EXPECT_EQ(g->altezzaBitmap, 200);
  EXPECT_EQ(int(g->coloreSfondoBitmap), ROSSO);
  EXPECT_EQ(pixel(*g, 5, 5), ROSSO);
  EXPECT_EQ(pixel(*g, 5, 20), GRIGLIA);
}
