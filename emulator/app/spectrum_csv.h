// The readings the plug-in took, as the emulated frontend served them, as CSV:
//   time_ms,frequency_mhz,sr_ksps,request,value,status,pol,satellite
// one row per FE_READ_* request of the plug-in (device nodes or the host's eFrontend),
// in order. frequency_mhz is the transponder frequency the tuning stands for, sr_ksps the
// symbol rate set, value the raw reading (decimal), status the FE_READ_STATUS bits at that
// moment (hex, as band --csv writes them), pol H/V (empty without LNB supply), satellite the orbital position in
// tenths of a degree (empty when no satellite is on the switch port).
#pragma once
#include <string>
#include <vector>

#include "emulator/tuner/request_log.h"

namespace app {

std::string spectrumCsv(const std::vector<emu::RequestRecord>& records);
bool isPlugInReading(const emu::RequestRecord& r);
// Streamed: the header, then the row of one record (nothing for others than the plug-in's readings).
const char* spectrumCsvHeader();
std::string spectrumCsvRow(const emu::RequestRecord& r);

}  // namespace app
