#include "game/autoplay.h"

#include <algorithm>
#include <cmath>

#include "base/random.h"
#include "context.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/player_models.h"
#include "game/scene_port.h"
#include "game/shot.h"
#include "platform/window.h"
#include "scene/pictures.h"
#include "shell/frame.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMatched = 1000;
// A bomb scores below any match but above any miss, more the more balls it reaches.
constexpr int kBombPlace = 300;
// The cannon's raising animation ends on this step; it shoots only then.
constexpr int kCannonRaised = 31;
// The high-score table after a game ends is closed by a click here.
constexpr int kScoresCloseX = 400;
constexpr int kScoresCloseY = 492;

std::size_t Index(int c, int r) {
  return static_cast<std::size_t>((r + 1) * kFieldCols + c);
}

// Flood of `kind` from the target cell (which holds the new ball); marks the group gone.
int Group(GameState& g, int c0, int r0, BallKind kind) {
  AutoplayState& b = g.run.bot;
  const BallField& f = g.play.field;
  const std::uint32_t mark = ++b.stamp;
  int head = 0, tail = 0, n = 0;
  b.queue[static_cast<std::size_t>(tail++)] = static_cast<std::int16_t>(Index(c0, r0));
  b.seen[Index(c0, r0)] = mark;
  while (head < tail) {
    const int i = b.queue[static_cast<std::size_t>(head++)];
    const int c = i % kFieldCols, r = i / kFieldCols - 1;
    ++n;
    b.gone[static_cast<std::size_t>(i)] = mark;
    for (const CellRef& nb : Neighbours(f, c, r)) {
      if (!BallField::InRange(nb.col, nb.row)) continue;
      const std::size_t j = Index(nb.col, nb.row);
      if (b.seen[j] == mark) continue;
      const BallKind k = f.at(nb.col, nb.row).kind;
      if (k != kind && k != BallKind::Multiball) continue;
      b.seen[j] = mark;
      b.queue[static_cast<std::size_t>(tail++)] = static_cast<std::int16_t>(j);
    }
  }
  return n;
}

// What would fall once the cells marked gone (stamp `group`) are removed: balls and crystals.
void Falls(GameState& g, std::uint32_t group, int& balls, int& crystals) {
  AutoplayState& b = g.run.bot;
  const BallField& f = g.play.field;
  const std::uint32_t mark = ++b.stamp;
  int head = 0, tail = 0;
  const int anchor = std::min(f.top_rows - 1, kFieldRowMax);
  auto present = [&](int c, int r) {
    return f.at(c, r).kind != BallKind::Empty && b.gone[Index(c, r)] != group;
  };
  for (int c = 0; c < kFieldCols; ++c) {
    if (!present(c, anchor)) continue;
    b.seen[Index(c, anchor)] = mark;
    b.queue[static_cast<std::size_t>(tail++)] = static_cast<std::int16_t>(Index(c, anchor));
  }
  while (head < tail) {
    const int i = b.queue[static_cast<std::size_t>(head++)];
    const int c = i % kFieldCols, r = i / kFieldCols - 1;
    for (const CellRef& nb : Neighbours(f, c, r)) {
      if (!BallField::InRange(nb.col, nb.row) || !present(nb.col, nb.row)) continue;
      const std::size_t j = Index(nb.col, nb.row);
      if (b.seen[j] == mark) continue;
      b.seen[j] = mark;
      b.queue[static_cast<std::size_t>(tail++)] = static_cast<std::int16_t>(j);
    }
  }
  balls = 0;
  crystals = 0;
  for (int r = kFieldRowMin; r <= anchor; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      if (!present(c, r) || b.seen[Index(c, r)] == mark) continue;
      if (f.at(c, r).kind == BallKind::Crystal) {
        ++crystals;
      } else {
        ++balls;
      }
    }
  }
}

// How good it is for a ball of `kind` to settle in (c, r).
double Judge(GameState& g, BallKind kind, int c, int r) {
  const BallField& f = g.play.field;
  double best = -1e9;
  // The kinds the ball may match: its own, or for a multiball each colour around it.
  BallKind colours[kBallColours + 1] = {kind};
  int count = 1;
  if (kind == BallKind::Multiball) {
    count = 0;
    for (const CellRef& nb : Neighbours(f, c, r)) {
      if (!BallField::InRange(nb.col, nb.row)) continue;
      const BallKind k = f.at(nb.col, nb.row).kind;
      if (IsColour(k) && std::find(colours, colours + count, k) == colours + count) {
        colours[count++] = k;
      }
    }
  }
  if (IsBomb(kind)) {
    int near = 0;
    for (const CellRef& nb : Neighbours(f, c, r)) {
      if (BallField::InRange(nb.col, nb.row) && f.at(nb.col, nb.row).kind != BallKind::Empty)
        ++near;
    }
    return kBombPlace + 40.0 * near + r;
  }
  for (int i = 0; i < count; ++i) {
    const int n = Group(g, c, r, colours[i]);
    double score;
    if (n >= 3) {
      int balls = 0, crystals = 0;
      Falls(g, g.run.bot.stamp, balls, crystals);
      score = kMatched + 10.0 * n + 15.0 * balls + 400.0 * crystals;
    } else {
      score = 40.0 * (n - 1) + 2.0 * r;
    }
    best = std::max(best, score);
  }
  if (count == 0) best = 2.0 * r;
  return best;
}

// What bounds a weaker player's look at the field on one shot (none for perfect).
struct Search {
  const PlayerModel& model;
  Random& rng;
  bool banks = true;  // wall shots considered
};

// The planned path's length in pixels from the cannon, and whether it turns off a wall.
void Trace(const ShotPath& path, double x0, double y0, double& reach, bool& bank) {
  reach = 0;
  bank = false;
  double px = x0, py = y0;
  int dir = 0;
  for (int i = 0; i < path.length; ++i) {
    const PathPoint& p = path.points[static_cast<std::size_t>(i)];
    reach += std::hypot(p.x - px, p.y - py);
    const int d = p.x > px ? 1 : (p.x < px ? -1 : 0);
    if (d != 0) {
      if (dir != 0 && d != dir) bank = true;
      dir = d;
    }
    px = p.x;
    py = p.y;
  }
}

// The best pointer positions for a ball of `kind` and, when `other` is not null, for a ball of
// `other_kind` over the same paths: the paths cost far more than judging them, and the swap
// question needs both (the aim is restored afterwards). A `search` starts its sweep at a random
// place and may skip wall shots and stop after a few matching places, as a person looks.
AimChoice Best(Context& ctx, BallKind kind, BallKind other_kind = BallKind::Empty,
               AimChoice* other = nullptr, Search* search = nullptr) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  const AimState saved = g.scene.aim;
  AimChoice best;
  constexpr int kY = 330;
  constexpr int kFirstX = 2, kStepX = 3;
  constexpr int kPaths = (kScreenWidth - kFirstX + kStepX - 1) / kStepX;
  const int first = search ? search->rng.Next(kPaths) : 0;
  int places = 0, last_col = -1, last_row = -1;
  for (int i = 0; i < kPaths; ++i) {
    const int x = kFirstX + kStepX * ((first + i) % kPaths);
    g.scene.aim.cannon_turning = false;
    AimUpdate(ctx, x, kY, kScreenWidth, kScreenHeight);
    if (!PlanShot(ctx, RoundEven(g.scene.aim.start_x), RoundEven(g.scene.aim.start_y),
                  g.scene.aim.vx, g.scene.aim.vy)) {
      continue;
    }
    double reach = 0;
    bool bank = false;
    if (search) {
      Trace(play.path, g.scene.aim.start_x, g.scene.aim.start_y, reach, bank);
      if (bank && !search->banks) continue;
    }
    // Near-equal choices go to the middle, where a slightly wrong aim still lands.
    const double bias = -std::abs(x - kScreenWidth / 2) * 0.001;
    const double score = Judge(g, kind, play.path.target_col, play.path.target_row) + bias;
    if (search && search->model.groups_seen > 0 && score >= kMatched &&
        (play.path.target_col != last_col || play.path.target_row != last_row)) {
      last_col = play.path.target_col;
      last_row = play.path.target_row;
      if (++places > search->model.groups_seen) break;
    }
    if (score > best.score) best = {x, kY, score, reach, bank};
    if (other) {
      const double alt = Judge(g, other_kind, play.path.target_col, play.path.target_row) + bias;
      if (alt > other->score) *other = {x, kY, alt, reach, bank};
    }
  }
  g.scene.aim = saved;
  if (g.run.port) g.run.port->SetAimRotation(ctx, saved.angle);
  return best;
}

// A weaker player's sweep: wall shots as the model allows them.
AimChoice Look(Context& ctx, Search& search, BallKind kind, BallKind other_kind, AimChoice* other) {
  const PlayerModel& m = search.model;
  search.banks = m.banks == BankUse::Always ||
                 (m.banks == BankUse::Rarely && search.rng.NextReal() < m.bank_chance);
  const AimChoice saved_other = other ? *other : AimChoice{};
  AimChoice best = Best(ctx, kind, other_kind, other, &search);
  if (m.banks == BankUse::WhenStuck && best.score < kMatched) {
    search.banks = true;
    if (other) *other = saved_other;
    best = Best(ctx, kind, other_kind, other, &search);
  }
  return best;
}

// A unit normal draw (Box-Muller).
double Normal(Random& rng) {
  const double u1 = 1.0 - rng.NextReal();  // (0, 1]
  const double u2 = rng.NextReal();
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

// Where the hand puts the pointer for `aim`: off its angle about the cannon by the model's
// spread, which grows with the path's length and off the walls.
AimChoice Miss(const AimChoice& aim, const PlayerModel& m, Random& rng) {
  double sd = m.aim_sd + m.aim_sd_per_100px * aim.reach / 100.0;
  if (aim.bank) sd *= m.bank_sd_factor;
  if (sd <= 0) return aim;
  const double dx = aim.x - kCannonBall.x, dy = aim.y - kCannonBall.y;
  const double r = std::hypot(dx, dy);
  const double angle = std::atan2(dx, -dy) + Normal(rng) * sd * kPi / 180.0;
  AimChoice out = aim;
  out.x = std::clamp(static_cast<int>(std::lround(kCannonBall.x + r * std::sin(angle))), 0,
                     kScreenWidth - 1);
  out.y = std::clamp(static_cast<int>(std::lround(kCannonBall.y - r * std::cos(angle))), 0,
                     kScreenHeight - 1);
  return out;
}

// A click on the centre of a picture (or at x, y for kNoPic).
PlayerClick ClickOn(const Context& ctx, PicId pic, int x, int y, int button) {
  if (const TMultiSprite* m = Pic(ctx, pic)) {
    x = static_cast<int>(m->x) + std::max(m->width, 8) / 2;
    y = static_cast<int>(m->y) + std::max(m->height, 8) / 2;
  }
  return {true, x, y, button};
}

}  // namespace

AimChoice ChooseAim(Context& ctx) {
  return Best(ctx, ctx.game.play.current_ball.kind);
}

AimChoice ChooseAim(Context& ctx, const PlayerModel& model, Random& rng) {
  if (model.skill == AutoplaySkill::Perfect) return ChooseAim(ctx);
  Search search{model, rng};
  return Miss(Look(ctx, search, ctx.game.play.current_ball.kind, BallKind::Empty, nullptr), model,
              rng);
}

PlayerClick ChooseClick(Context& ctx) {
  Random unused;
  return ChooseClick(ctx, ModelFor(AutoplaySkill::Perfect), unused);
}

PlayerClick ChooseClick(Context& ctx, const PlayerModel& model, Random& rng) {
  const bool perfect = model.skill == AutoplaySkill::Perfect;
  if (ctx.shell.flow.scene != SceneId::Game || ctx.shell.flow.pending_scene != SceneId::None) {
    return {};
  }
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  // Nothing while a request waits; at a game's start that includes the menu's none, until the
  // game frame's first command step leaves its own.
  if (ctx.shell.flow.command != GameCommand::None) return {};
  const HudState& h = g.scene.hud;
  switch (play.end_phase) {
    case EndPhase::Playing: {
      const bool ready = play.hud.cannon_step >= kCannonRaised && !play.lv.start_flag &&
                         !play.walls.moving && !play.ball_in_flight && play.climb_remaining == 0 &&
                         play.shot == nullptr;
      if (!ready) return {};
      const bool may_swap = play.mounted_rockets == 0 && play.next_ball.kind != BallKind::Empty &&
                            model.swaps != SwapUse::Never;
      AimChoice next;
      Search search{model, rng};
      const AimChoice now = perfect ? Best(ctx, play.current_ball.kind, play.next_ball.kind,
                                           may_swap ? &next : nullptr)
                                    : Look(ctx, search, play.current_ball.kind, play.next_ball.kind,
                                           may_swap ? &next : nullptr);
      if (play.mounted_rockets > 0 && now.score < kMatched && model.uses_rockets) {
        // A paint rocket where nothing matches.
        const AimChoice at = perfect ? now : Miss(now, model, rng);
        return ClickOn(ctx, kNoPic, at.x, at.y, platform::kMouseRight);
      }
      const double gain = model.swaps == SwapUse::ClearlyBetter ? model.swap_margin : 0.0;
      if (may_swap && now.score < kMatched && next.score >= kMatched + gain) {
        return ClickOn(ctx, kNoPic, next.x, next.y, platform::kMouseRight);  // swap first
      }
      const AimChoice at = perfect ? now : Miss(now, model, rng);
      return ClickOn(ctx, kNoPic, at.x, at.y, platform::kMouseLeft);
    }
    case EndPhase::GameOverNotice:
      return ClickOn(ctx, h.over_ok, 0, 0, platform::kMouseLeft);
    case EndPhase::Statistics:
      return ClickOn(ctx, h.stat_ok, 0, 0, platform::kMouseLeft);
    case EndPhase::HighScoreTable:
      return ClickOn(ctx, kNoPic, kScoresCloseX, kScoresCloseY, platform::kMouseLeft);
    case EndPhase::TryAgain:
      return ClickOn(ctx, h.retry_ok, 0, 0, platform::kMouseLeft);
    case EndPhase::ExitQuestion:
      return ClickOn(ctx, h.exit_no, 0, 0, platform::kMouseLeft);
    default:
      return {};
  }
}

}  // namespace qv
