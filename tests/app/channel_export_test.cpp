// Channel lists and the spectrum CSV from fixtures: what goes in, line by line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "emu_process.h"
#include "emulator/app/channel_export.h"
#include "emulator/app/output_file.h"
#include "emulator/app/spectrum_csv.h"
#include "emulator/scenario/lists.h"

using emu::Polarisation;

namespace {

emu::Scenario twoCarriers() {
  emu::Scenario s;
  emu::Satellite sat;
  sat.orbital_position = 192;
  sat.network_id = 1;
  emu::Carrier a;
  a.frequency_khz = 11836500;
  a.symbol_rate = 27500000;
  a.fec = 3;
  a.fec_text = "3/4";
  a.transport_stream_id = 1101;
  a.original_network_id = 1;
  emu::Carrier b = a;
  b.frequency_khz = 11954000;
  b.fec = 0;
  b.fec_text = "";
  b.transport_stream_id = 1079;
  sat.carriers = {a, b};
  s.satellites.push_back(sat);
  return s;
}

emu::HandOver handOver(uint32_t khz, uint32_t carrier_khz) {
  emu::HandOver h;
  h.orbital_position = 192;
  h.frequency_khz = khz;
  h.symbol_rate = 27500000;
  h.carrier_khz = carrier_khz;
  return h;
}

emu::ReportedService reported(int handOver, const char* name, const char* provider, int sid, int tsid) {
  emu::ReportedService s;
  s.hand_over = handOver;
  s.name = name;
  s.provider = provider;
  s.service_id = sid;
  s.transport_stream_id = tsid;
  s.original_network_id = 1;
  return s;
}

// 11836 H on 19.2E, as the receiver lists it, without services.
app::ExportedTransponder astra11836() {
  app::ExportedTransponder t;
  t.orbitalPosition = 192;
  t.frequencyKhz = 11836000;
  t.symbolRate = 27500000;
  t.fec = "3/4";
  t.transportStreamId = 1101;
  t.networkId = 1;
  return t;
}

}  // namespace

TEST(ChannelList, OneTransponderPerCarrierServicesAsTheLogListsThem) {
  // Two hand-overs of the first carrier (a repeat), one of the second, one that locked nothing.
  std::vector<emu::HandOver> h = {handOver(11836000, 11836500), handOver(11954000, 11954000),
                                  handOver(11838000, 11836500), handOver(12000000, 0)};
  std::vector<emu::ReportedService> r = {
      reported(0, "Das Erste", "ARD", 28106, 1101), reported(0, "Not logged", "ARD", 28107, 1101),
      reported(1, "RTL Radio", "RTL", 1, 1079), reported(2, "Das Erste", "ARD", 28106, 1101)};
  app::FoundLog log = app::parseFoundLog("[NT] Das Erste | ARD\n[NR] RTL Radio | RTL\n[ND] Lost | X\n");
  app::ChannelList l = app::buildChannelList(h, r, log, twoCarriers());
  ASSERT_EQ(l.transponders.size(), 3u);
  const app::ExportedTransponder& a = l.transponders[0];
  EXPECT_EQ(a.frequencyKhz, 11836000u);   // as first handed over
  EXPECT_EQ(a.fec, "3/4");
  EXPECT_EQ(a.transportStreamId, 1101);
  ASSERT_EQ(a.services.size(), 1u);       // the repeat adds nothing; the unlogged one is left out
  EXPECT_EQ(a.services[0].serviceClass, "tv");
  EXPECT_EQ(a.services[0].serviceId, 28106);
  ASSERT_EQ(l.transponders[1].services.size(), 1u);
  EXPECT_EQ(l.transponders[1].services[0].serviceClass, "radio");
  EXPECT_EQ(l.transponders[1].fec, "AUTO");
  EXPECT_EQ(l.transponders[2].frequencyKhz, 12000000u);
  EXPECT_TRUE(l.transponders[2].services.empty());
  EXPECT_EQ(l.transponders[2].transportStreamId, 0);   // unknown: 0
  EXPECT_EQ(l.servicesNotPlaced, 1);
}

TEST(ChannelList, VdrLinesCarryParametersSourceAndIds) {
  app::ChannelList l;
  app::ExportedTransponder t = astra11836();
  t.services = {{"Das Erste", "ARD", "tv", 28106}, {"Bayern 3: Live", "BR", "radio", 28203}, {"EPG", "", "data", 7}};
  app::ExportedTransponder s2 = t;
  s2.orbitalPosition = -50;
  s2.frequencyKhz = 11494500;
  s2.polarisation = Polarisation::Vertical;
  s2.symbolRate = 22000000;
  s2.fec = "9/10";
  s2.system = emu::DeliverySystem::DvbS2;
  s2.modulation = emu::Modulation::Psk8;
  s2.rolloff = 0.20;
  s2.services = {{"HD", "P", "tv", 1}};
  l.transponders = {t, s2};
  EXPECT_EQ(app::vdrChannels(l),
            ":11836 H 27500\n"
            "Das Erste;ARD:11836:HC34M2S0:S19.2E:27500:8191:8191:0:0:28106:1:1101:0\n"
            "Bayern 3| Live;BR:11836:HC34M2S0:S19.2E:27500:0:8191:0:0:28203:1:1101:0\n"
            "EPG:11836:HC34M2S0:S19.2E:27500:0:0:0:0:7:1:1101:0\n"
            ":11494.500 V 22000\n"
            "HD;P:11494.500:VC910M5O20S1:S5.0W:22000:8191:8191:0:0:1:1:1101:0\n");
}

TEST(ChannelList, NamesVdrWouldCutAreCounted) {
  app::ChannelList l;
  app::ExportedTransponder t;
  const char* kept[] = {"NDR 90,3", "Sport: Live", "1,2,3", "Ö1"};
  const char* cut[] = {"Foo, Bar", "A;B", "A|B", "1,a", "x,1", "3,", ",5"};
  for (const char* n : kept) t.services.push_back({n, "", "tv", 1});
  l.transponders.push_back(t);
  EXPECT_EQ(app::namesVdrCuts(l), 0);
  for (const char* n : cut) l.transponders[0].services.push_back({n, "", "tv", 1});
  EXPECT_EQ(app::namesVdrCuts(l), 7);

  // The count agrees with what the list reader makes of each name.
  std::string dir = apptest::makeTempDir("vdrnames");
  for (const auto& s : l.transponders[0].services) {
    app::ChannelList one;
    app::ExportedTransponder t1;
    t1.orbitalPosition = 192;
    t1.frequencyKhz = 11836000;
    t1.symbolRate = 27500000;
    t1.services = {s};
    one.transponders = {t1};
    apptest::writeFile(dir + "/one.conf", app::vdrChannels(one));
    emu::ListReport report;
    auto carriers = emu::readVdrChannels(dir + "/one.conf", 192, report);
    bool readBack = carriers.size() == 1 && carriers[0].services.size() == 1 && carriers[0].services[0].name == s.name;
    EXPECT_EQ(!readBack, app::namesVdrCuts(one) == 1) << s.name;
  }
  apptest::removeTree(dir);
}

TEST(ChannelList, Dvbv5EntriesAsDvbv5ScanWritesThem) {
  app::ChannelList l;
  app::ExportedTransponder t = astra11836();
  t.services = {{"Bayern 3", "BR", "radio", 28203}};
  app::ExportedTransponder empty = t;
  empty.services.clear();
  empty.universalLnb = false;
  empty.polarisation = Polarisation::Vertical;
  l.transponders = {t, empty};
  EXPECT_EQ(app::dvbv5Channels(l),
            "[Bayern 3]\n\tSERVICE_ID = 28203\n\tNETWORK_ID = 1\n\tTRANSPORT_ID = 1101\n\tPROVIDER = BR\n"
            "\tAUDIO_PID = 8191\n\tLNB = UNIVERSAL\n\tFREQUENCY = 11836000\n\tINVERSION = AUTO\n"
            "\tSYMBOL_RATE = 27500000\n\tINNER_FEC = 3/4\n\tMODULATION = QPSK\n\tPOLARIZATION = HORIZONTAL\n"
            "\tDELIVERY_SYSTEM = DVBS\n\n"
            "[CHANNEL]\n\tFREQUENCY = 11836000\n\tINVERSION = AUTO\n\tSYMBOL_RATE = 27500000\n\tINNER_FEC = 3/4\n"
            "\tMODULATION = QPSK\n\tPOLARIZATION = VERTICAL\n\tDELIVERY_SYSTEM = DVBS\n\n");
}

TEST(ChannelList, FormatByExtensionOrName) {
  const struct {
    const char* path;
    int format;   // -1 none, 0 VDR, 1 dvbv5
  } cases[] = {{"a.conf", 0}, {"dir.channels/a.conf", 0}, {"a.channels", 1}, {"a.dvbv5", 1},
               {"a.txt", -1}, {"conf", -1}, {"a.conf.bak", -1}, {"", -1}};
  for (const auto& c : cases) {
    auto f = app::channelFormatOfPath(c.path);
    EXPECT_EQ(f ? static_cast<int>(*f) : -1, c.format) << c.path;
  }
  EXPECT_EQ(app::channelFormatByName("vdr"), app::ChannelFormat::Vdr);
  EXPECT_EQ(app::channelFormatByName("dvbv5"), app::ChannelFormat::Dvbv5);
  EXPECT_FALSE(app::channelFormatByName("VDR"));
  EXPECT_EQ(app::vdrSource(0), "S0.0E");
  EXPECT_EQ(app::vdrSource(-8), "S0.8W");
  EXPECT_EQ(app::vdrSource(1300), "S130.0E");
}

TEST(SpectrumCsv, ThePlugInsReadingsOnly) {
  emu::RequestRecord read;
  read.time_us = 12345;
  read.request = "FE_READ_SIGNAL_STRENGTH";
  read.value = 65535;
  read.status = 0x1F;
  read.frequency_mhz = 11836.5;
  read.symbol_rate_ksps = 27500;
  read.on_satellite = true;
  read.orbital_position = 192;
  read.powered = true;
  read.origin = emu::RequestOrigin::Device;
  emu::RequestRecord viaFrontend = read;
  viaFrontend.origin = emu::RequestOrigin::Frontend;
  viaFrontend.request = "FE_READ_STATUS";
  viaFrontend.value = 0x1F;
  viaFrontend.powered = false;
  viaFrontend.on_satellite = false;
  emu::RequestRecord host = read;
  host.origin = emu::RequestOrigin::Host;
  emu::RequestRecord set = read;
  set.request = "FE_SET_FRONTEND";
  EXPECT_EQ(app::spectrumCsv({read, host, set, viaFrontend}),
            "time_ms,frequency_mhz,sr_ksps,request,value,status,pol,satellite\n"
            "12.345,11836.500,27500.000,FE_READ_SIGNAL_STRENGTH,65535,0x1F,H,192\n"
            "12.345,11836.500,27500.000,FE_READ_STATUS,31,0x1F,,\n");
}

TEST(OutputFile, WrittenWholeOrNotAtAll) {
  std::string dir = apptest::makeTempDir("out");
  std::string path = dir + "/list.conf";
  EXPECT_EQ(app::whyNotWritable(path), "");
  struct stat st {};
  EXPECT_NE(stat((path + ".part").c_str(), &st), 0);   // the check leaves nothing
  EXPECT_NE(stat(path.c_str(), &st), 0);
  app::writeFileAtomically(path, "new\n");
  EXPECT_EQ(apptest::readFile(path), "new\n");
  EXPECT_NE(stat((path + ".part").c_str(), &st), 0);

  // A folder in the way: refused, the folder and its content kept, no .part left.
  std::string folder = dir + "/busy.conf";
  mkdir(folder.c_str(), 0755);
  apptest::writeFile(folder + "/inside", "x");
  EXPECT_NE(app::whyNotWritable(folder).find("is a folder"), std::string::npos);
  EXPECT_THROW(app::writeFileAtomically(folder, "new\n"), std::runtime_error);
  EXPECT_EQ(apptest::readFile(folder + "/inside"), "x");
  EXPECT_NE(stat((folder + ".part").c_str(), &st), 0);
  EXPECT_NE(app::whyNotWritable(dir + "/none/list.conf").find("No such file or directory"), std::string::npos);
  EXPECT_EQ(app::whyNotWritable(""), "an empty file name");
  apptest::removeTree(dir);
}
