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
// by its picture.
inline constexpr Rect kPlayMenuButton{717, 0, 796, 17};
// The high-score table's buttons when no player list is linked (the game alone, in tests): the
// places of the scores page's buttons, which the game does not include from the menu; the pack
// tests hold both tables to the page's map.
inline constexpr Rect kTableLeftArrow{277, 157, 290, 183};
inline constexpr Rect kTableRightArrow{513, 157, 526, 183};
inline constexpr Rect kTableOk{314, 478, 484, 507};

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
