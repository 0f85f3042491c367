#pragma once
// Text helpers of the settings-style files: "options.txt", "text\combo.txt" and the harness
// script. Single-byte text, lines of at most 255 characters, trimming of blanks and control
// characters, integers with "$" or "0x" hexadecimal. The content files' rules differ in small
// ways and live beside these in base/text_util.h; sprite definitions keep theirs with their
// reader (spr:: in sprites/prototype.h).
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
