// The host's frontend object and decoder: readings of the same tuner the devices drive.
#include <emulator/receiver/internal.h>

#include <emulator/tuner/tuner.h>

using namespace emu;

namespace {

class Frontend : public eFrontend {};

}  // namespace

eFrontend* eFrontend::frontend = new Frontend;   // never destroyed, like the other host objects

int eFrontend::SNR() { return box().tuner().snr(); }
int eFrontend::SignalStrength() { return box().tuner().signalStrength(); }
uint32_t eFrontend::BER() { return box().tuner().ber(); }
int eFrontend::Status() { return static_cast<int>(box().tuner().status()); }

std::atomic<int> Decoder::locked{0};

void Decoder::Flush() {
  rx::State& s = rx::state();
  std::lock_guard<std::mutex> l(s.m);
  ++s.flushes;
}
