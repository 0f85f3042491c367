#pragma once
// Aiming, planning the whole flight of a shot before it leaves the cannon, and flying it.
#include "game/game_state.h"

namespace qv {

struct Context;

inline constexpr double kMaxAim = 1.1780972450961724;  // 67.5 degrees

// A flight that climbs past this height without touching anything is over; a shot ball whose
// flight is over is parked above it, where the game frame frees it.
inline constexpr int kFlightCeiling = -2700;
inline constexpr int kShotParkedY = -5400;

// Turns the cannon towards the mouse and recomputes the shot start and velocity.
// The aim is the pointer's direction from this point: the screen's middle at this height.
constexpr int kAimPivotY = 565;
void AimUpdate(Context& ctx, int mouse_x, int mouse_y, int width, int height);
// Plans the path from (x0, y0) with velocity (vx, vy); true when a target cell was found.
bool PlanShot(Context& ctx, int x0, int y0, double vx, double vy);
// Creates the flying ball for the current ball at the shot start.
void Fire(Context& ctx, BallKind kind, int paint, int bonus);
// One frame of the flying ball; attaches it at the end of its path.
void MoveShotBall(Context& ctx);
// Frees the flying ball (the game frame does so once it is hidden).
void FreeShotBall(Context& ctx);

}  // namespace qv
