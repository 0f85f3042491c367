#pragma once
// What the menu may change in the game: the game it chose to start, and the phase of a page it
// opens over the game scene (the scores page, the continue dialog). The menu reads the game it
// shows results of through PlayedSession.
#include "game/game_state.h"

namespace qv {

struct Context;

// The next game scene starts a game of `type` at `level` with `score` (saved progress, or 1 and
// 0 for a new game).
void ChooseGame(Context& ctx, GameType type, int level, int score);
// A page of the menu is up over the game: the game waits in `phase` until it closes.
void EnterEndPhase(Context& ctx, EndPhase phase);
// The game being played, or the one just left.
const GameSession& PlayedSession(const Context& ctx);

}  // namespace qv
