// Requests left between frames belong to one scene: a scene switch must not hand one scene's
// request to the other under the same number.
#include <gtest/gtest.h>

#include "scene_run.h"

namespace qv::test {
namespace {

// Leaves a game by Escape and Yes, so the game's last key is Escape, and waits for the menu.
void LeaveGameByEscape(SceneRun& run) {
  Context& ctx = *run.ctx;
  run.Key(VirtualKey::Escape);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 10));
  run.Key(VirtualKey::Enter);
  ASSERT_TRUE(run.TickUntil(
      [&] { return ctx.shell.flow.scene == SceneId::Menu && ctx.shell.flow.scene_phase == 2; },
      100));
}

TEST(SceneRequests, AKeyTypedInTheMenuAsAGameStartsIsNoKeyOfTheGame) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  LeaveGameByEscape(run);

  // The menu starts the next game; a letter arrives before the switch.
  ctx.shell.flow.command = MenuCommand::StartArcade;
  run.Tick();
  ASSERT_EQ(ctx.shell.flow.pending_scene, SceneId::Game);
  run.Key(VirtualKey::A);
  ASSERT_EQ(ctx.shell.flow.command, MenuCommand::Key);

  ASSERT_TRUE(run.UntilPlaying());
  run.Tick(5);
  EXPECT_EQ(ctx.game.play.end_phase, EndPhase::Playing)
      << "the menu's key was taken for the Escape of the last game";
  EXPECT_EQ(ctx.shell.flow.click_context, ClickContext::Playing);
  EXPECT_EQ(ctx.shell.flow.command, GameCommand::None);
}

}  // namespace
}  // namespace qv::test
