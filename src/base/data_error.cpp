#include "base/data_error.h"

#include <string>

#include "base/message.h"

namespace qv {

std::string Describe(const Error& error) {
  if (error.file.empty()) return error.message;
  std::string out = "\"" + error.file + "\"";
  if (error.line > 0) out += ", line " + std::to_string(error.line);
  return out + ": " + error.message;
}

Error FileNotFound(std::string_view file) {
  return Error{"File not found", std::string(file), 0};
}

Error NotAnInteger(std::string_view file, int line, std::string_view text) {
  return Error{"'" + std::string(text) + "' is not a valid integer value", std::string(file), line};
}

Error NotAReal(std::string_view file, int line, std::string_view text) {
  return Error{"'" + std::string(text) + "' is not a valid floating point value", std::string(file),
               line};
}

void ReportDataError(BaseWorld& ctx, std::string_view operation, const Error& error) {
  const std::string text = Describe(error);
  ReportError(ctx, text, std::string(operation) + ": " + text);
}

}  // namespace qv
