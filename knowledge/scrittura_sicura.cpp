#include <knowledge/scrittura_sicura.h>
#include <unistd.h>

bool chiudeESostituisce(FILE* f, const char* temporaneo, const char* destinazione) {
  bool ok = fflush(f) == 0 && !ferror(f);
  if (ok) ok = fsync(fileno(f)) == 0;
  if (fclose(f) != 0) ok = false;
  if (ok) ok = rename(temporaneo, destinazione) == 0;
  if (!ok) remove(temporaneo);
  return ok;
}
