// What a scan found, as a channel list people load: VDR channels.conf or a dvbv5
// channel file. Transponders are the hand-overs (one per carrier locked), services
// those the receiver reported on them that the plug-in's found-channel log lists.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/app/found_log.h"
#include "emulator/receiver/receiver.h"
#include "emulator/scenario/scenario.h"

namespace app {

enum class ChannelFormat { Vdr, Dvbv5 };
// ".conf" VDR, ".channels" and ".dvbv5" dvbv5; none for other names.
std::optional<ChannelFormat> channelFormatOfPath(const std::string& path);
// "vdr", "dvbv5"; none otherwise.
std::optional<ChannelFormat> channelFormatByName(const std::string& name);

struct ExportedService {
  std::string name, provider;
  std::string serviceClass;          // from the found-channel log: "tv", "radio", "data", "other"
  int serviceId = 0;
};

struct ExportedTransponder {
  int orbitalPosition = 0;
  uint32_t frequencyKhz = 0;         // as handed over
  emu::Polarisation polarisation = emu::Polarisation::Horizontal;
  uint32_t symbolRate = 0;           // as handed over, symbols per second
  std::string fec = "AUTO";          // "3/4", ...; AUTO where the scenario does not say
  emu::DeliverySystem system = emu::DeliverySystem::DvbS;
  emu::Modulation modulation = emu::Modulation::Qpsk;
  double rolloff = 0.35;
  int transportStreamId = 0, networkId = 0;   // 0 where unknown
  bool universalLnb = true;
  std::vector<ExportedService> services;
};

struct ChannelList {
  std::vector<ExportedTransponder> transponders;
  int servicesNotPlaced = 0;         // in the log but reported on no hand-over
};

// Hand-overs of the same carrier (or, unlocked, of the same frequency, polarisation and
// rate) make one transponder; a service is kept once per transponder.
ChannelList buildChannelList(const std::vector<emu::HandOver>& handOvers,
                             const std::vector<emu::ReportedService>& reported, const FoundLog& log,
                             const emu::Scenario& scenario);

// VDR: a ":" group line per transponder, then one line per service. PIDs the scenario
// does not know are written as 8191 (the null PID) for streams the class implies, 0 otherwise.
std::string vdrChannels(const ChannelList& list);
// Services whose name VDR reads back otherwise: a ';' (taken for the provider's start), a
// '|' (VDR's escape of ':') or a ',' not between two digits (taken for the short name's start).
int namesVdrCuts(const ChannelList& list);
// dvbv5: one section per service; a transponder without services as a [CHANNEL] section.
std::string dvbv5Channels(const ChannelList& list);
std::string channelsText(const ChannelList& list, ChannelFormat format);

// "S19.2E", "S5.0W"
std::string vdrSource(int orbitalPosition);

}  // namespace app
