// The scene seam: the shell calls only the active scene's row of the scene table.
#include "shell/scene_table.h"

#include <gtest/gtest.h>

#include <string>

#include "context.h"
#include "harness/state_dump.h"
#include "platform/window.h"
#include "shell/frame.h"
#include "shell/main_form.h"

namespace qv {
namespace {

std::string trace;

class SceneTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    trace.clear();
    SceneOps& menu = ctx_.shell.scenes[SceneId::Menu];
    menu.start = [](Context& c) {
      trace += "menu.start ";
      c.shell.flow.scene_ready = true;
    };
    menu.leave = [](Context&) { trace += "menu.leave "; };
    menu.mouse_down = [](Context&, int button) {
      trace += "menu.down" + std::to_string(button) + " ";
    };
    menu.key_down = [](Context&, int key, int) { trace += "menu.key" + std::to_string(key) + " "; };
    SceneOps& game = ctx_.shell.scenes[SceneId::Game];
    game.start = [](Context& c) {
      trace += "game.start ";
      c.shell.flow.scene_ready = true;
    };
    game.leave = [](Context&) { trace += "game.leave "; };
    game.mouse_down = [](Context&, int button) {
      trace += "game.down" + std::to_string(button) + " ";
    };
    game.key_down = [](Context&, int key, int) { trace += "game.key" + std::to_string(key) + " "; };
    game.pauses_when_inactive = true;
    ctx_.clocks.app_active = true;
  }
  Context ctx_;
};

TEST_F(SceneTableTest, SwitchLeavesTheOldRowAndStartsTheNewOneOnly) {
  SwitchScene(ctx_, SceneId::Menu);
  SwitchScene(ctx_, SceneId::Game);
  SwitchScene(ctx_, SceneId::None);
  EXPECT_EQ(trace, "menu.start menu.leave game.start game.leave ");
  EXPECT_EQ(ctx_.shell.flow.scene, SceneId::None);
}

TEST_F(SceneTableTest, InputGoesToTheActiveSceneAndNoneIgnoresIt) {
  FormMouseDown(ctx_, platform::kMouseLeft);
  FormKeyDown(ctx_, 13, 0);
  EXPECT_EQ(trace, "") << "no scene, no handler";
  SwitchScene(ctx_, SceneId::Menu);
  FormMouseDown(ctx_, platform::kMouseRight);
  FormKeyDown(ctx_, 27, 0);
  SwitchScene(ctx_, SceneId::Game);
  FormMouseDown(ctx_, platform::kMouseLeft);
  FormMouseDown(ctx_, platform::kMouseMiddle);
  FormKeyDown(ctx_, 32, 1);
  // The scenes hear the buttons numbered as the rules number them: 1 left, 2 right, 0 other.
  EXPECT_EQ(trace,
            "menu.start menu.down2 menu.key27 menu.leave game.start game.down1 game.down0 "
            "game.key32 ");
}

TEST_F(SceneTableTest, FocusLossPausesOnlyASceneThatAsksForIt) {
  SwitchScene(ctx_, SceneId::Menu);
  AppDeactivate(ctx_);
  EXPECT_EQ(ctx_.clocks.paused, 0) << "the menu keeps its clock";
  AppRestore(ctx_);
  SwitchScene(ctx_, SceneId::Game);
  ctx_.clocks.frame_clock = 1234;
  AppDeactivate(ctx_);
  EXPECT_EQ(ctx_.clocks.paused, 1);
  EXPECT_EQ(ctx_.clocks.pause_start, 1234u);
  AppRestore(ctx_);
  EXPECT_EQ(ctx_.clocks.paused, 0);
}

TEST_F(SceneTableTest, TheDumpShowsSceneNumbersOfTheHarnessContract) {
  ctx_.shell.hooks.state_sections.push_back({"shell", WriteShellSection});
  SwitchScene(ctx_, SceneId::Menu);
  EXPECT_NE(StateDumpJson(ctx_, 0).find("\"scene\":1,\"pending_scene\":0"), std::string::npos);
  ctx_.shell.flow.pending_scene = SceneId::Game;
  EXPECT_NE(StateDumpJson(ctx_, 0).find("\"scene\":1,\"pending_scene\":2"), std::string::npos);
  SwitchScene(ctx_, SceneId::Game);
  EXPECT_NE(StateDumpJson(ctx_, 0).find("\"scene\":2"), std::string::npos);
}

}  // namespace
}  // namespace qv
