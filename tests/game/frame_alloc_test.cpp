// Once warm, game frames allocate nothing: the HUD, the field, the shot, the bonuses, and the
// particles, falling balls and score texts a busy level makes.
#include <gtest/gtest.h>

#include "scene_run.h"
#include "support/alloc_counter.h"

extern "C" {
volatile int qv_counting_allocations = 0;  // a debugger's condition
}

namespace qv::test {
namespace {

TEST(GameFrameAllocations, BusyLevelFramesAllocateNothingOnceWarm) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.ctx->shell.run.autoplay = true;
  // Five colours: a level long enough to play through the windows below.
  run.StartGame(GameType::Arcade, 19, 0);
  ASSERT_TRUE(run.UntilPlaying());
  run.Tick(12000);  // shots, matches, drops, particles: every pool has grown to its size
  // Windows of a hundred game frames (170 ticks at the fixed logic rate) inside one level;
  // a window that saw a level end is not counted.
  long worst = 0;
  int counted = 0;
  for (int round = 0; round < 40 && counted < 5; ++round) {
    const int level = run.ctx->game.session.level;
    const long before = AllocationCount();
    qv_counting_allocations = 1;
    bool calm = true;
    for (int t = 0; t < 170; ++t) {
      run.Tick();
      calm = calm && run.ctx->game.play.end_phase == EndPhase::Playing &&
             run.ctx->game.session.level == level;
    }
    const long used = AllocationCount() - before;
    qv_counting_allocations = 0;
    if (!calm) continue;
    ++counted;
    worst = std::max(worst, used);
  }
  EXPECT_EQ(counted, 5);
  EXPECT_EQ(worst, 0);
}

}  // namespace
}  // namespace qv::test
