#pragma once
// The game scene's move step: one call per logic step runs the level, the field, the cannon,
// the shot, the end of a level or of the game, bonuses and bombs, and the pending command.
namespace qv {

struct Context;

void GameFrame(Context& ctx);
// The pending game command of this frame (one per frame).
void GameCommandStep(Context& ctx);
// The loaded ball leaves the cannon.
void Shoot(Context& ctx);

// Danger, the loss test and the loss deadline of one frame; game over when it has passed.
void DangerAndLoss(Context& ctx);
// Arcade and challenge: a streak of big-bomb length makes the next ball a big bomb.
void BigBombAward(Context& ctx);

// The game scene asks for the menu scene, which shows its main menu once rebuilt.
void LeaveForMenu(Context& ctx);

// Input writers: a mouse button went down in the game scene (1 left, 2 right, 0 other).
void GameMouseDown(Context& ctx, int button);
// The mouse went up over the button it went down on: the menu panel while playing opens the
// exit question.
void GameMenuButtonUp(Context& ctx);

}  // namespace qv
