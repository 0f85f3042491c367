#pragma once
// The real sound system: SDL_mixer on the machine's audio output.
#include <memory>

#include "platform/audio_device.h"

namespace qv::platform {

std::unique_ptr<AudioDevice> CreateSdlAudioDevice();

}  // namespace qv::platform
