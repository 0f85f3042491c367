#pragma once
// String helpers of the content files: list files, resource lines, maps, font metrics, text
// layouts and the audio tables. Trimming drops every character up to the blank, integers allow
// leading blanks and "$" hexadecimal only, reals use ".". Settings files: base/text.h.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::txt {

std::string_view Trim(std::string_view s);
std::string Lower(std::string_view s);
// Splits at every separator; an empty input gives one empty field.
std::vector<std::string_view> Split(std::string_view s, char separator);
// Lines of a text file: CR LF, LF or CR ends a line; a last line without an end counts.
std::vector<std::string_view> Lines(std::string_view text);
// Leading blanks, an optional sign, then decimal digits or "$" and hex digits; nothing after.
std::optional<int> ParseInt(std::string_view s);
// A real number with "." as decimal separator, surrounding blanks allowed.
std::optional<double> ParseReal(std::string_view s);

}  // namespace qv::txt
