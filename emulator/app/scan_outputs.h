// The files a scan writes besides its report: the channel list (--export) and the
// spectrum CSV (--spectrum).
#pragma once
#include <string>

#include "emulator/app/found_log.h"
#include "emulator/app/options.h"

namespace app {

// Before the scan: empty when every output can be written, else the message.
std::string checkScanOutputs(const ScanOptions& o);
// Right before the plug-in starts: records the frontend's requests when a spectrum is asked for.
void startScanOutputs(const ScanOptions& o);
// After the scan: writes them (beside, then renamed over) from the receiver, the log and
// the request log; returns the lines to print. Throws std::runtime_error.
std::string writeScanOutputs(const ScanOptions& o, const FoundLog& log);

}  // namespace app
