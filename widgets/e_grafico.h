// Spectrum graph: a plot bitmap far wider than the widget, one column per MHz,
// scrolled horizontally under a "<" slider ">" row and above a scale of frequencies.
#pragma once
#include <atomic>
#include <memory>
#include <host/gui/elabel.h>
#include <host/gui/eslider.h>
#include <host/gui/ewidget.h>
#include <host/gui/gpainter.h>
#include <host/gui/gpixmap.h>
#include <host/gui/sigc.h>

class eGrafico : public eWidget {
public:
  explicit eGrafico(eWidget* parent);
  ~eGrafico() override;

  // A new bitmap with grid and ticks for start..end MHz, ticks and labels every step MHz.
  void setRange(int start, int end, int step);
  // A line in bitmap coordinates (clipped); flag 0 also repaints the whole widget.
  void line(int x1, int y1, int x2, int y2, gColor colore, int nonRidisegnare);
  // The bitmap's pixmap description; the pixels stay shared with the graph.
  gPixmap getImmagine();
  // Scrolls so that the frequency is centred (centra != 0) or at the left edge.
  void muoviOrigineBitmap(int frequenza, int centra);
  void inibisciScrollBitmap(int inibisci);
  void sliderChanged(int valore);
  // Sets the background colour and starts over with an empty bitmap.
  void setBitmapBkColor(gColor colore);

  int setProperty(const eString& prop, const eString& value) override;
  int eventHandler(const eWidgetEvent& event) override;
  void redrawWidget(gPainter* painter, const eRect& area) override;
  void redrawFrequenza(gPainter* painter, int offset, const eRect& area);

  // Written by the scan's worker, read by the painting: hence atomic.
  std::shared_ptr<gImage> immagine;    // only through std::atomic_load/atomic_store
  std::atomic<int> origineX{0};
  std::atomic<int> scrollInibito{0};
  eLabel* frecciaSinistra = nullptr;
  eLabel* frecciaDestra = nullptr;
  eSlider* slider = nullptr;
  std::atomic<int> altezzaBitmap{0};
  std::atomic<int> ampiezzaRange{0};   // 0 until setRange: no labels are painted before
  std::atomic<int> yBitmap{22};
  std::atomic<int> yControlli{2};
  std::atomic<int> yFrequenze{0};
  std::atomic<int> freqIniziale{10700};
  std::atomic<int> freqFinale{12970};
  std::atomic<int> passoFrequenza{100};
  gColor coloreSfondoBitmap = 0;
  SigC::Signal0<void> sliderMosso;

private:
  // Client width as of the last layout: the worker scrolls with it while the GUI thread
  // owns the widget's geometry.
  std::atomic<int> larghezzaVista{0};
  std::shared_ptr<gImage> bitmap() const { return std::atomic_load(&immagine); }
  void ridisegna() { invalidate(eRect(), 0); }
};

// The last scroll column muoviOrigineBitmap applied, shared by every graph of the process.
extern std::atomic<int> ultimaColonna;

// Creator registered with the skin under "eGrafico".
eWidget* creaGrafico(eWidget* parent);

class eGraficoSkinInit {
public:
  eGraficoSkinInit();
  ~eGraficoSkinInit();
};
