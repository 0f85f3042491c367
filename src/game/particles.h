#pragma once
// Explosion particles, falling balls, trails and floating score texts: short-lived pictures
// that move, scale and fade by kind and remove themselves when their time is over.
#include "game/game_state.h"

namespace qv {

struct Context;

// Particle kinds besides 0..23: a dropped bomb, big bomb, multiball or land falls like a colour
// ball (kinds 1..7) but keeps its own picture.
inline constexpr int kParticleFallingSpecial = 24;

// Makes a particle of the kind at (x, y); kind 23 takes the caller's picture. Returns its slot.
int CreateParticle(Context& ctx, int kind, double x, double y, PicId sprite = kNoPic);
// A ball leaving the field: colour balls fall as kinds 1..7, other balls as falling specials.
int CreateFallingBall(Context& ctx, int ball_kind, int paint, double x, double y);
// One frame step of one particle; destroys it when its lifetime is over.
void UpdateParticle(Context& ctx, int slot);
void UpdateParticles(Context& ctx);
void DestroyParticle(Context& ctx, int slot);
// Destroys every particle and empties the list. The list owns its pictures: levels are cleared
// through this, not by unloading "explose_particle".
void ClearParticles(Context& ctx);
int LiveParticles(const Context& ctx);
// The picture of the particle in `slot` (the menu's help page tints and scales its own).
PicId ParticlePic(const Context& ctx, int slot);

}  // namespace qv
