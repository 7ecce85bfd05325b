// OK builds and runs a scan window: the settings are on disk before it runs, the
// settings window is hidden meanwhile and comes back with its fields afterwards.
#include "plugin_fixture.h"

#include <cerrno>

namespace plugintest {
namespace {

const char* const kSettingsTitle = "Scrutafasci by the Scrutafasci developers - v 1.0.1";
const char* const kScanTitle = "Scrutafasci at work...shhh non disturbare ;-)";

bool settingsOnTop() { return emu::topWindowTitle() == kSettingsTitle; }

TEST_F(PluginTest, ScanThatCannotStartReturnsToTheSettings) {
  tuneTo(192);
  emu::box().faults().failOpen("/dev/dvb/card0/frontend0", ENOENT);
  std::string savedDuringScan;
  bool scanWindowBuilt = false, settingsHidden = false;
  emu::MessageBoxInfo box;
  Controls after;
  bool scanWindowGone = false;
  script.keys({"right", "right", "down", "down", "down", "down", "2", "2", "0", "0", "0"})
      .key("green")
      .waitFor([] { return emu::currentMessageBox().open; }, "the scan window's warning")
      .probe([&] {
        box = emu::currentMessageBox();
        savedDuringScan = root().read("scrutafasci.conf");
        eWidget* range = emu::findWidget("lb_range");
        scanWindowBuilt = range && range->getTLW()->getText() == kScanTitle;
        eWidget* list = emu::findWidget("tipoRicerca");
        settingsHidden = list && !list->isVisible();
      })
      .key("ok")
      .waitFor(settingsOnTop, "the settings window back")
      .probe([&] {
        after = readControls();
        scanWindowGone = emu::findWidget("lb_range") == nullptr;
      })
      .key("red");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(box.text, "Impossibile avviare la scansione a causa di un errore!");
  EXPECT_EQ(box.caption, "Avviso");
  EXPECT_EQ(savedDuringScan, settingsBlock({192, 2, 10700, 12750, 3, 0, 22000, 27500, 1, 10, 53}))
      << "the settings are written before the scan window runs";
  EXPECT_TRUE(scanWindowBuilt);
  EXPECT_TRUE(settingsHidden);
  ASSERT_TRUE(after.present);
  EXPECT_TRUE(scanWindowGone);
  EXPECT_EQ(after.typeKey, 2);
  EXPECT_EQ(after.valueShown, shownFor(2));
  EXPECT_EQ(after.placeholderShown, negate(shownFor(2)));
}

TEST_F(PluginTest, ScanToTheEndOfItsRange) {
  tuneTo(192);
  std::string savedDuringScan;
  emu::MessageBoxInfo finished;
  Controls after;
  // A two-megahertz range at a frequency where nothing transmits.
  script.keys({"down", "1", "0", "8", "0", "0", "down", "1", "0", "8", "0", "2"})
      .key("green")
      .waitFor([] { return emu::topWindowTitle() == kScanTitle || emu::currentMessageBox().open; },
               "the scan window")
      .probe([&] {
        savedDuringScan = root().read("scrutafasci.conf");
        // A host whose show() brings back every child would undo the arrangement:
        // the plug-in applies it again after the scan.
        for (const char* name : kPlaceholders)
          if (eWidget* w = emu::findWidget(name)) w->show();
      })
      .waitFor([] { return emu::currentMessageBox().caption == "Finito"; }, "the end of the scan", 60000)
      .probe([&] { finished = emu::currentMessageBox(); })
      .key("ok")
      .waitFor([] { return !emu::currentMessageBox().open; }, "the closing message gone")
      .key("red")
      .waitFor(settingsOnTop, "the settings window back", 20000)
      .probe([&] { after = readControls(); })
      .key("red");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(savedDuringScan, settingsBlock({192, 0, 10800, 10802, 3, 0, 27500, 27500, 1, 10, 53}));
  EXPECT_EQ(finished.text, "Scansione terminata. Premere annulla per uscire");
  ASSERT_TRUE(after.present);
  EXPECT_EQ(after.numbers, (Numbers{10800, 10802, 3, 27500, 27500, 1, 10, 53}));
  EXPECT_EQ(after.valueShown, shownFor(0));
  EXPECT_EQ(after.placeholderShown, negate(shownFor(0)));
  EXPECT_EQ(emu::receiver().mode(), 2) << "viewing again";
}

}  // namespace
}  // namespace plugintest
