// The skin loader on any file, then `build` of the settings window and of the scan
// window, each with the children the plug-in gives it: a refusal or a built window,
// never a crash.
#include <host/dvb/frontend.h>
#include <host/gui/gui.h>
#include <widgets/e_grafico.h>
#include <widgets/e_monitor_fe_status.h>
#include <widgets/e_prog_bar.h>
#include "emulator/toolkit/emu.h"
#include "fuzz_file.h"

namespace {

eLabel* label(eWidget* parent, const char* name) {
  auto* l = new eLabel(parent, 0, 0, "eLabel");
  l->setName(name);
  return l;
}

// The settings window's children, by kind and name.
struct SettingsWindow : eWindow {
  SettingsWindow() : eWindow(0) {
    for (const char* list : {"tipoRicerca", "polarita"}) {
      auto* lb = new eListBox<eListBoxEntryText>(this, label(this, (std::string("l") + list).c_str()), 1);
      lb->setName(list);
      new eListBoxEntryText(lb, "voce", nullptr, 0, eString(), 0);
    }
    int digits[5] = {1, 0, 7, 0, 0};
    for (const char* n : {"freqStart", "freqEnd", "valStepFrequenza", "startSymbolRate", "endSymbolRate",
                          "valStepSymbolRate", "valRitardoScansione", "valSogliaAggancio"}) {
      auto* num = new eNumber(this, 5, 0, 9, 1, digits, 0, label(this, "etichetta"), 1, "eNumber");
      num->setName(n);
    }
    for (const char* n : {"autoStepFrequenza", "autoStartSymbolRate", "autoEndSymbolRate", "autoStepSymbolRate"})
      label(this, n);
    for (const char* n : {"bt_abort", "bt_ok", "bt_showSR", "bt_showCanaliTrovati", "bt_thanks"})
      (new eButton(this, nullptr, 1, "eButton"))->setName(n);
  }
};

struct ScanWindow : eWindow {
  ScanWindow() : eWindow(1) {
    for (const char* n : {"lSatelliteNome", "lFrequenzaValore", "lPolarizzazioneValore", "lSymbolRateValore",
                          "lb_range", "lcanaliTrovati", "lStatus"})
      label(this, n);
    (new eProgBar(this, 0))->setName("progBar");
    (new eMonitorFEstatus(this, eFrontend::frontend, 1))->setName("monitorFE");
    auto* g = new eGrafico(this);
    g->setName("grafico");
    g->inibisciScrollBitmap(1);
    (new eButton(this, nullptr, 1, "eButton"))->setName("bt_abort");
  }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  emu::setLogToStderr(false);
  emu::startToolkit();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string file = fuzz::write("scrutafasci.esml", data, size);
  eSkin skin;
  if (skin.load(file.c_str()) != 0) return 0;
  {
    SettingsWindow w;
    skin.build(&w, "scrutafasci");
  }
  {
    ScanWindow w;
    skin.build(&w, "scan4transp");
  }
  return 0;
}
