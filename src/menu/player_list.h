#pragma once
// The player-list page's window onto the players: seven rows, a cursor, and a scroller.
#include <vector>

#include "menu/players.h"

namespace qv {

constexpr int kListRows = 7;

struct PlayerListView {
  int cursor = 0;  // index of the player under the marker
  int first = 0;   // index of the player in the top row
  int row = 0;     // the marker's row on screen, 0..6
  // Set when the page is reopened from one of its own dialogs: the cursor stays put.
  bool return_to_list = false;
};

// The cursor on player index, with up to three rows above it.
void PlaceCursor(PlayerListView& view, int index);
// Up and Down keys and the scroller arrows; both keep the marker inside the seven rows.
void ScrollUp(PlayerListView& view);
void ScrollDown(PlayerListView& view, int count);
// Player index shown in row j, or -1 when that row is empty.
int PlayerInRow(const PlayerListView& view, int j, int count);
// The scroller bar's y for count players.
double ScrollerY(const PlayerListView& view, int count);

// Removes the cursor's player. With more players left, a cursor past the end moves to the last
// player. The current player stays the same person: a current index behind the deleted one
// moves up with its player (true when it changed); deleting the current player leaves the
// index, which the main menu puts back into the list.
bool DeletePlayerAtCursor(std::vector<Player>& players, PlayerListView& view, int& current);

// A current player index that points at a player: indices outside the list become 0.
bool ValidPlayerIndex(int index, int count);

}  // namespace qv
