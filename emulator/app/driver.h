// Drives the box's screen from outside the GUI loop, as a person with a remote
// control would: presses keys, waits for texts and windows, takes screenshots.
// Every wait is bounded and gives up as soon as the plug-in has returned.
#pragma once
#include <atomic>
#include <functional>
#include <string>

class eWidget;

namespace app {

class Driver {
public:
  explicit Driver(const std::atomic<bool>& pluginDone) : done_(pluginDone) {}

  bool pluginDone() const { return done_.load(); }
  // Posts the key and waits (up to boundS of wall time) until the loop has
  // handled it. False when it was not handled in time or the plug-in is gone.
  bool press(int key, double boundS = 10);
  bool press(const std::string& name, double boundS = 10);
  // Polls cond every pollMs milliseconds (0: every 0.2 ms); false on timeout or
  // when the plug-in is gone (cond is still checked once more then).
  bool waitFor(const std::function<bool()>& cond, double boundS, int pollMs = 1);
  void sleepMs(int ms);

  // What is on screen, read under the toolkit's lock.
  bool textOnScreen(const std::string& part) const;
  std::string topTitle() const;
  std::string focusName() const;                       // the focused widget of the top window
  bool visible(const std::string& widget) const;
  std::string textOf(const std::string& widget) const;
  int numberOf(const std::string& widget) const;       // an eNumber's value, -1 when none
  int listKeyOf(const std::string& widget) const;      // a list's current key, -1 when none
  // Runs fn with the widget (0 when missing) holding the toolkit's lock.
  void withWidget(const std::string& name, const std::function<void(eWidget*)>& fn) const;

  bool screenshot(const std::string& path, std::string* error = nullptr) const;
  bool widgetShot(const std::string& widget, const std::string& path, std::string* error = nullptr) const;

private:
  const std::atomic<bool>& done_;
};

}  // namespace app
