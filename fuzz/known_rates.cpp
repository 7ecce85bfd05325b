// The known symbol-rate file: whatever it holds, the list read is bounded and valid,
// and writing it and reading it back gives the same list.
#include <knowledge/routine_di_servizio.h>
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  routineDiServizio r;
  std::string file = fuzz::write("scrutafasci.sr", data, size);
  // Room past the list's capacity, so that an overrun is a wrong count, not only an ASan report.
  int sr[200] = {}, numSR = 0;
  if (r.leggeFileSRconosciuti(file.data(), &numSR, sr) != 1) fuzz::broken("an existing file was not read");
  if (numSR < 0 || numSR > 100) fuzz::broken("more rates than the list holds");
  for (int i = 0; i < numSR; i++)
    if (sr[i] < 1001 || sr[i] > 44999) fuzz::broken("a rate outside 1001..44999 was kept");
  r.aggiungeSRconosciuti(sr, &numSR, 27500);
  std::string copia = fuzz::path("copia.sr");
  if (r.scriveFileSRconosciuti(copia.data(), numSR, sr) != 1) fuzz::broken("the list was not written");
  int back[200] = {}, numBack = 0;
  if (r.leggeFileSRconosciuti(copia.data(), &numBack, back) != 1) fuzz::broken("the written list was not read");
  if (numBack != numSR) fuzz::broken("the list did not round-trip (count)");
  for (int i = 0; i < numSR; i++)
    if (back[i] != sr[i]) fuzz::broken("the list did not round-trip (rate)");
  return 0;
}
