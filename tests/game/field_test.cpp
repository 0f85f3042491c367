#include "game/field.h"

#include <cmath>

#include "game/game_math.h"

#include "game_fixture.h"

namespace qv::test {
namespace {

class FieldTest : public GameTest {};

TEST(RoundEvenTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundEven(0.5), 0);
  EXPECT_EQ(RoundEven(1.5), 2);
  EXPECT_EQ(RoundEven(2.5), 2);
  EXPECT_EQ(RoundEven(-0.5), 0);
  EXPECT_EQ(RoundEven(-1.5), -2);
  EXPECT_EQ(RoundEven(-2.5), -2);
  EXPECT_EQ(RoundEven(2.4999999), 2);
  EXPECT_EQ(RoundEven(-2700.6), -2701);
  EXPECT_EQ(RoundEven(1e300), 2147483647);
  EXPECT_EQ(RoundEven(std::nan("")), 0);
}

TEST_F(FieldTest, CellPositionsFollowRowCodeAndOffset) {
  BallField& f = ctx.game.play.field;
  EXPECT_EQ(CellX(f, 2, 1), 128 + 68);  // row 1 has code 12
  EXPECT_EQ(CellX(f, 2, 0), 145 + 68);  // row 0 has code 11
  EXPECT_EQ(CellY(f, 0, 0), 428);
  EXPECT_EQ(CellY(f, 0, 5), 278);
  f.offset = 7;
  EXPECT_EQ(CellY(f, 0, 5), 285);
  EXPECT_EQ(CellY(f, 0, -1), 465);
}

TEST_F(FieldTest, NeighbourOrderDependsOnRowCode) {
  const BallField& f = ctx.game.play.field;
  const auto n12 = Neighbours(f, 5, 1);  // code 12: diagonals at c - 1
  EXPECT_EQ(n12[0].col, 4);
  EXPECT_EQ(n12[1].col, 6);
  EXPECT_EQ(n12[2].col, 4);
  EXPECT_EQ(n12[2].row, 0);
  EXPECT_EQ(n12[3].col, 5);
  EXPECT_EQ(n12[3].row, 0);
  EXPECT_EQ(n12[4].col, 4);
  EXPECT_EQ(n12[4].row, 2);
  EXPECT_EQ(n12[5].col, 5);
  EXPECT_EQ(n12[5].row, 2);
  const auto n11 = Neighbours(f, 5, 2);  // code 11: diagonals at c + 1
  EXPECT_EQ(n11[2].col, 6);
  EXPECT_EQ(n11[4].col, 6);
}

TEST_F(FieldTest, ColumnsAndWallsFollowTheMargin) {
  BallField& f = ctx.game.play.field;
  int allowed = 0;
  for (int c = 0; c < 16; ++c) allowed += ColumnAllowed(f, c, 0) ? 1 : 0;
  EXPECT_EQ(allowed, 11);  // code 11, margin 2: columns 2..12
  EXPECT_TRUE(ColumnAllowed(f, 12, 0));
  EXPECT_FALSE(ColumnAllowed(f, 13, 0));
  f.margin = 0;
  allowed = 0;
  for (int c = 0; c < 16; ++c) allowed += ColumnAllowed(f, c, 0) ? 1 : 0;
  EXPECT_EQ(allowed, 15);
  EXPECT_EQ(LeftWall(2), 188);
  EXPECT_EQ(RightWall(2), 579);
  EXPECT_EQ(LeftWall(1), 154);
  EXPECT_EQ(RightWall(1), 613);
  EXPECT_EQ(LeftWall(0), 120);
  EXPECT_EQ(RightWall(0), 647);
}

TEST_F(FieldTest, OccupancyScanCountsOnlyTheFirstRun) {
  for (int r : {0, 1, 2, 3, 6, 7, 8}) Put(4, r, 1);
  Put(4, -1, 1);  // row -1 is never scanned
  OccupancyScan(ctx.game.play.field);
  EXPECT_EQ(ctx.game.play.field.lowest, 0);
  EXPECT_EQ(ctx.game.play.field.highest, 3);
  EXPECT_EQ(ctx.game.play.field.occupied, 4);
}

TEST_F(FieldTest, OccupancyScanOfEmptyFieldAndRunStartingHigher) {
  OccupancyScan(ctx.game.play.field);
  EXPECT_EQ(ctx.game.play.field.lowest, 9999999);
  EXPECT_EQ(ctx.game.play.field.highest, -9999999);
  EXPECT_EQ(ctx.game.play.field.occupied, 0);
  for (int r : {5, 6, 10}) Put(3, r, 2);
  OccupancyScan(ctx.game.play.field);
  EXPECT_EQ(ctx.game.play.field.lowest, 5);
  EXPECT_EQ(ctx.game.play.field.highest, 6);
  EXPECT_EQ(ctx.game.play.field.occupied, 2);
}

TEST_F(FieldTest, ClearRowFreesOnlyWhenAsked) {
  Put(3, 4, 2, 5, 0);
  Put(4, 4, kKindColourBomb, 0, 6);
  const PicId a = ctx.game.play.field.at(3, 4).sprite;
  const PicId b = ctx.game.play.field.at(4, 4).sprite;
  ClearRow(ctx, 4, false);
  EXPECT_TRUE(PicAlive(ctx, a));
  EXPECT_EQ(ctx.game.play.field.at(3, 4).sprite, kNoPic);
  EXPECT_EQ(Kind(3, 4), 0);
  EXPECT_EQ(ctx.game.play.field.at(3, 4).bonus, 0);
  EXPECT_EQ(ctx.game.play.field.at(4, 4).paint, 6);  // the paint colour is left as it was
  Put(3, 5, 2);
  const PicId c = ctx.game.play.field.at(3, 5).sprite;
  ClearRow(ctx, 5, true);
  EXPECT_FALSE(PicAlive(ctx, c));
  EXPECT_TRUE(PicAlive(ctx, b));
}

TEST_F(FieldTest, GenerateRowFillsFromFirstColumnWithPlainBalls) {
  GenerateRow(ctx, 13, 11);
  const BallField& f = ctx.game.play.field;
  EXPECT_EQ(f.code(13), 11);
  for (int c = 0; c < 16; ++c) {
    const FieldCell& cell = f.at(c, 13);
    if (c >= 2 && c <= 12) {
      ASSERT_GE(cell.kind, 1);
      ASSERT_LE(cell.kind, 4);
      EXPECT_EQ(cell.bonus, 0);
      const TMultiSprite* p = Pic(ctx, cell.sprite);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->tag, "balls");
      EXPECT_EQ(p->x, 145 + 34 * c);
      EXPECT_EQ(p->y, 428 - 30 * 13);
      ASSERT_EQ(p->parts.size(), 4u);
      EXPECT_EQ(p->parts[1]->anim_speed, 0);
      EXPECT_FALSE(p->parts[0]->visible);
      EXPECT_TRUE(p->parts[1]->visible);
      EXPECT_FALSE(p->parts[2]->visible);
      EXPECT_FALSE(p->parts[3]->visible);
      EXPECT_EQ(p->name, "ball" + std::to_string(cell.kind));
    } else {
      EXPECT_EQ(cell.kind, 0);
    }
  }
}

TEST_F(FieldTest, BonusBallPictureAnimatesAndShowsItsIcon) {
  Put(3, 3, 4, 7);
  const TMultiSprite* p = &CellPic(3, 3);
  ASSERT_EQ(p->parts.size(), 4u);
  EXPECT_DOUBLE_EQ(p->parts[1]->anim_speed, 0.5);
  EXPECT_EQ(p->parts[2]->anim_pos, 6);
  EXPECT_TRUE(p->parts[2]->visible);
  Put(4, 3, kKindColourBomb, 0, 4);
  p = &CellPic(4, 3);
  EXPECT_EQ(p->name, "bomb1");
  EXPECT_EQ(p->parts[1]->color, 0xFF0000);
  EXPECT_TRUE(p->parts[0]->visible);
  Put(5, 3, kKindLand);
  EXPECT_EQ(CellPic(5, 3).tag, "land");
  Put(6, 3, kKindCrystal);
  EXPECT_EQ(CellPic(6, 3).tag, "crystal");
}

TEST_F(FieldTest, DescendDoesNothingWhileRowMinusOneIsOccupied) {
  Put(5, -1, 1);
  Put(5, 5, 2);
  const double y = PicY(ctx, ctx.game.play.field.at(5, 5).sprite);
  EXPECT_EQ(Descend(ctx, 4), 0);
  EXPECT_EQ(ctx.game.play.field.offset, 0);
  EXPECT_EQ(PicY(ctx, ctx.game.play.field.at(5, 5).sprite), y);
}

TEST_F(FieldTest, ThirtyStepsShiftTheRowsAndAddANewTopRow) {
  Put(5, 5, 3);
  const PicId id = ctx.game.play.field.at(5, 5).sprite;
  EXPECT_EQ(PicY(ctx, id), 278);
  EXPECT_EQ(Descend(ctx, 30), 30);
  BallField& f = ctx.game.play.field;
  EXPECT_EQ(f.offset, 0);
  EXPECT_EQ(Kind(5, 4), 3);
  EXPECT_EQ(Kind(5, 5), 0);
  EXPECT_EQ(f.at(5, 4).sprite, id);
  EXPECT_EQ(PicY(ctx, id), 308);
  EXPECT_EQ(CellY(f, 5, 4), 308);
  // Arcade with R = 14: a new row 13 with code 11 + parity and the parity flips.
  EXPECT_EQ(f.top_rows, 14);
  EXPECT_EQ(f.code(13), 11);
  EXPECT_EQ(f.new_row_parity, 1);
  EXPECT_TRUE(RowOccupied(f, 13));
  EXPECT_EQ(PicY(ctx, f.at(2, 13).sprite), 428 - 30 * 13);
  EXPECT_EQ(Descend(ctx, 30), 30);
  EXPECT_EQ(f.code(13), 12);  // independent of the row below
  EXPECT_EQ(f.new_row_parity, 0);
}

TEST_F(FieldTest, DescendPixelStepsByGameType) {
  ctx.game.session.game_type = GameType::Challenge;
  EXPECT_EQ(Descend(ctx, 2), 6);  // 2 * balls_climb_inc_challenge
  ctx.game.session.game_type = GameType::Puzzle;
  ctx.game.play.field.offset = 0;
  EXPECT_EQ(Descend(ctx, 1), 2);  // n < 2: balls_climb_inc_puzzle
  EXPECT_EQ(Descend(ctx, 3), 3);  // else 1 per n
  EXPECT_EQ(port.board_y, 5);     // the puzzle board follows every step
}

TEST_F(FieldTest, WholeRowDescentAtTwentyRowsGeneratesNothing) {
  ctx.game.play.field.top_rows = 20;
  Put(3, 19, 1);
  Descend(ctx, 30);
  EXPECT_EQ(ctx.game.play.field.top_rows, 19);
  EXPECT_EQ(Kind(3, 18), 1);
  EXPECT_FALSE(RowOccupied(ctx.game.play.field, 19));
}

TEST_F(FieldTest, PuzzleDescentLowersTopRowCountNotBelowZero) {
  ctx.game.session.game_type = GameType::Puzzle;
  ctx.game.play.field.top_rows = 1;
  ctx.options.balls_climb_inc_puzzle = 1;
  EXPECT_EQ(Descend(ctx, 30), 30);  // n >= 2: 1 step per n
  EXPECT_EQ(ctx.game.play.field.top_rows, 0);
  EXPECT_EQ(Descend(ctx, 30), 30);
  EXPECT_EQ(ctx.game.play.field.top_rows, 0);
}

TEST_F(FieldTest, ClimbShiftsRowsUpAndGrowsTheTopRowCount) {
  BallField& f = ctx.game.play.field;
  Put(4, 13, 2);
  Put(4, 0, 1);
  const PicId low = f.at(4, 0).sprite;
  OccupancyScan(f);
  EXPECT_EQ(Climb(ctx, 0), 4);  // arcade: balls_climb_inc_arcade steps
  EXPECT_EQ(f.top_rows, 15);
  EXPECT_EQ(f.offset, 26);
  EXPECT_EQ(Kind(4, 14), 2);
  EXPECT_EQ(Kind(4, 1), 1);
  EXPECT_EQ(f.at(4, 1).sprite, low);
  EXPECT_EQ(PicY(ctx, low), 428 - 4);
  EXPECT_EQ(CellY(f, 4, 1), 428 - 4);
  EXPECT_EQ(f.code(-1), 23 - f.code(0));
}

TEST_F(FieldTest, ClimbRefusesAtTheTopAndWhenRowsPlusFloorReach90) {
  BallField& f = ctx.game.play.field;
  f.top_rows = 90;
  Put(3, 89, 1);
  OccupancyScan(f);
  EXPECT_EQ(Climb(ctx, 0), 0);
  f.top_rows = 14;
  f.occupied = 85;
  f.floor_row = 5;
  EXPECT_EQ(Climb(ctx, 0), 0);
  f.offset = 3;  // mid-row steps need no shift
  EXPECT_EQ(Climb(ctx, 0), 3);
}

TEST_F(FieldTest, WallTrimExplodesBallsOutsideTheNets) {
  BallField& f = ctx.game.play.field;
  f.margin = 0;
  Put(0, 1, 1);
  Put(14, 0, 2);
  Put(5, 1, 3);
  f.margin = 2;
  EXPECT_EQ(WallTrim(ctx), 2);
  EXPECT_EQ(Kind(0, 1), 0);
  EXPECT_EQ(Kind(14, 0), 0);
  EXPECT_EQ(Kind(5, 1), 3);
}

}  // namespace
}  // namespace qv::test
