// The built-in player's skills: a model's choices repeat for a seed, perfect is the planner
// itself, and the weaker models play worse in that order.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "game/autoplay.h"
#include "game/player_models.h"
#include "scene_run.h"

namespace qv::test {
namespace {

// An arcade game of `skill` from level 1, its field ready for the first shot.
void StartArcade(SceneRun& run, AutoplaySkill skill, std::uint32_t seed) {
  run.ctx->shell.run.seed = seed;
  run.ctx->shell.run.autoplay_skill = skill;
  run.StartGame(GameType::Arcade);
  EXPECT_TRUE(run.UntilPlaying());
}

TEST(PlayerModels, AModelsAimRepeatsForASeedAndSpreadsOverSeeds) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  StartArcade(run, AutoplaySkill::Perfect, 11);
  Context& ctx = *run.ctx;
  const AimChoice planned = ChooseAim(ctx);
  for (const AutoplaySkill skill :
       {AutoplaySkill::Expert, AutoplaySkill::Average, AutoplaySkill::Casual}) {
    const PlayerModel& model = ModelFor(skill);
    std::set<std::pair<int, int>> spots;
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
      Random a, b;
      a.Seed(seed);
      b.Seed(seed);
      const AimChoice first = ChooseAim(ctx, model, a);
      const AimChoice again = ChooseAim(ctx, model, b);
      EXPECT_EQ(first.x, again.x) << model.name << " seed " << seed;
      EXPECT_EQ(first.y, again.y) << model.name << " seed " << seed;
      EXPECT_EQ(a.seed, b.seed) << model.name << " drew differently";
      spots.insert({first.x, first.y});
    }
    // Aim error: a person does not put the pointer on the same pixel six times.
    EXPECT_GT(spots.size(), 1u) << model.name;
  }
  // Perfect is the planner itself and draws nothing.
  Random r;
  r.Seed(5);
  const AimChoice perfect = ChooseAim(ctx, ModelFor(AutoplaySkill::Perfect), r);
  EXPECT_EQ(perfect.x, planned.x);
  EXPECT_EQ(perfect.y, planned.y);
  EXPECT_EQ(r.seed, 5u);
}

struct Played {
  int won = 0;                            // levels won
  int shots = 0;                          // balls fired
  std::vector<std::array<int, 3>> fired;  // tick and pointer of each shot
};

// An arcade game of `skill` for `ticks` frames from level 1.
Played PlayArcade(AutoplaySkill skill, std::uint32_t seed, int ticks) {
  SceneRun run;
  EXPECT_TRUE(run.ok());
  Played out;
  if (!run.ok()) return out;
  run.ctx->shell.run.autoplay = true;
  StartArcade(run, skill, seed);
  const Context& ctx = *run.ctx;
  EndPhase last_phase = ctx.game.play.end_phase;
  bool flying = false;
  for (int t = 0; t < ticks; ++t) {
    run.Tick();
    const LevelPlay& play = ctx.game.play;
    if (play.end_phase != last_phase && play.end_phase == EndPhase::Statistics) ++out.won;
    last_phase = play.end_phase;
    if (play.ball_in_flight && !flying) {
      ++out.shots;
      out.fired.push_back({t, ctx.shell.pointer.mouse_x, ctx.shell.pointer.mouse_y});
    }
    flying = play.ball_in_flight;
    if (play.end_phase == EndPhase::GameOverNotice) break;
  }
  return out;
}

// The whole player, think time and hand included: the same seed, the same shots at the same
// ticks; another seed plays differently.
TEST(PlayerModels, AGameRepeatsForASeed) {
  const Played a = PlayArcade(AutoplaySkill::Average, 5, 3000);
  const Played b = PlayArcade(AutoplaySkill::Average, 5, 3000);
  const Played c = PlayArcade(AutoplaySkill::Average, 6, 3000);
  ASSERT_GT(a.shots, 3);
  EXPECT_EQ(a.fired, b.fired);
  EXPECT_NE(a.fired, c.fired);
}

// The same seeded games by each skill, a couple of minutes of game time each: the weaker the
// player, the fewer levels won, or the more shots each won level cost.
TEST(PlayerModels, TheSkillsAreOrdered) {
  constexpr int kTicks = 12000;
  double per_win[2] = {0, 0};
  int won[2] = {0, 0};
  const AutoplaySkill skills[2] = {AutoplaySkill::Expert, AutoplaySkill::Casual};
  for (int s = 0; s < 2; ++s) {
    int shots = 0;
    for (const std::uint32_t seed : {3u, 17u}) {
      const Played p = PlayArcade(skills[s], seed, kTicks);
      fprintf(stderr, "%s seed %u: won %d shots %d\n", ModelFor(skills[s]).name, seed, p.won,
              p.shots);
      won[s] += p.won;
      shots += p.shots;
    }
    per_win[s] = won[s] > 0 ? static_cast<double>(shots) / won[s] : 1e9;
  }
  EXPECT_GT(won[0], 0) << "expert won nothing";
  EXPECT_TRUE(won[1] < won[0] || per_win[1] > per_win[0])
      << "casual won " << won[1] << " at " << per_win[1] << " shots a level, expert " << won[0]
      << " at " << per_win[0];
}

}  // namespace
}  // namespace qv::test
