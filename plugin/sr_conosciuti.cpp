#include <plugin/sr_conosciuti.h>

#if __has_include(<knowledge/routine_di_servizio.h>)
#include <knowledge/routine_di_servizio.h>

void leggeSRconosciuti(const char* percorso, int* numero, int* valori) {
  routineDiServizio routine;
  routine.leggeFileSRconosciuti(const_cast<char*>(percorso), numero, valori);
}
#else
void leggeSRconosciuti(const char*, int*, int*) {}
#endif
