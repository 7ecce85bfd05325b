// The known symbol-rate file and list.
#include <gtest/gtest.h>
#include <knowledge/routine_di_servizio.h>
#include <string>
#include <vector>
#include "cartella_temporanea.h"

namespace {

std::vector<int> elenco(const int* sr, int n) { return std::vector<int>(sr, sr + n); }

std::string righe(int da, int quante) {
  std::string s;
  for (int i = 0; i < quante; ++i) s += std::to_string(da + i) + "\n";
  return s;
}

struct CasoLettura {
  const char* nome;
  std::string contenuto;
  std::vector<int> atteso;
};

class LetturaSR : public ::testing::TestWithParam<CasoLettura> {};

TEST_P(LetturaSR, ReadsTheValidRatesInFileOrder) {
  CartellaTemporanea d;
  d.write("scrutafasci.sr", GetParam().contenuto);
  int sr[100] = {0};
  int n = 0;
  routineDiServizio r;
  std::string p = d.path("scrutafasci.sr");
  r.leggeFileSRconosciuti(&p[0], &n, sr);
  EXPECT_EQ(elenco(sr, n), GetParam().atteso);
}

std::vector<int> da(int primo, int quanti) {
  std::vector<int> v;
  for (int i = 0; i < quanti; ++i) v.push_back(primo + i);
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Casi, LetturaSR,
    ::testing::Values(
        CasoLettura{"limiti", "1000\n45000\n1001\n44999\n", {1001, 44999}},
        CasoLettura{"vuoto", "", {}},
        CasoLettura{"righeVuote", "\n\n\n", {}},
        CasoLettura{"parole", "abc\nventisettemila\n", {}},
        CasoLettura{"dueValoriSuUnaRiga", "27500 22000\n", {27500}},
        CasoLettura{"duplicatiTenuti", "27500\n27500\n", {27500, 27500}},
        CasoLettura{"spaziESegno", "  22000\n+6000\n-5000\n", {22000, 6000}},
        CasoLettura{"cifreEPoiAltro", "22000abc\n", {22000}},
        CasoLettura{"senzaACapoFinale", "5000", {5000}},
        CasoLettura{"rigaLungaInPiuParti", "0000027500\n", {2750}},
        CasoLettura{"crlf", "27500\r\n", {27500}},
        CasoLettura{"centoventiValide", righe(2000, 120), da(2000, 100)}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(LetturaSR, AppendsAfterTheEntriesTheCountAlreadyHolds) {
  CartellaTemporanea d;
  d.write("f.sr", "22000\n");
  int sr[100] = {27500};
  int n = 1;
  std::string p = d.path("f.sr");
  routineDiServizio().leggeFileSRconosciuti(&p[0], &n, sr);
  EXPECT_EQ(elenco(sr, n), (std::vector<int>{27500, 22000}));
}

TEST(LetturaSR, MissingFileLeavesTheListUnchanged) {
  CartellaTemporanea d;
  int sr[100] = {27500, 0};
  int n = 1;
  std::string p = d.path("manca.sr");
  EXPECT_EQ(routineDiServizio().leggeFileSRconosciuti(&p[0], &n, sr), 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(sr[0], 27500);
  EXPECT_EQ(sr[1], 0);
}

struct CasoScrittura {
  const char* nome;
  std::vector<int> elenco;
  std::string atteso;
};

class ScritturaSR : public ::testing::TestWithParam<CasoScrittura> {};

TEST_P(ScritturaSR, ReplacesTheFileWithOneRatePerLine) {
  CartellaTemporanea d;
  d.write("scrutafasci.sr", "9999\n8888\n7777\n6666\n");
  std::vector<int> v = GetParam().elenco;
  std::string p = d.path("scrutafasci.sr");
  EXPECT_EQ(routineDiServizio().scriveFileSRconosciuti(&p[0], int(v.size()), v.data()), 1);
  EXPECT_EQ(d.read("scrutafasci.sr"), GetParam().atteso);
  EXPECT_FALSE(d.exists("scrutafasci.sr1"));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, ScritturaSR,
    ::testing::Values(CasoScrittura{"tre", {27500, 22000, 5000}, "27500\n22000\n5000\n"},
                      CasoScrittura{"vuoto", {}, ""},
                      CasoScrittura{"fuoriIntervalloScritto", {500, 27500}, "500\n27500\n"}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(ScritturaSR, TheOldFileIsReplacedWholeNotRewrittenInPlace) {
  CartellaTemporanea d;
  d.write("f.sr", "27500\n");
  ASSERT_EQ(link(d.path("f.sr").c_str(), d.path("testimone").c_str()), 0);
  int sr[] = {22000};
  std::string p = d.path("f.sr");
  routineDiServizio().scriveFileSRconosciuti(&p[0], 1, sr);
  EXPECT_EQ(d.read("f.sr"), "22000\n");
  EXPECT_EQ(d.read("testimone"), "27500\n");
}

TEST(ScritturaSR, WhenTheNewFileCannotBeWrittenTheOldOneStays) {
  CartellaTemporanea d;
  d.write("f.sr", "27500\n");
  ASSERT_EQ(mkdir(d.path("f.sr1").c_str(), 0700), 0);   // the temporary cannot be created
  int sr[] = {22000};
  std::string p = d.path("f.sr");
  EXPECT_EQ(routineDiServizio().scriveFileSRconosciuti(&p[0], 1, sr), 0);
  EXPECT_EQ(d.read("f.sr"), "27500\n");
}

TEST(ScritturaSR, AfterAListOf120OnlyTheFirst100AreWrittenBack) {
  CartellaTemporanea d;
  d.write("f.sr", righe(3000, 120));
  int sr[100] = {0};
  int n = 0;
  std::string p = d.path("f.sr");
  routineDiServizio r;
  r.leggeFileSRconosciuti(&p[0], &n, sr);
  r.aggiungeSRconosciuti(sr, &n, 27500);
  r.scriveFileSRconosciuti(&p[0], n, sr);
  EXPECT_EQ(d.read("f.sr"), righe(3000, 100));
}

struct CasoAggiunta {
  const char* nome;
  std::vector<int> prima;
  int nuovo;
  std::vector<int> dopo;
};

class AggiuntaSR : public ::testing::TestWithParam<CasoAggiunta> {};

TEST_P(AggiuntaSR, AddsOnlyNewRatesWhileThereIsRoom) {
  int sr[100] = {0};
  int n = int(GetParam().prima.size());
  for (int i = 0; i < n; ++i) sr[i] = GetParam().prima[i];
  routineDiServizio().aggiungeSRconosciuti(sr, &n, GetParam().nuovo);
  EXPECT_EQ(elenco(sr, n), GetParam().dopo);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, AggiuntaSR,
    ::testing::Values(CasoAggiunta{"vuoto", {}, 27500, {27500}},
                      CasoAggiunta{"giaPresente", {22000, 27500}, 27500, {22000, 27500}},
                      CasoAggiunta{"nuovo", {22000}, 27500, {22000, 27500}},
                      CasoAggiunta{"pieno", da(2000, 100), 27500, da(2000, 100)},
                      CasoAggiunta{"quasiPieno", da(2000, 99), 1, [] {
                                     auto v = da(2000, 99);
                                     v.push_back(1);
                                     return v;
                                   }()},
                      CasoAggiunta{"senzaControlloIntervallo", {}, 500, {500}}),
    [](const auto& info) { return std::string(info.param.nome); });

struct CasoMassimo {
  const char* nome;
  std::vector<int> snr;
  int atteso;
};

class MassimoSNR : public ::testing::TestWithParam<CasoMassimo> {};

TEST_P(MassimoSNR, FindsTheFirstOfTheGreatest) {
  int coppie[10][2] = {{0}};
  int n = int(GetParam().snr.size());
  for (int i = 0; i < n; ++i) {
    coppie[i][0] = GetParam().snr[i];
    coppie[i][1] = 11000000 + i * 1000;
  }
  EXPECT_EQ(routineDiServizio().findMaxSNR(coppie, n), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(Casi, MassimoSNR,
                         ::testing::Values(CasoMassimo{"primoDegliUguali", {5, 9, 9, 2}, 1},
                                           CasoMassimo{"tuttiZero", {0, 0, 0}, 0},
                                           CasoMassimo{"nessuno", {}, 0},
                                           CasoMassimo{"negativi", {-5, -1}, 0},
                                           CasoMassimo{"ultimo", {0, 0, 3}, 2}),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
