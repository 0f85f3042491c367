#pragma once
// Where the menu pages take the pointer, and the rows and depths several pages share. The
// pack's maps place the buttons these rectangles cover; tests/content holds the two together.
#include "base/geometry.h"
#include "menu/player_list.h"
#include "menu/volume.h"

namespace qv {

// Depths of the menu's texts: page texts over the menu panel, dialog texts over the dialogs.
inline constexpr int kPageTextZ = 200;
inline constexpr int kDialogTextZ = 1010;

// ---- main menu, game-type page and options: one column of 227 x 45 buttons

inline constexpr int kMenuRowCount = 5;
// The last row (exit, back) stands apart from the others.
inline constexpr Rect kMenuRows[kMenuRowCount] = {{286, 154, 512, 198},
                                                  {286, 214, 512, 258},
                                                  {286, 274, 512, 318},
                                                  {286, 334, 512, 378},
                                                  {286, 454, 512, 498}};
// The game-type page's rows: arcade, challenge, puzzle, back.
inline constexpr int kGameTypeRowOf[4] = {0, 1, 2, 4};
// The caption under the welcome line that opens the player list.
inline constexpr Rect kWelcomeCaption{259, 120, 541, 135};

// ---- options: the volume rows react only at their ends; the sliders lie on the bars between

inline constexpr Rect kVolumeDown[2] = {{286, 154, 356, 198}, {286, 214, 356, 258}};
inline constexpr Rect kVolumeUp[2] = {{442, 154, 512, 198}, {442, 214, 512, 258}};
inline constexpr int kSliderRight = kSliderLeft + kMaxVolume * kVolumeStepWidth;
// Music, then sound; a bar of steps is drawn from each one's top left corner.
inline constexpr Rect kVolumeSliders[2] = {{kSliderLeft, 192, kSliderRight, 200},
                                           {kSliderLeft, 252, kSliderRight, 260}};

// ---- help and high scores

inline constexpr Rect kPageOk{314, 478, 484, 507};
inline constexpr Rect kScoresLeftArrow{277, 157, 290, 183};
inline constexpr Rect kScoresRightArrow{513, 157, 526, 183};

// ---- player list: a row per shown player, the first under the marker's place, the others
// one pitch lower each; and the caption that creates a player

inline constexpr Rect kListRow{220, 208, 553, 229};
inline constexpr int kListRowPitch = 24;
inline constexpr Rect kCreateCaption{312, 402, 485, 422};

constexpr Rect ListRowRect(int row) { return kListRow.Offset(0, kListRowPitch * row); }

}  // namespace qv
