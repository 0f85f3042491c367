#pragma once
// Text helpers with the rules of the game's data files: single-byte text, lines of at most
// 255 characters, trimming of blanks and control characters, the integer syntax of settings.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

constexpr std::size_t kMaxLine = 255;

// Removes characters <= ' ' at both ends.
std::string_view TrimText(std::string_view s);
std::string LowerText(std::string_view s);
// Lines split at CR LF, LF or CR; each cut to kMaxLine characters. A final line break does
// not start another line.
std::vector<std::string> SplitLines(std::string_view data);
// A whole 32-bit integer: leading blanks, optional sign, then decimal digits or hexadecimal after
// "$" or "0x".
std::optional<int> ParseInt(std::string_view s);

}  // namespace qv
