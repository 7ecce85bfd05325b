// The skip-frequency file: reading one section and polarisation, rewriting it.
#include <gtest/gtest.h>
#include <knowledge/routine_di_servizio.h>
#include <string>
#include <vector>
#include "cartella_temporanea.h"

namespace {

const std::string esempio = "#130\n11778 V\n11800 H\n#192\n12000 V\n";

std::string voci(int da, int quante, const char* lettera) {
  std::string s;
  for (int i = 0; i < quante; ++i) s += std::to_string(da + i) + " " + lettera + "\n";
  return s;
}

std::vector<int> da(int primo, int quanti) {
  std::vector<int> v;
  for (int i = 0; i < quanti; ++i) v.push_back(primo + i);
  return v;
}

struct CasoLettura {
  const char* nome;
  std::string contenuto;
  int polarita;
  int posizione;
  int massimo;
  std::vector<int> atteso;
};

class LetturaSkip : public ::testing::TestWithParam<CasoLettura> {};

TEST_P(LetturaSkip, ReadsTheEntriesOfOneSectionAndPolarisation) {
  const CasoLettura& c = GetParam();
  CartellaTemporanea d;
  d.write("scrutafasci.skip", c.contenuto);
  int freq[150] = {0};
  int n = 0;
  std::string p = d.path("scrutafasci.skip");
  routineDiServizio().leggeFileFreqToSkip(&p[0], c.polarita, c.posizione, &n, freq, c.massimo);
  EXPECT_EQ(std::vector<int>(freq, freq + n), c.atteso);
}

INSTANTIATE_TEST_SUITE_P(
    Casi, LetturaSkip,
    ::testing::Values(
        CasoLettura{"s130V", esempio, 1, 130, 100, {11778}},
        CasoLettura{"s130H", esempio, 0, 130, 100, {11800}},
        CasoLettura{"s192V", esempio, 1, 192, 100, {12000}},
        CasoLettura{"s192H", esempio, 0, 192, 100, {}},
        CasoLettura{"nessunaSezione", esempio, 1, 235, 100, {}},
        CasoLettura{"polaritaNonZeroEVerticale", esempio, 2, 130, 100, {11778}},
        CasoLettura{"limitiDiBanda", "#130\n10699 V\n10700 V\n12750 V\n12751 V\n", 1, 130, 100, {10700, 12750}},
        CasoLettura{"righePrimaDellIntestazione", "11000 V\n#0\n11100 V\n", 1, 0, 100, {11100}},
        CasoLettura{"righeMalformate", "#130\nabc V\n V\n11000 X\n11000V\n 11050 V\n\n", 1, 130, 100,
                    {11000, 11050}},
        CasoLettura{"intestazioneConSpazi", "# 130\n11000 H\n", 0, 130, 100, {11000}},
        CasoLettura{"intestazioneConCoda", "#130abc\n11000 H\n", 0, 130, 100, {11000}},
        CasoLettura{"centoventiVoci", "#130\n" + voci(11000, 120, "V"), 1, 130, 100, da(11000, 100)},
        CasoLettura{"massimoPiccolo", "#130\n" + voci(11000, 5, "H"), 0, 130, 2, {11000, 11001}},
        CasoLettura{"senzaACapoFinale", "#130\n11000 H", 0, 130, 100, {11000}}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(LetturaSkip, AppendsAfterTheCountAndKeepsTheListWhenTheFileIsMissing) {
  CartellaTemporanea d;
  int freq[100] = {11111};
  int n = 1;
  std::string manca = d.path("manca.skip");
  EXPECT_EQ(routineDiServizio().leggeFileFreqToSkip(&manca[0], 1, 130, &n, freq, 100), 0);
  EXPECT_EQ(n, 1);
  d.write("f.skip", esempio);
  std::string p = d.path("f.skip");
  routineDiServizio().leggeFileFreqToSkip(&p[0], 1, 130, &n, freq, 100);
  EXPECT_EQ(std::vector<int>(freq, freq + n), (std::vector<int>{11111, 11778}));
}

struct CasoRiscrittura {
  const char* nome;
  std::string prima;   // "" with esiste false: no file
  bool esiste;
  int polarita;
  int posizione;
  std::vector<int> elenco;
  std::string dopo;
};

class RiscritturaSkip : public ::testing::TestWithParam<CasoRiscrittura> {};

TEST_P(RiscritturaSkip, RewritesOnlyTheListOfThatSectionAndPolarisation) {
  const CasoRiscrittura& c = GetParam();
  CartellaTemporanea d;
  if (c.esiste) d.write("scrutafasci.skip", c.prima);
  std::vector<int> v = c.elenco;
  std::string p = d.path("scrutafasci.skip");
  EXPECT_EQ(routineDiServizio().scriveFileFreqToSkip(&p[0], c.polarita, c.posizione, int(v.size()), v.data()), 1);
  EXPECT_EQ(d.read("scrutafasci.skip"), c.dopo);
  EXPECT_FALSE(d.exists("scrutafasci.skip1"));
}

INSTANTIATE_TEST_SUITE_P(
    Casi, RiscritturaSkip,
    ::testing::Values(
        CasoRiscrittura{"sezioneEsistente", esempio, true, 0, 130, {11800, 11900},
                        "#130\n11800 H\n11900 H\n11778 V\n#192\n12000 V\n"},
        CasoRiscrittura{"elencoVuoto", esempio, true, 1, 192, {}, "#130\n11778 V\n11800 H\n#192\n"},
        CasoRiscrittura{"sezioneNuova", esempio, true, 1, 235, {12100}, esempio + "#235\n12100 V\n"},
        CasoRiscrittura{"sezioneNuovaVuota", esempio, true, 0, 235, {}, esempio + "#235\n"},
        CasoRiscrittura{"fileMancante", "", false, 1, 130, {11000}, "#130\n11000 V\n"},
        CasoRiscrittura{"fuoriBandaSpariscono", "#130\n10600 V\n11000 H\n", true, 1, 130, {}, "#130\n11000 H\n"},
        CasoRiscrittura{"fuoriBandaDellAltraRestano", "#130\n10600 V\n11000 H\n", true, 0, 130, {},
                        "#130\n10600 V\n"},
        CasoRiscrittura{"righePrimaDellIntestazione", "intro\n\n#130\n11000 V\n", true, 1, 0, {11500},
                        "intro\n\n#130\n11000 V\n#0\n11500 V\n"},
        CasoRiscrittura{"malformateNellaSezione", "#130\ngarbage\n\n11000 V\n12000 H\n", true, 1, 130, {},
                        "#130\n12000 H\n"},
        CasoRiscrittura{"senzaACapoFinale", "#130\n11000 H", true, 1, 130, {11778}, "#130\n11778 V\n11000 H\n"}),
    [](const auto& info) { return std::string(info.param.nome); });

// Lines of any length outside the rewritten list come back whole, scan after scan.
class RigaLunga : public ::testing::TestWithParam<size_t> {};

TEST_P(RigaLunga, SurvivesEveryRewriteUnchanged) {
  const std::string lunga(GetParam(), 'x');
  // One of the other polarisation inside the rewritten section, one in another section.
  const std::string prima = "#130\n" + lunga + " V\n11778 V\n#192\n" + lunga + "\n12000 V\n";
  CartellaTemporanea d;
  d.write("scrutafasci.skip", prima);
  std::string p = d.path("scrutafasci.skip");
  int v[] = {11800};
  for (int scansione = 1; scansione <= 3; ++scansione) {
    ASSERT_EQ(routineDiServizio().scriveFileFreqToSkip(&p[0], 0, 130, 1, v), 1);
    EXPECT_EQ(d.read("scrutafasci.skip"), "#130\n11800 H\n" + lunga + " V\n11778 V\n#192\n" + lunga + "\n12000 V\n")
        << "after scan " << scansione;
  }
  // Nor does a long line read as entries.
  int freq[100] = {0};
  int n = 0;
  routineDiServizio().leggeFileFreqToSkip(&p[0], 1, 130, &n, freq, 100);
  EXPECT_EQ(std::vector<int>(freq, freq + n), std::vector<int>{11778});
}

// Around the 128-byte buffer the lines were once read in, and far past it.
INSTANTIATE_TEST_SUITE_P(Lunghezze, RigaLunga, ::testing::Values(125, 126, 127, 128, 200, 5000));

// A NUL byte inside a line: the line is judged by all its bytes and copied with all of
// them, so a rewrite changes no other list and the stored bytes survive.
struct CasoNul {
  const char* nome;
  std::string prima;
  int polarita;
  int posizione;
  std::vector<int> elenco;
  std::string dopo;
};

void PrintTo(const CasoNul& c, std::ostream* os) { *os << c.nome; }

class RigaConNul : public ::testing::TestWithParam<CasoNul> {};

std::vector<int> elencoDi(std::string& percorso, int polarita, int posizione) {
  int freq[100] = {0};
  int n = 0;
  routineDiServizio().leggeFileFreqToSkip(&percorso[0], polarita, posizione, &n, freq, 100);
  return std::vector<int>(freq, freq + n);
}

TEST_P(RigaConNul, LeavesEveryOtherListAndTheLineItselfAsTheyWere) {
  const CasoNul& c = GetParam();
  CartellaTemporanea d;
  d.write("scrutafasci.skip", c.prima);
  std::string p = d.path("scrutafasci.skip");
  const int posizioni[] = {0, 130, 192};
  std::vector<int> prima[2][3];
  for (int pol = 0; pol < 2; ++pol)
    for (int i = 0; i < 3; ++i) prima[pol][i] = elencoDi(p, pol, posizioni[i]);
  std::vector<int> v = c.elenco;
  ASSERT_EQ(routineDiServizio().scriveFileFreqToSkip(&p[0], c.polarita, c.posizione, int(v.size()), v.data()), 1);
  EXPECT_EQ(d.read("scrutafasci.skip"), c.dopo);
  for (int pol = 0; pol < 2; ++pol)
    for (int i = 0; i < 3; ++i) {
      if (pol == c.polarita && posizioni[i] == c.posizione) EXPECT_EQ(elencoDi(p, pol, posizioni[i]), c.elenco);
      else EXPECT_EQ(elencoDi(p, pol, posizioni[i]), prima[pol][i]) << "polarity " << pol << ", #" << posizioni[i];
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Casi, RigaConNul,
    ::testing::Values(
        // Found by the fuzz target: "##1" heads section 0, whose vertical 10950 ends after the NULs.
        CasoNul{"daFuzz", "#192[10 V[H\n##1\0\0\0\0\0\0\0\x03 H\n10950 \0\0\0\0\0\0\0\0\0\0\0V\n"s, 0, 0, {10708},
                "#192[10 V[H\n##1\0\0\0\0\0\0\0\x03 H\n10708 H\n10950 \0\0\0\0\0\0\0\0\0\0\0V\n"s},
        // Cut at its NUL, 192's horizontal 11500 would turn vertical.
        CasoNul{"altraSezione", "#130\n11000 H\n#192\n11500 V\0 H\n12000\0 V\n"s, 0, 130, {11100},
                "#130\n11100 H\n#192\n11500 V\0 H\n12000\0 V\n"s},
        CasoNul{"primaDellIntestazione", "\0#130 V\n#130\n11000 H\n"s, 1, 130, {11200},
                "\0#130 V\n#130\n11200 V\n11000 H\n"s}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(RiscritturaSkip, ALeftoverTemporaryIsRemovedFirst) {
  CartellaTemporanea d;
  d.write("scrutafasci.skip", esempio);
  d.write("scrutafasci.skip1", "#999\n11111 V\n");
  int v[] = {11500};
  std::string p = d.path("scrutafasci.skip");
  routineDiServizio().scriveFileFreqToSkip(&p[0], 1, 192, 1, v);
  EXPECT_EQ(d.read("scrutafasci.skip"), "#130\n11778 V\n11800 H\n#192\n11500 V\n");
  EXPECT_FALSE(d.exists("scrutafasci.skip1"));
}

TEST(RiscritturaSkip, TheOldFileIsReplacedWholeNotRewrittenInPlace) {
  CartellaTemporanea d;
  d.write("scrutafasci.skip", esempio);
  ASSERT_EQ(link(d.path("scrutafasci.skip").c_str(), d.path("testimone").c_str()), 0);
  int v[] = {11500};
  std::string p = d.path("scrutafasci.skip");
  routineDiServizio().scriveFileFreqToSkip(&p[0], 1, 130, 1, v);
  EXPECT_EQ(d.read("scrutafasci.skip"), "#130\n11500 V\n11800 H\n#192\n12000 V\n");
  EXPECT_EQ(d.read("testimone"), esempio);
}

TEST(RiscritturaSkip, WhenTheTemporaryCannotBeWrittenTheFileStaysAsItWas) {
  CartellaTemporanea d;
  d.write("scrutafasci.skip", esempio);
  ASSERT_EQ(mkdir(d.path("scrutafasci.skip1").c_str(), 0700), 0);
  d.write("scrutafasci.skip1/dentro", "x");   // a folder that remove() cannot take away
  int v[] = {11500};
  std::string p = d.path("scrutafasci.skip");
  EXPECT_EQ(routineDiServizio().scriveFileFreqToSkip(&p[0], 1, 130, 1, v), 0);
  EXPECT_EQ(d.read("scrutafasci.skip"), esempio);
}

TEST(RiscritturaSkip, ReadingAtMost100AndRewritingKeepsOnlyThose) {
  CartellaTemporanea d;
  d.write("scrutafasci.skip", "#130\n" + voci(11000, 120, "V") + "11000 H\n");
  int freq[100] = {0};
  int n = 0;
  std::string p = d.path("scrutafasci.skip");
  routineDiServizio r;
  r.leggeFileFreqToSkip(&p[0], 1, 130, &n, freq, 100);
  ASSERT_EQ(n, 100);
  r.scriveFileFreqToSkip(&p[0], 1, 130, n, freq);
  EXPECT_EQ(d.read("scrutafasci.skip"), "#130\n" + voci(11000, 100, "V") + "11000 H\n");
}

}  // namespace
