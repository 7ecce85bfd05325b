#include <widgets/e_grafico.h>

#include <host/gui/eerror.h>
#include <host/gui/eskin.h>
#include <host/gui/estring.h>
#include <host/gui/init.h>

#include <algorithm>

std::atomic<int> ultimaColonna{0};

namespace {

// Palette index of a skin colour; 0 while no skin is active.
gColor coloreSkin(const eString& nome) {
  eSkin* skin = eSkin::getActive();
  return skin ? skin->queryColor(nome) : gColor(0);
}

}  // namespace

eGrafico::eGrafico(eWidget* parent) : eWidget(parent, 1) {
  if (parent) {
    setFont(gFont(parent->getFont().family, 16));
    setForegroundColor(parent->getForegroundColor(), true);
    setBackgroundColor(parent->getBackgroundColor(), true);
  } else {
    setFont(gFont(eString(), 16));
  }
}

// The children are the host widget's; only the bitmap is ours.
eGrafico::~eGrafico() { std::atomic_store(&immagine, std::shared_ptr<gImage>()); }

int eGrafico::eventHandler(const eWidgetEvent& event) {
  int risultato = eWidget::eventHandler(event);
  if (event.type != eWidgetEvent::changedSize)
    return risultato;

  const int wc = clientrect.width();
  const int hc = clientrect.height();
  const int fs = font.pointSize;
  larghezzaVista = wc;
  yControlli = 2;
  yBitmap = 22;
  // A widget too low for controls, bitmap and labels gets an empty bitmap.
  altezzaBitmap = std::max(0, hc - fs - 24);
  yFrequenze = hc - fs - 2;

  // The host may size the widget again: the children made the first time are reused.
  if (!frecciaSinistra) {
    frecciaSinistra = new eLabel(this, 0, 0, "eLabel");
    frecciaSinistra->setText("<");
  }
  frecciaSinistra->move(ePoint(0, yControlli));
  frecciaSinistra->resize(eSize(fs, fs));

  if (!frecciaDestra) {
    frecciaDestra = new eLabel(this, 0, 0, "eLabel");
    frecciaDestra->setText(">");
  }
  frecciaDestra->move(ePoint(wc - fs, yControlli));
  frecciaDestra->resize(eSize(fs, fs));

  if (!slider) {
    slider = new eSlider(this, frecciaSinistra, 0, 0);
    CONNECT(slider->changed, SigC::slot(*this, &eGrafico::sliderChanged));
  }
  slider->move(ePoint(fs, yControlli));
  slider->resize(eSize(wc - 2 * fs, 18));
  return risultato;
}

void eGrafico::setRange(int start, int end, int step) {
  passoFrequenza = step;
  ampiezzaRange = end - start;
  freqIniziale = start;
  freqFinale = end;

  const int ampiezza = ampiezzaRange;
  const int altezza = altezzaBitmap;
  const long long larghezza = std::max(0LL, static_cast<long long>(ampiezza) + 2LL * step);
  auto nuova = std::make_shared<gImage>(eSize(static_cast<int>(larghezza), altezza), 8);
  nuova->fill(eRect(0, 0, static_cast<int>(larghezza), altezza), coloreSfondoBitmap);

  const int grigio = coloreSkin("std_gray");
  const gColor coloreGriglia = grigio + 1;
  const gColor coloreTacche = grigio + 6;

  // A spacing of 0 or less would never advance: no lines of that kind then.
  const int dy = altezza / 10;
  if (dy > 0)
    for (long long y = dy; y < altezza; y += dy)
      nuova->line(ePoint(0, int(y)), ePoint(ampiezza, int(y)), coloreGriglia);
  const int dx = step / 10;
  if (dx > 0)
    for (long long x = dx; x < ampiezza; x += dx)
      nuova->line(ePoint(int(x), 0), ePoint(int(x), altezza), coloreGriglia);
  if (step > 0)
    for (long long x = step; x < ampiezza; x += step) {
      nuova->line(ePoint(int(x), altezza - 10), ePoint(int(x), altezza), coloreTacche);
      nuova->line(ePoint(int(x), 0), ePoint(int(x), 10), coloreTacche);
    }

  std::atomic_store(&immagine, std::move(nuova));
  if (slider)
    slider->setMax(ampiezza - larghezzaVista);
}

void eGrafico::line(int x1, int y1, int x2, int y2, gColor colore, int nonRidisegnare) {
  if (auto img = bitmap())
    img->line(ePoint(x1, y1), ePoint(x2, y2), colore);
  if (nonRidisegnare == 0)
    ridisegna();
}

// The copy shares the pixels: it is valid only while the graph holds this bitmap.
gPixmap eGrafico::getImmagine() {
  if (auto img = bitmap())
    return static_cast<const gPixmap&>(*img);
  return gPixmap();
}

void eGrafico::muoviOrigineBitmap(int frequenza, int centra) {
  const int wc = larghezzaVista;
  const int ampiezza = ampiezzaRange;
  int colonna = centra ? frequenza - (wc / 2 + freqIniziale) : frequenza - freqIniziale;
  if (colonna < 0)
    return;
  if (ampiezza - colonna < wc)
    colonna = ampiezza - wc;
  // The shared column alone would keep a new graph from ever showing the column where
  // an earlier one stopped; skip only when this graph already shows it.
  if (colonna == ultimaColonna && colonna == -origineX)
    return;
  ultimaColonna = colonna;
  if (slider)
    slider->setValue(colonna);
  // Scrolls whether or not the user's scrolling is inhibited, without lifting the
  // inhibition meanwhile (the GUI thread may change it at the end of the scan).
  origineX = -colonna;
  ridisegna();
}

void eGrafico::inibisciScrollBitmap(int inibisci) { scrollInibito = inibisci; }

void eGrafico::sliderChanged(int valore) {
  if (scrollInibito) {
    eDebug("<<<<<<<<<<<<<<<< EMETTO IL MESSAGGIO <<<<<<<<<<<<<<<<<<<");
    sliderMosso.emit();
    eDebug("<<<<<<<<<<<<<<<< MESSAGGIO EMESSO <<<<<<<<<<<<<<<<<<<");
    return;
  }
  origineX = -valore;
  ridisegna();
}

void eGrafico::setBitmapBkColor(gColor colore) {
  coloreSfondoBitmap = colore;
  setRange(freqIniziale, freqFinale, passoFrequenza);
}

int eGrafico::setProperty(const eString& prop, const eString& value) {
  if (prop == "setBitmapBkColor") {
    setBitmapBkColor(coloreSkin(value));
    return 0;
  }
  return eWidget::setProperty(prop, value);
}

void eGrafico::redrawWidget(gPainter* painter, const eRect& area) {
  const int passo = passoFrequenza;
  const int ampiezza = ampiezzaRange;
  if (passo > 0)
    for (long long offset = 0; offset < ampiezza; offset += passo)
      redrawFrequenza(painter, int(offset), area);
  if (auto img = bitmap())
    painter->blit(*img, ePoint(origineX, yBitmap), area);
}

void eGrafico::redrawFrequenza(gPainter* painter, int offset, const eRect& area) {
  const int x = offset + origineX;
  if (x < area.x1 || x > area.x2)
    return;
  const eRect riquadro(x, yFrequenze, 90, 30);
  painter->clip(riquadro);
  painter->setForegroundColor(getForegroundColor());
  painter->setBackgroundColor(getBackgroundColor());
  painter->setFont(font);
  eString testo;
  testo.setNum(freqIniziale + offset, 10);
  painter->renderText(riquadro, testo, 0);
  painter->clippop();
}

eWidget* creaGrafico(eWidget* parent) { return new eGrafico(parent); }

eGraficoSkinInit::eGraficoSkinInit() { eSkin::addWidgetCreator("eGrafico", creaGrafico); }
eGraficoSkinInit::~eGraficoSkinInit() { eSkin::removeWidgetCreator("eGrafico", creaGrafico); }

// Registered when the plug-in is loaded, taken out again when it is unloaded.
static eAutoInitP0<eGraficoSkinInit> init_eGraficoSkinInit(30, "eGrafico");
