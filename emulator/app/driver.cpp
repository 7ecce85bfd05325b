#include "emulator/app/driver.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include <host/gui/enumber.h>
#include <host/gui/listbox.h>

#include "emulator/app/key_script.h"
#include "emulator/toolkit/emu.h"
#include "emulator/toolkit/screen.h"

namespace app {

using Clock = std::chrono::steady_clock;

bool Driver::waitFor(const std::function<bool()>& cond, double boundS, int pollMs) {
  auto end = Clock::now() + std::chrono::microseconds(static_cast<long long>(boundS * 1e6));
  for (;;) {
    if (cond()) return true;
    if (done_.load()) return cond();
    if (Clock::now() >= end) return false;
    if (pollMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    else std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

bool Driver::press(int key, double boundS) {
  if (done_.load() || !emu::postKey(key)) return false;
  // Calls and keys share one queue: once this marker has run, the key was handled.
  auto handled = std::make_shared<std::atomic<bool>>(false);
  emu::post([handled] { handled->store(true); });
  return waitFor([handled] { return handled->load(); }, boundS);
}

bool Driver::press(const std::string& name, double boundS) {
  int k = keyCode(name);
  return k >= 0 && press(k, boundS);
}

void Driver::sleepMs(int ms) {
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (!done_.load() && Clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

bool Driver::textOnScreen(const std::string& part) const { return emu::textVisibleContaining(part); }

std::string Driver::topTitle() const { return emu::topWindowTitle(); }

void Driver::withWidget(const std::string& name, const std::function<void(eWidget*)>& fn) const {
  std::lock_guard<std::recursive_mutex> l(emu::treeLock());
  fn(emu::findWidget(name));
}

std::string Driver::focusName() const {
  std::lock_guard<std::recursive_mutex> l(emu::treeLock());
  eWidget* w = emu::topWindow();
  eWidget* f = w ? w->getFocus() : nullptr;
  return f ? std::string(f->getName()) : std::string();
}

bool Driver::visible(const std::string& widget) const {
  bool v = false;
  withWidget(widget, [&v](eWidget* w) { v = w && w->isVisible(); });
  return v;
}

std::string Driver::textOf(const std::string& widget) const {
  std::string t;
  withWidget(widget, [&t](eWidget* w) {
    if (w) t = w->getText();
  });
  return t;
}

int Driver::numberOf(const std::string& widget) const {
  int n = -1;
  withWidget(widget, [&n](eWidget* w) {
    if (auto* num = dynamic_cast<eNumber*>(w)) n = num->getNumber();
  });
  return n;
}

int Driver::listKeyOf(const std::string& widget) const {
  int k = -1;
  withWidget(widget, [&k](eWidget* w) {
    // Through the host's own classes: the list template is instantiated in the plug-in.
    auto* lb = dynamic_cast<eListBoxBase*>(w);
    if (!lb) return;
    if (auto* e = dynamic_cast<eListBoxEntryText*>(lb->getCurrentEntry()))
      k = static_cast<int>(reinterpret_cast<intptr_t>(e->getKey()));
  });
  return k;
}

bool Driver::screenshot(const std::string& path, std::string* error) const {
  return emu::writeScreenshot(path, error);
}

bool Driver::widgetShot(const std::string& widget, const std::string& path, std::string* error) const {
  eRect area;
  bool found = false;
  withWidget(widget, [&](eWidget* w) {
    if (!w || !w->isVisible()) return;
    found = true;
    area = eRect(w->getAbsolutePosition(), w->getSize());
  });
  if (!found) {
    if (error) *error = "no widget " + widget + " on screen";
    return false;
  }
  return emu::writeScreenAreaShot(area, path, error);
}

}  // namespace app
