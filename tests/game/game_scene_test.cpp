// The game scene end to end on the content pack: levels of each type played through the
// window's input handlers, the dialogs and the saved progress.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "common/temp_dir.h"
#include "game/field.h"
#include "game/game_scene.h"
#include "game/levels.h"
#include "game/pictures.h"
#include "menu/players.h"
#include "scene/registry.h"
#include "scene_run.h"
#include "sprites/multisprite.h"

namespace qv::test {
namespace {

// Screenshots for a person to look at, when QUORVEX_SHOTS names a folder.
void Shot(SceneRun& run, const std::string& name) {
  if (const char* dir = std::getenv("QUORVEX_SHOTS")) run.Screenshot(std::string(dir) + "/" + name);
}

TEST(GameScene, ArcadeStartsAndShoots) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade);
  Context& ctx = *run.ctx;
  EXPECT_EQ(ctx.shell.flow.scene, SceneId::Game);
  Shot(run, "arcade_start.png");
  run.Tick();
  ASSERT_TRUE(run.UntilPlaying());
  Shot(run, "arcade_playing.png");
  run.Tick();
  EXPECT_EQ(ctx.game.session.level, 1);
  EXPECT_GE(ctx.game.play.current_ball.kind, 1);
  EXPECT_GE(ctx.game.play.next_ball.kind, 1);
  EXPECT_EQ(ctx.game.play.field.occupied, 2);
  // The first click drops the field to the danger row and shoots.
  run.Click(400, 300);
  run.Tick(3);
  Shot(run, "arcade_after_click.png");
  run.Tick();
  EXPECT_FALSE(ctx.game.play.frame.fast_drop_armed);
  EXPECT_TRUE(RowOccupied(ctx.game.play.field, ctx.game.play.lv.danger_row));
  // A drop of 120 pixels is too long for the same click to shoot as well.
  EXPECT_FALSE(ctx.game.play.ball_in_flight);
  EXPECT_EQ(ctx.game.play.frame.shot_counter, 0);

  // Right click: the current and next balls change places, nothing flies.
  const BallChoice current = ctx.game.play.current_ball, next = ctx.game.play.next_ball;
  run.Click(400, 300, platform::kMouseRight);
  EXPECT_EQ(ctx.game.play.current_ball.kind, next.kind);
  EXPECT_EQ(ctx.game.play.next_ball.kind, current.kind);
  EXPECT_FALSE(ctx.game.play.ball_in_flight);

  run.Click(300, 300);
  EXPECT_EQ(ctx.game.play.frame.shot_counter, 1);
  EXPECT_TRUE(run.TickUntil([&] { return !ctx.game.play.ball_in_flight; }, 300));
  Shot(run, "arcade_after_shot.png");
  run.Tick();
}

TEST(GameScene, ExitQuestionFromPlayByKeyAndByMenuPanel) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Challenge, 3, 1200);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  EXPECT_EQ(ctx.game.session.level, 3);
  EXPECT_EQ(ctx.game.session.score, 1200);
  run.Key(VirtualKey::Escape);
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 10));
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::ExitToMenu);
  run.Tick(40);
  Shot(run, "exit_question.png");
  run.Tick();
  run.Key(VirtualKey::Escape);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing) << "Escape answers No";
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::Playing);
  EXPECT_FALSE(PicVisible(ctx, ctx.game.scene.hud.exit_yes));

  run.Click(760, 8);
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 10));
  run.Tick(40);
  const TMultiSprite* yes = Pic(ctx, ctx.game.scene.hud.exit_yes);
  ASSERT_NE(yes, nullptr);
  run.Click(static_cast<int>(yes->x) + 20, static_cast<int>(yes->y) + 15);
  EXPECT_TRUE(run.TickUntil([&] { return ctx.shell.flow.scene == SceneId::Menu; }, 10));
  EXPECT_EQ(FindObject(ctx, "canon2", -1, ""), -1) << "the game scene is gone";
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// The built-in player on arcade: it clears levels, and the statistics lead to the next level.
TEST(GameScene, AutoplayWinsArcadeLevelsThroughTheStatistics) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.ctx->shell.run.autoplay = true;
  run.StartGame(GameType::Arcade);
  Context& ctx = *run.ctx;
  bool saw_stats = false;
  const bool reached = run.TickUntil(
      [&] {
        if (ctx.game.play.end_phase == EndPhase::Statistics && !saw_stats) {
          saw_stats = true;
          Shot(run, "arcade_statistics.png");
        }
        return ctx.game.session.level >= 3 || ctx.game.play.end_phase == EndPhase::GameOverNotice;
      },
      60000);
  fprintf(stderr, "level %d phase %d score %d\n", ctx.game.session.level,
          static_cast<int>(ctx.game.play.end_phase), ctx.game.session.score);
  EXPECT_TRUE(reached);
  EXPECT_TRUE(saw_stats);
  EXPECT_GE(ctx.game.session.level, 3);
  EXPECT_EQ(Progress(ctx).level, ctx.game.session.level);
  EXPECT_EQ(Progress(ctx).may_continue, 1);
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// Long autoplay runs per game type: no crash, levels won and lost, the menu's restart copied
// (continue from the saved level, or after a loss from the last multiple of 5). The game time
// comes from QUORVEX_SOAK_MINUTES (default 2).
struct SoakFigures {
  int wins = 0, losses = 0, top_level = 0, games = 0;
  int worst_level_losses = 0;  // the most losses on any one level
  int worst_attempts = 0;      // the most tries one level took before it was won
};

SoakFigures Soak(GameType type) {
  const char* env = std::getenv("QUORVEX_SOAK_MINUTES");
  const int minutes = env ? std::atoi(env) : 2;
  SceneRun run;
  EXPECT_TRUE(run.ok());
  SoakFigures out;
  if (!run.ok()) return out;
  Context& ctx = *run.ctx;
  ctx.shell.run.autoplay = true;
  run.StartGame(type);
  EndPhase last_phase = EndPhase::Playing;
  std::map<int, int> losses_at;
  int tries = 1;
  const int ticks = minutes * 6000;
  for (int t = 0; t < ticks; ++t) {
    run.Tick();
    const EndPhase phase = ctx.game.play.end_phase;
    if (phase != last_phase) {
      if (phase == EndPhase::Statistics) {
        ++out.wins;
        out.worst_attempts = std::max(out.worst_attempts, tries);
        tries = 1;
      }
      if (phase == EndPhase::Lost) {
        ++out.losses;
        out.worst_level_losses =
            std::max(out.worst_level_losses, ++losses_at[ctx.game.session.level]);
        ++tries;
      }
      last_phase = phase;
    }
    out.top_level = std::max(out.top_level, ctx.game.session.level);
    if (ctx.shell.flow.scene == SceneId::Menu && ctx.shell.flow.pending_scene == SceneId::None) {
      TypeProgress& p = Progress(ctx);
      if (p.may_continue == 0 && p.level > 4) {
        p.level = p.level / 5 * 5;
        p.score = p.checkpoint;
      } else if (p.may_continue != 1) {
        p = {1, 0, 1, 0};
      }
      p.may_continue = 1;
      ++out.games;
      ctx.shell.flow.command = MenuCommand::None;  // the menu has carried out its command
      ctx.shell.flow.pending_scene = SceneId::Game;
      last_phase = EndPhase::Playing;
    }
  }
  fprintf(stderr,
          "type %d: %d min, wins %d losses %d top level %d games %d, most losses on one level "
          "%d, most tries before a win %d\n",
          TypeNumber(type), minutes, out.wins, out.losses, out.top_level, out.games + 1,
          out.worst_level_losses, out.worst_attempts);
  for (const auto& [level, n] : losses_at) fprintf(stderr, "  level %d: %d losses\n", level, n);
  return out;
}

TEST(GameSoak, Arcade) {
  const SoakFigures f = Soak(GameType::Arcade);
  EXPECT_GE(f.wins, 1);
}
TEST(GameSoak, Challenge) {
  const SoakFigures f = Soak(GameType::Challenge);
  EXPECT_GE(f.wins + f.losses, 1);
}
TEST(GameSoak, Puzzle) {
  const SoakFigures f = Soak(GameType::Puzzle);
  EXPECT_GE(f.wins, 1);
  // A puzzle the player cannot win in a few tries is a content fault.
  EXPECT_LE(f.worst_attempts, 6);
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// Balls in row `r` across the field: the loss conditions of arcade (row 0) and puzzle (-1).
void FillRowForLoss(Context& ctx, int r) {
  for (int c = 3; c < 12; ++c) {
    if (ctx.game.play.field.at(c, r).kind == 0) PutBall(ctx, c, r, 1 + c % 3, 0, 0);
  }
}

void ClickPic(SceneRun& run, PicId id) {
  const TMultiSprite* m = Pic(*run.ctx, id);
  ASSERT_NE(m, nullptr);
  ASSERT_TRUE(m->visible);
  run.Click(static_cast<int>(m->x) + m->width / 2, static_cast<int>(m->y) + m->height / 2);
}

TEST(GameDialogs, ArcadeLossBelowLevelFiveEndsAtTheTable) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 3, 900);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  FillRowForLoss(ctx, 0);
  run.Tick(200);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing) << "the loss waits 5000 ms";
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::Lost; }, 400));
  EXPECT_EQ(Progress(ctx).may_continue, -1);
  EXPECT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::GameOverNotice; }, 200));
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::GameOverNotice);
  run.Tick(40);
  Shot(run, "game_over.png");
  run.Tick();
  ClickPic(run, ctx.game.scene.hud.over_ok);
  EXPECT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::HighScoreTable; }, 20));
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::HighScoreTable);
  Shot(run, "table.png");
  run.Tick();
  run.Key(VirtualKey::Enter);  // OK of the table: below level 5 there is nothing to try again
  EXPECT_TRUE(run.TickUntil([&] { return ctx.shell.flow.scene == SceneId::Menu; }, 20));
}

TEST(GameDialogs, LossAtLevelThirteenTriesAgainFromTen) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Challenge, 10, 5000);
  Context& ctx = *run.ctx;
  Progress(ctx).checkpoint = 5000;
  ASSERT_TRUE(run.UntilPlaying());
  ctx.game.session.level = 13;
  ctx.game.play.lv.last_level = 999999;
  ctx.game.session.score = 8000;
  ctx.game.play.progress.target = 0;  // the strip runs empty
  EXPECT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::GameOverNotice; }, 400));
  EXPECT_EQ(Progress(ctx).level, 10);
  EXPECT_EQ(Progress(ctx).score, 0);
  EXPECT_EQ(Progress(ctx).may_continue, 0);
  run.Tick(5);
  run.Key(VirtualKey::Enter);
  EXPECT_TRUE(
      run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::HighScoreTable; }, 20));
  run.Tick(5);
  run.Click(400, 492);
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::TryAgain; }, 20));
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::TryAgain);
  run.Tick(40);
  Shot(run, "try_again.png");
  run.Tick();
  ClickPic(run, ctx.game.scene.hud.retry_ok);
  ASSERT_TRUE(run.UntilPlaying());
  EXPECT_EQ(ctx.game.session.level, 10);
  EXPECT_EQ(ctx.game.session.score, 5000);
  EXPECT_EQ(Progress(ctx).may_continue, 1);
  Shot(run, "played_again.png");
  run.Tick();
}

TEST(GameDialogs, PuzzleLossGoesStraightToTryAgain) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Puzzle, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  const int crystals = ctx.game.play.crystals.count;
  EXPECT_GE(crystals, 1);
  FillRowForLoss(ctx, -1);
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::Lost; }, 20));
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::TryAgain; }, 200));
  EXPECT_EQ(FindObject(ctx, "panel_ok", -1, "game_over"), ctx.game.scene.hud.over_ok);
  EXPECT_FALSE(PicVisible(ctx, ctx.game.scene.hud.over_ok)) << "no game-over notice in puzzle";
  run.Tick(40);
  Shot(run, "try_again_puzzle.png");
  run.Tick();
  ClickPic(run, ctx.game.scene.hud.retry_ok);
  ASSERT_TRUE(run.UntilPlaying());
  EXPECT_EQ(ctx.game.session.level, 2) << "the same puzzle again";
  EXPECT_EQ(ctx.game.play.crystals.count, crystals);
  EXPECT_EQ(ctx.game.play.crystals.freed, 0);
}

TEST(GameDialogs, StatisticsThenExitQuestionThenBackToStatistics) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ctx.game.play.scoring.level_points = 100000;  // the strip fills: the level is won
  ctx.game.scene.hud.score_redraw = true;
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::Statistics; }, 2000));
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::LevelStatistics);
  EXPECT_EQ(Progress(ctx).level, 3);
  EXPECT_EQ(Progress(ctx).may_continue, 1);
  run.Tick(40);
  Shot(run, "statistics.png");
  run.Tick();
  run.Key(VirtualKey::Escape);  // Escape: the menu button of the statistics
  EXPECT_EQ(ctx.shell.flow.command, GameCommand::ExitQuestion);
  EXPECT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 20));
  run.Key(VirtualKey::Escape);  // No: back to the statistics
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Statistics);
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::LevelStatistics);
  EXPECT_TRUE(PicVisible(ctx, ctx.game.scene.hud.stat_ok));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(run.UntilPlaying());
  EXPECT_EQ(ctx.game.session.level, 3);
}

// OK pressed twice on the statistics (the second while the next level is being set up) moves
// on one level only: past the last level there is no file, and the saved progress would name it.
TEST(GameDialogs, StatisticsOkTwiceMovesOnOneLevel) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 29, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ASSERT_EQ(ctx.game.session.level, 29);
  ctx.game.play.scoring.level_points = 100000;
  ctx.game.scene.hud.score_redraw = true;
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::Statistics; }, 2000));
  run.Tick(40);
  const TMultiSprite* ok = Pic(ctx, ctx.game.scene.hud.stat_ok);
  ASSERT_NE(ok, nullptr);
  const int x = static_cast<int>(ok->x) + ok->width / 2,
            y = static_cast<int>(ok->y) + ok->height / 2;
  run.Key(VirtualKey::Enter);
  run.Tick(3);
  ASSERT_EQ(ctx.game.session.level, 30);
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::LevelStatistics)
      << "the window this guards is gone";
  run.Key(VirtualKey::Enter);
  run.Click(x, y);
  // A press taken would be carried out once the level is built: play on a while.
  ASSERT_TRUE(run.UntilPlaying());
  run.Tick(300);
  EXPECT_EQ(ctx.shell.flow.scene, SceneId::Game);
  EXPECT_EQ(ctx.game.session.level, 30);
  EXPECT_EQ(Progress(ctx).level, 30);
}

// The continue dialog over a running game: offered for the type being played, hovered and
// answered like the menu's, and the game then goes on from what the answer saved.
TEST(GameDialogs, ContinueDialogOverTheGameAnswersAndRestarts) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Challenge, 1, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  Player p = ListPlayer("Ann");
  p.saved_level[TypeIndex(GameType::Challenge)] =
      13;  // lost at 13: continue from 10 with the score saved there
  p.may_continue[TypeIndex(GameType::Challenge)] = 0;
  p.checkpoint_score[TypeIndex(GameType::Challenge)] = 4200;
  ctx.menu.players = {p};
  ctx.options.player_index = 0;

  ctx.shell.flow.command = GameCommand::ContinueDialog;
  run.Tick(2);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::ContinueDialog);
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::ContinueDialog);
  const PicId yes = FindObject(ctx, "panel_yes", -1, "continue_last_game");
  ASSERT_NE(yes, kNoPic);
  EXPECT_NE(FindObject(ctx, "menu_panel", -1, "menu"), kNoPic) << "the panel under the dialog";
  run.Tick(40);
  Shot(run, "continue_over_game.png");
  run.Tick();
  double px = 0, py = 0;
  EXPECT_FALSE(GameAimPivot(ctx, px, py)) << "no keyboard aiming under the dialog";
  const TMultiSprite* m = Pic(ctx, yes);
  ASSERT_NE(m, nullptr);
  run.Move(static_cast<int>(m->x) + m->width / 2, static_cast<int>(m->y) + m->height / 2);
  run.Tick(2);
  EXPECT_EQ(ctx.shell.pointer.hover_button, 1) << "the dialog's buttons answer the pointer";
  ClickPic(run, yes);
  EXPECT_EQ(ctx.menu.players[0].saved_level[TypeIndex(GameType::Challenge)], 10);
  EXPECT_EQ(ctx.menu.players[0].saved_score[TypeIndex(GameType::Challenge)], 4200);
  EXPECT_EQ(ctx.menu.players[0].may_continue[TypeIndex(GameType::Challenge)], 1);
  EXPECT_EQ(FindObject(ctx, "panel_yes", -1, "continue_last_game"), kNoPic);
  EXPECT_EQ(FindObject(ctx, "menu_panel", -1, "menu"), kNoPic);
  ASSERT_TRUE(run.UntilPlaying()) << "the click on Yes is not taken for the menu panel's";
  EXPECT_EQ(ctx.game.session.level, 10);
  EXPECT_EQ(ctx.game.session.score, 4200);
  EXPECT_NE(ReadText("players.txt").find("Ann, "), std::string::npos);

  // Again, answered No with Escape: the type starts afresh.
  ctx.shell.flow.command = GameCommand::ContinueDialog;
  run.Tick(3);
  ASSERT_EQ(ctx.shell.flow.click_context, ClickContext::ContinueDialog);
  run.Key(VirtualKey::Escape);
  EXPECT_EQ(ctx.menu.players[0].saved_level[TypeIndex(GameType::Challenge)], 1);
  EXPECT_EQ(ctx.menu.players[0].saved_score[TypeIndex(GameType::Challenge)], 0);
  ASSERT_TRUE(run.UntilPlaying());
  EXPECT_EQ(ctx.game.session.level, 1);
  EXPECT_EQ(ctx.game.session.score, 0);
}

TEST(GameDialogs, ContinueDialogWithoutAPlayerLeavesTheGameAsItWas) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 3, 700);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ctx.menu.players.clear();
  ctx.shell.flow.command = GameCommand::ContinueDialog;
  run.Tick(2);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing);
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::Playing);
  EXPECT_EQ(FindObject(ctx, "menu_panel", -1, "menu"), kNoPic) << "no panel left behind";
  double px = 0, py = 0;
  EXPECT_TRUE(GameAimPivot(ctx, px, py));
  EXPECT_EQ(px, 400.0);
}

}  // namespace
}  // namespace qv::test
