// The emulated box as one process-wide object: the loaded scenario, the virtual
// clock, the root folder standing for the box's file system, the fault plan and
// the tuner. Usable before main (the seam may be called that early).
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "emulator/scenario/scenario.h"
#include "emulator/tuner/clock.h"
#include "emulator/tuner/fault_plan.h"
#include "emulator/tuner/knobs.h"
#include "emulator/tuner/tuner.h"

namespace emu {

class Box {
public:
  Box();
  Box(const Box&) = delete;
  Box& operator=(const Box&) = delete;

  // Takes the scenario: fills in the Es/N0 of carriers that have none (seeded),
  // draws the LO errors, resets the tuner and tunes it where the scenario says the
  // receiver is (advancing the clock to the end of that attempt).
  void load(Scenario scenario);
  const Scenario& scenario() const { return *scenario_; }

  VirtualClock& clock() { return clock_; }
  Tuner& tuner() { return tuner_; }
  FaultPlan& faults() { return faults_; }
  // Knobs are read by the tuner at every request; change them only between loads.
  Knobs& knobs() { return knobs_; }

  // The folder standing for the box's "/" for /var/tuxbox/... paths. Default: the
  // per-user state folder ($XDG_STATE_HOME or ~/.local/state)/scrutafasci.
  std::string root() const;
  void setRoot(const std::string& dir);
  // Creates <root>/var/tuxbox/plugins; false with errno set on failure.
  bool prepareRoot() const;
  // For an absolute path under /var/tuxbox (after folding "//", "/./", ".."):
  // true and the real path under the root in *out. Other paths: false.
  bool mapPath(const char* path, std::string* out) const;
  // The box path ("/var/tuxbox/...") of a path, folded; empty for other paths.
  static std::string boxPath(const char* path);

  // Log lines of the emulated devices (default: standard error).
  void setLogSink(std::function<void(const std::string&)> sink);
  void log(const std::string& line);

private:
  Knobs knobs_;
  VirtualClock clock_;
  FaultPlan faults_;
  std::shared_ptr<const Scenario> scenario_;
  Tuner tuner_;
  mutable std::mutex root_mutex_;
  mutable std::string root_;
  std::mutex log_mutex_;
  std::function<void(const std::string&)> log_sink_;
};

Box& box();

// Lexical folding of an absolute path: "//" and "/./" collapse, ".." drops a part.
std::string foldPath(const char* path);

// Fills Es/N0 where a list gave none, from the scenario's seed and dish (knobs).
void assignEsNo(Scenario& s, const Knobs& k);

}  // namespace emu
