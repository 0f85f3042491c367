#pragma once
// The headless render device: our own rasteriser on an 800 x 600 ARGB8888 frame in memory.
// Needs no video driver, so tests and --headless runs can draw and read pixels anywhere.
#include <memory>

#include "platform/render_device.h"

namespace qv::platform {

std::unique_ptr<RenderDevice> CreateOffscreenDevice();

}  // namespace qv::platform
