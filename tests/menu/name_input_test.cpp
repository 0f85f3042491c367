#include <gtest/gtest.h>

#include "menu/name_input.h"

namespace qv {
namespace {

std::string Type(const std::string& keys, int shift = 0) {
  std::string buffer;
  for (char c : keys) NameKey(buffer, static_cast<unsigned char>(c), shift);
  return buffer;
}

TEST(NameKeys, CharactersShiftAndLimit) {
  EXPECT_EQ(Type("ANN"), "ann");
  EXPECT_EQ(Type("ANN7", 1), "ANN7");
  EXPECT_EQ(Type("ABCDEFGHIJKLMNO"), "abcdefghijklmn");
  std::string b = "x";
  EXPECT_TRUE(NameKey(b, 189, 0));
  EXPECT_TRUE(NameKey(b, 46, 0));
  EXPECT_TRUE(NameKey(b, 190, 0));
  EXPECT_EQ(b, "x-..");
  EXPECT_FALSE(NameKey(b, 13, 0));
  EXPECT_FALSE(NameKey(b, 188, 0));
  EXPECT_FALSE(NameKey(b, 91, 0));
  EXPECT_EQ(b, "x-..");
}

TEST(NameKeys, LeadingBlanksAndBackspace) {
  EXPECT_EQ(Type("  "), "");
  EXPECT_EQ(Type(" A B "), "a b ");
  std::string b = "ab";
  EXPECT_TRUE(NameKey(b, 8, 0));
  EXPECT_TRUE(NameKey(b, 8, 0));
  EXPECT_FALSE(NameKey(b, 8, 0));
  EXPECT_EQ(b, "");
}

struct World {
  std::vector<Player> players;
  int current = 0;
  PlayerListView view;
  NameOutcome Finish(NameMode mode, const std::string& buffer, bool confirm = true) {
    return FinishNameInput(mode, buffer, confirm, players, current, view);
  }
};

TEST(NameConfirm, FirstRunCreatesOrChoosesAPlayer) {
  World w;
  w.current = 5;
  NameOutcome out = w.Finish(NameMode::FirstRun, "  Ann ");
  EXPECT_EQ(out.action, NameOutcome::MainMenu);
  EXPECT_TRUE(out.players_changed);
  EXPECT_TRUE(out.index_changed);
  ASSERT_EQ(w.players.size(), 1u);
  EXPECT_EQ(w.players[0].name, "Ann");
  EXPECT_EQ(w.players[0].saved_level[0], 0);  // the first-run defaults
  EXPECT_EQ(w.current, 0);
  w.players.push_back(ListPlayer("Bob"));
  out = w.Finish(NameMode::FirstRun, "Bob");
  EXPECT_FALSE(out.players_changed);
  EXPECT_EQ(w.current, 1);
}

TEST(NameConfirm, EmptyFirstNameAsksForOne) {
  World w;
  for (bool confirm : {true, false}) {
    const NameOutcome out = w.Finish(NameMode::FirstRun, "   ", confirm);
    EXPECT_EQ(out.action, NameOutcome::Message);
    EXPECT_EQ(out.message, "text\\please_enter_name.txt");
    EXPECT_FALSE(out.hide_title);
  }
  EXPECT_TRUE(w.players.empty());
  // With players present Cancel leaves for the main menu, on a valid player.
  w.players.push_back(ListPlayer("Ann"));
  w.current = 4;
  EXPECT_EQ(w.Finish(NameMode::FirstRun, "", true).action, NameOutcome::Stay);
  const NameOutcome out = w.Finish(NameMode::FirstRun, "zed", false);
  EXPECT_EQ(out.action, NameOutcome::MainMenu);
  EXPECT_TRUE(out.index_changed);
  EXPECT_EQ(w.current, 0);
  EXPECT_EQ(w.players.size(), 1u);
}

TEST(NameConfirm, CreateFromTheListIsCaseSensitive) {
  World w;
  w.players = {ListPlayer("Ann"), ListPlayer("Bob")};
  NameOutcome out = w.Finish(NameMode::Create, "Ann");
  EXPECT_EQ(out.action, NameOutcome::Message);
  EXPECT_EQ(out.message, "text\\name_already_exists.txt");
  EXPECT_TRUE(out.hide_title);
  EXPECT_EQ(w.players.size(), 2u);
  out = w.Finish(NameMode::Create, "ann");
  EXPECT_EQ(out.action, NameOutcome::PlayerList);
  EXPECT_TRUE(out.players_changed);
  EXPECT_FALSE(out.index_changed);
  ASSERT_EQ(w.players.size(), 3u);
  EXPECT_EQ(w.players[2].name, "ann");
  EXPECT_EQ(w.players[2].may_continue[0], -1);  // the list's defaults
  EXPECT_EQ(w.view.cursor, 2);
  EXPECT_TRUE(w.view.return_to_list);
}

TEST(NameConfirm, RenameToOwnNameOrAFreeOne) {
  World w;
  w.players = {ListPlayer("Ann"), ListPlayer("Bob")};
  PlaceCursor(w.view, 1);
  EXPECT_EQ(w.Finish(NameMode::Rename, "Bob").action, NameOutcome::PlayerList);
  EXPECT_EQ(w.players[1].name, "Bob");
  const NameOutcome taken = w.Finish(NameMode::Rename, "Ann");
  EXPECT_EQ(taken.action, NameOutcome::Message);
  EXPECT_FALSE(taken.hide_title);
  EXPECT_EQ(w.players[1].name, "Bob");
  w.view.return_to_list = false;
  EXPECT_EQ(w.Finish(NameMode::Rename, " Cy ").action, NameOutcome::PlayerList);
  EXPECT_EQ(w.players[1].name, "Cy");
  EXPECT_TRUE(w.view.return_to_list);
}

TEST(NameConfirm, CancelAndEmptyNameReturnToTheList) {
  World w;
  w.players = {ListPlayer("Ann")};
  for (NameMode mode : {NameMode::Create, NameMode::Rename}) {
    w.view.return_to_list = false;
    const NameOutcome out = w.Finish(mode, "Zed", false);
    EXPECT_EQ(out.action, NameOutcome::PlayerList);
    EXPECT_FALSE(out.players_changed);
    EXPECT_TRUE(w.view.return_to_list);
    EXPECT_EQ(w.Finish(mode, " ").action, NameOutcome::PlayerList);
  }
  EXPECT_EQ(w.players.size(), 1u);
  EXPECT_EQ(w.players[0].name, "Ann");
}

}  // namespace
}  // namespace qv
