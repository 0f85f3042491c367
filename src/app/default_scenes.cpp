#include "app/default_scenes.h"

#include "base/log.h"
#include "context.h"
#include "platform/clock.h"
#include "shell/options.h"

namespace qv {

void EmptySceneFrame(Context& ctx) {
  if (ctx.shell.scene_phase == 0) ctx.shell.scene_phase = 1;
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
