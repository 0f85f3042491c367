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

// u(r) = r / 500 - 1 for a fresh r in 0..999.
double U(Context& ctx) {
  return ctx.random.Next(1000) / 500.0 - 1.0;
}

std::uint32_t Lifetime(int kind) {
  switch (kind) {
    case 0:
    case 19:
      return 400;
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
      return 700;
    case 15:
    case 17:
    case 20:
    case 21:
      return 500;
    case 16:
      return 1500;
    case 18:
      return 100;
    default:  // 1..7, 22, 23 and falling specials
      return 1000;
  }
}

const char* SpritePath(int kind) {
  switch (kind) {
    case 19:
      return "graphics\\particles\\particle2.spr";
    case 20:
    case 21:
      return "graphics\\particles\\particle3.spr";
    case 22:
      return "graphics\\particles\\line_piece.spr";
    default:
      return "graphics\\particles\\particle1.spr";
  }
}

int ByteOf(int v) {
  return std::clamp(v, 0, 255);
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

  if (kind == 23) {
    p.sprite = sprite;
    x = PicX(ctx, sprite);
    y = PicY(ctx, sprite);
  } else if (kind >= 1 && kind <= 14) {
    const int colour = kind <= 7 ? kind : kind - 7;
    static constexpr const char* kPaths[7] = {
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
    case 0:
      x += 3 * U(ctx);
      y += 3 * U(ctx);
      p.vx = 2 * U(ctx);
      p.vy = 2 * U(ctx);
      break;
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
      p.vx = U(ctx);
      p.vy = rnd.Next(1000) < 701 ? 0.0 : -(rnd.Next(300) / 1000.0 + 1);
      break;
    case 15:
      x += U(ctx) / 2;
      y += U(ctx) / 2;
      p.vx = U(ctx) / 2;
      p.vy = U(ctx) / 2;
      SetPicColor(ctx, p.sprite, 0x808080);
      break;
    case 16:
      x += 12 * U(ctx);
      y += 12 * U(ctx);
      p.vx = 0.5 * U(ctx);
      p.vy = 0.5 * U(ctx);
      SetPartAlphaMode(ctx, p.sprite, 0, 1);
      break;
    case 17:
      x += 0.5 * U(ctx);
      y += 0.5 * U(ctx);
      p.vx = 0.5 * U(ctx);
      p.vy = 0.5 * U(ctx);
      break;
    case 18:
      x += U(ctx);
      y += U(ctx);
      p.vx = U(ctx);
      p.vy = U(ctx);
      break;
    case 19:
    case 20:
    case 21: {
      const double speed = kind == 19 ? 4 : kind == 20 ? 3 : 2;
      p.vx = speed * U(ctx);
      p.vy = speed * U(ctx);
      const int r = rnd.Next(1000);
      const double scale = kind == 19   ? 0.7 - r / 3000.0
                           : kind == 20 ? 1 - r / 3000.0
                                        : 0.75 * (1 - r / 3000.0);
      SetPicScale(ctx, p.sprite, scale, scale);
      SetPicAngle(ctx, p.sprite, 2 * kPi * rnd.Next(1000) / 1000.0);
      break;
    }
    default:  // 8..14, 22, 23, falling specials: no jitter, no speed
      break;
  }
  p.base_x = x;
  p.base_y = y;
  SetPicPos(ctx, p.sprite, x, y);
  list.slots[slot] = p;
  return slot;
}

int CreateFallingBall(Context& ctx, int ball_kind, int paint, double x, double y) {
  if (ball_kind >= 1 && ball_kind <= 7) return CreateParticle(ctx, ball_kind, x, y);
  // Bombs, multiballs and lands fall with the motion of a colour ball and their own picture.
  ParticleList& list = ctx.game.run.particles;
  const int slot = TakeSlot(list);
  TExploseParticle p = NewParticle(ctx, slot, kParticleFallingSpecial);
  p.sprite = MakePic(ctx, BallSpritePath(ball_kind), "explose_particle");
  if (ball_kind == kKindColourBomb) SetPartColor(ctx, p.sprite, 1, BallTint(paint));
  Random& rnd = ctx.random;
  p.vx = U(ctx);
  p.vy = rnd.Next(1000) < 701 ? 0.0 : -(rnd.Next(300) / 1000.0 + 1);
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
  const bool falling = (k >= 1 && k <= 7) || k == kParticleFallingSpecial;

  double x = PicX(ctx, s) + p.vx;
  double y = PicY(ctx, s) + p.vy;
  if (k >= 19 && k <= 21) {
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
  if (k >= 8 && k <= 14) {
    const double scale = PicScaleX(ctx, s) * 0.85;
    SetPicScale(ctx, s, scale, PicScaleY(ctx, s) * 0.85);
    p.size = 34 * scale;
    x = (34 - p.size) / 2 + p.base_x;
    y = (34 - p.size) / 2 + p.base_y;
  }

  const int sc = RoundEven(t * 255);
  if (falling) {
    // full alpha
  } else if (k == 16) {
    x += p.vx;
    y += p.vy;
    SetPicColor(ctx, s, std::max(0, 160 - sc) * 65536 + std::max(0, 100 - sc) * 256);
    SetPicAlpha(ctx, s, ByteOf(std::abs(255 - sc)));
  } else if (k == 18) {
    SetPicAlpha(ctx, s, ByteOf((255 - Trunc(t * 255)) / 2));
  } else if (k == 19 || k == 20) {
    SetPicAlpha(ctx, s, ByteOf(255 - Trunc(t * 192)));
  } else if (k == 22) {
    const double tx = ctx.game.play.progress.shown + 233 - 16;
    const double ty = 58;
    const double d = std::hypot(tx - x, ty - y);
    const double ux = d > 0 ? (tx - x) / d : 0;
    const double uy = d > 0 ? (ty - y) / d : 0;
    Random& rnd = ctx.random;
    p.vx = (rnd.Next(4) + ux * 7 - 2) * 0.75;
    p.vy = (uy * 7 - rnd.Next(10) * 0.1) * 0.75;
    if (y < 58) {
      p.start_time = 0;
      ctx.game.play.progress.rising = true;
    }
  } else if (k == 23) {
    if (elapsed > 250) {
      y -= 1;
      SetPicAlpha(ctx, s, ByteOf(255 - Trunc((elapsed - 250) / 1000 * 255)));
    } else {
      const double scale = (elapsed / 500 + 0.5) * 0.8;
      SetPicScale(ctx, s, scale, scale);
      const double w = PicWidth(ctx, s);
      x = (w - w * scale) / 2 + p.base_x;
    }
  } else {
    SetPicAlpha(ctx, s, ByteOf(255 - Trunc(t * 255)));
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

}  // namespace qv
