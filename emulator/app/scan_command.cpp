// scrutafasci-emu scan: a blind scan driven through the settings window.
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

#include <host/gui/eerror.h>

#include "emulator/app/autopilot.h"
#include "emulator/app/box_root.h"
#include "emulator/app/commands.h"
#include "emulator/app/found_log.h"
#include "emulator/app/interrupts.h"
#include "emulator/app/prescan.h"
#include "emulator/app/receiver_link.h"
#include "emulator/app/report.h"
#include "emulator/app/scan_outputs.h"
#include "emulator/app/session.h"
#include "emulator/app/spectrum_shot.h"
#include "emulator/app/summary.h"
#include "emulator/app/window_link.h"
#include "emulator/tuner/box.h"

namespace app {

namespace {

double boxSeconds() { return emu::box().clock().now() / 1e6; }

long peakRssKib() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// Output paths are checked before anything runs: a scan must not end in "cannot write".
bool outputPathsWritable(const ScanOptions& o) {
  bool ok = true;
  if (!o.report.empty())
    if (std::string why = fileWriteProblem(o.report); !why.empty()) {
      std::fprintf(stderr, "scrutafasci-emu: cannot write the report %s: %s\n", o.report.c_str(), why.c_str());
      ok = false;
    }
  if (!o.screenshots.empty())
    if (std::string why = folderWriteProblem(o.screenshots); !why.empty()) {
      std::fprintf(stderr, "scrutafasci-emu: cannot write screenshots into %s: %s\n", o.screenshots.c_str(),
                   why.c_str());
      ok = false;
    }
  return ok;
}

}  // namespace

int scanCommand(const ScanOptions& o) {
  if (int status = checkDisplay(o.window)) return status;
  if (std::string why = checkScanOutputs(o); !why.empty()) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", why.c_str());
    return kExitUsage;
  }
  if (!outputPathsWritable(o)) return kExitUsage;
  try {
    Session session(o.box);
    const BoxSetup& setup = session.setup();
    const emu::Scenario& sc = emu::box().scenario();
    int orbital = o.satellite ? *o.satellite
                  : sc.tuned.frequency_khz ? sc.tuned.orbital_position
                                           : sc.satellites.front().orbital_position;
    const emu::Satellite& sat = satelliteOf(orbital);
    tuneReceiverTo(orbital);
    const emu::Knobs& knobs = emu::box().knobs();
    for (const auto& w : scanWarnings(o.settings, reachableMHz(sat.lnb, knobs.if_min_khz, knobs.if_max_khz)))
      std::fprintf(stderr, "scrutafasci-emu: %s\n", w.c_str());
    std::string logFile = setup.root + "/scrutafasci-emu.log";
    session.logTo(logFile);
    for (const auto& n : sc.notes) eDebug("scenario: %s", n.c_str());
    std::vector<int> knownRates = readKnownRates(pluginFile(setup.root, "scrutafasci.sr"));
    ScanTrace trace;
    trace.skipMHz = readSkipList(pluginFile(setup.root, "scrutafasci.skip"), orbital, o.settings.polarisation);

    ScanResult r;
    r.scenarioName = sc.name;
    r.scenarioFile = setup.scenarioPath;
    r.orbitalPosition = orbital;
    r.satelliteName = sat.name;
    r.settings = o.settings;

    bool bar = !o.quiet && isatty(1);
    Progress progress(stdout, bar);
    std::printf("scrutafasci-emu scan: %s, %s (%d) %s, %d-%d MHz, search %s; box root %s\n", sc.name.c_str(),
                sat.name.c_str(), orbital, o.settings.polarisation ? "V" : "H", o.settings.fromMHz,
                o.settings.toMHz, searchName(o.settings.search), setup.root.c_str());
    if (sc.entries_dropped > 0)
      std::printf("scenario: %d list entries skipped or left out (listed in the debug log)\n", sc.entries_dropped);
    std::fflush(stdout);

    AutopilotHooks hooks;
    double box0 = boxSeconds();
    hooks.boxTimeS = [box0] { return boxSeconds() - box0; };
    hooks.counts = [](ProgressInfo& p) { handOverCounts(p.handOvers, p.services); };
    hooks.note = [&progress](const std::string& line) { progress.note(line); };
    hooks.progress = [&progress](const ProgressInfo& p) { progress.update(p); };
    hooks.interrupted = [] { return interruptRequested(); };
    catchInterrupts("");
    hooks.spectrumBitmap = [&session](eWidget* graph, const std::string& path, std::string* err) {
      return writeSpectrumBitmap(session.plugin(), graph, path, err);
    };
    std::unique_ptr<win::WindowFront> front;
    if (o.window.on) {
      front = openWindow(o.window, o.screenshots.empty() ? "." : o.screenshots);
      if (!front) return kExitUsage;
      hooks.closeRequested = [&front] { return front->closeRequested(); };
      hooks.windDown = [&front] { front->windDown(); };
    }
    emu::box().tuner().recordAttempts(true);
    auto wall0 = std::chrono::steady_clock::now();
    AutopilotOutcome outcome;
    ProgressInfo last;
    std::string outputLines, outputError;

    auto finishReport = [&](bool partial) {
      r.boxTimeS = boxSeconds() - box0;
      r.wallTimeS = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
      r.peakRssKib = peakRssKib();
      r.handOvers = handedOver();
      r.log = readFoundLog(pluginFile(setup.root, "scrutafasci.scan"));
      r.outcome = outcome.outcome.empty() ? (partial ? "the plug-in did not return" : "ended") : outcome.outcome;
      if (trace.attempts.empty()) trace.attempts = emu::box().tuner().takeAttempts();
      trace.finished = outcome.finished;
      r.used = usedSettings(o.settings, knownRates, trace.attempts);
      LockOracle oracle = tunerOracle(emu::box().tuner(), sc, orbital);
      oracle.freqMarginKhz = sc.lo_error_khz_max + 1000;
      oracle.rateShare = 2 * emu::box().knobs().timing_tolerance + 1e-4;
      r.truth = computeTruth(sat, o.settings, knownRates, r.handOvers, oracle, trace);
      if (!o.report.empty()) writeReport(r, o.report);
      try {
        outputLines = writeScanOutputs(o, r.log);
      } catch (const std::exception& e) {
        outputError = e.what();
      }
    };

    startScanOutputs(o);
    session.run(
        [&](Driver& d) {
          Autopilot pilot(d, o, hooks);
          outcome = pilot.run();
          last = outcome.last;
        },
        30, [&] {
          outcome.outcome = outcome.outcome.empty() ? "the plug-in did not return" : outcome.outcome;
          finishReport(true);
        });

    if (front) {
      front->stop();
      if (outcome.closed) tellReceiver();
    }
    finishReport(false);
    last.percent = outcome.finished ? 100 : last.percent;
    last.boxTimeS = r.boxTimeS;
    last.wallTimeS = r.wallTimeS;
    last.handOvers = static_cast<int>(r.handOvers.size());
    last.services = 0;
    for (const auto& h : r.handOvers) last.services += static_cast<int>(h.services.size());
    progress.finish(last);
    for (const auto& a : outcome.answered) std::printf("answered: %s\n", a.c_str());
    if (outcome.started) printSummary(stdout, r);
    if (!o.report.empty()) std::printf("\nReport: %s\n", o.report.c_str());
    if (!o.screenshots.empty()) std::printf("Screenshots: %s\n", o.screenshots.c_str());
    std::fputs(outputLines.c_str(), stdout);
    std::printf("Debug log: %s\n", logFile.c_str());
    std::fflush(stdout);
    if (!outcome.screenshotError.empty())
      std::fprintf(stderr, "scrutafasci-emu: screenshot failed: %s\n", outcome.screenshotError.c_str());

    if (!outputError.empty()) std::fprintf(stderr, "scrutafasci-emu: %s\n", outputError.c_str());
    if (outcome.finished) return outcome.screenshotError.empty() && outputError.empty() ? kExitOk : kExitFailure;
    if (outcome.interrupted) return kExitInterrupted;
    // Closing the window is a way to end the scan, once the plug-in has returned.
    if (outcome.closed && outcome.outcome == "the window was closed") {
      std::fprintf(stderr, "scrutafasci-emu: the window was closed; the scan was stopped\n");
      return outputError.empty() ? kExitOk : kExitFailure;
    }
    std::fprintf(stderr, "scrutafasci-emu: %s\n", r.outcome.c_str());
    if (outcome.refused && o.settings.search == SearchType::ByAgc && o.settings.srFrom == o.settings.srTo)
      std::fprintf(stderr, "scrutafasci-emu: the search by AGC needs a symbol-rate range: give --sr-from and --sr-to\n");
    if (outcome.refused && o.settings.search == SearchType::BySymbolRate)
      std::fprintf(stderr, "scrutafasci-emu: the search by symbol rate needs known rates: run a standard scan in this box root first\n");
    if (outcome.timedOut) return kExitTimeout;
    if (outcome.refused) return kExitRefused;
    return kExitFailure;
  } catch (const SetupError& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return e.status;
  }
}

}  // namespace app
