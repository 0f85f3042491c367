#pragma once
// The message loop: window events through the input path to their handlers, the 10 ms timer
// ticks to TimerTick, the script's input and captures, the built-in player's clicks, and the
// recording. Headless runs use a virtual clock that advances 10 ms per tick and run ticks back
// to back. Window events are handed on at the tick that follows them, just before its frame, as
// a script's and the built-in player's are.
#include <cstdint>
#include <optional>

namespace qv {

struct Context;
struct Script;
class Recorder;
class EventLog;
namespace platform {
class VirtualClock;
class LatchedClock;
}  // namespace platform

struct LoopOptions {
  std::optional<std::uint64_t> ticks;               // stop after this many timer ticks
  const Script* script = nullptr;                   // may be null
  platform::VirtualClock* virtual_clock = nullptr;  // set for headless runs
  // Recording: the recorder and the clock the context reads, latched once per tick.
  Recorder* recorder = nullptr;
  platform::LatchedClock* latched_clock = nullptr;
  EventLog* events = nullptr;  // --events: told each tick which one it is
};

// Runs until the window closes, the script quits or the tick limit is reached; then closes the
// main window. Returns the exit status.
int RunMainLoop(Context& ctx, const LoopOptions& options);

}  // namespace qv
