#pragma once
// Typing a player's name: the keys that enter characters, and what confirming or cancelling
// does to the player list.
#include <string>
#include <string_view>
#include <vector>

#include "menu/player_list.h"
#include "menu/players.h"

namespace qv {

constexpr int kNameLength = 14;

enum class NameMode {
  Rename = 0,    // the list's cursor player
  FirstRun = 1,  // no players yet (or the last one was deleted)
  Create = 2,    // another player, from the list
};

// One key press; true when the buffer changed. Letters are lower case unless bit 0 of shift is
// set; "-" is key 189, "." is key 46 and also 190 (the period key of a real keyboard, where 46
// is Delete); Backspace (8) removes the last character. A leading blank is never kept.
bool NameKey(std::string& buffer, int key, int shift);

// What the page does after Confirm or Cancel.
struct NameOutcome {
  enum Action {
    Stay,        // nothing happens (an empty name confirmed while players exist)
    MainMenu,    // back to the main menu
    PlayerList,  // back to the list (the return-to-list flag is set)
    Message,     // the name message opens over the input
  } action = Stay;
  std::string message;        // Message: the text layout file
  bool hide_title = false;    // Message: the page title goes too
  bool players_changed = false;  // write the players file
  bool index_changed = false;    // write "player_index"
};

// Confirm (confirm true) or Cancel with the typed buffer. Changes the players, the current
// player index and the list view as the outcome says.
NameOutcome FinishNameInput(NameMode mode, const std::string& buffer, bool confirm,
                            std::vector<Player>& players, int& current, PlayerListView& view);

// Index of the player called name (exact, case-sensitive), other than `except`; -1 when none.
int FindPlayer(const std::vector<Player>& players, std::string_view name, int except = -1);

}  // namespace qv
