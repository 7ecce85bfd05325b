#include "ambiente.h"

#include <emulator/toolkit/emu.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace prova {

namespace {

// The toolkit's built-in skin, whose palette order the indices of ambiente.h follow, with
// one more colour, a font and a window whose widgets the skin creates.
std::string testoSkin() {
  std::string xml = emu::builtinSkinXml();
  xml.insert(xml.rfind("</skin>"), R"(
  <colors>
    <color name="std_violet" value="#8020c0"/>
  </colors>
  <fonts>
    <font name="Regular" file="DejaVuSans.ttf"/>
  </fonts>
  <window name="prova_creatori" position="0,0" size="700,400">
    <widget name="graficoDaSkin" creator="eGrafico" position="10,10" size="500,240"
            setBitmapBkColor="std_red"/>
    <widget name="barraDaSkin" creator="eProgBar" position="10,260" size="300,12"
            leftColor="std_cyan" rightColor="std_orange" border="2" direction="1"/>
  </window>
)");
  return xml;
}

}  // namespace

eSkin& skin() {
  static eSkin* s = [] {
    emu::startToolkit();
    emu::setLogToStderr(false);
    char nome[] = "/tmp/widgets-skin-XXXXXX";
    int fd = mkstemp(nome);
    if (fd < 0)
      std::abort();
    const std::string testo = testoSkin();
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
