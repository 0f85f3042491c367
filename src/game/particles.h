#pragma once
// Explosion particles, falling balls, trails and floating score texts: short-lived pictures
// that move, scale and fade by kind and remove themselves when their time is over.
#include "game/game_state.h"

namespace qv {

struct Context;

// Particle kinds. A colour ball that falls from the field is the kind of its colour
// (FallingBallParticle); a shrinking colour ball the kind ShrinkingBallParticle gives.
inline constexpr int kParticleDust = 0;
inline constexpr int kParticleSmoke = 15;       // the paint rocket's exhaust
inline constexpr int kParticleSpark = 16;       // bombs and the rocket's end
inline constexpr int kParticleGlow = 17;        // where a bonus icon or a crystal arrives
inline constexpr int kParticleTrail = 18;       // behind the shot ball
inline constexpr int kParticleFragment = 19;    // a burst ball's splinters
inline constexpr int kParticlePiece = 20;       // a burst ball's quarters
inline constexpr int kParticleSmallPiece = 21;  // a quarter at three quarters the size
inline constexpr int kParticleLinePiece = 22;   // flies to the level-progress strip
inline constexpr int kParticleText = 23;        // floats the caller's text picture away
// A dropped bomb, big bomb, multiball or land falls like a colour ball but keeps its own
// picture.
inline constexpr int kParticleFallingSpecial = 24;
inline constexpr int kParticleKinds = kParticleFallingSpecial + 1;

constexpr int FallingBallParticle(int colour) {
  return colour;
}
constexpr bool IsFallingBallParticle(int kind) {
  return IsColourNumber(kind);
}
constexpr int ShrinkingBallParticle(int colour) {
  return kBallColours + colour;
}
constexpr bool IsShrinkingBallParticle(int kind) {
  return IsColourNumber(kind - kBallColours);
}

// Makes a particle of the kind at (x, y); kParticleText takes the caller's picture. Returns its
// slot.
int CreateParticle(Context& ctx, int kind, double x, double y, PicId sprite = kNoPic);
// A ball leaving the field: colour balls fall as their colour's kind, other balls as falling
// specials.
int CreateFallingBall(Context& ctx, BallKind ball_kind, int paint, double x, double y);
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
