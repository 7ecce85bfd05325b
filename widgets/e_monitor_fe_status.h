// Frontend status monitor: SNR, AGC and bit-error bars with their numbers, and six
// status lights. It changes only when update() is called.
#pragma once
#include <host/dvb/frontend.h>
#include <host/gui/elabel.h>
#include <host/gui/ewidget.h>
#include <widgets/e_prog_bar.h>

class eMonitorFEstatus : public eWidget {
public:
  // The int is accepted for the callers' sake and has no effect.
  eMonitorFEstatus(eWidget* parent, eFrontend* frontend, int);
  ~eMonitorFEstatus() override;

  // Reads SNR, signal strength, BER and status, in this order; any thread.
  void update();
  int eventHandler(const eWidgetEvent& event) override;

  eProgBar* p_snr;
  eProgBar* p_agc;
  eProgBar* p_ber;
  eLabel* snr_num;
  eLabel* agc_num;
  eLabel* ber_num;
  eLabel* lsnr;
  eLabel* lagc;
  eLabel* lber;
  eLabel* lSignal;
  eLabel* lCarrier;
  eLabel* lViterbi;
  eLabel* lSync;
  eLabel* lLock;
  eLabel* lReinizializza;
  eFrontend* frontend;
  gColor coloreAcceso;
  gColor coloreSpento;
};

// How many times x can be halved before it is 1 or less.
int log2(unsigned int x);
