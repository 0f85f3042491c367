#pragma once
// --events: what happened in the game, one JSON object a line, written as it happens. Each
// line is flushed at once, so a run that ends badly still leaves the events before its end.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "base/expected.h"
#include "game/game_events.h"

namespace qv {

// One event as its line (with the newline) at the given harness tick.
std::string EventLine(const GameEvent& event, std::uint64_t tick);

class EventLog {
 public:
  // Fails when the file cannot be made.
  static Expected<std::unique_ptr<EventLog>> Open(const std::string& path);
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // The tick whose frame comes next; events from now on carry it.
  void SetTick(std::uint64_t tick) { tick_ = tick; }
  void Write(const GameEvent& event);
  bool Failed() const { return failed_; }

 private:
  explicit EventLog(std::FILE* file) : file_(file) {}

  std::FILE* file_;
  std::uint64_t tick_ = 0;
  bool failed_ = false;
};

}  // namespace qv
