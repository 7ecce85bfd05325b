#include "emulator/app/session.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

#include <host/gui/init.h>

#include "emulator/app/commands.h"
#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"

namespace app {

namespace {
// Past every level at which the host starts something; the plug-in's widget
// creators register at 30.
constexpr int kRunlevelRunning = 40;
}  // namespace

Session::Session(const BoxOptions& o) {
  // Errors in the order a user mends them: the scenario, the plug-in, the box root.
  std::string path;
  emu::Scenario scenario = readScenario(o, &path);
  try {
    plugin_ = std::make_unique<Plugin>(o.plugin.empty() ? defaultPluginPath() : o.plugin);
  } catch (const PluginError& e) {
    throw SetupError(kExitPlugin, e.what());
  }
  setup_ = setUpBox(o, std::move(scenario), path);
}

Session::~Session() {
  // The plug-in's static objects leave the init levels while the host is still up.
  if (plugin_) plugin_->unload();
}

void Session::logTo(const std::string& file) {
  emu::setLogFile(file.c_str());
  emu::setLogToStderr(false);
  emu::box().setLogSink([](const std::string& line) { eDebug("%s", line.c_str()); });
}

int Session::run(const std::function<void(Driver&)>& driver, double leaveBoundS,
                 const std::function<void()>& onHang) {
  emu::startToolkit();
  eInit::setRunlevel(kRunlevelRunning);

  int result = 0;
  done_ = false;
  std::thread pilot([&] {
    Driver d(done_);
    driver(d);
    if (!d.waitFor([this] { return done_.load(); }, leaveBoundS)) {
      std::fprintf(stderr, "scrutafasci-emu: the plug-in did not return within %.0f s; stopping\n", leaveBoundS);
      if (onHang) onHang();
      std::fflush(nullptr);
      std::_Exit(kExitTimeout);
    }
  });
  emu::post([&] {
    result = plugin_->exec();
    done_ = true;
    emu::quitLoop(0);
  });
  emu::runLoop();
  pilot.join();
  return result;
}

}  // namespace app
