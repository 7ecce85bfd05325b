// The scan controller: what it accepts, what it reports for transponders that lock, that do
// not lock and that are DVB-S2, and when.
#include "receiver_fixture.h"

#include <atomic>
#include <chrono>

using namespace rxtest;

namespace {

struct Expected {
  const char* name;
  const char* provider;
  int type;
  bool is_new;
};

}  // namespace

TEST_F(ReceiverTest, ALockableTransponderReportsEachServiceThenTheStateChange) {
  uint64_t t0 = emu::box().clock().now();
  ASSERT_TRUE(scanFromWorker(transponder(11836000, 0)));
  const Expected want[] = {{"Das Erste", "ARD", 1, false},
                           {"Bayern 3", "ARD", 2, true},
                           {"Videotext", "ARD", 3, true},
                           {"EPG Daten", "ARD", 12, true}};
  ASSERT_EQ(found.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(want[i].name);
    EXPECT_EQ(found[i].is_new, want[i].is_new);
    EXPECT_EQ(found[i].thread, gui_);
    EXPECT_EQ(found[i].ref.getDVBNamespace(), 192 << 16);
    eServiceDVB* rec = eTransponderList::instance->searchService(found[i].ref);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->service_name, want[i].name);
    EXPECT_EQ(rec->service_provider, want[i].provider);
    EXPECT_EQ(rec->service_type, want[i].type);
    EXPECT_EQ(found[i].ref.getServiceType(), want[i].type);
  }
  ASSERT_EQ(states, std::vector<int>{0});
  EXPECT_EQ(state_thread, gui_);
  // Spaced like a table read: 2 s, then 50 ms a service; the state change after the last.
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(found[i].at_us - found[i - 1].at_us, 50000u);
  EXPECT_GE(found[0].at_us - t0, 2050000u);
  EXPECT_LT(found[0].at_us - t0, 2050000u + 400000u);   // plus tuning and acquisition
  EXPECT_GE(emu::box().clock().now() - t0, 2000000u + 4 * 50000u);

  auto h = emu::receiver().handOvers();
  ASSERT_EQ(h.size(), 1u);
  EXPECT_TRUE(h[0].accepted && h[0].scanned && h[0].locked);
  EXPECT_EQ(h[0].carrier_khz, 11836000u);
  EXPECT_EQ(h[0].services, 4);
  EXPECT_EQ(h[0].new_services, 3);
  EXPECT_FALSE(emu::receiver().scanRunning());
}

// The table-read times are the tuner's knobs, not figures of the receiver's own.
TEST_F(ReceiverTest, TableReadTimesComeFromTheKnobs) {
  emu::Knobs& k = emu::box().knobs();
  const emu::Knobs saved = k;
  k.host_scan_us = 700000;
  k.host_scan_per_service_us = 20000;
  uint64_t t0 = emu::box().clock().now();
  bool ok = scanFromWorker(transponder(11836000, 0));
  k = saved;
  ASSERT_TRUE(ok);
  ASSERT_EQ(found.size(), 4u);
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(found[i].at_us - found[i - 1].at_us, 20000u);
  EXPECT_GE(found[0].at_us - t0, 720000u);
  EXPECT_LT(found[0].at_us - t0, 720000u + 400000u);
}

TEST_F(ReceiverTest, TransponderThatDoesNotLockReportsNothingButTheStateChange) {
  struct Case {
    const char* what;
    uint32_t khz;
    int pol;
    uint32_t sps;
  } cases[] = {
      {"too weak", 12600000, 0, 27500000},
      {"DVB-S2", 12051000, 1, 27500000},
      {"nothing there", 12300000, 1, 27500000},
      {"wrong symbol rate", 11836000, 0, 22000000},
      {"wrong polarisation", 11836000, 1, 27500000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    found.clear();
    states.clear();
    ASSERT_TRUE(scanFromWorker(transponder(c.khz, c.pol, c.sps)));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(states, std::vector<int>{0});
    auto h = emu::receiver().handOvers();
    ASSERT_FALSE(h.empty());
    EXPECT_TRUE(h.back().scanned);
    EXPECT_FALSE(h.back().locked);
    EXPECT_EQ(h.back().services, 0);
    eDVB::instance->setMode(2);
  }
}

TEST_F(ReceiverTest, AFeedOnTheOtherSatelliteLocks) {
  ASSERT_TRUE(scanFromWorker(transponder(11400000, 1, 4340000)));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].is_new);
  auto h = emu::receiver().handOvers();
  EXPECT_TRUE(h[0].locked);
  EXPECT_FALSE(h[0].carrier_listed);
  eDVB::instance->setMode(2);
  found.clear();
  ASSERT_TRUE(scanFromWorker(transponder(11034000, 1, 27500000, 130)));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(eTransponderList::instance->searchService(found[0].ref)->service_name, "Rai 1");
  EXPECT_EQ(found[0].ref.getDVBNamespace(), 130 << 16);
}

TEST_F(ReceiverTest, ServicesFoundOnceAreKnownTheNextTime) {
  ASSERT_TRUE(scanFromWorker(transponder(11836000, 0)));
  eDVB::instance->setMode(2);
  std::vector<Found> first = found;
  found.clear();
  ASSERT_TRUE(scanFromWorker(transponder(11836000, 0)));
  ASSERT_EQ(found.size(), first.size());
  for (const Found& f : found) EXPECT_FALSE(f.is_new);
  // A reset forgets what the scans added.
  emu::receiver().reset();
  found.clear();
  states.clear();
  ASSERT_TRUE(scanFromWorker(transponder(11836000, 0)));
  ASSERT_EQ(found.size(), 4u);
  EXPECT_TRUE(found[1].is_new);
}

TEST_F(ReceiverTest, NothingIsReportedInsideStart) {
  eDVB::instance->setMode(1);
  eDVBScanController* sc = eDVB::instance->getScanAPI();
  ASSERT_NE(sc, nullptr);
  ASSERT_EQ(sc->addTransponder(transponder(11836000, 0)), 1);
  sc->start();   // on the GUI thread itself
  EXPECT_TRUE(found.empty());
  EXPECT_TRUE(states.empty());
  ASSERT_TRUE(runUntilStateChange());
  EXPECT_EQ(found.size(), 4u);
}

TEST_F(ReceiverTest, TheScanWaitsForTheThreadThatStartedIt) {
  eDVB::instance->setMode(1);
  eDVBScanController* sc = eDVB::instance->getScanAPI();
  ASSERT_EQ(sc->addTransponder(transponder(11836000, 0)), 1);
  std::atomic<bool> worker_done{false};
  std::atomic<bool> early{false};
  sigc::connection c = eTransponderList::instance->service_found.connect(
      [&](const eServiceReferenceDVB&, bool) { early = early || !worker_done; });
  std::thread worker([&] {
    sc->start();
    // The plug-in's worker goes on for a while after the hand-over before it ends.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    worker_done = true;
  });
  ASSERT_TRUE(runUntilStateChange());
  worker.join();
  c.disconnect();
  EXPECT_FALSE(early);
  EXPECT_EQ(found.size(), 4u);
}

TEST_F(ReceiverTest, AddTransponderAcceptsTheBandOfAKnownSatellite) {
  eDVB::instance->setMode(1);
  eDVBScanController* sc = eDVB::instance->getScanAPI();
  ASSERT_NE(sc, nullptr);
  struct Case {
    uint32_t khz;
    int pol, pos;
    uint32_t sps;
    int accepted;
    const char* why;
  } cases[] = {
      {10700000, 0, 192, 27500000, 1, ""},          {12750000, 1, 192, 27500000, 1, ""},
      {10699999, 0, 192, 27500000, 0, "outside the band"}, {12750001, 0, 192, 27500000, 0, "outside the band"},
      {11836000, 0, 282, 27500000, 0, "unknown orbital position"}, {11836000, 2, 192, 27500000, 0, "unknown polarisation"},
      {11836000, 0, 192, 0, 0, "no symbol rate"},    {11034000, 1, 130, 27500000, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.khz);
    EXPECT_EQ(sc->addTransponder(transponder(c.khz, c.pol, c.sps, c.pos)), c.accepted);
    EXPECT_EQ(emu::receiver().handOvers().back().why, c.why);
  }
  eTransponder blank(*eTransponderList::instance);
  EXPECT_EQ(sc->addTransponder(blank), 0);
  // Out of scan mode there is no controller, and one kept from before refuses.
  eDVB::instance->setMode(2);
  EXPECT_EQ(eDVB::instance->getScanAPI(), nullptr);
  EXPECT_EQ(sc->addTransponder(transponder(11836000, 0)), 0);
  EXPECT_EQ(emu::receiver().handOvers().back().why, "not in scan mode");
}

TEST_F(ReceiverTest, StartWithNothingHandedOverEndsAtOnce) {
  eDVB::instance->setMode(1);
  eDVB::instance->getScanAPI()->start();
  ASSERT_TRUE(runUntilStateChange());
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(states, std::vector<int>{0});
}

TEST_F(ReceiverTest, ViewingModeEndsARunningScanWithoutFurtherReports) {
  eDVB::instance->setMode(1);
  eDVBScanController* sc = eDVB::instance->getScanAPI();
  ASSERT_EQ(sc->addTransponder(transponder(11836000, 0)), 1);
  sigc::connection c = eTransponderList::instance->service_found.connect([&](const eServiceReferenceDVB&, bool) {
    if (found.size() == 1) {   // the window closes while the host scans
      eDVB::instance->setMode(2);
      emu::post([] { emu::quitLoop(0); });
    }
  });
  sc->start();
  ASSERT_TRUE(runUntilStateChange());   // ends by the quit above, not by a state change
  c.disconnect();
  drainLoop();
  EXPECT_EQ(found.size(), 1u);
  EXPECT_TRUE(states.empty());
  EXPECT_FALSE(emu::receiver().scanRunning());
  auto h = emu::receiver().handOvers();
  EXPECT_TRUE(h[0].aborted);
  // The next scan mode starts afresh.
  found.clear();
  ASSERT_TRUE(scanFromWorker(transponder(11836000, 0)));
  EXPECT_EQ(found.size(), 4u);
}

TEST_F(ReceiverTest, WithRealtimePacingTheScanWaitsOnTheLoopsTimer) {
  emu::box().clock().setRealtime(true);
  ASSERT_TRUE(scanFromWorker(transponder(12300000, 1)));   // nothing there: the search time-out only
  emu::box().clock().setRealtime(false);
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(states, std::vector<int>{0});
  auto h = emu::receiver().handOvers();
  ASSERT_EQ(h.size(), 1u);
  EXPECT_TRUE(h[0].scanned);
  EXPECT_FALSE(h[0].locked);
  EXPECT_GE(h[0].ended_us - h[0].started_us, 300000u);   // the attempt's time-out at 27.5 MS/s
}
