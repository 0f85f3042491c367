#pragma once
// Stand-ins for the scene operations until their subsystems provide them: an empty scene that
// builds itself at once and then steps at the fixed rate, and the shell's share of starting and
// leaving a scene.
namespace qv {

struct Context;

void EmptySceneFrame(Context& ctx);
void BasicStartSceneMenu(Context& ctx);
void BasicStartSceneMain(Context& ctx);
void BasicLeaveScene(Context& ctx);

}  // namespace qv
