// A standard scan at the settings window's defaults over the built-in scenario's
// 19.2E band: every lockable 27500 kS/s DVB-S transponder of the polarisation is
// found and its services are logged.
#include <chrono>
#include <cstdio>
#include <set>

#include "emulator/scenario/loader.h"
#include "scan_fixture.h"

namespace scantest {
namespace {

TEST_F(ScanTest, TheDefaultStandardScanFindsTheLockableTranspondersOf192EastHorizontal) {
  emu::Scenario s = emu::loadScenario(emu::builtinScenarioPath());
  carica(s);
  ASSERT_EQ(s.tuned.orbital_position, 192);   // the receiver starts on 19.2E
  scan4transp& w = finestra();   // 10700-12750 step 3, H, 27500, threshold 53
  const auto inizio = std::chrono::steady_clock::now();
  const uint64_t inizioBox = emu::box().clock().now();
  esegui(w, [] {
    return emu::waitUntil([] { return emu::currentMessageBox().open && emu::currentMessageBox().caption == "Finito"; },
                          600000) &&
           premi("exit") && testo("Scansione terminata...have fun!") && premi("exit");
  });
  const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  const double secondiBox = double(emu::box().clock().now() - inizioBox) / 1e6;

  std::set<uint32_t> trovati;
  int servizi = 0;
  for (const emu::HandOver& h : emu::receiver().handOvers())
    if (h.locked) {
      trovati.insert(h.carrier_khz);
      servizi += h.services;
    }

  // Which of them the demodulator locks when tuned right onto them.
  std::set<uint32_t> agganciabili;
  const emu::Satellite* sat = emu::box().scenario().satelliteAt(192);
  ASSERT_NE(sat, nullptr);
  for (const emu::Carrier& c : sat->carriers) {
    if (c.polarisation != Polarisation::Horizontal || c.symbol_rate != 27500000 ||
        c.system != emu::DeliverySystem::DvbS || c.frequency_khz < 10700000 || c.frequency_khz > 12750000)
      continue;
    emu::TuneRequest r;
    r.orbital_position = 192;
    r.frequency_khz = c.frequency_khz;
    r.polarisation = Polarisation::Horizontal;
    r.symbol_rate = 27500000;
    if (emu::box().tuner().tune(r).locked) agganciabili.insert(c.frequency_khz);
  }
  int mancati = 0;
  for (uint32_t f : agganciabili)
    if (!trovati.count(f)) {
      ++mancati;
      ADD_FAILURE() << "missed the lockable transponder at " << f << " kHz";
    }
  std::printf("19.2E H 27500: %zu lockable, %zu found (%d missed), %d services logged; box %.0f s, wall %.1f s\n",
              agganciabili.size(), trovati.size(), mancati, servizi, secondiBox, secondi);
  EXPECT_FALSE(agganciabili.empty());
  EXPECT_EQ(mancati, 0);

  // One log line per reported service, in the exact format.
  std::string log = leggeFile(file("scrutafasci.scan"));
  int righe = 0;
  for (char ch : log) righe += ch == '\n';
  EXPECT_EQ(righe, servizi);
  for (const emu::ReportedService& r : emu::receiver().reportedServices()) {
    if (r.service_type != 1) continue;
    std::string riga = std::string("[") + (r.is_new ? "N" : "O") + "T] " + r.name + " | " + r.provider + "\n";
    EXPECT_NE(log.find(riga), std::string::npos) << riga;
    break;
  }
  EXPECT_EQ(leggeFile(file("scrutafasci.sr")), "27500\n");
}

}  // namespace
}  // namespace scantest
