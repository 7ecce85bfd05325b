// A box with a small scenario loaded through the receiver, the toolkit's loop on this thread,
// and the two host signals recorded.
#pragma once
#include <gtest/gtest.h>

#include <thread>
#include <vector>
#include <host/dvb/dvb.h>
#include <host/gui/ebase.h>
#include "emulator/receiver/receiver.h"
#include "emulator/toolkit/emu.h"
#include "emulator/tuner/tuner.h"
#include "support/scenario_builder.h"
#include "support/temp_root.h"

namespace rxtest {

struct Found {
  eServiceReferenceDVB ref;
  bool is_new;
  std::thread::id thread;
  uint64_t at_us;
};

// 192 (port 0): 11836 H (four services of four classes, one known), 11954 H (tuned, ZDF),
// 12051 V DVB-S2, 11400.5 V a 4340 kS/s feed, 12600 H too weak to lock.
// 130 (port 1): 11034 V with one service.
inline emu::Scenario smallScenario(bool tuned = true) {
  testsupport::ScenarioBuilder b;
  b.satellite(192, 0, "Astra 19.2E")
      .carrier(11836, emu::Polarisation::Horizontal, 27500, 3, 12)
      .carrier(11954, emu::Polarisation::Horizontal, 27500, 3, 12)
      .carrier(12051, emu::Polarisation::Vertical, 27500, 2, 12, emu::DeliverySystem::DvbS2)
      .carrier(11400.5, emu::Polarisation::Vertical, 4340, 3, 10)
      .carrier(12600, emu::Polarisation::Horizontal, 27500, 3, 3)
      .satellite(130, 1, "Hot Bird 13.0E")
      .carrier(11034, emu::Polarisation::Vertical, 27500, 3, 12);
  emu::Scenario s = b.build();
  auto svc = [](const char* name, const char* provider, int type, bool known = false) {
    emu::Service v;
    v.name = name;
    v.provider = provider;
    v.service_type = type;
    v.known = known;
    return v;
  };
  auto& a = s.satellites[0].carriers;
  a[0].services = {svc("Das Erste", "ARD", 1, true), svc("Bayern 3", "ARD", 2), svc("Videotext", "ARD", 3),
                   svc("EPG Daten", "ARD", 12)};
  a[1].services = {svc("ZDF", "ZDFvision", 1, true)};
  a[2].services = {svc("Das Erste HD", "ARD", 25)};
  a[3].listed = false;
  a[3].services = {svc("SNG 4", "EBU", 1)};
  a[4].services = {svc("Weak", "?", 1)};
  s.satellites[1].carriers[0].services = {svc("Rai 1", "RAI", 1)};
  if (tuned) {
    s.tuned.orbital_position = 192;
    s.tuned.frequency_khz = 11954000;
    s.tuned.polarisation = emu::Polarisation::Horizontal;
    s.tuned.symbol_rate = 27500000;
    s.tuned.fec = 3;
    s.tuned.playing = "ZDF";
  }
  return s;
}

class ReceiverTest : public ::testing::Test {
protected:
  void SetUp() override {
    emu::startToolkit();
    root_ = std::make_unique<testsupport::TempRoot>();
    emu::box().clock().setRealtime(false);
    emu::box().clock().reset(0);
    emu::receiver().load(smallScenario());
    gui_ = std::this_thread::get_id();
    found_conn_ = eTransponderList::instance->service_found.connect([this](const eServiceReferenceDVB& r, bool n) {
      found.push_back({r, n, std::this_thread::get_id(), emu::box().clock().now()});
    });
    state_conn_ = eDVB::instance->stateChanged.connect([this](const eDVBState& st) {
      states.push_back(st.state);
      state_thread = std::this_thread::get_id();
      if (quit_on_state) emu::quitLoop(0);
    });
  }
  void TearDown() override {
    found_conn_.disconnect();
    state_conn_.disconnect();
    eDVB::instance->setMode(2);
    emu::receiver().load(emu::Scenario());
    root_.reset();
  }

  // Runs the loop until the scan's state change arrives; false when it never does.
  bool runUntilStateChange() {
    quit_on_state = true;
    eTimer guard(eApp);
    bool timed_out = false;
    guard.timeout.connect([&] {
      timed_out = true;
      emu::quitLoop(1);
    });
    guard.start(10000, true);
    emu::runLoop();
    quit_on_state = false;
    return !timed_out;
  }
  // Serves everything already queued on the loop, then returns.
  void drainLoop() {
    emu::post([] { emu::post([] { emu::post([] { emu::quitLoop(0); }); }); });
    emu::runLoop();
  }

  eTransponder transponder(uint32_t khz, int pol, uint32_t sps = 27500000, int pos = 192) {
    eTransponder tp(*eTransponderList::instance);
    tp.setSatellite(static_cast<int>(khz), static_cast<int>(sps), pol, 0, pos, 0);
    tp.state = 2;
    return tp;
  }

  // Hands the transponder over from a worker thread, as the plug-in does, and waits for the
  // host's scan to end.
  bool scanFromWorker(const eTransponder& tp) {
    eDVB::instance->setMode(1);
    eDVBScanController* sc = eDVB::instance->getScanAPI();
    if (!sc) return false;
    int accepted = 0;
    std::thread worker([&] {
      accepted = sc->addTransponder(tp);
      if (accepted) sc->start();
    });
    worker.join();
    return accepted && runUntilStateChange();
  }

  std::vector<Found> found;
  std::vector<int> states;
  std::thread::id state_thread, gui_;
  bool quit_on_state = false;

private:
  std::unique_ptr<testsupport::TempRoot> root_;
  sigc::connection found_conn_, state_conn_;
};

}  // namespace rxtest
