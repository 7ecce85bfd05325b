// The host's string: std::string with printf-style formatting.
#pragma once
#include <string>

class eString : public std::string {
public:
  eString() = default;
  eString(const char* s) : std::string(s ? s : "") {}
  eString(const std::string& s) : std::string(s) {}
  eString(std::string&& s) : std::string(std::move(s)) {}
  eString(const char* s, size_t n) : std::string(s, n) {}

  // Formats into this string (vsnprintf, with %m) and returns it.
  eString& sprintf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  // The decimal (or other base, 2..36) text of val.
  eString& setNum(int val, int base = 10);
  eString& removeChars(char c);
  eString upper() const;
};
