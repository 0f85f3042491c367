#include "game/game_entry.h"

#include "context.h"

namespace qv {

void ChooseGame(Context& ctx, GameType type, int level, int score) {
  GameSession& session = ctx.game.session;
  session.game_type = type;
  session.level = level;
  session.score = score;
}

void EnterEndPhase(Context& ctx, EndPhase phase) {
  ctx.game.play.end_phase = phase;
}

const GameSession& PlayedSession(const Context& ctx) {
  return ctx.game.session;
}

}  // namespace qv
