// How scans end: a scan over in a moment is finished, not refused; a root that is
// the machine's own is refused before anything is made; every satellite is reachable.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

#include "emu_process.h"
#include "emulator/app/autopilot.h"

TEST(ScanEnd, ARefusalIsKnownByItsCaptionAndText) {
  struct Case {
    const char* caption;
    const char* text;
    bool refusal;
  } cases[] = {
      {"Avviso", "Impossibile effettuare la ricerca 'by SymbolRate' se non esiste il file dei SymbolRate conosciuti!",
       true},
      {"Avviso", "Impossibile effettuare la ricerca Euristica o 'by AGC' se non si specifica un range valido per il "
                 "SymbolRate!",
       true},
      {"Finito", "Scansione terminata. Premere annulla per uscire", false},
      {"Avviso", "Impossibile fare scan su questo transponder!", false},
      {"Frequenze da saltare", "Impossibile effettuare la ricerca", false},
  };
  for (const auto& c : cases) EXPECT_EQ(app::isRefusal(c.caption, c.text), c.refusal) << c.caption << ": " << c.text;
}

// A 10 MHz scan may be over before the autopilot first looks: its closing box is
// then up, and must not be taken for a refusal (that used to happen about one run in six).
TEST(ScanEnd, ShortScansEndFinishedEveryTime) {
  std::string home = apptest::makeTempDir("short");
  for (int i = 0; i < 20; ++i) {
    std::string root = home + "/root" + std::to_string(i);
    auto r = apptest::runEmu({"scan", "--root", root, "--from", "10700", "--to", "10710", "--quiet", "--report",
                              root + ".json"},
                             home, 120);
    ASSERT_EQ(r.status, 0) << "run " << i << ": " << r.out << r.err;
    auto j = nlohmann::json::parse(apptest::readFile(root + ".json"));
    EXPECT_EQ(j["outcome"], "finished") << "run " << i;
  }
  apptest::removeTree(home);
}

#include <filesystem>

#include "emulator/app/box_root.h"

// The root is refused when it is / or leads to the machine's own var/tuxbox;
// a stand-in for the machine's folder keeps the real one out of the test.
TEST(BoxRoot, ARootThatIsTheMachinesOwnIsRefused) {
  namespace fs = std::filesystem;
  std::string home = apptest::makeTempDir("roots");
  std::string machine = home + "/machine-tuxbox";
  fs::create_directories(machine);
  fs::create_directory_symlink("/", home + "/to-slash");
  fs::create_directories(home + "/linked/var");
  fs::create_directory_symlink(machine, home + "/linked/var/tuxbox");
  fs::create_directories(home + "/varlink");
  fs::create_directory_symlink(home, home + "/varlink/var");   // var/tuxbox -> home/tuxbox: not the machine's
  struct Case {
    std::string root;
    bool refused;
  } cases[] = {
      {"/", true},
      {home + "/to-slash", true},
      {home + "/to-slash/", true},
      {home + "/..//" + fs::path(home).filename().string() + "/to-slash/tmp/..", true},
      {home + "/linked", true},
      {home + "/own", false},
      {home + "/varlink", false},
  };
  for (const auto& c : cases) {
    bool refused = false;
    try {
      app::checkRootIsTheBoxs(c.root, machine);
    } catch (const app::RootError& e) {
      refused = true;
      EXPECT_NE(std::string(e.what()).find("give the box a folder of its own"), std::string::npos) << e.what();
    }
    EXPECT_EQ(refused, c.refused) << c.root;
  }
  apptest::removeTree(home);
}

// From the command line: status 3, a clear message, nothing made.
TEST(BoxRoot, ScanWithTheRootSlashOrALinkToItMakesNothing) {
  namespace fs = std::filesystem;
  std::string home = apptest::makeTempDir("slash");
  fs::create_directory_symlink("/", home + "/to-slash");
  bool tuxboxBefore = fs::exists("/var/tuxbox");
  for (std::string root : {std::string("/"), home + "/to-slash"}) {
    auto r = apptest::runEmu({"scan", "--root", root, "--quiet", "--from", "10700", "--to", "10710"}, home, 60);
    EXPECT_EQ(r.status, 3) << root << ": " << r.out << r.err;
    EXPECT_NE(r.err.find("is this machine's /"), std::string::npos) << r.err;
    EXPECT_EQ(fs::exists("/var/tuxbox"), tuxboxBefore) << root;
    EXPECT_FALSE(fs::exists("/scrutafasci-emu.log")) << root;
  }
  apptest::removeTree(home);
}
