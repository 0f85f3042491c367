#pragma once
#include <string>
#include <string_view>

namespace qv {

struct BaseWorld;

// Appends "date time : message\r\n", cut to 255 bytes as a whole, to "log.txt" when logging is
// on. Throws IoError when the file cannot be opened or written.
void WriteLog(BaseWorld& ctx, std::string_view message);

// The entry WriteLog writes, without touching any file.
std::string FormatLogEntry(BaseWorld& ctx, std::string_view message);

}  // namespace qv
