#include "platform/headless/offscreen_device.h"

#include "platform/soft_device.h"

namespace qv::platform {

std::unique_ptr<RenderDevice> CreateOffscreenDevice() {
  return std::make_unique<SoftRenderDevice>();
}

}  // namespace qv::platform
