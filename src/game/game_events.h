#pragma once
// What happened in a game, for whoever watches (the harness's event log). The game reports
// through one sink the composition root may set; with none set a report costs one test.
#include <cstdint>
#include <functional>

namespace qv {

struct Context;
enum class GameType : int;

enum class GameEventKind { LevelStart, Shot, Burst, Bonus, LevelWon, LevelLost, GameOver, Dialog };

// Why a level was lost, by the type's own rule: the field reached the danger line (arcade),
// the progress drained away (challenge), or the shots ran the field down (puzzle).
enum class LossCause { Danger, Drain, Shots };

// Which end-of-level dialog opened.
enum class GameDialog { Statistics, GameOver, TryAgain, ExitQuestion, HighScores, Continue };

struct GameEvent {
  GameEventKind kind = GameEventKind::Shot;
  GameType type{};
  int level = 0;
  int score = 0;
  int size = 0;            // burst: balls of the match or blast
  int dropped = 0;         // burst: balls that fell with it
  int bonus = 0;           // bonus: the type collected, 1..10
  std::uint32_t time = 0;  // level won: ms of game clock since the level was built
  int shots = 0;           // level won: shots fired in the level
  LossCause how = LossCause::Danger;
  GameDialog dialog = GameDialog::Statistics;
};

using GameEventSink = std::function<void(const GameEvent&)>;

const char* GameEventName(GameEventKind kind);
const char* LossCauseName(LossCause how);
const char* GameDialogName(GameDialog dialog);

// Stamps the game's type, level and score on the event and hands it to the sink, if any.
void ReportGameEvent(Context& ctx, GameEvent event);
// The same for an event that carries nothing more.
void ReportGameEvent(Context& ctx, GameEventKind kind);

}  // namespace qv
