// Speaks to the emulated devices the way the plug-in does: real open() and
// ioctl() on the box's device paths, the same blocks and sequences.
#pragma once
#include <cstdint>

#include "host/dvbapi/frontend.h"
#include "host/dvbapi/sec.h"

namespace testsupport {

struct LnbSettings {
  uint32_t lof_low_khz = 9750000;
  uint32_t lof_high_khz = 10600000;
  uint32_t threshold_khz = 11700000;
  int diseqc_port = 0;
};

// What one tuning sent, for the edge-case checks.
struct SentTuning {
  secCmdSequence sequence{};
  secCommand command{};
  FrontendParameters parameters{};
  int sec_result = 0, set_result = 0;
  int set_errno = 0;
};

class FrontendClient {
public:
  FrontendClient();   // opens both devices read-write
  ~FrontendClient();
  FrontendClient(const FrontendClient&) = delete;
  FrontendClient& operator=(const FrontendClient&) = delete;

  int frontend() const { return fe_; }
  int sec() const { return sec_; }

  // Band by threshold, |f - LO|, voltage by polarisation (0 H, 1 V), tone by
  // band, one committed-switch command, then FE_SET_FRONTEND.
  SentTuning tune(int mhz, int polarisation, int ksps, const LnbSettings& lnb = LnbSettings());
  // Reads FE_READ_STATUS until non-zero (gives up after max_reads, returning 0).
  uint32_t waitStatus(int max_reads = 100000);
  uint32_t status();
  uint16_t strength();
  uint16_t snr();
  uint32_t ber();
  int mean(int n, bool snr);   // integer mean of n raw readings

private:
  int fe_ = -1, sec_ = -1;
};

}  // namespace testsupport
