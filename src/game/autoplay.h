#pragma once
// The built-in player's judgement: it sees the field as a player does and chooses where to point
// and which button to press, also to answer the dialogs, so that a run goes on level after level.
// The harness turns its choices into pointer events (src/harness/built_in_player.h).
namespace qv {

struct Context;

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

// What the player does next: a click with `button` (a platform::MouseButton) at (x, y), or
// nothing while the game is not ready for one (a shot in the air, a request not yet carried out,
// no dialog to answer).
struct PlayerClick {
  bool click = false;
  int x = 0;
  int y = 0;
  int button = 0;
};
PlayerClick ChooseClick(Context& ctx);

}  // namespace qv
