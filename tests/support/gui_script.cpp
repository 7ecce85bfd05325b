#include "support/gui_script.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace testsupport {

GuiScript& GuiScript::key(const std::string& name) {
  EXPECT_TRUE(emu::postKey(name)) << "unknown key " << name;
  return *this;
}

GuiScript& GuiScript::keys(std::initializer_list<const char*> names) {
  for (const char* n : names) key(n);
  return *this;
}

GuiScript& GuiScript::probe(std::function<void()> fn) {
  emu::post(std::move(fn));
  return *this;
}

namespace {
// Takes every stray key without closing; only the posted close ends it.
class Sink : public eWindow {
public:
  Sink() : eWindow(1) {}
  int eventHandler(const eWidgetEvent& e) override {
    if (e.type == eWidgetEvent::wantClose) return 1;
    return eWindow::eventHandler(e);
  }
};
}  // namespace

void drainLoop() {
  Sink sink;
  sink.setText("drain");
  sink.show();
  emu::post([&sink] { sink.close(0); });
  sink.exec();
  sink.hide();
}

std::string focusedName() {
  eWidget* top = emu::topWindow();
  eWidget* f = top ? top->getFocus() : nullptr;
  return f ? f->getName() : "";
}

std::string currentEntryText(const char* listName) {
  auto* l = topWidget<eListBox<eListBoxEntryText>>(listName);
  eListBoxEntryText* e = l ? l->getCurrent() : nullptr;
  return e ? e->getText() : "";
}

int currentEntryKey(const char* listName) {
  auto* l = topWidget<eListBox<eListBoxEntryText>>(listName);
  eListBoxEntryText* e = l ? l->getCurrent() : nullptr;
  return e ? static_cast<int>(reinterpret_cast<intptr_t>(e->getKey())) : -1;
}

}  // namespace testsupport
