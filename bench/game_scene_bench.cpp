// The heaviest scene the game makes, on the generated content pack: a full field, 300 live
// particles, a big-bomb blast under way and every HUD element. Times the game frame with the
// move pass and the draw-list build (budget: 5 % of the 10 ms tick), and the render pass on the
// software rasteriser (budget: 40 %). Allocations per frame are reported too.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/subsystem_hooks.h"
#include "context.h"
#include "game/bonuses.h"
#include "game/field.h"
#include "game/game_frame.h"
#include "game/particles.h"
#include "harness/game_folder.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_audio.h"
#include "shell/frame.h"
#include "shell/hooks.h"
#include "shell/main_form.h"
#include "sprites/sprite_hooks.h"
#include "support/alloc_counter.h"

namespace {

using namespace qv;

struct World {
  platform::VirtualClock clock;
  platform::HeadlessWindow window;
  platform::StderrMessageBoxes boxes;
  platform::RecordingAudioDevice audio{[this] { return clock.TickCount(); }};
  std::unique_ptr<Context> ctx;

  void Tick() {
    clock.Advance(10);
    ctx->shell.rasterize = false;
    TimerTick(*ctx);
  }
};

World* TheWorld() {
  static World* world = [] {
    auto* w = new World;
    char tmpl[] = "/tmp/qv_bench_XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    if (const Expected<void> laid = LayPack(std::string(QUORVEX_BINARY_DIR) + "/pack", dir);
        !laid) {
      std::fprintf(stderr, "%s\n", Describe(laid.error()).c_str());
      std::exit(1);
    }
    std::filesystem::current_path(dir);
    w->ctx = std::make_unique<Context>();
    Context& ctx = *w->ctx;
    InstallSubsystemHooks(ctx);
    ctx.shell.run.headless = true;
    ctx.shell.run.has_seed = true;
    ctx.shell.run.seed = 5;
    ctx.platform.audio = &w->audio;
    ctx.platform.clock = &w->clock;
    ctx.platform.window = &w->window;
    ctx.platform.messages = &w->boxes;
    if (!FormCreate(ctx)) std::exit(1);
    for (int i = 0; i < 5000 && !(ctx.shell.scene == SceneId::Menu && ctx.loading.loading_done);
         ++i) {
      w->Tick();
    }
    ctx.game.game_type = kChallenge;  // the board and its scaling too
    ctx.game.players.local[1] = {12, 40000, 1, 40000};
    ctx.shell.pending_scene = SceneId::Game;
    for (int i = 0; i < 2000; ++i) {
      w->Tick();
      const GameState& g = ctx.game;
      if (g.hud.cannon_step >= 31 && g.hud.board_step >= 23 && !g.lv.start_flag &&
          !g.walls.moving) {
        break;
      }
    }
    return w;
  }();
  return world;
}

// Full field, 300 particles, a big bomb going off, a shot in flight.
void MakeHeavy(Context& ctx) {
  GameState& g = ctx.game;
  ClearParticles(ctx);
  for (int r = 6; r <= 18 && r < g.field.top_rows; ++r) {
    for (int c = 2; c < 2 + g.field.code(r); ++c) {
      if (g.field.at(c, r).kind == 0) PutBall(ctx, c, r, 1 + (c * 7 + r) % 5, 0, 0);
    }
  }
  PutBall(ctx, 7, 8, kKindBigBomb, 0, 0);
  BigBombBlast(ctx, 7, 8, 2);
  for (int i = 0; LiveParticles(ctx) < 300 && i < 1000; ++i) {
    CreateParticle(ctx, i % 3 == 0 ? 16 : 20, 200 + (i * 37) % 400, 100 + (i * 53) % 300);
  }
  OccupancyScan(g.field);
}

void BM_HeaviestFrameMoveAndDrawList(benchmark::State& state) {
  World* w = TheWorld();
  Context& ctx = *w->ctx;
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

void BM_HeaviestRenderSoftware(benchmark::State& state) {
  World* w = TheWorld();
  Context& ctx = *w->ctx;
  MakeHeavy(ctx);
  platform::RenderDevice* device = ctx.platform.device;
  if (!device) {
    state.SkipWithError("no render device");
    return;
  }
  for (auto _ : state) {
    SpritesCollectHook(ctx);
    device->BeginScene();
    device->Clear(0xFF000000u);
    SpritesRenderHook(ctx, *device);
    device->EndScene();
    SpritesClearListHook(ctx);
  }
  state.counters["particles"] = LiveParticles(ctx);
}
BENCHMARK(BM_HeaviestRenderSoftware)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
