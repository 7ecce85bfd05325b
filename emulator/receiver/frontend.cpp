// The host's frontend object and decoder: readings of the same tuner the devices drive.
#include <emulator/receiver/internal.h>

#include <emulator/tuner/tuner.h>

using namespace emu;

namespace {

class Frontend : public eFrontend {};

}  // namespace

eFrontend* eFrontend::frontend = new Frontend;   // never destroyed, like the other host objects

// Marked so the request log tells the plug-in's readings through this object from the host's own.
int eFrontend::SNR() {
  RequestOriginScope o(RequestOrigin::Frontend);
  return box().tuner().snr();
}
int eFrontend::SignalStrength() {
  RequestOriginScope o(RequestOrigin::Frontend);
  return box().tuner().signalStrength();
}
uint32_t eFrontend::BER() {
  RequestOriginScope o(RequestOrigin::Frontend);
  return box().tuner().ber();
}
int eFrontend::Status() {
  RequestOriginScope o(RequestOrigin::Frontend);
  return static_cast<int>(box().tuner().status());
}

std::atomic<int> Decoder::locked{0};

void Decoder::Flush() {
  rx::State& s = rx::state();
  std::lock_guard<std::mutex> l(s.m);
  ++s.flushes;
}
