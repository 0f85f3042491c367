// The game core's per-frame work: the shot planner (run every frame while no ball flies) in its
// worst cases, and the flood fills on a full field. Counts heap allocations per iteration; once
// warm there must be none.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "context.h"
#include "game/field.h"
#include "game/matching.h"
#include "game/shot.h"
#include "support/alloc_counter.h"

namespace {

using namespace qv;

std::unique_ptr<Context> MakeWorld() {
  auto ctx = std::make_unique<Context>();
  ctx->options.ball_step = 16;
  ctx->random.Seed(7);
  ctx->game.play.field.colour_count = 5;
  for (int r = -1; r <= 89; ++r) ctx->game.play.field.code(r) = r % 2 != 0 ? 12 : 11;
  return ctx;
}

// Rows first..last full of random colours (pictures at their cells).
void FillRows(Context& ctx, int first, int last) {
  for (int r = first; r <= last; ++r) {
    for (int c = 2; c < 2 + ctx.game.play.field.code(r); ++c) {
      PutBall(ctx, c, r, 1 + ctx.random.Next(5), 0, 0);
    }
  }
}

void ReportAllocations(benchmark::State& state, long before) {
  state.counters["allocs_per_iter"] =
      benchmark::Counter(static_cast<double>(qv::test::AllocationCount() - before) /
                         static_cast<double>(state.iterations()));
}

// Steepest aim, 90 rows in use, the top 30 full: the ball zig-zags ~2100 px between the walls
// before it meets the field. A ball in row -1 outside the nets (never hit) keeps every sub-step
// on the full collision test.
void BM_PlannerLongBouncingPathIntoFullField(benchmark::State& state) {
  auto ctx = MakeWorld();
  ctx->game.play.field.top_rows = 90;
  FillRows(*ctx, 60, 89);
  PutBall(*ctx, 0, -1, 1, 0, 0);
  AimUpdate(*ctx, 0, 560, 800, 600);  // clamps to 67.5 degrees
  const AimState a = ctx->game.scene.aim;
  PlanShot(*ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy);
  const long before = qv::test::AllocationCount();
  for (auto _ : state) {
    const bool hit =
        PlanShot(*ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy);
    benchmark::DoNotOptimize(hit);
  }
  ReportAllocations(state, before);
  state.counters["path_points"] = ctx->game.play.path.length;
}
BENCHMARK(BM_PlannerLongBouncingPathIntoFullField);

// Steepest aim into an empty field: the longest flight there is (up to y -2700).
void BM_PlannerEmptyFieldToTheTop(benchmark::State& state) {
  auto ctx = MakeWorld();
  AimUpdate(*ctx, 0, 560, 800, 600);
  const AimState a = ctx->game.scene.aim;
  PlanShot(*ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy);
  const long before = qv::test::AllocationCount();
  for (auto _ : state) {
    const bool hit =
        PlanShot(*ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy);
    benchmark::DoNotOptimize(hit);
  }
  ReportAllocations(state, before);
  state.counters["path_points"] = ctx->game.play.path.length;
}
BENCHMARK(BM_PlannerEmptyFieldToTheTop);

// A level start (rows 12 and 13 full) with the aim sweeping as a player moves the mouse.
void BM_PlannerLevelStartSweep(benchmark::State& state) {
  auto ctx = MakeWorld();
  FillRows(*ctx, 12, 13);
  int mouse = 0;
  AimUpdate(*ctx, 0, 300, 800, 600);
  const long before = qv::test::AllocationCount();
  for (auto _ : state) {
    mouse = (mouse + 7) % 800;
    AimUpdate(*ctx, mouse, 300, 800, 600);
    const AimState& a = ctx->game.scene.aim;
    const bool hit =
        PlanShot(*ctx, static_cast<int>(a.start_x), static_cast<int>(a.start_y), a.vx, a.vy);
    benchmark::DoNotOptimize(hit);
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_PlannerLevelStartSweep);

// The drop's support pass on a full field of 90 rows: fill from the anchor row, then the scan
// that keeps everything (nothing is unsupported).
void BM_SupportFillAndDropFullField(benchmark::State& state) {
  auto ctx = MakeWorld();
  ctx->game.play.field.top_rows = 90;
  FillRows(*ctx, 0, 89);
  const long before = qv::test::AllocationCount();
  for (auto _ : state) {
    const int d = Drop(*ctx, true);
    benchmark::DoNotOptimize(d);
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_SupportFillAndDropFullField);

// The colour fill over a full one-colour field (the largest group), then clearing its marks.
void BM_ColourFillWholeField(benchmark::State& state) {
  auto ctx = MakeWorld();
  ctx->game.play.field.top_rows = 90;
  for (int r = 0; r <= 89; ++r) {
    for (int c = 2; c < 2 + ctx->game.play.field.code(r); ++c) PutBall(*ctx, c, r, 3, 0, 0);
  }
  const long before = qv::test::AllocationCount();
  for (auto _ : state) {
    ctx->game.play.scoring.match_count = 0;
    ColourFill(*ctx, 2, 0, 3);
    ClearMarks(ctx->game.play.field, 0xFF);
    benchmark::DoNotOptimize(ctx->game.play.scoring.match_count);
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_ColourFillWholeField);

// The multiball fill in a full field of five colours: seven bit fills from its six neighbours.
void BM_MultiballFillFullField(benchmark::State& state) {
  auto ctx = MakeWorld();
  ctx->game.play.field.top_rows = 90;
  FillRows(*ctx, 0, 89);
  PutBall(*ctx, 7, 45, kKindMultiball, 0, 0);
  const long before = qv::test::AllocationCount();
  for (auto _ : state) {
    ctx->game.play.scoring.match_count = 0;
    MultiballFill(*ctx, 7, 45);
    ClearMarks(ctx->game.play.field, 0xFF);
    benchmark::DoNotOptimize(ctx->game.play.scoring.match_count);
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_MultiballFillFullField);

}  // namespace

BENCHMARK_MAIN();
