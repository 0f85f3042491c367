// Level files, the per-type descent, win and loss rules, and the saved progress around them.
#include <gtest/gtest.h>

#include <fstream>

#include "game/dialogs.h"
#include "game/field.h"
#include "game/game_frame.h"
#include "game/hud.h"
#include "game/levels.h"
#include "game_fixture.h"
#include "platform/files.h"

namespace qv::test {
namespace {

void WriteGameFile(const std::string& game_path, const std::string& text) {
  const std::filesystem::path host = platform::HostPath(game_path);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << text;
}

TEST(LevelFiles, NamesCarryTwoDigitsBelowTen) {
  EXPECT_EQ(LevelFileName(GameType::Arcade, 7), "levels\\arcade-07.ini");
  EXPECT_EQ(LevelFileName(GameType::Arcade, 10), "levels\\arcade-10.ini");
  EXPECT_EQ(LevelFileName(GameType::Challenge, 12), "levels\\challenge-12.ini");
  EXPECT_EQ(LevelFileName(GameType::Puzzle, 3), "levels\\puzzle-03.ini");
  EXPECT_EQ(LevelFileName(GameType::Puzzle, 123), "levels\\puzzle-123.ini");
}

TEST(LevelFiles, CommentsAndEmptyLinesDoNotCount) {
  const auto lines = CountedLines("  ; header\r\n\r\n 1200 ; climb\r\n;\r\n2.5\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "1200");
  EXPECT_EQ(lines[0].line, 3);
  EXPECT_EQ(lines[1].text, "2.5");
  EXPECT_EQ(lines[1].line, 5);
}

TEST(LevelFiles, BonusListEndsAtAnEmptyFieldOrAnItemOutOfRange) {
  auto items = ParseBonusItems("f", {"3,5,,7", 4});
  ASSERT_TRUE(items.has_value());
  EXPECT_EQ(*items, (std::vector<int>{3, 5}));
  items = ParseBonusItems("f", {"3, 12, 5", 4});
  EXPECT_EQ(*items, (std::vector<int>{3}));
  items = ParseBonusItems("f", {" 1 , 10 ,0,4", 4});
  EXPECT_EQ(*items, (std::vector<int>{1, 10}));
  items = ParseBonusItems("f", {"2,x", 9});
  ASSERT_FALSE(items.has_value());
  EXPECT_EQ(items.error().line, 9);
}

TEST(LevelFiles, TimedLevelReadsItsLinesInOrder) {
  const auto t = ParseTimedLevel("levels\\arcade-01.ini",
                                 "; arcade 1\n1500\n 2.5 \n4\n2,3\n9\nNEW: TARGET\nAIM WELL\n");
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(t->time, 1500);
  EXPECT_DOUBLE_EQ(t->real, 2.5);
  EXPECT_EQ(t->colours, 4);
  EXPECT_EQ(t->items, (std::vector<int>{2, 3}));
  EXPECT_EQ(t->new_item, 9);
  EXPECT_EQ(t->description, (std::vector<std::string>{"NEW: TARGET", "AIM WELL"}));
}

TEST(LevelFiles, TimedLevelErrorsNameTheLine) {
  auto t = ParseTimedLevel("a", "1500\n2,5\n4\n2\n0\n");
  ASSERT_FALSE(t.has_value());
  EXPECT_EQ(t.error().line, 2);
  t = ParseTimedLevel("a", "1500\n2.5\nfour\n2\n0\n");
  ASSERT_FALSE(t.has_value());
  EXPECT_EQ(t.error().line, 3);
  t = ParseTimedLevel("a", "1500\n2.5\n4\n2\n");
  ASSERT_FALSE(t.has_value()) << "the new item line is missing";
  // Random colours come from 1..count: a count of 0 or above 7 cannot fill a row.
  EXPECT_FALSE(ParseTimedLevel("a", "1500\n2.5\n0\n2\n0\n").has_value());
  EXPECT_FALSE(ParseTimedLevel("a", "1500\n2.5\n8\n2\n0\n").has_value());
}

TEST(LevelFiles, PuzzleLayoutAndSections) {
  const auto p = ParsePuzzleLevel("p", "6\n1,x\n.12.C\n3L3\n#\n4,9\n4\nLINE ONE\n");
  ASSERT_TRUE(p) << Describe(p.error());
  EXPECT_EQ(p->shots_per_descent, 6);
  EXPECT_EQ(p->shift, 1);
  EXPECT_EQ(p->rows, (std::vector<std::string>{".12.C", "3L3"}));
  EXPECT_EQ(p->crystals, 1);
  EXPECT_EQ(p->colours, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(p->items, (std::vector<int>{4, 9}));
  EXPECT_EQ(p->new_item, 4);
  EXPECT_EQ(p->description, (std::vector<std::string>{"LINE ONE"}));
}

TEST(LevelFiles, UnplayablePuzzlesAreMalformed) {
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n1\n.12.3\n#\n0\n0\n").has_value()) << "no crystal";
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n1\n.LLC.\n#\n0\n0\n").has_value()) << "no colour ball";
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n1\n.18C.\n#\n0\n0\n").has_value()) << "colour 8";
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n2\n.12C.\n#\n0\n0\n").has_value()) << "shift 2";
  EXPECT_FALSE(ParsePuzzleLevel("p", "six\n1\n.12C.\n#\n0\n0\n").has_value());
  // Characters past column 15 are not read, so a crystal there does not count.
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n1\n11111111111111C\n#\n0\n0\n").has_value());
}

// The per-type descent choice.
struct DescentCase {
  GameType type;
  int lowest, floor, budget;
  bool allowed;
  int n, delay;
};

TEST(Descent, ChoicePerGameType) {
  Options o;
  o.balls_climb_time_challenge = 90;
  o.balls_climb_time_puzzle = 40;
  constexpr int kEmpty = 9999999;
  const DescentCase cases[] = {
      {GameType::Arcade, 3, 0, 0, true, 1, 700},       {GameType::Arcade, 8, 0, 0, true, 1, 700},
      {GameType::Arcade, 9, 0, 0, true, 1, 0},         {GameType::Arcade, 12, 0, 0, true, 4, 0},
      {GameType::Arcade, 13, 0, 0, true, 4, 0},        {GameType::Arcade, kEmpty, 0, 0, true, 4, 0},
      {GameType::Challenge, 6, 5, 0, true, 1, 90},     {GameType::Challenge, 5, 5, 0, false, 1, 90},
      {GameType::Challenge, 2, 5, 0, false, 1, 90},    {GameType::Puzzle, 12, 12, 0, false, 1, 40},
      {GameType::Puzzle, 12, 12, 239, true, 1, 40},    {GameType::Puzzle, 12, 12, 240, true, 4, 0},
      {GameType::Puzzle, 10, 12, 359, true, 2, 0},     {GameType::Puzzle, 8, 12, 300, true, 1, 0},
      {GameType::Puzzle, 3, 12, 300, true, 1, 0},      {GameType::Puzzle, 20, 20, 360, true, 4, 0},
      {GameType::Puzzle, kEmpty, 12, 300, true, 4, 0},
  };
  for (const DescentCase& c : cases) {
    const DescentChoice d = ChooseDescent(c.type, c.lowest, c.floor, c.budget, 700, o);
    SCOPED_TRACE(testing::Message() << "type " << TypeNumber(c.type) << " lowest " << c.lowest
                                    << " budget " << c.budget);
    EXPECT_EQ(d.allowed, c.allowed);
    if (d.allowed) {
      EXPECT_EQ(d.n, c.n);
      EXPECT_EQ(d.delay, c.delay);
    }
  }
}

class LevelTest : public GameTest {
 protected:
  void Puzzle(const std::string& level_text, int level = 1) {
    ctx.game.session.game_type = GameType::Puzzle;
    ctx.game.session.level = level;
    WriteGameFile(LevelFileName(GameType::Puzzle, level), level_text);
  }
  // Runs the type's descent until it allows no more, as the game frame would; returns the
  // pixel steps taken.
  int DescendAll(int limit) {
    GameState& g = ctx.game;
    int total = 0;
    for (int i = 0; i < limit; ++i) {
      OccupancyScan(g.play.field);
      const DescentChoice d =
          ChooseDescent(g.session.game_type, g.play.field.lowest, g.play.field.floor_row,
                        g.play.lv.descent_budget, 1000, ctx.options);
      if (!d.allowed) break;
      const int taken = Descend(ctx, d.n);
      total += taken;
      g.play.lv.descent_budget = std::max(0, g.play.lv.descent_budget - taken);
      if (taken == 0) break;
    }
    return total;
  }
};

TEST_F(LevelTest, PuzzleLayoutPutsBallsLandsAndCrystals) {
  Puzzle("5\n0\n.12.C\nL\n#\n\n0\n");
  const Expected<int> shift = BuildPuzzleLevel(ctx, LevelFileName(GameType::Puzzle, 1));
  ASSERT_TRUE(shift);
  EXPECT_EQ(*shift, 0);
  EXPECT_EQ(Kind(3, 23), 1);
  EXPECT_EQ(Kind(4, 23), 2);
  EXPECT_EQ(Kind(5, 23), 0);
  EXPECT_EQ(Kind(6, 23), kKindCrystal);
  EXPECT_EQ(Kind(2, 22), kKindLand);
  EXPECT_EQ(ctx.game.play.crystals.count, 1);
  EXPECT_EQ(ctx.game.play.field.floor_row, 22);
  EXPECT_EQ(ctx.game.play.field.top_rows, 24);
  EXPECT_EQ(ctx.game.play.lv.descent_budget, 360);
  // An 11-row top (shift 0) starts at x 145; the next row, a 12-row, at 128.
  EXPECT_DOUBLE_EQ(CellPic(3, 23).x, 145 + 34 * 3);
  EXPECT_DOUBLE_EQ(CellPic(3, 23).y, 428 - 30 * 23);
  EXPECT_DOUBLE_EQ(CellPic(2, 22).x, 128 + 34 * 2);
  EXPECT_EQ(CellPic(6, 23).tag, "crystal");
  EXPECT_EQ(CellPic(2, 22).tag, "land");
}

TEST_F(LevelTest, TwelveRowPuzzleDescendsTheWholeBudget) {
  std::string text = "4\n1\n";
  for (int r = 0; r < 12; ++r) text += r % 2 == 0 ? "123412341234\n" : "1C3412341L3\n";
  Puzzle(text + "#\n1\n0\n");
  ASSERT_TRUE(LevelBuild(ctx));
  EXPECT_EQ(ctx.game.play.field.floor_row, 12);
  EXPECT_EQ(ctx.game.play.lv.danger_row, 0);
  // Once the lowest row comes to 8 the slide would have stopped without the step of 1.
  EXPECT_EQ(DescendAll(100000), 360);
  EXPECT_EQ(ctx.game.play.lv.descent_budget, 0);
  OccupancyScan(ctx.game.play.field);
  EXPECT_EQ(ctx.game.play.field.lowest, 0);
}

TEST_F(LevelTest, PuzzleBuildTakesColoursAndLastLevel) {
  Puzzle("4\n1\n..55..C..\n..7.....\n#\n3,4\n2\nNEW THING\n", 2);
  ASSERT_TRUE(LevelBuild(ctx));
  EXPECT_EQ(ctx.game.play.lv.last_level, 2) << "no file for level 3";
  EXPECT_EQ(ctx.game.play.lv.colours, (std::vector<int>{5, 7}));
  EXPECT_EQ(ctx.game.play.lv.bonus_items, (std::vector<int>{3, 4}));
  EXPECT_EQ(ctx.game.play.lv.new_item, 2);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing);
  EXPECT_FALSE(ctx.game.play.lv.start_flag);
  // Both balls of the cannon come from the layout's colours.
  for (int i = 0; i < 40; ++i) {
    NextBall(ctx);
    const int k = ctx.game.play.next_ball.kind;
    EXPECT_TRUE(k == 5 || k == 7 || k == kKindMultiball || k == kKindColourBomb) << k;
  }
  WriteGameFile(LevelFileName(GameType::Puzzle, 3), "4\n1\n1C\n#\n\n0\n");
  ASSERT_TRUE(LevelBuild(ctx));
  EXPECT_EQ(ctx.game.play.lv.last_level, 999999);
}

TEST_F(LevelTest, ArcadeBuildReadsHeaderAndFillsTwoRows) {
  ctx.game.session.game_type = GameType::Arcade;
  ctx.game.session.level = 7;
  WriteGameFile("levels\\arcade-07.ini", "900\n3.0\n3\n2,3\n0\n");
  ASSERT_TRUE(LevelBuild(ctx));
  EXPECT_EQ(ctx.game.play.lv.last_level, 7) << "levels\\arcade-08.ini is missing";
  EXPECT_EQ(ctx.game.play.lv.climb_time, 900);
  EXPECT_DOUBLE_EQ(ctx.game.play.lv.point_divisor, 3.0);
  EXPECT_EQ(ctx.game.play.field.code(-1), 12);
  EXPECT_EQ(ctx.game.play.field.code(12), 11);
  EXPECT_EQ(ctx.game.play.field.code(13), 12);
  EXPECT_EQ(ctx.game.play.field.occupied, 2);
  EXPECT_EQ(ctx.game.play.field.lowest, 12);
  EXPECT_EQ(ctx.game.play.lv.danger_row, 8);
  for (int c = 2; c < 13; ++c) EXPECT_GE(Kind(c, 12), 1);
  for (int c = 2; c < 13; ++c) EXPECT_LE(Kind(c, 12), 3);
  WriteGameFile("levels\\arcade-08.ini", "900\n3.0\n3\n2,3\n0\n");
  ASSERT_TRUE(LevelBuild(ctx));
  EXPECT_EQ(ctx.game.play.lv.last_level, 999999);
}

TEST_F(LevelTest, ChallengeBuildStartsHalfFull) {
  ctx.game.session.game_type = GameType::Challenge;
  ctx.game.session.level = 1;
  WriteGameFile("levels\\challenge-01.ini", "400\n0.5\n4\n0\n0\n");
  ASSERT_TRUE(LevelBuild(ctx));
  EXPECT_DOUBLE_EQ(ctx.game.play.progress.target, 166.5);
  EXPECT_DOUBLE_EQ(ctx.game.play.lv.challenge_factor, 0.5);
  EXPECT_EQ(ctx.game.play.lv.drain_interval, 400);
  EXPECT_EQ(ctx.game.play.lv.danger_row, 5);
}

TEST_F(LevelTest, SameSeedBuildsTheSameLevel) {
  ctx.shell.run.has_seed = true;
  ctx.shell.run.seed = 77;
  ctx.game.session.game_type = GameType::Arcade;
  WriteGameFile("levels\\arcade-02.ini", "900\n3.0\n7\n0\n0\n");
  ASSERT_TRUE(LevelBuild(ctx));
  std::vector<int> first;
  for (int c = 0; c < 16; ++c) first.push_back(Kind(c, 13));
  ctx.random.Seed(1);
  ASSERT_TRUE(LevelBuild(ctx));
  for (int c = 0; c < 16; ++c) EXPECT_EQ(Kind(c, 13), first[static_cast<std::size_t>(c)]);
}

TEST_F(LevelTest, MissingLevelFileStopsTheBuildAndLeavesForTheMenu) {
  ctx.game.session.game_type = GameType::Arcade;
  ctx.game.session.level = 3;
  EXPECT_FALSE(LevelBuild(ctx));
  EXPECT_TRUE(ctx.game.play.lv.unplayable);
  EXPECT_EQ(ctx.shell.flow.pending_scene, SceneId::Menu);
  EXPECT_EQ(ctx.shell.flow.command, MenuCommand::MainMenu);
}

TEST_F(LevelTest, WinAndLossPerType) {
  GameState& g = ctx.game;
  g.session.game_type = GameType::Arcade;
  g.play.progress.target = 332.9;
  EXPECT_FALSE(LevelWonNow(g));
  g.play.progress.target = 333;
  EXPECT_TRUE(LevelWonNow(g));
  EXPECT_FALSE(LossDetected(g));
  Put(5, 0, 1);
  EXPECT_TRUE(LossDetected(g));
  g.session.game_type = GameType::Puzzle;
  EXPECT_FALSE(LossDetected(g)) << "puzzle loses only at row -1";
  Put(5, -1, 1);
  EXPECT_TRUE(LossDetected(g));
  g.play.crystals.count = 3;
  g.play.crystals.freed = 2;
  EXPECT_FALSE(LevelWonNow(g));
  g.play.crystals.freed = 3;
  EXPECT_TRUE(LevelWonNow(g));
  g.session.game_type = GameType::Challenge;
  g.play.progress.target = 0.5;
  EXPECT_FALSE(LossDetected(g));
  g.play.progress.target = 0;
  EXPECT_TRUE(LossDetected(g));
}

TEST_F(LevelTest, ChallengeFieldIsPushedBackAboveRowFive) {
  BallField& f = ctx.game.play.field;
  f.floor_row = 5;
  FillRow(6, 1);
  OccupancyScan(f);
  EXPECT_FALSE(ChallengeClimbWanted(f));
  f.offset = 3;
  Put(3, 5, 1);
  OccupancyScan(f);
  EXPECT_TRUE(ChallengeClimbWanted(f)) << "at the floor row and moved down";
  f.offset = 0;
  EXPECT_FALSE(ChallengeClimbWanted(f));
  Put(3, 4, 1);
  OccupancyScan(f);
  EXPECT_TRUE(ChallengeClimbWanted(f));
}

TEST_F(LevelTest, ArcadeLossWaitsFiveSecondsAndRowZeroClearedInTimeCancelsIt) {
  GameState& g = ctx.game;
  g.session.game_type = GameType::Arcade;
  g.session.level = 7;
  Put(4, 0, 2);
  DangerAndLoss(ctx);
  EXPECT_TRUE(g.play.frame.deadline_set);
  ctx.clocks.game_clock += 4990;
  DangerAndLoss(ctx);
  EXPECT_EQ(g.play.end_phase, EndPhase::Playing);
  ClearRow(ctx, 0, true);
  DangerAndLoss(ctx);
  EXPECT_FALSE(g.play.frame.deadline_set);
  Put(4, 0, 2);
  DangerAndLoss(ctx);
  ctx.clocks.game_clock += 5000;
  DangerAndLoss(ctx);
  EXPECT_EQ(g.play.end_phase, EndPhase::Lost);
  EXPECT_EQ(port.Count("sample_game_over"), 1);
  EXPECT_EQ(Balls(), 0) << "the whole field falls";
  EXPECT_EQ(Progress(ctx).level, 5);
  EXPECT_EQ(Progress(ctx).may_continue, 0);
}

TEST_F(LevelTest, PuzzleLossIsImmediate) {
  GameState& g = ctx.game;
  g.session.game_type = GameType::Puzzle;
  g.session.level = 3;
  Put(4, -1, 2);
  DangerAndLoss(ctx);
  EXPECT_EQ(g.play.end_phase, EndPhase::Lost);
  EXPECT_EQ(Progress(ctx).may_continue, -1) << "below level 5 nothing to continue";
}

TEST_F(LevelTest, BigBombAwardNeedsAPositiveCount) {
  GameState& g = ctx.game;
  g.session.game_type = GameType::Arcade;
  g.play.next_ball = {3, 0, 4};
  ctx.options.bigbomb_expl_count = 0;
  g.play.scoring.streak = 0;
  BigBombAward(ctx);
  EXPECT_EQ(g.play.next_ball.kind, 3);
  ctx.options.bigbomb_expl_count = 8;
  g.play.scoring.streak = 7;
  BigBombAward(ctx);
  EXPECT_EQ(g.play.next_ball.kind, 3);
  g.play.scoring.streak = 8;
  g.play.current_ball = {2, 0, 0};
  BigBombAward(ctx);
  EXPECT_EQ(g.play.next_ball.kind, kKindBigBomb);
  EXPECT_EQ(g.play.next_ball.bonus, 0);
  EXPECT_EQ(g.play.current_ball.kind, 2);
  EXPECT_EQ(g.play.scoring.streak, 0);
  g.session.game_type = GameType::Puzzle;
  g.play.next_ball = {3, 0, 0};
  g.play.scoring.streak = 9;
  BigBombAward(ctx);
  EXPECT_EQ(g.play.next_ball.kind, 3);
}

TEST_F(LevelTest, ProgressThroughWinLossAndPlayAgain) {
  GameState& g = ctx.game;
  g.session.game_type = GameType::Arcade;
  g.session.level = 9;
  g.session.score = 4000;
  SaveProgress(ctx);
  g.session.level = 10;
  g.session.score = 5200;
  SaveProgress(ctx);
  EXPECT_EQ(Progress(ctx).checkpoint, 5200);
  g.session.level = 13;
  g.session.score = 9000;
  SaveLossProgress(ctx);
  EXPECT_EQ(Progress(ctx).level, 10);
  EXPECT_EQ(Progress(ctx).score, 0);
  EXPECT_EQ(Progress(ctx).may_continue, 0);
  g.session.level = Progress(ctx).level;
  CommandPlayAgain(ctx);
  EXPECT_EQ(g.session.level, 10);
  EXPECT_EQ(g.session.score, 5200);
  EXPECT_EQ(g.scene.hud.shown_score, 5200);
  EXPECT_EQ(Progress(ctx).may_continue, 1);
  EXPECT_TRUE(g.play.lv.start_flag);
}

TEST_F(LevelTest, GameStartTakesSavedProgressOrBegLevel) {
  GameState& g = ctx.game;
  g.session.game_type = GameType::Challenge;
  g.session.score = 777;  // left over from an earlier game
  GameStart(ctx);
  EXPECT_EQ(g.session.level, 1);
  EXPECT_EQ(g.session.score, 0);
  EXPECT_EQ(Progress(ctx).level, 1);
  Progress(ctx) = {6, 3100, 1, 2000};
  GameStart(ctx);
  EXPECT_EQ(g.session.level, 6);
  EXPECT_EQ(g.session.score, 3100);
  EXPECT_EQ(g.scene.hud.shown_score, 3100);
  ctx.options.beg_level = 15;
  GameStart(ctx);
  EXPECT_EQ(g.session.level, 15);
  EXPECT_EQ(Progress(ctx).level, 15);
  EXPECT_EQ(Progress(ctx).checkpoint, 3100);
}

}  // namespace
}  // namespace qv::test
