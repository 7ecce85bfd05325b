// The scan window in the middle of a standard scan on the built-in scenario, as the
// emulator's screen shows it, against a reference picture.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "ambiente.h"
#include "emulator/receiver/receiver.h"
#include "emulator/scenario/loader.h"
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/screen.h"
#include "emulator/tuner/box.h"
#include "support/reference_image.h"
#include "support/skinned_root.h"
#include <host/dvb/edvb.h>
#include <host/dvb/transponder.h>
#include <scan/disegno_spettro.h>
#include <scan/scan4transp.h>
#include <widgets/e_grafico.h>

namespace {

// Process-wide display state back to how a freshly loaded plug-in starts.
void statoIniziale() {
  scan4transp::ultimaFreqMostrata = 0;
  scan4transp::contaPassiGrafico = 0;
  scan4transp::contaGraficoStandard = 0;
  scan4transp::contaGraficoDeduttiva = 0;
  ultimaColonna = 0;
  maxSnrColonna = 0;
  maxSnrColonnaPrec = 0;
}

}  // namespace

// The settings window's initial values (standard search, 10700-12750 MHz in 3 MHz steps,
// horizontal, 27500 kS/s, threshold 53 %). The screen is taken when the host reports the
// first service of the first transponder found: the worker has handed it over and ended,
// and the GUI thread is inside the report, so nothing moves while the shot is taken.
TEST(schermata, MidScanStandardSearchLooksLikeTheReference) {
  emu::startToolkit();
  emu::setLogToStderr(false);
  testsupport::SkinnedRoot root;
  emu::box().faults().clear();
  emu::box().clock().setRealtime(false);
  emu::box().clock().reset(0);
  emu::box().knobs() = emu::Knobs();
  emu::receiver().load(emu::loadScenario(SCRUTA_SOURCE_DIR "/scenarios/builtin.toml"));
  statoIniziale();
  // Kept in the build for people to look at.
  const std::string schermata = testsupport::screenshotPath("scan_standard_mid.png");
  std::filesystem::remove(schermata);

  char percorsoLog[] = "/var/tuxbox/plugins/scrutafasci.scan";
  auto w = std::make_unique<scan4transp>(10700, 12750, 3, 27500, 27500, 1000, 0, 0,
                                         RICERCA_STANDARD, 53, percorsoLog);
  std::atomic<bool> fatta{false};
  std::string errore;
  int frequenzaAllaFoto = 0;
  sigc::connection c = eDVB::instance->settings->getTransponders()->service_found.connect(
      [&](const eServiceReferenceDVB&, bool) {
        if (fatta)
          return;
        frequenzaAllaFoto = w->freqCorrente;
        if (!emu::writeScreenshot(schermata, &errore))
          ADD_FAILURE() << errore;
        fatta = true;
      });
  std::atomic<bool> finito{false};
  std::thread pilota([&] {
    emu::waitUntil([&] { return fatta.load(); }, 60000);
    // Then close: the closing message, the window, whatever comes first.
    for (int i = 0; i < 800 && !finito; ++i) {
      emu::postKey("exit");
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  });
  w->Exec();
  finito = true;
  pilota.join();
  c.disconnect();
  w.reset();
  emu::receiver().reset();
  prova::skin().makeActive();   // the other tests of this program paint with theirs
  ASSERT_TRUE(fatta) << "no service was reported";

  // Somewhere in the middle of the band.
  EXPECT_GT(frequenzaAllaFoto, 11000);
  EXPECT_LT(frequenzaAllaFoto, 12500);
  // Room for the found mark (two columns of six rows), which the worker draws while the
  // host already scans: it may land either side of the shot.
  EXPECT_TRUE(testsupport::matchesReference(schermata, "scan_standard_mid.png", 8, 0.001));
}
