// eString: printf-style formatting and number texts.
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <algorithm>
#include <host/gui/estring.h>

eString& eString::sprintf(const char* fmt, ...) {
  int e = errno;
  va_list ap;
  va_start(ap, fmt);
  char small[256];
  va_list copy;
  va_copy(copy, ap);
  int n = vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  if (n < 0) {
    clear();
  } else if (size_t(n) < sizeof small) {
    assign(small, size_t(n));
  } else {
    std::string big(size_t(n) + 1, '\0');
    errno = e;
    vsnprintf(&big[0], big.size(), fmt, ap);
    big.resize(size_t(n));
    assign(big);
  }
  va_end(ap);
  errno = e;
  return *this;
}

eString& eString::setNum(int val, int base) {
  if (base < 2 || base > 36) base = 10;
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  // Work in unsigned so that INT_MIN has a text too.
  unsigned long long u = val < 0 ? 0ULL - (unsigned long long)(long long)val : (unsigned long long)val;
  std::string s;
  do {
    s.push_back(digits[u % unsigned(base)]);
    u /= unsigned(base);
  } while (u);
  if (val < 0) s.push_back('-');
  std::reverse(s.begin(), s.end());
  assign(s);
  return *this;
}

eString& eString::removeChars(char c) {
  erase(std::remove(begin(), end(), c), end());
  return *this;
}

eString eString::upper() const {
  eString r(*this);
  for (auto& ch : r) ch = char(std::toupper(static_cast<unsigned char>(ch)));
  return r;
}
