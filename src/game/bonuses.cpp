#include "game/bonuses.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "context.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/matching.h"
#include "game/particles.h"
#include "game/scene_port.h"
#include "game/shot.h"

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr int kMsPerSecond = 1000;
// Bonus slots down the left edge: icons at this x; a timed bonus's bar runs from empty to full.
constexpr int kSlotIconX = 20;
constexpr int kSlotBarEmptyX = 31;
constexpr int kSlotBarFullX = 60;
// Bonus icons and freed crystals fly to their places in this many frames.
constexpr int kFlightFrames = 50;
// Layers: bonus icons, the target tracer, flying crystals.
constexpr int kBonusIconZ = 110;
constexpr int kTracerZ = 210;
constexpr int kCrystalFlightZ = 105;
// A puzzle board this high (its y this small) leaves the field no room to climb.
constexpr int kBoardTopY = 81;
// Bombs: a colour bomb's sparks; a big bomb's ring of sparks at kSparkRingMin plus up to
// kSparkRingSpread pixels from its centre.
constexpr int kColourBombSparks = 20;
constexpr int kBigBombSparks = 150;
constexpr int kSparkRingMin = 20;
constexpr int kSparkRingSpread = 100;
// Paint rockets start from the cannon's pods, this far from its pivot. A rocket paints around
// the cell under its nose: its x less kRocketColumnOrigin, over the ball size, is the column in
// a 12-ball row; its y plus kRocketRowBias gives the row. Its exhaust leaves the tail, this far
// behind its centre across and along; it ends in kRocketEndSparks sparks.
constexpr int kPodDistance = 81;
constexpr int kRocketColumnOrigin = 130;
constexpr int kRocketRowBias = 10;
constexpr int kTailAcross = 15;
constexpr int kTailAlong = 25;
constexpr int kRocketEndSparks = 32;
// Freed crystals stack up in the crystal column from its bottom place.
constexpr int kCrystalColumnX = 748;
constexpr int kCrystalColumnBottomY = 542;

double SlotY(int i) {
  return 545.0 - 39.0 * i;
}

void SlotBar(Context& ctx, int i, double x, int color) {
  if (ctx.game.run.port && i < 6) ctx.game.run.port->SetSlotBar(ctx, i, x, color);
}

void Cursor(Context& ctx, int variant) {
  if (ctx.game.run.port) ctx.game.run.port->SetCursorVariant(ctx, variant);
}

void ShowRockets(Context& ctx) {
  if (ctx.game.run.port) ctx.game.run.port->ShowMountedRockets(ctx, ctx.game.play.mounted_rockets);
}

// Effects of a bonus leaving its waiting stage.
void StartBonus(Context& ctx, BonusEntry& e) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  const int t = e.type;
  g.scene.bonus_types[t].active = true;
  switch (t) {
    case 2:
      play.cursor_idle_variant = 2;
      Cursor(ctx, 2);
      PlayGameSample(ctx, "sample_bonus_target");
      break;
    case 3:
      play.scoring.multiplier *= 2;
      break;
    case 4:
      play.scoring.multiplier *= 4;
      break;
    case 5:
      play.freeze = true;
      PlayGameSample(ctx, "sample_bonus_freeze");
      break;
    case 7:
      if (play.walls.target == 11) {
        play.walls.target = 2;
        play.walls.direction = -1;
        play.walls.next_time = 0;
      }
      PlayGameSample(ctx, "sample_bonus_net_expand");
      break;
    case 8: {
      // A puzzle board still at or above y 81 leaves the field no room to climb. In challenge
      // the floor hold, not the climb, moves the field up: a climb would never be used up and
      // would hold back every shot and descent.
      const bool board_top = g.session.game_type == GameType::Puzzle && g.run.port &&
                             g.run.port->BoardY(ctx) <= kBoardTopY;
      if (g.session.game_type != GameType::Challenge && !board_top) {
        play.climb_remaining += kRowPitch;  // one row
      } else {
        EndBonus(ctx, 8);
      }
      PlayGameSample(ctx, "sample_bonus_up");
      break;
    }
    case 9:
      if (play.mounted_rockets < 2) play.mounted_rockets += 1;
      ShowRockets(ctx);
      break;
    default:
      break;
  }
}

}  // namespace

void ResetBonusTypes(Context& ctx) {
  const Options& o = ctx.options;
  for (int t = 0; t <= 10; ++t) {
    BonusType& b = ctx.game.scene.bonus_types[t];
    b.active = false;
    b.duration = 0;
    b.mode = 2;
  }
  ctx.game.scene.bonus_types[2] = {false, o.bonus_target_time * kMsPerSecond, 1};
  ctx.game.scene.bonus_types[5] = {false, o.bonus_freeze_time * kMsPerSecond, 1};
  ctx.game.scene.bonus_types[7] = {false, o.bonus_inc_width_time * kMsPerSecond, 1};
}

void Collect(Context& ctx, int type, BallKind ball_kind, double x, double y) {
  if (type <= 0 || type > 10) return;
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (type == 3) PlayGameSample(ctx, "sample_bonus_x2");
  if (type == 4) PlayGameSample(ctx, "sample_bonus_x4");
  if (type == 6) PlayGameSample(ctx, "sample_bonus_small_bomb");
  if (type == 9) PlayGameSample(ctx, "sample_bonus_paint_rocket");

  std::size_t i = 0;
  while (i < play.bonuses.size() && play.bonuses[i].type != -1) ++i;
  if (i == play.bonuses.size()) play.bonuses.emplace_back();
  BonusEntry& e = play.bonuses[i];
  e = BonusEntry{};
  if (g.run.events) {
    GameEvent got;
    got.kind = GameEventKind::Bonus;
    got.bonus = type;
    ReportGameEvent(ctx, got);
  }
  e.type = type;
  e.stage = 3;
  if (i < 6) {
    static constexpr const char* kIcons[kBallColours + 1] = {
        "graphics\\balls\\ball0\\ball0.spr", "graphics\\balls\\ball0\\ball1.spr",
        "graphics\\balls\\ball0\\ball2.spr", "graphics\\balls\\ball0\\ball3.spr",
        "graphics\\balls\\ball0\\ball4.spr", "graphics\\balls\\ball0\\ball5.spr",
        "graphics\\balls\\ball0\\ball6.spr", "graphics\\balls\\ball0\\ball7.spr"};
    const char* path = kIcons[ColourOf(ball_kind)];
    e.icon = MakePic(ctx, path, "");
    SetPicZ(ctx, e.icon, kBonusIconZ);
    SetPartVisible(ctx, e.icon, 1, false);
    SetPartVisible(ctx, e.icon, 2, true);
    SetPartAnimSpeed(ctx, e.icon, 2, 0);
    SetPartAnimPos(ctx, e.icon, 2, type - 1);
    SetPartVisible(ctx, e.icon, 3, false);
    const int slot = static_cast<int>(i);
    if (g.scene.bonus_types[type].mode == 1) {
      e.stage = 4;
      SetPicPos(ctx, e.icon, x, y);
      e.vx = (kSlotIconX - x) / kFlightFrames;
      e.vy = (SlotY(slot) - y) / kFlightFrames;
      PlayGameSample(ctx, "sample_flying_bonus");
    } else {
      SetPicPos(ctx, e.icon, kSlotIconX, SlotY(slot));
    }
  }
}

void BonusListStep(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  const std::uint32_t now = GameNow(ctx);
  for (std::size_t idx = 0; idx < play.bonuses.size(); ++idx) {
    const int i = static_cast<int>(idx);
    if (play.bonuses[idx].type == -1) continue;
    {
      BonusEntry& e = play.bonuses[idx];
      if (e.stage == 4 && e.icon != kNoPic && e.vx != 0) {
        const int slot = CreateParticle(ctx, kParticleGlow, PicX(ctx, e.icon), PicY(ctx, e.icon));
        SetPicZ(ctx, g.run.particles.slots[slot].sprite, PicZ(ctx, e.icon) - 1);
        SetPicPos(ctx, e.icon, PicX(ctx, e.icon) + e.vx, PicY(ctx, e.icon) + e.vy);
        if (PicX(ctx, e.icon) <= kSlotIconX) {
          e.vx = 0;
          e.vy = 0;
          SetPicPos(ctx, e.icon, kSlotIconX, SlotY(i));
          e.stage = 3;
          SlotBar(ctx, i, kSlotBarFullX, 0x808080);
        }
      }
    }
    if (play.bonuses[idx].stage == 3) {
      const int type = play.bonuses[idx].type;
      bool wait = false;
      for (std::size_t j = 0; j < play.bonuses.size(); ++j) {
        if (j == idx || play.bonuses[j].type != type) continue;
        if (play.bonuses[j].stage == 1 || (type == 8 && play.bonuses[j].stage == 2)) wait = true;
      }
      if (!wait) {
        BonusEntry& e = play.bonuses[idx];
        e.expiry = now + static_cast<std::uint32_t>(g.scene.bonus_types[type].duration);
        if (g.scene.bonus_types[type].mode == 1) {
          e.stage = 1;
        } else {
          e.stage = 2;
          e.start_time = now;
          SetPicVisible(ctx, e.icon, false);
        }
        StartBonus(ctx, e);
      }
    }
    if (play.bonuses[idx].type == -1) continue;
    if (play.bonuses[idx].stage == 1) {
      const BonusEntry& e = play.bonuses[idx];
      if (now > e.expiry) {
        EndBonus(ctx, e.type);
      } else if (i < 6) {
        const int duration = g.scene.bonus_types[e.type].duration;
        // A zero duration (option 0) would divide by zero: the bar is simply empty.
        const double x = duration > 0 ? kSlotBarEmptyX + double{kSlotBarFullX - kSlotBarEmptyX} *
                                                             (e.expiry - now) / duration
                                      : kSlotBarEmptyX;
        SlotBar(ctx, i, x, 0x00FF00);
      }
    } else if (play.bonuses[idx].stage == 2) {
      const BonusEntry& e = play.bonuses[idx];
      if (now > e.start_time && e.type != 8) EndBonus(ctx, e.type);
    }
  }
}

void EndBonus(Context& ctx, int type) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (type < 1 || type > 10) return;
  for (std::size_t i = 0; i < play.bonuses.size(); ++i) {
    BonusEntry& e = play.bonuses[i];
    if (e.type != type || (e.stage != 1 && e.stage != 2)) continue;
    e.type = -1;
    FreePic(ctx, e.icon);
    if (i < 6 && ctx.game.run.port)
      ctx.game.run.port->SetSlotBarX(ctx, static_cast<int>(i), kSlotBarEmptyX);
  }
  if (type == 2) {
    play.cursor_idle_variant = 0;
    Cursor(ctx, 0);
  }
  if (type == 5) play.freeze = false;
  if (type == 7 && play.walls.target == 2) {
    play.walls.target = 11;
    play.walls.direction = 1;
    play.walls.next_time = 0;
  }
  g.scene.bonus_types[type].active = false;
}

void EndAllBonuses(Context& ctx) {
  for (int t = 1; t <= 10; ++t) EndBonus(ctx, t);
  for (std::size_t i = 0; i < ctx.game.play.bonuses.size(); ++i) {
    BonusEntry& e = ctx.game.play.bonuses[i];
    if (i < 6) FreePic(ctx, e.icon);
    e.type = -1;
  }
}

void TargetTracerStep(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (play.ball_in_flight) {
    SetPicVisible(ctx, play.tracer, false);
    return;
  }
  if (play.path.length > 0 && g.scene.bonus_types[2].active) {
    if (play.tracer == kNoPic) {
      play.tracer = MakePic(ctx, "graphics\\bonuses\\target.spr", "trasser");
      SetPicZ(ctx, play.tracer, kTracerZ);
    }
    const PathPoint& p = play.path.points[static_cast<std::size_t>(play.path.length - 1)];
    SetPicPos(ctx, play.tracer, p.x, p.y);
    SetPicVisible(ctx, play.tracer, true);
  } else {
    SetPicVisible(ctx, play.tracer, false);
  }
}

void ColourBombBlast(Context& ctx, int c, int r, int paint) {
  BallField& f = ctx.game.play.field;
  for (const CellRef& n : Neighbours(f, c, r)) {
    if (!BallField::InRange(n.col, n.row)) continue;
    FieldCell& cell = f.at(n.col, n.row);
    if (!IsBall(cell.kind)) continue;
    if (cell.marks == 0) cell.marks = 1;
    if (cell.kind != ColourBall(paint)) continue;
    for (const CellRef& m : Neighbours(f, n.col, n.row)) {
      if (!BallField::InRange(m.col, m.row)) continue;
      FieldCell& other = f.at(m.col, m.row);
      if (IsBall(other.kind) && other.marks == 0) other.marks = 1;
    }
  }
}

void BigBombBlast(Context& ctx, int c, int r, int radius) {
  BallField& f = ctx.game.play.field;
  auto hit = [&](int col, int row) {
    if (!BallField::InRange(col, row)) return;
    const BallKind kind = f.at(col, row).kind;
    if (IsBall(kind)) ColourFill(ctx, col, row, kind);
  };
  for (int n = 1; n <= radius; ++n) {
    hit(c - n, r);
    hit(c + n, r);
  }
  for (int n = 1; n <= radius; ++n) {
    for (int col = c - n; col <= c + n; ++col) hit(col, r - n);
    for (int col = c - n; col <= c + n; ++col) hit(col, r + n);
  }
}

void BombStep(Context& ctx) {
  LevelPlay& play = ctx.game.play;
  if (play.bomb_timer == 0 || !(GameNow(ctx) > play.bomb_timer) || play.shot != nullptr) return;
  play.bomb_timer = 0;
  play.scoring.match_count = 0;
  BallField& f = play.field;
  for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      FieldCell& cell = f.at(c, r);
      if (!IsBomb(cell.kind)) continue;
      const double x = CellX(f, c, r);
      const double y = CellY(f, c, r);
      if (cell.kind == BallKind::ColourBomb) {
        PlayGameSample(ctx, "sample_explosion_middle_bomb");
        ColourBombBlast(ctx, c, r, cell.paint);
        cell.kind = BallKind::Empty;
        cell.bonus = 0;
        FreePic(ctx, cell.sprite);
        for (int i = 0; i < kColourBombSparks; ++i) CreateParticle(ctx, kParticleSpark, x, y);
      } else {
        StopGameChannel(ctx, play.channels.fuse);
        PlayGameSample(ctx, "sample_explosion_big_bomb");
        BigBombBlast(ctx, c, r, ctx.options.bigbomb_radius);
        cell.kind = BallKind::Empty;
        cell.bonus = 0;
        FreePic(ctx, cell.sprite);
        for (int j = 0; j < kBigBombSparks; ++j) {
          const double a = 2 * kPi * j / kBigBombSparks;
          const double dist = kSparkRingMin + ctx.random.Next(kSparkRingSpread);
          CreateParticle(ctx, kParticleSpark, x + std::cos(a) * dist, y + std::sin(a) * dist);
        }
      }
    }
  }
  SetPopupPoint(ctx);
  ExplodeMarked(ctx);
  const int second = ExplodeMarked(ctx);
  const int n = play.scoring.match_count + second;
  const bool joy = JoySound(ctx, n, false);
  const int d = Drop(ctx, true);
  if (!joy) JoySound(ctx, d, true);
  ScoreEvent(ctx, n, d, false);
}

void LaunchRocket(Context& ctx, BallKind current_kind) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (play.mounted_rockets < 1) return;
  PlayGameSample(ctx, "sample_rocket_launch");
  play.mounted_rockets -= 1;
  ShowRockets(ctx);
  const double a = -g.scene.aim.angle - kPi / 2;
  const double a2 = play.mounted_rockets == 1 ? a + 0.433 : a - 0.433;
  const double x = std::cos(a2) * kPodDistance + 386.5;
  const double y = std::sin(a2) * kPodDistance + 541.5;

  std::size_t i = 0;
  while (i < play.rockets.size() && play.rockets[i] != nullptr) ++i;
  if (i == play.rockets.size()) play.rockets.push_back(nullptr);
  TPaintRocket* rocket = CreateMultiSpriteOf<TPaintRocket>(ctx, "graphics\\rocket\\rocket.spr");
  play.rockets[i] = rocket;
  rocket->tag = "rocket";
  rocket->x = x;
  rocket->y = y;
  rocket->angle = g.scene.aim.angle;
  rocket->vx = 4 * std::cos(a);
  rocket->vy = 4 * std::sin(a);
  rocket->rocket_index = static_cast<int>(i);
  rocket->launch_angle = g.scene.aim.angle;
  rocket->paint =
      IsColour(current_kind) ? ColourOf(current_kind) : ctx.random.Next(kBallColours) + 1;
}

void DestroyRocket(Context& ctx, int index) {
  auto& rockets = ctx.game.play.rockets;
  if (index < 0 || static_cast<std::size_t>(index) >= rockets.size()) return;
  TPaintRocket* rocket = rockets[static_cast<std::size_t>(index)];
  rockets[static_cast<std::size_t>(index)] = nullptr;
  DestroyMultiSprite(ctx, rocket);
}

void MoveRocket(Context& ctx, int index) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (index < 0 || static_cast<std::size_t>(index) >= play.rockets.size()) return;
  TPaintRocket* rocket = play.rockets[static_cast<std::size_t>(index)];
  if (!rocket) return;
  BallField& f = play.field;
  const int paint = rocket->paint;

  const int gr = RoundEven((kRowZeroY - f.offset - rocket->y - kRocketRowBias) / kRowPitch);
  for (int r = gr - 1; r <= gr + 1; ++r) {
    if (r < kFieldRowMin || r > kFieldRowMax) continue;
    const int shift = f.code(r) == kNarrowRowCode ? kBallSize / 2 : 0;
    const int h = RoundEven((rocket->x - kRocketColumnOrigin - shift) / kBallSize);
    for (int c = h - 1; c <= h + 1; ++c) {
      if (c < 0 || c >= kFieldCols) continue;
      FieldCell& cell = f.at(c, r);
      if (!IsColour(cell.kind) || ColourOf(cell.kind) == paint) continue;
      cell.kind = ColourBall(paint);
      const double bx = PicX(ctx, cell.sprite);
      const double by = PicY(ctx, cell.sprite);
      const double old_speed = PartAnimSpeed(ctx, cell.sprite, 1);
      FreePic(ctx, cell.sprite);
      cell.sprite = MakePic(ctx, BallSpritePath(ColourBall(paint)), "balls");
      SetPicPos(ctx, cell.sprite, bx, by);
      if (cell.bonus != 0) {
        SetPartAnimSpeed(ctx, cell.sprite, 1, old_speed);
        SetPartAnimPos(ctx, cell.sprite, 2, cell.bonus - 1);
      } else {
        SetPartAnimSpeed(ctx, cell.sprite, 1, 0);
      }
      for (int i = 0; i < 12; ++i) {
        const int slot = CreateParticle(ctx, kParticleDust, bx, by);
        SetPicColor(ctx, g.run.particles.slots[static_cast<std::size_t>(slot)].sprite,
                    BallTint(paint));
      }
    }
  }

  rocket->x += rocket->vx;
  rocket->y += rocket->vy;
  const double b = -rocket->launch_angle - kPi / 2;
  const double tail_x = rocket->x - kTailAcross * std::cos(b);
  const double tail_y = rocket->y - kTailAlong * std::sin(b);
  if (rocket->y >= kFlightCeiling && rocket->x >= LeftWall(f.margin) &&
      rocket->x <= RightWall(f.margin)) {
    CreateParticle(ctx, kParticleSmoke, tail_x, tail_y);
    rocket->Update();
  } else {
    for (int i = 0; i < kRocketEndSparks; ++i) CreateParticle(ctx, kParticleSpark, tail_x, tail_y);
    DestroyRocket(ctx, index);
  }
}

void MoveRockets(Context& ctx) {
  const int n = static_cast<int>(ctx.game.play.rockets.size());
  for (int i = 0; i < n; ++i) MoveRocket(ctx, i);
}

int LiveRockets(const Context& ctx) {
  int n = 0;
  for (const TPaintRocket* r : ctx.game.play.rockets) n += r != nullptr ? 1 : 0;
  return n;
}

void StartCrystalFlight(Context& ctx, double x, double y) {
  GameState& g = ctx.game;
  CrystalState& cs = g.play.crystals;
  PlayGameSample(ctx, "sample_crystal");
  std::size_t i = 0;
  while (i < cs.flights.size() && cs.flights[i].sprite != kNoPic) ++i;
  if (i == cs.flights.size()) cs.flights.emplace_back();
  CrystalFlight& fl = cs.flights[i];
  fl.sprite = MakePic(ctx, "graphics\\crystals\\crystal1.spr", "crystal_st");
  SetPicPos(ctx, fl.sprite, x, y);
  SetPicZ(ctx, fl.sprite, kCrystalFlightZ);
  fl.target_x = kCrystalColumnX;
  fl.target_y = kCrystalColumnBottomY - 36.0 * cs.launched;
  fl.vx = (kCrystalColumnX - x) / kFlightFrames;
  fl.vy = (fl.target_y - y) / kFlightFrames;
  cs.launched += 1;
  cs.freed += 1;
  for (int k = 0; k < 10; ++k) {
    const double a = 2 * kPi * k / 10;
    const double px = x + std::cos(a) * (10 + ctx.random.Next(10));
    const double py = y + std::sin(a) * (10 + ctx.random.Next(10));
    CreateParticle(ctx, kParticleLinePiece, px, py);
  }
}

void CrystalFlightStep(Context& ctx) {
  GameState& g = ctx.game;
  for (CrystalFlight& fl : g.play.crystals.flights) {
    if (fl.sprite == kNoPic || fl.target_x == 0) continue;
    const int slot = CreateParticle(ctx, kParticleGlow, PicX(ctx, fl.sprite), PicY(ctx, fl.sprite));
    SetPicZ(ctx, g.run.particles.slots[slot].sprite, PicZ(ctx, fl.sprite) - 1);
    const double x = PicX(ctx, fl.sprite) + fl.vx;
    const double y = PicY(ctx, fl.sprite) + fl.vy;
    SetPicPos(ctx, fl.sprite, x, y);
    if (x >= fl.target_x) {
      SetPicPos(ctx, fl.sprite, fl.target_x, fl.target_y);
      fl.target_x = 0;
      g.play.crystals.arrived += 1;
    }
  }
}

void DestroyAllRockets(Context& ctx) {
  for (std::size_t i = 0; i < ctx.game.play.rockets.size(); ++i) {
    DestroyRocket(ctx, static_cast<int>(i));
  }
  ctx.game.play.rockets.clear();
}

void ClearCrystalFlights(Context& ctx) {
  CrystalState& cs = ctx.game.play.crystals;
  for (CrystalFlight& fl : cs.flights) FreePic(ctx, fl.sprite);
  cs.flights.clear();
  cs.launched = 0;
  cs.arrived = 0;
}

}  // namespace qv
