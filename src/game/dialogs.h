#pragma once
// The dialogs over the frozen field: level statistics, game over, the high-score table reached
// from the game, try again, play again and the exit question; their buttons and keys, and what
// each does to the saved progress.
#include <initializer_list>
#include <string_view>

#include "base/geometry.h"

namespace qv {

struct Context;

// The statistics dialog's map tag, and the tag of the texts and pictures it writes over it.
inline constexpr const char* kStatDialogTag = "game_stat";
inline constexpr const char* kStatTextTag = "game_stat_text";
// The menu panel in the top right corner while playing, hit by its fixed rectangle rather than
// by its picture. (The high-score table the game shows without the player list's page takes
// the menu's scores page rectangles, menu/menu_layout.h.)
inline constexpr Rect kPlayMenuButton{717, 0, 796, 17};

void OpenStatistics(Context& ctx);
void OpenGameOver(Context& ctx);
// The saved progress at the moment of a loss.
void SaveLossProgress(Context& ctx);

// Game commands carried out by the game frame (GameCommand::HighScoreTable, TryAgain,
// NextLevel, PlayAgain, ExitQuestion).
void CommandHighScores(Context& ctx);
void CommandTryAgain(Context& ctx);
void CommandNextLevel(Context& ctx);
void CommandPlayAgain(Context& ctx);
void CommandExitQuestion(Context& ctx);
// GameCommand::ContinueDialog: the menu's panel under the continue-last-game dialog, which the
// player list opens.
void CommandContinueDialog(Context& ctx);

// Hover of the buttons of the open dialog (the menu panel while playing); sets hover_button.
void GameButtonHover(Context& ctx);
// The click handler's game contexts (the high-score table, game over, statistics, try again,
// exit to menu, continue), for pressed_button.
void GameClick(Context& ctx);
// Enter and Escape in the game contexts press their buttons; other keys while playing become
// GameCommand::Key.
void GameKeyDown(Context& ctx, int key, int shift);

}  // namespace qv
