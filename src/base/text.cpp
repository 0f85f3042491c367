#include "base/text.h"

#include <cstdint>

namespace qv {

std::string_view TrimText(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string LowerText(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view data) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= data.size(); ++i) {
    if (i == data.size()) {
      if (i > start) lines.emplace_back(data.substr(start, std::min(i - start, kMaxLine)));
      break;
    }
    if (data[i] == '\r' || data[i] == '\n') {
      lines.emplace_back(data.substr(start, std::min(i - start, kMaxLine)));
      if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  return lines;
}

std::optional<int> ParseInt(std::string_view s) {
  while (!s.empty() && (s[0] == ' ' || s[0] == '\t'))
    s.remove_prefix(1);  // as the platform's parser
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  unsigned base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : s) {
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (base == 16) {
    // Hexadecimal spells the 32-bit pattern: $FFFFFFFF is -1.
    const auto bits = static_cast<std::uint32_t>(value);
    const auto v = static_cast<std::int32_t>(bits);
    return negative ? static_cast<int>(-static_cast<std::int64_t>(v)) : v;
  }
  if (negative) {
    if (value > 2147483648ull) return std::nullopt;
    return static_cast<int>(-static_cast<std::int64_t>(value));
  }
  if (value > 2147483647ull) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace qv
