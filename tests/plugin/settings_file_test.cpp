// The settings file read into the table, the record a launch stores into, and the
// rewrite, on real files in a temporary folder.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <plugin/file_conf.h>
#include "emulator/tuner/box.h"
#include <support/skinned_root.h>

namespace {

using Valori = std::array<int, NUM_CHIAVI>;
using testsupport::SkinnedRoot;

const char* const HEADER = "# --------------- SATELLITE ----------------\n";
const char* const KEYS[NUM_CHIAVI] = {"satellite",       "tipoRicerca",   "freqStart",
                                      "freqEnd",         "stepFrequenza", "polarita",
                                      "startSymbolRate", "endSymbolRate", "stepSymbolRate",
                                      "ritardoScansione", "sogliaAggancio"};

std::string block(const Valori& v) {
  std::string s = HEADER;
  for (int k = 0; k < NUM_CHIAVI; k++) s += std::string(KEYS[k]) + "=" + std::to_string(v[k]) + "\n";
  return s;
}

Valori initial(int position) { return {position, 0, 10700, 12750, 3, 0, 27500, 27500, 1, 10, 53}; }

Valori values(const datiSatellite& d) {
  Valori v;
  for (int k = 0; k < NUM_CHIAVI; k++) v[k] = d.valore[k];
  return v;
}

const Valori A = {192, 1, 10800, 11800, 2, 1, 22000, 27500, 5, 20, 60};
const Valori B = {130, 2, 10900, 12500, 4, 0, 2000, 30000, 3, 15, 40};
const Valori C = {282, 0, 11000, 12000, 1, 1, 27500, 27500, 1, 10, 53};

std::string blocks(int first, int count) {
  std::string s;
  for (int p = first; p < first + count; p++) s += block(initial(p));
  return s;
}

enum class Fault { none, newFileIsFolder, readOnlyFolder };

struct Case {
  const char* name;
  std::optional<std::string> file;       // the settings file before the start
  int position;                          // orbital position of the receiver
  std::optional<Valori> applied;         // the record the window applies, if any
  Valori stored;                         // what the launch stores
  int storedAt;                          // record chosen by the launch, -1: none
  std::string after;                     // the file after the launch
  Fault fault = Fault::none;
};

std::vector<Case> cases() {
  std::string noFinalLf = block(A);
  noFinalLf.pop_back();
  Valori negative = {-50, 0, -1, 12750, 3, 1, -27500, 27500, 1, 0, 53};
  Valori negativeStored = {-50, 1, 10700, -12750, 3, 0, 27500, 27500, 1, 10, 53};
  Valori a2 = {192, 2, 11000, 12000, 1, 0, 5000, 30000, 1, 10, 60};
  // Key names are not compared; a blank line is a value 0; block B lacks its
  // polarita line, so B and C after it are read shifted.
  std::string positional = std::string(HEADER) +
                           "XXXXXXXXX=192\ntipoRicerca=1\nfreqStart=10800\n\nstepFrequenza=2\n"
                           "polarita=1\nstartSymbolRate=22000\nendSymbolRate=27500\n"
                           "stepSymbolRate=5\nritardoScansione=20\nsogliaAggancio=60\n" +
                           HEADER +
                           "satellite=130\ntipoRicerca=2\nfreqStart=10900\nfreqEnd=12500\n"
                           "stepFrequenza=4\nstartSymbolRate=2000\nendSymbolRate=30000\n"
                           "stepSymbolRate=3\nritardoScansione=15\nsogliaAggancio=40\n" +
                           block(C);
  Valori aRead = {192, 1, 10800, 0, 2, 1, 22000, 27500, 5, 20, 60};
  Valori bRead = {130, 2, 10900, 12500, 4, 0, 0, 0, 0, 0, 0};
  Valori c130 = C;
  c130[K_SATELLITE] = 130;
  Valori sixtieth = initial(60);
  sixtieth[K_FREQ_START] = 11111;

  return {
      {"no file: initial values, a new record", std::nullopt, 192, std::nullopt, initial(192), 0,
       block(initial(192))},
      {"last line without line feed is read whole", noFinalLf, 192, A, a2, 0, block(a2)},
      {"negative values round trip", block(negative), -50, negative, negativeStored, 0,
       block(negativeStored)},
      {"duplicate position: first applied, last overwritten", block(A) + block(B) + block(a2), 192,
       A, initial(192), 2, block(A) + block(B) + block(initial(192))},
      {"position 0 applies a free record and stores nothing", block(A), 0,
       Valori{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, initial(0), NUM_SATELLITI - 1, block(A)},
      {"keys by position shift the blocks that follow", positional, 282, std::nullopt,
       initial(282), 2, block(aRead) + block(bRead) + block(initial(282))},
      {"other satellites are rewritten unchanged", block(A) + block(B), 130, B, c130, 1,
       block(A) + block(c130)},
      {"unwritable file: old file kept, table updated", block(A), 130, std::nullopt, initial(130),
       1, block(A), Fault::newFileIsFolder},
      {"read-only plug-in folder: old file kept", block(A) + block(B), 130, B, c130, 1,
       block(A) + block(B), Fault::readOnlyFolder},
      {"value lines before the first header are ignored",
       "satellite=999\nfreqStart=1\n\n" + block(A) + block(B), 130, B, initial(130), 1,
       block(A) + block(initial(130))},
      {"headers past the 60th are ignored", blocks(1, 60) + block(A) + HEADER + "satellite=5\n", 60,
       initial(60), sixtieth, 59, blocks(1, 59) + block(sixtieth)},
      {"full table: nothing stored, file kept", blocks(1, 60), 61, std::nullopt, initial(61), -1,
       blocks(1, 60)},
  };
}

TEST(SettingsFile, EdgeCases) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    SkinnedRoot box;
    const std::string path = PERCORSO_FILE_CONF;   // reaches the root through the seam
    if (c.file) box.write("scrutafasci.conf", *c.file);
    if (c.fault == Fault::newFileIsFolder)
      std::filesystem::create_directory(box.plugins("scrutafasci.conf.new"));
    if (c.fault == Fault::readOnlyFolder) emu::box().faults().setReadOnlyPlugins(EROFS);

    datiSatellite table[NUM_SATELLITI];
    EXPECT_EQ(leggeTabella(path.c_str(), table), c.file ? 1 : 0);
    for (const datiSatellite& d : table)
      for (int k = 0; k < NUM_CHIAVI; k++) ASSERT_EQ(d.chiave[k], KEYS[k]);

    int r = trovaRecordDaApplicare(table, c.position);
    if (c.applied) {
      ASSERT_GE(r, 0);
      EXPECT_EQ(values(table[r]), *c.applied);
    } else {
      EXPECT_EQ(r, -1);
    }

    datiSatellite before[NUM_SATELLITI];
    for (int i = 0; i < NUM_SATELLITI; i++) before[i] = table[i];
    int at = memorizzaRecord(table, c.stored.data());
    EXPECT_EQ(at, c.storedAt);
    for (int i = 0; i < NUM_SATELLITI; i++) {
      if (i == at) EXPECT_EQ(values(table[i]), c.stored);
      else EXPECT_EQ(values(table[i]), values(before[i])) << "record " << i;
    }
    if (at >= 0) {
      int ok = scriveTabella(path.c_str(), table);
      EXPECT_EQ(ok, c.fault == Fault::none ? 1 : 0);
    }
    emu::box().faults().clear();
    EXPECT_EQ(box.read("scrutafasci.conf"), c.after);
    if (c.fault != Fault::newFileIsFolder) {
      EXPECT_FALSE(box.exists("scrutafasci.conf.new"));
    }
  }
}

TEST(SettingsFile, WrittenBytesAndReadBack) {
  SkinnedRoot box;
  const std::string path = box.plugins("scrutafasci.conf");
  datiSatellite table[NUM_SATELLITI];
  azzeraTabella(table);
  const int first[NUM_CHIAVI] = {192, 1, 10700, 12750, 3, 1, 27500, 22000, 1, 10, 53};
  const int second[NUM_CHIAVI] = {-70, 0, 1, 2, 3, 0, 4, 5, 6, 7, 8};
  for (int k = 0; k < NUM_CHIAVI; k++) {
    table[3].valore[k] = first[k];
    table[40].valore[k] = second[k];
  }
  ASSERT_EQ(scriveTabella(path.c_str(), table), 1);
  EXPECT_EQ(box.read("scrutafasci.conf"),
            "# --------------- SATELLITE ----------------\n"
            "satellite=192\ntipoRicerca=1\nfreqStart=10700\nfreqEnd=12750\nstepFrequenza=3\n"
            "polarita=1\nstartSymbolRate=27500\nendSymbolRate=22000\nstepSymbolRate=1\n"
            "ritardoScansione=10\nsogliaAggancio=53\n"
            "# --------------- SATELLITE ----------------\n"
            "satellite=-70\ntipoRicerca=0\nfreqStart=1\nfreqEnd=2\nstepFrequenza=3\n"
            "polarita=0\nstartSymbolRate=4\nendSymbolRate=5\nstepSymbolRate=6\n"
            "ritardoScansione=7\nsogliaAggancio=8\n");

  // Read back, the used records move up to the lowest indices.
  datiSatellite again[NUM_SATELLITI];
  ASSERT_EQ(leggeTabella(path.c_str(), again), 1);
  for (int k = 0; k < NUM_CHIAVI; k++) {
    EXPECT_EQ(again[0].valore[k], first[k]);
    EXPECT_EQ(again[1].valore[k], second[k]);
  }
  for (int i = 2; i < NUM_SATELLITI; i++) EXPECT_EQ(again[i].valore[K_SATELLITE], 0);
}

TEST(SettingsFile, LongLineIsReadInPieces) {
  SkinnedRoot box;
  // 127 characters go to the satellite key; the rest of the line is the next value.
  std::string line = "satellite=130" + std::string(114, ' ');
  ASSERT_EQ(line.size(), 127u);
  box.write("scrutafasci.conf", std::string(HEADER) + line + "1\n");
  datiSatellite table[NUM_SATELLITI];
  leggeTabella(box.plugins("scrutafasci.conf").c_str(), table);
  EXPECT_EQ(table[0].valore[K_SATELLITE], 130);
  EXPECT_EQ(table[0].valore[K_TIPO_RICERCA], 0);   // "1" is shorter than "tipoRicerca="
}

// A write that fails half way (the file size limit is reached) leaves the old file
// whole and no half-written file beside it.
TEST(SettingsFile, InterruptedWriteKeepsOldFile) {
  SkinnedRoot box;
  const std::string path = PERCORSO_FILE_CONF;
  const std::string old = block(A) + block(B);
  box.write("scrutafasci.conf", old);

  datiSatellite table[NUM_SATELLITI];
  leggeTabella(path.c_str(), table);
  for (int p = 1; p <= 40; p++) {
    Valori v = initial(p);
    memorizzaRecord(table, v.data());
  }

  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;   // well below the 40 blocks, above nothing already written
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int ok = scriveTabella(path.c_str(), table);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(ok, 0);
  EXPECT_EQ(box.read("scrutafasci.conf"), old);
  EXPECT_FALSE(box.exists("scrutafasci.conf.new"));

  // Without the limit the same table goes through.
  EXPECT_EQ(scriveTabella(path.c_str(), table), 1);
  EXPECT_NE(box.read("scrutafasci.conf"), old);
}

}  // namespace
