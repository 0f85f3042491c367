#pragma once
// State of the scene subsystem, owned by the context.
namespace qv {

struct SceneState {};

}  // namespace qv
