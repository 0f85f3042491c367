#pragma once
// How well the built-in player plays (--autoplay-skill): one row per skill, read by the choice
// (src/game/autoplay.cpp: search and aim) and by the harness's player (think time and pointer
// travel). `perfect` is the planner unhindered; the others act as people of that skill do.
// docs/harness.md carries the same table; keep the two alike.
#include <array>
#include <cstddef>

#include "shell/shell_state.h"

namespace qv {

// Which matches the player looks for before it shoots.
enum class BankUse {
  Always,     // every path, wall shots included
  WhenStuck,  // wall shots only when no direct shot matches
  Rarely,     // wall shots on a few shots (bank_chance), at random
};

// When the player swaps the cannon's ball for the next one.
enum class SwapUse {
  WhenNoMatch,    // whenever the next ball matches and this one does not
  ClearlyBetter,  // only when the next ball matches well (swap_margin) and this one not at all
  Never,
};

struct PlayerModel {
  AutoplaySkill skill = AutoplaySkill::Perfect;
  const char* name = "perfect";
  // Frames of thought before each shot, drawn uniformly from [min, max]; the field moves on.
  int think_min = 0;
  int think_max = 0;
  // Pointer travel in screen pixels per frame; 0 jumps.
  int travel = 0;
  // Aim error: the normal spread of the shot's angle in degrees, its growth per 100 pixels of
  // path, and its factor for a shot off a wall.
  double aim_sd = 0;
  double aim_sd_per_100px = 0;
  double bank_sd_factor = 1;
  // Distinct matching places it considers before it stops looking (0: all).
  int groups_seen = 0;
  BankUse banks = BankUse::Always;
  double bank_chance = 1;  // for BankUse::Rarely: the share of shots on which it looks at walls
  SwapUse swaps = SwapUse::WhenNoMatch;
  double swap_margin = 0;  // for SwapUse::ClearlyBetter: how much better the next ball must be
  bool uses_rockets = true;
};

// Times are in game frames, so a model keeps its pace against the field whatever the speed
// option; at the default speed a frame is about 17 ms (100 frames in 170 ticks of 10 ms).
inline constexpr std::array<PlayerModel, 4> kPlayerModels = {{
    // perfect: today's player, the planner's best over every path; no delay, no error.
    {AutoplaySkill::Perfect, "perfect", 0, 0, 0, 0.0, 0.0, 1.0, 0, BankUse::Always, 1.0,
     SwapUse::WhenNoMatch, 0.0, true},
    // expert: sees everything, as perfect, but a person: 0.35-0.85 s to decide (a practised
    // eye), a fast hand (60 px per frame crosses the screen in about 0.2 s) and a small spread
    // (0.4 degrees misses a ball's width only on the longest shots).
    {AutoplaySkill::Expert, "expert", 20, 50, 60, 0.4, 0.15, 1.5, 0, BankUse::Always, 1.0,
     SwapUse::WhenNoMatch, 0.0, true},
    // average: looks at six places, uses the walls when nothing straight works and swaps only
    // for a clear gain (a group a third bigger than the bare match); 0.7-1.5 s per shot, a
    // steady hand (35 px per frame, the screen in 0.4 s) and a spread (0.8 degrees plus 0.3
    // per 100 px) that misses the neighbouring cell now and then on long or wall shots.
    {AutoplaySkill::Average, "average", 40, 90, 35, 0.8, 0.3, 2.0, 6, BankUse::WhenStuck, 1.0,
     SwapUse::ClearlyBetter, 30.0, true},
    // casual: a few groups of its colour in view, a wall shot on one shot in ten, no purposeful
    // swap or rocket; 1-2.5 s per shot (a newcomer shoots about once in two or three seconds),
    // a slower hand (20 px per frame, the screen in 0.7 s) and a spread that drifts (1.5
    // degrees plus 0.6 per 100 px puts a long wall shot a cell or two off).
    {AutoplaySkill::Casual, "casual", 60, 150, 20, 1.5, 0.6, 2.5, 3, BankUse::Rarely, 0.1,
     SwapUse::Never, 0.0, false},
}};

inline const PlayerModel& ModelFor(AutoplaySkill skill) {
  for (const PlayerModel& m : kPlayerModels) {
    if (m.skill == skill) return m;
  }
  return kPlayerModels[0];
}

}  // namespace qv
