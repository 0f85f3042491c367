#pragma once
// The game scene's row of the scene table: start, leave, frame and input.
namespace qv {

struct Context;
struct SceneOps;

// Where keyboard aiming swings the pointer around; true only while the player aims (playing,
// no dialog up).
bool GameAimPivot(const Context& ctx, double& x, double& y);

void FillGameScene(SceneOps& ops);

}  // namespace qv
