// 2,000 live multisprites of mixed sizes: the move pass plus the draw-list build, and the render
// pass on the software and OpenGL renderers next to the naive way (one SDL_RenderCopyEx per
// sprite part, every texture state set before every call). Counts heap allocations per frame.
// On software, ours rasterises into its own frame and presents it with one copy into the same
// SDL surface the naive way draws into, so both end with the frame in that surface.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "context.h"
#include "platform/files.h"
#include "sdl_render_bench.h"
#include "sprites/draw_list.h"
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
  qv::bench::NaiveRenderer naive;
};

// Mix 0, game-like: single-tile balls, animations and glowing pairs, a few panels, few turned.
// Mix 1, tile-heavy: a quarter of the parts span several tiles, one in ten is turned.
void Populate(Scene& s, int mix) {
  MakeContent();
  s.ctx.platform.device = s.device;
  s.ctx.random.Seed(7);
  auto& rnd = s.ctx.random;
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

// One scene per renderer (0 software, 1 OpenGL) and mix, built on first use.
Scene& SceneFor(int renderer, int mix) {
  static Scene* scenes[2][2] = {};
  Scene*& s = scenes[renderer][mix];
  if (!s) {
    s = new Scene;
    s->device = qv::bench::SdlDevice(renderer);
    if (s->device) Populate(*s, mix);
  }
  return *s;
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
  SDL_Renderer* ren = qv::bench::RendererOf(*s.device);
  Step(s.ctx);
  if (naive) s.naive.Prepare(s.ctx, ren);
  auto frame = [&] {
    return naive ? qv::bench::NaiveFrame(s.ctx, s.naive, ren)
                 : qv::bench::OursFrame(s.ctx, *s.device);
  };
  frame();  // the first frame sizes the device's buffers
  long allocations = 0;
  int drawn = 0;
  for (auto _ : state) {
    const long before = qv::test::AllocationCount();
    drawn = frame();
    allocations += qv::test::AllocationCount() - before;
  }
  state.counters[naive ? "calls" : "quads"] = drawn;
  if (!naive) {
    state.counters["allocs_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
  }
  const std::string label =
      std::string(qv::bench::SdlDeviceName(static_cast<int>(state.range(0)))) +
      (naive ? " naive" : " ours") + (state.range(2) == 0 ? " game-like" : " tile-heavy");
  state.SetLabel(label);
  qv::bench::WritePicture("sprites " + label, s.ctx, *s.device, naive ? &s.naive : nullptr);
}
BENCHMARK(BM_Render)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return qv::bench::RunWithRatios(argc, argv);
}
