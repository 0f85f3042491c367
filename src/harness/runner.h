#pragma once
// The message loop: window events to their handlers, the 10 ms timer ticks to TimerTick, the
// script's input and captures. Headless runs use a virtual clock that advances 10 ms per tick
// and run ticks back to back.
#include <cstdint>
#include <optional>

namespace qv {

struct Context;
struct Script;
namespace platform {
class VirtualClock;
}

struct LoopOptions {
  std::optional<std::uint64_t> ticks;               // stop after this many timer ticks
  const Script* script = nullptr;                   // may be null
  platform::VirtualClock* virtual_clock = nullptr;  // set for headless runs
};

// Runs until the window closes, the script quits or the tick limit is reached; then closes the
// main window. Returns the exit status.
int RunMainLoop(Context& ctx, const LoopOptions& options);

}  // namespace qv
