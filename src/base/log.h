#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/expected.h"

namespace qv {

struct BaseWorld;

// A log write that failed waits here for the edge (the frame loop, the event dispatch, start-up)
// to report it: the operation that logged goes on, so a full disk never leaves it half done.
struct LogState {
  std::optional<Error> unreported;  // the first failure since the edge last looked
};

// Appends "date time : message\r\n", cut to 255 bytes as a whole, to "log.txt" when logging is
// on. A file that cannot be opened or written gives the error, which is also kept for the edge.
Expected<void> WriteLog(BaseWorld& ctx, std::string_view message);

// The failure kept since the last call, if any, and forgets it.
Expected<void> TakeLogFailure(BaseWorld& ctx);

// The entry WriteLog writes, without touching any file.
std::string FormatLogEntry(BaseWorld& ctx, std::string_view message);

}  // namespace qv
