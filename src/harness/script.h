#pragma once
// The harness's script: timed input and captures, one command per line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"

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
  };
  std::uint64_t tick = 0;
  Kind kind = Kind::Move;
  int x = 0, y = 0;
  int button = 0;  // platform::MouseButton
  int key = 0;     // Windows virtual-key code
  int shift = 0;
  std::string path;
};

// Commands in the order they apply: by tick, then file order.
struct Script {
  std::vector<ScriptCommand> commands;
};

// Parses a script. The error of a failure names file and line.
Expected<Script> ParseScript(std::string_view text, std::string_view file_name);

}  // namespace qv
