// The plug-in's skin file: the scan window's description places every widget the
// scan window names, inside the window, and the colours and schemes the plug-in asks
// for are there.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <host/dvb/frontend.h>
#include <host/gui/gui.h>
#include <widgets/e_grafico.h>
#include <widgets/e_monitor_fe_status.h>
#include <widgets/e_prog_bar.h>
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/screen.h"
#include "support/reference_image.h"
#include "support/skinned_root.h"

namespace {

const char* const kSkin = "/var/tuxbox/plugins/scrutafasci.esml";

class SkinFile : public ::testing::Test {
protected:
  void SetUp() override {
    emu::startToolkit();
    root_ = std::make_unique<testsupport::SkinnedRoot>();
  }
  std::unique_ptr<testsupport::SkinnedRoot> root_;
};

// Children made as the scan window makes them, in its order.
struct ScanWindowMock : eWindow {
  ScanWindowMock() : eWindow(1) {
    move(ePoint(100, 10));
    resize(eSize(520, 520));
    setText("Scrutafasci at work...shhh non disturbare ;-)");
    for (const char* n : {"lSatelliteNome", "lFrequenzaValore", "lPolarizzazioneValore", "lSymbolRateValore",
                          "lb_range"})
      label(n);
    (new eProgBar(this, 0))->setName("progBar");
    (new eMonitorFEstatus(this, eFrontend::frontend, 1))->setName("monitorFE");
    auto* g = new eGrafico(this);
    g->setName("grafico");
    g->inibisciScrollBitmap(1);
    (new eButton(this, nullptr, 1, "eButton"))->setName("bt_abort");
    label("lcanaliTrovati");
    label("lStatus");
  }
  eLabel* label(const char* n) {
    auto* l = new eLabel(this, 0, 0, "eLabel");
    l->setName(n);
    return l;
  }
};

TEST_F(SkinFile, ScanWindowPlacesEveryWidgetInside) {
  eSkin skin;
  ASSERT_EQ(skin.load(kSkin), 0);
  ScanWindowMock w;
  ASSERT_EQ(skin.build(&w, "scan4transp"), 0);
  EXPECT_EQ(w.getText(), "Scrutafasci at work...shhh non disturbare ;-)") << "the skin keeps the title";
  EXPECT_EQ(w.getPosition(), ePoint(100, 10));
  EXPECT_EQ(w.getSize(), eSize(520, 520));

  const eSize client = w.getClientSize();
  std::vector<eRect> placed;
  for (const char* n : {"lSatelliteNome", "lFrequenzaValore", "lPolarizzazioneValore", "lSymbolRateValore",
                        "lb_range", "progBar", "monitorFE", "grafico", "bt_abort", "lcanaliTrovati", "lStatus"}) {
    SCOPED_TRACE(n);
    eWidget* c = w.search(n);
    ASSERT_NE(c, nullptr);
    eRect r(c->getPosition(), c->getSize());
    EXPECT_FALSE(r.isEmpty());
    EXPECT_GE(r.left(), 0);
    EXPECT_GE(r.top(), 0);
    EXPECT_LE(r.right(), client.width());
    EXPECT_LE(r.bottom(), client.height());
    for (const eRect& o : placed) EXPECT_TRUE(r.intersect(o).isEmpty()) << "overlaps another widget";
    placed.push_back(r);
  }
  eWidget* graph = w.search("grafico");
  EXPECT_GE(graph->getSize().height(), 200) << "room for the spectrum";
  EXPECT_GE(w.search("monitorFE")->getSize().width(), 469) << "the monitor's lights fit";

  // The look, for people: the scan window with typical texts.
  w.search("lSatelliteNome")->setText("Astra 19.2E");
  w.search("lFrequenzaValore")->setText("11362");
  w.search("lPolarizzazioneValore")->setText("Orizzontale");
  w.search("lSymbolRateValore")->setText("22000");
  w.search("lb_range")->setText("Range di frequenze: 10700 - 12750 (standard)");
  w.search("lcanaliTrovati")->setText("ch. trovati: TV [12 - 3]   RD [4 - 0]   DT [1 - 1]");
  w.search("lStatus")->setText("Scan in progress......");
  static_cast<eGrafico*>(graph)->setRange(10700, 12970, 100);
  static_cast<eProgBar*>(w.search("progBar"))->setPerc(30);
  w.show();
  std::string error;
  EXPECT_TRUE(emu::writeScreenshot(testsupport::screenshotPath("scan_window_layout.png"), &error)) << error;
  w.hide();
}

TEST_F(SkinFile, ColoursAndSchemesThePlugInAsksFor) {
  eSkin skin;
  ASSERT_EQ(skin.load(kSkin), 0);
  std::vector<int> indices;
  for (const char* c : {"std_green", "std_white", "std_red", "std_dyellow", "std_gray"}) {
    gColor i = skin.queryColor(c);
    EXPECT_GT(int(i), 0) << c;
    for (int j : indices) EXPECT_NE(int(i), j) << c;
    indices.push_back(i);
  }
  // The grid shade right after std_gray and the tick shade six after it are set colours,
  // lighter ticks over a darker grid.
  const int gray = skin.queryColor("std_gray");
  const gRGB grid = skin.paletteEntry(gray + 1), ticks = skin.paletteEntry(gray + 6);
  EXPECT_LT(grid.r + grid.g + grid.b, ticks.r + ticks.g + ticks.b);
  EXPECT_EQ(grid.a, 0);
  EXPECT_EQ(ticks.a, 0);
  for (const char* s : {"eProgress.left", "eProgress.right", "eProgress.border"}) EXPECT_GT(int(skin.queryScheme(s)), 0) << s;
  EXPECT_EQ(skin.queryScheme("eProgress.left"), skin.queryColor("std_green"));
}

}  // namespace
