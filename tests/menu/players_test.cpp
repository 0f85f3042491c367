#include <gtest/gtest.h>

#include <filesystem>

#include "common/temp_dir.h"
#include "menu/player_list.h"
#include "menu/players.h"

namespace qv {
namespace {

using Arr = std::array<int, kGameTypes>;

TEST(PlayersFile, NewListPlayerIsWrittenFieldByField) {
  EXPECT_EQ(FormatPlayers({ListPlayer(" Ann ")}),
            "Ann, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
  EXPECT_EQ(FormatPlayerLine(FirstRunPlayer("Bo")),
            "Bo, 0, 0, 0, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0");
}

TEST(PlayersFile, ReadsBackWhatItWrites) {
  Player p = ListPlayer("Zed-2.x");
  p.saved_level = {12, 1, 30};
  p.show_message = {0, 1, 0};
  p.saved_score = {45210, 0, 7};
  p.may_continue = {1, 0, -1};
  p.checkpoint_score = {40000, 0, 5};
  const std::vector<Player> back = ParsePlayers(FormatPlayers({p, ListPlayer("Ann")}));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].name, "Zed-2.x");
  EXPECT_EQ(back[0].saved_level, p.saved_level);
  EXPECT_EQ(back[0].show_message, p.show_message);
  EXPECT_EQ(back[0].saved_score, p.saved_score);
  EXPECT_EQ(back[0].may_continue, p.may_continue);
  EXPECT_EQ(back[0].checkpoint_score, p.checkpoint_score);
  EXPECT_EQ(back[1].name, "Ann");
}

TEST(PlayersFile, NameAloneAndShortLinesTakeTheReadersDefaults) {
  const std::vector<Player> ps = ParsePlayers("Bob\r\n\r\n  \r\nCy, 5, 6\nDee,3,,x,0");
  ASSERT_EQ(ps.size(), 3u);
  // The reader's defaults: may continue 1 where the list creates -1.
  EXPECT_EQ(ps[0].name, "Bob");
  EXPECT_EQ(ps[0].saved_level, (Arr{-1, -1, -1}));
  EXPECT_EQ(ps[0].show_message, (Arr{1, 1, 1}));
  EXPECT_EQ(ps[0].saved_score, (Arr{0, 0, 0}));
  EXPECT_EQ(ps[0].may_continue, (Arr{1, 1, 1}));
  EXPECT_EQ(ps[0].checkpoint_score, (Arr{0, 0, 0}));
  EXPECT_EQ(ps[1].saved_level, (Arr{5, 6, -1}));
  EXPECT_EQ(ps[2].saved_level, (Arr{3, -1, -1}));
  EXPECT_EQ(ps[2].show_message, (Arr{0, 1, 1}));
}

TEST(PlayersFile, OutOfRangeAndDamagedFieldsFallBackOneByOne) {
  const std::vector<Player> ps = ParsePlayers(
      "Al, 0, -3, $10, 2, -1, 1, -5, 1e3, 99999999999, 2, -2, 0, -1, 7, 12abc\r\n"
      "Bea, +4, 4 , 4, 0, 0, 0, 1, 2, 3, -1, 0, 1, 4, 5, 6");
  ASSERT_EQ(ps.size(), 2u);
  EXPECT_EQ(ps[0].saved_level, (Arr{-1, -1, -1}));   // <= 0 and hex are "none"
  EXPECT_EQ(ps[0].show_message, (Arr{1, 1, 1}));     // outside 0..1
  EXPECT_EQ(ps[0].saved_score, (Arr{0, 0, 0}));      // negative, not decimal, too large
  EXPECT_EQ(ps[0].may_continue, (Arr{1, 1, 0}));     // outside -1..1
  EXPECT_EQ(ps[0].checkpoint_score, (Arr{0, 7, 0}));
  // The damaged line did not stop the next one.
  EXPECT_EQ(ps[1].saved_level, (Arr{4, 4, 4}));
  EXPECT_EQ(ps[1].may_continue, (Arr{-1, 0, 1}));
  EXPECT_EQ(ps[1].checkpoint_score, (Arr{4, 5, 6}));
}

TEST(PlayersFile, MissingFileGivesNoPlayersAndWritingReplacesIt) {
  test::TempDir dir;
  EXPECT_TRUE(ReadPlayersFile().empty());
  ASSERT_TRUE(WritePlayersFile({ListPlayer("Ann"), ListPlayer("Bob")}));
  ASSERT_TRUE(WritePlayersFile({ListPlayer("Cy")}));
  EXPECT_EQ(test::ReadText(dir.path() / "players.txt"),
            "Cy, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
  // No temporary file is left beside it.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
  ASSERT_EQ(ReadPlayersFile().size(), 1u);
}

TEST(PlayersFile, FailedWriteKeepsTheOldFile) {
  test::TempDir dir;
  ASSERT_TRUE(WritePlayersFile({ListPlayer("Ann")}));
  const std::string before = test::ReadText(dir.path() / "players.txt");
  // The temporary file cannot be made where a folder of its name stands.
  std::filesystem::create_directories(dir.path() / "players.txt.tmp" / "x");
  EXPECT_FALSE(WritePlayersFile({ListPlayer("Bob")}));
  EXPECT_EQ(test::ReadText(dir.path() / "players.txt"), before);
}

TEST(Progress, ContinueIsOfferedOnlyWithSomethingToContinue) {
  Player p = ListPlayer("Ann");
  p.saved_level = {4, 7, 2};
  p.may_continue = {0, 0, -1};
  EXPECT_EQ(DecideContinue(p, 1).kind, ContinueOffer::Fresh);  // lost before level 5
  const ContinueOffer late = DecideContinue(p, 2);
  EXPECT_EQ(late.kind, ContinueOffer::AfterLoss);
  EXPECT_EQ(late.level, 5);
  EXPECT_EQ(DecideContinue(p, 3).kind, ContinueOffer::Normal);  // puzzle always offers
  p.saved_level = {1, 3, 1};
  p.may_continue = {1, 1, 1};
  EXPECT_EQ(DecideContinue(p, 1).kind, ContinueOffer::Fresh);
  EXPECT_EQ(DecideContinue(p, 2).kind, ContinueOffer::Normal);
  p.may_continue[1] = -1;
  EXPECT_EQ(DecideContinue(p, 2).kind, ContinueOffer::Fresh);
}

TEST(Progress, ContinueAnswers) {
  Player p = ListPlayer("Ann");
  p.saved_level = {13, 13, 13};
  p.saved_score = {5000, 5000, 5000};
  p.checkpoint_score = {3000, 3000, 3000};
  p.may_continue = {0, 1, 0};
  AcceptContinue(p, 1, true);
  EXPECT_EQ(p.saved_level[0], 10);
  EXPECT_EQ(p.saved_score[0], 3000);
  EXPECT_EQ(p.may_continue[0], 1);
  AcceptContinue(p, 2, false);
  EXPECT_EQ(p.saved_level[1], 13);
  EXPECT_EQ(p.saved_score[1], 5000);
  DeclineContinue(p, 3);
  EXPECT_EQ(p.saved_level[2], 1);
  EXPECT_EQ(p.saved_score[2], 0);
  EXPECT_EQ(p.checkpoint_score[2], 0);
  EXPECT_EQ(p.may_continue[2], 1);
}

TEST(Progress, ExplanationsToggle) {
  Player p = ListPlayer("Ann");
  p.show_message = {0, 1, 0};
  ToggleExplanations(p);
  EXPECT_EQ(p.show_message, (Arr{0, 0, 0}));
  ToggleExplanations(p);
  EXPECT_EQ(p.show_message, (Arr{1, 1, 1}));
}

std::vector<Player> Named(int n) {
  std::vector<Player> ps;
  for (int i = 0; i < n; ++i) ps.push_back(ListPlayer("P" + std::to_string(i)));
  return ps;
}

TEST(PlayerList, ScrollingNinePlayersKeepsTheMarkerInSevenRows) {
  PlayerListView v;
  PlaceCursor(v, 0);
  for (int i = 0; i < 6; ++i) ScrollDown(v, 9);
  EXPECT_EQ(v.cursor, 6);
  EXPECT_EQ(v.row, 6);
  EXPECT_EQ(v.first, 0);
  ScrollDown(v, 9);
  EXPECT_EQ(v.cursor, 7);
  EXPECT_EQ(v.row, 6);
  EXPECT_EQ(v.first, 1);
  ScrollDown(v, 9);
  ScrollDown(v, 9);  // already on the last player
  EXPECT_EQ(v.cursor, 8);
  EXPECT_EQ(v.first, 2);
  EXPECT_EQ(PlayerInRow(v, 6, 9), 8);
  for (int i = 0; i < 6; ++i) ScrollUp(v);
  EXPECT_EQ(v.row, 0);
  EXPECT_EQ(v.cursor, 2);
  ScrollUp(v);
  EXPECT_EQ(v.row, 0);
  EXPECT_EQ(v.first, 1);
  EXPECT_EQ(v.cursor, 1);
  EXPECT_DOUBLE_EQ(ScrollerY(v, 9), 1.0 / 8 * 130 + 201);
  EXPECT_DOUBLE_EQ(ScrollerY(v, 1), 201);
}

TEST(PlayerList, CursorPlacementAndEmptyRows) {
  PlayerListView v;
  PlaceCursor(v, 5);
  EXPECT_EQ(v.first, 2);
  EXPECT_EQ(v.row, 3);
  PlaceCursor(v, 1);
  EXPECT_EQ(v.first, 0);
  EXPECT_EQ(PlayerInRow(v, 2, 3), 2);
  EXPECT_EQ(PlayerInRow(v, 3, 3), -1);
}

TEST(PlayerList, DeletingKeepsTheCurrentPlayerTheSamePerson) {
  std::vector<Player> ps = Named(5);
  PlayerListView v;
  PlaceCursor(v, 1);
  int current = 3;
  EXPECT_TRUE(DeletePlayerAtCursor(ps, v, current));
  EXPECT_EQ(ps.size(), 4u);
  EXPECT_EQ(ps[current].name, "P3");
  EXPECT_EQ(v.cursor, 1);
  // Deleting the last player moves the cursor onto the new last one.
  PlaceCursor(v, 3);
  EXPECT_FALSE(DeletePlayerAtCursor(ps, v, current));
  EXPECT_EQ(v.cursor, 2);
  EXPECT_EQ(v.first, 0);
  EXPECT_EQ(v.row, 2);
  EXPECT_EQ(ps[current].name, "P3");
  // Deleting the current player leaves the index for the main menu to repair.
  PlaceCursor(v, 2);
  EXPECT_FALSE(DeletePlayerAtCursor(ps, v, current));
  EXPECT_EQ(current, 2);
  EXPECT_FALSE(ValidPlayerIndex(current, static_cast<int>(ps.size())));
}

}  // namespace
}  // namespace qv
