#include "support/gui_script.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace testsupport {

namespace {
std::atomic<int> scriptsRunning{0};
}  // namespace

struct GuiScript::Step {
  enum Kind { Key, Probe, Wait } kind;
  int key = -1;
  std::function<void()> fn;
  std::function<bool()> cond;
  std::string what;
  int timeoutMs = 0;
};

GuiScript::~GuiScript() {
  if (running_) ADD_FAILURE() << "a GUI script was destroyed before it ran out";
  delete steps_;
}

GuiScript& GuiScript::key(const std::string& name) {
  int k = emu::keyFromName(name);
  EXPECT_GE(k, 0) << "unknown key " << name;
  if (!steps_) steps_ = new std::vector<Step>;
  if (k >= 0) steps_->push_back({Step::Key, k, {}, {}, name, 0});
  return *this;
}

GuiScript& GuiScript::keys(std::initializer_list<const char*> names) {
  for (const char* n : names) key(n);
  return *this;
}

GuiScript& GuiScript::probe(std::function<void()> fn) {
  if (!steps_) steps_ = new std::vector<Step>;
  steps_->push_back({Step::Probe, -1, std::move(fn), {}, "", 0});
  return *this;
}

GuiScript& GuiScript::waitFor(std::function<bool()> cond, const std::string& what, int timeoutMs) {
  if (!steps_) steps_ = new std::vector<Step>;
  steps_->push_back({Step::Wait, -1, {}, std::move(cond), what, timeoutMs});
  return *this;
}

void GuiScript::start() {
  if (running_ || !steps_ || at_ >= steps_->size()) return;
  running_ = true;
  scriptsRunning++;
  emu::post([this] { next(); });
}

bool GuiScript::finished() const { return !running_; }

// One step per call; the call after it is queued behind whatever the step queued.
void GuiScript::next() {
  if (at_ >= steps_->size()) {
    running_ = false;
    steps_->clear();
    at_ = 0;
    scriptsRunning--;
    return;
  }
  Step& s = (*steps_)[at_];
  switch (s.kind) {
    case Step::Key:
      emu::postKey(s.key);
      at_++;
      break;
    case Step::Probe:
      s.fn();
      at_++;
      break;
    case Step::Wait:
      if (s.cond()) {
        waitedMs_ = 0;
        at_++;
      } else if (waitedMs_ >= s.timeoutMs) {
        ADD_FAILURE() << "gave up waiting for " << s.what;
        waitedMs_ = 0;
        at_++;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        waitedMs_ += 1;
      }
      break;
  }
  emu::post([this] { next(); });
}

namespace {
// Takes every stray key without closing; only the drain ends it.
class Sink : public eWindow {
public:
  Sink() : eWindow(1) {}
  int eventHandler(const eWidgetEvent& e) override {
    if (e.type == eWidgetEvent::wantClose) return 1;
    return eWindow::eventHandler(e);
  }
};

void closeWhenIdle(Sink* sink, int rounds) {
  // Two rounds through the queue after the last script ended: anything it queued is served.
  if (scriptsRunning.load() > 0) rounds = 2;
  if (rounds == 0) {
    sink->close(0);
    return;
  }
  emu::post([sink, rounds] { closeWhenIdle(sink, rounds - 1); });
}
}  // namespace

void drainLoop() {
  Sink sink;
  sink.setText("drain");
  sink.show();
  emu::post([&sink] { closeWhenIdle(&sink, 2); });
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
