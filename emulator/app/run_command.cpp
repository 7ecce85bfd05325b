// scrutafasci-emu run: the plug-in driven by a key script or from the terminal.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "emulator/app/commands.h"
#include "emulator/app/key_script.h"
#include "emulator/app/session.h"
#include "emulator/app/window_link.h"
#include "emulator/toolkit/emu.h"

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

// Raw terminal input for the duration of an interactive run.
class RawTerminal {
public:
  RawTerminal() {
    if (tcgetattr(0, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    ok_ = tcsetattr(0, TCSANOW, &raw) == 0;
  }
  ~RawTerminal() {
    if (ok_) tcsetattr(0, TCSANOW, &saved_);
  }
  int get(int timeoutMs) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return -1;
    unsigned char c;
    return ::read(0, &c, 1) == 1 ? c : -2;
  }
private:
  termios saved_{};
  bool ok_ = false;
};

void describeScreen(Driver& d) {
  auto box = emu::currentMessageBox();
  if (box.open)
    std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
  else {
    std::string f = d.focusName(), value;
    if (int n = d.numberOf(f); n >= 0) value = " = " + std::to_string(n);
    else if (int k = d.listKeyOf(f); k >= 0) value = ", entry " + std::to_string(k);
    std::fprintf(stderr, "[%s] focus: %s%s\n", d.topTitle().c_str(), f.c_str(), value.c_str());
  }
}

void runTerminal(Driver& d, const RunOptions& o, ScriptState& st) {
  RawTerminal term;
  std::fprintf(stderr, "keys: 0-9, arrows, Enter=ok, Esc/Backspace=exit, r g y b, m=menu, s=screenshot, q=leave\n");
  describeScreen(d);
  while (!d.pluginDone()) {
    int c = term.get(100);
    if (c == -2) return;   // end of input
    if (c < 0) continue;
    std::string key;
    if (c >= '0' && c <= '9') key = std::string(1, static_cast<char>(c));
    else if (c == '\r' || c == '\n') key = "ok";
    else if (c == 127 || c == 8) key = "exit";
    else if (c == 'r') key = "red";
    else if (c == 'g') key = "green";
    else if (c == 'y') key = "yellow";
    else if (c == 'b') key = "blue";
    else if (c == 'm') key = "menu";
    else if (c == 'q') return;
    else if (c == 's') {
      if (o.screenshot.empty()) std::fprintf(stderr, "no --screenshot FILE given\n");
      else { shoot(d, o.screenshot, st); st.shotTaken = true; }
      continue;
    } else if (c == 27) {
      int c2 = term.get(30);
      if (c2 == '[') {
        int c3 = term.get(30);
        key = c3 == 'A' ? "up" : c3 == 'B' ? "down" : c3 == 'C' ? "right" : c3 == 'D' ? "left" : "";
      } else {
        key = "exit";
      }
    }
    if (key.empty()) continue;
    d.press(key);
    describeScreen(d);
  }
}

// Leaves the plug-in the way a user would: exit, and OK on any box in the way.
void leave(Driver& d) {
  if (d.waitFor([&] { return d.pluginDone(); }, 1)) return;
  for (int i = 0; i < 10 && !d.pluginDone(); ++i) {
    d.press(emu::currentMessageBox().open ? "ok" : "exit");
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
    ScriptState st;
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
          if (interactive) runTerminal(d, o, st);
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
          leave(d);
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
