// scrutafasci-emu run: the plug-in driven by a key script or from the terminal.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <unistd.h>

#include <host/gui/eerror.h>

#include "emulator/app/commands.h"
#include "emulator/app/interrupts.h"
#include "emulator/app/key_script.h"
#include "emulator/app/session.h"
#include "emulator/app/terminal_front.h"
#include "emulator/app/window_link.h"
#include "emulator/toolkit/emu.h"
#include "emulator/tuner/box.h"

namespace app {

namespace {

struct ScriptState {
  int status = kExitOk;
  bool shotTaken = false;
};

void shoot(Driver& d, const std::string& file, ScriptState& st) {
  std::string err;
  if (!d.screenshot(file, &err)) {
    std::fprintf(stderr, "scrutafasci-emu: screenshot %s failed: %s\n", file.c_str(), err.c_str());
    st.status = kExitFailure;
  }
}

void runScript(Driver& d, const std::vector<ScriptStep>& steps, const RunOptions& o, ScriptState& st) {
  for (const ScriptStep& s : steps) {
    if (d.pluginDone()) {
      std::fprintf(stderr, "scrutafasci-emu: the plug-in returned before the end of the key script\n");
      return;
    }
    switch (s.kind) {
      case ScriptStep::Key:
        if (!d.press(s.key) && !d.pluginDone()) {
          std::fprintf(stderr, "scrutafasci-emu: key %s was not handled in time\n", s.name.c_str());
          st.status = kExitTimeout;
          return;
        }
        break;
      case ScriptStep::Wait:
        d.sleepMs(s.waitMs);
        break;
      case ScriptStep::Until: {
        double bound = s.boundS > 0 ? s.boundS : o.untilBoundS;
        if (!d.waitFor([&] { return d.textOnScreen(s.name); }, bound)) {
          std::fprintf(stderr, "scrutafasci-emu: \"%s\" did not appear on screen within %.0f s\n", s.name.c_str(), bound);
          st.status = kExitTimeout;
          return;
        }
        break;
      }
      case ScriptStep::Shot:
        shoot(d, s.name.empty() ? o.screenshot : s.name, st);
        if (s.name.empty()) st.shotTaken = true;
        break;
    }
  }
}

// Leaves the plug-in the way a user would: exit, and OK on any box in the way.
// afterFirstPress runs once the plug-in has been asked to leave.
void leave(Driver& d, const std::function<void()>& afterFirstPress) {
  if (d.waitFor([&] { return d.pluginDone(); }, 1)) return;
  for (int i = 0; i < 10 && !d.pluginDone(); ++i) {
    d.press(emu::currentMessageBox().open ? "ok" : "exit");
    if (i == 0 && afterFirstPress) afterFirstPress();
    d.waitFor([&] { return d.pluginDone(); }, 2);
  }
}

}  // namespace

int runCommand(const RunOptions& o) {
  if (int status = checkDisplay(o.window)) return status;
  std::vector<ScriptStep> steps;
  // In a window the keys come from the window (after a --keys script, if one is given).
  bool interactive = !o.window.on && !o.keysGiven && isatty(0);
  try {
    if (o.keysGiven) {
      steps = parseKeyScript(o.keys);
    } else if (!interactive && !o.window.on) {
      std::string script((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
      steps = parseKeyScript(script);
    }
  } catch (const KeyScriptError& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return kExitUsage;
  }
  for (const auto& s : steps)
    if (s.kind == ScriptStep::Shot && s.name.empty() && o.screenshot.empty()) {
      std::fprintf(stderr, "scrutafasci-emu: the key script has a bare 'shot' but no --screenshot FILE was given\n");
      return kExitUsage;
    }

  try {
    Session session(o.box);
    session.logTo(session.setup().root + "/scrutafasci-emu.log");
    for (const auto& n : emu::box().scenario().notes) eDebug("scenario: %s", n.c_str());
    ScriptState st;
    TerminalFrontOptions terminal;
    // Numbered screenshots go next to --screenshot's file, else into the box root.
    terminal.shotFolder = o.screenshot.empty() ? session.setup().root
                                            : std::filesystem::path(o.screenshot).parent_path().string();
    if (terminal.shotFolder.empty()) terminal.shotFolder = ".";
    if (interactive) catchInterrupts("");
    std::unique_ptr<win::WindowFront> front;
    if (o.window.on) {
      std::string dir = o.screenshot.empty() ? "." : std::filesystem::path(o.screenshot).parent_path().string();
      front = openWindow(o.window, dir);
      if (!front) return kExitUsage;
    }
    session.run(
        [&](Driver& d) {
          if (!d.waitFor([] { return emu::topWindow() != nullptr; }, 30))
            std::fprintf(stderr, "scrutafasci-emu: the plug-in showed no window within 30 s\n");
          if (interactive) {
            if (!runTerminalFront(d, terminal)) st.status = kExitFailure;
          }
          else runScript(d, steps, o, st);
          // Until the plug-in returns by itself or the window is closed.
          if (front) d.waitFor([&] { return front->closeRequested(); }, 1e9, 10);
          if (!o.screenshot.empty() && !st.shotTaken) {
            if (d.pluginDone()) {
              std::fprintf(stderr, "scrutafasci-emu: the plug-in had already returned: no screenshot %s "
                                   "(put a bare 'shot' into the key script)\n", o.screenshot.c_str());
              st.status = kExitFailure;
            } else {
              shoot(d, o.screenshot, st);
            }
          }
          leave(d, [&] {
            if (front && front->closeRequested()) front->windDown();
          });
        },
        15, nullptr);
    if (front) {
      bool closed = front->closeRequested();
      front->stop();
      if (closed) tellReceiver();
    }
    return st.status;
  } catch (const SetupError& e) {
    std::fprintf(stderr, "scrutafasci-emu: %s\n", e.what());
    return e.status;
  }
}

}  // namespace app
