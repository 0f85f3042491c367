// Frame time of 600 unrotated 34-pixel sprites through each quad path of the render device.
//   quad_throughput [software|opengl|offscreen] [frames]
// software and opengl open a window (needs a display, e.g. Xvfb); offscreen uses the headless
// device. Each frame: begin, clear, 600 tinted alpha-blended quads, end, present.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/sdl/sdl_render_device.h"

namespace {

using qv::platform::DeviceQuad;
using qv::platform::RenderDevice;
using qv::platform::sdl::QuadPath;
using qv::platform::sdl::SdlRenderDevice;

double MsPerFrame(SdlRenderDevice& device, QuadPath path, int tex, int frames) {
  device.SetQuadPath(path);
  constexpr int kSprites = 600;
  constexpr float kSize = 34.0f, kUv = 34.0f / 256.0f;
  const auto frame = [&](int f) {
    device.BeginScene();
    device.Clear(0xFF000000u);
    device.BindTexture(tex);
    for (int i = 0; i < kSprites; ++i) {
      const float x = static_cast<float>((i * 37 + f) % 766);
      const float y = static_cast<float>((i * 53) % 566);
      const std::uint32_t tint =
          std::getenv("QV_TINT") ? 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8)
                                 : 0xFFFFFFFFu;
      device.DrawQuad(DeviceQuad{x, y, x + kSize, y + kSize, 0, 0, kUv, kUv, tint});
    }
    device.EndScene();
    device.Present();
  };
  for (int f = 0; f < 20; ++f) frame(f);
  const auto start = std::chrono::steady_clock::now();
  for (int f = 0; f < frames; ++f) frame(f);
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / frames;
}

}  // namespace

int main(int argc, char** argv) {
  const char* which = argc > 1 ? argv[1] : "offscreen";
  const int frames = argc > 2 ? std::atoi(argv[2]) : 300;
  std::unique_ptr<RenderDevice> owned;
  SDL_Window* window = nullptr;
  if (std::strcmp(which, "offscreen") == 0) {
    // SDL's software renderer on a surface.
    qv::platform::sdl::SurfacePtr surface(
        SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_ARGB8888));
    SDL_Renderer* r = surface ? SDL_CreateSoftwareRenderer(surface.get()) : nullptr;
    if (!r) return 1;
    owned =
        std::make_unique<SdlRenderDevice>(qv::platform::sdl::RendererPtr(r), std::move(surface));
  } else {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
      return 1;
    }
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, which);
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    window = SDL_CreateWindow("quad_throughput", 0, 0, 800, 600, 0);
    SDL_Renderer* r = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!r) {
      std::fprintf(stderr, "renderer %s: %s\n", which, SDL_GetError());
      return 1;
    }
    owned = std::make_unique<SdlRenderDevice>(qv::platform::sdl::RendererPtr(r), nullptr);
  }
  auto* device = dynamic_cast<SdlRenderDevice*>(owned.get());
  if (!device) return 1;
  const int tex = device->CreateTexture(qv::platform::TextureFormat::ARGB8888);
  std::vector<std::uint32_t> texels(256 * 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      texels[static_cast<std::size_t>(y * 256 + x)] =
          ((x - 17) * (x - 17) + (y - 17) * (y - 17) < 17 * 17) ? 0xFFFFFFFFu : 0x00000000u;
  device->UploadTexture(tex, texels.data());
  const double copy = MsPerFrame(*device, QuadPath::CopyEx, tex, frames);
  const double geometry = MsPerFrame(*device, QuadPath::Geometry, tex, frames);
  std::printf(
      "%s (%s): 600 sprites, %d frames: RenderCopyExF %.3f ms/frame, batched "
      "RenderGeometry %.3f ms/frame; default path: %s\n",
      which, device->Describe().c_str(), frames, copy, geometry,
      qv::platform::sdl::ChooseQuadPath(device->Describe()) == QuadPath::CopyEx ? "copyex"
                                                                                : "geometry");
  owned.reset();
  if (window) SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
