// A skinned window on the emulated screen, against its reference picture: palette,
// decorations, title bar, anti-aliased text, focus colours and a caption the skin creates.
#include <gtest/gtest.h>
#include <fstream>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/screen.h"
#include "support/reference_image.h"
#include "support/temp_root.h"

namespace {

// The toolkit's own palette and decorations, with fonts and the test window added.
std::string skinText() {
  std::string xml = emu::builtinSkinXml();
  xml.insert(xml.rfind("</skin>"), R"(
  <fonts>
    <font name="Regular" file="DejaVuSans.ttf"/>
    <font name="Bold" file="DejaVuSans-Bold.ttf"/>
  </fonts>
  <window name="prova" position="140,60" size="440,400" text="Finestra di prova" font="Regular:20">
    <widget name="lFrequenza" position="10,10" size="200,30" text="Frequenza"/>
    <widget name="frequenza" position="220,10" size="100,30"/>
    <widget name="unita" creator="eLabel" position="330,10" size="80,30" text="MHz"
            foregroundColor="std_dyellow"/>
    <widget name="satelliti" position="10,50" size="400,130"/>
    <widget name="volume" position="10,195" size="400,20"/>
    <widget name="nota" position="10,225" size="400,60" font="Bold:18" wrap="on" align="center"
            text="Una riga lunga che il riquadro deve spezzare in due righe"/>
    <widget name="bt_abort" position="10,300" size="150,40" text="Annulla"
            shortcut="red" shortcutPixmap="red"/>
    <widget name="bt_ok" position="260,300" size="150,40" text="OK"
            shortcut="green" shortcutPixmap="green" align="center"/>
  </window>
)");
  return xml;
}

TEST(ReferenceShot, SkinnedWindowLooksLikeItsReference) {
  emu::startToolkit();
  emu::setLogToStderr(false);
  testsupport::TempRoot root;
  const std::string skinPath = root.plugins("prova.esml");
  std::ofstream(skinPath) << skinText();
  eSkin skin;
  ASSERT_EQ(skin.load(skinPath.c_str()), 0);
  emu::Screen::instance().setBackgroundIndex(skin.queryColor("std_black"));

  eWindow w(1);
  auto* label = new eLabel(&w);
  label->setName("lFrequenza");
  int iniziale[] = {11836};
  auto* numero = new eNumber(&w, 1, 10700, 12750, 5, iniziale, 0, label);
  numero->setName("frequenza");
  auto* lista = new eListBox<eListBoxEntryText>(&w);
  lista->setName("satelliti");
  for (const char* s : {"Astra 19.2E", "Hot Bird 13.0E", "Eutelsat 16.0E", "Astra 23.5E", "Thor 0.8W"})
    new eListBoxEntryText(lista, s);
  auto* volume = new eSlider(&w, nullptr, 0, 99);
  volume->setName("volume");
  volume->setValue(70);
  auto* nota = new eLabel(&w);
  nota->setName("nota");
  auto* annulla = new eButton(&w);
  annulla->setName("bt_abort");
  auto* ok = new eButton(&w);
  ok->setName("bt_ok");
  ASSERT_EQ(skin.build(&w, "prova"), 0);
  ASSERT_NE(w.search("unita"), nullptr);   // made by the skin, not by the program
  lista->goNext();
  w.setFocus(numero);
  w.show();

  const std::string shot = testsupport::screenshotPath("toolkit_window.png");
  std::string error;
  ASSERT_TRUE(emu::writeScreenshot(shot, &error)) << error;
  // Exact here; the tolerance leaves room for a rasteriser that shades a few edges otherwise.
  EXPECT_TRUE(testsupport::matchesReference(shot, "toolkit_window.png", 24, 0.0002));
  w.hide();
}

}  // namespace
