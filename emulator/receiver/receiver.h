// The emulator's handle on the receiver's DVB services (host/dvb): load a scenario into the
// box, move the receiver, and read what the plug-in handed over and what the scans reported.
// Used by the emulator program and the tests; the plug-in never sees it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include <emulator/scenario/scenario.h>

namespace emu {

// A transponder given to the scan controller.
struct HandOver {
  int orbital_position = 0;
  uint32_t frequency_khz = 0;       // as handed over
  uint32_t symbol_rate = 0;         // symbols per second
  Polarisation polarisation = Polarisation::Horizontal;
  int fec = 0;
  bool accepted = false;            // addTransponder said yes
  bool scanned = false;             // start() ran a scan of it
  bool locked = false;              // the scan's tuning locked
  bool aborted = false;             // viewing mode came back before the scan ended
  uint32_t carrier_khz = 0;         // the scenario carrier locked on (0: none)
  bool carrier_listed = false;      // it is in the satellite's lists (false: an unlisted feed)
  int services = 0;                 // services reported
  int new_services = 0;
  uint64_t started_us = 0, ended_us = 0;   // virtual time of the scan
  std::string why;                  // why it was refused, when it was
};

// A service the scan controller reported through the service-found signal.
struct ReportedService {
  int hand_over = -1;               // index into Receiver::handOvers() of the scan that found it
  int orbital_position = 0;
  uint32_t carrier_khz = 0;
  Polarisation polarisation = Polarisation::Horizontal;
  uint32_t symbol_rate = 0;
  bool carrier_listed = true;
  std::string name, provider;
  int service_type = 0;
  int service_id = 0, transport_stream_id = 0, original_network_id = 0;
  bool is_new = false;
  uint64_t at_us = 0;               // virtual time of the report
};

class Receiver {
public:
  // Loads the scenario into the box (its tuner and clock) and gives the receiver the
  // scenario's lists, tuning and playing service; everything recorded so far is cleared.
  void load(Scenario s);
  // Back to the scenario as loaded: lists and known flags, tuning, playing service, viewing
  // mode, decoder free, no scan running, records cleared. Between tests.
  void reset();

  // Tunes the receiver to the carrier of the scenario nearest to frequency_khz (within 2 MHz)
  // on that satellite and polarisation, playing `play` when it names one of its services.
  // False (and nothing changed) when there is no such carrier.
  bool retune(int orbital_position, uint32_t frequency_khz, Polarisation pol, const std::string& play = "");
  // Zaps to the satellite as a user would: the first listed DVB-S transponder with services,
  // playing its first television service (or its first service). False when it has none.
  bool retune(int orbital_position);
  // Leaves the receiver not tuned to anything and playing nothing.
  void untune();

  std::vector<HandOver> handOvers() const;
  std::vector<ReportedService> reportedServices() const;
  int mode() const;                 // 1 scanning, 2 viewing
  bool scanRunning() const;
  int decoderFlushes() const;
  int transponderLeaves() const;    // leaveTransponder calls
  // Lines for the emulator's report: hand-overs with their outcome, then the services.
  std::vector<std::string> reportLines() const;
};

Receiver& receiver();

}  // namespace emu
