// End to end through the menu on the generated content pack: the quorvex binary, headless,
// scripted clicks and keys; the files it writes and its state dumps are checked.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "common/dump_number.h"
#include "common/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// Loading the pack is over well before this tick.
constexpr int kMenuUp = 300;

class MenuRun : public ::testing::Test {
 protected:
  void SetUp() override {
    pack_ = fs::path(QUORVEX_BINARY_DIR) / "pack";
    if (!fs::exists(pack_ / "loading.msl")) GTEST_SKIP() << "no content pack built";
    game_ = dir_.path() / "game";
    fs::create_directories(game_);
  }

  // Writes a file of the game folder before the run.
  void Put(const std::string& name, const std::string& text) { test::WriteText(game_ / name, text); }
  std::string Get(const std::string& name) { return test::ReadText(game_ / name); }
  bool Has(const std::string& name) { return fs::exists(game_ / name); }

  // Runs the script; returns the exit status. Standard error must stay empty.
  int Run(const std::string& script, int ticks) {
    test::WriteText(dir_.path() / "s.txt", script);
    const std::string command = std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --headless --pack " +
                                pack_.string() + " --dir " + game_.string() + " --seed 5 --script " +
                                (dir_.path() / "s.txt").string() + " --ticks " +
                                std::to_string(ticks) + " >/dev/null 2>" +
                                (dir_.path() / "err.txt").string();
    const int raw = std::system(command.c_str());
    EXPECT_EQ(test::ReadText(dir_.path() / "err.txt"), "");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  // A line of "options.txt" by key, or empty.
  std::string Option(const std::string& key) {
    std::smatch m;
    const std::string text = Get("options.txt");
    if (!std::regex_search(text, m, std::regex("(^|\n)" + key + "=([^\r\n]*)"))) return "";
    return m[2].str();
  }

  test::TempDir dir_;
  fs::path pack_;
  fs::path game_;
};

using test::Number;

// A click at (x, y) at tick t: the pointer jumps there and presses at once, before any frame
// has seen it over the button.
std::string Click(int t, int x, int y) {
  return std::to_string(t) + " click left " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

TEST_F(MenuRun, FirstRunAsksForANameAndCreatesThePlayer) {
  const std::string script =
      std::to_string(kMenuUp) + " state ask.json\n" +
      "310 key 27\n"  // Cancel with no players: the please-enter-a-name message
      "330 state message.json\n"
      "340 key 13\n"  // closes the message, back to the input
      "360 text  Ann-Lee.\n"
      "361 key 190\n"
      "370 key 13\n"
      "400 state menu.json\n";
  ASSERT_EQ(Run(script, 401), 0);
  const std::string ask = Get("ask.json");
  EXPECT_EQ(Number(ask, "shell", "click_context"), 11);
  EXPECT_EQ(Number(ask, "menu", "input_mode"), 1);
  EXPECT_EQ(Number(Get("message.json"), "shell", "click_context"), 12);
  EXPECT_EQ(Get("players.txt"), "Ann-Lee.., 0, 0, 0, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
  EXPECT_EQ(Option("player_index"), "0");
  const std::string menu = Get("menu.json");
  EXPECT_EQ(Number(menu, "shell", "click_context"), 1);
  EXPECT_NE(menu.find("\"name_buffer\":\"Ann-Lee..\""), std::string::npos);
}

TEST_F(MenuRun, PlayerListCreatesRenamesAndDeletes) {
  Put("players.txt", "Ann, 7, 3, 2, 1, 1, 1, 700, 300, 200, 0, 1, -1, 500, 0, 0\r\nBob\r\nCy\r\n");
  std::string script;
  script += Click(320, 400, 128);  // the welcome line opens the list
  script += Click(360, 400, 412);  // create
  script += "380 text ann\n390 key 13\n";
  script += "420 state created.json\n";
  script += Click(440, 380, 220);  // row 0: Ann under the cursor
  script += Click(460, 344, 455);  // rename
  script += "480 key 8\n480 key 8\n480 key 8\n481 text Bob\n490 key 13\n";  // taken
  script += "520 state taken.json\n";
  script += "530 key 13\n";  // closes the message; the rename starts over from "Ann"
  script += "560 text ie\n570 key 13\n";
  script += Click(620, 232, 455);  // delete Annie
  script += Click(660, 344, 366);  // yes
  script += "700 state deleted.json\n";
  script += "710 key 27\n750 state menu.json\n";
  ASSERT_EQ(Run(script, 751), 0);

  const std::string created = Get("created.json");
  EXPECT_EQ(Number(created, "shell", "click_context"), 13);
  EXPECT_EQ(Number(created, "menu", "list_cursor"), 3);
  EXPECT_EQ(Number(Get("taken.json"), "shell", "click_context"), 12);
  EXPECT_EQ(Get("players.txt"),
            "Bob, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
            "Cy, -1, -1, -1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
            "ann, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n");
  EXPECT_EQ(Number(Get("deleted.json"), "shell", "click_context"), 13);
  EXPECT_EQ(Number(Get("menu.json"), "shell", "click_context"), 1);
  // The current player was the first one, deleted: the main menu falls back to the first.
  EXPECT_EQ(Option("player_index"), "0");
}

TEST_F(MenuRun, DeletingAnEarlierPlayerKeepsTheCurrentOne) {
  Put("players.txt", "Ann\r\nBob\r\nCy\r\n");
  std::string options = test::ReadText(pack_ / "options.txt");
  options += "player_index=2\r\n";
  Put("options.txt", options);
  std::string script = Click(320, 400, 128);
  script += "330 key 38\n330 key 38\n";  // up to Ann
  script += Click(360, 232, 455) + Click(400, 344, 366);
  script += "440 key 27\n480 state menu.json\n";
  ASSERT_EQ(Run(script, 481), 0);
  EXPECT_EQ(Get("players.txt").substr(0, 4), "Bob,");
  EXPECT_EQ(Option("player_index"), "1");
  EXPECT_NE(Get("menu.json").find("\"player_index\":1"), std::string::npos);
}

TEST_F(MenuRun, OptionsStepAndDragTheVolumesAndWriteThem) {
  Put("players.txt", "Ann\r\n");
  std::string script = Click(320, 400, 236);  // options
  script += Click(360, 300, 176) + Click(380, 300, 176);  // music down twice
  script += Click(400, 500, 236);                         // sound up
  script += "420 state stepped.json\n";
  script += "430 move 438 256\n434 down left\n440 move 361 256\n444 up left\n";  // drag sound
  script += Click(470, 400, 296);  // fullscreen
  script += "500 state options.json\n";
  script += "510 key 27\n540 state menu.json\n";
  ASSERT_EQ(Run(script, 541), 0);
  const std::string stepped = Get("stepped.json");
  const long long music = Number(stepped, "options", "music_volume");
  EXPECT_EQ(Number(stepped, "audio", "music_volume"), music);
  EXPECT_EQ(std::to_string(music), "7");  // the pack ships 9
  EXPECT_EQ(Number(stepped, "options", "sound_volume"), 12);
  EXPECT_EQ(Option("music_volume"), "7");
  EXPECT_EQ(Option("sound_volume"), "0");
  EXPECT_EQ(Option("fullscreen"), "1");
  EXPECT_EQ(Number(Get("options.json"), "shell", "fullscreen"), 1);
  EXPECT_EQ(Number(Get("menu.json"), "shell", "click_context"), 1);
}

TEST_F(MenuRun, ScoresAndHelpPages) {
  Put("players.txt", "Ann\r\n");
  Put("records.txt", "3, 1, Zed, 4, 900\r\n1, 1, Ann, 12, 45210\r\n1, 2, Bob, 3, 700\r\n");
  std::string script = Click(320, 400, 296);  // high scores
  script += "340 state arcade.json\n";
  script += Click(360, 283, 170);  // left: puzzle
  script += "380 state puzzle.json\n";
  script += "390 key 13\n";
  script += Click(420, 400, 356);  // help
  script += Click(450, 519, 118);  // next page
  script += "470 state help2.json\n";
  script += Click(490, 283, 118);  // previous page
  script += "510 state help1.json\n";
  script += "520 key 27\n550 state menu.json\n";
  ASSERT_EQ(Run(script, 551), 0);
  const std::string arcade = Get("arcade.json");
  EXPECT_EQ(Number(arcade, "shell", "click_context"), 5);
  EXPECT_NE(arcade.find("\"records\":[{\"rank\":\"1\",\"name\":\"Ann\",\"level\":\"12\","
                        "\"score\":\"45210\",\"highlighted\":false},{\"rank\":\"2\",\"name\":\"Bob\""),
            std::string::npos);
  const std::string puzzle = Get("puzzle.json");
  EXPECT_EQ(Number(puzzle, "menu", "scores_type"), 3);
  EXPECT_NE(puzzle.find("\"name\":\"Zed\""), std::string::npos);
  EXPECT_EQ(Number(Get("help2.json"), "menu", "help_page"), 2);
  EXPECT_EQ(Number(Get("help1.json"), "menu", "help_page"), 1);
  const std::string menu = Get("menu.json");
  EXPECT_EQ(Number(menu, "shell", "click_context"), 1);
  EXPECT_NE(menu.find("\"records\":null"), std::string::npos);
  // Browsing never writes the table.
  EXPECT_EQ(Get("records.txt"), "3, 1, Zed, 4, 900\r\n1, 1, Ann, 12, 45210\r\n1, 2, Bob, 3, 700\r\n");
}

TEST_F(MenuRun, GameTypeExplanationAndAFreshStart) {
  // Arcade lost at level 4: nothing to continue. Challenge shows its explanation first.
  Put("players.txt", "Ann, 4, -1, -1, 0, 1, 0, 0, 0, 0, 0, -1, -1, 0, 0, 0\r\n");
  std::string script = Click(320, 400, 176);  // start game
  script += Click(360, 400, 236);             // challenge: its explanation
  script += "400 state explanation.json\n";
  script += Click(410, 182, 432);  // the checkbox: no more explanations for challenge
  script += "430 key 27\n";        // Escape: back to the explanation's OK, which starts it
  script += "470 state challenge.json\n";
  ASSERT_EQ(Run(script, 471), 0);
  EXPECT_EQ(Number(Get("explanation.json"), "shell", "click_context"), 3);
  const std::string started = Get("challenge.json");
  EXPECT_EQ(Number(started, "shell", "scene"), 2);
  EXPECT_EQ(Number(started, "game", "type"), 2);
  EXPECT_EQ(Number(started, "game", "level"), 1);
  EXPECT_EQ(Get("players.txt"), "Ann, 4, 1, -1, 0, 0, 0, 0, 0, 0, 0, 1, -1, 0, 0, 0\r\n");
}

TEST_F(MenuRun, ExitQuestionNoThenYesEndsTheProgram) {
  Put("players.txt", "Ann\r\n");
  const std::string script =
      "320 key 27\n"  // Escape on the main menu asks
      "350 state asked.json\n"
      "360 key 27\n"  // Escape answers No
      "390 state menu.json\n"
      "400 key 27\n"
      "430 key 13\n"  // Enter answers Yes
      "450 state after.json\n";
  ASSERT_EQ(Run(script, 1000), 0);
  EXPECT_EQ(Number(Get("asked.json"), "shell", "click_context"), 10);
  EXPECT_EQ(Number(Get("menu.json"), "shell", "click_context"), 1);
  EXPECT_FALSE(Has("after.json"));
}

}  // namespace
}  // namespace qv
