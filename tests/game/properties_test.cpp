// Properties over many random fields: whatever a shot sets off, the field that remains hangs
// from its anchor row, carries no marks, and every ball sits in its cell with its own picture.
#include <deque>

#include "game/bonuses.h"
#include "game/matching.h"
#include "game/shot.h"
#include "game_fixture.h"

namespace qv::test {
namespace {

class FieldProperties : public GameTest, public ::testing::WithParamInterface<int> {
 protected:
  // A random field hanging from row 13, with bonuses, multiballs, lands, bombs and crystals.
  void RandomField(Random& rnd) {
    for (int r = 0; r <= 13; ++r) {
      const int density = r == 13 ? 100 : 40 + rnd.Next(60);
      for (int c = 2; c < 2 + ctx.game.play.field.code(r); ++c) {
        if (rnd.Next(100) >= density) continue;
        const int roll = rnd.Next(100);
        int kind = 1 + rnd.Next(4);
        if (roll < 4) kind = kKindMultiball;
        if (roll >= 4 && roll < 8) kind = kKindLand;
        if (roll >= 8 && roll < 10) kind = kKindColourBomb;
        if (roll >= 10 && roll < 12) kind = kKindCrystal;
        const int bonus = kind <= 7 && rnd.Next(10) == 0 ? 2 + rnd.Next(8) : 0;
        Put(c, r, kind, bonus, 1 + rnd.Next(7));
      }
    }
    Drop(ctx, false);
  }

  void CheckField(const char* when) {
    const BallField& f = ctx.game.play.field;
    SCOPED_TRACE(when);
    EXPECT_TRUE(AllMarksZero());
    EXPECT_FALSE(RowOccupied(f, -1));
    // Everything left is reached from the anchor row.
    std::vector<char> seen(f.cells.size(), 0);
    std::deque<CellRef> queue;
    const int anchor = f.top_rows - 1;
    for (int c = 0; c < kFieldCols; ++c) {
      if (f.at(c, anchor).kind != 0) queue.push_back({c, anchor});
    }
    while (!queue.empty()) {
      const CellRef cell = queue.front();
      queue.pop_front();
      const auto i = static_cast<std::size_t>((cell.row + 1) * kFieldCols + cell.col);
      if (seen[i]) continue;
      seen[i] = 1;
      for (const CellRef& n : Neighbours(f, cell.col, cell.row)) {
        if (BallField::InRange(n.col, n.row) && f.at(n.col, n.row).kind != 0) queue.push_back(n);
      }
    }
    for (int r = -1; r <= 89; ++r) {
      for (int c = 0; c < kFieldCols; ++c) {
        const FieldCell& cell = f.at(c, r);
        const auto i = static_cast<std::size_t>((r + 1) * kFieldCols + c);
        if (cell.kind == 0) {
          EXPECT_EQ(cell.sprite, kNoPic) << c << "," << r;
          continue;
        }
        EXPECT_TRUE(seen[i]) << "loose ball at " << c << "," << r;
        const TMultiSprite* m = Pic(ctx, cell.sprite);
        ASSERT_NE(m, nullptr) << c << "," << r;
        EXPECT_EQ(m->x, CellX(f, c, r));
        EXPECT_EQ(m->y, CellY(f, c, r));
      }
    }
  }
};

TEST_P(FieldProperties, EveryShotLeavesAHangingUnmarkedField) {
  Random rnd;
  rnd.Seed(static_cast<std::uint32_t>(GetParam()) * 7919u + 13u);
  ctx.random.Seed(static_cast<std::uint32_t>(GetParam()));
  ctx.game.session.game_type = GetParam() % 3 == 0 ? GameType::Puzzle : GameType::Arcade;
  ResetBonusTypes(ctx);
  RandomField(rnd);
  CheckField("random field");
  int planned = 0;
  for (int shot = 0; shot < 12; ++shot) {
    AimUpdate(ctx, rnd.Next(800), rnd.Next(560), 800, 600);
    const AimState& a = ctx.game.scene.aim;
    if (!PlanShot(ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy)) {
      continue;
    }
    ++planned;
    const ShotPath& path = ctx.game.play.path;
    const int c = path.target_col;
    const int r = path.target_row;
    ASSERT_TRUE(BallField::InRange(c, r));
    ASSERT_EQ(ctx.game.play.field.at(c, r).kind, 0);
    ASSERT_TRUE(ColumnAllowed(ctx.game.play.field, c, r));
    const PathPoint& end = path.points[static_cast<std::size_t>(path.length - 1)];
    EXPECT_EQ(end.x, CellX(ctx.game.play.field, c, r));
    EXPECT_EQ(end.y, CellY(ctx.game.play.field, c, r));
    const int roll = rnd.Next(20);
    const int kind = roll == 0   ? kKindMultiball
                     : roll == 1 ? kKindColourBomb
                     : roll == 2 ? kKindBigBomb
                                 : 1 + rnd.Next(4);
    Attach(ctx, kind, 1 + rnd.Next(7), kind <= 7 && rnd.Next(4) == 0 ? 2 + rnd.Next(8) : 0, c, r);
    CheckField("after attach");
    ctx.clocks.game_clock += 500;
    BombStep(ctx);
    CheckField("after the bombs");
    BonusListStep(ctx);
    if (ctx.game.play.field.occupied == 0 &&
        !RowOccupied(ctx.game.play.field, ctx.game.play.field.top_rows - 1)) {
      break;
    }
  }
  EXPECT_GT(planned, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, FieldProperties, ::testing::Range(1, 41));

}  // namespace
}  // namespace qv::test
