#include "harness/event_log.h"

#include <cerrno>
#include <cstring>

#include "base/json_writer.h"
#include "game/game_state.h"

namespace qv {

std::string EventLine(const GameEvent& e, std::uint64_t tick) {
  JsonWriter out;
  out.BeginObject();
  out.FieldString("event", GameEventName(e.kind));
  out.Field("tick", static_cast<std::int64_t>(tick));
  out.Field("type", TypeNumber(e.type));
  out.Field("level", e.level);
  out.Field("score", e.score);
  switch (e.kind) {
    case GameEventKind::Burst:
      out.Field("size", e.size);
      out.Field("dropped", e.dropped);
      break;
    case GameEventKind::Bonus:
      out.Field("bonus", e.bonus);
      break;
    case GameEventKind::LevelWon:
      out.Field("time", e.time);
      out.Field("shots", e.shots);
      break;
    case GameEventKind::LevelLost:
      out.FieldString("how", LossCauseName(e.how));
      break;
    case GameEventKind::Dialog:
      out.FieldString("dialog", GameDialogName(e.dialog));
      break;
    case GameEventKind::LevelStart:
    case GameEventKind::Shot:
    case GameEventKind::GameOver:
      break;
  }
  out.EndObject();
  return out.str() + "\n";
}

Expected<std::unique_ptr<EventLog>> EventLog::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return Fail("cannot write the events file '" + path + "': " + std::strerror(errno));
  return std::unique_ptr<EventLog>(new EventLog(file));
}

EventLog::~EventLog() {
  std::fclose(file_);
}

void EventLog::Write(const GameEvent& event) {
  const std::string line = EventLine(event, tick_);
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0)
    failed_ = true;
}

}  // namespace qv
