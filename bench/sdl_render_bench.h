#pragma once
// What the render benchmarks share: the SDL renderers they draw on, the naive way most SDL games
// draw (one SDL_RenderCopyEx per sprite part), one frame each way, and a reporter that prints
// naive / ours for every pair of runs.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/render_device.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/sdl_render_device.h"

namespace qv {
struct Context;
}

namespace qv::bench {

// Our software device on SDL's software renderer drawing into an 800 x 600 surface; made once,
// null when SDL cannot make it.
platform::RenderDevice* SoftwareDevice();
// Our device on SDL's OpenGL renderer in an 800 x 600 window; made once, null without a display
// or without OpenGL.
platform::RenderDevice* OpenGlDevice();
// The device of renderer 0 (software) or 1 (OpenGL), and its name for labels.
platform::RenderDevice* SdlDevice(int renderer);
const char* SdlDeviceName(int renderer);
// The OpenGL implementation's own name (GL_RENDERER), or empty without OpenGL.
std::string OpenGlRendererName();

SDL_Renderer* RendererOf(platform::RenderDevice& device);

// Moves a context's atlas textures onto another device for as long as it lives.
class DeviceSwap {
 public:
  DeviceSwap(Context& ctx, platform::RenderDevice* device);
  ~DeviceSwap();
  DeviceSwap(const DeviceSwap&) = delete;
  DeviceSwap& operator=(const DeviceSwap&) = delete;
  bool ok() const { return ok_; }

 private:
  Context& ctx_;
  platform::RenderDevice* before_;
  bool ok_;
};

// The naive way: one texture per image, made as a game would load it, and one
// SDL_RenderCopyExF per visible part with every texture state set before every call.
class NaiveRenderer {
 public:
  // The textures of the images the sprite engine's parts show, made when first shown. Their
  // pixels are what the engine decoded (rebuilt from the tiles it keeps), a record's frames in
  // the image's grid.
  void Prepare(const Context& ctx, SDL_Renderer* renderer);
  // Returns the number of SDL_RenderCopyExF calls; counts them and their state changes too.
  int Draw(const Context& ctx, platform::sdl::DrawCallCounter* counter = nullptr) const;
  // Images of the last Prepare that got no texture (too large for the renderer); their parts
  // are not drawn.
  int missing() const { return missing_; }

 private:
  struct Image {
    SDL_Texture* texture = nullptr;
    int columns = 1;
  };
  SDL_Renderer* renderer_ = nullptr;
  std::vector<Image> images_;  // by texture record
  // Records that copy a loaded image share its frames, and so its texture.
  std::map<std::pair<int, std::size_t>, Image> by_frames_;
  std::vector<platform::sdl::TexturePtr> owned_;
  int missing_ = 0;
};

// One whole frame each way, ended by reading a pixel back, so both are timed to the last pixel.
// Ours builds the draw list, renders it and presents; the naive way clears, draws and presents.
// Both return the quads or parts drawn.
int OursFrame(Context& ctx, platform::RenderDevice& device);
int NaiveFrame(const Context& ctx, const NaiveRenderer& naive, SDL_Renderer* renderer,
               platform::sdl::DrawCallCounter* counter = nullptr);

// With QUORVEX_BENCH_PICTURES=DIR set, draws the frame once more the given way and writes it to
// DIR/NAME.png, so that both ways can be seen to draw the same picture.
void WritePicture(const std::string& name, Context& ctx, platform::RenderDevice& device,
                  const NaiveRenderer* naive);

// After the table, prints naive / ours by wall and CPU time for every pair of runs whose labels
// differ only in the word "ours" / "naive" (the median when repeated).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Times {
    double wall = 0, cpu = 0;
    const char* unit = "";
  };
  // By label without the way, then "ours" / "naive"; in first-seen order.
  std::vector<std::string> order_;
  std::map<std::string, std::map<std::string, Times>> times_;
};

// Runs the benchmarks with RatioReporter on the console.
int RunWithRatios(int argc, char** argv);

}  // namespace qv::bench
