#include <plugin/sr_conosciuti.h>

// 1 once the knowledge routines are built with the plug-in.
#define SCRUTA_ROUTINE_SR 0

#if SCRUTA_ROUTINE_SR
#include <knowledge/routine_di_servizio.h>

void leggeSRconosciuti(const char* percorso, int* numero, int* valori) {
  routineDiServizio routine;
  routine.leggeFileSRconosciuti(const_cast<char*>(percorso), numero, valori);
}
#else
void leggeSRconosciuti(const char*, int*, int*) {}
#endif
