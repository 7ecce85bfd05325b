#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "ambiente.h"
#include <widgets/e_grafico.h>
#include <widgets/e_prog_bar.h>

using namespace prova;

// The scan's worker plots and scrolls while the GUI thread paints; the sanitizer builds
// watch the two threads.
TEST(concorrenza, WorkerPlotsWhileTheGraphIsPainted) {
  auto g = std::make_unique<eGrafico>(&genitore());
  g->resize(eSize(500, 240));
  g->setRange(10700, 12970, 100);
  std::atomic<bool> fine{false};
  std::thread worker([&] {
    for (int f = 10700; f < 12970; ++f) {
      g->line(f - 10700, 199, f - 10700, 100 + f % 50, BIANCO, f % 4 != 0);
      if (f % 10 == 0)
        g->muoviOrigineBitmap(f, 1);
    }
    fine = true;
  });
  int dipinti = 0;
  while (!fine || dipinti == 0) {
    Dipinto d(*g);
    ++dipinti;
  }
  worker.join();
  EXPECT_GT(dipinti, 0);
  for (int c : {0, 1000, 2269})
    EXPECT_EQ(*std::atomic_load(&g->immagine)->pixel(c, 199), BIANCO) << c;
  EXPECT_EQ(g->origineX, -1770);
}

TEST(concorrenza, WorkerSetsTheBarWhileItIsPainted) {
  eProgBar b(&genitore(), 0);
  b.resize(eSize(300, 12));
  std::atomic<bool> fine{false};
  std::thread worker([&] {
    for (int i = 0; i <= 2000; ++i)
      b.setPerc(i % 101);
    fine = true;
  });
  while (!fine)
    Dipinto d(b);
  worker.join();
  EXPECT_EQ(b.perc, 2000 % 101);
}
