// scan --export and --spectrum from end to end: the built emulator scans a small
// scenario; its channel list, named as the list of a second scenario, loads back to
// the same transponders and services, and a scan of that scenario finds them again.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <tuple>

#include "emu_process.h"
#include "emulator/app/report.h"
#include "emulator/scenario/loader.h"
#include "host/dvbapi/frontend.h"

namespace {

// Three 27500 kS/s transponders: every class, a colon and a decimal comma in names,
// a non-ASCII name, an empty provider, a known transponder, two code rates.
const char kScenario[] = R"(name = "export round trip"
[rf]
seed = 7
lo_error_khz = 0
[[satellite]]
position = 192
name = "Astra 19.2E"
diseqc_port = "A"
network_id = 1
  [[satellite.feed]]
  frequency_mhz = 11000
  polarisation = "H"
  symbol_rate_ksps = 27500
  esno_db = 12
  services = [ { name = "Sport: Live", provider = "SKY", type = "T" },
               { name = "NDR 90,3", provider = "NDR", type = "R" },
               { name = "EPG data", provider = "SKY", type = "D" } ]
  [[satellite.feed]]
  frequency_mhz = 11040
  polarisation = "H"
  symbol_rate_ksps = 27500
  fec = "5/6"
  esno_db = 13
  services = [ { name = "Ö1 Radio", provider = "ORF", type = "R" },
               { name = "ORF 2", provider = "ORF", type = "T" } ]
  [[satellite.feed]]
  frequency_mhz = 11080
  polarisation = "H"
  symbol_rate_ksps = 27500
  esno_db = 12
  known = true
  services = [ { name = "Known TV", provider = "", type = "T" } ]
[tuned]
position = 192
frequency_mhz = 11000
polarisation = "H"
)";

using ServiceKey = std::tuple<std::string, std::string, std::string>;   // name, provider, class
using TransponderKey = std::tuple<long, std::string, int>;              // kHz, pol, kS/s

struct Found {
  std::multiset<ServiceKey> services;
  std::set<TransponderKey> transponders;   // those with services
};

Found foundIn(const std::string& reportPath) {
  auto j = nlohmann::json::parse(apptest::readFile(reportPath));
  Found f;
  for (const auto& s : j["services"])
    f.services.insert({s["name"].get<std::string>(), s["provider"].get<std::string>(), s["class"].get<std::string>()});
  for (const auto& h : j["handed_over"])
    if (!h["services"].empty()) f.transponders.insert({h["freq_khz"].get<long>(), h["pol"].get<std::string>(), h["sr_ksps"].get<int>()});
  return f;
}

// A scenario whose only list is the exported file, tuned to its first transponder.
std::string scenarioOf(const std::string& dir, const std::string& list, long tunedKhz) {
  std::ostringstream s;
  s << "name = \"reloaded\"\n[rf]\nseed = 7\nlo_error_khz = 0\n"
    << "[[satellite]]\nposition = 192\nname = \"Astra 19.2E\"\ndiseqc_port = \"A\"\n"
    << "  [[satellite.list]]\n  file = \"" << list << "\"\n"
    << "[tuned]\nposition = 192\nfrequency_mhz = " << tunedKhz / 1000.0 << "\npolarisation = \"H\"\n";
  std::string path = dir + "/reloaded.toml";
  apptest::writeFile(path, s.str());
  return path;
}

std::vector<std::string> scanArgs(const std::string& scenario, const std::string& root, const std::string& report) {
  return {"scan", "--scenario", scenario, "--root", root, "--from", "10980", "--to", "11100",
          "--quiet", "--report", report, "--max-wall-time", "240"};
}

}  // namespace

TEST(ExportEndToEnd, ExportedListLoadsBackAndIsFoundAgainInBothFormats) {
  for (const char* ext : {".conf", ".channels"}) {
    SCOPED_TRACE(ext);
    std::string home = apptest::makeTempDir("export");
    std::string scenario = home + "/first.toml", list = home + "/found" + std::string(ext);
    apptest::writeFile(scenario, kScenario);
    auto args = scanArgs(scenario, home + "/root1", home + "/first.json");
    args.insert(args.end(), {"--export", list});
    auto r = apptest::runEmu(args, home, 300);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Channels: " + list), std::string::npos) << r.out;
    Found first = foundIn(home + "/first.json");
    ASSERT_EQ(first.services.size(), 6u);
    ASSERT_EQ(first.transponders.size(), 3u);

    // Loaded back: the same transponders (as handed over) and services (name, provider, class).
    emu::Scenario back = emu::loadScenario(scenarioOf(home, list, std::get<0>(*first.transponders.begin())));
    ASSERT_EQ(back.satellites.size(), 1u);
    std::set<TransponderKey> transponders;
    std::multiset<ServiceKey> services;
    for (const emu::Carrier& c : back.satellites[0].carriers) {
      transponders.insert({c.frequency_khz, emu::polarisationLetter(c.polarisation), c.symbol_rate / 1000});
      for (const emu::Service& s : c.services) services.insert({s.name, s.provider, app::serviceClassOf(s.service_type)});
    }
    EXPECT_EQ(transponders, first.transponders);
    EXPECT_EQ(services, first.services);
    // The code rate the first scenario gave survives.
    for (const emu::Carrier& c : back.satellites[0].carriers)
      EXPECT_EQ(c.fec_text, c.frequency_khz == 11040000 ? "5/6" : "3/4") << c.frequency_khz;

    // Scanned again: the same found.
    auto again = apptest::runEmu(scanArgs(home + "/reloaded.toml", home + "/root2", home + "/again.json"), home, 300);
    ASSERT_EQ(again.status, 0) << again.out << again.err;
    Found second = foundIn(home + "/again.json");
    EXPECT_EQ(second.transponders, first.transponders);
    EXPECT_EQ(second.services, first.services);
    apptest::removeTree(home);
  }
}

TEST(ExportEndToEnd, SpectrumCsvHoldsThePlugInsReadingsInOrder) {
  std::string home = apptest::makeTempDir("spectrum");
  std::string scenario = home + "/first.toml", csv = home + "/spectrum.csv";
  apptest::writeFile(scenario, kScenario);
  auto args = scanArgs(scenario, home + "/root", home + "/report.json");
  args.insert(args.end(), {"--spectrum", csv});
  auto r = apptest::runEmu(args, home, 300);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  std::istringstream in(apptest::readFile(csv));
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, "time_ms,frequency_mhz,sr_ksps,request,value,status,pol,satellite");
  double lastMs = -1;
  int rows = 0, lockedAt11040 = 0, strongAgc = 0;
  std::set<std::string> requests;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ls(line);
    std::string cell;
    while (std::getline(ls, cell, ',')) f.push_back(cell);
    ASSERT_EQ(f.size(), 8u) << line;
    double ms = std::atof(f[0].c_str()), mhz = std::atof(f[1].c_str());
    EXPECT_GT(ms, lastMs) << line;
    lastMs = ms;
    EXPECT_GE(mhz, 10980 - 30) << line;
    EXPECT_LE(mhz, 11100 + 30) << line;
    EXPECT_EQ(f[2], "27500.000") << line;
    EXPECT_EQ(f[6], "H") << line;
    EXPECT_EQ(f[7], "192") << line;
    requests.insert(f[3]);
    long value = std::atol(f[4].c_str());
    ASSERT_EQ(f[5].rfind("0x", 0), 0u) << line;
    unsigned status = static_cast<unsigned>(std::strtoul(f[5].c_str(), nullptr, 16));
    if (f[3] == "FE_READ_STATUS") {
      EXPECT_EQ(static_cast<unsigned>(value), status) << line;
    }
    if (std::abs(mhz - 11040) < 1 && (status & FE_HAS_LOCK)) ++lockedAt11040;
    if (f[3] == "FE_READ_SIGNAL_STRENGTH" && value == 65535) ++strongAgc;
    ++rows;
  }
  EXPECT_GT(rows, 100);
  EXPECT_GT(lockedAt11040, 0);
  EXPECT_GT(strongAgc, 0);
  for (const auto& q : requests) EXPECT_EQ(q.rfind("FE_READ_", 0), 0u) << q;
  EXPECT_NE(r.out.find("Spectrum: " + csv + " (" + std::to_string(rows) + " readings)"), std::string::npos) << r.out;
  apptest::removeTree(home);
}

TEST(ExportEndToEnd, BadOutputIsRefusedBeforeTheScanWithNothingWritten) {
  std::string home = apptest::makeTempDir("badout");
  std::string root = home + "/root";
  mkdir((home + "/folder.conf").c_str(), 0755);
  apptest::writeFile(home + "/kept.csv", "kept\n");
  struct Case {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"--export", home + "/list.txt"}, "cannot tell the format of --export"},
      {{"--export", home + "/list.conf", "--export-format", "m3u"}, "--export-format takes vdr or dvbv5"},
      {{"--export-format", "vdr"}, "--export-format needs --export"},
      {{"--export", home + "/missing/list.conf"}, "--export: cannot write " + home + "/missing/list.conf"},
      {{"--export", home + "/folder.conf"}, "is a folder"},
      {{"--export", home + "/ok.conf", "--spectrum", home + "/missing/s.csv"}, "--spectrum: cannot write"},
      {{"--spectrum", home + "/kept.csv", "--export", home + "/missing/x.channels"}, "No such file or directory"},
      {{"--export", home + "/ok.conf", "--report", home + "/ok.conf"}, "--export and --report name the same file"},
      {{"--spectrum", home + "/kept.csv", "--report", home + "/kept.csv"}, "--spectrum and --report name the same"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"scan", "--root", root};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = apptest::runEmu(args, home);
    EXPECT_EQ(r.status, 2) << c.says << "\n" << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    // Refused before the scan: no banner, no box root, nothing beside.
    EXPECT_EQ(r.out.find("scrutafasci-emu scan:"), std::string::npos) << r.out;
    struct stat st {};
    EXPECT_NE(stat(root.c_str(), &st), 0) << c.says;
    EXPECT_NE(stat((home + "/ok.conf").c_str(), &st), 0);
    EXPECT_NE(stat((home + "/ok.conf.part").c_str(), &st), 0);
    EXPECT_EQ(apptest::readFile(home + "/kept.csv"), "kept\n");
  }
  apptest::removeTree(home);
}
