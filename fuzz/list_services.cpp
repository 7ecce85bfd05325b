// The services table on any file, against a small transponder table; the first byte
// says whether unmatched services become feeds.
#include "list_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char table[] = "11836 H 27500 3/4 DVB-S QPSK -\n12051 V 27500 3/4 DVB-S2 8PSK 20\n";
  std::string tpl = fuzz::write("t.tpl", reinterpret_cast<const uint8_t*>(table), sizeof table - 1);
  std::string file = fuzz::write("t.services", data + 1, size - 1);
  emu::ListReport tr;
  std::vector<emu::Carrier> carriers = emu::readTransponderTable(tpl, tr);
  if (carriers.size() != 2) fuzz::broken("the fixed table did not read");
  std::vector<emu::Carrier> feeds;
  emu::ListReport report;
  emu::readServiceTable(file, carriers, data[0] & 1 ? emu::Unmatched::Feeds : emu::Unmatched::Ignore, feeds, report);
  if (carriers.size() != 2) fuzz::broken("services changed the table");
  fuzz::checkCarriers(feeds);
  fuzz::checkReport(report);
  if (report.carriers != static_cast<int>(feeds.size())) fuzz::broken("feeds and their count disagree");
  size_t services = 0;
  for (const auto& c : carriers) services += c.services.size();
  for (const auto& c : feeds) services += c.services.size();
  if (services != static_cast<size_t>(report.services)) fuzz::broken("services and their count disagree");
  return 0;
}
