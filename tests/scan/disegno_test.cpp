// The scan window's plotting methods reach its graph with its own colours and state.
#include "scan_fixture.h"
#include "widgets/e_grafico.h"

namespace scantest {
namespace {

TEST_F(ScanTest, TheFoundTransponderMarkIsDrawnInRedOnTheWindowsGraph) {
  carica(banda());
  scan4transp& w = finestra();
  w.initVariabili();
  std::shared_ptr<gImage> bitmap = std::atomic_load(&w.grafico->immagine);
  ASSERT_TRUE(bitmap);
  ASSERT_NE(int(w.coloreRosso), int(w.coloreBianco));
  w.disegnaSpettroTransponderTrovato(11500, 30000);
  for (int x : {800, 801})
    for (int y = 0; y <= 5; ++y) EXPECT_EQ(*bitmap->pixel(x, y), uint8_t(int(w.coloreRosso))) << x << "," << y;
  EXPECT_NE(*bitmap->pixel(799, 3), uint8_t(int(w.coloreRosso)));
}

TEST_F(ScanTest, TheFirstPlotOfAScanTakesItsColumnAndTheSkipCrossIsWhite) {
  carica(banda());
  scan4transp& w = finestra();
  w.initVariabili();
  std::shared_ptr<gImage> bitmap = std::atomic_load(&w.grafico->immagine);
  ASSERT_TRUE(bitmap);
  w.disegnaSpettro(11000, 40000, 30000, 1);
  EXPECT_EQ(w.ultimaXGrafico, 300);
  w.disegnaCroceFreqSaltata(11200);   // centred on column 500, near the top
  EXPECT_EQ(*bitmap->pixel(495, 5), uint8_t(int(w.coloreBianco)));
  EXPECT_EQ(*bitmap->pixel(505, 5), uint8_t(int(w.coloreBianco)));
}

}  // namespace
}  // namespace scantest
