#pragma once
// The software device on a window: SoftRenderDevice rasterises straight into the pixels of a
// locked streaming texture, and each presented frame reaches the window in one copy through
// SDL's renderer (which also scales and letterboxes it). Measured faster than SDL's own software
// renderer drawing each quad, and free of seams between turned tiles.
#include "platform/sdl/sdl_handles.h"
#include "platform/soft_device.h"

namespace qv::platform::sdl {

class SdlSoftDevice final : public SoftRenderDevice {
 public:
  explicit SdlSoftDevice(RendererPtr renderer);
  ~SdlSoftDevice() override;
  SdlSoftDevice(const SdlSoftDevice&) = delete;
  SdlSoftDevice& operator=(const SdlSoftDevice&) = delete;

  bool Present() override;
  SDL_Renderer* Renderer() const { return renderer_.get(); }

 private:
  void Lock();
  void Unlock();

  RendererPtr renderer_;
  TexturePtr screen_;
  bool locked_ = false;
};

}  // namespace qv::platform::sdl
