#pragma once
// Errors in content files: which file, which line (1-based, 0 when the file as a whole), what.
// Readers return them; the operation at the edge reports them with a box and a log line and
// ends, and the program goes on.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace qv {

struct Context;

struct DataError {
  std::string file;
  int line = 0;
  std::string message;
};

template <class T>
struct Expected {
  T value{};
  std::optional<DataError> error;
  bool ok() const { return !error.has_value(); }
};

DataError FileNotFound(std::string_view file);
DataError NotAnInteger(std::string_view file, int line, std::string_view text);
DataError NotAReal(std::string_view file, int line, std::string_view text);

// "file", line n: message
std::string DescribeDataError(const DataError& error);
// Error box (caption "Error") and the log line "<operation>: <description>".
void ReportDataError(Context& ctx, std::string_view operation, const DataError& error);

}  // namespace qv
