#include "emulator/app/screen_view.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include <host/gui/ebutton.h>
#include <host/gui/elabel.h>
#include <host/gui/emessage.h>
#include <host/gui/enumber.h>
#include <host/gui/listbox.h>

#include "emulator/app/summary.h"
#include "emulator/toolkit/emu.h"

namespace app {

namespace {

struct Item {
  int x = 0, y = 0, h = 0;
  std::string text;
  bool focused = false;
  bool label = false;       // a caption, not a control
  std::string value;        // what the focus line says, when not the text itself
};

std::string oneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return terminalText(s);
}

std::string numberText(const eWidget* w, bool focused) {
  auto* n = dynamic_cast<const eNumber*>(w);
  std::vector<std::string> fields = emu::numberFieldTexts(w);
  bool digits = !fields.empty() && fields[0].size() == 1;
  std::string s;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i && !digits) s += ".";
    // The cursor: the field the next digit goes into.
    if (focused && n && static_cast<int>(i) == n->getActive()) s += "[" + fields[i] + "]";
    else s += fields[i];
  }
  return s;
}

// Collects the visible controls and captions below w (absolute positions).
void collect(eWidget* w, eWidget* focus, std::vector<Item>& items, std::vector<std::vector<Item>>& lists) {
  for (eWidget* c : w->getChildren()) {
    if (!(c->getState() & 1)) continue;
    ePoint p = c->getAbsolutePosition();
    Item it;
    it.x = p.x();
    it.y = p.y();
    it.h = c->getSize().height();
    it.focused = c == focus;
    if (auto* lb = dynamic_cast<eListBoxBase*>(c)) {
      int current = -1;
      std::vector<std::string> rows = emu::listEntriesInView(lb, &current);
      int entryH = eListBoxEntryText::getEntryHeight();
      if (rows.size() > 1 || (entryH > 0 && lb->getClientSize().height() >= 2 * entryH)) {
        // A list window: one row per entry in view, the current one marked.
        std::vector<Item> block;
        for (size_t i = 0; i < rows.size(); ++i) {
          Item e = it;
          e.y = it.y + static_cast<int>(i);
          bool cur = static_cast<int>(i) == current;
          // The focused row is marked by the frame; a current entry out of focus by "*".
          e.text = std::string(cur && !it.focused ? "* " : "  ") + oneLine(rows[i]);
          e.value = oneLine(rows[i]);
          e.focused = cur && it.focused;
          block.push_back(e);
        }
        if (rows.empty()) {
          Item e = it;
          e.text = "  (no entries)";
          e.focused = false;
          block.push_back(e);
        }
        lists.push_back(block);
        continue;
      }
      std::string entry = rows.empty() ? "" : oneLine(rows[0]);
      it.text = it.focused ? "< " + entry + " >" : entry;
    } else if (dynamic_cast<eNumber*>(c)) {
      it.text = numberText(c, it.focused);
    } else if (dynamic_cast<eButton*>(c)) {
      it.text = it.focused ? "<" + std::string(c->getText()) + ">" : "[" + std::string(c->getText()) + "]";
    } else if (dynamic_cast<eLabel*>(c)) {
      if (c->getText().empty()) continue;
      it.text = oneLine(c->getText());
      it.label = true;
    } else {
      collect(c, focus, items, lists);
      continue;
    }
    items.push_back(it);
  }
}

// Groups items into screen rows: an item joins a row when its middle lies within the row's height.
std::vector<std::vector<Item>> intoRows(std::vector<Item> items) {
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.y < b.y; });
  std::vector<std::vector<Item>> rows;
  for (const Item& it : items) {
    int mid = it.y + it.h / 2;
    if (!rows.empty()) {
      const Item& head = rows.back().front();
      if (mid >= head.y && mid < head.y + std::max(1, head.h)) {
        rows.back().push_back(it);
        continue;
      }
    }
    rows.push_back({it});
  }
  for (auto& r : rows)
    std::stable_sort(r.begin(), r.end(), [](const Item& a, const Item& b) { return a.x < b.x; });
  return rows;
}

void readMessageBox(const emu::MessageBoxInfo& box, eWidget* top, ScreenView& v) {
  v.messageBox = true;
  v.title = box.caption;
  std::string text = box.text, line;
  for (char c : text) {
    if (c == '\n') {
      v.rows.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) v.rows.push_back(line);
  eWidget* f = top ? top->getFocus() : nullptr;
  std::string buttons;
  std::string focused;
  if (top)
    for (eWidget* c : top->getChildren()) {
      if (!dynamic_cast<eButton*>(c) || !(c->getState() & 1)) continue;
      std::string t = c->getText();
      if (!buttons.empty()) buttons += "  ";
      buttons += c == f ? "<" + t + ">" : "[" + t + "]";
      if (c == f) focused = t;
    }
  if (!focused.empty()) {
    v.focus = "button " + focused;
    v.focusRow = static_cast<int>(v.rows.size());
  }
  if (!buttons.empty()) v.rows.push_back(buttons);
}

}  // namespace

int scanPercent(const std::string& rangeText, const std::string& freqText) {
  int from = 0, to = 0, f = 0;
  auto colon = rangeText.find(':');
  if (colon == std::string::npos || std::sscanf(rangeText.c_str() + colon + 1, " %d - %d", &from, &to) != 2)
    return -1;
  if (std::sscanf(freqText.c_str(), "%d", &f) != 1 || f <= 0) return -1;
  int span = to - (from - 1);
  if (span <= 0) return -1;
  return std::clamp(100 - (to - f) * 100 / span, 0, 100);
}

ScreenView readScreen() {
  std::lock_guard<std::recursive_mutex> l(emu::treeLock());
  ScreenView v;
  eWidget* top = emu::topWindow();
  if (!top) return v;
  if (auto* mb = dynamic_cast<eMessageBox*>(top)) {
    (void)mb;
    readMessageBox(emu::currentMessageBox(), top, v);
    return v;
  }
  v.title = oneLine(top->getText());
  eWidget* focus = top->getFocus();
  std::vector<Item> items;
  std::vector<std::vector<Item>> lists;
  collect(top, focus, items, lists);
  // A list window's entries stand where the list is: ordered by its top edge.
  std::vector<std::vector<Item>> rows = intoRows(items);
  for (auto& block : lists)
    for (const Item& e : block) rows.push_back({e});
  std::stable_sort(rows.begin(), rows.end(),
                   [](const std::vector<Item>& a, const std::vector<Item>& b) { return a.front().y < b.front().y; });
  // Captions padded to one column, so the values line up as on screen.
  size_t captionWidth = 0;
  for (const auto& r : rows)
    if (r.size() > 1 && r.front().label && !r[1].label)
      captionWidth = std::max(captionWidth, textWidth(r.front().text));
  for (const auto& r : rows) {
    std::string line;
    if (r.size() > 1 && r.front().label && !r[1].label) {
      line = r.front().text + std::string(captionWidth - std::min(captionWidth, textWidth(r.front().text)), ' ');
    }
    bool hasFocus = false;
    std::string label, value;
    bool first = true;
    for (const Item& it : r) {
      if (first && !line.empty()) {
        first = false;
        label = it.text;
        continue;
      }
      first = false;
      if (!line.empty()) line += "  ";
      line += it.text;
      if (it.focused) {
        hasFocus = true;
        value = it.value.empty() ? it.text : it.value;
      } else if (it.label && !hasFocus) {
        label += (label.empty() ? "" : " ") + it.text;
      }
    }
    if (hasFocus) {
      v.focus = label.empty() ? value : label + ": " + value;
      v.focusRow = static_cast<int>(v.rows.size());
    }
    v.rows.push_back(line);
  }
  if (eWidget* range = emu::findWidget("lb_range", top))
    if (eWidget* freq = emu::findWidget("lFrequenzaValore", top))
      v.progressPercent = scanPercent(range->getText(), freq->getText());
  return v;
}

std::vector<std::string> screenLines(const ScreenView& v) {
  std::vector<std::string> out;
  if (v.title.empty() && v.rows.empty()) return {"(no window on screen)"};
  out.push_back((v.messageBox ? "message box: " : "window: ") + v.title);
  for (size_t i = 0; i < v.rows.size(); ++i)
    out.push_back((static_cast<int>(i) == v.focusRow ? "> " : "  ") + v.rows[i]);
  if (v.progressPercent >= 0) out.push_back("progress: " + std::to_string(v.progressPercent) + " %");
  if (!v.focus.empty()) out.push_back("focus: " + v.focus);
  return out;
}

}  // namespace app
