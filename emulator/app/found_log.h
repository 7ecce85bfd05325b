// The plug-in's found-channel log, read back: one service a line,
// "[" N|O [T|R|D] "] " name " | " provider.
#pragma once
#include <string>
#include <vector>

namespace app {

struct LoggedService {
  bool isNew = false;
  std::string serviceClass;   // "tv", "radio", "data" or "other"
  std::string name, provider;
};

struct FoundLog {
  std::vector<LoggedService> services;
  std::vector<std::string> badLines;   // lines not in the log's format, kept verbatim
};

FoundLog parseFoundLog(const std::string& text);
FoundLog readFoundLog(const std::string& path);   // a missing file reads as empty

}  // namespace app
