#pragma once
// The world the sound system works in: the scene's world and the audio state.
#include "audio/audio_state.h"
#include "scene/scene_world.h"

namespace qv {

struct AudioWorld : SceneWorld {
  AudioState audio;
};

}  // namespace qv
