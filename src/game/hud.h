#pragma once
// The game scene: building it from its maps, resetting it for every level, the heads-up
// display kept in step with the game each frame, the cannon's ball queue, and tearing it down.
#include <cstdint>

#include "game/game_state.h"

namespace qv {

struct Context;
struct Options;
struct Random;

// Fade-out and fade-in of every music change the game scene makes, in ms.
inline constexpr int kMusicFade = 250;

// The tag of the game scene's own map ("main.map"): the panel, the cannon, the boards.
inline constexpr const char* kSceneMapTag = "main";

// Builds the game scene when a game starts from the menu.
void StartSceneMain(Context& ctx);
// Back to the menu: removes the whole scene.
void LeaveSceneMain(Context& ctx);

// Resets the display for a new level and raises the level-start flag.
void LevelStart(Context& ctx);
// Removes the level's objects.
void ClearLevel(Context& ctx);

// Covers the strip right of the shown progress.
void DrawProgressStrip(Context& ctx);

// Shots until the cannon next offers a bonus item: the options' interval, spread at random by
// up to their percentage either way.
std::uint32_t ShotsUntilBonus(Random& rnd, const Options& options);
// Advances the cannon queue and chooses the new next ball.
void NextBall(Context& ctx);
// (Re)creates the picture of the current ball in the cannon.
void MakeLoadedBall(Context& ctx);
void FreeLoadedBall(Context& ctx);
void ShowNextBallOnCannon(Context& ctx);
void ShowMountedRocketsOnCannon(Context& ctx, int count);

// The per-frame HUD steps, in the game frame's order: dragons; cannon and board build-up,
// score roll, progress and level number; laser and alarm.
void HudDragons(Context& ctx);
void HudBoards(Context& ctx);
void HudLaser(Context& ctx);
// The score digits show this value (right-aligned, last five digits).
void WriteScoreDigits(Context& ctx, int value);

// The challenge and puzzle board's width for a net step 0..11.
double BoardScaleForWallStep(int step, int board_width);

}  // namespace qv
