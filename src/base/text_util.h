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

// std::from_chars for double in its general format: the longest prefix of [first, last) that
// reads as a decimal real (optional "-", digits with an optional ".", an optional exponent;
// "inf" and "nan" too), correctly rounded and in no locale. Returns where the number ended, or
// first when none starts there. The browser build's C++ library has no floating-point
// from_chars, so this falls back to a scan and strtod where it is missing.
const char* ReadDouble(const char* first, const char* last, double& value);
// The fallback itself, built everywhere so that it is tested against the real one.
const char* ReadDoubleByScan(const char* first, const char* last, double& value);

}  // namespace qv::txt
