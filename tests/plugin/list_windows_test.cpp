// The three list windows opened from the settings window: their titles, entries
// and labels, and the green key that closes them.
#include "plugin_fixture.h"

#include "emulator/toolkit/screen.h"
#include "support/reference_image.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace plugintest {
namespace {

const char* const kSettingsTitle = "Scrutafasci by the Scrutafasci developers - v 1.0.1";

struct ListSeen {
  std::string title;
  bool listShown = false;
  std::vector<std::string> entries;
  std::vector<int> keys;
};

// The screen as it is now, into the build tree's screenshots folder.
void shoot(const std::string& name) {
  std::string error;
  EXPECT_TRUE(emu::writeScreenshot(testsupport::screenshotPath(name), &error)) << error;
}

ListSeen readList() {
  ListSeen s;
  s.title = emu::topWindowTitle();
  eWidget* top = emu::topWindow();
  if (!top) return s;
  for (eWidget* child : top->getChildren()) {
    auto* list = dynamic_cast<eListBox<eListBoxEntryText>*>(child);
    if (!list) continue;
    s.listShown = list->isVisible();
    for (eListBoxEntry* e : list->entryList()) {
      s.entries.push_back(e->getText());
      auto* t = dynamic_cast<eListBoxEntryText*>(e);
      s.keys.push_back(t ? int(reinterpret_cast<intptr_t>(t->getKey())) : -1);
    }
  }
  return s;
}

class ListWindows : public PluginTest {
protected:
  // Opens the list behind shortcut `button` once per element of `between`, running it
  // before each opening; returns what each window showed and the title after green.
  std::vector<ListSeen> open(const char* button, std::vector<std::function<void()>> between,
                             std::vector<std::string>* titleAfterGreen = nullptr,
                             const char* firstShot = nullptr) {
    std::vector<ListSeen> seen(between.size());
    std::vector<std::string> after(between.size());
    for (size_t i = 0; i < between.size(); i++) {
      script.probe(between[i])
          .key(button)
          .probe([&seen, i, firstShot] {
            if (i == 0 && firstShot) shoot(firstShot);
            seen[i] = readList();
          })
          .key("green")
          .probe([&after, i] { after[i] = emu::topWindowTitle(); });
    }
    script.key("red");
    EXPECT_EQ(run(), 0);
    if (titleAfterGreen) *titleAfterGreen = after;
    return seen;
  }
};

TEST_F(ListWindows, FoundChannelLog) {
  tuneTo(192);
  const std::string longLine(150, 'Z');
  std::vector<std::string> afterGreen;
  auto seen = open(
      "blue",
      {[&] { root().write("scrutafasci.scan", "Gamma | RAI\nalfa | Mediaset\n" + longLine + "\nBeta\n"); },
       [&] { root().write("scrutafasci.scan", ""); },
       [&] { std::filesystem::remove(root().plugins("scrutafasci.scan")); },
       [&] { root().write("scrutafasci.scan", "[N R] Radio Uno | RAI"); }},
      &afterGreen, "found_channels.png");
  ASSERT_EQ(seen.size(), 4u);
  for (const ListSeen& s : seen) {
    EXPECT_EQ(s.title, "Elenco Canali Trovati");
    EXPECT_TRUE(s.listShown);
  }
  // One entry per read of at most 99 characters, line feeds kept, then sorted.
  EXPECT_EQ(seen[0].entries, (std::vector<std::string>{"alfa | Mediaset\n", "Beta\n", "Gamma | RAI\n",
                                                       std::string(51, 'Z') + "\n", std::string(99, 'Z')}));
  EXPECT_TRUE(seen[1].entries.empty()) << "an empty log gives an empty list";
  EXPECT_EQ(seen[2].entries, std::vector<std::string>{"Impossibile aprire il file di log!"});
  EXPECT_EQ(seen[3].entries, std::vector<std::string>{"[N R] Radio Uno | RAI"}) << "reread at each opening";
  for (const std::string& t : afterGreen) EXPECT_EQ(t, kSettingsTitle) << "green closes the list";
}

TEST_F(ListWindows, KnownSymbolRates) {
  tuneTo(192);
  std::string many;
  for (int i = 0; i < 120; i++) many += std::to_string(2000 + i) + "\n";
  std::vector<std::string> afterGreen;
  auto seen = open("yellow",
                   {[&] { root().write("scrutafasci.sr", "27500\n3000\n1000\n22000\n27500\n45000\n"); },
                    [&] { std::filesystem::remove(root().plugins("scrutafasci.sr")); },
                    [&] { root().write("scrutafasci.sr", many); }},
                   &afterGreen, "known_rates.png");
  ASSERT_EQ(seen.size(), 3u);
  for (const ListSeen& s : seen) {
    EXPECT_EQ(s.title, "Elenco SymbolRate");
    EXPECT_TRUE(s.listShown);
  }
  // Plain decimals keyed by their place in the file, sorted as numbers.
  EXPECT_EQ(seen[0].entries, (std::vector<std::string>{"3000", "22000", "27500", "27500"}));
  EXPECT_EQ(seen[0].keys, (std::vector<int>{1, 2, 0, 3}));
  EXPECT_TRUE(seen[1].entries.empty());
  ASSERT_EQ(seen[2].entries.size(), 100u) << "at most 100 rates";
  EXPECT_EQ(seen[2].entries.front(), "2000");
  EXPECT_EQ(seen[2].entries.back(), "2099");
  for (const std::string& t : afterGreen) EXPECT_EQ(t, kSettingsTitle);
}

TEST_F(ListWindows, Acknowledgements) {
  tuneTo(192);
  struct Label {
    bool found = false;
    ePoint position;
    eSize size;
    std::string text;
    bool shown = false;
  };
  std::vector<Label> labels(11);
  ListSeen list;
  std::string afterGreen;
  script.key("menu")
      .probe([&] {
        shoot("acknowledgements.png");
        list = readList();
        for (int i = 0; i < 11; i++) {
          eWidget* l = testsupport::topWidget<eLabel>(std::to_string(i).c_str());
          if (!l) continue;
          labels[i] = {true, l->getPosition(), l->getSize(), l->getText(), l->isVisible()};
        }
      })
      .key("green")
      .probe([&] { afterGreen = emu::topWindowTitle(); })
      .key("red");
  EXPECT_EQ(run(), 0);

  EXPECT_EQ(list.title, "Thankses - Ringraziamenti");
  EXPECT_FALSE(list.listShown) << "no list, only the labels";
  for (int i = 0; i < 11; i++) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(labels[i].found);
    EXPECT_TRUE(labels[i].shown);
    EXPECT_EQ(labels[i].position, ePoint(20, 10 + 41 * i));
    EXPECT_EQ(labels[i].size, eSize(510, 40));
  }
  EXPECT_EQ(labels[0].text.rfind("Version 1.0.1", 0), 0u);
  EXPECT_EQ(labels[0].text.back(), '\n');
  EXPECT_EQ(labels[2].text, "");
  EXPECT_EQ(labels[4].text, "");
  EXPECT_EQ(labels[3].text.substr(0, 43), std::string(42, '-') + "\n");
  for (int i = 5; i <= 8; i++) {
    size_t lf = labels[i].text.find('\n');
    ASSERT_NE(lf, std::string::npos) << i;
    EXPECT_EQ(labels[i].text.substr(lf + 1, 6), " ---->") << i;
  }
  EXPECT_EQ(labels[9].text, "And all of you to have tried Scrutafasci");
  EXPECT_FALSE(labels[10].text.empty());
  EXPECT_EQ(labels[10].text.find_first_of(" \n"), std::string::npos) << "a single nickname";
  EXPECT_EQ(afterGreen, kSettingsTitle);
}

}  // namespace
}  // namespace plugintest
