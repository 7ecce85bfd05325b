// The list readers on the real lists: what they read must agree with the counts in the
// '#' headers of the derived files.
#include <gtest/gtest.h>

#include <fstream>
#include <cctype>
#include <cstdlib>
#include <emulator/scenario/lists.h>
#include "temp_files.h"

using namespace emu;

namespace {

std::string header(const std::string& file) {
  std::ifstream in(file);
  std::string all, line;
  while (std::getline(in, line) && !line.empty() && line[0] == '#') all += line + "\n";
  return all;
}

// The number right after the first `marker` that a digit follows.
int after(const std::string& text, const std::string& marker) {
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
    size_t b = at + marker.size();
    if (b < text.size() && std::isdigit(static_cast<unsigned char>(text[b]))) return std::atoi(text.c_str() + b);
  }
  ADD_FAILURE() << "no number after '" << marker << "' in the header";
  return -1;
}

// The number right before the first `marker`.
int before(const std::string& text, const std::string& marker) {
  size_t at = text.find(marker);
  size_t b = at;
  while (b != std::string::npos && b > 0 && std::isdigit(static_cast<unsigned char>(text[b - 1]))) --b;
  if (at == std::string::npos || b == at) {
    ADD_FAILURE() << "no number before '" << marker << "' in the header";
    return -1;
  }
  return std::atoi(text.c_str() + b);
}

struct Tally {
  int h = 0, v = 0, s = 0, s2 = 0, low = 0, high = 0;
};

Tally tally(const std::vector<Carrier>& cs) {
  Tally t;
  for (const auto& c : cs) {
    (c.polarisation == Polarisation::Horizontal ? t.h : t.v)++;
    (c.system == DeliverySystem::DvbS2 ? t.s2 : t.s)++;
    (c.frequency_khz < 11700000 ? t.low : t.high)++;
  }
  return t;
}

}  // namespace

class TransponderTables : public ::testing::TestWithParam<const char*> {};

TEST_P(TransponderTables, CountsMatchTheHeader) {
  std::string file = listsDir() + "/" + GetParam();
  std::string h = header(file);
  ListReport r;
  auto cs = readTransponderTable(file, r);
  EXPECT_EQ(r.skipped, 0) << (r.problems.empty() ? "" : r.problems[0].text);
  // Multistream lines name one carrier more than once: the band holds it once.
  int streams = 0;
  for (const auto& p : r.problems) streams += p.text.find("another stream") != std::string::npos;
  EXPECT_EQ(static_cast<int>(cs.size()) + streams, after(h, "# transponders: "));
  EXPECT_EQ(r.left_out, streams);
  Tally t = tally(cs);
  int s2_lines = after(h, "DVB-S2 ");
  EXPECT_EQ(t.s, after(h, "DVB-S "));
  EXPECT_EQ(t.s2 + streams, s2_lines);
  if (streams == 0) {
    EXPECT_EQ(t.h, after(h, "(H "));
    EXPECT_EQ(t.v, after(h, "/ V "));
    EXPECT_EQ(t.low, after(h, "<11700 MHz "));
    EXPECT_EQ(t.high, after(h, "high band "));
  }
  for (const auto& c : cs) {
    EXPECT_GE(c.frequency_khz, kBandLowKhz);
    EXPECT_LE(c.frequency_khz, kBandHighKhz);
    EXPECT_GT(c.symbol_rate, 1000000u);
  }
}

INSTANTIATE_TEST_SUITE_P(Real, TransponderTables,
                         ::testing::Values("astra19.2e.tpl", "astra19.2e-dtv2019.tpl", "hotbird13.0e.tpl",
                                           "hotbird13.0e-2015.tpl"));

TEST(TransponderTables, DvbS2EntriesKeepTheirModulationAndRollOff) {
  ListReport r;
  auto cs = readTransponderTable(listsDir() + "/astra19.2e.tpl", r);
  // "10773 H 22000 3/4 DVB-S2 8PSK 20"
  auto it = std::find_if(cs.begin(), cs.end(), [](const Carrier& c) {
    return c.frequency_khz == 10773000 && c.polarisation == Polarisation::Horizontal;
  });
  ASSERT_NE(it, cs.end());
  EXPECT_EQ(it->system, DeliverySystem::DvbS2);
  EXPECT_EQ(it->modulation, Modulation::Psk8);
  EXPECT_DOUBLE_EQ(it->rolloff, 0.20);
  EXPECT_EQ(it->fec, 3);
  EXPECT_EQ(it->symbol_rate, 22000000u);
  EXPECT_EQ(it->origin, listsDir() + "/astra19.2e.tpl:21");
}

class ServiceTables : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(ServiceTables, CountsMatchTheHeader) {
  std::string tpl = listsDir() + "/" + GetParam().first, svc = listsDir() + "/" + GetParam().second;
  std::string h = header(svc);
  ListReport tr, sr;
  auto cs = readTransponderTable(tpl, tr);
  std::vector<Carrier> feeds;
  readServiceTable(svc, cs, Unmatched::Feeds, feeds, sr);
  EXPECT_EQ(sr.skipped, 0) << (sr.problems.empty() ? "" : sr.problems[0].text);
  int matched = 0, unmatched = 0, t = 0, r = 0, d = 0;
  for (const auto* set : {&cs, &feeds})
    for (const auto& c : *set)
      for (const auto& s : c.services) {
        (set == &cs ? matched : unmatched)++;
        t += s.service_type == kServiceTypeTv;
        r += s.service_type == kServiceTypeRadio;
        d += s.service_type == kServiceTypeData;
      }
  EXPECT_EQ(matched, after(h.substr(h.find("; matched to ")), ": "));
  EXPECT_EQ(unmatched, after(h, "unmatched: "));
  EXPECT_EQ(t, after(h, "(T "));
  EXPECT_EQ(r, after(h, "/ R "));
  EXPECT_EQ(d, after(h, "/ D "));
  EXPECT_EQ(sr.services, matched + unmatched);

  // Ignoring the unmatched ones leaves each of them out, counted and named.
  ListReport ir, itr;
  auto cs2 = readTransponderTable(tpl, itr);
  std::vector<Carrier> none;
  readServiceTable(svc, cs2, Unmatched::Ignore, none, ir);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(ir.left_out, unmatched);
  EXPECT_EQ(ir.services, matched);
}

INSTANTIATE_TEST_SUITE_P(Real, ServiceTables,
                         ::testing::Values(std::make_pair("astra19.2e.tpl", "astra19.2e.services"),
                                           std::make_pair("astra19.2e-dtv2019.tpl", "astra19.2e-dtv2019.services"),
                                           std::make_pair("hotbird13.0e.tpl", "hotbird13.0e.services")));

TEST(VdrChannels, TheFullScanGivesTheTableItWasDerivedFrom) {
  std::string h = header(listsDir() + "/astra19.2e.tpl");
  std::string hs = header(listsDir() + "/astra19.2e.services");
  ListReport r;
  auto cs = readVdrChannels(listsDir() + "/orig/astra19.2e-vdr-2012.channels.conf", 192, r);
  EXPECT_EQ(r.skipped, 0) << (r.problems.empty() ? "" : r.problems[0].text);
  EXPECT_EQ(static_cast<int>(cs.size()), after(h, "# transponders: "));
  EXPECT_EQ(r.services, after(hs, "# services: "));
  EXPECT_EQ(tally(cs).s2, after(h, "DVB-S2 "));
  EXPECT_EQ(r.left_out, 1);   // the one 28.2E line
  ASSERT_EQ(r.problems.size(), 1u);
  EXPECT_NE(r.problems[0].text.find("another satellite (S28.2E)"), std::string::npos);
  // "Das Erste HD;ARD:11493:HC23M5O35S1:S19.2E:22000:5101=27:...:0:10301:1:1019:0"
  bool seen = false;
  for (const auto& c : cs)
    for (const auto& s : c.services)
      if (s.name == "Das Erste HD") {
        seen = true;
        EXPECT_EQ(s.provider, "ARD");
        EXPECT_EQ(s.service_id, 10301);
        EXPECT_EQ(s.service_type, kServiceTypeTv);
        EXPECT_EQ(c.transport_stream_id, 1019);
        EXPECT_EQ(c.original_network_id, 1);
        EXPECT_EQ(c.frequency_khz, 11493000u);
        EXPECT_EQ(c.system, DeliverySystem::DvbS2);
      }
  EXPECT_TRUE(seen);
}

TEST(Dvbv5, TheFourAstraFilesGiveTheMergedTable) {
  std::string h = header(listsDir() + "/astra19.2e-dtv2019.tpl");
  int carriers = 0, left_out = 0, s2 = 0;
  for (const char* f : {"Astra-1KR-19.2E", "Astra-1L-19.2E", "Astra-1M-19.2E", "Astra-1N-19.2E"}) {
    ListReport r;
    auto cs = readDvbv5(listsDir() + "/orig/" + f, r);
    EXPECT_EQ(r.skipped, 0) << f << ": " << (r.problems.empty() ? "" : r.problems[0].text);
    carriers += static_cast<int>(cs.size());
    left_out += r.left_out;
    s2 += tally(cs).s2;
  }
  EXPECT_EQ(carriers, after(h, "# transponders: "));
  EXPECT_EQ(carriers + left_out, before(h, " entries;"));
  EXPECT_EQ(left_out, before(h, " Ka-band"));
  EXPECT_EQ(s2, after(h, "DVB-S2 "));
}

TEST(ScanFile, TheLegacyHotBirdFileGivesItsTable) {
  std::string h = header(listsDir() + "/hotbird13.0e.tpl");
  ListReport r;
  auto cs = readScanFile(listsDir() + "/orig/Hotbird-13.0E-2007", r);
  EXPECT_EQ(r.skipped, 0);
  EXPECT_EQ(static_cast<int>(cs.size()), after(h, "# transponders: "));
  EXPECT_EQ(tally(cs).s2, 0);
  ASSERT_FALSE(cs.empty());
  EXPECT_EQ(cs[0].frequency_khz, 12539000u);   // "S 12539000 H 27500000 3/4"
  EXPECT_EQ(cs[0].symbol_rate, 27500000u);
  EXPECT_EQ(cs[0].fec, 3);
}

TEST(ZapChannels, TheTwoDishListSplitsBySatelliteNumber) {
  std::string h = header(listsDir() + "/hotbird13.0e.services");
  std::string file = listsDir() + "/orig/astra19.2e-hotbird13.0e-szap-2004.channels.conf";
  ListReport astra, hotbird;
  readZapChannels(file, 0, astra);
  readZapChannels(file, 1, hotbird);
  EXPECT_EQ(astra.skipped + hotbird.skipped, 0);
  EXPECT_EQ(astra.services, after(h.substr(h.find("sat field 0 = ")), "("));
  EXPECT_EQ(hotbird.services, after(h, "1 = Hot Bird 13.0E ("));
  EXPECT_EQ(astra.left_out, hotbird.services);
}

TEST(DetectFormat, TellsTheRealFilesApart) {
  EXPECT_EQ(detectFormat(listsDir() + "/astra19.2e.tpl"), ListFormat::TransponderTable);
  EXPECT_EQ(detectFormat(listsDir() + "/orig/astra19.2e-vdr-2012.channels.conf"), ListFormat::VdrChannels);
  EXPECT_EQ(detectFormat(listsDir() + "/orig/astra19.2e-hotbird13.0e-szap-2004.channels.conf"), ListFormat::ZapChannels);
  EXPECT_EQ(detectFormat(listsDir() + "/orig/Astra-1KR-19.2E"), ListFormat::Dvbv5);
  EXPECT_EQ(detectFormat(listsDir() + "/orig/Hotbird-13.0E-2007"), ListFormat::ScanFile);
  EXPECT_THROW(detectFormat(listsDir() + "/astra19.2e.services"), ScenarioError);
}
