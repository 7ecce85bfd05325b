#include "emulator/app/window_link.h"

#include <cstdio>

#include "emulator/app/commands.h"
#include "emulator/receiver/receiver.h"
#include "emulator/tuner/box.h"

namespace app {

int checkDisplay(const WindowOptions& o) {
  if (!o.on) return 0;
  std::string why = win::noDisplayReason();
  if (why.empty()) return 0;
  std::fprintf(stderr, "scrutafasci-emu: %s\n", why.c_str());
  return kExitUsage;
}

std::unique_ptr<win::WindowFront> openWindow(const WindowOptions& o, const std::string& shotDir) {
  win::WindowConfig c;
  c.title = "scrutafasci-emu \xe2\x80\x94 " + emu::box().scenario().name;
  c.scale = o.scale;
  c.speed = o.speed;
  c.shotDir = shotDir;
  auto front = std::make_unique<win::WindowFront>(c);
  std::string err;
  if (!front->start(&err)) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", err.c_str());
    return nullptr;
  }
  return front;
}

void tellReceiver() {
  const emu::TunerView v = emu::box().tuner().peek();
  bool viewing = emu::receiver().mode() == 2 && !emu::receiver().scanRunning();
  std::fprintf(stderr, "scrutafasci-emu: the plug-in returned; receiver %s, tuned to %.0f MHz\n",
               viewing ? "in viewing mode" : "still scanning", v.rf_khz / 1000);
}

}  // namespace app
