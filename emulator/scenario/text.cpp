#include <emulator/scenario/text.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <emulator/scenario/error.h>

namespace emu::text {

std::vector<Line> readLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError(path, 0, std::string("cannot open: ") + std::strerror(errno));
  std::vector<Line> lines;
  std::string s;
  int n = 0;
  while (std::getline(in, s)) {
    ++n;
    if (!s.empty() && s.back() == '\r') s.pop_back();
    if (n == 1 && s.compare(0, 3, "\xEF\xBB\xBF") == 0) s.erase(0, 3);
    lines.push_back({n, std::move(s)});
  }
  if (in.bad()) throw ScenarioError(path, n, "read error");
  return lines;
}

// Blank is what isspace says in the C locale, for trim and words alike: a line of
// carriage returns is blank for both, never a line without words.
std::string trim(const std::string& s) {
  const char* blanks = " \t\n\v\f\r";
  size_t b = s.find_first_not_of(blanks);
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}

std::vector<std::string> words(const std::string& s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    size_t b = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i > b) out.push_back(s.substr(b, i - b));
  }
  return out;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t b = 0;
  for (;;) {
    size_t e = s.find(sep, b);
    out.push_back(s.substr(b, e == std::string::npos ? std::string::npos : e - b));
    if (e == std::string::npos) break;
    b = e + 1;
  }
  return out;
}

bool startsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::optional<uint64_t> toUnsigned(const std::string& s) {
  if (s.empty() || s.size() > 19) return std::nullopt;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return v;
}

std::optional<double> toDouble(const std::string& s) {
  if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '-' || s[0] == '.')) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(s.c_str(), &end);
  if (errno || end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<Polarisation> toPolarisation(const std::string& s) {
  std::string u = upper(trim(s));
  if (u == "H" || u == "HORIZONTAL") return Polarisation::Horizontal;
  if (u == "V" || u == "VERTICAL") return Polarisation::Vertical;
  return std::nullopt;
}

std::optional<uint32_t> thousandths(double value) {
  double v = std::round(value * 1000);
  if (!(v > 0) || v > 4.0e9) return std::nullopt;
  return static_cast<uint32_t>(v);
}

uint32_t frequencyKhz(double value) {
  double khz = value < 100000 ? value * 1000 : value;
  return khz > 0 && khz < 4.0e9 ? static_cast<uint32_t>(std::lround(khz)) : 0;
}

uint32_t symbolRate(double value) {
  double sps = value < 100000 ? value * 1000 : value;
  return sps > 0 && sps < 4.0e9 ? static_cast<uint32_t>(std::lround(sps)) : 0;
}

}  // namespace emu::text
