// Remote-control keys, probes and waits for the GUI loop, run one after another by
// whichever modal loop is innermost: keys go to the topmost window when served.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <host/gui/gui.h>

namespace testsupport {

class GuiScript {
public:
  ~GuiScript();
  GuiScript& key(const std::string& name);                  // fails the test for an unknown name
  GuiScript& keys(std::initializer_list<const char*> names);
  GuiScript& probe(std::function<void()> fn);               // runs on the loop, between keys
  // Holds the following steps until cond (checked on the loop) is true; after timeoutMs of
  // wall-clock time the test fails and the script goes on.
  GuiScript& waitFor(std::function<bool()> cond, const std::string& what, int timeoutMs = 10000);

  // Queues the first step; the steps added so far then run in order. Call before the modal run.
  void start();
  bool finished() const;

private:
  struct Step;
  void next();
  std::vector<Step>* steps_ = nullptr;
  size_t at_ = 0;
  bool running_ = false;
  long waitedMs_ = 0;
};

// Serves the loop under a window of its own until every started script has run out and
// nothing is queued, so that no key or probe reaches a later test.
void drainLoop();

// The widget of the topmost window with this name and type; 0 when none.
template <class T>
T* topWidget(const char* name);

// The name of the focused widget of the topmost window ("" when none).
std::string focusedName();
// The text of the current entry of a list of the topmost window ("" when none).
std::string currentEntryText(const char* listName);
// The key of the current entry of a list of the topmost window (-1 when none).
int currentEntryKey(const char* listName);

}  // namespace testsupport

#include "emulator/toolkit/emu.h"

namespace testsupport {
template <class T>
T* topWidget(const char* name) {
  eWidget* top = emu::topWindow();
  return top ? dynamic_cast<T*>(emu::findWidget(name, top)) : nullptr;
}
}  // namespace testsupport
