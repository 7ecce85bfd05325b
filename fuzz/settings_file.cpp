// The settings file: read, store one record, write, re-read. Every used record must
// come back as it was, and a second write must give the same bytes.
#include <array>
#include <cstring>
#include <vector>
#include <plugin/file_conf.h>
#include "fuzz_file.h"

namespace {

// The used records in table order.
std::vector<std::array<int, NUM_CHIAVI>> used(const datiSatellite* t) {
  std::vector<std::array<int, NUM_CHIAVI>> out;
  for (int r = 0; r < NUM_SATELLITI; r++) {
    if (t[r].valore[K_SATELLITE] == 0) continue;
    std::array<int, NUM_CHIAVI> v;
    std::memcpy(v.data(), t[r].valore, sizeof t[r].valore);
    out.push_back(v);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static datiSatellite letta[NUM_SATELLITI], riletta[NUM_SATELLITI];
  // The first 44 bytes, when there are so many, are a record to store; the rest is the file.
  int valori[NUM_CHIAVI] = {};
  size_t salto = 0;
  if (size >= sizeof valori) {
    std::memcpy(valori, data, sizeof valori);
    salto = sizeof valori;
  }
  std::string file = fuzz::write("scrutafasci.conf", data + salto, size - salto);
  if (leggeTabella(file.c_str(), letta) != 1) fuzz::broken("an existing file was not read");
  if (valori[K_SATELLITE] != 0) {
    int r = memorizzaRecord(letta, valori);
    if (r >= 0 && (trovaRecordDaApplicare(letta, valori[K_SATELLITE]) < 0 ||
                   std::memcmp(letta[r].valore, valori, sizeof valori) != 0))
      fuzz::broken("the stored record is not where it was stored");
  }
  std::string copia = fuzz::path("copia.conf");
  if (scriveTabella(copia.c_str(), letta) != 1) fuzz::broken("the table was not written");
  if (leggeTabella(copia.c_str(), riletta) != 1) fuzz::broken("the written file was not read");
  if (used(letta) != used(riletta)) fuzz::broken("the records did not round-trip");
  std::string primo = fuzz::read(copia);
  if (scriveTabella(copia.c_str(), riletta) != 1 || fuzz::read(copia) != primo)
    fuzz::broken("a second write gave other bytes");
  return 0;
}
