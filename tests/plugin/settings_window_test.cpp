// The settings window driven with remote-control keys: start without a current
// transponder, record restore, the show/hide table and the focus moves.
#include "plugin_fixture.h"

#include <libintl.h>
#include <locale.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "emulator/scenario/loader.h"
#include "emulator/toolkit/screen.h"
#include "support/reference_image.h"

namespace plugintest {
namespace {

using testsupport::currentEntryText;
using testsupport::focusedName;
using testsupport::topWidget;

const char* const kTitle = "Scrutafasci by the Scrutafasci developers - v 1.0.1";

TEST_F(PluginTest, NoCurrentTransponder) {
  emu::MessageBoxInfo box;
  bool settingsShownUnderBox = true;
  Controls atStart, afterOk;
  bool boxAfterOk = true;
  bool gone = false;
  script
      .probe([&] {
        box = emu::currentMessageBox();
        eWidget* list = emu::findWidget("tipoRicerca");
        settingsShownUnderBox = list && list->isVisible();
      })
      .key("ok")
      .probe([&] { atStart = readControls(); })
      .key("green")
      .probe([&] {
        afterOk = readControls();
        boxAfterOk = emu::currentMessageBox().open;
      })
      .key("red")
      .probe([&] { gone = emu::findWidget("tipoRicerca") == nullptr; });

  EXPECT_EQ(run(), 0);

  EXPECT_TRUE(box.open);
  EXPECT_EQ(box.caption, "Errore");
  EXPECT_EQ(box.flags, 33);
  EXPECT_EQ(box.text,
            "Attenzione. Impossibile recuperare la posizione orbitale corrente. Posizionarsi su un "
            "canale valido e riavviare Scrutafasci!");
  EXPECT_FALSE(settingsShownUnderBox) << "the box comes before the window";

  ASSERT_TRUE(atStart.present);
  EXPECT_EQ(atStart.title, kTitle);
  EXPECT_EQ(atStart.type, "standard");
  EXPECT_EQ(atStart.typeKey, 0);
  EXPECT_EQ(atStart.polarity, "orizzontale");
  EXPECT_EQ(atStart.polarityKey, 0);
  EXPECT_EQ(atStart.numbers, kInitialNumbers);
  EXPECT_EQ(atStart.focus, "tipoRicerca");
  EXPECT_EQ(atStart.valueShown, shownFor(0));
  EXPECT_EQ(atStart.placeholderShown, negate(shownFor(0)));

  // OK is inert: no box, no launch, nothing saved.
  ASSERT_TRUE(afterOk.present);
  EXPECT_FALSE(boxAfterOk);
  EXPECT_EQ(afterOk.numbers, kInitialNumbers);
  EXPECT_FALSE(root().exists("scrutafasci.conf"));
  EXPECT_TRUE(gone) << "the abort button closes the plug-in";
}

struct RestoreCase {
  const char* name;
  int position;
  std::string file;
  std::string type, polarity;
  int typeKey;
  Numbers numbers;
};

TEST_F(PluginTest, RecordRestore) {
  const std::string astra = settingsBlock({192, 2, 10950, 11700, 5, 1, 20000, 30000, 2, 100, 61});
  const std::string hotbird = settingsBlock({130, 1, 11000, 12000, 1, 0, 5000, 6000, 7, 0, 40});
  const RestoreCase cases[] = {
      {"known satellite", 192, hotbird + astra, "by AGC", "verticale", 2,
       {10950, 11700, 5, 20000, 30000, 2, 100, 61}},
      {"second known satellite", 130, hotbird + astra, "by SymbolRate", "orizzontale", 1,
       {11000, 12000, 1, 5000, 6000, 7, 0, 40}},
      {"orbital position 0 takes a free record", 0, astra, "standard", "orizzontale", 0,
       {0, 0, 0, 0, 0, 0, 0, 0}},
      {"no record: initial values", 282, astra, "standard", "orizzontale", 0, kInitialNumbers},
      // Hand-edited records: a type past the list stops at its last entry (the largest
      // one once held the window back for minutes); only 1 is vertical.
      {"stored type 3", 235, settingsBlock({235, 3, 10950, 11700, 5, 2, 20000, 30000, 2, 100, 61}), "by AGC",
       "orizzontale", 2, {10950, 11700, 5, 20000, 30000, 2, 100, 61}},
      {"largest stored type", 235, settingsBlock({235, 2147483647, 10950, 11700, 5, -1, 20000, 30000, 2, 100, 61}),
       "by AGC", "orizzontale", 2, {10950, 11700, 5, 20000, 30000, 2, 100, 61}},
  };
  for (const RestoreCase& c : cases) {
    SCOPED_TRACE(c.name);
    root().write("scrutafasci.conf", c.file);
    tuneTo(c.position);
    Controls seen;
    bool box = true;
    script
        .probe([&] {
          box = emu::currentMessageBox().open;
          seen = readControls();
        })
        .key("red");
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(box);
    ASSERT_TRUE(seen.present);
    EXPECT_EQ(seen.type, c.type);
    EXPECT_EQ(seen.typeKey, c.typeKey);
    EXPECT_EQ(seen.polarity, c.polarity);
    EXPECT_EQ(seen.numbers, c.numbers);
    EXPECT_EQ(seen.focus, "tipoRicerca");
    // The list announces the restored type, so the fields follow it at once.
    EXPECT_EQ(seen.valueShown, shownFor(c.typeKey));
    EXPECT_EQ(seen.placeholderShown, negate(shownFor(c.typeKey)));
    EXPECT_EQ(root().read("scrutafasci.conf"), c.file) << "nothing is saved without a launch";
  }
}

TEST_F(PluginTest, ShowHideFollowsTheSearchType) {
  tuneTo(192);
  struct Step {
    const char* key;
    int type;
  } steps[] = {{"right", 1}, {"right", 2}, {"right", 2}, {"left", 1}, {"left", 0}};
  std::vector<Controls> seen(std::size(steps));
  std::vector<bool> othersShown(std::size(steps), false);
  for (size_t i = 0; i < std::size(steps); i++) {
    script.key(steps[i].key).probe([&, i] {
      seen[i] = readControls();
      bool all = true;
      for (const char* n : {"freqStart", "freqEnd", "valRitardoScansione", "valSogliaAggancio",
                            "lTipoRicerca", "lFreqStart", "lFreqEnd", "lStepFrequenza", "lpolarita",
                            "lStartSymbolRate", "lEndSymbolRate", "lStepSymbolRate",
                            "lRitardoScansione", "lSogliaAggancio", "tipoRicerca", "polarita",
                            "bt_abort", "bt_ok", "bt_showSR", "bt_showCanaliTrovati", "bt_thanks"}) {
        eWidget* w = topWidget<eWidget>(n);
        all = all && w && w->isVisible();
      }
      othersShown[i] = all;
    });
  }
  script.key("red");
  EXPECT_EQ(run(), 0);
  const char* names[] = {"standard", "by SymbolRate", "by AGC"};
  for (size_t i = 0; i < std::size(steps); i++) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(seen[i].present);
    EXPECT_EQ(seen[i].typeKey, steps[i].type);
    EXPECT_EQ(seen[i].type, names[steps[i].type]);
    EXPECT_EQ(seen[i].valueShown, shownFor(steps[i].type));
    EXPECT_EQ(seen[i].placeholderShown, negate(shownFor(steps[i].type)));
    EXPECT_TRUE(othersShown[i]);
  }
}

// OK in the three frequency fields moves the focus on; in the other number fields it does not.
TEST_F(PluginTest, ConfirmingAFrequencyFieldMovesTheFocus) {
  tuneTo(192);
  const std::pair<const char*, const char*> steps[] = {
      {"down", "freqStart"},           {"ok", "freqEnd"},
      {"ok", "valStepFrequenza"},      {"ok", "polarita"},
      {"down", "startSymbolRate"},     {"ok", "startSymbolRate"},
      {"down", "endSymbolRate"},       {"ok", "endSymbolRate"},
      {"down", "valStepSymbolRate"},   {"ok", "valStepSymbolRate"},
      {"down", "valRitardoScansione"}, {"ok", "valRitardoScansione"},
      {"down", "valSogliaAggancio"},   {"ok", "valSogliaAggancio"},
  };
  std::vector<std::string> focus;
  for (const auto& st : steps) script.key(st.first).probe([&] { focus.push_back(focusedName()); });
  script.key("red");
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(focus.size(), std::size(steps));
  for (size_t i = 0; i < std::size(steps); i++)
    EXPECT_EQ(focus[i], steps[i].second) << "after step " << i << " (" << steps[i].first << ")";
}

// A message catalogue with the given translations, as msgfmt writes it (no hash table).
void writeCatalogue(const std::string& path, std::vector<std::pair<std::string, std::string>> pairs) {
  std::sort(pairs.begin(), pairs.end());
  const uint32_t n = uint32_t(pairs.size());
  std::vector<uint32_t> head = {0x950412de, 0, n, 28, 28 + 8 * n, 0, 28 + 16 * n};
  std::string strings;
  std::vector<uint32_t> originals, translations;
  const uint32_t base = 28 + 16 * n;
  for (const auto& p : pairs) {
    originals.push_back(uint32_t(p.first.size()));
    originals.push_back(base + uint32_t(strings.size()));
    strings += p.first + '\0';
  }
  for (const auto& p : pairs) {
    translations.push_back(uint32_t(p.second.size()));
    translations.push_back(base + uint32_t(strings.size()));
    strings += p.second + '\0';
  }
  std::string out;
  for (auto* v : {&head, &originals, &translations})
    out.append(reinterpret_cast<const char*>(v->data()), v->size() * 4);
  testsupport::writeFile(path, out + strings);
}

std::vector<std::pair<std::string, int>> polarityEntries() {
  std::vector<std::pair<std::string, int>> r;
  auto* l = topWidget<eListBox<eListBoxEntryText>>("polarita");
  if (!l) return r;
  for (eListBoxEntry* e : l->entryList()) {
    auto* t = static_cast<eListBoxEntryText*>(e);
    r.emplace_back(t->getText(), int(reinterpret_cast<intptr_t>(t->getKey())));
  }
  return r;
}

TEST_F(PluginTest, PolarityTextsComeFromTheMessageCatalogue) {
  tuneTo(192);
  using Entries = std::vector<std::pair<std::string, int>>;
  Entries plain, translated;
  script.probe([&] { plain = polarityEntries(); }).key("red");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(plain, (Entries{{"orizzontale", 0}, {"verticale", 1}}));

  const std::string dir = root().path() + "/locale";
  std::filesystem::create_directories(dir + "/it/LC_MESSAGES");
  writeCatalogue(dir + "/it/LC_MESSAGES/scrutatest.mo",
                 {{"orizzontale", "horizontal"}, {"verticale", "vertical"}});
  ASSERT_NE(setlocale(LC_ALL, "C.UTF-8"), nullptr);
  setenv("LANGUAGE", "it", 1);
  textdomain("scrutatest");
  bindtextdomain("scrutatest", dir.c_str());
  script.probe([&] { translated = polarityEntries(); }).key("red");
  int r = run();
  textdomain("messages");
  unsetenv("LANGUAGE");
  setlocale(LC_ALL, "C");
  EXPECT_EQ(r, 0);
  EXPECT_EQ(translated, (Entries{{"horizontal", 0}, {"vertical", 1}}));
}

TEST_F(PluginTest, SettingsWindowScreenshot) {
  emu::receiver().load(emu::loadScenario(emu::builtinScenarioPath()));
  const std::string path = testsupport::screenshotPath("settings_window.png");
  std::filesystem::remove(path);
  bool written = false;
  std::string error;
  std::vector<std::string> texts;
  script
      .probe([&] {
        written = emu::writeScreenshot(path, &error);
        texts = emu::visibleTexts();
      })
      .keys({"right", "right"})
      .probe([&] { emu::writeScreenshot(testsupport::screenshotPath("settings_window_agc.png")); })
      .key("red");
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(written) << error;
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  for (const char* caption : {"Tipo ricerca", "Frequenza iniziale (MHz)", "Frequenza finale (MHz)",
                              "Passo frequenza (MHz)", "Polarizzazione", "SymbolRate iniziale (kS/s)",
                              "SymbolRate finale (kS/s)", "Passo SymbolRate (kS/s)",
                              "Ritardo scansione", "Soglia aggancio SNR (%)", "standard",
                              "orizzontale", "Esci", "Avvia", kTitle})
    EXPECT_NE(std::find(texts.begin(), texts.end(), caption), texts.end()) << caption;
}

}  // namespace
}  // namespace plugintest

namespace plugintest {
namespace {

// Without its skin the window cannot be built: the host's fatal error stops the box.
TEST_F(PluginTest, MissingSkinIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  tuneTo(192);
  std::filesystem::remove(root().plugins("scrutafasci.esml"));
  EXPECT_EXIT(plugin_exec(), ::testing::ExitedWithCode(1), "skin load of \"scrutafasci\" failed");
  root().write("scrutafasci.esml", "<skin><window name=\"altro\"/></skin>");
  EXPECT_EXIT(plugin_exec(), ::testing::ExitedWithCode(1), "skin load of \"scrutafasci\" failed");
}

}  // namespace
}  // namespace plugintest
