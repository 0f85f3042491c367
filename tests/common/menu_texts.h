#pragma once
// The text layout files the menu lays out on its first entry and on the first-run name input.
// Folders without real content get empty ones, so the menu runs without error boxes.
namespace qv::test {

inline constexpr const char* kMenuStartTexts[] = {
    "choose_game_type.txt",       "game_options.txt",         "game_title_menu.txt",
    "menu_text_button1.txt",      "menu_text_button2.txt",    "game_comment_arcade.txt",
    "game_comment_challenge.txt", "game_comment_puzzle.txt",  "your_name.txt",
};

}  // namespace qv::test
