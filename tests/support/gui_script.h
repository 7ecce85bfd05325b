// Remote-control keys and probes queued on the GUI loop before a modal run starts:
// whichever loop runs serves them in order, keys going to the topmost window.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>

#include <host/gui/gui.h>

namespace testsupport {

class GuiScript {
public:
  GuiScript& key(const std::string& name);                  // fails the test for an unknown name
  GuiScript& keys(std::initializer_list<const char*> names);
  GuiScript& probe(std::function<void()> fn);               // runs on the loop, between keys
};

// Serves whatever is still queued under a window of its own and closes it, so that no key
// or probe reaches a later test. Keys meant for windows that are gone land there.
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
