// A frontend whose readings a test sets. The test program defines eFrontend's readers
// itself: calls on this frontend answer the set values, calls on any other frontend go on
// to the receiver's own readers, as the box's would.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include <host/dvb/frontend.h>

namespace prova {

class frontendDiProva : public eFrontend {
public:
  int snr = 0, agc = 0, status = 0;
  uint32_t ber = 0;
  std::vector<std::string> letture;   // the readers called, in order
};

}  // namespace prova
