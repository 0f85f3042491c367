#pragma once
// The world the sprite engine works in: the base world and the sprites' own state.
#include "base/world.h"
#include "sprites/sprites_state.h"

namespace qv {

struct SpriteWorld : BaseWorld {
  SpriteState sprites;
};

}  // namespace qv
