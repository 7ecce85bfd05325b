// Base fixture for tests of the box: a fresh temporary root, an empty fault
// plan, the clock at zero and the given scenario loaded.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "emulator/tuner/box.h"
#include "support/scenario_builder.h"
#include "support/temp_root.h"

namespace testsupport {

class BoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    root_ = std::make_unique<TempRoot>();
    emu::box().faults().clear();
    emu::box().clock().setRealtime(false);
    emu::box().clock().reset(0);
    emu::box().knobs() = emu::Knobs();
    emu::box().load(emu::Scenario());
  }
  void TearDown() override {
    emu::box().faults().clear();
    emu::box().knobs() = emu::Knobs();
    emu::box().load(emu::Scenario());
    root_.reset();
  }
  void load(const emu::Scenario& s) { emu::box().load(s); }
  const TempRoot& root() const { return *root_; }

private:
  std::unique_ptr<TempRoot> root_;
};

}  // namespace testsupport
