// Replacing a small file so that a power cut leaves either the old or the new one.
#pragma once
#include <cstdio>

// Flushes and syncs f (written at temporaneo), closes it and renames it over
// destinazione. On any failure the temporary file is removed and destinazione
// is left as it was. True when the new file is in place.
bool chiudeESostituisce(FILE* f, const char* temporaneo, const char* destinazione);
