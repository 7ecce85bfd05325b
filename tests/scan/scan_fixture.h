// A scan window on the emulated box: a temporary root with the skin, a scenario
// loaded into the receiver, and a driver thread that plays the user while the
// test thread (the GUI thread) runs the window.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "emulator/receiver/receiver.h"
#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"
#include "scan/scan4transp.h"
#include "support/scenario_builder.h"
#include "support/temp_root.h"

namespace scantest {

using emu::Polarisation;

// The ten scan parameters, at the settings window's defaults.
struct Parametri {
  int freqStart = 10700, freqEnd = 12750, step = 3;
  int srStart = 27500, srEnd = 27500, srStep = 1000;
  int ritardo = 0, polarita = 0, tipo = RICERCA_STANDARD, soglia = 53;
};

inline std::string leggeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool esiste(const std::string& path) { return std::ifstream(path).good(); }

// The values the plug-in's own requests of this kind returned, in order, from the
// tuner's request log (enable and clear it before the calls).
inline std::vector<int> valoriRichiesti(const char* richiesta) {
  std::vector<int> v;
  emu::box().tuner().requests().visit([&](const emu::RequestRecord& r) {
    if (r.origin == emu::RequestOrigin::Device && std::string(r.request) == richiesta) v.push_back(int(r.value));
  });
  return v;
}

class ScanTest : public ::testing::Test {
public:
  void SetUp() override {
    emu::startToolkit();
    emu::setLogToStderr(false);
    root_ = std::make_unique<testsupport::TempRoot>();
    std::ofstream(root_->plugins("scrutafasci.esml"), std::ios::binary)
        << leggeFile(std::string(SCRUTA_SOURCE_DIR) + "/skin/scrutafasci.esml");
    emu::box().faults().clear();
    emu::box().clock().setRealtime(false);
    emu::box().clock().reset(0);
    emu::box().knobs() = emu::Knobs();
    emu::box().tuner().requests().enable(false);
    emu::box().tuner().requests().clear();
    emu::clearLog();
    scan4transp::ultimaFreqMostrata = 0;
    scan4transp::contaPassiGrafico = 0;
    scan4transp::contaGraficoStandard = 0;
  }

  void TearDown() override {
    finestra_.reset();
    emu::box().faults().clear();
    emu::receiver().reset();
    root_.reset();
  }

  // A band on 19.2E (port 0, universal LNB) with the receiver tuned to a carrier at
  // 12603 V, far from the frequencies the tests scan.
  static testsupport::ScenarioBuilder banda() {
    testsupport::ScenarioBuilder b;
    b.satellite(192, 0, "Astra 19.2E").carrier(12603, Polarisation::Vertical, 22000, 5, 12);
    b.tunedTo(192, 12603, Polarisation::Vertical, 22000);
    return b;
  }

  void carica(const emu::Scenario& s) { emu::receiver().load(s); }
  void carica(const testsupport::ScenarioBuilder& b) { carica(b.build()); }

  scan4transp& finestra(const Parametri& p = Parametri()) {
    finestra_ = std::make_unique<scan4transp>(p.freqStart, p.freqEnd, p.step, p.srStart, p.srEnd, p.srStep,
                                              p.ritardo, p.polarita, p.tipo, p.soglia, percorsoLog_);
    return *finestra_;
  }

  // Prepares the window as Exec does, without running it: for calling the scan's
  // steps directly on this thread.
  scan4transp& preparata(const Parametri& p = Parametri()) {
    scan4transp& w = finestra(p);
    w.initVariabili();
    EXPECT_EQ(w.preparaScanFreq(), 1);
    w.inScansione = 1;
    return w;
  }

  // Runs Exec on this thread while pilota plays the user on another. When the
  // driver gives up, it keeps asking the windows to close, and at last ends the
  // scan window's run, so that no test hangs.
  void esegui(scan4transp& w, const std::function<bool()>& pilota) {
    std::atomic<bool> finito{false}, forzata{false};
    std::thread driver([&] {
      if (!pilota())
        ADD_FAILURE() << "the driver did not see what it waited for; on screen: " << schermo();
      else if (!emu::waitUntil([&] { return finito.load(); }, 10000))
        ADD_FAILURE() << "the window did not close; on screen: " << schermo();
      for (int i = 0; i < 400 && !finito; ++i) {
        emu::postKey("exit");
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
      if (!finito) {   // a window deaf to close requests
        ADD_FAILURE() << "the window ignored every close request; on screen: " << schermo();
        forzata = true;
        emu::post([&] {
          if (!finito && w.isInExec()) w.close(0);
        });
      }
    });
    w.Exec();
    finito = true;
    driver.join();
    if (forzata) {   // run what is still posted while w and the flags live
      emu::post([] { emu::quitLoop(); });
      emu::runLoop();
    }
  }

  // What the driver waits for.
  static bool boxAperto(const std::string& titolo) {
    return emu::waitUntil([&] {
      emu::MessageBoxInfo m = emu::currentMessageBox();
      return m.open && m.caption == titolo;
    });
  }
  static bool testo(const std::string& t) { return emu::waitUntil([&] { return emu::textVisible(t); }); }
  static bool premi(const char* tasto) { return emu::postKey(tasto); }
  static std::string schermo() {
    std::string s;
    for (const std::string& t : emu::visibleTexts()) s += "[" + t + "] ";
    return s;
  }
  static int righeLog(const std::string& parte) {
    int n = 0;
    for (const std::string& l : emu::logLines())
      if (l.find(parte) != std::string::npos) ++n;
    return n;
  }

  std::string file(const std::string& nome) const { return root_->plugins(nome); }

  std::unique_ptr<testsupport::TempRoot> root_;
  std::unique_ptr<scan4transp> finestra_;
  char percorsoLog_[64] = "/var/tuxbox/plugins/scrutafasci.scan";
};

}  // namespace scantest
