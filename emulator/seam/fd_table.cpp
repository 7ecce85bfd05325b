#include "emulator/seam/fd_table.h"

namespace emu::seam {

namespace {
FdTable table;   // static storage: zero before any code runs, never destroyed early
}  // namespace

FdTable& fdTable() { return table; }

}  // namespace emu::seam
