// The service controller, the lists, transponders, the frontend object, decoder and playback.
#include "receiver_fixture.h"

#include <cerrno>

using namespace rxtest;

TEST_F(ReceiverTest, ServiceControllerGivesTheTunedTransponder) {
  eDVBServiceController* sc = eDVB::instance->getServiceAPI();
  ASSERT_NE(sc, nullptr);
  ASSERT_NE(sc->transponder, nullptr);
  const auto& t = sc->transponder->satellite;
  EXPECT_EQ(t.frequency, 11954000u);
  EXPECT_EQ(t.symbol_rate, 27500000u);
  EXPECT_EQ(t.polarisation, 0);
  EXPECT_EQ(t.fec, 3);
  EXPECT_EQ(t.orbital_position, 192);
  // In scan mode there is no service controller; back in viewing mode it is there again.
  eDVB::instance->setMode(1);
  EXPECT_EQ(eDVB::instance->getServiceAPI(), nullptr);
  EXPECT_EQ(eDVB::instance->getMode(), 1);
  eDVB::instance->setMode(2);
  EXPECT_NE(eDVB::instance->getServiceAPI(), nullptr);
}

TEST_F(ReceiverTest, NoServiceControllerWhenNotTuned) {
  emu::receiver().load(smallScenario(false));
  EXPECT_EQ(eDVB::instance->getServiceAPI(), nullptr);
  EXPECT_EQ(eServiceInterface::getInstance()->service.type, -1);
  ASSERT_TRUE(emu::receiver().retune(130, 11034500, emu::Polarisation::Vertical, "Rai 1"));
  eDVBServiceController* sc = eDVB::instance->getServiceAPI();
  ASSERT_NE(sc, nullptr);
  EXPECT_EQ(sc->transponder->satellite.frequency, 11034000u);
  EXPECT_EQ(sc->transponder->satellite.orbital_position, 130);
  EXPECT_NE(eServiceInterface::getInstance()->service.type, -1);
  emu::receiver().untune();
  EXPECT_EQ(eDVB::instance->getServiceAPI(), nullptr);
  EXPECT_FALSE(emu::receiver().retune(130, 11100000, emu::Polarisation::Vertical));
}

TEST_F(ReceiverTest, FindSatelliteGivesDescriptionAndLnb) {
  struct Case {
    int pos;
    const char* name;
    int port;
  } cases[] = {{192, "Astra 19.2E", 0}, {130, "Hot Bird 13.0E", 1}};
  for (const Case& c : cases) {
    eSatellite* s = eTransponderList::instance->findSatellite(c.pos);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->getDescription(), c.name);
    EXPECT_EQ(s->getOrbitalPosition(), c.pos);
    ASSERT_NE(s->getLNB(), nullptr);
    EXPECT_EQ(s->getLNB()->getLOFHi(), 10600000u);
    EXPECT_EQ(s->getLNB()->getLOFLo(), 9750000u);
    EXPECT_EQ(s->getLNB()->getLOFThreshold(), 11700000u);
    EXPECT_EQ(s->getLNB()->getDiSEqC().DiSEqCParam, c.port);
  }
  EXPECT_EQ(eTransponderList::instance->findSatellite(282), nullptr);
  EXPECT_EQ(eTransponderList::instance->findSatellite(0), nullptr);
}

TEST_F(ReceiverTest, SearchServiceFindsOnlyWhatTheReceiverKnows) {
  eServiceReference playing = eServiceInterface::getInstance()->service;
  ASSERT_EQ(playing.type, eServiceReference::idDVB);
  eServiceDVB* zdf = eTransponderList::instance->searchService(playing);
  ASSERT_NE(zdf, nullptr);
  EXPECT_EQ(zdf->service_name, "ZDF");
  EXPECT_EQ(zdf->service_type, 1);
  eServiceReferenceDVB other(playing.data[4], playing.data[2], playing.data[3], playing.data[1] + 999, 1);
  EXPECT_EQ(eTransponderList::instance->searchService(other), nullptr);
  EXPECT_EQ(eTransponderList::instance->searchService(eServiceReference()), nullptr);
}

TEST_F(ReceiverTest, TuneMovesTheReceiverAndPlayResumesTheService) {
  eServiceReference zdf = eServiceInterface::getInstance()->service;
  eTransponder original(*eTransponderList::instance);
  original = *eDVB::instance->getServiceAPI()->transponder;
  // The plug-in's hand-over and exit: leave, hold the decoder, scan elsewhere, come back.
  eTransponderList::instance->leaveTransponder(nullptr);
  Decoder::Flush();
  Decoder::locked = 1;
  EXPECT_EQ(eServiceInterface::getInstance()->play(zdf), -EBUSY);
  eTransponder elsewhere(*eTransponderList::instance);
  elsewhere.setSatellite(11034000, 27500000, 1, 0, 130, 0);
  EXPECT_EQ(elsewhere.tune(), 0);
  EXPECT_EQ(eDVB::instance->getServiceAPI()->transponder->satellite.orbital_position, 130);
  EXPECT_EQ(emu::box().tuner().state().port, 1);
  Decoder::locked = 0;
  eServiceInterface::getInstance()->service = eServiceReference();
  EXPECT_EQ(original.tune(), 0);
  EXPECT_EQ(eServiceInterface::getInstance()->play(zdf), 0);
  EXPECT_EQ(eServiceInterface::getInstance()->service, zdf);
  EXPECT_EQ(eDVB::instance->getServiceAPI()->transponder->satellite.frequency, 11954000u);
  EXPECT_EQ(emu::box().tuner().state().port, 0);
  EXPECT_EQ(emu::receiver().transponderLeaves(), 1);
  EXPECT_EQ(emu::receiver().decoderFlushes(), 1);
  eTransponder blank(*eTransponderList::instance);
  EXPECT_LT(blank.tune(), 0);
  eTransponder nowhere(*eTransponderList::instance);
  nowhere.setSatellite(11836000, 27500000, 0, 0, 282, 0);
  EXPECT_LT(nowhere.tune(), 0);
}

TEST_F(ReceiverTest, PlayingAServiceElsewhereTunesToIt) {
  // Das Erste is on 11836 H and known; the receiver sits on 11954 H.
  ASSERT_TRUE(emu::receiver().retune(192, 11836000, emu::Polarisation::Horizontal, "Das Erste"));
  eServiceReference das_erste = eServiceInterface::getInstance()->service;
  ASSERT_EQ(das_erste.type, eServiceReference::idDVB);
  ASSERT_TRUE(emu::receiver().retune(192, 11954000, emu::Polarisation::Horizontal));
  EXPECT_EQ(eServiceInterface::getInstance()->service.type, -1);
  EXPECT_EQ(eServiceInterface::getInstance()->play(das_erste), 0);
  EXPECT_EQ(eDVB::instance->getServiceAPI()->transponder->satellite.frequency, 11836000u);
}

TEST_F(ReceiverTest, FrontendReadsTheTunerTheRequestsDrive) {
  struct Case {
    uint32_t khz;
    emu::Polarisation pol;
    bool lock;
  } cases[] = {{11836000, emu::Polarisation::Horizontal, true}, {12600000, emu::Polarisation::Horizontal, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.khz);
    ASSERT_TRUE(emu::receiver().retune(192, c.khz, c.pol));
    emu::box().clock().advanceTo(emu::box().tuner().peek().attempt_end_us + 1000);
    uint64_t t = emu::box().clock().now();
    int status = eFrontend::frontend->Status();
    EXPECT_GT(emu::box().clock().now(), t);   // a register read costs time
    EXPECT_EQ((status & FE_HAS_LOCK) != 0, c.lock) << status;
    EXPECT_NE(status & FE_HAS_SIGNAL, 0);
    int snr = eFrontend::frontend->SNR(), agc = eFrontend::frontend->SignalStrength();
    EXPECT_GE(snr, 0);
    EXPECT_LE(snr, 65535);
    EXPECT_GT(agc, 38000);
    uint32_t ber = eFrontend::frontend->BER();
    if (c.lock) {
      EXPECT_GT(snr * 100 / 65536, 53);
      EXPECT_LT(ber, 0xFFFFu);
    } else {
      EXPECT_EQ(ber, 0xFFFFu);
    }
  }
}

TEST(ServiceReference, EqualityAndOrder) {
  eServiceReferenceDVB a(192 << 16, 1079, 1, 28006, 1), b(192 << 16, 1079, 1, 28006, 1), c(192 << 16, 1079, 1, 28007, 1);
  EXPECT_EQ(a.type, eServiceReference::idDVB);
  EXPECT_EQ(a.getServiceID(), 28006);
  EXPECT_EQ(a.getTransportStreamID(), 1079);
  EXPECT_EQ(a.getOriginalNetworkID(), 1);
  EXPECT_EQ(a.getServiceType(), 1);
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a != c);
  EXPECT_TRUE(a < c);
  EXPECT_FALSE(c < a);
  eServiceReference none;
  EXPECT_EQ(none.type, -1);
  EXPECT_TRUE(none < a);
}

TEST_F(ReceiverTest, ReportLinesNameHandOversAndServices) {
  ASSERT_TRUE(scanFromWorker(transponder(11836000, 0)));
  eDVB::instance->setMode(2);
  for (const auto& r : emu::receiver().reportedServices()) EXPECT_EQ(r.hand_over, 0);
  auto lines = emu::receiver().reportLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_NE(lines[0].find("19.2E 11836.000 MHz H 27500 kS/s: locked on 11836.000 MHz (listed), 4 services, 3 new"),
            std::string::npos)
      << lines[0];
  EXPECT_NE(lines[2].find("new   radio 11836.000 MHz H: Bayern 3 | ARD"), std::string::npos) << lines[2];
}

TEST_F(ReceiverTest, ZappingToASatelliteTunesAListedDvbSTransponder) {
  ASSERT_TRUE(emu::receiver().retune(130));
  eDVBServiceController* sc = eDVB::instance->getServiceAPI();
  ASSERT_NE(sc, nullptr);
  EXPECT_EQ(sc->transponder->satellite.orbital_position, 130);
  eServiceDVB* playing = eTransponderList::instance->searchService(eServiceInterface::getInstance()->service);
  ASSERT_NE(playing, nullptr);
  EXPECT_EQ(playing->service_name, "Rai 1");
  EXPECT_FALSE(emu::receiver().retune(282));
}

// A satellite whose lists carry no services is reached all the same: the
// receiver zaps to one of its DVB-S transponders and plays nothing.
TEST_F(ReceiverTest, ASatelliteWithoutServicesIsReachedThroughItsDvbSTransponder) {
  emu::Scenario s = smallScenario();
  testsupport::ScenarioBuilder b;
  b.satellite(282, 2, "Astra 28.2E")
      .carrier(11000, emu::Polarisation::Horizontal, 27500, 3, 12, emu::DeliverySystem::DvbS2)
      .carrier(11100, emu::Polarisation::Vertical, 22000, 5, 12);
  s.satellites.push_back(b.build().satellites.front());
  emu::receiver().load(s);
  ASSERT_TRUE(emu::receiver().retune(282));
  eDVBServiceController* sc = eDVB::instance->getServiceAPI();
  ASSERT_NE(sc, nullptr);
  EXPECT_EQ(sc->transponder->satellite.orbital_position, 282);
  EXPECT_EQ(eServiceInterface::getInstance()->service.type, -1);
  EXPECT_EQ(sc->transponder->satellite.frequency, 11100000u);   // the DVB-S one, not the DVB-S2 one
}

TEST_F(ReceiverTest, ALoadStraightIntoTheBoxIsPickedUp) {
  // The emulator may load the box itself: the lists follow on the next call.
  emu::Scenario s = smallScenario(false);
  emu::completeIds(s);
  emu::box().load(s);
  EXPECT_EQ(eServiceInterface::getInstance()->service.type, -1);
  EXPECT_EQ(eDVB::instance->getServiceAPI(), nullptr);
  EXPECT_NE(eTransponderList::instance->findSatellite(130), nullptr);
}
