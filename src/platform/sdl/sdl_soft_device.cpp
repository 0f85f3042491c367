#include "platform/sdl/sdl_soft_device.h"

namespace qv::platform::sdl {

SdlSoftDevice::SdlSoftDevice(RendererPtr renderer) : renderer_(std::move(renderer)) {
  screen_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                  SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight));
  if (screen_) SDL_SetTextureBlendMode(screen_.get(), SDL_BLENDMODE_NONE);
}

SdlSoftDevice::~SdlSoftDevice() {
  screen_.reset();  // before its renderer
}

bool SdlSoftDevice::Present() {
  if (!screen_ || SDL_UpdateTexture(screen_.get(), nullptr, Frame(), kScreenWidth * 4) != 0)
    return false;
  SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
  SDL_RenderClear(renderer_.get());  // the letterbox bars
  if (SDL_RenderCopy(renderer_.get(), screen_.get(), nullptr, nullptr) != 0) return false;
  SDL_RenderPresent(renderer_.get());
  return true;
}

}  // namespace qv::platform::sdl
