#include "menu/player_list.h"

#include <algorithm>

namespace qv {

namespace {

// The scroller bar runs down its track from the first player to the last.
constexpr double kScrollerTop = 201;
constexpr double kScrollerTravel = 130;

}  // namespace

void PlaceCursor(PlayerListView& view, int index) {
  view.cursor = index;
  view.first = std::max(index - 3, 0);
  view.row = view.cursor - view.first;
}

void ScrollUp(PlayerListView& view) {
  if (view.row > 0) {
    --view.row;
    --view.cursor;
  } else if (view.cursor > 0) {
    --view.cursor;
    view.first = view.cursor;
  }
}

void ScrollDown(PlayerListView& view, int count) {
  if (view.cursor >= count - 1) return;
  if (view.row <= kListRows - 2) {
    ++view.row;
    ++view.cursor;
  } else {
    ++view.cursor;
    view.first = view.cursor - (kListRows - 1);
  }
}

int PlayerInRow(const PlayerListView& view, int j, int count) {
  const int index = view.first + j;
  return j >= 0 && j < kListRows && index >= 0 && index < count ? index : -1;
}

double ScrollerY(const PlayerListView& view, int count) {
  if (count <= 1) return kScrollerTop;
  return static_cast<double>(view.cursor) / (count - 1) * kScrollerTravel + kScrollerTop;
}

bool DeletePlayerAtCursor(std::vector<Player>& players, PlayerListView& view, int& current) {
  if (view.cursor < 0 || view.cursor >= static_cast<int>(players.size())) return false;
  players.erase(players.begin() + view.cursor);
  const bool moved = current > view.cursor;
  if (moved) --current;
  const int count = static_cast<int>(players.size());
  if (count > 0 && view.cursor >= count) PlaceCursor(view, count - 1);
  return moved;
}

bool ValidPlayerIndex(int index, int count) { return index >= 0 && index < count; }

}  // namespace qv
