// The scan list reader (and format detection) on any file.
#include "list_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::readList("list.scan", data, size,
                        [](const std::string& f, emu::ListReport& r) { return emu::readScanFile(f, r); });
}
