// What the widget tests share: a small skin with known palette indices, and painting
// a widget into a bitmap.
#pragma once
#include <host/gui/gui.h>

namespace prova {

// Palette indices of the test skin.
enum Colore {
  NERO = 0, BIANCO = 1, ROSSO = 2, VERDE = 3, GIALLO_SCURO = 4, GIALLO = 5, BLU = 6,
  BLU_SCURO = 7, GRIGIO = 8, GRIGLIA = 9, GRIGIO_SCURO = 10, GRIGIO_CHIARO = 11, CIANO = 12,
  ARANCIO = 13, SCALA = 14, VIOLA = 15,
  SENTINELLA = 200   // what a test bitmap holds where nothing was painted
};

// Loads the test skin once and makes it active.
eSkin& skin();

// A parent for widgets under test: font Regular:20, foreground white, background dark blue.
eWidget& genitore();

// Paints the widget's own drawing (redrawWidget) into a fresh bitmap of its size.
// area: what redrawWidget is asked to paint; empty means the whole widget.
struct Dipinto {
  explicit Dipinto(eWidget& w, eRect area = eRect());
  gImage immagine;
  int at(int x, int y) const { return *immagine.pixel(x, y); }
  int larghezza() const { return immagine.getSize().width(); }
  int altezza() const { return immagine.getSize().height(); }
};

}  // namespace prova
