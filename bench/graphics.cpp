// Drawing speed: lines into the graph's 2470x200 bitmap, text, copies and shots.
#include <benchmark/benchmark.h>

#include <host/gui/gpainter.h>

#include "emulator/toolkit/screen.h"

namespace {

// The plotting's pattern: short vertical segments, some from below the bitmap.
void BM_GraphSegments(benchmark::State& state) {
  gImage img(eSize(2470, 200), 8);
  int x = 0;
  for (auto _ : state) {
    img.line(ePoint(x, 200), ePoint(x, (x * 37) % 200), 3);
    x = (x + 1) % 2470;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GraphSegments);

// Grid lines: full-width rows.
void BM_GraphRows(benchmark::State& state) {
  gImage img(eSize(2470, 200), 8);
  int y = 0;
  for (auto _ : state) {
    img.line(ePoint(0, y), ePoint(2270, y), 4);
    y = (y + 20) % 200;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GraphRows);

// Diagonals with far-away ends: the clipping must not walk them.
void BM_GraphFarDiagonals(benchmark::State& state) {
  gImage img(eSize(2470, 200), 8);
  int n = 0;
  for (auto _ : state) {
    img.line(ePoint(-1000000 - n, -50000), ePoint(1000000 + n, 50000), 5);
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GraphFarDiagonals);

void BM_BlitGraphView(benchmark::State& state) {
  gImage bitmap(eSize(2470, 200), 8);
  gImage screen(eSize(720, 576), 8);
  gPainter p(screen, ePoint(20, 100), eRect(20, 100, 680, 260));
  for (auto _ : state) p.blit(bitmap, ePoint(-500, 22), eRect(0, 0, 680, 260));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BlitGraphView);

void BM_RenderLabel(benchmark::State& state) {
  gImage img(eSize(720, 576), 8);
  gPainter p(img, ePoint(0, 0), eRect(0, 0, 720, 576));
  p.setForegroundColor(255);
  p.setBackgroundColor(0);
  p.setFont(gFont("Regular", int(state.range(0))));
  for (auto _ : state) p.renderText(eRect(10, 10, 600, 60), "ch. trovati: TV [12 - 3]   RD [4 - 0]   DT [1 - 0]", 0);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderLabel)->Arg(16)->Arg(24);

void BM_Screenshot(benchmark::State& state) {
  const std::string path = "/tmp/scruta-bench-shot.png";
  for (auto _ : state) benchmark::DoNotOptimize(emu::writeScreenshot(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_Screenshot);

}  // namespace

BENCHMARK_MAIN();
