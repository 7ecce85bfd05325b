#include <widgets/e_prog_bar.h>

#include <cstdlib>
#include <host/gui/eskin.h>
#include <host/gui/init.h>

namespace {

gColor schema(const char* ruolo) {
  eSkin* skin = eSkin::getActive();
  return skin ? skin->queryScheme(ruolo) : gColor(0);
}

gColor colore(const eString& nome) {
  eSkin* skin = eSkin::getActive();
  return skin ? skin->queryColor(nome) : gColor(0);
}

}  // namespace

eProgBar::eProgBar(eWidget* parent, int takefocus) : eWidget(parent, takefocus) {
  leftColor = schema("eProgress.left");
  rightColor = schema("eProgress.right");
  setForegroundColor(schema("eProgress.border"), true);
}

eProgBar::~eProgBar() = default;

void eProgBar::setPerc(int nuovo) {
  if (perc.exchange(nuovo) != nuovo)
    invalidate(eRect(), 0);
}

void eProgBar::setStart(int nuovo) {
  if (start.exchange(nuovo) != nuovo)
    invalidate(eRect(), 0);
}

int eProgBar::setParams(int nuovoStart, int nuovoPerc) {
  const int vecchioStart = start.exchange(nuovoStart);
  const int vecchioPerc = perc.exchange(nuovoPerc);
  if (vecchioStart == nuovoStart && vecchioPerc == nuovoPerc)
    return 0;
  invalidate(eRect(), 0);
  return 1;
}

int eProgBar::setProperty(const eString& prop, const eString& value) {
  if (prop == "leftColor")
    leftColor = colore(value);
  else if (prop == "rightColor")
    rightColor = colore(value);
  else if (prop == "border")
    border = std::atoi(value.c_str());
  else if (prop == "direction")
    direction = std::atoi(value.c_str());
  else
    return eWidget::setProperty(prop, value);
  return 0;
}

void eProgBar::redrawWidget(gPainter* painter, const eRect&) {
  const int w = size.width();
  const int h = size.height();
  const int b = border;
  const int dir = direction;

  painter->setForegroundColor(getForegroundColor());
  painter->fill(eRect(0, 0, w, b));
  painter->fill(eRect(0, b, b, h - b));
  painter->fill(eRect(b, h - b, w - b, b));
  painter->fill(eRect(w - b, b, b, h - b));

  const int wi = w - 2 * b;
  const int hi = h - 2 * b;
  const long long lunghezza = dir == 0 ? wi : hi;
  // Wide intermediate products: a skin may give any percentage.
  long long s = start * lunghezza / 100;
  if (s < 0) s = 0;
  if (s > lunghezza) s = lunghezza;
  long long p = perc * lunghezza / 100;
  if (p < 0) p = 0;
  if (s + p > lunghezza) p = lunghezza - s;
  const int si = int(s), pi = int(p);

  switch (dir) {
  case 0: {
    painter->setForegroundColor(leftColor);
    painter->fill(eRect(b + si, b, pi, hi));
    painter->setForegroundColor(rightColor);
    // Narrower than ten pixels inside: a spacing of 0, so no dividers.
    const int d = wi / 10;
    if (d > 0)
      for (long long x = b + si; x < pi; x += d)
        painter->line(ePoint(int(x), b), ePoint(int(x), h - 2 * b));
    painter->fill(eRect(b + si + pi, b, wi - si - pi, hi));
    if (si > 0)
      painter->fill(eRect(b, b, si, hi));
    break;
  }
  case 1:
    painter->setForegroundColor(leftColor);
    painter->fill(eRect(b, b + si, wi, pi));
    painter->setForegroundColor(rightColor);
    painter->fill(eRect(b, b + si + pi, wi, hi - si - pi));
    if (si > 0)
      painter->fill(eRect(b, b, wi, si));
    break;
  case 2:
    painter->setForegroundColor(leftColor);
    painter->fill(eRect(b, h - b - si - pi, wi, pi));
    painter->setForegroundColor(rightColor);
    painter->fill(eRect(b, b, wi, hi - si - pi));
    if (si > 0)
      painter->fill(eRect(b, h - b - si, wi, si));
    break;
  default:
    break;   // only the border
  }
}

eWidget* creaProgBar(eWidget* parent) { return new eProgBar(parent, 0); }

eProgBarSkinInit::eProgBarSkinInit() { eSkin::addWidgetCreator("eProgBar", creaProgBar); }
eProgBarSkinInit::~eProgBarSkinInit() { eSkin::removeWidgetCreator("eProgBar", creaProgBar); }

static eAutoInitP0<eProgBarSkinInit> init_eProgBarSkinInit(30, "eProgBar");
