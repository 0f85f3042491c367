#include "app/default_scenes.h"

#include "platform/clock.h"
#include "context.h"
#include "base/log.h"
#include "shell/options.h"

namespace qv {

void EmptySceneFrame(Context& ctx) {
  if (ctx.shell.scene_phase == 0) ctx.shell.scene_phase = 1;
}

void BasicStartSceneMenu(Context& ctx) {
  ShellState& s = ctx.shell;
  WriteLog(ctx, "StartSceneMenu");
  s.paused = 0;
  s.was_paused = 0;
  s.paused_total = 0;
  s.game_clock = s.frame_clock;
  ReadOptions(ctx);
  s.hover_button = -1;
  s.pressed_button = -1;
  s.click_context = 1;
  if (ctx.platform.clock) s.frame_clock = ctx.platform.clock->TickCount();
  s.run_start = s.frame_clock;
  s.scene_ready = 1;
}

void BasicStartSceneMain(Context& ctx) {
  ShellState& s = ctx.shell;
  WriteLog(ctx, "StartSceneMain");
  ReadOptions(ctx);
  s.scene_phase = 0;
  s.scene_ready = 1;
}

void BasicLeaveScene(Context& ctx) {
  ShellState& s = ctx.shell;
  s.scene_ready = 0;
  s.paused = 0;
  s.was_paused = 0;
  s.paused_total = 0;
}

}  // namespace qv
