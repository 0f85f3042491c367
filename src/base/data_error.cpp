#include "base/data_error.h"

#include "base/log.h"
#include "base/message.h"

namespace qv {

DataError FileNotFound(std::string_view file) {
  return DataError{std::string(file), 0, "File not found"};
}

DataError NotAnInteger(std::string_view file, int line, std::string_view text) {
  return DataError{std::string(file), line,
                   "'" + std::string(text) + "' is not a valid integer value"};
}

DataError NotAReal(std::string_view file, int line, std::string_view text) {
  return DataError{std::string(file), line,
                   "'" + std::string(text) + "' is not a valid floating point value"};
}

std::string DescribeDataError(const DataError& error) {
  std::string out = "\"" + error.file + "\"";
  if (error.line > 0) out += ", line " + std::to_string(error.line);
  return out + ": " + error.message;
}

void ReportDataError(Context& ctx, std::string_view operation, const DataError& error) {
  const std::string text = DescribeDataError(error);
  WriteLog(ctx, std::string(operation) + ": " + text);
  ShowErrorBox(ctx, "Error", text);
}

}  // namespace qv
