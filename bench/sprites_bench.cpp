// 2,000 live multisprites of mixed sizes: the move pass plus the draw-list build, and the render
// pass on the software and OpenGL renderers next to the naive way (one SDL_RenderCopyEx per
// sprite part, every texture state set before every call). Counts heap allocations per frame.
// On software, ours rasterises into its own frame and presents it with one copy into the same
// SDL surface the naive way draws into, so both end with the frame in that surface.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "context.h"
#include "platform/files.h"
#include "platform/headless/offscreen_device.h"
#include "platform/sdl/sdl_render_device.h"
#include "platform/sdl/sdl_soft_device.h"
#include "sprites/draw_list.h"
#include "sprites/image.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"
#include "support/alloc_counter.h"

namespace {

using qv::Context;
using qv::TMultiSprite;
namespace platform = qv::platform;

constexpr int kSprites = 2000;

// 32-bit top-down TGA.
void WriteTga(const std::string& path, int w, int h, std::uint32_t (*pixel)(int, int, int, int)) {
  std::string s(18, '\0');
  s[2] = 2;
  s[12] = static_cast<char>(w & 0xFF);
  s[13] = static_cast<char>(w >> 8);
  s[14] = static_cast<char>(h & 0xFF);
  s[15] = static_cast<char>(h >> 8);
  s[16] = 32;
  s[17] = 0x28;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = pixel(x, y, w, h);
      s += std::string{static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16),
                       static_cast<char>(c >> 24)};
    }
  std::ofstream(platform::HostPath(path), std::ios::binary) << s;
}

std::uint32_t Disc(int x, int y, int w, int h) {
  const double dx = x - w / 2.0 + 0.5, dy = y - h / 2.0 + 0.5;
  const double r = std::sqrt(dx * dx + dy * dy) / (w / 2.0);
  if (r > 1) return 0;
  const auto a = static_cast<std::uint32_t>(255 * (1 - r * r));
  return a << 24 | 0x30A0F0u;
}
std::uint32_t Solid(int x, int y, int, int) {
  return 0xFF000000u | static_cast<std::uint32_t>(x * 5 & 0xFF) << 16 |
         static_cast<std::uint32_t>(y * 3 & 0xFF) << 8 | 0x40u;
}

// The content folder: made once per process in a temporary directory.
void MakeContent() {
  static bool made = false;
  if (made) return;
  made = true;
  char tmpl[] = "/tmp/qv_bench_XXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  std::filesystem::current_path(tmpl);
  std::filesystem::create_directory("b");
  WriteTga("b\\ball.tga", 32, 32, Disc);
  WriteTga("b\\strip.tga", 256, 32, Disc);
  WriteTga("b\\panel.tga", 120, 90, Solid);
  WriteTga("b\\glow.tga", 64, 64, Disc);
  WriteTga("b\\back.tga", 256, 128, Solid);
  auto spr = [](const char* path, const char* text) {
    std::ofstream(platform::HostPath(path), std::ios::binary) << text;
  };
  spr("b\\ball.spr", "x=0\r\n1\r\nball.tga,texture_size=32\r\n");
  spr("b\\anim.spr", "x=0\r\n1\r\nstrip.tga,frame_width=32,texture_size=32,anim_speed=200\r\n");
  spr("b\\panel.spr", "x=0\r\n1\r\npanel.tga,texture_size=64,border=1\r\n");
  spr("b\\multi.spr",
      "x=0\r\n1\r\nglow.tga,texture_size=64,alpha_mode=1,x=-16,y=-16\r\n1\r\nball.tga,texture_size="
      "32,z=1\r\n");
  spr("b\\back.spr", "x=0\r\n1\r\nback.tga,texture_size=128\r\n");
}

struct Scene {
  platform::RenderDevice* device = nullptr;  // shared by the scenes of one renderer
  Context ctx;
  std::map<int, SDL_Texture*> naive_textures;  // texture record -> one texture per image
  std::vector<platform::sdl::TexturePtr> naive_owned;
};

// Mix 0, game-like: single-tile balls, animations and glowing pairs, a few panels, few turned.
// Mix 1, tile-heavy: a quarter of the parts span several tiles, one in ten is turned.
void Populate(Scene& s, int mix) {
  MakeContent();
  s.ctx.platform.device = s.device;
  s.ctx.shell.random.Seed(7);
  auto& rnd = s.ctx.shell.random;
  const int share[2][4] = {{60, 82, 85, 100}, {50, 70, 80, 95}};
  for (int i = 0; i < kSprites; ++i) {
    const int kind = rnd.Next(100);
    const int* c = share[mix];
    const char* path = kind < c[0]   ? "b\\ball.spr"
                       : kind < c[1] ? "b\\anim.spr"
                       : kind < c[2] ? "b\\panel.spr"
                       : kind < c[3] ? "b\\multi.spr"
                                     : "b\\back.spr";
    TMultiSprite* m = qv::CreateMultiSprite(s.ctx, path);
    m->x = rnd.Next(820) - 10;
    m->y = rnd.Next(620) - 10;
    m->z = rnd.Next(8);
    if (rnd.Next(mix == 0 ? 20 : 10) == 0) m->angle = rnd.NextReal() * 6.28;
    if (rnd.Next(4) == 0) m->color = 0xFF8040;
    if (rnd.Next(5) == 0) m->alpha = 160;
    m->flip_x = rnd.Next(6) == 0;
    m->rot_center_x = 16;
    m->rot_center_y = 16;
  }
}

void Step(Context& ctx) {
  static int frame = 0;
  const int way = (++frame / 32) % 2 ? 1 : -1;  // back and forth, so they stay on screen
  for (int i = 0; i < qv::MultiSpriteCount(ctx); ++i)
    if (TMultiSprite* m = qv::MultiSpriteAt(ctx, i)) {
      m->x += way * ((i % 3) - 1);
      m->Update();
    }
  qv::SpriteEngineMove(ctx, 16);
}

platform::RenderDevice* SoftwareDevice() {
  static platform::sdl::SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(
      0, platform::kScreenWidth, platform::kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888));
  static std::unique_ptr<platform::RenderDevice> device =
      []() -> std::unique_ptr<platform::RenderDevice> {
    if (!surface) return nullptr;
    platform::sdl::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
    if (!renderer) return nullptr;
    return std::make_unique<platform::sdl::SdlSoftDevice>(std::move(renderer));
  }();
  return device.get();
}

platform::RenderDevice* OpenGlDevice() {
  static platform::sdl::WindowPtr window;
  static std::unique_ptr<platform::RenderDevice> device =
      []() -> std::unique_ptr<platform::RenderDevice> {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    window.reset(SDL_CreateWindow("bench", 0, 0, 800, 600, SDL_WINDOW_SHOWN));
    if (!window) return nullptr;
    platform::sdl::RendererPtr renderer(
        SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED));
    SDL_RendererInfo info{};
    if (!renderer || SDL_GetRendererInfo(renderer.get(), &info) != 0 ||
        std::string(info.name) != "opengl")
      return nullptr;
    return std::make_unique<platform::sdl::SdlRenderDevice>(std::move(renderer),
                                                            platform::sdl::SurfacePtr());
  }();
  return device.get();
}

// One scene per renderer (0 software, 1 OpenGL) and mix, built on first use.
Scene& SceneFor(int renderer, int mix) {
  static Scene* scenes[2][2] = {};
  Scene*& s = scenes[renderer][mix];
  if (!s) {
    s = new Scene;
    s->device = renderer == 0 ? SoftwareDevice() : OpenGlDevice();
    if (s->device) Populate(*s, mix);
  }
  return *s;
}

SDL_Renderer* RendererOf(Scene& s) {
  if (auto* soft = dynamic_cast<platform::sdl::SdlSoftDevice*>(s.device)) return soft->renderer();
  return static_cast<platform::sdl::SdlRenderDevice*>(s.device)->renderer();
}

// The naive way keeps one texture per image, as decoded from its file.
void MakeNaiveTextures(Scene& s) {
  if (!s.naive_textures.empty()) return;
  const auto& records = s.ctx.sprites.textures;
  std::map<std::string, SDL_Texture*> by_name;
  for (int r = 0; r < static_cast<int>(records.size()); ++r) {
    const std::string path = "b\\" + records[r].name + ".tga";
    auto it = by_name.find(records[r].name);
    if (it == by_name.end()) {
      const auto bytes = platform::ReadWholeFile(path);
      const qv::DecodeResult img = qv::DecodeTga(
          qv::Bytes(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
      SDL_Texture* t =
          SDL_CreateTexture(RendererOf(s), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                            img.image.width, img.image.height);
      SDL_UpdateTexture(t, nullptr, img.image.argb.data(), img.image.width * 4);
      s.naive_owned.emplace_back(t);
      it = by_name.emplace(records[r].name, t).first;
    }
    s.naive_textures[r] = it->second;
  }
}

void NaiveRender(Scene& s) {
  SDL_Renderer* ren = RendererOf(s);
  Context& ctx = s.ctx;
  for (qv::TSprite* sprite : ctx.sprites.engine.z_order()) {
    auto* part = static_cast<qv::TMyImageSprite*>(sprite);
    TMultiSprite* m = part->owner;
    if (!part->visible || !m->visible || part->sprite_type != 0) continue;
    const qv::my_bmptexture& rec = ctx.sprites.textures[part->texture_index];
    const int columns = rec.image_width / rec.frame_width;
    const int frame = static_cast<int>(part->anim_pos);
    SDL_Texture* t = s.naive_textures[part->texture_index];
    const SDL_Rect src{frame % columns * rec.frame_width, frame / columns * rec.frame_height,
                       rec.frame_width, rec.frame_height};
    const float sx = static_cast<float>(part->scale_x * m->scale_x);
    const float sy = static_cast<float>(part->scale_y * m->scale_y);
    const SDL_FRect dst{
        std::trunc(static_cast<float>(part->x)), std::trunc(static_cast<float>(part->y)),
        static_cast<float>(rec.frame_width) * sx, static_cast<float>(rec.frame_height) * sy};
    const std::uint32_t c = static_cast<std::uint32_t>(m->color);
    SDL_SetTextureColorMod(t, c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
    SDL_SetTextureAlphaMod(t, static_cast<Uint8>(part->alpha * m->alpha / 255));
    SDL_SetTextureBlendMode(t, part->alpha_mode ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t, rec.border ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    const SDL_FPoint centre{static_cast<float>(m->rot_center_x),
                            static_cast<float>(m->rot_center_y)};
    const int flip =
        (part->draw_flip_x ? SDL_FLIP_HORIZONTAL : 0) | (part->draw_flip_y ? SDL_FLIP_VERTICAL : 0);
    SDL_RenderCopyExF(ren, t, &src, &dst, -part->draw_angle * 57.29577951308232, &centre,
                      static_cast<SDL_RendererFlip>(flip));
  }
}

// Waits for the renderer to finish the frame, so both ways are measured to the last pixel.
void Finish(Scene& s) {
  std::uint32_t pixel = 0;
  const SDL_Rect one{0, 0, 1, 1};
  SDL_RenderReadPixels(RendererOf(s), &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
}

void BM_MovePassAndDrawList(benchmark::State& state) {
  Scene& s = SceneFor(0, static_cast<int>(state.range(0)));
  if (!s.device) return state.SkipWithError("no software renderer");
  for (int i = 0; i < 3; ++i) {
    Step(s.ctx);
    qv::SpriteEngineDraw(s.ctx);
  }
  long allocations = 0;
  for (auto _ : state) {
    const long before = qv::test::AllocationCount();
    Step(s.ctx);
    qv::SpriteEngineDraw(s.ctx);
    benchmark::DoNotOptimize(s.ctx.sprites.draw_list.data());
    allocations += qv::test::AllocationCount() - before;
  }
  state.counters["quads"] = static_cast<double>(s.ctx.sprites.draw_list.size());
  state.counters["allocs_per_frame"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
  s.ctx.sprites.draw_list.clear();
  if (allocations != 0) state.SkipWithError("the move pass or the draw list allocated");
}
// range(0): the mix.
BENCHMARK(BM_MovePassAndDrawList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// range(0): 0 software, 1 OpenGL; range(1): 0 ours, 1 naive; range(2): the mix.
void BM_Render(benchmark::State& state) {
  Scene& s = SceneFor(static_cast<int>(state.range(0)), static_cast<int>(state.range(2)));
  if (!s.device) return state.SkipWithError("renderer not available");
  const bool naive = state.range(1) == 1;
  if (naive) MakeNaiveTextures(s);
  SDL_Renderer* ren = RendererOf(s);
  Step(s.ctx);
  long quads = 0;
  auto frame = [&] {
    if (naive) {
      SDL_SetRenderDrawColor(ren, 0, 0, 0, 255);
      SDL_RenderClear(ren);
      NaiveRender(s);
      SDL_RenderPresent(ren);
    } else {
      qv::SpriteEngineDraw(s.ctx);
      quads = static_cast<long>(s.ctx.sprites.draw_list.size());
      s.device->BeginScene();
      s.device->Clear(0xFF000000u);
      qv::RenderDrawList(s.ctx);
      s.device->EndScene();
      s.device->Present();
    }
    Finish(s);
  };
  frame();  // the first frame sizes the device's buffers
  long allocations = 0;
  for (auto _ : state) {
    const long before = qv::test::AllocationCount();
    frame();
    allocations += qv::test::AllocationCount() - before;
  }
  if (!naive) {
    state.counters["quads"] = static_cast<double>(quads);
    state.counters["allocs_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
  }
  state.SetLabel(std::string(state.range(0) == 0 ? "software" : "opengl") +
                 (naive ? " naive" : " ours") +
                 (state.range(2) == 0 ? " game-like" : " tile-heavy"));
}
BENCHMARK(BM_Render)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// Prints naive / ours per renderer after the table (the median when repeated), by wall time and
// by CPU time of the calling thread.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      times_[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* r : {"0", "1"})
      for (const char* mix : {"0", "1"}) {
        const std::string base = std::string("BM_Render/") + r + "/";
        const auto ours = times_.find(base + "0/" + mix + "/min_time:2.000");
        const auto naive = times_.find(base + "1/" + mix + "/min_time:2.000");
        if (ours == times_.end() || naive == times_.end()) continue;
        std::printf(
            "%s, %s: naive / ours = %.2f by wall time (ours %.2f ms, naive %.2f ms per frame), "
            "%.2f by CPU time (ours %.2f ms, naive %.2f ms)\n",
            r[0] == '0' ? "software" : "opengl", mix[0] == '0' ? "game-like" : "tile-heavy",
            naive->second.first / ours->second.first, ours->second.first, naive->second.first,
            naive->second.second / ours->second.second, ours->second.second, naive->second.second);
      }
  }

 private:
  std::map<std::string, std::pair<double, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
