#include "emulator/app/band_plot.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <host/dvbapi/frontend.h>
#include <host/gui/gpainter.h>
#include <host/gui/gpixmap.h>

#include "emulator/app/output_file.h"
#include "emulator/toolkit/screen.h"

namespace app {

namespace {

// Entries 0..63 are a grey ramp, so that text blends smoothly on black.
enum { kBlack = 0, kWhite = 63, kGrid = 70, kAgc = 64, kSnr = 65, kLock = 66, kAxis = 40 };

gPalette plotPalette() {
  gPalette p;
  p.colors.resize(256);
  for (int i = 0; i < 64; ++i) p.colors[size_t(i)] = gRGB(i * 255 / 63, i * 255 / 63, i * 255 / 63);
  p.colors[kAgc] = gRGB(60, 220, 80);
  p.colors[kSnr] = gRGB(250, 210, 40);
  p.colors[kLock] = gRGB(240, 50, 40);
  p.colors[kGrid] = gRGB(45, 45, 60);
  return p;
}

}  // namespace

bool writeBandPlot(const std::vector<BandPoint>& pts, const std::string& title, const std::string& path,
                   std::string* error) {
  if (pts.empty()) {
    if (error) *error = "no readings to plot";
    return false;
  }
  const int W = 1200, H = 520, L = 70, R = 20, T = 40, B = 60;
  const int pw = W - L - R, ph = H - T - B;
  gPalette palette = plotPalette();
  // Text shades come from the active palette: make it the plot's while drawing.
  emu::setPaletteProvider([palette] { return palette; });
  gImage img(eSize(W, H), 8);
  img.clut = palette;
  img.fill(eRect(0, 0, W, H), kBlack);
  gPainter p(img, ePoint(0, 0), eRect(0, 0, W, H));
  p.setBackgroundColor(kBlack);
  p.setFont(gFont("Regular", 16));

  const int f0 = pts.front().freqMHz, f1 = std::max(pts.back().freqMHz, f0 + 1);
  auto xOf = [&](int f) { return L + static_cast<int>(static_cast<long>(f - f0) * (pw - 1) / (f1 - f0)); };
  auto yOf = [&](int v) { return T + ph - 1 - static_cast<int>(static_cast<long>(v) * (ph - 1) / 65535); };

  // Grid: a line every 25 % and at round frequencies.
  for (int q = 0; q <= 4; ++q) {
    int y = yOf(65535 * q / 4);
    img.line(ePoint(L, y), ePoint(L + pw - 1, y), kGrid);
    p.setForegroundColor(kWhite);
    p.renderText(eRect(0, y - 10, L - 8, 20), std::to_string(q * 25) + " %", gPainter::RT_HALIGN_RIGHT);
  }
  int span = f1 - f0, tick = 1;
  for (int t : {1, 2, 5, 10, 20, 50, 100, 200, 250, 500, 1000})
    if (span / t <= 12) { tick = t; break; }
  for (int f = (f0 + tick - 1) / tick * tick; f <= f1; f += tick) {
    int x = xOf(f);
    img.line(ePoint(x, T), ePoint(x, T + ph - 1), kGrid);
    p.setForegroundColor(kWhite);
    p.renderText(eRect(x - 40, T + ph + 6, 80, 20), std::to_string(f), gPainter::RT_HALIGN_CENTER);
  }
  img.line(ePoint(L, T), ePoint(L, T + ph - 1), kAxis);
  img.line(ePoint(L, T + ph - 1), ePoint(L + pw - 1, T + ph - 1), kAxis);

  for (size_t i = 1; i < pts.size(); ++i) {
    img.line(ePoint(xOf(pts[i - 1].freqMHz), yOf(pts[i - 1].agc)), ePoint(xOf(pts[i].freqMHz), yOf(pts[i].agc)), kAgc);
    img.line(ePoint(xOf(pts[i - 1].freqMHz), yOf(pts[i - 1].snr)), ePoint(xOf(pts[i].freqMHz), yOf(pts[i].snr)), kSnr);
  }
  if (pts.size() == 1) {
    img.fill(eRect(xOf(pts[0].freqMHz), yOf(pts[0].agc), 2, 2), kAgc);
    img.fill(eRect(xOf(pts[0].freqMHz), yOf(pts[0].snr), 2, 2), kSnr);
  }
  for (const auto& pt : pts)
    if (pt.status & FE_HAS_LOCK) img.line(ePoint(xOf(pt.freqMHz), T + ph - 12), ePoint(xOf(pt.freqMHz), T + ph - 2), kLock);

  p.setForegroundColor(kWhite);
  p.renderText(eRect(L, 8, pw, 24), title, gPainter::RT_HALIGN_LEFT);
  p.renderText(eRect(L, H - 28, pw, 22), "MHz", gPainter::RT_HALIGN_CENTER);
  p.setForegroundColor(kAgc);
  p.renderText(eRect(W - R - 330, 8, 90, 24), "AGC", gPainter::RT_HALIGN_LEFT);
  p.setForegroundColor(kSnr);
  p.renderText(eRect(W - R - 240, 8, 90, 24), "SNR", gPainter::RT_HALIGN_LEFT);
  p.setForegroundColor(kLock);
  p.renderText(eRect(W - R - 150, 8, 150, 24), "| lock", gPainter::RT_HALIGN_LEFT);
  return emu::writePixmapPng(img, palette, path, error);
}

bool writeBandCsv(const std::vector<BandPoint>& pts, const std::string& path, std::string* error) {
  std::ostringstream f;
  f << "freq_mhz,agc,snr,snr_pct,status,status_bits,lock\n";
  for (const auto& p : pts) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02X", p.status);
    f << p.freqMHz << ',' << p.agc << ',' << p.snr << ',' << (p.snr * 100 / 65536) << ',' << hex << ','
      << statusText(p.status) << ',' << ((p.status & FE_HAS_LOCK) ? 1 : 0) << '\n';
  }
  // Beside and renamed over: an earlier CSV at path stays whole if this one fails.
  try {
    writeFileAtomically(path, f.str());
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}

}  // namespace app
