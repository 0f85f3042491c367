// Rules that keep state from outliving what it belongs to: an up bonus in challenge, where
// nothing would use its climb, and the crystals of the anchor row at game over.
#include <gtest/gtest.h>

#include "game/bonuses.h"
#include "game/field.h"
#include "game/game_frame.h"
#include "game/particles.h"
#include "game_fixture.h"

namespace qv::test {
namespace {

class LifetimeRules : public GameTest {};

// In challenge nothing would use the climb up: it would hold back every shot for good.
TEST_F(LifetimeRules, UpBonusInChallengeEndsAtOnceWithoutAClimb) {
  ctx.game.session.game_type = GameType::Challenge;
  Collect(ctx, 8, ColourBall(1), 300, 300);
  BonusListStep(ctx);
  EXPECT_EQ(ctx.game.play.climb_remaining, 0);
  EXPECT_FALSE(ctx.game.scene.bonus_types[8].active);
  for (const BonusEntry& e : ctx.game.play.bonuses) EXPECT_NE(e.type, 8);
  EXPECT_EQ(port.Count("sample_bonus_up"), 1);
}

TEST_F(LifetimeRules, UpBonusInArcadeStillClimbs) {
  ctx.game.session.game_type = GameType::Arcade;
  Collect(ctx, 8, ColourBall(1), 300, 300);
  BonusListStep(ctx);
  EXPECT_EQ(ctx.game.play.climb_remaining, 30);
  EXPECT_TRUE(ctx.game.scene.bonus_types[8].active);
}

// The anchor row's balls fall at game over; a crystal there is no ball and stays.
TEST_F(LifetimeRules, GameOverLeavesTheAnchorRowsCrystals) {
  ctx.game.session.game_type = GameType::Puzzle;
  ctx.game.play.field.top_rows = 3;
  Put(4, 2, BallKind::Crystal);
  Put(5, 2, ColourBall(3));
  Put(4, 1, ColourBall(2));
  Put(4, 0, ColourBall(2));
  Put(5, -1, ColourBall(1));  // a ball in row -1: the puzzle is lost at once
  ctx.game.play.crystals.count = 1;
  OccupancyScan(ctx.game.play.field);
  DangerAndLoss(ctx);
  ASSERT_EQ(ctx.game.play.end_phase, EndPhase::Lost);
  int special = 0, falling = 0;
  for (const TExploseParticle& p : ctx.game.run.particles.slots) {
    if (!p.used) continue;
    special += p.kind == kParticleFallingSpecial ? 1 : 0;
    falling += IsFallingBallParticle(p.kind) ? 1 : 0;
  }
  EXPECT_EQ(special, 0) << "the crystal fell as a ball";
  EXPECT_GE(falling, 1) << "the anchor row's ball falls";
  // It stays where it hung, or the loose-crystal rule frees it to its column.
  const bool kept = Kind(4, 2) == BallKind::Crystal;
  EXPECT_TRUE(kept || ctx.game.play.crystals.launched == 1);
}

}  // namespace
}  // namespace qv::test
