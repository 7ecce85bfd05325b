// Scenario files: what a good one gives, and how a bad one is refused.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <emulator/scenario/loader.h>
#include <emulator/scenario/error.h>
#include "temp_files.h"

using namespace emu;

namespace {

const char* kGood = R"(name = "small"
[rf]
dish_cm = 80
seed = 7

[[satellite]]
position = 192
name = "Astra"
diseqc_port = "A"
  [[satellite.list]]
  transponders = "a.tpl"
  services = "a.services"
  [[satellite.known]]
  frequency_mhz = 11954
  polarisation = "H"
  services = ["ZDF"]
  [[satellite.feed]]
  frequency_mhz = 11100.5
  polarisation = "V"
  symbol_rate_ksps = 4340
  services = [ { name = "Feed", provider = "EBU", type = "T" }, { name = "Txt", type = 3 } ]

[[satellite]]
position = 130
name = "Hot Bird"
diseqc_port = 1
network_id = 318
lnb = { lof_low_khz = 9750000, lof_high_khz = 10600000, threshold_khz = 11700000 }
  [[satellite.list]]
  file = "h.scan"

[tuned]
position = 192
frequency_mhz = 11836
polarisation = "H"
playing = "Das Erste"
)";

const char* kTable = "11836 H 27500 3/4 DVB-S QPSK -\n11954 H 27500 3/4 DVB-S QPSK -\n11914 H 27500 9/10 DVB-S2 QPSK 35\n";
const char* kServices =
    "11836 H 27500 | T | Das Erste | ARD\n11836 H 27500 | R | Bayern 3 | ARD\n"
    "11954 H 27500 | T | ZDF | ZDFvision\n11954 H 27500 | T | 3sat | ZDFvision\n";

struct Box {
  TempDir dir;
  Box() {
    dir.write("a.tpl", kTable);
    dir.write("a.services", kServices);
    dir.write("h.scan", "S 12539000 H 27500000 3/4\nS 10719000 V 27500000 3/4\n");
  }
  std::string scenario(const std::string& text) const { return dir.write("s.toml", text); }
};

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

const Service* service(const Satellite& sat, const std::string& name) {
  for (const auto& c : sat.carriers)
    for (const auto& s : c.services)
      if (s.name == name) return &s;
  return nullptr;
}

}  // namespace

TEST(Loader, ReadsAGoodScenario) {
  Box box;
  Scenario s = loadScenario(box.scenario(kGood));
  EXPECT_EQ(s.name, "small");
  EXPECT_EQ(s.dish_cm, 80);
  EXPECT_EQ(s.seed, 7u);
  ASSERT_EQ(s.satellites.size(), 2u);
  const Satellite& a = s.satellites[0];
  EXPECT_EQ(a.orbital_position, 192);
  EXPECT_EQ(a.diseqc_port, 0);
  EXPECT_EQ(s.satellites[1].diseqc_port, 1);
  EXPECT_EQ(s.satelliteOnPort(1), &s.satellites[1]);
  EXPECT_EQ(s.satelliteAt(130)->network_id, 318);
  ASSERT_EQ(a.carriers.size(), 4u);   // three listed, one feed
  // Sorted by polarisation, then frequency.
  EXPECT_EQ(a.carriers[0].frequency_khz, 11836000u);
  EXPECT_EQ(a.carriers[2].frequency_khz, 11954000u);
  EXPECT_EQ(a.carriers[3].frequency_khz, 11100500u);
  EXPECT_FALSE(a.carriers[3].listed);
  EXPECT_EQ(a.carriers[1].system, DeliverySystem::DvbS2);

  // Tuned: the transponder and its services are known, and what plays is on it.
  EXPECT_TRUE(s.isTuned());
  EXPECT_EQ(s.tuned.frequency_khz, 11836000u);
  EXPECT_EQ(s.tuned.symbol_rate, 27500000u);
  EXPECT_EQ(s.tuned.fec, 3);
  EXPECT_EQ(s.tuned.playing, "Das Erste");
  EXPECT_TRUE(service(a, "Bayern 3")->known);
  EXPECT_TRUE(service(a, "ZDF")->known);
  EXPECT_FALSE(service(a, "3sat")->known);
  EXPECT_FALSE(service(a, "Feed")->known);
  EXPECT_EQ(service(a, "Txt")->service_type, 3);
  EXPECT_EQ(service(a, "Feed")->provider, "EBU");

  // Every service has an id unique on its transponder, every transponder its own stream id.
  std::set<int> tsids;
  for (const auto& c : a.carriers) {
    EXPECT_TRUE(tsids.insert(c.transport_stream_id).second);
    EXPECT_EQ(c.original_network_id, 192);
    std::set<int> sids;
    for (const auto& v : c.services) EXPECT_TRUE(sids.insert(v.service_id).second && v.service_id > 0);
  }
  // Levels are the box's to draw; the scenario only says which ones it gives.
  for (const auto& c : a.carriers) EXPECT_FALSE(c.esno_given);
  EXPECT_FALSE(s.notes.empty());
}

TEST(Loader, AGivenLevelIsKept) {
  Box box;
  Scenario d = loadScenario(box.scenario(replaced(kGood, "symbol_rate_ksps = 4340", "symbol_rate_ksps = 4340\nesno_db = 5.5")));
  EXPECT_TRUE(d.satellites[0].carriers[3].esno_given);
  EXPECT_EQ(d.satellites[0].carriers[3].esno_db, 5.5);
}

TEST(Loader, FaultRulesAreKeptInOrder) {
  Box box;
  EXPECT_TRUE(loadScenario(box.scenario(kGood)).faults.empty());
  Scenario s = loadScenario(box.scenario(replaced(
      kGood, "name = \"small\"\n", "name = \"small\"\nfaults = [\"request:FE_SET_FRONTEND@2x0\", \"readonly=EACCES\"]\n")));
  EXPECT_EQ(s.faults, (std::vector<std::string>{"request:FE_SET_FRONTEND@2x0", "readonly=EACCES"}));
}

TEST(Loader, NotTunedWithoutTunedTable) {
  Box box;
  std::string text = kGood;
  text.erase(text.find("[tuned]"));
  Scenario s = loadScenario(box.scenario(text));
  EXPECT_FALSE(s.isTuned());
  EXPECT_FALSE(service(s.satellites[0], "Das Erste")->known);
}

struct BadCase {
  const char* what;
  std::string from, to;   // edit of the good scenario
  int line;               // where the error must point
  const char* reason;
};

class BadScenario : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenario, IsRefusedWithFileLineAndReason) {
  const BadCase& c = GetParam();
  Box box;
  std::string path = box.scenario(replaced(kGood, c.from, c.to));
  try {
    loadScenario(path);
    ADD_FAILURE() << c.what << " was accepted";
  } catch (const ScenarioError& e) {
    EXPECT_EQ(e.file(), path);
    EXPECT_EQ(e.line(), c.line) << e.what();
    EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).rfind(path + ":" + std::to_string(c.line) + ": ", 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScenario,
    ::testing::Values(
        BadCase{"unknown key", "seed = 7", "seed = 7\nsede = 8", 5, "unknown key 'sede' in [rf]"},
        BadCase{"unknown satellite key", "diseqc_port = \"A\"", "diseqc_port = \"A\"\nlnb_type = 2", 10,
                "unknown key 'lnb_type'"},
        BadCase{"unknown feed key", "symbol_rate_ksps = 4340", "symbol_rate_ksps = 4340\n  level = 3", 21,
                "unknown key 'level'"},
        BadCase{"syntax", "dish_cm = 80", "dish_cm = = 80", 3, ""},
        BadCase{"wrong type", "seed = 7", "seed = \"seven\"", 4, "seed: expected an integer"},
        BadCase{"port out of range", "diseqc_port = 1", "diseqc_port = 4", 26, "outside 0..3"},
        BadCase{"port letter", "diseqc_port = \"A\"", "diseqc_port = \"E\"", 9, "not a port"},
        BadCase{"shared port", "diseqc_port = 1", "diseqc_port = 0", 23, "shares switch port 0"},
        BadCase{"polarisation", "polarisation = \"V\"", "polarisation = \"L\"", 19, "neither \"H\" nor \"V\""},
        BadCase{"feed out of band", "frequency_mhz = 11100.5", "frequency_mhz = 13100.5", 18, "outside"},
        BadCase{"feed overlapping", "frequency_mhz = 11100.5\n  polarisation = \"V\"",
                "frequency_mhz = 11840.5\n  polarisation = \"H\"", 17, "overlaps the carrier"},
        // 15.5 MHz from a 27 500 kS/s carrier: apart by more than a quarter of the two
        // occupied bands, less than half of them.
        BadCase{"feed overlapping the edge", "frequency_mhz = 11100.5\n  polarisation = \"V\"",
                "frequency_mhz = 11851.5\n  polarisation = \"H\"", 17, "overlaps the carrier"},
        BadCase{"missing key", "name = \"Hot Bird\"\n", "", 23, "'name' is missing"},
        BadCase{"missing list", "file = \"h.scan\"", "file = \"nothing.scan\"", 30, "cannot open"},
        BadCase{"list with both", "file = \"h.scan\"", "file = \"h.scan\"\n  transponders = \"a.tpl\"", 29,
                "either 'file' or 'transponders'"},
        BadCase{"bad format", "file = \"h.scan\"", "file = \"h.scan\"\n  format = \"xml\"", 31, "'xml' is not one of"},
        BadCase{"known not there", "frequency_mhz = 11954", "frequency_mhz = 12000", 13, "is not on Astra"},
        BadCase{"known service not there", "services = [\"ZDF\"]", "services = [\"ZDF\", \"ORF\"]", 16,
                "service 'ORF'"},
        BadCase{"tuned elsewhere", "frequency_mhz = 11836", "frequency_mhz = 12100", 32, "not on Astra"},
        BadCase{"tuned satellite", "[tuned]\nposition = 192", "[tuned]\nposition = 282", 33, "282 is none"},
        BadCase{"playing elsewhere", "playing = \"Das Erste\"", "playing = \"ZDF\"", 36, "'ZDF' is not a service"},
        BadCase{"service type", "type = 3", "type = \"X\"", 21, "'X' is not T, R, D"},
        BadCase{"fault rule", "name = \"small\"\n", "name = \"small\"\nfaults = [\"sec\",\n  \"request:FE_READ_STAUS@2\"]\n", 3,
                "unknown request FE_READ_STAUS"},
        BadCase{"fault list", "name = \"small\"\n", "name = \"small\"\nfaults = \"sec\"\n", 2, "expected an array"}),
    [](const auto& info) {
      std::string n = info.param.what;
      for (char& ch : n) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(BadScenario, ABadListLineIsNotedNotFatal) {
  Box box;
  box.dir.write("h.scan", "S 12539000 H 27500000 3/4\nS 10719000 Q 27500000 3/4\n");
  Scenario s = loadScenario(box.scenario(kGood));
  EXPECT_EQ(s.satellites[1].carriers.size(), 1u);
  bool summary = false, line = false;
  for (const auto& n : s.notes) {
    summary = summary || n.find("h.scan: 1 transponders, 1 unreadable lines skipped") != std::string::npos;
    line = line || n.find("h.scan:2: skipped: polarisation 'Q'") != std::string::npos;
  }
  EXPECT_TRUE(summary);
  EXPECT_TRUE(line);
}

// The count the terminal shows is of entries skipped or left out, not of notes.
TEST(BadScenario, OnlyDroppedEntriesAreCounted) {
  Box box;
  box.dir.write("h.scan", "S 12539000 H 27500000 3/4\nS 10719000 Q 27500000 3/4\nS 10800000 Z 1 3/4\n");
  Scenario s = loadScenario(box.scenario(kGood));
  EXPECT_EQ(s.entries_dropped, 2);
  EXPECT_GT(s.notes.size(), 2u);   // the summary lines besides
}

// Two list carriers a few MHz apart: both kept, the pair noted with both lines and the overlap.
TEST(BadScenario, OverlappingListCarriersAreNoted) {
  Box box;
  // 27500 at 12539 and 22000 at 12542: halves 18.5625 + 14.85 MHz, 3 MHz apart.
  box.dir.write("h.scan", "S 12539000 H 27500000 3/4\nS 12542000 H 22000000 5/6\nS 12600000 H 22000000 5/6\n");
  Scenario s = loadScenario(box.scenario(kGood));
  EXPECT_EQ(s.satellites[1].carriers.size(), 3u);
  int overlaps = 0;
  for (const auto& n : s.notes)
    if (n.find("overlaps") != std::string::npos) {
      ++overlaps;
      EXPECT_NE(n.find("h.scan:1: 12539.000 MHz H 27500 kS/s overlaps 12542.000 MHz 22000 kS/s of "), std::string::npos) << n;
      EXPECT_NE(n.find("h.scan:2 by 30.41"), std::string::npos) << n;
    }
  EXPECT_EQ(overlaps, 1);
  EXPECT_EQ(s.entries_dropped, 0);
}

TEST(BadScenario, AMissingScenarioFileIsNamed) {
  try {
    loadScenario("/nonexistent/x.toml");
    FAIL();
  } catch (const ScenarioError& e) {
    EXPECT_EQ(e.file(), "/nonexistent/x.toml");
    EXPECT_EQ(e.line(), 0);
  }
}

TEST(Loader, TheExampleOfTheFormatPageLoads) {
  std::ifstream in(std::string(SCRUTA_SOURCE_DIR) + "/emulator/scenario/README.md");
  std::stringstream ss;
  ss << in.rdbuf();
  std::string page = ss.str();
  size_t b = page.find("```toml\n");
  ASSERT_NE(b, std::string::npos);
  b += 8;
  size_t e = page.find("```", b);
  // As if it were a file in scenarios/, next to the lists.
  Scenario s = parseScenario(page.substr(b, e - b), std::string(SCRUTA_SOURCE_DIR) + "/scenarios/example.toml");
  ASSERT_EQ(s.satellites.size(), 2u);
  const Satellite& astra = s.satellites[0];
  // The VDR list names the same services as the table: merged, not doubled, and they take its ids.
  int das_erste = 0;
  for (const auto& c : astra.carriers)
    for (const auto& v : c.services)
      if (v.name == "Das Erste") {
        ++das_erste;
        EXPECT_EQ(v.service_id, 28106);
        EXPECT_TRUE(v.known);
      }
  EXPECT_EQ(das_erste, 1);
  size_t services = 0;
  for (const auto& c : astra.carriers) services += c.services.size();
  EXPECT_EQ(services, 1376u + 3u);
  EXPECT_EQ(s.satellites[1].diseqc_port, 1);
  EXPECT_EQ(s.tuned.playing, "Das Erste");
}
