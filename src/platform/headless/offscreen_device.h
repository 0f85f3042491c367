#pragma once
// The headless render device: SDL's software renderer on an 800 x 600 ARGB8888 surface. Needs
// no video driver, so tests and --headless runs can draw and read pixels anywhere.
#include <memory>

#include "platform/render_device.h"

namespace qv::platform {

// Null when SDL cannot create the surface or the renderer.
std::unique_ptr<RenderDevice> CreateOffscreenDevice();

}  // namespace qv::platform
