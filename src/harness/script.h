#pragma once
// The harness's script: timed input and captures, one command per line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "platform/clock.h"

namespace qv {

struct ScriptCommand {
  enum class Kind : std::uint8_t {
    Move,
    Down,
    Up,
    Key,
    Activate,
    Deactivate,
    Minimize,
    Restore,
    Screenshot,
    State,
    Quit,
    // What a recording adds: the clock value of a tick that is not 10 ms after the one before,
    // the date and time when it changes, a seed the random generator got (in order), and the
    // display switch of a controller.
    Clock,
    Date,
    Seed,
    Fullscreen,
    // A file of the game folder as the recorded session found it at its start.
    File,
  };
  std::uint64_t tick = 0;
  Kind kind = Kind::Move;
  int x = 0, y = 0;
  int button = 0;  // platform::MouseButton, 3 for any other button
  int key = 0;     // Windows virtual-key code
  int shift = 0;
  std::uint32_t value = 0;  // Clock: milliseconds; Seed: the seed
  platform::DateTime date;
  std::string path;     // Screenshot, State: where to write; File: the file's name
  bool absent = false;  // File: the session started without it
  std::string data;     // File: its contents
};

// The files a recording carries: what the player writes and the game reads back.
bool IsRecordedFile(std::string_view name);
std::string EncodeBase64(std::string_view bytes);
// False when text is not base64.
bool DecodeBase64(std::string_view text, std::string& out);

// Commands in the order they apply: by tick, then file order.
struct Script {
  std::vector<ScriptCommand> commands;
};

// Where a script comes from. The harness's own script may capture; a recording (--replay) is
// untrusted input, a session a player attaches to a bug report, and only plays input back.
enum class ScriptOrigin : std::uint8_t { Script, Recording };

// Parses a script. The error of a failure names file and line; a capture in a recording and a
// capture path that is not a relative name inside the game folder are failures too.
Expected<Script> ParseScript(std::string_view text, std::string_view file_name,
                             ScriptOrigin origin = ScriptOrigin::Script);

// A capture path a script may name: relative, with no ".." component ("/" and "\" both
// separate components). Links are the writer's to check, when it writes.
bool IsCapturePath(std::string_view path);

// One command as a script line with its tick and a line break, written into out (at most size
// bytes, no allocation); returns its length, 0 when it does not fit. File lines are written
// with FileLine.
std::size_t FormatScriptLine(const ScriptCommand& command, char* out, std::size_t size);
// The lines of a File command (contents null: absent); long files take several lines.
std::string FileLine(std::uint64_t tick, std::string_view name, const std::string* contents);

}  // namespace qv
