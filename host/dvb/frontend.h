// The host's frontend object: readings of the same tuner the devices drive.
#pragma once
#include <stdint.h>

class eFrontend {
public:
  static eFrontend* frontend;    // the receiver's frontend
  int SNR();                     // 0..65535
  int SignalStrength();          // 0..65535
  uint32_t BER();                // bit errors in the last window
  int Status();                  // status word, FE_HAS_* bits
  virtual ~eFrontend() = default;
protected:
  eFrontend() = default;
};
