#include "emulator/app/box_setup.h"

#include <cstdlib>
#include <filesystem>

#include "emulator/app/box_root.h"
#include "emulator/app/commands.h"
#include "emulator/scenario/error.h"
#include "emulator/scenario/loader.h"
#include "emulator/receiver/receiver.h"
#include "emulator/tuner/box.h"

namespace app {

std::string defaultScenarioPath() {
  if (const char* s = std::getenv("SCRUTA_SCENARIO"); s && *s) return s;
#ifdef SCRUTA_SOURCE_DIR
  return std::string(SCRUTA_SOURCE_DIR) + "/scenarios/builtin.toml";
#else
  return "scenarios/builtin.toml";
#endif
}

emu::Scenario readScenario(const BoxOptions& o, std::string* path) {
  std::string p = o.scenario.empty() ? defaultScenarioPath() : o.scenario;
  if (path) *path = p;
  emu::Scenario scenario;
  try {
    scenario = emu::loadScenario(p);
  } catch (const emu::ScenarioError& e) {
    throw SetupError(kExitScenario, std::string("bad scenario: ") + e.what());
  } catch (const std::exception& e) {
    throw SetupError(kExitScenario, "bad scenario " + p + ": " + e.what());
  }
  if (scenario.satellites.empty()) throw SetupError(kExitScenario, "bad scenario " + p + ": it has no satellite");
  if (o.seed) scenario.seed = *o.seed;
  return scenario;
}

BoxSetup setUpBox(const BoxOptions& o, emu::Scenario scenario, const std::string& scenarioPath, bool withSkin) {
  BoxSetup s;
  s.scenarioPath = scenarioPath;
  emu::Box& box = emu::box();
  try {
    if (!o.root.empty()) box.setRoot(std::filesystem::absolute(o.root).lexically_normal().string());
    s.root = prepareRoot(box.root(), withSkin ? defaultSkinSource() : std::string());
    box.setRoot(s.root);
  } catch (const RootError& e) {
    throw SetupError(kExitScenario, e.what());
  }
  box.clock().setRealtime(o.realtime);
  std::vector<std::string> faults = scenario.faults;
  faults.insert(faults.end(), o.faults.begin(), o.faults.end());
  emu::receiver().load(std::move(scenario));   // into the box, with the receiver's lists
  // After the load: the receiver's own tuning at start is not the plug-in's to see fail.
  box.faults().clear();
  for (const auto& rule : faults) {
    std::string why;
    if (!box.faults().add(rule, &why)) throw SetupError(kExitUsage, why);
  }
  return s;
}

BoxSetup setUpBox(const BoxOptions& o, bool withSkin) {
  std::string path;
  emu::Scenario sc = readScenario(o, &path);
  return setUpBox(o, std::move(sc), path, withSkin);
}

const emu::Satellite& satelliteOf(int orbitalPosition) {
  const emu::Scenario& sc = emu::box().scenario();
  for (const auto& sat : sc.satellites)
    if (sat.orbital_position == orbitalPosition) return sat;
  std::string have;
  for (const auto& sat : sc.satellites)
    have += (have.empty() ? "" : ", ") + std::to_string(sat.orbital_position) + " (" + sat.name + ")";
  throw SetupError(kExitUsage, "no satellite at orbital position " + std::to_string(orbitalPosition) +
                                   " in the scenario; there are: " + have);
}

}  // namespace app
