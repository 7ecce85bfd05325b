// OK in the settings window: the checks of the search type, the warnings, and the
// settings saved before the scan runs.
#include "plugin_fixture.h"

#include <sched.h>
#include <scan/scan4transp.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

namespace plugintest {
namespace {

// A launched scan runs its window modally: stop its worker and close it as soon
// as it is up, which brings the settings window back. The wait does not serve the
// loop, so the keys queued for the settings window stay queued.
void closeScanWindow() {
  auto* scan = dynamic_cast<scan4transp*>(emu::topWindow());
  if (!scan) return;
  scan->inScansione = 0;
  while (scan->thread_running()) sched_yield();
  scan->close(0);
}

const char* const kNoKnownRates =
    "Impossibile effettuare la ricerca 'by SymbolRate' se non esiste il file dei SymbolRate "
    "conosciuti!";
const char* const kNoRange =
    "Impossibile effettuare la ricerca Euristica o 'by AGC' se non si specifica un range valido "
    "per il SymbolRate!";
const char* const kZeroStep =
    "Impossibile effettuare la ricerca con un passo di frequenza nullo: specificare un passo di "
    "almeno 1 MHz!";

struct LaunchCase {
  const char* name;
  std::vector<const char*> keys;           // pressed before green (OK)
  std::optional<std::string> knownRates;   // the known symbol-rate file
  const char* warning;                     // nullptr: the scan is launched
  int type;
  Numbers numbers;                         // the controls at the launch
};

TEST_F(PluginTest, LaunchChecksTheSearchType) {
  Numbers agc = kInitialNumbers;
  agc[3] = 22000;
  Numbers reversed = kInitialNumbers;
  reversed[0] = 13000;
  Numbers zeroStep = kInitialNumbers;
  zeroStep[2] = 0;
  const LaunchCase cases[] = {
      {"by SymbolRate without a known-rate file", {"right"}, std::nullopt, kNoKnownRates, 1,
       kInitialNumbers},
      {"by SymbolRate with no valid rate", {"right"}, "1000\n45000\nventimila\n\n", kNoKnownRates, 1,
       kInitialNumbers},
      {"by SymbolRate with one valid rate", {"right"}, "1000\n22000\n", nullptr, 1, kInitialNumbers},
      {"by AGC with equal symbol rates", {"right", "right"}, std::nullopt, kNoRange, 2,
       kInitialNumbers},
      {"by AGC with a symbol-rate range",
       {"right", "right", "down", "down", "down", "down", "2", "2", "0", "0", "0"},
       std::nullopt, nullptr, 2, agc},
      {"standard, start above end", {"down", "1", "3", "0", "0", "0"}, std::nullopt, nullptr, 0,
       reversed},
      {"standard with the initial values", {}, std::nullopt, nullptr, 0, kInitialNumbers},
      // A step of 0 would probe one frequency for ever.
      {"standard with a frequency step of 0", {"down", "down", "down", "0", "0", "0", "0", "0"},
       std::nullopt, kZeroStep, 0, zeroStep},
  };
  for (const LaunchCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string hotbird = settingsBlock({130, 1, 11000, 12000, 1, 0, 5000, 6000, 7, 0, 40});
    root().write("scrutafasci.conf", hotbird);
    if (c.knownRates) root().write("scrutafasci.sr", *c.knownRates);
    else std::filesystem::remove(root().plugins("scrutafasci.sr"));
    tuneTo(192);

    Controls before, after;
    emu::MessageBoxInfo box;
    bool boxAfter = true;
    for (const char* k : c.keys) script.key(k);
    script.probe([&] { before = readControls(); })
        .key("green")
        .probe([&] { box = emu::currentMessageBox(); });
    if (c.warning) script.key("ok");
    else script.probe(closeScanWindow);
    script
        .probe([&] {
          after = readControls();
          boxAfter = emu::currentMessageBox().open;
        })
        .key("red");
    EXPECT_EQ(run(), 0);

    ASSERT_TRUE(before.present);
    EXPECT_EQ(before.typeKey, c.type);
    EXPECT_EQ(before.numbers, c.numbers);
    if (c.warning) {
      EXPECT_TRUE(box.open);
      EXPECT_EQ(box.caption, "Avviso");
      EXPECT_EQ(box.flags, 17);
      EXPECT_EQ(box.text, c.warning);
      EXPECT_EQ(root().read("scrutafasci.conf"), hotbird) << "a refused launch saves nothing";
    } else {
      EXPECT_FALSE(box.open);
      const Numbers& n = c.numbers;
      EXPECT_EQ(root().read("scrutafasci.conf"),
                hotbird + settingsBlock({192, c.type, n[0], n[1], n[2], 0, n[3], n[4], n[5], n[6], n[7]}));
    }
    // Back in the settings window with the same controls and the fields of the type.
    EXPECT_FALSE(boxAfter);
    ASSERT_TRUE(after.present);
    EXPECT_EQ(after.typeKey, c.type);
    EXPECT_EQ(after.numbers, c.numbers);
    EXPECT_EQ(after.valueShown, shownFor(c.type));
    EXPECT_EQ(after.placeholderShown, negate(shownFor(c.type)));
  }
}

// Two launches in a row rewrite the file each time, into the same record.
TEST_F(PluginTest, EachLaunchRewritesTheSettings) {
  tuneTo(130);
  std::string afterFirst;
  script.key("green")
      .probe(closeScanWindow)
      .probe([&] { afterFirst = root().read("scrutafasci.conf"); })
      .keys({"right", "right", "right"})   // past the end stays on "by AGC"
      .keys({"down", "down", "down", "down", "3", "0", "0", "0", "0"})
      .key("green")
      .probe(closeScanWindow)
      .key("red");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(afterFirst, settingsBlock({130, 0, 10700, 12750, 3, 0, 27500, 27500, 1, 10, 53}));
  EXPECT_EQ(root().read("scrutafasci.conf"),
            settingsBlock({130, 2, 10700, 12750, 3, 0, 30000, 27500, 1, 10, 53}));
}

}  // namespace
}  // namespace plugintest
