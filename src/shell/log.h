#pragma once
#include <string_view>

namespace qv {

struct Context;

// Appends "date time : message" to "log.txt" when logging is on.
void WriteLog(Context& ctx, std::string_view message);

}  // namespace qv
