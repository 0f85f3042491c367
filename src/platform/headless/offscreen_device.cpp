#include "platform/headless/offscreen_device.h"

#include "platform/sdl/sdl_render_device.h"

namespace qv::platform {

std::unique_ptr<RenderDevice> CreateOffscreenDevice() {
  sdl::SurfacePtr surface(
      SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!surface) return nullptr;
  sdl::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
  if (!renderer) return nullptr;
  return std::make_unique<sdl::SdlRenderDevice>(std::move(renderer), std::move(surface));
}

}  // namespace qv::platform
