#include "emulator/app/scan_outputs.h"

#include <algorithm>

#include "emulator/app/channel_export.h"
#include "emulator/app/output_file.h"
#include "emulator/app/spectrum_csv.h"
#include "emulator/receiver/receiver.h"
#include "emulator/tuner/box.h"

namespace app {

namespace {
ChannelFormat exportFormatOf(const ScanOptions& o) {
  if (!o.exportFormat.empty()) return *channelFormatByName(o.exportFormat);
  return channelFormatOfPath(o.exportPath).value_or(ChannelFormat::Vdr);
}
}  // namespace

std::string checkScanOutputs(const ScanOptions& o) {
  // One file named twice would end as whichever was written last.
  const std::pair<const char*, const std::string*> named[] = {
      {"--export", &o.exportPath}, {"--spectrum", &o.spectrum}, {"--report", &o.report}};
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = i + 1; j < 3; ++j)
      if (!named[i].second->empty() && *named[i].second == *named[j].second)
        return std::string(named[i].first) + " and " + named[j].first + " name the same file " + *named[i].second;
  if (!o.exportPath.empty())
    if (std::string why = whyNotWritable(o.exportPath); !why.empty()) return "--export: cannot write " + why;
  if (!o.spectrum.empty())
    if (std::string why = whyNotWritable(o.spectrum); !why.empty()) return "--spectrum: cannot write " + why;
  return {};
}

void startScanOutputs(const ScanOptions& o) {
  emu::RequestLog& log = emu::box().tuner().requests();
  log.clear();
  log.enable(!o.spectrum.empty());
}

std::string writeScanOutputs(const ScanOptions& o, const FoundLog& log) {
  std::string lines;
  if (!o.exportPath.empty()) {
    ChannelList list = buildChannelList(emu::receiver().handOvers(), emu::receiver().reportedServices(), log,
                                        emu::box().scenario());
    ChannelFormat f = exportFormatOf(o);
    writeFileAtomically(o.exportPath, channelsText(list, f));
    size_t services = 0;
    for (const auto& t : list.transponders) services += t.services.size();
    lines += "Channels: " + o.exportPath + " (" + (f == ChannelFormat::Vdr ? "VDR" : "dvbv5") + ", " +
             std::to_string(list.transponders.size()) + " transponders, " + std::to_string(services) + " services)\n";
    if (f == ChannelFormat::Vdr && namesVdrCuts(list))
      lines += "  " + std::to_string(namesVdrCuts(list)) +
               " names hold a ';', '|' or ',' that VDR reads otherwise (provider, ':', short name)\n";
    if (list.servicesNotPlaced)
      lines += "  " + std::to_string(list.servicesNotPlaced) +
               " services of the found-channel log were reported on no transponder handed over: not exported\n";
  }
  if (!o.spectrum.empty()) {
    long n = 0;
    writeFileAtomically(o.spectrum, [&n](FILE* f) {
      bool ok = std::fputs(spectrumCsvHeader(), f) >= 0;
      emu::box().tuner().requests().visit([&](const emu::RequestRecord& r) {
        std::string row = spectrumCsvRow(r);
        if (row.empty()) return;
        ++n;
        ok = ok && std::fwrite(row.data(), 1, row.size(), f) == row.size();
      });
      return ok;
    });
    lines += "Spectrum: " + o.spectrum + " (" + std::to_string(n) + " readings)\n";
  }
  return lines;
}

}  // namespace app
