#pragma once
// The game's sound effects, named once for the game, the content generator and the pack check.
// Entry "sample_<name>" of "sound.ini" plays "sounds\<name>.wav". Self-contained: the content
// generator includes it without the rest of the program.

namespace qv {

inline constexpr const char* kSampleNames[35] = {"mouse_over_button",
                                                 "mouse_down_button",
                                                 "shot1",
                                                 "rocket_launch",
                                                 "flying_bonus",
                                                 "connection",
                                                 "connection_bonus",
                                                 "connection_bomb",
                                                 "explosion_small",
                                                 "explosion_middle",
                                                 "explosion_big",
                                                 "bonus_target",
                                                 "bonus_x2",
                                                 "bonus_x4",
                                                 "bonus_freeze",
                                                 "bonus_small_bomb",
                                                 "bonus_net_expand",
                                                 "bonus_up",
                                                 "bonus_paint_rocket",
                                                 "burning_big_bomb",
                                                 "explosion_big_bomb",
                                                 "explosion_middle_bomb",
                                                 "crystal",
                                                 "puzzle_down",
                                                 "game_begin",
                                                 "game_over",
                                                 "level_complete",
                                                 "alarm",
                                                 "hit",
                                                 "dragon_joy1",
                                                 "dragon_joy2",
                                                 "dragon_joy3",
                                                 "dragon_sad",
                                                 "balls_down",
                                                 "balls_up"};

// The samples that play as loops until stopped ("sound.ini" marks them ", loop").
inline constexpr const char* kLoopingSampleNames[3] = {"burning_big_bomb", "balls_down",
                                                       "balls_up"};

}  // namespace qv
