#pragma once
// The world of maps, objects and text: the sprites' world and the scene's own state.
#include "scene/scene_state.h"
#include "sprites/sprite_world.h"

namespace qv {

struct SceneWorld : SpriteWorld {
  SceneState scene;
};

}  // namespace qv
