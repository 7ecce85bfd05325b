// Close requests at random moments of standard, by-symbol-rate and by-AGC scans:
// whenever exit comes, the scan ends with its closing message (or stops at the
// person's answer, or leaves a host scan at once), the window returns, the worker
// is gone, the receiver watches its service again and the files are whole.
// SCRUTA_SEED replays a campaign; the seed is printed with every failure.
#include <cstdlib>

#include "scansione_intera.h"

namespace scantest {
namespace {

using RichiestaChiusura = ScansioneIntera;

uint64_t seme() {
  if (const char* s = std::getenv("SCRUTA_SEED"); s && *s) return std::strtoull(s, nullptr, 10);
  return std::random_device()();
}

std::string ultimeRighe() {
  std::vector<std::string> l = emu::logLines();
  std::string s;
  for (size_t i = l.size() > 12 ? l.size() - 12 : 0; i < l.size(); ++i) s += "  " + l[i] + "\n";
  return s;
}

struct Ricerca {
  const char* nome;
  int tipo, srStart, srEnd;
};

TEST_F(RichiestaChiusura, AtRandomMomentsOfEverySearch) {
  const uint64_t s = seme();
  SCOPED_TRACE("SCRUTA_SEED=" + std::to_string(s));
  std::mt19937_64 caso(s);
#if defined(__SANITIZE_THREAD__)
  const int volte = 4;
#else
  const int volte = 12;
#endif
  int finite = 0, fermate = 0, lasciate = 0;
  const Ricerca ricerche[] = {{"standard", RICERCA_STANDARD, 27500, 27500},
                              {"bySR", RICERCA_BY_SR, 27500, 27500},
                              {"byAGC", RICERCA_BY_AGC, 27000, 28000}};
  auto parametri = [](const Ricerca& r) {
    Parametri p = breve();
    p.freqStart = 10990;
    p.freqEnd = 11030;
    p.tipo = r.tipo;
    p.srStart = r.srStart;
    p.srEnd = r.srEnd;
    return p;
  };
  auto daCapo = [this] {
    emu::box().faults().clear();
    emu::clearLog();
    emu::receiver().load(emu::box().scenario());
    scriveFileVecchi();
  };
  // Each search runs whole once before any request, on an untouched box (a request may
  // leave a host scan behind): how long it takes here, so that the requests fall inside
  // it, and that it does find the carrier.
  long durataUs[3];
  for (int k = 0; k < 3; ++k) {
    daCapo();
    auto t0 = std::chrono::steady_clock::now();
    Esito intera = scansione(parametri(ricerche[k]));
    durataUs[k] = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    ASSERT_TRUE(intera.finito) << ricerche[k].nome << ": " << intera.messaggi.size() << " boxes";
    ASSERT_FALSE(emu::receiver().handOvers().empty()) << ricerche[k].nome << " finds the carrier at 11005";
  }
  for (int k = 0; k < 3; ++k) {
    const Ricerca& r = ricerche[k];
    const Parametri p = parametri(r);
    for (int i = 0; i < volte; ++i) {
      const long dopo = std::uniform_int_distribution<long>(0, durataUs[k])(caso);
      SCOPED_TRACE(std::string(r.nome) + ", exit after " + std::to_string(dopo) + " us of " +
                   std::to_string(durataUs[k]));
      daCapo();
      Esito e = scansione(p, dopo);
      EXPECT_TRUE(e.chiusa);
      bool lasciata = false;
      std::string consegne;
      for (const emu::HandOver& h : emu::receiver().handOvers()) {
        lasciata = lasciata || h.aborted;
        consegne += " [" + std::to_string(h.frequency_khz) + (h.accepted ? " accepted" : "") +
                    (h.scanned ? " scanned" : "") + (h.aborted ? " aborted" : "") + "]";
      }
      EXPECT_TRUE(e.finito || e.fermata || lasciata) << "neither the closing message nor a reason for its absence: "
                                                        << elenco(e) << "; hand-overs:" << consegne << "\nlog:\n" << ultimeRighe() << e.traccia;
      finite += e.finito;
      fermate += e.fermata && !e.finito;
      lasciate += lasciata && !e.finito && !e.fermata;
      ricevitoreRipristinato();
      fileInteri();
    }
  }
  std::printf("close requests: %d ended with the closing message, %d stopped at the question, %d left a host scan\n",
              finite, fermate, lasciate);
  EXPECT_GT(finite, 0);
}

}  // namespace
}  // namespace scantest
