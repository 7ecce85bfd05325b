// eMessageBox: a text, an icon and up to four buttons. Yes is the green key, No and Cancel the
// red key, OK the green key (when there is no Yes); exit or the timeout answer -1.
#include <algorithm>
#include <host/gui/ebase.h>
#include <host/gui/ebutton.h>
#include <host/gui/emessage.h>
#include <host/gui/eskin.h>
#include <host/gui/gpainter.h>
#include "emu.h"
#include "internal.h"

namespace {
struct ButtonSpec {
  int code;
  const char* text;
  const char* shortcut;
};
const ButtonSpec buttonSpecs[] = {
    {eMessageBox::btYes, "Sì", "green"},
    {eMessageBox::btNo, "No", "red"},
    {eMessageBox::btOK, "OK", "green"},
    {eMessageBox::btCancel, "Annulla", "red"},
};

std::vector<std::string> splitLines(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t n = s.find('\n', start);
    out.push_back(s.substr(start, n == std::string::npos ? std::string::npos : n - start));
    if (n == std::string::npos) break;
    start = n + 1;
  }
  return out;
}

// Breaks a text into lines of at most maxWidth pixels (estimated).
std::string wrapText(const std::string& s, int maxWidth, int px) {
  std::string out;
  for (const std::string& line : splitLines(s)) {
    std::string cur;
    size_t i = 0;
    while (i <= line.size()) {
      size_t sp = line.find(' ', i);
      std::string word = line.substr(i, sp == std::string::npos ? std::string::npos : sp - i);
      std::string candidate = cur.empty() ? word : cur + " " + word;
      if (!cur.empty() && tk::textWidth(candidate, px) > maxWidth) {
        out += cur + "\n";
        cur = word;
      } else {
        cur = candidate;
      }
      if (sp == std::string::npos) break;
      i = sp + 1;
    }
    out += cur + "\n";
  }
  if (!out.empty()) out.pop_back();
  return out;
}

class IconMark : public eWidget {
public:
  IconMark(eWidget* parent, int kind) : eWidget(parent, 0), kind(kind) {}
  void redrawWidget(gPainter* p, const eRect&) override {
    eSkin* s = eSkin::getActive();
    const char* colour = kind == eMessageBox::iconWarning ? "std_dyellow"
                         : kind == eMessageBox::iconError ? "std_red"
                         : kind == eMessageBox::iconQuestion ? "std_green"
                                                             : "std_blue";
    p->setForegroundColor(s->queryColor(colour));
    p->fill(eRect(0, 0, getSize().width(), getSize().height()));
    p->setForegroundColor(s->queryColor("std_white"));
    p->setBackgroundColor(s->queryColor(colour));
    const char* mark = kind == eMessageBox::iconWarning ? "!"
                       : kind == eMessageBox::iconError ? "X"
                       : kind == eMessageBox::iconQuestion ? "?"
                                                           : "i";
    p->setFont(gFont("Bold", getSize().height() * 2 / 3));
    p->renderText(eRect(0, 0, getSize().width(), getSize().height()), mark,
                  gPainter::RT_HALIGN_CENTER | gPainter::RT_VALIGN_CENTER);
  }
  int kind;
};
}  // namespace

eMessageBox::eMessageBox(eString amessage, eString caption, int aflags, int def, int timeout)
    : eWindow(1), message(std::move(amessage)), flags(aflags) {
  setText(caption);
  setName("eMessageBox");
  const int px = 20;
  setFont(gFont("Regular", px));
  int icon = flags & (iconInfo | iconWarning | iconQuestion | iconError);
  // iconInfo shares its bit with btMax: boxes never have a fifth button.
  int iconKind = icon & iconError ? iconError : icon & iconQuestion ? iconQuestion : icon & iconWarning ? iconWarning
                 : icon & iconInfo ? iconInfo : 0;
  std::string wrapped = wrapText(message, 480, px);
  auto lines = splitLines(wrapped);
  int textW = 0;
  for (auto& l : lines) textW = std::max(textW, tk::textWidth(l, px));
  int lineH = px + 6;
  int textH = std::max(1, int(lines.size())) * lineH;
  int iconW = iconKind ? 40 : 0;

  std::vector<const ButtonSpec*> shown;
  bool hasYes = flags & btYes;
  for (const auto& b : buttonSpecs)
    if (flags & b.code) shown.push_back(&b);
  if (shown.empty()) shown.push_back(&buttonSpecs[2]);   // a box always has a way out
  const int bw = 110, bh = 34, gap = 10;
  int buttonsW = int(shown.size()) * bw + (int(shown.size()) - 1) * gap;

  int cw = std::max({textW + iconW + 30, buttonsW + 20, tk::textWidth(caption, 24) + 30, 200});
  cw = std::min(cw, emu::screenWidth - 40);
  int ch = std::max(textH, iconW) + 20 + bh + 20;
  cresize(eSize(cw, ch));
  eSize whole = getSize();
  move(ePoint((emu::screenWidth - whole.width()) / 2, (emu::screenHeight - whole.height()) / 2));

  if (iconKind) {
    auto* ic = new IconMark(this, iconKind);
    ic->move(ePoint(10, 10));
    ic->resize(eSize(32, 32));
  }
  textLabel = new eLabel(this, 0, 0, "eLabel");
  textLabel->setName("text");
  textLabel->move(ePoint(10 + iconW, 10));
  textLabel->resize(eSize(cw - 20 - iconW, std::max(textH, iconW)));
  textLabel->setFlags(eLabel::flagVCenter);
  textLabel->setText(wrapped);

  int x = (cw - buttonsW) / 2;
  eButton* focusFirst = nullptr;
  for (const ButtonSpec* b : shown) {
    auto* bt = new eButton(this, nullptr, 1, "eButton");
    bt->setName(b->code == btYes ? "yes" : b->code == btNo ? "no" : b->code == btOK ? "ok" : "cancel");
    bt->setText(b->text);
    // OK answers to the green key only when no Yes button claims it.
    if (!(b->code == btOK && hasYes)) {
      bt->setShortcut(b->shortcut);
      bt->setShortcutPixmap(b->shortcut);
    }
    bt->move(ePoint(x, ch - bh - 15));
    bt->resize(eSize(bw, bh));
    int code = b->code;
    bt->selected.connect([this, code] { pressed(code); });
    if (b->code == def || !focusFirst) focusFirst = bt;
    x += bw + gap;
  }
  // The default button is focused first; without one, the first button.
  if (focusFirst) setFocus(focusFirst);

  if (timeout > 0) {
    timer = new eTimer(eApp);
    timer->timeout.connect([this] { timedOut(); });
    timeoutMs = timeout;
  }
}

eMessageBox::~eMessageBox() { delete timer; }

int eMessageBox::eventHandler(const eWidgetEvent& e) {
  if (timer) {
    if (e.type == eWidgetEvent::willShow) timer->start(timeoutMs, true);
    if (e.type == eWidgetEvent::willHide) timer->stop();
  }
  return eWindow::eventHandler(e);
}

void eMessageBox::pressed(int code) { close(code); }

void eMessageBox::timedOut() {
  // The box may be shown a moment before its modal run starts: look again shortly.
  if (isInExec())
    close(-1);
  else if (isVisible())
    timer->start(20, true);
}
