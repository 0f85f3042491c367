#pragma once
// Errors in content files and their report. Readers return them in an Expected; the operation
// at the edge reports them with a box and a log line and ends, and the program goes on.
#include <string_view>

#include "base/expected.h"

namespace qv {

struct BaseWorld;

Error FileNotFound(std::string_view file);
Error NotAnInteger(std::string_view file, int line, std::string_view text);
Error NotAReal(std::string_view file, int line, std::string_view text);

// Error box (caption "Error") and the log line "<operation>: <description>".
void ReportDataError(BaseWorld& ctx, std::string_view operation, const Error& error);

}  // namespace qv
