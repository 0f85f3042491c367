#pragma once
// What a ball settling in the field sets off: matching fills, explosions, drops, scoring.
#include <string_view>
#include <vector>

#include "game/game_state.h"

namespace qv {

struct Context;

// The shot ball settles in cell (c, r).
void Attach(Context& ctx, BallKind kind, int paint, int bonus, int c, int r);

// Marks the group of balls of `kind` (multiballs match any kind) reached from (c, r); adds to
// the match count. A bomb's group is the bomb itself and the multiballs around it.
void ColourFill(Context& ctx, int c, int r, BallKind kind);
// Marks, one bit per colour, every group of three or more that a multiball at (c, r) completes.
void MultiballFill(Context& ctx, int c, int r);
// Marks every ball connected to (c, r).
void SupportFill(BallField& f, int c, int r);

// Removes one cell with its particles (and collects its bonus); false for an empty cell.
bool ExplodeCell(Context& ctx, int c, int r, bool extra);
// Explodes every marked cell; returns the count.
int ExplodeMarked(Context& ctx);
// Removes everything that no longer hangs from the anchor row; returns balls and crystals
// removed.
int Drop(Context& ctx, bool extra);
// The popup point: centre of the pictures of all marked cells, (400, 300) when none.
void SetPopupPoint(Context& ctx);
void ScoreEvent(Context& ctx, int n, int d, bool combo_text);
// Plays a dragon joy sample when count reaches the limit for matched or dropped balls.
bool JoySound(Context& ctx, int count, bool dropped);

}  // namespace qv
