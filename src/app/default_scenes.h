#pragma once
// Stand-ins for the scene operations until their subsystems provide them: an empty scene that
// builds itself at once and then steps at the fixed rate, and the shell's share of starting the
// game scene and of leaving either scene. (The menu's start is EnterMenuScene, shell/frame.h.)
namespace qv {

struct Context;

void EmptySceneFrame(Context& ctx);
void BasicStartSceneMain(Context& ctx);
void BasicLeaveScene(Context& ctx);

}  // namespace qv
