// One run of the plug-in in the box: set-up, the init levels, plugin_exec on
// the GUI loop of this thread, and a driver (script, terminal or autopilot) on
// a thread of its own.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "emulator/app/box_setup.h"
#include "emulator/app/driver.h"
#include "emulator/app/options.h"
#include "emulator/app/plugin_loader.h"

namespace app {

class Session {
public:
  // Sets up the box and loads the plug-in; throws SetupError.
  explicit Session(const BoxOptions& o);
  ~Session();

  const BoxSetup& setup() const { return setup_; }
  const std::string& pluginPath() const { return plugin_->path(); }
  const Plugin& plugin() const { return *plugin_; }

  // Runs plugin_exec on the loop of the calling thread while `driver` runs on
  // another thread. When the driver has returned, the plug-in gets leaveBoundS
  // of wall time to return too; if it does not, onHang runs and the process
  // ends with the timeout status. Returns plugin_exec's result.
  int run(const std::function<void(Driver&)>& driver, double leaveBoundS,
          const std::function<void()>& onHang);

  // Where the host's debug log goes (default: standard error).
  void logTo(const std::string& file);

private:
  BoxSetup setup_;
  std::unique_ptr<Plugin> plugin_;
  std::atomic<bool> done_{false};
};

}  // namespace app
