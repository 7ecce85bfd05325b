#include "emulator/app/key_script.h"

#include <cctype>
#include <cstdlib>
#include <host/gui/ewidget.h>

namespace app {

const std::vector<std::string>& keyNames() {
  static const std::vector<std::string> names = {
      "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "up", "down", "left", "right",
      "ok", "exit", "red", "green", "yellow", "blue", "menu"};
  return names;
}

int keyCode(const std::string& name) {
  static_assert(keyUp == 10 && keyMenu == 20, "key names follow the eRCKey codes");
  const auto& names = keyNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

namespace {

std::string keyList() {
  std::string s;
  for (const auto& n : keyNames()) s += (s.empty() ? "" : " ") + n;
  return s;
}

bool allDigits(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// Splits on blanks; a double or single quote keeps blanks inside one word.
std::vector<std::string> words(const std::string& script) {
  std::vector<std::string> out;
  std::string cur;
  bool inWord = false;
  char quote = 0;
  for (char c : script) {
    if (quote) {
      cur += c;
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      cur += c;
      quote = c;
      inWord = true;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      if (inWord) out.push_back(cur);
      cur.clear();
      inWord = false;
    } else {
      cur += c;
      inWord = true;
    }
  }
  if (quote) throw KeyScriptError("key script: unclosed quote in '" + cur + "'");
  if (inWord) out.push_back(cur);
  return out;
}

ScriptStep parseUntil(const std::string& word, const std::string& arg) {
  ScriptStep s;
  s.kind = ScriptStep::Until;
  if (!arg.empty() && (arg[0] == '"' || arg[0] == '\'')) {
    auto close = arg.find(arg[0], 1);
    s.name = arg.substr(1, close - 1);
    std::string rest = arg.substr(close + 1);
    if (!rest.empty()) {
      char* end = nullptr;
      double b = rest[0] == ':' ? std::strtod(rest.c_str() + 1, &end) : 0;
      if (rest[0] != ':' || rest.size() < 2 || *end != '\0' || !(b > 0))
        throw KeyScriptError("key script: '" + word + "': after the quoted text only :SECONDS may follow");
      s.boundS = b;
    }
  } else {
    s.name = arg;
  }
  if (s.name.empty()) throw KeyScriptError("key script: '" + word + "' waits for no text");
  return s;
}

}  // namespace

std::vector<ScriptStep> parseKeyScript(const std::string& script) {
  std::vector<ScriptStep> steps;
  for (const std::string& w : words(script)) {
    auto colon = w.find(':');
    std::string head = colon == std::string::npos ? w : w.substr(0, colon);
    std::string arg = colon == std::string::npos ? "" : w.substr(colon + 1);
    if (colon != std::string::npos && head == "wait") {
      if (!allDigits(arg)) throw KeyScriptError("key script: '" + w + "' needs milliseconds, e.g. wait:500");
      ScriptStep s;
      s.kind = ScriptStep::Wait;
      s.waitMs = std::atoi(arg.c_str());
      steps.push_back(s);
    } else if (colon != std::string::npos && head == "until") {
      steps.push_back(parseUntil(w, arg));
    } else if (colon != std::string::npos && head == "shot") {
      if (arg.size() >= 2 && (arg[0] == '"' || arg[0] == '\'') && arg.back() == arg[0])
        arg = arg.substr(1, arg.size() - 2);
      if (arg.empty()) throw KeyScriptError("key script: '" + w + "' needs a file, e.g. shot:screen.png");
      ScriptStep s;
      s.kind = ScriptStep::Shot;
      s.name = arg;
      steps.push_back(s);
    } else if (w == "shot") {
      ScriptStep s;   // the --screenshot file
      s.kind = ScriptStep::Shot;
      steps.push_back(s);
    } else if (colon != std::string::npos) {
      throw KeyScriptError("key script: unknown mark '" + w + "'; marks are wait:MS, until:\"TEXT\" and shot:FILE");
    } else {
      std::string name = w;
      int repeat = 1;
      auto star = w.find('*');
      if (star != std::string::npos) {
        name = w.substr(0, star);
        std::string n = w.substr(star + 1);
        if (!allDigits(n) || std::atoi(n.c_str()) < 1 || std::atoi(n.c_str()) > 1000)
          throw KeyScriptError("key script: '" + w + "': a repeat is KEY*N with N from 1 to 1000");
        repeat = std::atoi(n.c_str());
      }
      int code = keyCode(name);
      if (code < 0)
        throw KeyScriptError("key script: unknown key '" + name + "'; keys are: " + keyList());
      for (int i = 0; i < repeat; ++i) {
        ScriptStep s;
        s.kind = ScriptStep::Key;
        s.key = code;
        s.name = name;
        steps.push_back(s);
      }
    }
  }
  return steps;
}

}  // namespace app
