#include "game/game_events.h"

#include "context.h"

namespace qv {

const char* GameEventName(GameEventKind kind) {
  switch (kind) {
    case GameEventKind::LevelStart:
      return "level_start";
    case GameEventKind::Shot:
      return "shot";
    case GameEventKind::Burst:
      return "burst";
    case GameEventKind::Bonus:
      return "bonus";
    case GameEventKind::LevelWon:
      return "level_won";
    case GameEventKind::LevelLost:
      return "level_lost";
    case GameEventKind::GameOver:
      return "game_over";
    case GameEventKind::Dialog:
      return "dialog";
  }
  return "unknown";
}

const char* LossCauseName(LossCause how) {
  switch (how) {
    case LossCause::Danger:
      return "danger";
    case LossCause::Drain:
      return "drain";
    case LossCause::Shots:
      return "shots";
  }
  return "unknown";
}

const char* GameDialogName(GameDialog dialog) {
  switch (dialog) {
    case GameDialog::Statistics:
      return "statistics";
    case GameDialog::GameOver:
      return "game_over";
    case GameDialog::TryAgain:
      return "try_again";
    case GameDialog::ExitQuestion:
      return "exit_question";
    case GameDialog::HighScores:
      return "high_scores";
    case GameDialog::Continue:
      return "continue";
  }
  return "unknown";
}

void ReportGameEvent(Context& ctx, GameEvent event) {
  const GameState& g = ctx.game;
  if (!g.run.events) return;
  event.type = g.session.game_type;
  event.level = g.session.level;
  event.score = g.session.score;
  g.run.events(event);
}

void ReportGameEvent(Context& ctx, GameEventKind kind) {
  if (!ctx.game.run.events) return;
  GameEvent event;
  event.kind = kind;
  ReportGameEvent(ctx, event);
}

}  // namespace qv
