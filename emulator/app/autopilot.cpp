#include "emulator/app/autopilot.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"

namespace app {

namespace {

// The settings window's controls in focus order.
const std::vector<std::string> kFocusOrder = {
    "tipoRicerca", "freqStart", "freqEnd", "valStepFrequenza", "polarita", "startSymbolRate",
    "endSymbolRate", "valStepSymbolRate", "valRitardoScansione", "valSogliaAggancio",
    "bt_abort", "bt_ok", "bt_showSR", "bt_showCanaliTrovati", "bt_thanks"};

const char* kEndText = "Scansione terminata...have fun!";
const char* kScanTitle = "Scrutafasci at work";
const char* kEndCaption = "Finito";

int focusIndex(const std::string& name) {
  auto it = std::find(kFocusOrder.begin(), kFocusOrder.end(), name);
  return it == kFocusOrder.end() ? -1 : static_cast<int>(it - kFocusOrder.begin());
}

double secondsSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

bool isRefusal(const std::string& caption, const std::string& text) {
  return caption == "Avviso" && text.rfind("Impossibile effettuare la ricerca", 0) == 0;
}

Autopilot::Autopilot(Driver& driver, const ScanOptions& options, AutopilotHooks hooks)
    : d_(driver), o_(options), hooks_(std::move(hooks)) {}

std::vector<std::string> Autopilot::digitKeys(int value, int fields) {
  std::vector<std::string> keys;
  std::string digits = std::to_string(std::max(0, value));
  if (static_cast<int>(digits.size()) < fields) digits.insert(0, static_cast<size_t>(fields) - digits.size(), '0');
  digits = digits.substr(digits.size() - static_cast<size_t>(fields));
  for (char c : digits) keys.push_back(std::string(1, c));
  return keys;
}

void Autopilot::fail(const std::string& why) {
  if (out_.outcome.empty()) out_.outcome = why;
}

ProgressInfo Autopilot::progressNow() const {
  ProgressInfo p;
  p.freqMHz = std::atoi(d_.textOf("lFrequenzaValore").c_str());
  const ScanSettings& s = o_.settings;
  int span = s.toMHz - (s.fromMHz - 1);
  if (p.freqMHz > 0 && span > 0) p.percent = 100 - (s.toMHz - p.freqMHz) * 100 / span;
  p.percent = std::clamp(p.percent, 0, 100);
  p.boxTimeS = hooks_.boxTimeS ? hooks_.boxTimeS() : 0;
  p.wallTimeS = secondsSince(start_);
  p.status = d_.textOf("lStatus");
  if (hooks_.counts) hooks_.counts(p);
  return p;
}

bool Autopilot::waitSettingsWindow() {
  // The window may be preceded by an error box (no current orbital position).
  bool up = d_.waitFor([this] { return d_.visible("tipoRicerca") || emu::currentMessageBox().open; }, 30);
  auto box = emu::currentMessageBox();
  if (box.open) {
    out_.refused = true;
    fail("the plug-in reported \"" + box.text + "\" (" + box.caption + ")");
    out_.answered.push_back(box.caption + ": " + box.text + " -> OK");
    d_.press("ok");
    return false;
  }
  if (!up) fail("the settings window did not appear");
  return up;
}

bool Autopilot::focusTo(const std::string& widget) {
  for (int i = 0; i < 3 * static_cast<int>(kFocusOrder.size()); ++i) {
    std::string f = d_.focusName();
    if (f == widget) return true;
    int have = focusIndex(f), want = focusIndex(widget);
    if (!d_.press(have >= 0 && want >= 0 && want < have ? "up" : "down")) break;
  }
  fail("could not bring the focus to " + widget + " (focus on '" + d_.focusName() + "')");
  return false;
}

bool Autopilot::chooseListKey(const std::string& list, int key) {
  if (!focusTo(list)) return false;
  // Lists hold a handful of entries: walk right, then left, until the key is current.
  for (const char* dir : {"right", "left"})
    for (int i = 0; i < 8; ++i) {
      if (d_.listKeyOf(list) == key) return true;
      if (!d_.press(dir)) break;
    }
  if (d_.listKeyOf(list) == key) return true;
  fail("could not choose entry " + std::to_string(key) + " in " + list);
  return false;
}

bool Autopilot::typeNumber(const std::string& field, int fields, int value) {
  if (!focusTo(field)) return false;
  for (int i = 0; i < fields; ++i) d_.press("left");   // to the first field
  for (const auto& k : digitKeys(value, fields)) d_.press(k);
  if (d_.numberOf(field) == value) return true;
  fail(field + " reads " + std::to_string(d_.numberOf(field)) + " after typing " + std::to_string(value));
  return false;
}

bool Autopilot::enterSettings() {
  const ScanSettings& s = o_.settings;
  if (!chooseListKey("tipoRicerca", static_cast<int>(s.search))) return false;
  struct Field {
    const char* name;
    int fields;
    int value;
  };
  const Field before[] = {{"freqStart", 5, s.fromMHz}, {"freqEnd", 5, s.toMHz}, {"valStepFrequenza", 5, s.stepMHz}};
  const Field after[] = {{"startSymbolRate", 5, s.srFrom}, {"endSymbolRate", 5, s.srTo},
                         {"valStepSymbolRate", 5, s.srStep}, {"valRitardoScansione", 3, s.delay},
                         {"valSogliaAggancio", 2, s.threshold}};
  // Fields the search type hides are chosen by the scan itself.
  for (const Field& f : before)
    if (d_.visible(f.name) && !typeNumber(f.name, f.fields, f.value)) return false;
  if (!chooseListKey("polarita", s.polarisation)) return false;
  for (const Field& f : after)
    if (d_.visible(f.name) && !typeNumber(f.name, f.fields, f.value)) return false;
  return true;
}

bool Autopilot::startScan() {
  if (!focusTo("bt_ok") || !d_.press("ok")) return false;
  bool up = d_.waitFor([this] {
    return d_.topTitle().find(kScanTitle) != std::string::npos || emu::currentMessageBox().open;
  }, 30);
  auto box = emu::currentMessageBox();
  if (box.open && box.caption == kEndCaption) {
    // A short scan may be over before the first look: its closing box is up.
    out_.started = true;
    return true;
  }
  if (box.open && isRefusal(box.caption, box.text)) {
    // The settings window refused the search: nothing was launched.
    out_.refused = true;
    fail("the plug-in refused the scan: \"" + box.text + "\"");
    out_.answered.push_back(box.caption + ": " + box.text + " -> OK");
    d_.press("ok");
    d_.waitFor([] { return !emu::currentMessageBox().open; }, 5);
    return false;
  }
  if (!up) fail("the scan window did not appear");
  out_.started = up;
  return up;
}

bool Autopilot::answerBox(bool stopping) {
  auto box = emu::currentMessageBox();
  if (!box.open) return false;
  bool interruption = box.caption == "Interruzione scansione / skip frequenza";
  bool question = interruption || box.caption == "Frequenze da saltare";
  // Going on is red; only when winding down after the time bound is the scan stopped (green).
  bool stop = stopping && interruption;
  const char* key = stop ? "green" : question ? "red" : "ok";
  // Told as it happens when someone listens; otherwise kept for the closing recap.
  if (hooks_.note)
    hooks_.note("message box \"" + box.caption + "\": " + box.text + " -> " + key);
  else
    out_.answered.push_back(box.caption + ": " + box.text + " -> " + key);
  if (box.text.find("Impossibile avviare") != std::string::npos) {
    out_.refused = true;
    fail("the plug-in could not start the scan: \"" + box.text + "\"");
  }
  std::string text = box.text;
  d_.press(key);
  d_.waitFor([&text] {
    auto b = emu::currentMessageBox();
    return !b.open || b.text != text;
  }, 10);
  return stop;
}

bool Autopilot::closing() {
  if (!out_.closed && hooks_.closeRequested && hooks_.closeRequested()) {
    out_.closed = true;
    if (out_.outcome.empty()) out_.outcome = "the window was closed";
  }
  return out_.closed;
}

void Autopilot::followScan() {
  const double tick = 0.1;
  bool stopping = false;
  double stopSince = 0, lastExit = -1e9;
  for (;;) {
    if (d_.pluginDone()) {
      fail("the plug-in ended during the scan");
      return;
    }
    if (emu::currentMessageBox().open) {
      if (answerBox(stopping) || out_.refused) return;
      continue;
    }
    ProgressInfo p = progressNow();
    if (p.freqMHz > 0) out_.last = p;
    if (hooks_.progress) hooks_.progress(p);
    if (p.status == kEndText || d_.textOnScreen(kEndText)) {
      out_.finished = !stopping;
      return;
    }
    if (d_.topTitle().find(kScanTitle) == std::string::npos &&
        !d_.waitFor([this] {
          // A box that has just been answered may still be on top for a moment.
          return d_.topTitle().find(kScanTitle) != std::string::npos || emu::currentMessageBox().open ||
                 d_.textOnScreen(kEndText);
        }, 2)) {
      fail("the scan window closed before the end of the scan");
      return;
    }
    if (!stopping && hooks_.interrupted && hooks_.interrupted()) {
      // Ctrl-C: the scan is stopped the same way, as the close policy would.
      stopping = true;
      stopSince = p.wallTimeS;
      out_.interrupted = true;
      fail("interrupted");
      if (hooks_.note) hooks_.note("interrupted: closing the scan\u2026 (Ctrl-C again leaves at once)");
    }
    if (!stopping && closing()) {
      // The person walked away: stop the scan as the time bound does, then leave.
      stopping = true;
      stopSince = p.wallTimeS;
      if (hooks_.note) hooks_.note("the window was closed: stopping the scan");
    }
    // A window's pause holds the box still: it is not time the scan took.
    double runningWallS = p.wallTimeS - (emu::box().clock().pausedWallS() - pausedAtStart_);
    if (!stopping && (p.boxTimeS > o_.maxBoxTimeS || runningWallS > o_.maxWallTimeS)) {
      // Out of time: ask the scan to stop as the user would, then wind down.
      stopping = true;
      stopSince = p.wallTimeS;
      out_.timedOut = true;
      char buf[160];
      std::snprintf(buf, sizeof buf, "the scan did not end within %.0f s of box time / %.0f s of wall time",
                    o_.maxBoxTimeS, o_.maxWallTimeS);
      fail(buf);
      if (hooks_.note) hooks_.note(std::string("stopping: ") + buf);
    }
    if (stopping) {
      // A close request during a symbol-rate phase only skips a frequency: repeat it.
      if (p.wallTimeS - lastExit >= 2) {
        lastExit = p.wallTimeS;
        d_.press("exit");
        if (out_.closed && hooks_.windDown) hooks_.windDown();
      }
      if (p.wallTimeS - stopSince > 60) return;
    }
    // The box clock is watched closely (it runs far ahead of the wall clock); the
    // screen only now and then, since the scan shares the toolkit's lock.
    int polls = 0;
    d_.waitFor([&] {
      if (!stopping && hooks_.boxTimeS && hooks_.boxTimeS() > o_.maxBoxTimeS) return true;
      if (!stopping && hooks_.interrupted && hooks_.interrupted()) return true;
      if (!stopping && closing()) return true;
      return ++polls % 20 == 0 && emu::currentMessageBox().open;
    }, tick, 0);
  }
}

void Autopilot::takeScreenshots(bool end) {
  if (o_.screenshots.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(o_.screenshots, ec);
  std::string err;
  auto shot = [&](bool ok, const std::string& what) {
    if (!ok && out_.screenshotError.empty()) out_.screenshotError = what + ": " + err;
  };
  auto dir = std::filesystem::path(o_.screenshots);
  if (!end) {
    shot(d_.screenshot((dir / "settings.png").string(), &err), "settings.png");
  } else {
    shot(d_.screenshot((dir / "scan.png").string(), &err), "scan.png");
    std::string spectrum = (dir / "spectrum.png").string();
    bool whole = false;
    if (hooks_.spectrumBitmap)
      d_.withWidget("grafico", [&](eWidget* g) { whole = hooks_.spectrumBitmap(g, spectrum, &err); });
    // Without the bitmap, the part of the graph on screen.
    if (!whole) shot(d_.widgetShot("grafico", spectrum, &err), "spectrum.png");
  }
}

void Autopilot::closeScanWindow() {
  for (int i = 0; i < 4 && !d_.pluginDone(); ++i) {
    if (emu::currentMessageBox().open) {
      answerBox();
      continue;
    }
    if (d_.topTitle().find(kScanTitle) == std::string::npos) return;
    d_.press("exit");
    d_.waitFor([this] {
      return d_.topTitle().find(kScanTitle) == std::string::npos || emu::currentMessageBox().open;
    }, 10);
  }
}

void Autopilot::leavePlugin() {
  for (int i = 0; i < 6 && !d_.pluginDone(); ++i) {
    if (emu::currentMessageBox().open) answerBox();
    else d_.press("exit");
    d_.waitFor([this] { return d_.pluginDone(); }, 5);
  }
}

AutopilotOutcome Autopilot::run() {
  start_ = std::chrono::steady_clock::now();
  pausedAtStart_ = emu::box().clock().pausedWallS();
  if (!closing() && waitSettingsWindow() && !closing() && enterSettings()) {
    takeScreenshots(false);
    if (hooks_.interrupted && hooks_.interrupted()) {
      out_.interrupted = true;
      fail("interrupted");
    } else if (!closing() && startScan()) {
      followScan();
      if (out_.finished || out_.timedOut) {
        // Let the last repaint land before the pictures are taken.
        d_.sleepMs(50);
        takeScreenshots(true);
      }
      closeScanWindow();
    }
  }
  leavePlugin();
  if (out_.finished && out_.outcome.empty()) out_.outcome = "finished";
  if (!d_.pluginDone() && out_.outcome.empty()) out_.outcome = "the plug-in did not return";
  return out_;
}

}  // namespace app
