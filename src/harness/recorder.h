#pragma once
// --record: writes a session as a script while it runs. Every input event goes down at the
// tick whose frame it precedes, with the lines a replay needs to see what the session saw: the
// clock of any tick that did not come 10 ms after the one before, the date and time whenever
// they change, and every seed the random generator got. Each tick's lines are flushed at its
// end, so a session that ends badly still leaves its recording.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "harness/script.h"
#include "platform/clock.h"

namespace qv {

class Recorder {
 public:
  // Fails when the file cannot be made.
  static Expected<std::unique_ptr<Recorder>> Open(const std::string& path);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // The date and time the session starts with (before the first tick), and the player's files
  // as the game folder holds them (a replay starts from the same saves).
  void Start(const platform::DateTime& now);
  void StartFile(std::string_view name, const std::string* contents);
  // The tick whose frame comes next; lines written from now on carry it.
  void SetTick(std::uint64_t tick) { tick_ = tick; }
  std::uint64_t Tick() const { return tick_; }
  // Once per tick, before its input: the clock value and the date the tick sees.
  void Clock(std::uint32_t ms, const platform::DateTime& now);
  void Seed(std::uint32_t seed);
  // An input command (its own tick is replaced by the current one).
  void Input(const ScriptCommand& command);
  // End of a tick: what was written goes to the disk.
  void Flush();
  // The session ended without a quit of its own (a tick limit): one is written, so the replay
  // stops where the session did.
  void End(bool quit_written);
  bool Failed() const { return failed_; }
  bool QuitWritten() const { return quit_written_; }

 private:
  explicit Recorder(std::FILE* file) : file_(file) {}
  void Line(const ScriptCommand& command);

  std::FILE* file_;
  std::uint64_t tick_ = 0;
  std::uint32_t last_ms_ = 0;
  platform::DateTime last_date_;
  bool dirty_ = false;
  bool failed_ = false;
  bool quit_written_ = false;
};

}  // namespace qv
