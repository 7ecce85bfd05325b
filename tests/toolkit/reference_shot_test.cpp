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

const char* const skinText = R"(<?xml version="1.0" encoding="UTF-8"?>
<skin>
  <colors>
    <color name="std_black" value="#000000"/>
    <color name="std_white" value="#ffffff"/>
    <color name="std_dblue" value="#1c2a48"/>
    <color name="std_blue" value="#2e5c9a"/>
    <color name="std_lgray" value="#a0a8b0"/>
    <color name="std_dgray" value="#404850"/>
    <color name="std_green" value="#30b040"/>
    <color name="std_red" value="#d03030"/>
    <color name="std_dyellow" value="#e0c020"/>
  </colors>
  <schemes>
    <map name="global.normal.background" color="std_dblue"/>
    <map name="global.normal.foreground" color="std_white"/>
    <map name="global.selected.background" color="std_blue"/>
    <map name="global.selected.foreground" color="std_white"/>
    <map name="eWindow.titleBar" color="std_blue"/>
    <map name="eWindow.titleBarFont" color="std_white"/>
    <map name="eWindow.border" color="std_lgray"/>
  </schemes>
  <fonts>
    <font name="Regular" file="DejaVuSans.ttf"/>
    <font name="Bold" file="DejaVuSans-Bold.ttf"/>
  </fonts>
  <decos>
    <deco name="eWindow" border="3" borderColor="std_lgray" background="std_dblue"
          titleBackground="std_blue" titleForeground="std_white" titleHeight="36"/>
    <deco name="eLabel" border="0"/>
    <deco name="eButton" border="2" borderColor="std_lgray" background="std_dgray"
          foreground="std_white" focusBackground="std_blue" focusForeground="std_white"/>
    <deco name="eNumber" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_white" focusBackground="std_blue" focusForeground="std_dyellow"/>
    <deco name="eListBox" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_white" focusBackground="std_blue" focusForeground="std_white"/>
    <deco name="eSlider" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_green"/>
  </decos>
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
</skin>
)";

TEST(ReferenceShot, SkinnedWindowLooksLikeItsReference) {
  emu::startToolkit();
  emu::setLogToStderr(false);
  testsupport::TempRoot root;
  const std::string skinPath = root.plugins("prova.esml");
  std::ofstream(skinPath) << skinText;
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
