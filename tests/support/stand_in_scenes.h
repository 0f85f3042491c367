#pragma once
// Scene operations for tests that drive the frame loop without the real scenes: an empty scene
// that builds itself at once and then steps at the fixed rate, and the shell's share of starting
// the game scene and of leaving either scene. (The menu's start is EnterMenuScene, shell/frame.h.)
#include "base/log.h"
#include "context.h"
#include "shell/options.h"

namespace qv::testing_support {

inline void EmptySceneFrame(Context& ctx) {
  if (ctx.shell.flow.scene_phase == 0) ctx.shell.flow.scene_phase = 1;
}

inline void BasicStartSceneMain(Context& ctx) {
  WriteLog(ctx, "StartSceneMain");
  ReadOptions(ctx);
  ctx.shell.flow.scene_phase = 0;
  ctx.shell.flow.scene_ready = true;
}

inline void BasicLeaveScene(Context& ctx) {
  ShellState& s = ctx.shell;
  s.flow.scene_ready = false;
  ctx.clocks.ClearPause();
}

}  // namespace qv::testing_support
