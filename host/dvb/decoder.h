// The A/V decoder; a scan holds it so that viewing does not retune meanwhile.
#pragma once
#include <atomic>

class Decoder {
public:
  static void Flush();
  static std::atomic<int> locked;
};
