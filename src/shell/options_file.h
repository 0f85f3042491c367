#pragma once
// Reading and writing "options.txt" and the other settings files; the values live in
// base/options.h.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "base/options.h"

namespace qv {

struct Context;

// Reads "options.txt" into ctx.options: logs "setup_refresh", switches the music system
// on, sets every key the file names, logs the texture mode. A missing file shows "Configuration
// file not found!"; a value that is not an integer for an integer key is reported (box and log,
// naming file, line and value) and ends the reading there, keeping what was read. A move_cnt
// below 1 is damage: logged as an "ERROR" line, kDefaultMoveCnt is used and the reading goes on.
void ReadOptions(Context& ctx);
// The key lines of an options file's text, applied in order as ReadOptions does. A value that is
// not an integer for an integer key ends the reading there: the error names "options.txt", the
// line and the value; what was read before stays.
Expected<void> ApplyOptionsText(Context& ctx, std::string_view data);

// Replaces the line of key (matched exactly) in a settings file by "key=value", or appends it;
// every other line comes back trimmed. Written atomically; a file that cannot be read or written
// is left as it was and gives the error.
Expected<void> WriteOption(std::string_view file, std::string_view key, std::string_view value);

// Applies one "key=value" pair; fails when an integer key gets no integer.
Expected<void> ApplyOption(Context& ctx, std::string_view key, std::string_view value);

// Every key in file order of the table, for the state dump: name and current value.
struct OptionValue {
  const char* key;
  int value;
};
std::vector<OptionValue> ListOptions(const Options& options);

}  // namespace qv
