#include "game/bonuses.h"

#include <cmath>

#include "game/matching.h"
#include "game/particles.h"
#include "game/shot.h"
#include "game_fixture.h"

namespace qv::test {
namespace {

class BonusTest : public GameTest {
 protected:
  BonusTest() { ResetBonusTypes(ctx); }
  void Step(int ms = 10) {
    ctx.clocks.game_clock += static_cast<std::uint32_t>(ms);
    BonusListStep(ctx);
  }
  int Live() const {
    int n = 0;
    for (const auto& e : ctx.game.play.bonuses) n += e.type != -1 ? 1 : 0;
    return n;
  }
};

TEST_F(BonusTest, TypeTableFromOptions) {
  EXPECT_EQ(ctx.game.scene.bonus_types[2].duration, 20000);
  EXPECT_EQ(ctx.game.scene.bonus_types[5].duration, 10000);
  EXPECT_EQ(ctx.game.scene.bonus_types[7].duration, 15000);
  for (int t : {2, 5, 7}) EXPECT_EQ(ctx.game.scene.bonus_types[t].mode, 1);
  for (int t : {1, 3, 4, 6, 8, 9, 10}) {
    EXPECT_EQ(ctx.game.scene.bonus_types[t].mode, 2);
    EXPECT_EQ(ctx.game.scene.bonus_types[t].duration, 0);
  }
}

TEST_F(BonusTest, TwoX2BeforeTheNextMatchMakeFour) {
  Collect(ctx, 3, 2, 300, 200);
  Collect(ctx, 3, 2, 300, 200);
  EXPECT_EQ(port.Count("sample_bonus_x2"), 2);
  Step();
  EXPECT_EQ(ctx.game.play.scoring.multiplier, 4);
  // Instant bonuses end on a later frame.
  EXPECT_EQ(Live(), 2);
  Step();
  EXPECT_EQ(Live(), 0);
  ScoreEvent(ctx, 3, 0, false);
  EXPECT_EQ(ctx.game.session.score, 12);
  EXPECT_EQ(ctx.game.play.scoring.multiplier, 1);
}

TEST_F(BonusTest, InstantIconSitsInItsSlotAndHidesWhenRunning) {
  Collect(ctx, 4, 3, 300, 200);
  const BonusEntry& e = ctx.game.play.bonuses[0];
  EXPECT_EQ(e.stage, 3);
  const TMultiSprite* icon = Pic(ctx, e.icon);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->name, "ball3");
  EXPECT_EQ(icon->x, 20);
  EXPECT_EQ(icon->y, 545);
  EXPECT_EQ(icon->z, 110);
  EXPECT_FALSE(icon->parts[1]->visible);
  EXPECT_TRUE(icon->parts[2]->visible);
  EXPECT_EQ(icon->parts[2]->anim_pos, 3);
  EXPECT_EQ(icon->parts[2]->anim_speed, 0);
  EXPECT_FALSE(icon->parts[3]->visible);
  Step();
  EXPECT_EQ(ctx.game.play.bonuses[0].stage, 2);
  EXPECT_FALSE(Pic(ctx, ctx.game.play.bonuses[0].icon)->visible);
}

TEST_F(BonusTest, NonColourCarrierUsesTheNeutralIcon) {
  Collect(ctx, 4, kKindMultiball, 300, 200);
  EXPECT_EQ(Pic(ctx, ctx.game.play.bonuses[0].icon)->name, "ball0");
}

TEST_F(BonusTest, TimedIconFliesToItsSlotThenRuns) {
  Collect(ctx, 5, 1, 270, 245);
  const BonusEntry& e = ctx.game.play.bonuses[0];
  EXPECT_EQ(e.stage, 4);
  EXPECT_DOUBLE_EQ(e.vx, -5);
  EXPECT_DOUBLE_EQ(e.vy, 6);
  EXPECT_EQ(port.Count("sample_flying_bonus"), 1);
  Step();
  EXPECT_DOUBLE_EQ(PicX(ctx, e.icon), 265);
  EXPECT_EQ(LiveParticles(ctx), 1);  // the icon's trail, one z below it
  EXPECT_EQ(PicZ(ctx, ctx.game.run.particles.slots[0].sprite), 109);
  for (int i = 0; i < 48; ++i) Step();
  EXPECT_EQ(e.stage, 4);
  Step();  // x reaches 20: it lands and starts in the same frame
  EXPECT_EQ(PicX(ctx, e.icon), 20);
  EXPECT_EQ(PicY(ctx, e.icon), 545);
  EXPECT_EQ(e.stage, 1);
  EXPECT_TRUE(ctx.game.play.freeze);
  EXPECT_EQ(port.Count("sample_bonus_freeze"), 1);
  EXPECT_DOUBLE_EQ(port.bar_x[0], 60);  // full bar at the start of the run
  EXPECT_EQ(port.bar_color[0], 0x00FF00);
  Step(5000);
  EXPECT_NEAR(port.bar_x[0], 31 + 29 * 0.5, 1e-9);
  Step(5000);  // at the expiry: not yet passed
  EXPECT_TRUE(ctx.game.play.freeze);
  Step(1);
  EXPECT_FALSE(ctx.game.play.freeze);
  EXPECT_EQ(port.bar_x[0], 31);
  EXPECT_EQ(Live(), 0);
  EXPECT_FALSE(ctx.game.scene.bonus_types[5].active);
}

TEST_F(BonusTest, SecondFreezeWaitsForTheFirst) {
  Collect(ctx, 5, 1, 20, 545);  // already at its slot: vx is 0, so it stays in flight stage
  ctx.game.play.bonuses[0].stage = 3;
  Collect(ctx, 5, 1, 20, 506);
  ctx.game.play.bonuses[1].stage = 3;
  Step();
  EXPECT_EQ(ctx.game.play.bonuses[0].stage, 1);
  EXPECT_EQ(ctx.game.play.bonuses[1].stage, 3);
  Step(10000);
  Step();  // the first expired this step; the second starts on the next
  EXPECT_TRUE(ctx.game.play.bonuses[0].type == -1);
  Step();
  EXPECT_EQ(ctx.game.play.bonuses[1].stage, 1);
  EXPECT_TRUE(ctx.game.play.freeze);
}

TEST_F(BonusTest, SeventhBonusHasNoIconButTakesEffect) {
  for (int i = 0; i < 6; ++i) Collect(ctx, 6, 1, 300, 300);
  Collect(ctx, 4, 1, 300, 300);
  ASSERT_EQ(ctx.game.play.bonuses.size(), 7u);
  EXPECT_EQ(ctx.game.play.bonuses[6].icon, kNoPic);
  EXPECT_EQ(ctx.game.play.bonuses[6].stage, 3);
  Step();
  EXPECT_EQ(ctx.game.play.scoring.multiplier, 4);
}

TEST_F(BonusTest, FreeEntriesAreReusedFirst) {
  Collect(ctx, 3, 1, 300, 300);
  Collect(ctx, 6, 1, 300, 300);
  Step();
  Step();
  ASSERT_EQ(Live(), 0);
  Collect(ctx, 9, 1, 300, 300);
  EXPECT_EQ(ctx.game.play.bonuses.size(), 2u);
  EXPECT_EQ(ctx.game.play.bonuses[0].type, 9);
}

TEST_F(BonusTest, TargetShowsTheCursorAndTracer) {
  Collect(ctx, 2, 1, 20, 545);
  ctx.game.play.bonuses[0].stage = 3;
  Step();
  EXPECT_EQ(port.cursor, 2);
  EXPECT_EQ(ctx.game.play.cursor_idle_variant, 2);
  FillRow(13, 3);
  ASSERT_TRUE(PlanShot(ctx, 384, 449, 0, -5));
  TargetTracerStep(ctx);
  const TMultiSprite* tracer = Pic(ctx, ctx.game.play.tracer);
  ASSERT_NE(tracer, nullptr);
  EXPECT_EQ(tracer->tag, "trasser");
  EXPECT_EQ(tracer->z, 210);
  EXPECT_TRUE(tracer->visible);
  EXPECT_EQ(tracer->x, 383);
  EXPECT_EQ(tracer->y, 68);
  ctx.game.play.ball_in_flight = true;
  TargetTracerStep(ctx);
  EXPECT_FALSE(Pic(ctx, ctx.game.play.tracer)->visible);
  ctx.game.play.ball_in_flight = false;
  EndBonus(ctx, 2);
  EXPECT_EQ(port.cursor, 0);
  TargetTracerStep(ctx);
  EXPECT_FALSE(Pic(ctx, ctx.game.play.tracer)->visible);
}

TEST_F(BonusTest, NetExpandOpensAndClosesTheWalls) {
  ctx.game.play.walls.target = 11;
  Collect(ctx, 7, 1, 20, 545);
  ctx.game.play.bonuses[0].stage = 3;
  Step();
  EXPECT_EQ(ctx.game.play.walls.target, 2);
  EXPECT_EQ(ctx.game.play.walls.direction, -1);
  EndBonus(ctx, 7);
  EXPECT_EQ(ctx.game.play.walls.target, 11);
  EXPECT_EQ(ctx.game.play.walls.direction, 1);
}

TEST_F(BonusTest, UpClimbsAndWaitsForItsPredecessor) {
  Collect(ctx, 8, 1, 300, 300);
  Collect(ctx, 8, 1, 300, 300);
  Step();
  EXPECT_EQ(ctx.game.play.climb_remaining, 30);
  EXPECT_EQ(ctx.game.play.bonuses[1].stage, 3);
  Step(1000);
  EXPECT_EQ(ctx.game.play.bonuses[0].stage, 2);  // the game frame ends it when the climb is done
  ctx.game.play.climb_remaining = 0;
  EndBonus(ctx, 8);
  Step();
  EXPECT_EQ(ctx.game.play.climb_remaining, 30);
}

TEST_F(BonusTest, UpInPuzzleWithTheBoardLowEndsAtOnce) {
  ctx.game.session.game_type = GameType::Puzzle;
  port.board_y = 81;
  Collect(ctx, 8, 1, 300, 300);
  Step();
  EXPECT_EQ(ctx.game.play.climb_remaining, 0);
  EXPECT_EQ(Live(), 0);
  EXPECT_EQ(port.Count("sample_bonus_up"), 1);
}

TEST_F(BonusTest, UpInPuzzleClimbsOnlyWithTheBoardBelow81) {
  ctx.game.session.game_type = GameType::Puzzle;
  port.board_y = 40;
  Collect(ctx, 8, 1, 300, 300);
  Step();
  EXPECT_EQ(ctx.game.play.climb_remaining, 0);
  port.board_y = 82;
  Collect(ctx, 8, 1, 300, 300);
  Step();
  EXPECT_EQ(ctx.game.play.climb_remaining, 30);
}

TEST_F(BonusTest, PaintRocketMountsAtMostTwo) {
  for (int i = 0; i < 3; ++i) Collect(ctx, 9, 1, 300, 300);
  Step();
  EXPECT_EQ(ctx.game.play.mounted_rockets, 2);
  EXPECT_EQ(port.rockets_shown, 2);
}

TEST_F(BonusTest, EndAllFreesEverything) {
  Collect(ctx, 5, 1, 300, 300);
  Collect(ctx, 3, 1, 300, 300);
  Step();
  EndAllBonuses(ctx);
  EXPECT_EQ(Live(), 0);
  for (const auto& e : ctx.game.play.bonuses) EXPECT_FALSE(PicAlive(ctx, e.icon));
  EXPECT_FALSE(ctx.game.play.freeze);
}

class BombTest : public BonusTest {
 protected:
  void Anchor() { FillRow(13, 5); }
};

TEST_F(BombTest, ColourBombExplodes400msAfterAttaching) {
  Anchor();
  Put(4, 12, 1);
  Put(6, 12, 1);
  Put(5, 11, 1);
  Attach(ctx, kKindColourBomb, 1, 0, 5, 12);  // fails as a match: bombs count only themselves
  EXPECT_EQ(Kind(5, 12), kKindColourBomb);
  ctx.clocks.game_clock += 400;
  BombStep(ctx);
  EXPECT_EQ(Kind(5, 12), kKindColourBomb);
  ctx.clocks.game_clock += 10;
  BombStep(ctx);
  EXPECT_EQ(Kind(5, 12), 0);
  EXPECT_EQ(ctx.game.play.bomb_timer, 0u);
  EXPECT_EQ(port.Count("sample_explosion_middle_bomb"), 1);
  EXPECT_EQ(Kind(4, 12), 0);
  EXPECT_EQ(Kind(6, 12), 0);
  EXPECT_EQ(Kind(5, 11), 0);
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(BombTest, BombWaitsWhileABallFlies) {
  Anchor();
  Attach(ctx, kKindColourBomb, 1, 0, 5, 12);
  AimUpdate(ctx, 400, 300, 800, 600);
  Fire(ctx, 1, 0, 0);
  ctx.clocks.game_clock += 1000;
  BombStep(ctx);
  EXPECT_EQ(Kind(5, 12), kKindColourBomb);
  FreeShotBall(ctx);
  BombStep(ctx);
  EXPECT_EQ(Kind(5, 12), 0);
}

TEST_F(BombTest, ColourBombMarksNeighboursOfItsPaintColour) {
  Put(5, 6, kKindColourBomb, 0, 2);  // row 6 code 12
  Put(4, 6, 2);                      // paint colour: its neighbours go too
  Put(3, 6, 3);
  Put(6, 6, 3);  // other colour: only itself
  Put(7, 6, 4);
  Put(5, 8, 1);  // not a neighbour
  ColourBombBlast(ctx, 5, 6, 2);
  const BallField& f = ctx.game.play.field;
  EXPECT_EQ(f.at(4, 6).marks, 1);
  EXPECT_EQ(f.at(3, 6).marks, 1);
  EXPECT_EQ(f.at(6, 6).marks, 1);
  EXPECT_EQ(f.at(7, 6).marks, 0);
  EXPECT_EQ(f.at(5, 8).marks, 0);
  EXPECT_EQ(ctx.game.play.scoring.match_count, 0);
}

TEST_F(BombTest, BigBombRadiusOneReachesEightCells) {
  ctx.options.bigbomb_radius = 1;
  // Row 6 has code 12: the neighbours of (5,6) in rows 5 and 7 are columns 4 and 5; the blast
  // also reaches column 6 there.
  const int kinds[3][3] = {{1, 2, 3}, {4, 0, 5}, {6, 7, kKindLand}};
  for (int r = 5; r <= 7; ++r) {
    for (int c = 4; c <= 6; ++c) {
      if (kinds[r - 5][c - 4] != 0) Put(c, r, kinds[r - 5][c - 4]);
    }
  }
  Put(7, 7, kKindLand);  // the group of (6,7) goes on through (7,7) and (8,7)
  Put(8, 7, kKindLand);
  Put(5, 6, kKindBigBomb);
  ctx.game.play.scoring.match_count = 0;
  BigBombBlast(ctx, 5, 6, 1);
  const BallField& f = ctx.game.play.field;
  int marked = 0;
  for (int r = 5; r <= 7; ++r) {
    for (int c = 4; c <= 6; ++c) marked += f.at(c, r).marks != 0 ? 1 : 0;
  }
  EXPECT_EQ(marked, 8);
  EXPECT_EQ(f.at(5, 6).marks, 0);
  EXPECT_EQ(f.at(7, 7).marks, 1);  // the whole group of (6,7)
  EXPECT_EQ(f.at(8, 7).marks, 1);
  EXPECT_EQ(ctx.game.play.scoring.match_count, 10);
}

TEST_F(BombTest, BigBombStepScoresWhatItBlasted) {
  Anchor();
  Put(5, 12, 1);
  Put(6, 12, 2);
  Put(4, 12, kKindBigBomb);
  ctx.game.play.channels.fuse = 3;
  ctx.game.play.bomb_timer = ctx.clocks.game_clock;
  ctx.clocks.game_clock += 1;
  BombStep(ctx);
  EXPECT_EQ(port.Count("sample_explosion_big_bomb"), 1);
  EXPECT_EQ(ctx.game.play.channels.fuse, -1);
  EXPECT_EQ(Balls(), 0);  // the anchor row is reached too
  int sparks = 0;
  for (const auto& p : ctx.game.run.particles.slots) sparks += p.used && p.kind == 16 ? 1 : 0;
  EXPECT_GE(sparks, 150);
  EXPECT_GT(ctx.game.session.score, 0);
  EXPECT_TRUE(AllMarksZero());
}

class RocketTest : public BonusTest {};

TEST_F(RocketTest, PodsAlternateAroundTheAim) {
  ctx.game.play.mounted_rockets = 2;
  LaunchRocket(ctx, 3);
  ASSERT_EQ(LiveRockets(ctx), 1);
  const TPaintRocket* first = ctx.game.play.rockets[0];
  const double a = -M_PI / 2;
  EXPECT_NEAR(first->x, std::cos(a + 0.433) * 81 + 386.5, 1e-9);
  EXPECT_NEAR(first->y, std::sin(a + 0.433) * 81 + 541.5, 1e-9);
  EXPECT_EQ(first->paint, 3);
  EXPECT_EQ(first->tag, "rocket");
  EXPECT_NEAR(first->vy, -4, 1e-12);
  EXPECT_EQ(port.rockets_shown, 1);
  LaunchRocket(ctx, kKindBigBomb);
  const TPaintRocket* second = ctx.game.play.rockets[1];
  EXPECT_NEAR(second->x, std::cos(a - 0.433) * 81 + 386.5, 1e-9);
  EXPECT_GE(second->paint, 1);
  EXPECT_LE(second->paint, 7);
  EXPECT_EQ(ctx.game.play.mounted_rockets, 0);
  LaunchRocket(ctx, 3);  // nothing mounted
  EXPECT_EQ(LiveRockets(ctx), 2);
  EXPECT_EQ(port.Count("sample_rocket_launch"), 2);
  const int slot = second->list_index;
  DestroyAllRockets(ctx);
  EXPECT_EQ(LiveRockets(ctx), 0);
  EXPECT_EQ(MultiSpriteAt(ctx, slot), nullptr);
}

TEST_F(RocketTest, RepaintsColourBallsOnlyAndDiesAtTheTop) {
  // A column of things straight above the launch point of an upward rocket.
  for (int r = 0; r <= 13; ++r) {
    const int c = ctx.game.play.field.code(r) == 12 ? 8 : 7;  // x 400 or 383
    Put(c, r, r == 3 ? kKindMultiball : r == 4 ? kKindLand : r == 6 ? kKindBigBomb : 1);
  }
  Put(7, 8, 2, 5);  // row 8 is an 11-row: column 7 is under the path; it carries a bonus
  ctx.game.play.mounted_rockets = 1;
  LaunchRocket(ctx, 4);
  int frames = 0;
  while (LiveRockets(ctx) > 0 && frames < 2000) {
    MoveRockets(ctx);
    ++frames;
  }
  EXPECT_LT(frames, 2000);
  const BallField& f = ctx.game.play.field;
  for (int r = 0; r <= 13; ++r) {
    const int c = f.code(r) == 12 ? 8 : 7;
    const int kind = f.at(c, r).kind;
    const int want = r == 3 ? kKindMultiball : r == 4 ? kKindLand : r == 6 ? kKindBigBomb : 4;
    EXPECT_EQ(kind, want) << "row " << r;
  }
  const TMultiSprite& repainted = CellPic(7, 8);
  EXPECT_EQ(repainted.name, "ball4");
  EXPECT_EQ(repainted.tag, "balls");
  EXPECT_EQ(repainted.parts[2]->anim_pos, 4);
  EXPECT_EQ(repainted.y, 428 - 240);
  EXPECT_EQ(CellPic(8, 1).parts[1]->anim_speed, 0);
}

TEST_F(RocketTest, NeverBouncesAndDiesAtTheFirstWall) {
  ctx.game.scene.aim.angle = kMaxAim;  // far left
  ctx.game.play.mounted_rockets = 1;
  LaunchRocket(ctx, 2);
  int frames = 0;
  while (LiveRockets(ctx) > 0 && frames < 500) {
    MoveRockets(ctx);
    ++frames;
  }
  EXPECT_LT(frames, 100);
  int sparks = 0;
  for (const auto& p : ctx.game.run.particles.slots) sparks += p.used && p.kind == 16 ? 1 : 0;
  EXPECT_EQ(sparks, 32);
}

TEST_F(BonusTest, CrystalFlightsStackInTheColumn) {
  StartCrystalFlight(ctx, 298, 100);
  StartCrystalFlight(ctx, 400, 300);
  const auto& flights = ctx.game.play.crystals.flights;
  ASSERT_EQ(flights.size(), 2u);
  EXPECT_EQ(flights[0].target_y, 542);
  EXPECT_EQ(flights[1].target_y, 506);
  EXPECT_DOUBLE_EQ(flights[0].vx, 9);
  EXPECT_EQ(ctx.game.play.crystals.launched, 2);
  EXPECT_EQ(ctx.game.play.crystals.freed, 2);
  EXPECT_EQ(LiveParticles(ctx), 20);
  for (int i = 0; i < 50; ++i) CrystalFlightStep(ctx);
  EXPECT_EQ(ctx.game.play.crystals.arrived, 2);
  EXPECT_EQ(PicX(ctx, flights[0].sprite), 748);
  EXPECT_EQ(PicY(ctx, flights[0].sprite), 542);
  EXPECT_EQ(flights[0].target_x, 0);
  const int particles = LiveParticles(ctx);
  CrystalFlightStep(ctx);  // arrived crystals make no more trails
  EXPECT_EQ(LiveParticles(ctx), particles);
  const PicId first = flights[0].sprite;
  ClearCrystalFlights(ctx);
  EXPECT_FALSE(PicAlive(ctx, first));
  EXPECT_TRUE(ctx.game.play.crystals.flights.empty());
  EXPECT_EQ(ctx.game.play.crystals.launched, 0);
  EXPECT_EQ(ctx.game.play.crystals.freed, 2);  // counted by the level, reset with it
}

}  // namespace
}  // namespace qv::test
