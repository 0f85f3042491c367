#include "base/text_util.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc{} || ptr != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace qv::txt
