// Loading the whole content pack as start-up does, into a fresh context each time: the first
// frame step's loading set-up (the menu's backdrop, the logo, the music list) and then every
// entry the loading screen loads (sprite definitions, whose images are decoded, cut into tiles
// and placed and uploaded into the atlas textures; sound effects). The headless back end holds
// the atlas textures and checks the sound files without decoding them, so the mixer's share of
// a real start is not in the figure. The files come from the page cache after the first load.
#include <benchmark/benchmark.h>

#include <memory>

#include "context.h"
#include "loading/loading.h"
#include "pack_world.h"

namespace {

using namespace qv;

void BM_LoadWholePack(benchmark::State& state) {
  std::size_t entries = 0, prototypes = 0, tiles = 0, atlas_textures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<bench::World> world = bench::StartWorld();
    Context& ctx = *world->ctx;
    state.ResumeTiming();
    ctx.shell.flow.loading_pending = false;
    LoadingSetup(ctx);
    // The logo's animation only waits for time to pass; without it only loading is timed.
    ctx.loading.logo_phase = LogoPhase::Done;
    while (LoadingScreenStep(ctx)) {
    }
    state.PauseTiming();
    if (!ctx.loading.loading_done) return state.SkipWithError("loading did not finish");
    entries = ctx.loading.load_list.size();
    prototypes = 0;
    for (const my_prototype& p : ctx.sprites.prototypes) prototypes += !p.name.empty();
    tiles = ctx.sprites.tiles.size();
    atlas_textures = ctx.sprites.device_textures.size();
    world.reset();
    state.ResumeTiming();
  }
  if (prototypes == 0) return state.SkipWithError("nothing was loaded");
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["prototypes"] = static_cast<double>(prototypes);
  state.counters["tiles"] = static_cast<double>(tiles);
  state.counters["atlas_textures"] = static_cast<double>(atlas_textures);
}
BENCHMARK(BM_LoadWholePack)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
