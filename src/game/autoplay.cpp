#include "game/autoplay.h"

#include <algorithm>
#include <cmath>

#include "context.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/pictures.h"
#include "game/scene_port.h"
#include "game/shot.h"
#include "platform/window.h"
#include "shell/events.h"
#include "shell/frame.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

constexpr int kMatched = 1000;

std::size_t Index(int c, int r) {
  return static_cast<std::size_t>((r + 1) * kFieldCols + c);
}

bool IsColour(int kind) {
  return kind >= 1 && kind <= 7;
}

// Flood of `colour` from the target cell (which holds the new ball); marks the group gone.
int Group(GameState& g, int c0, int r0, int colour) {
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
      const int k = f.at(nb.col, nb.row).kind;
      if (k != colour && k != kKindMultiball) continue;
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
  auto present = [&](int c, int r) { return f.at(c, r).kind != 0 && b.gone[Index(c, r)] != group; };
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
      if (f.at(c, r).kind == kKindCrystal) {
        ++crystals;
      } else {
        ++balls;
      }
    }
  }
}

// How good it is for a ball of `kind` to settle in (c, r).
double Judge(GameState& g, int kind, int c, int r) {
  const BallField& f = g.play.field;
  double best = -1e9;
  int colours[8] = {kind, 0, 0, 0, 0, 0, 0, 0};
  int count = 1;
  if (kind == kKindMultiball) {
    count = 0;
    for (const CellRef& nb : Neighbours(f, c, r)) {
      if (!BallField::InRange(nb.col, nb.row)) continue;
      const int k = f.at(nb.col, nb.row).kind;
      if (IsColour(k) && std::find(colours, colours + count, k) == colours + count) {
        colours[count++] = k;
      }
    }
  }
  if (kind == kKindColourBomb || kind == kKindBigBomb) {
    int near = 0;
    for (const CellRef& nb : Neighbours(f, c, r)) {
      if (BallField::InRange(nb.col, nb.row) && f.at(nb.col, nb.row).kind != 0) ++near;
    }
    return 300 + 40.0 * near + r;
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

// The best pointer positions for a ball of `kind` and, when `other` is not null, for a ball of
// `other_kind` over the same paths: the paths cost far more than judging them, and the swap
// question needs both (the aim is restored afterwards).
AimChoice Best(Context& ctx, int kind, int other_kind = 0, AimChoice* other = nullptr) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  const AimState saved = g.scene.aim;
  AimChoice best;
  constexpr int kY = 330;
  for (int x = 2; x < kScreenWidth; x += 3) {
    g.scene.aim.cannon_turning = false;
    AimUpdate(ctx, x, kY, kScreenWidth, kScreenHeight);
    if (!PlanShot(ctx, RoundEven(g.scene.aim.start_x), RoundEven(g.scene.aim.start_y),
                  g.scene.aim.vx, g.scene.aim.vy)) {
      continue;
    }
    // Near-equal choices go to the middle, where a slightly wrong aim still lands.
    const double bias = -std::abs(x - 400) * 0.001;
    const double score = Judge(g, kind, play.path.target_col, play.path.target_row) + bias;
    if (score > best.score) best = {x, kY, score};
    if (other) {
      const double alt = Judge(g, other_kind, play.path.target_col, play.path.target_row) + bias;
      if (alt > other->score) *other = {x, kY, alt};
    }
  }
  g.scene.aim = saved;
  if (g.run.port) g.run.port->SetAimRotation(ctx, saved.angle);
  return best;
}

void PointerTo(Context& ctx, int x, int y) {
  if (ctx.platform.window) ctx.platform.window->SetPointer(x, y);
  platform::WindowEvent e;
  e.type = platform::WindowEvent::Type::MouseMove;
  DispatchWindowEvent(ctx, e);
}

void Button(Context& ctx, bool down, int button) {
  platform::WindowEvent e;
  e.type = down ? platform::WindowEvent::Type::MouseDown : platform::WindowEvent::Type::MouseUp;
  e.button = button;
  DispatchWindowEvent(ctx, e);
}

// Starts a click on the centre of a picture (or at x, y for pic -1).
void Aim(Context& ctx, PicId pic, int x, int y, int button) {
  AutoplayState& b = ctx.game.run.bot;
  if (const TMultiSprite* m = Pic(ctx, pic)) {
    x = static_cast<int>(m->x) + std::max(m->width, 8) / 2;
    y = static_cast<int>(m->y) + std::max(m->height, 8) / 2;
  }
  b.x = x;
  b.y = y;
  b.button = button;
  PointerTo(ctx, x, y);
  b.stage = 1;
  b.wait = 3;
}

}  // namespace

AimChoice ChooseAim(Context& ctx) {
  return Best(ctx, ctx.game.play.current_ball.kind);
}

void AutoplayStep(Context& ctx) {
  if (!ctx.shell.run.autoplay || ctx.shell.flow.scene != SceneId::Game ||
      ctx.shell.flow.pending_scene != SceneId::None) {
    return;
  }
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  AutoplayState& b = g.run.bot;
  ShellState& s = ctx.shell;
  if (b.wait > 0) {
    --b.wait;
    return;
  }
  if (b.stage == 1) {
    Button(ctx, true, b.button);
    b.stage = 2;
    b.wait = 1;
    return;
  }
  if (b.stage == 2) {
    Button(ctx, false, b.button);
    b.stage = 0;
    b.wait = 4;
    return;
  }
  // Nothing while a request waits; at a game's start that includes the menu's none, until the
  // game frame's first command step leaves its own.
  if (s.flow.command != GameCommand::None) return;
  const HudState& h = g.scene.hud;
  switch (play.end_phase) {
    case EndPhase::Playing: {
      const bool ready = play.hud.cannon_step >= 31 && !play.lv.start_flag && !play.walls.moving &&
                         !play.ball_in_flight && play.climb_remaining == 0 && play.shot == nullptr;
      if (!ready) return;
      const bool may_swap = play.mounted_rockets == 0 && play.next_ball.kind != 0;
      AimChoice next;
      const AimChoice now =
          Best(ctx, play.current_ball.kind, play.next_ball.kind, may_swap ? &next : nullptr);
      if (play.mounted_rockets > 0 && now.score < kMatched) {
        // A paint rocket where nothing matches.
        Aim(ctx, kNoPic, now.x, now.y, platform::kMouseRight);
        return;
      }
      if (may_swap && now.score < kMatched) {
        if (next.score >= kMatched) {
          Aim(ctx, kNoPic, next.x, next.y, platform::kMouseRight);  // swap first
          return;
        }
      }
      Aim(ctx, kNoPic, now.x, now.y, platform::kMouseLeft);
      return;
    }
    case EndPhase::GameOverNotice:
      Aim(ctx, h.over_ok, 0, 0, platform::kMouseLeft);
      return;
    case EndPhase::Statistics:
      Aim(ctx, h.stat_ok, 0, 0, platform::kMouseLeft);
      return;
    case EndPhase::HighScoreTable:
      Aim(ctx, kNoPic, 400, 492, platform::kMouseLeft);
      return;
    case EndPhase::TryAgain:
      Aim(ctx, h.retry_ok, 0, 0, platform::kMouseLeft);
      return;
    case EndPhase::ExitQuestion:
      Aim(ctx, h.exit_no, 0, 0, platform::kMouseLeft);
      return;
    default:
      return;
  }
}

}  // namespace qv
