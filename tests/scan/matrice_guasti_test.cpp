// Device and file faults over whole scans: every request a standard scan makes,
// failing at its first call, at a spread of calls and for ever; every device and
// file the scan opens failing to open; a read-only plug-in folder. Whatever fails,
// the scan ends (or refuses with its warning), the receiver is back watching its
// service, and every file of the plug-in is its old or a whole new content.
#include "scansione_intera.h"
#include "host/dvbapi/frontend.h"
#include "host/dvbapi/sec.h"

namespace scantest {
namespace {

using MatriceGuasti = ScansioneIntera;

struct Richiesta {
  const char* nome;
  unsigned long numero;
};

const Richiesta kRichieste[] = {
    {"SEC_SEND_SEQUENCE", SEC_SEND_SEQUENCE},     {"FE_SET_FRONTEND", FE_SET_FRONTEND},
    {"FE_READ_STATUS", FE_READ_STATUS},           {"FE_READ_SIGNAL_STRENGTH", FE_READ_SIGNAL_STRENGTH},
    {"FE_READ_SNR", FE_READ_SNR},                 {"FE_GET_FRONTEND", FE_GET_FRONTEND},
};

TEST_F(MatriceGuasti, EveryRequestFailingAtAnyCallLeavesTheBoxWhole) {
  ASSERT_NE(servizio_.type, eServiceReference::idInvalid) << "the receiver plays a service before the scan";
  // How often a scan without faults asks each request.
  Esito base = scansione();
  ASSERT_TRUE(finitaORifiutata(base)) << elenco(base);
  ASSERT_EQ(emu::receiver().handOvers().size(), 1u) << "the scan's carrier was found";
  std::map<unsigned long, uint64_t> chiamate;
  for (const Richiesta& r : kRichieste) {
    chiamate[r.numero] = emu::box().faults().calls(r.numero);
    EXPECT_GT(chiamate[r.numero], 0u) << r.nome << " is not asked by a standard scan";
  }
  ricevitoreRipristinato();
  fileInteri();

  int casi = 0;
  for (const Richiesta& r : kRichieste) {
    const uint64_t n = std::max<uint64_t>(chiamate[r.numero], 1);
    // (first failing call, how many; 0 = for ever)
    std::set<std::pair<uint64_t, uint64_t>> piano = {{1, 1}, {2, 1}, {n / 2 + 1, 1}, {n, 1},
                                                     {1, 0}, {n / 3 + 1, 0}, {n, 0}};
#if defined(__SANITIZE_THREAD__)
    piano = {{1, 1}, {n / 2 + 1, 1}, {1, 0}, {n, 0}};   // TSan runs each scan ten times slower
#endif
    for (auto [da, quante] : piano) {
      SCOPED_TRACE(std::string(r.nome) + "@" + std::to_string(da) + "x" + std::to_string(quante));
      emu::box().faults().clear();
      emu::receiver().load(emu::box().scenario());
      scriveFileVecchi();
      emu::box().faults().failRequest(r.numero, da, quante);
      Esito e = scansione();
      ++casi;
      EXPECT_TRUE(e.chiusa);
      EXPECT_TRUE(finitaORifiutata(e)) << elenco(e);
      ricevitoreRipristinato();
      fileInteri();
    }
  }
  // Each request fails once at its first call and for ever from it, at the least (a plan
  // collapses when a request is asked only once or twice).
  EXPECT_GE(casi, static_cast<int>(std::size(kRichieste)) * 2);
}

struct CasoApertura {
  const char* nome;
  const char* percorso;   // empty: the read-only folder
  int errore;
};

class AperturaNegata : public MatriceGuasti, public ::testing::WithParamInterface<CasoApertura> {};

TEST_P(AperturaNegata, TheScanEndsOrRefusesAndTheFilesStayWhole) {
  const CasoApertura& c = GetParam();
  if (*c.percorso)
    emu::box().faults().failOpen(c.percorso, c.errore);
  else
    emu::box().faults().setReadOnlyPlugins(c.errore);
  Esito e = scansione();
  EXPECT_TRUE(e.chiusa);
  EXPECT_TRUE(finitaORifiutata(e)) << elenco(e);
  ricevitoreRipristinato();
  fileInteri();
  if (!*c.percorso) {   // nothing could be written: every file is the old one
    EXPECT_EQ(leggeFile(file("scrutafasci.sr")), kSrVecchio);
    EXPECT_EQ(leggeFile(file("scrutafasci.skip")), kSkipVecchio);
    EXPECT_EQ(leggeFile(file("scrutafasci.scan")), kLogVecchio);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AperturaNegata,
    ::testing::Values(CasoApertura{"frontend", "/dev/dvb/card0/frontend0", ENODEV},
                      CasoApertura{"sec", "/dev/dvb/card0/sec0", EBUSY},
                      CasoApertura{"srConosciuti", "/var/tuxbox/plugins/scrutafasci.sr", EIO},
                      CasoApertura{"srTemporaneo", "/var/tuxbox/plugins/scrutafasci.sr1", ENOSPC},
                      CasoApertura{"freqDaSaltare", "/var/tuxbox/plugins/scrutafasci.skip", EIO},
                      CasoApertura{"skipTemporaneo", "/var/tuxbox/plugins/scrutafasci.skip1", ENOSPC},
                      CasoApertura{"logCanali", "/var/tuxbox/plugins/scrutafasci.scan", EACCES},
                      CasoApertura{"cartellaSolaLetturaEROFS", "", EROFS},
                      CasoApertura{"cartellaSolaLetturaEACCES", "", EACCES}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
}  // namespace scantest
