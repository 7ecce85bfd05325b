// Sweeps the tuner through the box's device paths, as the plug-in drives it:
// SEC sequence, FE_SET_FRONTEND, a status wait, then AGC, SNR and status.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

struct DeviceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct LnbSetup {
  uint32_t lofLowKhz = 9750000, lofHighKhz = 10600000, thresholdKhz = 11700000;
  int diseqcPort = 0;
};

struct BandPoint {
  int freqMHz = 0;
  uint16_t agc = 0, snr = 0;
  uint32_t status = 0;
  int statusReads = 0;        // FE_READ_STATUS requests until the word was non-zero
  bool tuneFailed = false;
};

class FrontendProbe {
public:
  // Opens /dev/dvb/card0/frontend0 and sec0; throws DeviceError.
  FrontendProbe();
  ~FrontendProbe();
  FrontendProbe(const FrontendProbe&) = delete;
  FrontendProbe& operator=(const FrontendProbe&) = delete;

  // Tunes freqMHz at srKsps and measures once the status word is non-zero
  // (at most maxStatusReads requests, each costing box time).
  BandPoint probe(int freqMHz, int polarisation, int srKsps, const LnbSetup& lnb, int maxStatusReads = 20000);

private:
  int fe_ = -1, sec_ = -1;
};

// The status bits as words: "POWER SIGNAL CARRIER ...".
std::string statusText(uint32_t status);

}  // namespace app
