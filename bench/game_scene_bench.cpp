// The heaviest scene the game makes, on the generated content pack: a full field, 300 live
// particles, a big-bomb blast under way and every HUD element. Times the game frame with the
// move pass and the draw-list build (budget: 5 % of the 10 ms tick), and the render pass on our
// own rasteriser (budget: 40 %), then on SDL's software and OpenGL renderers next to the naive
// way (one SDL_RenderCopyEx per sprite part), printing naive / ours. Allocations per frame are
// reported too. The OpenGL runs need a display (Xvfb will do) and are skipped without one.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "context.h"
#include "game/bonuses.h"
#include "game/field.h"
#include "game/game_frame.h"
#include "game/particles.h"
#include "pack_world.h"
#include "platform/soft_device.h"
#include "sdl_render_bench.h"
#include "sprites/sprite_hooks.h"
#include "support/alloc_counter.h"

namespace {

using namespace qv;

// The game scene of a challenge game, once its board and cannon have come in.
bench::World& TheWorld() {
  static bench::World* world = [] {
    bench::World* w = bench::StartWorld().release();
    Context& ctx = *w->ctx;
    for (int i = 0;
         i < 5000 && !(ctx.shell.flow.scene == SceneId::Menu && ctx.loading.loading_done); ++i) {
      w->Tick();
    }
    ctx.game.session.game_type = GameType::Challenge;  // the board and its scaling too
    ctx.game.run.players.local[1] = {12, 40000, 1, 40000};
    ctx.shell.flow.pending_scene = SceneId::Game;
    for (int i = 0; i < 2000; ++i) {
      w->Tick();
      const GameState& g = ctx.game;
      if (g.play.hud.cannon_step >= 31 && g.play.hud.board_step >= 23 && !g.play.lv.start_flag &&
          !g.play.walls.moving) {
        break;
      }
    }
    return w;
  }();
  return *world;
}

// Full field, 300 particles, a big bomb going off, a shot in flight.
void MakeHeavy(Context& ctx) {
  LevelPlay& g = ctx.game.play;
  ClearParticles(ctx);
  for (int r = 6; r <= 18 && r < g.field.top_rows; ++r) {
    for (int c = 2; c < 2 + g.field.code(r); ++c) {
      if (g.field.at(c, r).kind == BallKind::Empty)
        PutBall(ctx, c, r, ColourBall(1 + (c * 7 + r) % 5), 0, 0);
    }
  }
  PutBall(ctx, 7, 8, BallKind::BigBomb, 0, 0);
  BigBombBlast(ctx, 7, 8, 2);
  for (int i = 0; LiveParticles(ctx) < 300 && i < 1000; ++i) {
    CreateParticle(ctx, i % 3 == 0 ? kParticleSpark : kParticlePiece, 200 + (i * 37) % 400,
                   100 + (i * 53) % 300);
  }
  OccupancyScan(g.field);
}

// The heavy scene as a frame shows it: a few frame steps with their move passes have placed
// every new picture on screen.
void MakeHeavyShown(Context& ctx) {
  MakeHeavy(ctx);
  for (int i = 0; i < 3; ++i) {
    GameFrame(ctx);
    SpritesMoveHook(ctx, 16);
  }
}

void BM_HeaviestFrameMoveAndDrawList(benchmark::State& state) {
  Context& ctx = *TheWorld().ctx;
  long allocs = 0;
  int frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (frames % 20 == 0) MakeHeavy(ctx);
    const long before = test::AllocationCount();
    state.ResumeTiming();
    GameFrame(ctx);
    SpritesMoveHook(ctx, 16);
    SpritesCollectHook(ctx);
    SpritesClearListHook(ctx);
    state.PauseTiming();
    allocs += test::AllocationCount() - before;
    ++frames;
    state.ResumeTiming();
  }
  state.counters["allocs_per_frame"] = static_cast<double>(allocs) / frames;
  state.counters["particles"] = LiveParticles(ctx);
}
BENCHMARK(BM_HeaviestFrameMoveAndDrawList)->Unit(benchmark::kMicrosecond);

using Clock = std::chrono::steady_clock;

// The time a plain memcpy takes to write `bytes`, in frame-sized pieces between two frame-sized
// buffers, as our pass writes its frame: the floor the render pass is measured against. The
// fastest of several tries, as a floor should be.
double MemcpyFloorMicros(std::uint64_t bytes) {
  constexpr std::size_t kFrame = std::size_t{platform::kScreenWidth} * platform::kScreenHeight * 4;
  static std::vector<unsigned char> from(kFrame, 1), to(kFrame, 2);
  double best = 1e300;
  for (int attempt = 0; attempt < 50; ++attempt) {
    const Clock::time_point start = Clock::now();
    for (std::uint64_t left = bytes; left > 0;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kFrame));
      std::memcpy(to.data(), from.data(), n);
      benchmark::ClobberMemory();
      left -= n;
    }
    best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return best;
}

// Our rasteriser alone, on the headless device (no SDL, no present), with the pixels it writes
// by kind of work and the time a memcpy of as many bytes takes on this machine, now.
void BM_HeaviestRenderSoftware(benchmark::State& state) {
  Context& ctx = *TheWorld().ctx;
  MakeHeavyShown(ctx);
  auto* device = dynamic_cast<platform::SoftRenderDevice*>(ctx.platform.device);
  if (!device) {
    state.SkipWithError("no software render device");
    return;
  }
  const Clock::time_point start = Clock::now();
  for (auto _ : state) {
    SpritesCollectHook(ctx);
    device->BeginScene();
    device->Clear(0xFF000000u);
    SpritesRenderHook(ctx, *device);
    device->EndScene();
    SpritesClearListHook(ctx);
  }
  const double pass = std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                      static_cast<double>(state.iterations());
  const platform::PixelCounts& px = device->Counts();
  const double floor = MemcpyFloorMicros(px.Total() * 4);
  state.counters["particles"] = LiveParticles(ctx);
  state.counters["quads"] = static_cast<double>(px.quads);
  state.counters["px_cleared"] = static_cast<double>(px.cleared);
  state.counters["px_copied"] = static_cast<double>(px.copied);
  state.counters["px_blended"] = static_cast<double>(px.blended);
  state.counters["px_added"] = static_cast<double>(px.additive);
  state.counters["px_sampled"] = static_cast<double>(px.sampled);
  state.counters["MB_written"] = static_cast<double>(px.Total()) * 4 / 1e6;
  state.counters["floor_us"] = floor;
  state.counters["pass/floor"] = pass / floor;
  state.SetLabel(std::string("spans ") + platform::spans::Best().name);
}
BENCHMARK(BM_HeaviestRenderSoftware)->Unit(benchmark::kMicrosecond);

// The whole render pass with its present on an SDL renderer, ours or the naive way.
// range(0): 0 software, 1 OpenGL; range(1): 0 ours, 1 naive.
void BM_HeaviestRender(benchmark::State& state) {
  const int renderer = static_cast<int>(state.range(0));
  const bool naive = state.range(1) == 1;
  platform::RenderDevice* device = bench::SdlDevice(renderer);
  if (!device) return state.SkipWithError("renderer not available (no display, or no OpenGL)");
  Context& ctx = *TheWorld().ctx;
  MakeHeavyShown(ctx);
  const bench::DeviceSwap swap(ctx, device);
  if (!swap.ok()) return state.SkipWithError("the atlas textures could not be made");
  SDL_Renderer* sdl = bench::RendererOf(*device);
  static bench::NaiveRenderer* naive_ways[2] = {new bench::NaiveRenderer, new bench::NaiveRenderer};
  bench::NaiveRenderer& way = *naive_ways[renderer];
  if (naive) way.Prepare(ctx, sdl);
  auto frame = [&] {
    return naive ? bench::NaiveFrame(ctx, way, sdl) : bench::OursFrame(ctx, *device);
  };
  frame();  // the first frame sizes the device's buffers
  // What a GPU driver is asked for per frame: draw calls and the state changes between them.
  platform::sdl::DrawCallCounter calls;
  if (naive) {
    bench::NaiveFrame(ctx, way, sdl, &calls);
  } else if (auto* gpu = dynamic_cast<platform::sdl::SdlRenderDevice*>(device)) {
    calls = gpu->Calls();
  }
  long allocs = 0;
  int drawn = 0;
  for (auto _ : state) {
    const long before = test::AllocationCount();
    drawn = frame();
    allocs += test::AllocationCount() - before;
  }
  state.counters[naive ? "parts" : "quads"] = drawn;
  if (calls.draws() > 0) {
    state.counters["draw_calls"] = calls.draws();
    state.counters["state_changes"] = calls.state_changes();
  }
  if (naive) {
    state.counters["no_texture"] = way.missing();
  } else {
    state.counters["allocs_per_frame"] =
        static_cast<double>(allocs) / static_cast<double>(state.iterations());
  }
  const std::string label =
      std::string(bench::SdlDeviceName(renderer)) + (naive ? " naive" : " ours");
  state.SetLabel(label);
  bench::WritePicture("heaviest " + label, ctx, *device, naive ? &way : nullptr);
}
BENCHMARK(BM_HeaviestRender)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (const std::string gl = bench::OpenGlRendererName(); !gl.empty()) {
    benchmark::AddCustomContext("opengl_renderer", gl);
    benchmark::AddCustomContext("sdl_video_driver", SDL_GetCurrentVideoDriver());
  }
  return bench::RunWithRatios(argc, argv);
}
