#pragma once
// State of the game subsystem, owned by the context.
namespace qv {

struct GameState {};

}  // namespace qv
