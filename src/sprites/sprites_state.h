#pragma once
// State of the sprites subsystem, owned by the context.
namespace qv {

struct SpriteState {};

}  // namespace qv
