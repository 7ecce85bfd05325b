// The closing tables of a scan: transponders handed over, services, truth.
#pragma once
#include <cstdio>
#include <string>

#include "emulator/app/report.h"

namespace app {

void printSummary(std::FILE* out, const ScanResult& r);
// Width of UTF-8 text in terminal columns (one per code point).
size_t textWidth(const std::string& s);
// Names as a terminal can show them: read as the box's fonts read them (a byte that is
// not UTF-8 is Latin-1), written back as UTF-8, control characters as '?'.
std::string terminalText(const std::string& s);

}  // namespace app
