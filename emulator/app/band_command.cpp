// scrutafasci-emu band: the tuner swept through the box's devices.
#include <cstdio>

#include <host/gui/eerror.h>

#include "emulator/app/band_plot.h"
#include "emulator/app/band_probe.h"
#include "emulator/app/box_setup.h"
#include "emulator/app/commands.h"
#include "emulator/app/output_file.h"
#include "emulator/app/prescan.h"
#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"

namespace app {

int bandCommand(const BandOptions& o) {
  try {
    BoxSetup setup = setUpBox(o.box, false);
    emu::setLogFile((setup.root + "/scrutafasci-emu.log").c_str());
    emu::setLogToStderr(false);
    const emu::Scenario& sc = emu::box().scenario();
    int orbital = o.satelliteGiven ? o.satellite
                  : sc.tuned.frequency_khz ? sc.tuned.orbital_position
                                           : sc.satellites.front().orbital_position;
    const emu::Satellite& sat = satelliteOf(orbital);
    LnbSetup lnb;
    lnb.lofLowKhz = sat.lnb.lof_low_khz;
    lnb.lofHighKhz = sat.lnb.lof_high_khz;
    lnb.thresholdKhz = sat.lnb.threshold_khz;
    lnb.diseqcPort = sat.diseqc_port;

    // One refusal for a range the tuner cannot reach, not one line per frequency.
    const emu::Knobs& knobs = emu::box().knobs();
    MhzRange reach = reachableMHz(sat.lnb, knobs.if_min_khz, knobs.if_max_khz);
    if (o.fromMHz < reach.from || o.toMHz > reach.to) {
      std::fprintf(stderr, "scrutafasci-emu: %d-%d MHz lies outside the %d-%d MHz this LNB and tuner reach "
                           "(%s, IF %.0f-%.0f MHz); give --from and --to within it\n",
                   o.fromMHz, o.toMHz, reach.from, reach.to, sat.name.c_str(), knobs.if_min_khz / 1000,
                   knobs.if_max_khz / 1000);
      return kExitUsage;
    }
    for (const auto& n : sc.notes) eDebug("scenario: %s", n.c_str());
    // Output paths are checked before the sweep, not found wrong after it.
    for (const auto& [option, path] : {std::pair{"--csv", o.csv}, std::pair{"--png", o.png}}) {
      if (path.empty()) continue;
      if (std::string why = whyNotWritable(path); !why.empty()) {
        std::fprintf(stderr, "scrutafasci-emu: %s: cannot write %s\n", option, why.c_str());
        return kExitUsage;
      }
    }

    FrontendProbe probe;
    std::vector<BandPoint> points;
    std::printf("# %s (%d) %s, %d-%d MHz step %d, %d kS/s\n", sat.name.c_str(), sat.orbital_position,
                o.polarisation ? "V" : "H", o.fromMHz, o.toMHz, o.stepMHz, o.srKsps);
    if (sc.entries_dropped > 0) std::printf("# scenario: %d list entries skipped or left out\n", sc.entries_dropped);
    std::printf("#   MHz    AGC    SNR  SNR%%  status\n");
    int locks = 0;
    double t0 = emu::box().clock().now() / 1e6;
    for (int f = o.fromMHz; f <= o.toMHz; f += o.stepMHz) {
      BandPoint p = probe.probe(f, o.polarisation, o.srKsps, lnb);
      points.push_back(p);
      if (p.status & 0x08) ++locks;
      if (p.tuneFailed)
        std::printf("%7d      -      -     -  tuning refused (IF outside the tuner's range?)\n", f);
      else
        std::printf("%7d  %5u  %5u  %3u%%  0x%02X %s\n", f, p.agc, p.snr, p.snr * 100u / 65536u, p.status,
                    statusText(p.status).c_str());
    }
    std::printf("# %zu frequencies, %d locked, %.1f s of box time\n", points.size(), locks,
                emu::box().clock().now() / 1e6 - t0);
    std::string err;
    if (!o.csv.empty() && !writeBandCsv(points, o.csv, &err)) {
      std::fprintf(stderr, "scrutafasci-emu: %s\n", err.c_str());
      return kExitFailure;
    }
    if (!o.png.empty()) {
      char title[200];
      std::snprintf(title, sizeof title, "%s  %s  %d-%d MHz  %d kS/s", sat.name.c_str(), o.polarisation ? "V" : "H",
                    o.fromMHz, o.toMHz, o.srKsps);
      if (!writeBandPlot(points, title, o.png, &err)) {
        std::fprintf(stderr, "scrutafasci-emu: cannot write %s: %s\n", o.png.c_str(), err.c_str());
        return kExitFailure;
      }
    }
    return kExitOk;
  } catch (const SetupError& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return e.status;
  } catch (const DeviceError& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return kExitFailure;
  }
}

}  // namespace app
