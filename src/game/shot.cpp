#include "game/shot.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/matching.h"
#include "game/particles.h"
#include "game/scene_port.h"

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Path points are added in blocks of this many; the vector keeps its room between shots.
constexpr int kPathGrowth = 256;
// The shot starts at the barrel's mouth: this far from the barrel's pivot.
constexpr int kBarrelPivotX = 384;
constexpr int kBarrelPivotY = 549;
constexpr int kBarrelLength = 100;
// A flying ball touches a ball of the field closer than sqrt(kTouchDistanceSq); no ball is in
// reach more than kTouchReach above or below.
constexpr int kTouchDistanceSq = 612;
constexpr int kTouchReach = 25;
// A path point snaps into a free cell nearer than sqrt(kSnapDistanceSq), and only into a row
// whose top is less than kRowReach above where the ball stopped.
constexpr int kSnapDistanceSq = 1700;
constexpr int kRowReach = 25;
// The flying ball is drawn over the cannon until it reaches the field, behind the field's frame
// from there on.
constexpr int kFieldTopY = 435;
constexpr int kShotOverCannonZ = 250;
constexpr int kShotInFieldZ = 95;
// A free flight (no target) falls until it is this low.
constexpr int kFreeFlightFloorY = 500;

void AppendPoint(ShotPath& path, int x, int y) {
  if (static_cast<std::size_t>(path.length) >= path.points.size()) {
    path.points.resize(path.points.size() + kPathGrowth);
  }
  path.points[static_cast<std::size_t>(path.length)] = {x, y};
  ++path.length;
}

bool Occupied(const BallField& f, int c, int r) {
  return c >= 0 && c < kFieldCols && f.at(c, r).kind != BallKind::Empty;
}

// A free cell may take the ball when something holds it: the bottom row, the puzzle's top
// row, a ball above, or a ball below or beside it.
bool Supported(const GameState& g, int c, int r) {
  const BallField& f = g.play.field;
  if (r == kFieldRowMax) return true;
  if (g.session.game_type == GameType::Puzzle && r == f.top_rows - 1) return true;
  const int n = f.code(r) == kWideRowCode ? c - 1 : c;
  if (Occupied(f, n, r + 1) || Occupied(f, n + 1, r + 1)) return true;
  if (r >= 1 && (Occupied(f, n, r - 1) || Occupied(f, n + 1, r - 1))) return true;
  if (c > 0 && Occupied(f, c - 1, r)) return true;
  if (c < 15 && Occupied(f, c + 1, r)) return true;
  return false;
}

}  // namespace

void AimUpdate(Context& ctx, int mouse_x, int mouse_y, int width, int height) {
  AimState& a = ctx.game.scene.aim;
  if (mouse_x >= 0 && mouse_x < width && mouse_y >= 0 && mouse_y < height && mouse_y < kAimPivotY) {
    a.angle = std::atan(static_cast<double>(mouse_x - width / 2) / (mouse_y - kAimPivotY));
  }
  if (a.cannon_turning) {
    const double d = a.angle - a.drawn_angle;
    if (std::abs(d) <= 0.1) {
      a.cannon_turning = false;
    } else {
      a.angle = a.drawn_angle + (d > 0 ? 0.1 : -0.1);
    }
  }
  a.angle = std::clamp(a.angle, -kMaxAim, kMaxAim);
  a.drawn_angle = a.angle;
  if (ctx.game.run.port) ctx.game.run.port->SetAimRotation(ctx, a.angle);
  const double t = -a.angle - kPi / 2;
  a.start_x = kBarrelPivotX + RoundEven(kBarrelLength * std::cos(t));
  a.start_y = kBarrelPivotY + RoundEven(kBarrelLength * std::sin(t));
  a.vx = 5 * std::cos(t);
  a.vy = 5 * std::sin(t);
}

bool PlanShot(Context& ctx, int x0, int y0, double vx, double vy) {
  GameState& g = ctx.game;
  BallField& f = g.play.field;
  ShotPath& path = g.play.path;
  path.length = 0;
  const double dy = vy / 8;
  if (dy >= 0) {
    path.target_col = -1;
    return false;
  }
  const int s = f.offset;
  const int top = std::min(f.top_rows - 1, kFieldRowMax);

  // Occupied cells of rows -1..R-1 as bit rows, with their picture positions, and the band of
  // heights outside which no picture can be within collision distance.
  double band_lo = 1e300;
  double band_hi = -1e300;
  for (int r = kFieldRowMin; r <= top; ++r) {
    std::uint16_t bits = 0;
    for (int c = 0; c < kFieldCols; ++c) {
      const FieldCell& cell = f.at(c, r);
      if (cell.kind == BallKind::Empty) continue;
      bits = static_cast<std::uint16_t>(bits | (1u << c));
      const auto i = static_cast<std::size_t>((r + 1) * kFieldCols + c);
      g.run.plan_x[i] = PicX(ctx, cell.sprite);
      g.run.plan_y[i] = PicY(ctx, cell.sprite);
      band_lo = std::min(band_lo, g.run.plan_y[i] - kTouchReach);
      band_hi = std::max(band_hi, g.run.plan_y[i] + kTouchReach);
    }
    g.run.plan_row_bits[static_cast<std::size_t>(r + 1)] = bits;
  }

  const double step2 =
      static_cast<double>(ctx.options.ball_step) * ctx.options.ball_step;
  const double left = LeftWall(f.margin);
  const double right = RightWall(f.margin);
  double last_x = 9999999999.0;
  double last_y = 9999999999.0;
  double x = x0;
  double y = y0;
  bool bounced = false;
  for (;;) {
    if ((x - last_x) * (x - last_x) + (y - last_y) * (y - last_y) >= step2) {
      AppendPoint(path, RoundEven(x), RoundEven(y));
      last_x = x;
      last_y = y;
    }
    const double nx = x + vx / 8;
    const double ny = y + dy;
    if (ny < kFlightCeiling) break;
    if (nx < left || nx > right) {
      // A start outside the walls would bounce for ever; it ends the flight where it is.
      if (bounced) break;
      bounced = true;
      vx = -vx;
      continue;
    }
    bounced = false;
    if (ny <= band_lo || ny >= band_hi) {  // out of every ball's reach
      x = nx;
      y = ny;
      continue;
    }
    const int hr = RoundEven((kRowZeroY - s - ny - kRowPitch / 2) / kRowPitch);
    const int r0 = std::min(std::max(hr - 3, -1), top);
    const int r1 = std::max(std::min(hr + 3, top), -1);
    unsigned any = 0;
    for (int r = r0; r <= r1; ++r) any |= g.run.plan_row_bits[static_cast<std::size_t>(r + 1)];
    if (any == 0) {
      x = nx;
      y = ny;
      continue;
    }
    const int hc = RoundEven((nx - kNarrowRowLeft) / kBallSize);
    const int c0 = std::max(hc - 3, 0);
    const int c1 = std::min(hc + 3, 15);
    bool hit = false;
    if (c0 <= c1) {
      const auto window = static_cast<std::uint16_t>(((1u << (c1 + 1)) - 1) & ~((1u << c0) - 1));
      for (int r = r0; r <= r1 && !hit; ++r) {
        unsigned bits = g.run.plan_row_bits[static_cast<std::size_t>(r + 1)] & window;
        while (bits != 0) {
          const int c = __builtin_ctz(bits);
          bits &= bits - 1;
          const auto i = static_cast<std::size_t>((r + 1) * kFieldCols + c);
          const double ex = g.run.plan_x[i] - nx;
          const double ey = g.run.plan_y[i] - ny;
          if (ex * ex + ey * ey < kTouchDistanceSq) {
            hit = true;
            break;
          }
        }
      }
    }
    if (hit) break;
    x = nx;
    y = ny;
  }

  int w = RoundEven((kRowZeroY - s - y - kRowPitch / 2) / kRowPitch);
  if (w < -1) w = -1;
  if (w > kFieldRowMax) {
    if (g.session.game_type != GameType::Puzzle) {
      path.target_col = -1;
      return false;
    }
    w = f.top_rows - 1;
  }
  const int shift = f.code(w) == kNarrowRowCode ? 1 : 0;

  int best_c = 0;
  int best_r = 0;
  bool found = false;
  double best_d = kSnapDistanceSq;
  for (int p = path.length - 1; p >= 0 && !found; --p) {
    const double px = path.points[static_cast<std::size_t>(p)].x;
    const double py = path.points[static_cast<std::size_t>(p)].y;
    const int k = RoundEven((px - kNarrowRowLeft - kBallSize / 2 * shift) / kBallSize);
    for (int c = k - 2; c <= k + 2; ++c) {
      for (int r = w; r <= w + 2; ++r) {
        if (r < kFieldRowMin || r > kFieldRowMax) continue;
        if (c < f.margin || c >= f.code(r) + 4 - f.margin) continue;
        if (g.session.game_type == GameType::Puzzle && r >= f.top_rows) continue;
        if (w < f.top_rows - 1 && y - (kRowZeroY - kRowPitch * r + s) > kRowReach) continue;
        if (c >= kFieldCols || f.at(c, r).kind != BallKind::Empty) continue;
        if (!Supported(g, c, r)) continue;
        const double cx = CellX(f, c, r);
        const double cy = CellY(f, c, r);
        const double d = (cx - px) * (cx - px) + (cy - py) * (cy - py);
        if (d < best_d) {
          best_d = d;
          best_c = c;
          best_r = r;
          found = true;
        }
      }
    }
  }
  if (!found) {
    path.length = 0;
    path.target_col = -1;
    return false;
  }
  path.target_col = best_c;
  path.target_row = best_r;
  const int cx = static_cast<int>(CellX(f, best_c, best_r));
  const int cy = static_cast<int>(CellY(f, best_c, best_r));
  while (path.length > 0 && path.points[static_cast<std::size_t>(path.length - 1)].y < cy) {
    --path.length;
  }
  AppendPoint(path, cx, cy);
  return true;
}

void Fire(Context& ctx, BallKind kind, int paint, int bonus) {
  GameState& g = ctx.game;
  FreeShotBall(ctx);
  TShotBall* b = AcquireMultiSpriteOf<TShotBall>(ctx, BallSpritePath(kind));
  g.play.shot = b;
  const PicId id = b->list_index;
  ApplyBallLook(ctx, id, kind, paint, bonus);
  b->kind = kind;
  b->paint = paint;
  b->bonus = bonus;
  b->path_index = 0;
  b->free_flight = 0;
  b->vx = 0;
  b->vy = 0;
  if (g.play.path.length == 0) {
    const double a = -g.scene.aim.angle - kPi / 2;
    b->free_flight = 1;
    b->vx = 5 * std::cos(a);
    b->vy = 5 * std::sin(a);
  } else {
    b->path_index = 0;
    b->free_flight = 0;
  }
  b->z = kShotOverCannonZ;
  b->x = g.scene.aim.start_x;
  b->y = g.scene.aim.start_y;
  PlayGameSample(ctx, "sample_shot1");
}

void MoveShotBall(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  TShotBall* b = play.shot;
  if (!b) return;
  if (b->free_flight) {
    b->x += b->vx;
    b->y += b->vy;
    b->vy += 0.5;
    if (b->y > kFreeFlightFloorY) b->y = kShotParkedY;
  } else if (b->path_index < play.path.length) {
    const PathPoint& p = play.path.points[static_cast<std::size_t>(b->path_index)];
    b->x = p.x;
    b->y = p.y;
    if (p.y < kFieldTopY) b->z = kShotInFieldZ;
    if (b->path_index >= 1) {
      const PathPoint& q = play.path.points[static_cast<std::size_t>(b->path_index - 1)];
      for (int part = 2; part <= 3; ++part) {
        const double tx = q.x + (p.x - q.x) * part / 4.0;
        const double ty = q.y + (p.y - q.y) * part / 4.0;
        const int slot = CreateParticle(ctx, kParticleTrail, tx, ty);
        if (IsColour(b->kind)) {
          SetPicColor(ctx, g.run.particles.slots[static_cast<std::size_t>(slot)].sprite,
                      BallTint(ColourOf(b->kind)));
        }
        if (ty > kFieldTopY) b->z = kShotOverCannonZ;
      }
    }
    if (play.path.target_col == -1 && b->y < -1) b->y = kShotParkedY;
    if (b->path_index == play.path.length - 1) {
      b->y = kShotParkedY;
      if (play.path.target_col != -1) {
        Attach(ctx, b->kind, b->paint, b->bonus, play.path.target_col, play.path.target_row);
      }
    }
    b->path_index += 1;
  }
  b->Update();
}

void FreeShotBall(Context& ctx) {
  LevelPlay& play = ctx.game.play;
  if (!play.shot) return;
  ReleaseMultiSprite(ctx, play.shot);
  play.shot = nullptr;
}

}  // namespace qv
