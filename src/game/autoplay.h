#pragma once
// The built-in player's judgement: it sees the field as a player does and chooses where to point
// and which button to press, also to answer the dialogs, so that a run goes on level after level.
// The harness turns its choices into pointer events (src/harness/built_in_player.h).
namespace qv {

struct Context;
struct PlayerModel;
struct Random;

// Without a choice the pointer rests in the middle of the screen.
inline constexpr int kRestX = 400;
inline constexpr int kRestY = 300;

// The pointer position the player would choose for the ball in the cannon (tests).
struct AimChoice {
  int x = kRestX;
  int y = kRestY;
  double score = -1e9;
  double reach = 0;   // the path's length in pixels (weaker models only)
  bool bank = false;  // the path turns off a wall (weaker models only)
};
AimChoice ChooseAim(Context& ctx);
// The same for a player model: its limited search, then its aim error, drawn from `rng`.
AimChoice ChooseAim(Context& ctx, const PlayerModel& model, Random& rng);

// What the player does next: a click with `button` (a platform::MouseButton) at (x, y), or
// nothing while the game is not ready for one (a shot in the air, a request not yet carried out,
// no dialog to answer).
struct PlayerClick {
  bool click = false;
  int x = 0;
  int y = 0;
  int button = 0;
};
PlayerClick ChooseClick(Context& ctx);  // the perfect player
// As a player of `model` would, drawing its chances from `rng` (perfect draws nothing).
PlayerClick ChooseClick(Context& ctx, const PlayerModel& model, Random& rng);

}  // namespace qv
