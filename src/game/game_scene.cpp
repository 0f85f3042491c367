#include "game/game_scene.h"

#include "context.h"
#include "game/dialogs.h"
#include "game/game_frame.h"
#include "game/hud.h"
#include "game/shot.h"
#include "platform/render_device.h"
#include "shell/scene_table.h"

namespace qv {

bool GameAimPivot(const Context& ctx, double& x, double& y) {
  const ShellState& s = ctx.shell;
  // The aim is taken from the pointer relative to the cannon's foot (AimUpdate).
  x = platform::kScreenWidth / 2.0;
  y = kAimPivotY;
  return s.flow.scene_phase != 0 && s.flow.pending_scene == SceneId::None &&
         ctx.game.play.end_phase == EndPhase::Playing &&
         s.flow.click_context == ClickContext::Playing;
}

void FillGameScene(SceneOps& ops) {
  ops.start = StartSceneMain;
  ops.leave = LeaveSceneMain;
  ops.frame = GameFrame;
  ops.pauses_when_inactive = true;
  ops.mouse_down = GameMouseDown;
  ops.click = GameClick;
  ops.button_up = GameMenuButtonUp;
  ops.key_down = GameKeyDown;
  ops.aim_pivot = GameAimPivot;
}

}  // namespace qv
