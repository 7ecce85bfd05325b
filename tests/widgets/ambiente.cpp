#include "ambiente.h"

#include <emulator/toolkit/emu.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace prova {

namespace {

const char* const testoSkin = R"(<?xml version="1.0" encoding="UTF-8"?>
<skin>
  <colors>
    <color name="std_black"   value="#000000"/>
    <color name="std_white"   value="#ffffff"/>
    <color name="std_red"     value="#d02020"/>
    <color name="std_green"   value="#20b020"/>
    <color name="std_dyellow" value="#b09000"/>
    <color name="std_yellow"  value="#f0e020"/>
    <color name="std_blue"    value="#3060c0"/>
    <color name="std_dblue"   value="#102040"/>
    <color name="std_gray"    value="#808080"/>
    <color name="std_grid"    value="#283848"/>
    <color name="std_dgray"   value="#404040"/>
    <color name="std_lgray"   value="#c0c0c0"/>
    <color name="std_cyan"    value="#20c0d0"/>
    <color name="std_orange"  value="#e08020"/>
    <color name="std_scale"   value="#e0e0e0"/>
    <color name="std_violet"  value="#8020c0"/>
  </colors>
  <schemes>
    <map name="global.normal.background"   color="std_dblue"/>
    <map name="global.normal.foreground"   color="std_white"/>
    <map name="global.selected.background" color="std_blue"/>
    <map name="global.selected.foreground" color="std_white"/>
    <map name="eWindow.titleBar"           color="std_blue"/>
    <map name="eWindow.titleBarFont"       color="std_white"/>
    <map name="eWindow.border"             color="std_lgray"/>
    <map name="eProgress.left"             color="std_green"/>
    <map name="eProgress.right"            color="std_dgray"/>
    <map name="eProgress.border"           color="std_lgray"/>
  </schemes>
  <fonts>
    <font name="Regular" file="DejaVuSans.ttf"/>
  </fonts>
  <decos>
    <deco name="eLabel" border="0"/>
    <deco name="eSlider" border="1" borderColor="std_lgray" background="std_black"
          foreground="std_green"/>
  </decos>
  <window name="prova_creatori" position="0,0" size="700,400">
    <widget name="graficoDaSkin" creator="eGrafico" position="10,10" size="500,240"
            setBitmapBkColor="std_red"/>
    <widget name="barraDaSkin" creator="eProgBar" position="10,260" size="300,12"
            leftColor="std_cyan" rightColor="std_orange" border="2" direction="1"/>
  </window>
</skin>
)";

}  // namespace

eSkin& skin() {
  static eSkin* s = [] {
    emu::startToolkit();
    emu::setLogToStderr(false);
    char nome[] = "/tmp/widgets-skin-XXXXXX";
    int fd = mkstemp(nome);
    if (fd < 0)
      std::abort();
    const std::string testo = testoSkin;
    if (write(fd, testo.data(), testo.size()) != ssize_t(testo.size()))
      std::abort();
    close(fd);
    auto* k = new eSkin();
    if (k->load(nome) != 0)
      std::abort();
    unlink(nome);
    k->makeActive();
    return k;
  }();
  return *s;
}

eWidget& genitore() {
  static eWidget* g = [] {
    skin();
    auto* w = new eWidget(nullptr, 0);
    w->setFont(gFont("Regular", 20));
    w->setForegroundColor(BIANCO, false);
    w->setBackgroundColor(BLU_SCURO, false);
    w->resize(eSize(720, 576));
    return w;
  }();
  return *g;
}

Dipinto::Dipinto(eWidget& w, eRect area) : immagine(w.getSize(), 8) {
  const eRect tutto(ePoint(0, 0), w.getSize());
  immagine.fill(tutto, SENTINELLA);
  if (area.isNull())
    area = tutto;
  gPainter p(immagine, ePoint(0, 0), tutto);
  w.redrawWidget(&p, area);
}

}  // namespace prova
