#include "game/particles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "context.h"
#include "game/field.h"
#include "game/game_math.h"

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The jitter u in -1..1 comes in steps of one of this many.
constexpr int kJitterSteps = 1000;
// A falling ball starts still, or after a roll of at least kStillBelow out of kHopRoll with a
// hop up of 1 to 1.3 pixels a frame.
constexpr int kHopRoll = 1000;
constexpr int kStillBelow = 701;
constexpr int kHopSpread = 300;
constexpr double kHopSpreadScale = 1000.0;
// Splinters and pieces: a size roll and a starting angle in steps of a thousandth of a turn.
constexpr int kSizeRoll = 1000;
constexpr double kSizeRollScale = 3000.0;
constexpr int kAngleSteps = 1000;

constexpr int kOpaque = 255;
// Splinters and pieces fade to a quarter, not to nothing.
constexpr int kFragmentFade = 192;
// A spark cools from dark orange: red and green components at birth, each less by the age.
constexpr int kSparkRed = 160;
constexpr int kSparkGreen = 100;
constexpr int kRedUnit = 0x10000;
constexpr int kGreenUnit = 0x100;
// Where line pieces head: the end of the level-progress strip, less half a piece.
constexpr int kStripLeft = 233;
constexpr int kLinePieceHalf = 16;
constexpr double kStripY = 58;
// A score text grows for kTextGrowMs, from kTextHoldMs on it rises and fades over kTextFadeMs.
constexpr int kTextGrowMs = 500;
constexpr int kTextHoldMs = 250;
constexpr int kTextFadeMs = 1000;

// How long each kind lives, in milliseconds.
constexpr std::uint32_t kLifetimeMs[kParticleKinds] = {
    400,                                       // dust
    1000, 1000, 1000, 1000, 1000, 1000, 1000,  // falling colour balls
    700,  700,  700,  700,  700,  700,  700,   // shrinking colour balls
    500,                                       // smoke
    1500,                                      // spark
    500,                                       // glow
    100,                                       // trail
    400,                                       // fragment
    500,                                       // piece
    500,                                       // small piece
    1000,                                      // line piece
    1000,                                      // text
    1000,                                      // falling special
};

// u(r) = r / 500 - 1 for a fresh r in 0..999.
double U(Context& ctx) {
  return ctx.random.Next(kJitterSteps) / (kJitterSteps / 2.0) - 1.0;
}

double FallStartVy(Random& rnd) {
  return rnd.Next(kHopRoll) < kStillBelow ? 0.0 : -(rnd.Next(kHopSpread) / kHopSpreadScale + 1);
}

// A kind without a row lives as long as a colour ball's fall.
constexpr std::uint32_t kOtherLifetimeMs = 1000;

std::uint32_t Lifetime(int kind) {
  return kind >= 0 && kind < kParticleKinds ? kLifetimeMs[kind] : kOtherLifetimeMs;
}

const char* SpritePath(int kind) {
  switch (kind) {
    case kParticleFragment:
      return "graphics\\particles\\particle2.spr";
    case kParticlePiece:
    case kParticleSmallPiece:
      return "graphics\\particles\\particle3.spr";
    case kParticleLinePiece:
      return "graphics\\particles\\line_piece.spr";
    default:
      return "graphics\\particles\\particle1.spr";
  }
}

int ByteOf(int v) {
  return std::clamp(v, 0, kOpaque);
}

// Alpha falling from opaque to nothing as t goes from 0 to 1.
int FadeOut(double t) {
  return ByteOf(kOpaque - Trunc(t * kOpaque));
}

int TakeSlot(ParticleList& list) {
  for (std::size_t i = 0; i < list.slots.size(); ++i) {
    if (!list.slots[i].used) return static_cast<int>(i);
  }
  list.slots.emplace_back();
  list.count = static_cast<int>(list.slots.size());
  return list.count - 1;
}

// A particle of `kind` in `slot`, born now.
TExploseParticle NewParticle(const Context& ctx, int slot, int kind) {
  TExploseParticle p;
  p.used = true;
  p.list_index = slot;
  p.start_time = GameNow(ctx);
  p.lifetime = Lifetime(kind);
  p.kind = kind;
  return p;
}

}  // namespace

int CreateParticle(Context& ctx, int kind, double x, double y, PicId sprite) {
  ParticleList& list = ctx.game.run.particles;
  const int slot = TakeSlot(list);
  TExploseParticle p = NewParticle(ctx, slot, kind);

  if (kind == kParticleText) {
    p.sprite = sprite;
    x = PicX(ctx, sprite);
    y = PicY(ctx, sprite);
  } else if (IsFallingBallParticle(kind) || IsShrinkingBallParticle(kind)) {
    const int colour = IsFallingBallParticle(kind) ? kind : kind - kBallColours;
    static constexpr const char* kPaths[kBallColours] = {
        "graphics\\balls\\ball1.spr", "graphics\\balls\\ball2.spr", "graphics\\balls\\ball3.spr",
        "graphics\\balls\\ball4.spr", "graphics\\balls\\ball5.spr", "graphics\\balls\\ball6.spr",
        "graphics\\balls\\ball7.spr"};
    p.sprite = MakePic(ctx, kPaths[colour - 1], "");
    SetPartVisible(ctx, p.sprite, 0, false);
    SetPartVisible(ctx, p.sprite, 2, false);
    SetPartVisible(ctx, p.sprite, 3, false);
    SetPartAnimSpeed(ctx, p.sprite, 1, 0);
    SetPartAnimPos(ctx, p.sprite, 1, 0);
  } else {
    p.sprite = MakePic(ctx, SpritePath(kind), "");
  }
  SetPicTag(ctx, p.sprite, "explose_particle");

  Random& rnd = ctx.random;
  switch (kind) {
    case kParticleDust:
      x += 3 * U(ctx);
      y += 3 * U(ctx);
      p.vx = 2 * U(ctx);
      p.vy = 2 * U(ctx);
      break;
    case FallingBallParticle(1):
    case FallingBallParticle(2):
    case FallingBallParticle(3):
    case FallingBallParticle(4):
    case FallingBallParticle(5):
    case FallingBallParticle(6):
    case FallingBallParticle(7):
      p.vx = U(ctx);
      p.vy = FallStartVy(rnd);
      break;
    case kParticleSmoke:
      x += U(ctx) / 2;
      y += U(ctx) / 2;
      p.vx = U(ctx) / 2;
      p.vy = U(ctx) / 2;
      SetPicColor(ctx, p.sprite, 0x808080);
      break;
    case kParticleSpark:
      x += 12 * U(ctx);
      y += 12 * U(ctx);
      p.vx = 0.5 * U(ctx);
      p.vy = 0.5 * U(ctx);
      SetPartAlphaMode(ctx, p.sprite, 0, 1);
      break;
    case kParticleGlow:
      x += 0.5 * U(ctx);
      y += 0.5 * U(ctx);
      p.vx = 0.5 * U(ctx);
      p.vy = 0.5 * U(ctx);
      break;
    case kParticleTrail:
      x += U(ctx);
      y += U(ctx);
      p.vx = U(ctx);
      p.vy = U(ctx);
      break;
    case kParticleFragment:
    case kParticlePiece:
    case kParticleSmallPiece: {
      const double speed = kind == kParticleFragment ? 4 : kind == kParticlePiece ? 3 : 2;
      p.vx = speed * U(ctx);
      p.vy = speed * U(ctx);
      const int r = rnd.Next(kSizeRoll);
      const double scale = kind == kParticleFragment ? 0.7 - r / kSizeRollScale
                           : kind == kParticlePiece  ? 1 - r / kSizeRollScale
                                                     : 0.75 * (1 - r / kSizeRollScale);
      SetPicScale(ctx, p.sprite, scale, scale);
      SetPicAngle(ctx, p.sprite, 2 * kPi * rnd.Next(kAngleSteps) / double{kAngleSteps});
      break;
    }
    default:  // shrinking balls, line pieces, texts, falling specials: no jitter, no speed
      break;
  }
  p.base_x = x;
  p.base_y = y;
  SetPicPos(ctx, p.sprite, x, y);
  list.slots[slot] = p;
  return slot;
}

int CreateFallingBall(Context& ctx, BallKind ball_kind, int paint, double x, double y) {
  if (IsColour(ball_kind)) {
    return CreateParticle(ctx, FallingBallParticle(ColourOf(ball_kind)), x, y);
  }
  // Bombs, multiballs and lands fall with the motion of a colour ball and their own picture.
  ParticleList& list = ctx.game.run.particles;
  const int slot = TakeSlot(list);
  TExploseParticle p = NewParticle(ctx, slot, kParticleFallingSpecial);
  p.sprite = MakePic(ctx, BallSpritePath(ball_kind), "explose_particle");
  if (ball_kind == BallKind::ColourBomb) SetPartColor(ctx, p.sprite, 1, BallTint(paint));
  p.vx = U(ctx);
  p.vy = FallStartVy(ctx.random);
  p.base_x = x;
  p.base_y = y;
  SetPicPos(ctx, p.sprite, x, y);
  list.slots[slot] = p;
  return slot;
}

void DestroyParticle(Context& ctx, int slot) {
  ParticleList& list = ctx.game.run.particles;
  if (slot < 0 || static_cast<std::size_t>(slot) >= list.slots.size()) return;
  TExploseParticle& p = list.slots[slot];
  if (!p.used) return;
  FreePic(ctx, p.sprite);
  p = TExploseParticle{};
}

void UpdateParticle(Context& ctx, int slot) {
  ParticleList& list = ctx.game.run.particles;
  if (slot < 0 || static_cast<std::size_t>(slot) >= list.slots.size()) return;
  TExploseParticle& p = list.slots[slot];
  if (!p.used) return;
  const std::uint32_t now = GameNow(ctx);
  const double elapsed = static_cast<double>(now - p.start_time);
  const double t = elapsed / p.lifetime;
  const PicId s = p.sprite;
  const int k = p.kind;
  const bool falling = IsFallingBallParticle(k) || k == kParticleFallingSpecial;

  double x = PicX(ctx, s) + p.vx;
  double y = PicY(ctx, s) + p.vy;
  if (k == kParticleFragment || k == kParticlePiece || k == kParticleSmallPiece) {
    p.vy += 0.5;
    SetPicAngle(ctx, s, PicAngle(ctx, s) + 0.05);
    SetPicScale(ctx, s, PicScaleX(ctx, s) * 0.975, PicScaleY(ctx, s) * 0.975);
  }
  if (falling) {
    if (p.vy > 0) {
      p.vy *= 1.3;
    } else {
      p.vy += 0.25;
    }
    SetPicScale(ctx, s, PicScaleX(ctx, s) * 0.997, PicScaleY(ctx, s) * 0.997);
  }
  if (IsShrinkingBallParticle(k)) {
    const double scale = PicScaleX(ctx, s) * 0.85;
    SetPicScale(ctx, s, scale, PicScaleY(ctx, s) * 0.85);
    p.size = kBallSize * scale;
    x = (kBallSize - p.size) / 2 + p.base_x;
    y = (kBallSize - p.size) / 2 + p.base_y;
  }

  const int sc = RoundEven(t * kOpaque);
  if (falling) {
    // full alpha
  } else if (k == kParticleSpark) {
    x += p.vx;
    y += p.vy;
    SetPicColor(
        ctx, s,
        std::max(0, kSparkRed - sc) * kRedUnit + std::max(0, kSparkGreen - sc) * kGreenUnit);
    SetPicAlpha(ctx, s, ByteOf(std::abs(kOpaque - sc)));
  } else if (k == kParticleTrail) {
    SetPicAlpha(ctx, s, ByteOf((kOpaque - Trunc(t * kOpaque)) / 2));
  } else if (k == kParticleFragment || k == kParticlePiece) {
    SetPicAlpha(ctx, s, ByteOf(kOpaque - Trunc(t * kFragmentFade)));
  } else if (k == kParticleLinePiece) {
    const double tx = ctx.game.play.progress.shown + kStripLeft - kLinePieceHalf;
    const double ty = kStripY;
    const double d = std::hypot(tx - x, ty - y);
    const double ux = d > 0 ? (tx - x) / d : 0;
    const double uy = d > 0 ? (ty - y) / d : 0;
    Random& rnd = ctx.random;
    p.vx = (rnd.Next(4) + ux * 7 - 2) * 0.75;
    p.vy = (uy * 7 - rnd.Next(10) * 0.1) * 0.75;
    if (y < kStripY) {
      p.start_time = 0;
      ctx.game.play.progress.rising = true;
    }
  } else if (k == kParticleText) {
    if (elapsed > kTextHoldMs) {
      y -= 1;
      SetPicAlpha(ctx, s, FadeOut((elapsed - kTextHoldMs) / kTextFadeMs));
    } else {
      const double scale = (elapsed / kTextGrowMs + 0.5) * 0.8;
      SetPicScale(ctx, s, scale, scale);
      const double w = PicWidth(ctx, s);
      x = (w - w * scale) / 2 + p.base_x;
    }
  } else {
    SetPicAlpha(ctx, s, FadeOut(t));
  }
  SetPicPos(ctx, s, x, y);

  if (static_cast<std::uint64_t>(p.start_time) + p.lifetime < now) {
    DestroyParticle(ctx, slot);
  } else {
    AnimatePic(ctx, s);
  }
}

void UpdateParticles(Context& ctx) {
  const int n = static_cast<int>(ctx.game.run.particles.slots.size());
  for (int i = 0; i < n; ++i) UpdateParticle(ctx, i);
}

void ClearParticles(Context& ctx) {
  ParticleList& list = ctx.game.run.particles;
  for (std::size_t i = 0; i < list.slots.size(); ++i) DestroyParticle(ctx, static_cast<int>(i));
  list.slots.clear();
  list.count = 0;
}

int LiveParticles(const Context& ctx) {
  int n = 0;
  for (const TExploseParticle& p : ctx.game.run.particles.slots) n += p.used ? 1 : 0;
  return n;
}

PicId ParticlePic(const Context& ctx, int slot) {
  const auto& slots = ctx.game.run.particles.slots;
  return slot >= 0 && static_cast<std::size_t>(slot) < slots.size()
             ? slots[static_cast<std::size_t>(slot)].sprite
             : kNoPic;
}

}  // namespace qv
