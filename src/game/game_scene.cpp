#include "game/game_scene.h"

#include "context.h"
#include "game/dialogs.h"
#include "game/game_frame.h"
#include "game/hud.h"
#include "shell/scene_table.h"

namespace qv {

void FillGameScene(SceneOps& ops) {
  ops.start = StartSceneMain;
  ops.leave = LeaveSceneMain;
  ops.frame = GameFrame;
  ops.pauses_when_inactive = true;
  ops.mouse_down = GameMouseDown;
  ops.click = GameClick;
  ops.button_up = GameMenuButtonUp;
  ops.key_down = GameKeyDown;
}

}  // namespace qv
