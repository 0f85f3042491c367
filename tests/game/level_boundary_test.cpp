// State that belongs to a level ends with it: a deadline, a climb, a bomb, a combo left running
// when a level ends must not reach the next level or the next game.
#include <gtest/gtest.h>

#include "game/bonuses.h"
#include "game/field.h"
#include "game/game_frame.h"
#include "game/game_math.h"
#include "game/hud.h"
#include "game/levels.h"
#include "game/particles.h"
#include "game_fixture.h"
#include "scene_run.h"

namespace qv::test {
namespace {

void FillRow(Context& ctx, int r) {
  for (int c = 3; c < 12; ++c) {
    if (ctx.game.play.field.at(c, r).kind == 0) PutBall(ctx, c, r, 1 + c % 3, 0, 0);
  }
}

// Fills the strip: the level is won; true once its statistics are up.
bool WinToStatistics(SceneRun& run) {
  Context& ctx = *run.ctx;
  if (ctx.game.session.game_type == GameType::Challenge) {
    ctx.game.play.progress.target = 400;
  } else {
    ctx.game.play.scoring.level_points = 1000000;
    ctx.game.scene.hud.score_redraw = true;
  }
  return run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::Statistics; }, 3000);
}

// Row 0 holds balls until the arcade loss deadline runs, and a while longer.
void StartDeadline(SceneRun& run) {
  Context& ctx = *run.ctx;
  FillRow(ctx, 0);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.frame.deadline_set; }, 50));
  run.Tick(420);  // 4.2 s of the 5 s
  ASSERT_EQ(ctx.game.play.end_phase, EndPhase::Playing);
}

// Leaving the scene ends the level and the scene; the game's type, level and score stay for
// the menu.
void ExpectLeft(const Context& ctx) {
  const LevelPlay& p = ctx.game.play;
  const LevelPlay fresh;
  EXPECT_TRUE(p.lv == fresh.lv);
  EXPECT_TRUE(p.frame == fresh.frame);
  EXPECT_TRUE(p.hud == fresh.hud);
  EXPECT_TRUE(p.field == fresh.field);
  EXPECT_TRUE(p.scoring == fresh.scoring);
  EXPECT_TRUE(p.bonuses.empty());
  EXPECT_TRUE(p.rockets.empty());
  EXPECT_EQ(p.climb_remaining, 0);
  EXPECT_EQ(p.bomb_timer, 0u);
  EXPECT_EQ(p.end_phase, EndPhase::Playing);
  EXPECT_EQ(ctx.game.scene.hud.canon2, kNoPic);
  EXPECT_GE(ctx.game.session.level, 1);
}

// Everything a level can have going at once, in the middle of play: bonuses running (target,
// freeze, x2, net expand, rockets mounted), a rocket and a crystal in the air, a deadline, then
// a climb, a bomb, a combo and streak, a cannon queue and the exit question's flags.
void MakeEverythingLive(SceneRun& run) {
  Context& ctx = *run.ctx;
  LevelPlay& p = ctx.game.play;
  for (int type : {2, 3, 5, 7, 9, 9}) Collect(ctx, type, 1, 300, 300);
  run.Tick(100);  // the timed ones fly to their slots first
  ASSERT_GE(p.mounted_rockets, 1);
  LaunchRocket(ctx, 1);
  StartCrystalFlight(ctx, 300, 300);
  run.Tick(3);
  ASSERT_EQ(p.end_phase, EndPhase::Playing);
  ASSERT_TRUE(ctx.game.scene.bonus_types[5].active);
  ASSERT_TRUE(p.freeze);
  ASSERT_NE(p.tracer, kNoPic);
  ASSERT_EQ(LiveRockets(ctx), 1);
  ASSERT_EQ(p.crystals.launched, 1);
  p.frame.deadline_set = true;
  p.frame.deadline = GameNow(ctx) + 60000;
  p.climb_remaining = 30;
  p.bomb_timer = GameNow(ctx) + 60000;
  p.scoring.combo = 3;
  p.scoring.streak = 2;
  p.scoring.max_combo = 3;
  p.scoring.max_single = 900;
  p.exit_question = ExitQuestion{true, true};
}

// The level state between level start and level build: a fresh value but for what level start
// sets and what the cannon's build-up frames move (the HUD's steps, the dragons, the nets, the
// drain clock and the frame count).
void ExpectFreshLevel(const Context& ctx) {
  const LevelPlay& p = ctx.game.play;
  const LevelPlay fresh;
  ASSERT_TRUE(p.lv.start_flag) << "not between level start and level build";
  EXPECT_EQ(p.end_phase, EndPhase::Playing);
  LevelState lv = p.lv;
  lv.drain_time = fresh.lv.drain_time;
  lv.start_flag = false;
  EXPECT_TRUE(lv == fresh.lv);
  FrameState frame = p.frame;
  frame.level_frames = 0;
  EXPECT_TRUE(frame.fast_drop_armed);
  frame.fast_drop_armed = false;
  EXPECT_TRUE(frame == fresh.frame) << "deadline " << frame.deadline_set << " " << frame.deadline;
  EXPECT_EQ(p.hud.loaded, kNoPic);
  EXPECT_EQ(p.hud.shown_level, -1);
  EXPECT_EQ(p.hud.shots_since_bonus, 0u);
  EXPECT_EQ(p.hud.shots_until_bonus, 0u);
  EXPECT_TRUE(p.exit_question == fresh.exit_question);
  BallField field = p.field;
  field.margin = fresh.field.margin;
  field.floor_row = fresh.field.floor_row;
  EXPECT_TRUE(field == fresh.field);
  EXPECT_EQ(p.field.floor_row, ctx.game.session.game_type == GameType::Challenge ? 5 : 0);
  EXPECT_EQ(p.path.length, 0);
  EXPECT_EQ(p.path.target_col, -1);
  EXPECT_EQ(p.shot, nullptr);
  EXPECT_FALSE(p.ball_in_flight);
  EXPECT_TRUE(p.current_ball == fresh.current_ball);
  EXPECT_TRUE(p.next_ball == fresh.next_ball);
  EXPECT_TRUE(p.scoring == fresh.scoring)
      << "combo " << p.scoring.combo << " streak " << p.scoring.streak;
  EXPECT_TRUE(p.progress == fresh.progress);
  EXPECT_TRUE(p.bonuses.empty());
  EXPECT_EQ(p.mounted_rockets, 0);
  EXPECT_FALSE(p.freeze);
  EXPECT_EQ(p.climb_remaining, 0);
  EXPECT_EQ(p.cursor_idle_variant, 0);
  EXPECT_EQ(p.tracer, kNoPic);
  EXPECT_EQ(p.bomb_timer, 0u);
  EXPECT_EQ(p.walls.target, 11);
  EXPECT_TRUE(p.channels == fresh.channels);
  EXPECT_TRUE(p.rockets.empty());
  EXPECT_TRUE(p.crystals == fresh.crystals);
  EXPECT_EQ(LiveRockets(ctx), 0);
  for (int t = 1; t <= 10; ++t) EXPECT_FALSE(ctx.game.scene.bonus_types[t].active) << t;
}

// Ticks until a new level has started: true once it is between its start and its build.
bool UntilLevelStart(SceneRun& run, int level, int limit = 600) {
  Context& ctx = *run.ctx;
  return run.TickUntil(
      [&] {
        return ctx.shell.flow.scene == SceneId::Game && ctx.game.session.level == level &&
               ctx.game.play.lv.start_flag && ctx.game.play.end_phase == EndPhase::Playing;
      },
      limit);
}

TEST(LevelBoundary, WonLevelThroughTheStatistics) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  MakeEverythingLive(run);
  ASSERT_TRUE(WinToStatistics(run));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(UntilLevelStart(run, 3));
  ExpectFreshLevel(ctx);
}

TEST(LevelBoundary, LostLevelPlayedAgainFromTheTryAgainDialog) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Challenge, 6, 3000);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  MakeEverythingLive(run);
  ctx.game.play.frame.deadline_set = false;  // the strip's own loss deadline
  ctx.game.play.progress.target = 0;
  ASSERT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::GameOverNotice; }, 400));
  run.Key(VirtualKey::Enter);  // the notice's OK: the table
  ASSERT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::HighScoreTable; }, 20));
  run.Key(VirtualKey::Enter);  // the table's OK: try again from level 5
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::TryAgain; }, 20));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(UntilLevelStart(run, 5));
  ExpectFreshLevel(ctx);
}

TEST(LevelBoundary, LostPuzzleTriedAgain) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Puzzle, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  MakeEverythingLive(run);
  ctx.game.play.frame.deadline_set = false;
  FillRow(ctx, -1);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::TryAgain; }, 400));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(UntilLevelStart(run, 2));
  ExpectFreshLevel(ctx);
}

TEST(LevelBoundary, LostGameBackToTheMenuThenANewGame) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Challenge, 3, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  MakeEverythingLive(run);
  ctx.game.play.frame.deadline_set = false;
  ctx.game.play.progress.target = 0;
  ASSERT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::GameOverNotice; }, 400));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::HighScoreTable; }, 20));
  run.Key(VirtualKey::Enter);  // below level 5: to the menu
  ASSERT_TRUE(run.TickUntil([&] { return ctx.shell.flow.scene == SceneId::Menu; }, 50));
  ExpectLeft(ctx);
  run.StartGame(GameType::Arcade, 4, 0);
  ASSERT_TRUE(UntilLevelStart(run, 4));
  ExpectFreshLevel(ctx);
}

TEST(LevelBoundary, ExitQuestionYesThenANewGame) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  MakeEverythingLive(run);
  run.Key(VirtualKey::Escape);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 20));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.shell.flow.scene == SceneId::Menu; }, 50));
  ExpectLeft(ctx);
  run.StartGame(GameType::Challenge, 2, 0);
  ASSERT_TRUE(UntilLevelStart(run, 2));
  ExpectFreshLevel(ctx);
}

// Closing the window mid-level: the level's pictures go with the context, nothing is left
// for a sanitizer to find.
TEST(LevelBoundary, QuitWithEverythingLive) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  MakeEverythingLive(run);
  run.Close();
  run.Tick(3);
  EXPECT_TRUE(ctx.shell.loop.quit_requested);
}

TEST(LevelLifetime, WinWhileTheLossDeadlineRunsDoesNotLoseTheNextLevel) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  StartDeadline(run);
  ASSERT_TRUE(WinToStatistics(run));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.session.level == 3; }, 20));
  run.Tick(600);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing)
      << "the last level's deadline ended the next one";
}

TEST(LevelLifetime, LeavingWhileTheDeadlineRunsDoesNotLoseTheNextGame) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  StartDeadline(run);
  run.Key(VirtualKey::Escape);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 20));
  run.Key(VirtualKey::Enter);  // Yes: to the menu
  ASSERT_TRUE(run.TickUntil([&] { return ctx.shell.flow.scene == SceneId::Menu; }, 50));
  run.StartGame(GameType::Puzzle, 1, 0);
  ASSERT_TRUE(run.UntilPlaying());
  run.Tick(600);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing)
      << "the puzzle fell to the arcade game's deadline";
  EXPECT_EQ(Progress(ctx).may_continue, 1);
}

// Every per-level feature running at once, the level is won, and the next level starts clean.
TEST(LevelLifetime, ClimbBombComboAndStreakEndWithTheLevel) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Challenge, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ASSERT_TRUE(WinToStatistics(run));
  ctx.game.play.climb_remaining = 30;
  ctx.game.play.bomb_timer = GameNow(ctx) + 400;
  ctx.game.play.scoring.combo = 3;
  ctx.game.play.scoring.streak = 5;
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.session.level == 3; }, 20));
  EXPECT_EQ(ctx.game.play.climb_remaining, 0);
  EXPECT_EQ(ctx.game.play.bomb_timer, 0u);
  EXPECT_EQ(ctx.game.play.scoring.combo, 0);
  EXPECT_EQ(ctx.game.play.scoring.streak, 0);
  ASSERT_TRUE(run.UntilPlaying());
  // The first click takes: nothing left over holds it back.
  run.Click(400, 300);
  EXPECT_FALSE(ctx.game.play.frame.fast_drop_armed);
}

TEST(LevelLifetime, ComboAndStreakDoNotReachANewGame) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ctx.game.play.scoring.combo = 4;
  ctx.game.play.scoring.streak = 6;
  run.Key(VirtualKey::Escape);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 20));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.shell.flow.scene == SceneId::Menu; }, 50));
  run.StartGame(GameType::Arcade, 2, 0);
  ASSERT_TRUE(run.UntilPlaying());
  EXPECT_EQ(ctx.game.play.scoring.combo, 0);
  EXPECT_EQ(ctx.game.play.scoring.streak, 0);
}

// Escape asks for the exit question on the next frame; a loss that falls due in that frame is
// saved at once, so the question must not hide its game over (and No must not resume a lost
// level).
TEST(LevelLifetime, EscapeJustBeforeTheLossFallsDueLeavesTheGameOver) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  StartDeadline(run);
  run.Key(VirtualKey::Escape);
  ASSERT_TRUE(
      run.TickUntil([&] { return ctx.shell.flow.command == GameCommand::ExitQuestion; }, 20));
  ctx.game.play.frame.deadline = GameNow(ctx);  // falls due in the frame that asks
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase != EndPhase::Playing; }, 20));
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Lost);
  ASSERT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::GameOverNotice; }, 300))
      << "end phase " << static_cast<int>(ctx.game.play.end_phase);
  EXPECT_EQ(Progress(ctx).may_continue, -1);
}

}  // namespace
}  // namespace qv::test
