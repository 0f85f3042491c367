#include "game/matching.h"

#include "game/particles.h"
#include "game_fixture.h"

namespace qv::test {
namespace {

class MatchingTest : public GameTest {
 protected:
  // An anchor row 13 full of colour 5 so that everything below can hang from it.
  void Anchor() { FillRow(13, 5); }
  int Particles(int kind) const {
    int n = 0;
    for (const auto& p : ctx.game.run.particles.slots) n += p.used && p.kind == kind ? 1 : 0;
    return n;
  }
};

TEST_F(MatchingTest, ThreeRedsExplodeAndScoreThree) {
  Anchor();
  Put(4, 12, 4);
  Put(5, 12, 4);
  Attach(ctx, 4, 0, 0, 6, 12);
  EXPECT_EQ(Kind(4, 12), 0);
  EXPECT_EQ(Kind(5, 12), 0);
  EXPECT_EQ(Kind(6, 12), 0);
  EXPECT_EQ(ctx.game.session.score, 3);
  EXPECT_EQ(ctx.game.play.scoring.level_points, 3);
  EXPECT_EQ(ctx.game.play.scoring.combo, 1);
  EXPECT_EQ(ctx.game.play.scoring.streak, 1);
  EXPECT_EQ(port.matches, 1);
  EXPECT_EQ(port.Count("sample_connection"), 1);
  EXPECT_EQ(port.Count("sample_explosion_small"), 1);
  // Each burst: 4 quarter pieces, 16 fragments, one line piece outside puzzle.
  EXPECT_EQ(Particles(20), 12);
  EXPECT_EQ(Particles(19), 48);
  EXPECT_EQ(Particles(22), 3);
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(MatchingTest, TwoRedsFailAndResetTheCombo) {
  Anchor();
  Put(4, 12, 4);
  ctx.game.play.scoring.combo = 3;
  ctx.game.play.scoring.streak = 2;
  Attach(ctx, 4, 0, 0, 5, 12);
  EXPECT_EQ(Kind(4, 12), 4);
  EXPECT_EQ(Kind(5, 12), 4);
  EXPECT_EQ(ctx.game.play.scoring.combo, 0);
  EXPECT_EQ(ctx.game.play.scoring.streak, 0);
  EXPECT_EQ(ctx.game.session.score, 0);
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(MatchingTest, FailedColourBombKeepsComboButResetsStreak) {
  Anchor();
  ctx.game.play.scoring.combo = 3;
  ctx.game.play.scoring.streak = 2;
  Attach(ctx, kKindColourBomb, 3, 0, 5, 12);
  EXPECT_EQ(Kind(5, 12), kKindColourBomb);
  EXPECT_EQ(ctx.game.play.field.at(5, 12).paint, 3);
  EXPECT_EQ(ctx.game.play.scoring.combo, 3);
  EXPECT_EQ(ctx.game.play.scoring.streak, 0);
  EXPECT_EQ(ctx.game.play.bomb_timer, ctx.clocks.game_clock + 400);
  EXPECT_EQ(port.Count("sample_connection_bomb"), 1);
}

TEST_F(MatchingTest, BonusShotPlaysBonusConnection) {
  Anchor();
  Attach(ctx, 2, 0, 3, 5, 12);
  EXPECT_EQ(port.Count("sample_connection_bonus"), 1);
  EXPECT_EQ(ctx.game.play.field.at(5, 12).bonus, 3);
}

TEST_F(MatchingTest, MultiballCompletesTheBluesAndLeavesTheGreen) {
  Anchor();
  // Lands (never matching) hold the scene from the anchor row.
  Put(5, 12, kKindLand);
  Put(5, 11, kKindLand);
  Put(6, 11, kKindLand);
  // Row 10 has code 11: neighbours of (5,10) are (4,10),(6,10),(6,9),(5,9),(6,11),(5,11).
  Put(4, 10, 1);
  Put(6, 10, 1);
  Put(5, 9, 3);
  Attach(ctx, kKindMultiball, 0, 0, 5, 10);
  EXPECT_EQ(Kind(4, 10), 0);
  EXPECT_EQ(Kind(6, 10), 0);
  EXPECT_EQ(Kind(5, 10), 0);
  EXPECT_EQ(Kind(5, 11), kKindLand);
  // The green did not explode with a group; it lost its hold and dropped (d = 1).
  EXPECT_EQ(Kind(5, 9), 0);
  EXPECT_EQ(Particles(3), 1);
  EXPECT_EQ(ctx.game.session.score, 3);
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(MatchingTest, MultiballNextToTheAnchorRowTakesItsWholeColourGroup) {
  Anchor();
  Put(4, 12, 1);
  Attach(ctx, kKindMultiball, 0, 0, 5, 12);
  EXPECT_FALSE(RowOccupied(ctx.game.play.field, 13));
  EXPECT_EQ(Balls(), 0);
}

TEST_F(MatchingTest, MultiballFillCountsEachColourGroupWithItself) {
  Anchor();
  Put(4, 12, 1);
  Put(6, 12, 1);
  Put(5, 11, 3);
  Put(6, 11, 3);
  Put(5, 12, kKindMultiball);
  ctx.game.play.scoring.match_count = 0;
  MultiballFill(ctx, 5, 12);
  // Blues: 2 + multiball = 3; greens: 2 + multiball = 3; the anchor colour 5 joins the
  // multiball through (5,13) and (6,13) with the whole anchor row.
  const BallField& f = ctx.game.play.field;
  EXPECT_EQ(f.at(4, 12).marks, 1);
  EXPECT_EQ(f.at(5, 11).marks, 4);
  EXPECT_EQ(f.at(5, 12).marks, 1 | 4 | 16);
  EXPECT_EQ(ctx.game.play.scoring.match_count, 3 + 3 + 13);
}

TEST_F(MatchingTest, MultiballFillDropsSmallGroups) {
  Anchor();
  Put(4, 12, 1);
  Put(5, 12, kKindMultiball);
  ctx.game.play.field.at(5, 13).kind = 2;  // break the anchor colour next to it
  ctx.game.play.field.at(6, 13).kind = 2;
  ctx.game.play.scoring.match_count = 0;
  MultiballFill(ctx, 5, 12);
  const BallField& f = ctx.game.play.field;
  EXPECT_EQ(f.at(4, 12).marks, 0);
  EXPECT_EQ(f.at(5, 12).marks & 1, 0);
  // Colour 2: the two in row 13 and the multiball make three.
  EXPECT_EQ(f.at(5, 13).marks, 2);
  EXPECT_EQ(ctx.game.play.scoring.match_count, 3);
}

TEST_F(MatchingTest, ColourFillThroughMultiballsOnly) {
  Put(3, 5, 2);
  Put(4, 5, kKindMultiball);
  Put(5, 5, 2);
  Put(6, 5, 3);
  ctx.game.play.scoring.match_count = 0;
  ColourFill(ctx, 3, 5, 2);
  EXPECT_EQ(ctx.game.play.scoring.match_count, 3);
  EXPECT_EQ(ctx.game.play.field.at(6, 5).marks, 0);
}

TEST_F(MatchingTest, DropFactorScoresThreeTimesFour) {
  Anchor();
  // A red group of three hanging in a column with five greens below it.
  Put(7, 12, 4);
  Put(7, 11, 4);
  Put(8, 12, 4);
  for (int r = 10; r >= 6; --r) Put(7, r, 3);
  ctx.game.play.scoring.match_count = 0;
  ColourFill(ctx, 7, 12, 4);
  ASSERT_EQ(ctx.game.play.scoring.match_count, 3);
  ExplodeMarked(ctx);
  const int d = Drop(ctx, true);
  EXPECT_EQ(d, 5);
  ScoreEvent(ctx, 3, d, true);
  EXPECT_EQ(ctx.game.session.score, 12);
  EXPECT_EQ(ctx.game.play.scoring.level_points, 12);
  EXPECT_EQ(Particles(3), 5);  // five falling green balls
}

TEST_F(MatchingTest, AttachCountsDroppedBallsInTheSameFrame) {
  Anchor();
  Put(7, 12, 4);
  Put(8, 12, 4);
  Put(7, 11, 2);  // hangs only from the red at (7,12)
  Attach(ctx, 4, 0, 0, 6, 12);
  EXPECT_EQ(Kind(7, 11), 0);
  EXPECT_EQ(ctx.game.session.score, 3);  // d = 1 gives factor 1
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(MatchingTest, ComboFactorAndTextCapAtLastThreshold) {
  ctx.game.run.combo_table = {{2, "two"}, {3, "three"}, {4, "four"}, {5, "five"}};
  ctx.game.play.scoring.combo = 9;
  ctx.game.play.scoring.popup_x = 300;
  ctx.game.play.scoring.popup_y = 200;
  ScoreEvent(ctx, 3, 0, true);
  EXPECT_EQ(ctx.game.session.score, 15);
  EXPECT_EQ(ctx.game.play.scoring.level_points, 3);
  EXPECT_EQ(ctx.game.play.scoring.max_single, 15);
  EXPECT_EQ(ctx.game.play.scoring.max_combo, 9);
  ASSERT_EQ(port.texts.size(), 2u);
  EXPECT_EQ(port.texts[0].text, "15");
  EXPECT_EQ(port.texts[0].font, "graphics\\fonts\\font_taurus1.spr");
  EXPECT_EQ(port.texts[0].y, 188);
  EXPECT_EQ(port.texts[0].color, 0xFFFFFF);
  EXPECT_EQ(port.texts[1].text, "five");
  EXPECT_EQ(port.texts[1].font, "graphics\\fonts\\font_taurus2.spr");
  EXPECT_EQ(port.texts[1].color, 0x00CCFF);
  EXPECT_EQ(port.texts[1].y, 212);
  EXPECT_EQ(port.texts[1].z, 200);
  EXPECT_EQ(port.texts[1].align, 2);
  EXPECT_EQ(port.texts[1].tag, "particle_digits");
}

TEST_F(MatchingTest, ComboBelowFirstThresholdOrMissingEntry) {
  ctx.game.run.combo_table = {{2, "two"}, {4, "four"}};
  ctx.game.play.scoring.combo = 1;
  ScoreEvent(ctx, 3, 0, true);
  EXPECT_EQ(ctx.game.session.score, 3);
  ASSERT_EQ(port.texts.size(), 1u);
  EXPECT_EQ(port.texts[0].y, 300);
  port.texts.clear();
  ctx.game.play.scoring.combo = 3;  // factor 3, but no entry with threshold 3
  ScoreEvent(ctx, 3, 0, true);
  EXPECT_EQ(ctx.game.session.score, 3 + 9);
  ASSERT_EQ(port.texts.size(), 1u);
  EXPECT_EQ(port.texts[0].text, "9");
}

TEST_F(MatchingTest, MultiplierAppliesOnceAndChallengeFeedsProgress) {
  ctx.game.session.game_type = GameType::Challenge;
  ctx.game.play.lv.challenge_factor = 0.5;
  ctx.game.play.scoring.multiplier = 4;
  ScoreEvent(ctx, 3, 3, false);  // f = 2
  EXPECT_EQ(ctx.game.session.score, 24);
  EXPECT_DOUBLE_EQ(ctx.game.play.progress.target, 12);
  EXPECT_EQ(ctx.game.play.scoring.multiplier, 1);
}

TEST_F(MatchingTest, PopupTextsBecomeFloatingParticles) {
  ScoreEvent(ctx, 12, 0, true);  // "12": two glyph pictures
  EXPECT_EQ(Particles(23), 2);
  std::vector<PicId> tagged;
  CollectTagged(ctx, "particle_digits", tagged);
  EXPECT_TRUE(tagged.empty());
}

TEST_F(MatchingTest, DropRemovesRowMinusOneAndUnsupportedBalls) {
  Anchor();
  Put(5, 12, 1);  // hangs
  Put(9, 5, 2);   // floats
  Put(6, -1, 3);  // row -1 always goes
  const int d = Drop(ctx, false);
  EXPECT_EQ(d, 2);
  EXPECT_EQ(Kind(5, 12), 1);
  EXPECT_EQ(Kind(9, 5), 0);
  EXPECT_EQ(Kind(6, -1), 0);
  EXPECT_EQ(Particles(22), 0);  // no extra
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(MatchingTest, DroppedSpecialBallsFallWithTheirOwnPicture) {
  Put(4, 5, kKindColourBomb, 0, 2);
  Put(5, 5, kKindBigBomb);
  Put(6, 5, kKindMultiball);
  Put(7, 5, kKindLand);
  ctx.game.play.channels.fuse = 7;
  EXPECT_EQ(Drop(ctx, false), 4);
  std::vector<std::string> names;
  for (const auto& p : ctx.game.run.particles.slots) {
    if (!p.used) continue;
    EXPECT_EQ(p.kind, kParticleFallingSpecial);
    names.push_back(Pic(ctx, p.sprite)->name);
  }
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "bomb1");
  EXPECT_EQ(names[1], "bomb2");
  EXPECT_EQ(names[2], "multiball");
  EXPECT_EQ(names[3], "land1");
  EXPECT_EQ(ctx.game.play.channels.fuse, -1);  // the dropped big bomb stopped its fuse
  EXPECT_EQ(port.stopped.size(), 1u);
}

TEST_F(MatchingTest, LandsAndCrystalsConductSupport) {
  Anchor();
  Put(5, 12, kKindLand);
  Put(5, 11, 2);
  Put(5, 10, kKindCrystal);
  Put(5, 9, 2);
  EXPECT_EQ(Drop(ctx, false), 0);
}

TEST_F(MatchingTest, DroppedCrystalFliesOnlyWhilePlaying) {
  Put(5, 5, kKindCrystal);
  EXPECT_EQ(Drop(ctx, false), 1);
  EXPECT_EQ(ctx.game.play.crystals.freed, 1);
  EXPECT_EQ(port.Count("sample_crystal"), 1);
  ctx.game.play.end_phase = EndPhase::Lost;
  Put(5, 5, kKindCrystal);
  EXPECT_EQ(Drop(ctx, false), 1);
  EXPECT_EQ(ctx.game.play.crystals.freed, 1);
}

TEST_F(MatchingTest, PuzzleFreesCrystalWithNothingBelowWhileHanging) {
  ctx.game.session.game_type = GameType::Puzzle;
  Anchor();
  Put(6, 12, kKindCrystal);  // row 12 code 11: below are (6,11) and (7,11)
  Put(6, 11, 1);
  EXPECT_EQ(Drop(ctx, false), 0);
  EXPECT_EQ(Kind(6, 12), kKindCrystal);
  ctx.game.play.field.at(6, 11).kind = 0;
  FreePic(ctx, ctx.game.play.field.at(6, 11).sprite);
  EXPECT_EQ(Drop(ctx, false), 1);
  EXPECT_EQ(Kind(6, 12), 0);
  EXPECT_EQ(ctx.game.play.crystals.freed, 1);
  ASSERT_EQ(ctx.game.play.crystals.flights.size(), 1u);
  const TMultiSprite* p = Pic(ctx, ctx.game.play.crystals.flights[0].sprite);
  EXPECT_EQ(p->x, 145 + 34 * 6);
  EXPECT_EQ(p->z, 105);
  EXPECT_EQ(p->tag, "crystal_st");
}

TEST_F(MatchingTest, PuzzleFreesCrystalInRowMinusOne) {
  ctx.game.session.game_type = GameType::Puzzle;
  Put(6, -1, kKindCrystal);
  EXPECT_EQ(Drop(ctx, false), 1);
  EXPECT_EQ(ctx.game.play.crystals.freed, 1);
}

TEST_F(MatchingTest, SmallBombBonusTakesItsNeighboursInTheSecondPass) {
  Anchor();
  Put(4, 12, 4, 6);  // red with a small bomb
  Put(5, 12, 4);
  Put(3, 11, 2);  // neighbours of (4,12) in an 11-row: (5,11) and (4,11) below
  Put(4, 11, 2);
  Put(5, 11, 3);
  Attach(ctx, 4, 0, 0, 3, 12);
  EXPECT_EQ(Kind(4, 11), 0);
  EXPECT_EQ(Kind(5, 11), 0);
  EXPECT_EQ(port.Count("sample_bonus_small_bomb"), 1);
  EXPECT_GE(Particles(16), 20);
  EXPECT_TRUE(AllMarksZero());
}

TEST_F(MatchingTest, ChallengeExplodesFailedBallBelowTheFloorWhenFull) {
  ctx.game.session.game_type = GameType::Challenge;
  ctx.game.play.field.floor_row = 5;
  ctx.game.play.field.top_rows = 90;
  for (int r = 4; r <= 89; ++r) Put(2, r, 1 + (r % 2));
  Put(3, 4, 3);  // would be fine otherwise
  Attach(ctx, 4, 0, 0, 3, 3);
  EXPECT_EQ(Kind(3, 3), 0);
}

TEST_F(MatchingTest, JoySoundLimitsByTypeAndLevelAndNeverRepeats) {
  ctx.game.session.level = 1;
  EXPECT_FALSE(JoySound(ctx, 4, false));
  EXPECT_TRUE(JoySound(ctx, 5, false));
  EXPECT_FALSE(JoySound(ctx, 2, true));
  EXPECT_TRUE(JoySound(ctx, 3, true));
  ctx.game.session.level = 2;
  EXPECT_FALSE(JoySound(ctx, 6, false));
  std::string last;
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(JoySound(ctx, 7, false));
    EXPECT_NE(port.sounds.back(), last);
    last = port.sounds.back();
  }
}

TEST_F(MatchingTest, ExplosionSoundBySize) {
  for (int c = 2; c <= 9; ++c) {
    Put(c, 5, 1);
    ctx.game.play.field.at(c, 5).marks = 1;
  }
  EXPECT_EQ(ExplodeMarked(ctx), 8);
  EXPECT_EQ(port.Count("sample_explosion_big"), 1);
  for (int c = 2; c <= 7; ++c) {
    Put(c, 5, 1);
    ctx.game.play.field.at(c, 5).marks = 1;
  }
  EXPECT_EQ(ExplodeMarked(ctx), 6);
  EXPECT_EQ(port.Count("sample_explosion_middle"), 1);
}

}  // namespace
}  // namespace qv::test
