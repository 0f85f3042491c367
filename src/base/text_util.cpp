#include "base/text_util.h"

#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace qv::txt {

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::vector<std::string_view> Split(std::string_view s, char separator) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t pos = s.find(separator, start);
    if (pos == std::string_view::npos) {
      out.push_back(s.substr(start));
      return out;
    }
    out.push_back(s.substr(start, pos - start));
    start = pos + 1;
  }
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out.push_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    ++i;
  }
  if (start < text.size()) out.push_back(text.substr(start));
  return out;
}

std::optional<int> ParseInt(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= s.size()) return std::nullopt;
  // Digits only from here: an unsigned reading refuses a second sign ("-$-1"), and the magnitude
  // is bounded before it is negated.
  std::uint64_t magnitude = 0;
  const char* first = s.data() + i;
  const char* last = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(first, last, magnitude, base);
  if (ec != std::errc{} || ptr != last || magnitude > UINT32_MAX) return std::nullopt;
  std::int64_t value = static_cast<std::int64_t>(magnitude);
  if (negative) value = -value;
  // Hex literals may spell the full 32-bit pattern.
  if (base == 16 && value > INT32_MAX && value <= static_cast<std::int64_t>(UINT32_MAX)) {
    value -= static_cast<std::int64_t>(1) << 32;
  }
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<double> ParseReal(std::string_view s) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  double value = 0.0;
  const char* end = ReadDouble(s.data(), s.data() + s.size(), value);
  if (end == s.data() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

const char* ReadDouble(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  // Out of range still consumed the number; the callers reject infinities themselves.
  if (ec == std::errc::result_out_of_range) {
    value = HUGE_VAL;
    return ptr;
  }
  return ec == std::errc{} ? ptr : first;
#else
  return ReadDoubleByScan(first, last, value);
#endif
}

const char* ReadDoubleByScan(const char* first, const char* last, double& value) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
  const char* p = first;
  if (p != last && *p == '-') ++p;
  // The words from_chars accepts; strtod would take hexadecimal and blanks as well, so the
  // extent is found here and strtod only converts it.
  for (const std::string_view word : {std::string_view("infinity"), std::string_view("inf"),
                                      std::string_view("nan")}) {
    const char* q = p;
    std::size_t i = 0;
    while (i < word.size() && q != last && lower(*q) == word[i]) ++q, ++i;
    if (i == word.size()) {
      if (word == "nan" && q != last && *q == '(') {
        const char* r = q + 1;
        while (r != last && (digit(*r) || (lower(*r) >= 'a' && lower(*r) <= 'z') || *r == '_')) ++r;
        if (r != last && *r == ')') q = r + 1;
      }
      const bool negative = *first == '-';
      value = word == "nan" ? (negative ? -NAN : NAN) : (negative ? -HUGE_VAL : HUGE_VAL);
      return q;
    }
  }
  const char* digits = p;
  while (p != last && digit(*p)) ++p;
  std::size_t count = static_cast<std::size_t>(p - digits);
  if (p != last && *p == '.') {
    const char* frac = ++p;
    while (p != last && digit(*p)) ++p;
    count += static_cast<std::size_t>(p - frac);
  }
  if (count == 0) return first;
  if (p != last && lower(*p) == 'e') {
    const char* e = p + 1;
    if (e != last && (*e == '+' || *e == '-')) ++e;
    if (e != last && digit(*e)) {
      while (e != last && digit(*e)) ++e;
      p = e;
    }
  }
  const std::string text(first, p);  // strtod wants the number ended
  errno = 0;
  value = std::strtod(text.c_str(), nullptr);
  // Like from_chars, a number too large, or too small for even a subnormal, is out of range,
  // never 0; strtod also flags subnormals, which from_chars returns as they are.
  if (errno == ERANGE && (value == 0.0 || std::isinf(value))) {
    value = text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
  }
  return p;
}

}  // namespace qv::txt
