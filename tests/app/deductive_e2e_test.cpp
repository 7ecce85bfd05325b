// The searches by symbol rate and by AGC from end to end: the built emulator with the
// built plug-in on a stretch of the built-in 19.2E band, its hand-overs and the
// plug-in's found-channel log checked against the carriers the scenario holds there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "emu_process.h"
#include "emulator/scenario/loader.h"
#include "emulator/tuner/box.h"

namespace {

struct Ricerca {
  const char* nome;
  std::vector<std::string> argomenti;
  int da, a;                    // MHz
  const char* srNoti;           // the known-rate file before the scan, "" for none
  bool srEsatto;                // handed over at the carrier's own rate (a known one)
};

void PrintTo(const Ricerca& r, std::ostream* os) { *os << r.nome; }

// "name | provider" of every service, sorted.
std::vector<std::string> ordinati(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> v;
  size_t inizio = 0;
  for (size_t fine; (fine = testo.find('\n', inizio)) != std::string::npos; inizio = fine + 1)
    v.push_back(testo.substr(inizio, fine - inizio));
  return v;
}

// The services of the plug-in's found-channel log ("[NT] name | provider").
std::vector<std::string> serviziDelLog(const std::string& testo) {
  std::vector<std::string> v;
  size_t inizio = 0;
  while (inizio < testo.size()) {
    size_t fine = testo.find('\n', inizio);
    if (fine == std::string::npos) fine = testo.size();
    const std::string riga = testo.substr(inizio, fine - inizio);
    const size_t chiusa = riga.find("] ");
    if (riga.size() > 1 && riga[0] == '[' && chiusa != std::string::npos) v.push_back(riga.substr(chiusa + 2));
    else ADD_FAILURE() << "a line of the found-channel log out of format: " << riga;
    inizio = fine + 1;
  }
  return ordinati(v);
}

class DeductiveEndToEnd : public ::testing::TestWithParam<Ricerca> {};

// Every DVB-S carrier of the stretch that the demodulator locks when tuned right onto
// it is handed over once, near its frequency and at its rate; nothing else is; the
// log lists exactly the services of the carriers handed over.
TEST_P(DeductiveEndToEnd, HandsOverEachLockableCarrierOfTheStretchAndLogsItsServices) {
  const Ricerca& r = GetParam();
  const std::string home = apptest::makeTempDir("deduttiva");
  const std::string root = home + "/root", plugins = root + "/var/tuxbox/plugins", report = home + "/r.json";
  for (const std::string& d : {root, root + "/var", root + "/var/tuxbox", plugins}) mkdir(d.c_str(), 0755);
  if (*r.srNoti) apptest::writeFile(plugins + "/scrutafasci.sr", r.srNoti);

  std::vector<std::string> args = {"scan", "--root", root, "--quiet", "--report", report, "--from",
                                   std::to_string(r.da), "--to", std::to_string(r.a), "--max-wall-time", "240"};
  args.insert(args.end(), r.argomenti.begin(), r.argomenti.end());
  auto esito = apptest::runEmu(args, home, 300);
  ASSERT_EQ(esito.status, 0) << esito.out << esito.err;
  const auto j = nlohmann::json::parse(apptest::readFile(report));
  EXPECT_EQ(j["outcome"], "finished");
  std::printf("%s %d-%d MHz: box %.1f s, wall %.2f s\n", r.nome, r.da, r.a, j["box_time_s"].get<double>(),
              j["wall_time_s"].get<double>());

  // What the scenario holds there, and which of it locks (the same seed as the scan).
  emu::Scenario s = emu::loadScenario(emu::builtinScenarioPath());
  emu::box().load(s);
  const emu::Satellite* sat = emu::box().scenario().satelliteAt(192);
  ASSERT_NE(sat, nullptr);
  const emu::Knobs& k = emu::box().knobs();
  std::vector<const emu::Carrier*> attesi;
  for (const emu::Carrier& c : sat->carriers) {
    if (c.polarisation != emu::Polarisation::Horizontal || c.frequency_khz < uint32_t(r.da) * 1000 ||
        c.frequency_khz > uint32_t(r.a) * 1000)
      continue;
    emu::TuneRequest t;
    t.orbital_position = 192;
    t.frequency_khz = c.frequency_khz;
    t.symbol_rate = c.symbol_rate;
    if (c.system == emu::DeliverySystem::DvbS && emu::box().tuner().tune(t).locked) attesi.push_back(&c);
  }
  ASSERT_FALSE(attesi.empty()) << r.nome << ": the stretch holds nothing to find";

  const auto& consegnati = j["handed_over"];
  std::vector<int> volte(attesi.size(), 0);
  std::vector<std::string> serviziAttesi;
  for (const auto& h : consegnati) {
    const double khz = h["freq_khz"].get<double>(), ksps = h["sr_ksps"].get<double>();
    EXPECT_EQ(h["pol"], "H");
    size_t i = 0;
    for (; i < attesi.size(); ++i) {
      const emu::Carrier& c = *attesi[i];
      // The demodulator's capture range around the carrier, widened by the LNB's drift.
      const double tolleranzaKhz = k.capture_fraction * c.symbol_rate / 1000 + s.lo_error_khz_max;
      if (std::fabs(khz - c.frequency_khz) <= tolleranzaKhz) break;
    }
    if (i == attesi.size()) {
      ADD_FAILURE() << r.nome << ": handed over where no lockable carrier is: " << h.dump();
      continue;
    }
    const emu::Carrier& c = *attesi[i];
    ++volte[i];
    const double srPortante = c.symbol_rate / 1000.0;
    if (r.srEsatto)
      EXPECT_EQ(ksps, srPortante) << h.dump();
    else   // a rate the sweep reached, within the demodulator's timing tolerance
      EXPECT_LE(std::fabs(ksps - srPortante), srPortante * k.timing_tolerance) << h.dump();
    EXPECT_EQ(h["services"].size(), c.services.size()) << h.dump();
    for (const emu::Service& x : c.services) serviziAttesi.push_back(x.name + " | " + x.provider);
  }
  for (size_t i = 0; i < attesi.size(); ++i)
    EXPECT_EQ(volte[i], 1) << r.nome << ": the carrier at " << attesi[i]->frequency_khz << " kHz, "
                           << attesi[i]->symbol_rate << " S/s, handed over that many times";

  EXPECT_EQ(serviziDelLog(apptest::readFile(plugins + "/scrutafasci.scan")), ordinati(serviziAttesi));

  // The known-rate file keeps its rates and learns every rate handed over.
  std::vector<std::string> noti = righe(r.srNoti);
  for (const auto& h : consegnati) noti.push_back(std::to_string(std::lround(h["sr_ksps"].get<double>())));
  std::sort(noti.begin(), noti.end());
  noti.erase(std::unique(noti.begin(), noti.end()), noti.end());
  EXPECT_EQ(ordinati(righe(apptest::readFile(plugins + "/scrutafasci.sr"))), noti);
  apptest::removeTree(home);
}

INSTANTIATE_TEST_SUITE_P(
    Ricerche, DeductiveEndToEnd,
    ::testing::Values(
        // Two 27500 kS/s transponders whose plateaus stand apart; the stretch ends on the
        // edge of a DVB-S2 one, whose plateau is still open there.
        Ricerca{"bySymbolRate", {"--search", "sr"}, 11780, 11860, "22000\n27500\n", true},
        // A 22000 kS/s transponder found by the sweep (no rate known before), then a
        // DVB-S2 one whose plateau the sweep tries in vain.
        Ricerca{"byAgc", {"--search", "agc", "--sr-from", "20000", "--sr-to", "24000"}, 12530, 12590, "", false}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
