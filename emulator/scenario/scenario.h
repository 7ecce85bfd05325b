// What the emulated box is made of: satellites with their carriers and services,
// what the receiver knows and where it is tuned. Read from scenario files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace emu {

enum class Polarisation { Horizontal = 0, Vertical = 1 };
enum class DeliverySystem { DvbS, DvbS2 };
enum class Modulation { Qpsk, Psk8, Other };

// DVB service_type codes the lists map their classes onto.
constexpr int kServiceTypeTv = 1;
constexpr int kServiceTypeRadio = 2;
constexpr int kServiceTypeData = 0x0C;

struct Service {
  std::string name;
  std::string provider;
  int service_type = kServiceTypeTv;   // DVB service_type: 1 TV, 2 radio, 0x0C data, ...
  int service_id = 0;
  bool known = false;        // already in the receiver's lists
};

struct Carrier {
  uint32_t frequency_khz = 0;      // as received at the dish
  Polarisation polarisation = Polarisation::Horizontal;
  uint32_t symbol_rate = 0;        // symbols per second
  int fec = 0;                     // CodeRate of the DVB API (1 = 1/2 ... 8 = 8/9), 0 unknown or not in the API
  std::string fec_text;            // as the list wrote it ("3/4", "9/10", "AUTO"); empty when not given
  DeliverySystem system = DeliverySystem::DvbS;
  Modulation modulation = Modulation::Qpsk;
  double rolloff = 0.35;
  double esno_db = 0.0;            // filled from the list, or drawn by the scenario's knobs
  bool esno_given = false;
  bool listed = true;              // false: an unlisted feed of the scenario
  bool known = false;              // the receiver already has this transponder in its lists
  int transport_stream_id = 0;
  int original_network_id = 0;
  std::string origin;              // "file:line" it was read from, for reports
  std::vector<Service> services;
};

struct Lnb {
  uint32_t lof_low_khz = 9750000;
  uint32_t lof_high_khz = 10600000;
  uint32_t threshold_khz = 11700000;
};

struct Satellite {
  int orbital_position = 0;        // tenths of a degree, east positive
  std::string name;
  int diseqc_port = 0;             // committed switch 0..3
  int network_id = 0;              // original network id given to services without one
  Lnb lnb;
  std::vector<Carrier> carriers;   // sorted by polarisation, then frequency

  const Carrier* find(uint32_t frequency_khz, Polarisation pol, uint32_t tolerance_khz) const;
};

struct Tuned {                     // where the receiver is at start; none when frequency is 0
  int orbital_position = 0;
  uint32_t frequency_khz = 0;
  Polarisation polarisation = Polarisation::Horizontal;
  uint32_t symbol_rate = 0;
  int fec = 0;
  std::string playing;             // service name being played, may be empty
};

struct Scenario {
  std::string name;
  std::string source_path;
  std::vector<Satellite> satellites;
  Tuned tuned;
  double dish_cm = 60;
  uint64_t seed = 1;
  double lo_error_khz_max = 800;   // per-band LNB error bound; 0 disables
  std::vector<std::string> notes;  // what the lists skipped or left out, one line each, with summaries
  int entries_dropped = 0;         // list entries skipped (unreadable) or left out: the count the notes detail

  const Satellite* satelliteAt(int orbital_position) const;
  const Satellite* satelliteOnPort(int port) const;
  bool isTuned() const { return tuned.frequency_khz != 0; }
};

// Gives every carrier a transport stream id unique on its satellite and the satellite's network
// id, and every service an id unique on its carrier, where none was given (the loader does this;
// scenarios made in code get it when the receiver loads them).
void completeIds(Satellite& sat);
void completeIds(Scenario& s);

// Text forms used by lists and reports.
const char* polarisationLetter(Polarisation p);       // "H" / "V"
const char* systemName(DeliverySystem s);             // "DVB-S" / "DVB-S2"
// DVB API code of a code rate text ("3/4" -> 3); 0 for AUTO and rates the API lacks; -1 when unreadable.
int fecCode(const std::string& text);

}  // namespace emu
