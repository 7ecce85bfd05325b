// Reads the known symbol-rate file: appends its valid rates (room for 100) from *numero on.
#pragma once

void leggeSRconosciuti(const char* percorso, int* numero, int* valori);
