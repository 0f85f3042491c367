#include "game/shot.h"

#include <cmath>

#include "game/particles.h"
#include "game_fixture.h"

namespace qv::test {
namespace {

class ShotTest : public GameTest {
 protected:
  // Aims at the mouse with no cannon turning and returns the plan's result.
  bool AimAndPlan(int mouse_x, int mouse_y) {
    AimUpdate(ctx, mouse_x, mouse_y, 800, 600);
    const AimState& a = ctx.game.scene.aim;
    return PlanShot(ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy);
  }
  const PathPoint& Last() const {
    return ctx.game.play.path.points[static_cast<std::size_t>(ctx.game.play.path.length - 1)];
  }
};

TEST_F(ShotTest, StraightUpStartsAboveTheCannon) {
  AimUpdate(ctx, 400, 300, 800, 600);
  EXPECT_EQ(ctx.game.scene.aim.angle, 0);
  EXPECT_EQ(ctx.game.scene.aim.start_x, 384);
  EXPECT_EQ(ctx.game.scene.aim.start_y, 449);
  EXPECT_NEAR(ctx.game.scene.aim.vx, 0, 1e-12);
  EXPECT_DOUBLE_EQ(ctx.game.scene.aim.vy, -5);
}

TEST_F(ShotTest, MouseRightOfPivotTurnsRightAndAimIsClamped) {
  AimUpdate(ctx, 500, 465, 800, 600);  // 100 right, 100 up: -45 degrees
  EXPECT_NEAR(ctx.game.scene.aim.angle, -M_PI / 4, 1e-12);
  EXPECT_NEAR(port.aim, -M_PI / 4, 1e-12);
  AimUpdate(ctx, 10, 560, 800, 600);  // far left, just above the pivot
  EXPECT_DOUBLE_EQ(ctx.game.scene.aim.angle, kMaxAim);
  // At or below y 565, or outside the window, the angle stays.
  AimUpdate(ctx, 700, 565, 800, 600);
  EXPECT_DOUBLE_EQ(ctx.game.scene.aim.angle, kMaxAim);
  AimUpdate(ctx, 900, 100, 800, 600);
  EXPECT_DOUBLE_EQ(ctx.game.scene.aim.angle, kMaxAim);
}

TEST_F(ShotTest, TurningCannonMovesATenthOfARadianPerFrame) {
  AimUpdate(ctx, 10, 300, 800, 600);
  const double left = ctx.game.scene.aim.angle;  // atan(390 / 265), about 0.974
  ctx.game.scene.aim.cannon_turning = true;
  AimUpdate(ctx, 790, 300, 800, 600);
  EXPECT_NEAR(ctx.game.scene.aim.angle, left - 0.1, 1e-12);
  AimUpdate(ctx, 790, 300, 800, 600);
  EXPECT_NEAR(ctx.game.scene.aim.angle, left - 0.2, 1e-12);
  int frames = 2;
  while (ctx.game.scene.aim.cannon_turning && frames < 100) {
    AimUpdate(ctx, 790, 300, 800, 600);
    ++frames;
  }
  EXPECT_NEAR(ctx.game.scene.aim.angle, -left, 1e-12);
  EXPECT_EQ(frames, 20);  // 19 steps of 0.1, then within 0.1 of the mouse it follows it
}

TEST_F(ShotTest, VerticalShotIntoEmptyFieldHasNoTargetAndVanishes) {
  EXPECT_FALSE(AimAndPlan(400, 300));
  const ShotPath& path = ctx.game.play.path;
  EXPECT_EQ(path.target_col, -1);
  ASSERT_GT(path.length, 100);
  EXPECT_EQ(path.points[0].x, 384);
  EXPECT_EQ(path.points[0].y, 449);
  EXPECT_EQ(path.points[1].y, 449 - 16);
  EXPECT_LT(Last().y, -2650);
  Fire(ctx, ColourBall(2), 0, 0);
  EXPECT_EQ(port.Count("sample_shot1"), 1);
  int frames = 0;
  while (ctx.game.play.shot->y > -2700 && frames < 1000) {
    MoveShotBall(ctx);
    ++frames;
  }
  // Points lie 26 sub-steps (16.25 px) apart: point 28 (at -6) is the first above -1.
  EXPECT_EQ(frames, 29);
  EXPECT_EQ(ctx.game.play.shot->y, -5400);
  EXPECT_EQ(Balls(), 0);
}

TEST_F(ShotTest, UpwardVelocityIsRequired) {
  EXPECT_FALSE(PlanShot(ctx, 384, 449, 3, 0));
  EXPECT_EQ(ctx.game.play.path.length, 0);
  EXPECT_EQ(ctx.game.play.path.target_col, -1);
}

TEST_F(ShotTest, WallReflectsWithoutAdvancing) {
  AimAndPlan(100, 465);
  const ShotPath& path = ctx.game.play.path;
  int bounces = 0;
  int dir = 0;
  for (int i = 1; i < path.length; ++i) {
    const int d = path.points[i].x - path.points[i - 1].x;
    ASSERT_GE(path.points[i].x, 188);
    ASSERT_LE(path.points[i].x, 579);
    const int sign = d > 0 ? 1 : d < 0 ? -1 : 0;
    if (sign != 0 && dir != 0 && sign != dir) ++bounces;
    if (sign != 0) dir = sign;
  }
  EXPECT_GE(bounces, 5);
  // Each side is touched, not crossed: the extreme points lie within one sub-step.
  int min_x = 1000;
  int max_x = 0;
  for (int i = 0; i < path.length; ++i) {
    min_x = std::min(min_x, path.points[i].x);
    max_x = std::max(max_x, path.points[i].x);
  }
  EXPECT_LE(min_x, 188 + 16);
  EXPECT_GE(max_x, 579 - 16);
}

TEST_F(ShotTest, SnapPrefersTheLowerColumnOnATie) {
  SetCodesFromRowMinusOne(11);  // row 12: code 12 (x = 128 + 34c), row 13: code 11
  FillRow(13, ColourBall(3));
  // x = 383 lies midway between columns 7 (366) and 8 (400) of row 12.
  ASSERT_TRUE(PlanShot(ctx, 383, 449, 0, -5));
  EXPECT_EQ(ctx.game.play.path.target_col, 7);
  EXPECT_EQ(ctx.game.play.path.target_row, 12);
  EXPECT_EQ(Last().x, 366);
  EXPECT_EQ(Last().y, 68);
  // Everything before the cell point lies below it.
  for (int i = 0; i + 1 < ctx.game.play.path.length; ++i) {
    EXPECT_GE(ctx.game.play.path.points[i].y, 68);
  }
  ASSERT_TRUE(PlanShot(ctx, 384, 449, 0, -5));
  EXPECT_EQ(ctx.game.play.path.target_col, 8);
}

TEST_F(ShotTest, ShotSettlesUnderTheAnchorRow) {
  FillRow(13, ColourBall(3));  // code 12 row: balls at 128 + 34c
  ASSERT_TRUE(AimAndPlan(400, 300));
  EXPECT_EQ(ctx.game.play.path.target_col, 7);  // row 12 is an 11-row: 383 is the nearest
  EXPECT_EQ(ctx.game.play.path.target_row, 12);
  EXPECT_EQ(Last().x, 383);
  EXPECT_EQ(Last().y, 68);
}

TEST_F(ShotTest, PuzzleShotAboveEverythingSnapsToTheTopRow) {
  ctx.game.session.game_type = GameType::Puzzle;
  Put(2, 5, ColourBall(1));  // far from the path
  ASSERT_TRUE(AimAndPlan(400, 300));
  EXPECT_EQ(ctx.game.play.path.target_row, 13);
  EXPECT_EQ(ctx.game.play.path.target_col, 8);
  EXPECT_EQ(Last().x, 400);
  EXPECT_EQ(Last().y, 38);
  ctx.game.session.game_type = GameType::Arcade;
  EXPECT_FALSE(AimAndPlan(400, 300));
}

TEST_F(ShotTest, UnsupportedCellsAreNoCandidates) {
  // A lone ball far below the anchor row with nothing around: a cell beside it is supported
  // by it; the ball stops under it and snaps beside or below.
  Put(7, 6, ColourBall(2));  // row 6 code 12: x = 366, y = 248
  ASSERT_TRUE(AimAndPlan(400, 300));
  const int c = ctx.game.play.path.target_col;
  const int r = ctx.game.play.path.target_row;
  EXPECT_TRUE(r == 5 || r == 6);
  EXPECT_EQ(ctx.game.play.field.at(c, r).kind, BallKind::Empty);
}

TEST_F(ShotTest, MoveFollowsThePathWithTrailsAndAttaches) {
  FillRow(13, ColourBall(3));
  Put(6, 12, ColourBall(4));
  Put(8, 12, ColourBall(4));
  ASSERT_TRUE(AimAndPlan(400, 300));  // settles at (7,12) between the two reds
  Fire(ctx, ColourBall(4), 0, 0);
  const PicId s = ctx.game.play.shot->list_index;
  EXPECT_EQ(PicZ(ctx, s), 250);
  EXPECT_EQ(PicX(ctx, s), 384);
  EXPECT_EQ(PicY(ctx, s), 449);
  MoveShotBall(ctx);  // first point: no trail
  EXPECT_EQ(LiveParticles(ctx), 0);
  MoveShotBall(ctx);
  EXPECT_EQ(LiveParticles(ctx), 2);
  const auto& trail = ctx.game.run.particles.slots[0];
  EXPECT_EQ(trail.kind, kParticleTrail);
  EXPECT_EQ(Pic(ctx, trail.sprite)->color, 0xFF0000);
  EXPECT_NEAR(trail.base_y, 449 - 8, 1.0);
  // 433 is above 435 (z 95), but the trail points 441 and 437 below it put it back.
  EXPECT_EQ(PicZ(ctx, s), 250);
  MoveShotBall(ctx);
  EXPECT_EQ(PicZ(ctx, s), 95);
  const int length = ctx.game.play.path.length;
  for (int i = 3; i < length; ++i) MoveShotBall(ctx);
  EXPECT_EQ(PicY(ctx, s), -5400);
  EXPECT_EQ(Kind(6, 12), BallKind::Empty);
  EXPECT_EQ(Kind(7, 12), BallKind::Empty);
  EXPECT_EQ(ctx.game.session.score, 3);
}

TEST_F(ShotTest, EmptyPathGivesFreeFlightUnderGravity) {
  AimUpdate(ctx, 400, 300, 800, 600);
  ctx.game.play.path.length = 0;
  Fire(ctx, ColourBall(3), 0, 0);
  EXPECT_EQ(ctx.game.play.shot->free_flight, 1);
  MoveShotBall(ctx);
  EXPECT_DOUBLE_EQ(ctx.game.play.shot->y, 444);
  EXPECT_DOUBLE_EQ(ctx.game.play.shot->vy, -4.5);
  int frames = 1;
  while (ctx.game.play.shot->y > -5000 && frames < 200) {
    MoveShotBall(ctx);
    ++frames;
  }
  EXPECT_EQ(ctx.game.play.shot->y, -5400);
  EXPECT_EQ(Balls(), 0);
}

TEST_F(ShotTest, FiredBombIsTintedAndUntagged) {
  AimAndPlan(400, 300);
  Fire(ctx, BallKind::ColourBomb, 5, 0);
  const TShotBall* p = ctx.game.play.shot;
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->name, "bomb1");
  EXPECT_EQ(p->parts[1]->color, 0xFF00FF);
  EXPECT_EQ(p->tag, "");
  EXPECT_EQ(p->paint, 5);
}

TEST_F(ShotTest, PlannerKeepsItsBufferOnceWarm) {
  FillRow(13, ColourBall(3));
  AimAndPlan(100, 465);
  const auto* data = ctx.game.play.path.points.data();
  const auto capacity = ctx.game.play.path.points.capacity();
  for (int i = 0; i < 50; ++i) AimAndPlan(100 + 10 * i, 465);
  EXPECT_EQ(ctx.game.play.path.points.data(), data);
  EXPECT_EQ(ctx.game.play.path.points.capacity(), capacity);
  EXPECT_EQ(capacity % 256, 0u);
}

}  // namespace
}  // namespace qv::test
