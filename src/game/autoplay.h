#pragma once
// A built-in player for tests and demonstrations. It sees the field as a player does, chooses
// where to point, and acts only through the pointer and its buttons (the window's input
// handlers), also to answer the dialogs, so that a run goes on level after level.
namespace qv {

struct Context;

// One decision per game frame; does nothing unless the run asked for autoplay.
void AutoplayStep(Context& ctx);

// Without a choice the pointer rests in the middle of the screen.
inline constexpr int kRestX = 400;
inline constexpr int kRestY = 300;

// The pointer position the player would choose for the ball in the cannon (tests).
struct AimChoice {
  int x = kRestX;
  int y = kRestY;
  double score = -1e9;
};
AimChoice ChooseAim(Context& ctx);

}  // namespace qv
