#pragma once
// Bonuses and their slots, the bombs, the paint rocket, the target tracer and crystal flights.
#include "game/game_state.h"

namespace qv {

struct Context;

// All bonus types inactive, durations from the options.
void ResetBonusTypes(Context& ctx);
// An exploded ball's bonus item joins the bonus list (type 0: nothing).
void Collect(Context& ctx, int type, BallKind ball_kind, double x, double y);
void BonusListStep(Context& ctx);
void EndBonus(Context& ctx, int type);
void EndAllBonuses(Context& ctx);
void TargetTracerStep(Context& ctx);

// Explodes the bombs in the field once the bomb timer has passed and no ball flies.
void BombStep(Context& ctx);
void ColourBombBlast(Context& ctx, int c, int r, int paint);
void BigBombBlast(Context& ctx, int c, int r, int radius);

// Fires a mounted paint rocket; current_kind is the ball in the cannon.
void LaunchRocket(Context& ctx, BallKind current_kind);
void MoveRocket(Context& ctx, int index);
void MoveRockets(Context& ctx);
void DestroyRocket(Context& ctx, int index);
int LiveRockets(const Context& ctx);

void StartCrystalFlight(Context& ctx, double x, double y);
void CrystalFlightStep(Context& ctx);

// Level end: the game core owns the pictures of its flying items, so the level is cleared
// through these (not by unloading their tags, which would leave the lists pointing at nothing).
void DestroyAllRockets(Context& ctx);
// Frees every flying or arrived crystal and zeroes the launched and arrived counters.
void ClearCrystalFlights(Context& ctx);

}  // namespace qv
