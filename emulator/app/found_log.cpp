#include "emulator/app/found_log.h"

#include <fstream>
#include <sstream>

namespace app {

namespace {

bool parseLine(const std::string& line, LoggedService& out) {
  if (line.size() < 4 || line[0] != '[' || (line[1] != 'N' && line[1] != 'O')) return false;
  out.isNew = line[1] == 'N';
  size_t pos = 2;
  switch (line[pos]) {
    case 'T': out.serviceClass = "tv"; ++pos; break;
    case 'R': out.serviceClass = "radio"; ++pos; break;
    case 'D': out.serviceClass = "data"; ++pos; break;
    default: out.serviceClass = "other"; break;
  }
  if (line.compare(pos, 2, "] ") != 0) return false;
  pos += 2;
  // Provider names are plain; a name may hold anything, so split at the last bar.
  auto bar = line.rfind(" | ");
  if (bar == std::string::npos || bar < pos) return false;
  out.name = line.substr(pos, bar - pos);
  out.provider = line.substr(bar + 3);
  return true;
}

}  // namespace

FoundLog parseFoundLog(const std::string& text) {
  FoundLog log;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    LoggedService s;
    if (parseLine(line, s)) log.services.push_back(std::move(s));
    else log.badLines.push_back(line);
  }
  return log;
}

FoundLog readFoundLog(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return {};
  std::ostringstream ss;
  ss << f.rdbuf();
  return parseFoundLog(ss.str());
}

}  // namespace app
