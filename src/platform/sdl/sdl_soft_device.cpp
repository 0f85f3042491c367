#include "platform/sdl/sdl_soft_device.h"

namespace qv::platform::sdl {

SdlSoftDevice::SdlSoftDevice(RendererPtr renderer) : renderer_(std::move(renderer)) {
  screen_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                  SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight));
  if (!screen_) return;
  SDL_SetTextureBlendMode(screen_.get(), SDL_BLENDMODE_NONE);
  Lock();
}

SdlSoftDevice::~SdlSoftDevice() {
  Unlock();
  screen_.reset();  // before its renderer
}

void SdlSoftDevice::Lock() {
  void* pixels = nullptr;
  int pitch = 0;
  // The software renderer's streaming texture keeps its pixels between locks and hands out the
  // same memory each time; other layouts fall back to a copy per frame.
  if (SDL_LockTexture(screen_.get(), nullptr, &pixels, &pitch) != 0) return;
  if (pitch != kScreenWidth * 4) {
    SDL_UnlockTexture(screen_.get());
    return;
  }
  locked_ = true;
  UseFrameMemory(static_cast<std::uint32_t*>(pixels));
}

void SdlSoftDevice::Unlock() {
  if (!locked_) return;
  SDL_UnlockTexture(screen_.get());
  locked_ = false;
}

bool SdlSoftDevice::Present() {
  if (!screen_) return false;
  const std::uint32_t* frame = Frame();
  if (locked_) {
    Unlock();
  } else if (SDL_UpdateTexture(screen_.get(), nullptr, frame, kScreenWidth * 4) != 0) {
    return false;
  }
  SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
  SDL_RenderClear(renderer_.get());  // the letterbox bars
  const bool copied = SDL_RenderCopy(renderer_.get(), screen_.get(), nullptr, nullptr) == 0;
  if (copied) SDL_RenderPresent(renderer_.get());
  // Locked again at once: the next frame is drawn straight into the texture.
  Lock();
  if (!locked_) UseFrameMemory(nullptr);
  return copied;
}

}  // namespace qv::platform::sdl
