// Lines a reader cannot use are skipped, counted and named with their line; files that give
// nothing at all are refused.
#include <gtest/gtest.h>

#include <emulator/scenario/lists.h>
#include "temp_files.h"

using namespace emu;

struct BadLineCase {
  const char* name;
  ListFormat format;
  const char* content;
  int kept;            // transponders (or services for service lists) read
  int skipped;
  int left_out;
  int first_line;      // line of the first problem
  const char* reason;  // part of its text
};

class BadLines : public ::testing::TestWithParam<BadLineCase> {};

TEST_P(BadLines, AreSkippedAndReported) {
  const BadLineCase& c = GetParam();
  TempDir dir;
  std::string file = dir.write(c.name, c.content);
  ListReport r;
  int kept = 0;
  switch (c.format) {
    case ListFormat::TransponderTable: kept = static_cast<int>(readTransponderTable(file, r).size()); break;
    case ListFormat::VdrChannels: readVdrChannels(file, 192, r); kept = r.services; break;
    case ListFormat::ZapChannels: readZapChannels(file, 0, r); kept = r.services; break;
    case ListFormat::Dvbv5: kept = static_cast<int>(readDvbv5(file, r).size()); break;
    case ListFormat::ScanFile: kept = static_cast<int>(readScanFile(file, r).size()); break;
    default: FAIL();
  }
  EXPECT_EQ(kept, c.kept);
  EXPECT_EQ(r.skipped, c.skipped);
  EXPECT_EQ(r.left_out, c.left_out);
  ASSERT_EQ(r.problems.size(), static_cast<size_t>(c.skipped + c.left_out));
  EXPECT_EQ(r.problems[0].text.rfind(file + ":" + std::to_string(c.first_line) + ": ", 0), 0u) << r.problems[0].text;
  EXPECT_NE(r.problems[0].text.find(c.reason), std::string::npos) << r.problems[0].text;
  if (c.skipped) {
    EXPECT_NE(r.summary().find(std::to_string(c.skipped) + " unreadable lines skipped"), std::string::npos)
        << r.summary();
  }
  if (c.left_out) {
    EXPECT_NE(r.summary().find(std::to_string(c.left_out) + " entries left out"), std::string::npos) << r.summary();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Readers, BadLines,
    ::testing::Values(
        BadLineCase{"tpl_pol.tpl", ListFormat::TransponderTable,
                    "# t\n11836 H 27500 3/4 DVB-S QPSK -\n11837 X 27500 3/4 DVB-S QPSK -\n", 1, 1, 0, 3,
                    "polarisation 'X'"},
        BadLineCase{"tpl_short.tpl", ListFormat::TransponderTable, "11836 H 27500\n11954 H 27500 3/4 DVB-S\n", 1, 1,
                    0, 1, "expected"},
        BadLineCase{"tpl_fec.tpl", ListFormat::TransponderTable,
                    "11836 H 27500 4/9 DVB-S\n11954 H 27500 3/4 DVB-T\n12051 V 27500 3/4 DVB-S\n", 1, 2, 0, 1,
                    "FEC '4/9'"},
        BadLineCase{"tpl_band.tpl", ListFormat::TransponderTable,
                    "18507 V 27500 AUTO DVB-S2\n11836 H 27500 3/4 DVB-S\n", 1, 0, 1, 1, "outside the Ku band"},
        BadLineCase{"tpl_sr.tpl", ListFormat::TransponderTable, "11836 H fast 3/4 DVB-S\n11954 H 27500 3/4 DVB-S\n", 1,
                    1, 0, 1, "symbol rate 'fast'"},
        BadLineCase{"vdr_fields.conf", ListFormat::VdrChannels,
                    "ZDF;ZDFvision:11953:HC34M2S0:S19.2E:27500:110:120:130:0:28006:1:1079:0\n"
                    "broken:11953:H\n"
                    ":Group separator\n"
                    "KiKA;ZDFvision:11953:HC34M2S0:S19.2E:27500:0:120:0:0:28008:1:1079:0\n",
                    2, 1, 0, 2, "13 ':'-separated fields"},
        BadLineCase{"vdr_params.conf", ListFormat::VdrChannels,
                    "X;Y:11953:C34M2S0:S19.2E:27500:110:120:130:0:28006:1:1079:0\n"
                    "Z;Y:11953:HC34M2S0:S19.2E:27500:110:120:130:0:28007:1:1079:0\n"
                    "W;Y:11953:HC34M2S0:S13.0E:27500:110:120:130:0:28008:1:1079:0\n",
                    1, 1, 1, 1, "no polarisation"},
        BadLineCase{"zap.conf", ListFormat::ZapChannels,
                    "Das Erste:11837:h:0:27500:101:102:28106\nZDF:11954:x:0:27500:110:120:28006\nA:B\n", 1, 2, 0, 2,
                    "neither h nor v"},
        BadLineCase{"dvbv5.conf", ListFormat::Dvbv5,
                    "[A]\n\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 11836000\n\tPOLARIZATION = HORIZONTAL\n"
                    "\tSYMBOL_RATE = 27500000\n\tINNER_FEC = 3/4\n"
                    "[B]\n\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 11954000\n\tSYMBOL_RATE = 27500000\n"
                    "[C\n\tFREQUENCY = 1\n"
                    "no equals sign here\n"
                    "[D]\n\tDELIVERY_SYSTEM = DVBT\n\tFREQUENCY = 506000000\n",
                    1, 3, 1, 7, "POLARIZATION is missing"},
        BadLineCase{"scan.conf", ListFormat::ScanFile,
                    "# freq pol sr fec\nS 12539000 H 27500000 3/4\nS 10719000 Q 27500000 3/4\n"
                    "T 506000000 8MHz 2/3 NONE QAM64 8k 1/8 NONE\nX 1 2 3\nS2 11914500 H 27500000 3/4 35 8PSK\n",
                    2, 2, 1, 3, "polarisation 'Q'"},
        // Lines holding only carriage returns (and a form feed) are blank, not an entry without words.
        BadLineCase{"scan_cr.conf", ListFormat::ScanFile,
                    "S 10719000 V 27500000 3/4\n\r\r\n\r\f\nS 11623000 H 27500000 3/4\nS 1 Q 2\n", 2, 1, 0, 5,
                    "polarisation 'Q'"},
        // A symbol rate past 32 bits (or rounding to nothing) is refused, not kept as a carrier of rate 0.
        BadLineCase{"scan_sr.conf", ListFormat::ScanFile,
                    "S 10992000 V 2750500000000 2/3\nS 11623000 H 27500000 3/4\nS 11700000 H 0.0001 3/4\n", 1, 2, 0, 1,
                    "symbol rate '2750500000000' is out of range"},
        BadLineCase{"vdr_sr.conf", ListFormat::VdrChannels,
                    "ZDF;ZDFvision:11953:HC34M2S0:S19.2E:99999999999:110:120:130:0:28006:1:1079:0\n"
                    "KiKA;ZDFvision:11953:HC34M2S0:S19.2E:27500:0:120:0:0:28008:1:1079:0\n",
                    1, 1, 0, 1, "symbol rate '99999999999' is out of range"},
        BadLineCase{"zap_sr.conf", ListFormat::ZapChannels,
                    "Das Erste:11837:h:0:0.0001:101:102:28106\nZDF:11954:h:0:27500:110:120:28006\n", 1, 1, 0, 1,
                    "symbol rate '0.0001' is out of range"},
        BadLineCase{"dvbv5_sr.conf", ListFormat::Dvbv5,
                    "[A]\n\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 11836000\n\tPOLARIZATION = HORIZONTAL\n"
                    "\tSYMBOL_RATE = 99999999999\n"
                    "[B]\n\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 11954000\n\tPOLARIZATION = HORIZONTAL\n"
                    "\tSYMBOL_RATE = 27500000\n",
                    1, 1, 0, 1, "SYMBOL_RATE 99999999999 is out of range"},
        // A frequency past what 32 bits of kHz hold must not wrap into the band (4305667.3 MHz -> 10700.004).
        BadLineCase{"tpl_huge.tpl", ListFormat::TransponderTable,
                    "4305667.3 H 27500 3/4 DVB-S\n11836 H 27500 3/4 DVB-S\n1e300 V 27500 3/4 DVB-S\n", 1, 2, 0, 1,
                    "frequency '4305667.3'"}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(BadFiles, AreRefusedWithFileAndLine) {
  TempDir dir;
  struct Case {
    ListRequest rq;
    int line;
    const char* reason;
  };
  std::string garbage = dir.write("garbage.tpl", "# nothing useful\nhello world\nfoo bar baz qux quux\n");
  std::string empty = dir.write("empty.tpl", "# only comments\n");
  std::string other = dir.write("other.conf", "BBC R1;BSkyB:11953:HC23M2O0S0:S28.2E:27500:0:5401=eng@3:0:0:6751:2:2013:0\n");
  std::string odd = dir.write("odd.list", "what is this\n");
  std::string tpl = dir.write("ok.tpl", "11836 H 27500 3/4 DVB-S\n");
  std::string svc = dir.write("bad.services", "11836 H 27500 T Das Erste ARD\n");
  ListRequest a; a.file = garbage;
  ListRequest b; b.file = empty;
  ListRequest c; c.file = other; c.orbital_position = 192;
  ListRequest d; d.file = odd;
  ListRequest e; e.file = dir.path() + "/missing.tpl";
  ListRequest f; f.file = tpl; f.services = svc;
  for (const Case& k : {Case{a, 2, "no transponders could be used"}, Case{b, 0, "holds no transponders"},
                        Case{c, 1, "another satellite"}, Case{d, 1, "cannot tell the list format"},
                        Case{e, 0, "cannot open"}, Case{f, 1, "no services could be used"}}) {
    try {
      readList(k.rq);
      ADD_FAILURE() << k.rq.file << " was accepted";
    } catch (const ScenarioError& err) {
      EXPECT_EQ(err.line(), k.line) << err.what();
      EXPECT_NE(std::string(err.what()).find(k.reason), std::string::npos) << err.what();
      EXPECT_EQ(std::string(err.what()).rfind(err.file(), 0), 0u) << err.what();
    }
  }
}

TEST(BadFiles, CarriageReturnFirstLineStillTellsTheFormat) {
  TempDir dir;
  ListRequest rq;
  rq.file = dir.write("cr.list", "\r\r\n\r\f\nS 10719000 V 27500000 3/4\n");
  ListResult r = readList(rq);
  ASSERT_EQ(r.carriers.size(), 1u);
  EXPECT_EQ(r.carriers[0].frequency_khz, 10719000u);
}

TEST(BadFiles, ServiceWithHugeFrequencyIsRefusedWithItsLine) {
  TempDir dir;
  ListRequest rq;
  rq.file = dir.write("t.tpl", "11836 H 27500 3/4 DVB-S\n");
  rq.services = dir.write("t.services",
                          "11836 H 27500 | T | Das Erste | ARD\n"
                          "4305667.3 H 27500 | T | Wrapped | X\n"
                          "11836 H 1e300 | T | Huge rate | X\n");
  rq.unmatched = Unmatched::Feeds;
  ListResult r = readList(rq);
  ASSERT_EQ(r.reports.size(), 2u);
  const ListReport& s = r.reports[1];
  EXPECT_EQ(s.services, 1);
  EXPECT_TRUE(r.feeds.empty()) << "a wrapped frequency became a feed at " << r.feeds[0].frequency_khz;
  ASSERT_EQ(s.problems.size(), 2u);
  EXPECT_EQ(s.problems[0].line, 2);
  EXPECT_EQ(s.problems[0].text.rfind(rq.services + ":2: ", 0), 0u) << s.problems[0].text;
  EXPECT_EQ(s.problems[1].line, 3);
}
