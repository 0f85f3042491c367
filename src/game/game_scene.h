#pragma once
// The game scene's row of the scene table: start, leave, frame and input.
namespace qv {

struct SceneOps;

void FillGameScene(SceneOps& ops);

}  // namespace qv
