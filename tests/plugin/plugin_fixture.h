// The plug-in as the box runs it: a temporary root with the skin, a scenario that
// says where the receiver is tuned, keys and probes queued for the modal runs.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include <host/gui/gui.h>
#include <plugin/plugin_exec.h>
#include "emulator/receiver/receiver.h"
#include "emulator/scenario/scenario.h"
#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"
#include "support/gui_script.h"
#include "support/scenario_builder.h"
#include "support/skinned_root.h"

namespace plugintest {

// The eight number fields of the settings window, in launch order.
inline const std::array<const char*, 8> kNumberFields = {
    "freqStart",       "freqEnd",           "valStepFrequenza",    "startSymbolRate",
    "endSymbolRate",   "valStepSymbolRate", "valRitardoScansione", "valSogliaAggancio"};
using Numbers = std::array<int, 8>;
inline const Numbers kInitialNumbers = {10700, 12750, 3, 27500, 27500, 1, 10, 53};

// The value fields that the search type shows or hides, each with its placeholder.
inline const std::array<const char*, 4> kValueFields = {"valStepFrequenza", "startSymbolRate",
                                                        "endSymbolRate", "valStepSymbolRate"};
inline const std::array<const char*, 4> kPlaceholders = {"autoStepFrequenza", "autoStartSymbolRate",
                                                         "autoEndSymbolRate", "autoStepSymbolRate"};

// What the settings window shows, read on the loop.
struct Controls {
  bool present = false;
  std::string title;
  std::string type, polarity;
  int typeKey = -1, polarityKey = -1;
  Numbers numbers{};
  std::array<bool, 4> valueShown{}, placeholderShown{};
  std::string focus;
};

inline Controls readControls() {
  Controls c;
  if (!testsupport::topWidget<eWidget>("tipoRicerca")) return c;
  c.present = true;
  c.title = emu::topWindowTitle();
  c.type = testsupport::currentEntryText("tipoRicerca");
  c.typeKey = testsupport::currentEntryKey("tipoRicerca");
  c.polarity = testsupport::currentEntryText("polarita");
  c.polarityKey = testsupport::currentEntryKey("polarita");
  for (size_t i = 0; i < kNumberFields.size(); i++) {
    eNumber* n = testsupport::topWidget<eNumber>(kNumberFields[i]);
    c.numbers[i] = n ? n->getNumber() : -1;
  }
  for (size_t i = 0; i < 4; i++) {
    eWidget* v = testsupport::topWidget<eWidget>(kValueFields[i]);
    eWidget* p = testsupport::topWidget<eWidget>(kPlaceholders[i]);
    c.valueShown[i] = v && v->isVisible();
    c.placeholderShown[i] = p && p->isVisible();
  }
  c.focus = testsupport::focusedName();
  return c;
}

// Which value fields each search type shows (frequency step, start, end, step of the rate).
inline std::array<bool, 4> shownFor(int type) {
  switch (type) {
    case 0: return {true, true, true, true};
    case 1: return {true, false, false, false};
    default: return {false, true, true, false};
  }
}

inline std::array<bool, 4> negate(std::array<bool, 4> a) {
  for (bool& b : a) b = !b;
  return a;
}

class PluginTest : public ::testing::Test {
protected:
  void SetUp() override {
    emu::startToolkit();
    root_ = std::make_unique<testsupport::SkinnedRoot>();
    emu::box().faults().clear();
    emu::receiver().load(emu::Scenario());   // tuned to nothing
    emu::clearLog();
  }
  void TearDown() override {
    testsupport::drainLoop();
    emu::box().faults().clear();
    emu::receiver().load(emu::Scenario());
    root_.reset();
  }

  // The receiver on a transponder of the satellite at this orbital position.
  void tuneTo(int position) {
    emu::receiver().load(testsupport::ScenarioBuilder()
                        .satellite(position, 0, "Satellite di prova")
                        .carrier(11362, emu::Polarisation::Horizontal, 22000)
                        .tunedTo(position, 11362, emu::Polarisation::Horizontal, 22000)
                        .build());
  }

  // Runs the plug-in to its end, then serves what the script left queued.
  int run() {
    script.start();
    int r = plugin_exec();
    testsupport::drainLoop();
    return r;
  }

  const testsupport::SkinnedRoot& root() const { return *root_; }
  testsupport::GuiScript script;

private:
  std::unique_ptr<testsupport::SkinnedRoot> root_;
};

// One settings block as the plug-in writes it.
inline std::string settingsBlock(const std::array<int, 11>& v) {
  static const char* const keys[11] = {"satellite",       "tipoRicerca",   "freqStart",
                                       "freqEnd",         "stepFrequenza", "polarita",
                                       "startSymbolRate", "endSymbolRate", "stepSymbolRate",
                                       "ritardoScansione", "sogliaAggancio"};
  std::string s = "# --------------- SATELLITE ----------------\n";
  for (int k = 0; k < 11; k++) s += std::string(keys[k]) + "=" + std::to_string(v[k]) + "\n";
  return s;
}

}  // namespace plugintest
