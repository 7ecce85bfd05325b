#include <widgets/e_monitor_fe_status.h>

#include <host/gui/eskin.h>
#include <host/gui/estring.h>

namespace {

// Status word bits that light the lights.
enum {
  BIT_SIGNAL = 0x02,
  BIT_LOCK = 0x08,
  BIT_CARRIER = 0x10,
  BIT_VITERBI = 0x20,
  BIT_SYNC = 0x40,
};

eLabel* etichetta(eWidget* padre, const char* nome, const char* testo) {
  eLabel* l = new eLabel(padre, 0, 0, "eLabel");
  if (testo)
    l->setText(testo);
  l->setName(nome);
  return l;
}

void posiziona(eWidget* w, int x, int y, int larghezza, int altezza) {
  w->move(ePoint(x, y));
  w->resize(eSize(larghezza, altezza));
}

eProgBar* barra(eWidget* padre, const char* nome, int x, int y) {
  eProgBar* b = new eProgBar(padre, 0);
  b->setName(nome);
  posiziona(b, x, y, 300, 12);
  return b;
}

// A 16-bit reading in percent of full scale, truncated.
int percento(int lettura) { return int(static_cast<long long>(lettura) * 100 / 65536); }

}  // namespace

int log2(unsigned int x) {
  int conta = 0;
  while (x > 1) {
    x >>= 1;
    ++conta;
  }
  return conta;
}

eMonitorFEstatus::eMonitorFEstatus(eWidget* parent, eFrontend* fe, int)
    : eWidget(parent, 0), frontend(fe) {
  setFont(gFont(parent ? parent->getFont().family : eString(), 18));

  lsnr = etichetta(this, "lsnr", "snr");
  snr_num = etichetta(this, "snr_num", nullptr);
  lagc = etichetta(this, "lagc", "agc");
  agc_num = etichetta(this, "agc_num", nullptr);
  lber = etichetta(this, "lber", "ber");
  ber_num = etichetta(this, "ber_num", nullptr);
  lSignal = etichetta(this, "lSignal", "SI");
  lCarrier = etichetta(this, "lCarrier", "CA");
  lViterbi = etichetta(this, "lViterbi", "VI");
  lSync = etichetta(this, "lSync", "SY");
  lLock = etichetta(this, "lLock", "LO");
  lReinizializza = etichetta(this, "lReinizializza", "RE");

  posiziona(lsnr, 2, 0, 40, 30);
  p_snr = barra(this, "p_snr", 45, 5);
  posiziona(snr_num, 355, 0, 60, 30);
  posiziona(lagc, 2, 22, 40, 30);
  p_agc = barra(this, "p_agc", 45, 27);
  posiziona(agc_num, 355, 22, 60, 30);
  posiziona(lber, 2, 44, 40, 30);
  p_ber = barra(this, "p_ber", 45, 49);
  posiziona(ber_num, 355, 44, 60, 30);
  posiziona(lSignal, 415, 0, 24, 18);
  posiziona(lCarrier, 445, 0, 24, 18);
  posiziona(lSync, 415, 20, 24, 18);
  posiziona(lLock, 445, 20, 24, 18);
  posiziona(lViterbi, 415, 40, 24, 18);
  posiziona(lReinizializza, 445, 40, 24, 18);

  coloreSpento = parent ? parent->getBackgroundColor() : getBackgroundColor();
  eSkin* skin = eSkin::getActive();
  coloreAcceso = skin ? skin->queryColor("std_green") : gColor(0);
}

// The children belong to the host widget, the frontend to the host.
eMonitorFEstatus::~eMonitorFEstatus() = default;

void eMonitorFEstatus::update() {
  if (!frontend)
    return;   // nothing to read: the monitor keeps what it shows
  const int snrP = percento(frontend->SNR());
  const int agcP = percento(frontend->SignalStrength());
  const unsigned int ber = frontend->BER();

  p_agc->setPerc(agcP);
  p_snr->setPerc(snrP);
  p_ber->setPerc(log2(ber));

  eString testo;
  snr_num->setText(testo.sprintf("%d%%", snrP));
  agc_num->setText(testo.sprintf("%d%%", agcP));
  // Shown signed, as the box always has: an all-ones count reads -1.
  ber_num->setText(testo.sprintf("%d", int(ber)));

  const int status = frontend->Status();
  const struct {
    eLabel* luce;
    int bit;
  } luci[] = {
      {lLock, BIT_LOCK},       {lSync, BIT_SYNC},       {lSignal, BIT_SIGNAL},
      {lCarrier, BIT_CARRIER}, {lViterbi, BIT_VITERBI}, {lReinizializza, BIT_SYNC},
  };
  for (const auto& l : luci)
    l.luce->setBackgroundColor((status & l.bit) ? coloreAcceso : coloreSpento, true);
}

int eMonitorFEstatus::eventHandler(const eWidgetEvent& event) {
  switch (event.type) {
  case 1: case 2: case 5: case 6:
    return 1;
  default:
    return eWidget::eventHandler(event);
  }
}
