// Whole games through the quorvex binary on the generated content pack: a game type chosen in
// the menu, played by script or by the built-in player, and the dialogs, saved progress,
// records and state dumps that follow.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/dump_number.h"
#include "common/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// Loading is over and the main menu takes clicks at this tick.
constexpr int kMenuUp = 300;
// The game-type page's rows and the main menu's "start game" row.
constexpr int kArcadeY = 176, kChallengeY = 236, kPuzzleY = 296;

class GameRun : public ::testing::Test {
 protected:
  void SetUp() override {
    pack_ = fs::path(QUORVEX_BINARY_DIR) / "pack";
    if (!fs::exists(pack_ / "loading.msl")) GTEST_SKIP() << "no content pack built";
    game_ = dir_.path() / "game";
    fs::create_directories(game_);
  }

  void Put(const std::string& name, const std::string& text) {
    test::WriteText(game_ / name, text);
  }
  std::string Get(const std::string& name) { return test::ReadText(game_ / name); }
  bool Has(const std::string& name) { return fs::exists(game_ / name); }

  // Runs the script, its lines put in tick order first (stable: a tick keeps its order).
  int Run(const std::string& script, int ticks, bool autoplay = false) {
    std::vector<std::string> lines;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
      return std::stol(a) < std::stol(b);
    });
    std::string sorted;
    for (const std::string& line : lines) sorted += line + "\n";
    test::WriteText(dir_.path() / "s.txt", sorted);
    const std::string command =
        std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --headless --pack " + pack_.string() +
        " --dir " + game_.string() + " --seed 5 --script " + (dir_.path() / "s.txt").string() +
        " --ticks " + std::to_string(ticks) + (autoplay ? " --autoplay" : "") + " >/dev/null 2>" +
        (dir_.path() / "err.txt").string();
    const int raw = std::system(command.c_str());
    EXPECT_EQ(test::ReadText(dir_.path() / "err.txt"), "");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  test::TempDir dir_;
  fs::path pack_;
  fs::path game_;
};

using test::Number;

std::string Click(int t, int x, int y, const char* button = "left") {
  return std::to_string(t) + " click " + button + " " + std::to_string(x) + " " +
         std::to_string(y) + "\n";
}
std::string Key(int t, int code) {
  return std::to_string(t) + " key " + std::to_string(code) + "\n";
}
std::string State(int t, const std::string& name) {
  return std::to_string(t) + " state " + name + "\n";
}
// The main menu's "start game", then a game type.
std::string ChooseType(int type_y) {
  return Click(kMenuUp, 400, 176) + Click(kMenuUp + 30, 400, type_y);
}
// Shots straight up, one every `every` ticks: the column grows until the game is lost.
std::string ShootUp(int from, int to, int every = 30) {
  std::string s;
  for (int t = from; t < to; t += every) s += Click(t, 400, 300);
  return s;
}

// A player with nothing saved and no explanations to read: each type starts fresh.
const char* kFreshPlayer = "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n";

struct Snapshot {
  int tick;
  std::string json;
};

// Dumps every `step` ticks from `from` to `to`, named d<tick>.json.
std::string States(int from, int to, int step) {
  std::string s;
  for (int t = from; t <= to; t += step) s += State(t, "d" + std::to_string(t) + ".json");
  return s;
}

TEST_F(GameRun, FirstClickDropsTheFieldAndRightClickSwaps) {
  Put("players.txt", kFreshPlayer);
  std::string script = ChooseType(kArcadeY);
  // The field is still sliding down at 495; the first left click drops it at once.
  script += State(495, "sliding.json") + Click(500, 400, 300) + State(504, "dropped.json");
  script += "504 screenshot dropped.png\n";
  script += State(600, "before.json");
  script += Click(610, 400, 300, "right");
  script += State(620, "swapped.json");
  script += Click(630, 400, 300);
  script += State(640, "shot.json");
  ASSERT_EQ(Run(script, 641), 0);
  const std::string sliding = Get("sliding.json"), dropped = Get("dropped.json");
  ASSERT_EQ(Number(sliding, "shell", "scene"), 2);
  EXPECT_GT(Number(sliding, "field", "lowest"), 9) << "not yet at the danger row";
  EXPECT_EQ(Number(dropped, "field", "lowest"), 8) << "dropped to the danger row";
  EXPECT_EQ(Number(dropped, "game", "shot_in_flight"), 0) << "a long drop does not shoot too";
  const std::string before = Get("before.json"), swapped = Get("swapped.json");
  EXPECT_EQ(Number(before, "game", "end_phase"), 0);
  EXPECT_EQ(Number(swapped, "current_ball", "kind"), Number(before, "next_ball", "kind"));
  EXPECT_EQ(Number(swapped, "next_ball", "kind"), Number(before, "current_ball", "kind"));
  EXPECT_EQ(Number(swapped, "game", "shot_in_flight"), 0) << "a right click never shoots";
  EXPECT_EQ(Number(Get("shot.json"), "game", "shot_in_flight"), 1) << "a left click shoots";
}

// Lost below level 5: game over, the table with the result entered and written, the menu.
TEST_F(GameRun, ArcadeLossGameOverTableAndRecords) {
  Put("players.txt", kFreshPlayer);
  std::string script = ChooseType(kArcadeY) + ShootUp(600, 3000) + States(600, 4000, 50);
  ASSERT_EQ(Run(script, 4001), 0);
  int over = -1;
  for (int t = 600; t <= 4000 && over < 0; t += 50) {
    const std::string d = Get("d" + std::to_string(t) + ".json");
    if (Number(d, "game", "end_phase") == 1) over = t;
  }
  ASSERT_GT(over, 0) << "never lost";
  EXPECT_EQ(Number(Get("d" + std::to_string(over) + ".json"), "shell", "click_context"), 7);
  // Second run: the same game up to the notice, then OK, the table, OK.
  std::string again = ChooseType(kArcadeY) + ShootUp(600, over) + State(over + 20, "over.json");
  again += "" + std::to_string(over + 20) + " screenshot over.png\n";
  again += Key(over + 30, 13) + State(over + 80, "table.json");
  again += std::to_string(over + 80) + " screenshot table.png\n";
  again += Key(over + 90, 13) + State(over + 140, "menu.json");
  ASSERT_EQ(Run(again, over + 141), 0);
  EXPECT_EQ(Number(Get("over.json"), "game", "end_phase"), 1);
  const std::string table = Get("table.json");
  EXPECT_EQ(Number(table, "game", "end_phase"), 4);
  EXPECT_EQ(Number(table, "shell", "click_context"), 5);
  EXPECT_NE(table.find("\"records\""), std::string::npos);
  EXPECT_NE(table.find("Ann"), std::string::npos) << "the result is on the table";
  EXPECT_TRUE(std::regex_search(Get("records.txt"), std::regex("(^|\n)1, [0-9]+, Ann, 1, ")));
  EXPECT_EQ(Number(Get("menu.json"), "shell", "scene"), 1);
  // Lost below level 5: nothing to continue.
  EXPECT_EQ(Get("players.txt"), "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, -1, 1, 1, 0, 0, 0\r\n");
}

// Saved progress at level 7: the continue dialog, the game from level 7, a loss falls back to
// level 5, and try again plays level 5 with the score saved when it was reached.
TEST_F(GameRun, ArcadeContinuesThenTriesAgainFromFive) {
  Put("players.txt", "Ann, 7, 1, 1, 0, 0, 0, 3000, 0, 0, 1, 1, 1, 2500, 0, 0\r\n");
  std::string script = ChooseType(kArcadeY);
  script += State(400, "asked.json") + "400 screenshot continue.png\n";
  script += Key(410, 13);  // Enter: yes
  script += State(600, "playing.json") + "600 screenshot playing.png\n";
  script += ShootUp(620, 4000) + States(620, 5000, 50);
  ASSERT_EQ(Run(script, 5001), 0);
  const std::string asked = Get("asked.json");
  EXPECT_EQ(Number(asked, "shell", "click_context"), 17);
  const std::string playing = Get("playing.json");
  ASSERT_EQ(Number(playing, "shell", "scene"), 2);
  EXPECT_EQ(Number(playing, "game", "level"), 7);
  EXPECT_EQ(Number(playing, "game", "score"), 3000);
  int over = -1;
  for (int t = 620; t <= 5000 && over < 0; t += 50) {
    if (Number(Get("d" + std::to_string(t) + ".json"), "game", "end_phase") == 1) over = t;
  }
  ASSERT_GT(over, 0) << "never lost";
  EXPECT_EQ(Get("players.txt"), "Ann, 5, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2500, 0, 0\r\n");

  // The same game on to try again: OK on the notice, OK on the table, OK on try again.
  std::string again = ChooseType(kArcadeY) + Key(410, 13) + ShootUp(620, over);
  again += Key(over + 30, 13) + Key(over + 90, 13) + State(over + 150, "retry.json");
  again += std::to_string(over + 150) + " screenshot retry.png\n";
  again += Key(over + 160, 13) + State(over + 400, "again.json");
  Put("players.txt", "Ann, 7, 1, 1, 0, 0, 0, 3000, 0, 0, 1, 1, 1, 2500, 0, 0\r\n");
  ASSERT_EQ(Run(again, over + 401), 0);
  const std::string retry = Get("retry.json");
  EXPECT_EQ(Number(retry, "game", "end_phase"), 5);
  EXPECT_EQ(Number(retry, "shell", "click_context"), 15);
  const std::string replayed = Get("again.json");
  EXPECT_EQ(Number(replayed, "game", "end_phase"), 0);
  EXPECT_EQ(Number(replayed, "game", "level"), 5);
  EXPECT_EQ(Number(replayed, "game", "score"), 2500);
  EXPECT_EQ(Get("players.txt"), "Ann, 5, 1, 1, 0, 0, 0, 2500, 0, 0, 1, 1, 1, 2500, 0, 0\r\n");
}

// Puzzle: a loss goes straight to try again, without the notice or the table.
TEST_F(GameRun, PuzzleLossGoesStraightToTryAgain) {
  Put("players.txt", kFreshPlayer);
  std::string script = ChooseType(kPuzzleY) + ShootUp(600, 4000, 20) + States(600, 4500, 50);
  ASSERT_EQ(Run(script, 4501), 0);
  int retry = -1;
  for (int t = 600; t <= 4500 && retry < 0; t += 50) {
    const std::string d = Get("d" + std::to_string(t) + ".json");
    EXPECT_NE(Number(d, "game", "end_phase"), 1) << "no game-over notice in puzzle";
    if (Number(d, "game", "end_phase") == 5) retry = t;
  }
  ASSERT_GT(retry, 0) << "never lost";
  EXPECT_EQ(Number(Get("d" + std::to_string(retry) + ".json"), "shell", "click_context"), 15);
}

// Challenge without a single shot: the drain empties the progress strip and loses the game,
// then the notice, the table and the menu as in arcade.
TEST_F(GameRun, ChallengeLostByTheDrain) {
  Put("players.txt", kFreshPlayer);
  std::string script = ChooseType(kChallengeY) + States(600, 7600, 100);
  ASSERT_EQ(Run(script, 7601), 0);
  double last = 1e9;
  int over = -1;
  for (int t = 600; t <= 7600 && over < 0; t += 100) {
    const std::string d = Get("d" + std::to_string(t) + ".json");
    const long long phase = Number(d, "game", "end_phase");
    if (phase == 1) {
      over = t;
      break;
    }
    ASSERT_TRUE(phase == 0 || phase == 7) << "tick " << t << " phase " << phase;
    const long long target = Number(d, "game", "progress_target");
    EXPECT_LE(target, last) << "the strip only drains while nobody scores";
    last = static_cast<double>(target);
  }
  ASSERT_GT(over, 0) << "the drain never lost the game";
  EXPECT_LE(last, 0);
  const std::string notice = Get("d" + std::to_string(over) + ".json");
  EXPECT_EQ(Number(notice, "shell", "click_context"), 7);
  EXPECT_EQ(Number(notice, "game", "type"), 2);
  // OK on the notice, OK on the table: below level 5 the game ends in the menu.
  script += Key(over + 10, 13) + State(over + 60, "table.json") + Key(over + 70, 13) +
            State(over + 120, "menu.json");
  Put("players.txt", kFreshPlayer);
  ASSERT_EQ(Run(script, over + 121), 0);
  EXPECT_EQ(Number(Get("table.json"), "shell", "click_context"), 5);
  EXPECT_EQ(Number(Get("menu.json"), "shell", "scene"), 1);
  EXPECT_EQ(Get("players.txt"), "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, -1, 1, 0, 0, 0\r\n");
}

// A paint rocket goes up on a right click and leaves the loaded and the next ball where they
// were. The built-in player mounts one in arcade level 30 (seven colours: shots that match
// nothing come often) and launches it; the launch is found on a coarse pass and then watched
// tick by tick.
TEST_F(GameRun, RightClickLaunchesAMountedRocket) {
  const char* saved = "Ann, 30, 1, 1, 0, 0, 0, 5000, 0, 0, 1, 1, 1, 4000, 0, 0\r\n";
  const std::string start = ChooseType(kArcadeY) + Key(410, 13);
  Put("players.txt", saved);
  ASSERT_EQ(Run(start + States(420, 8000, 10), 8001, true), 0);
  int window = -1;
  long long before = 0;
  for (int t = 420; t <= 8000 && window < 0; t += 10) {
    const std::string d = Get("d" + std::to_string(t) + ".json");
    const long long mounted = Number(d, "game", "mounted_rockets");
    if (mounted < before && Number(d, "game", "level") == 30) window = t;
    before = mounted;
  }
  ASSERT_GT(window, 0) << "no rocket launched";
  Put("players.txt", saved);
  ASSERT_EQ(Run(start + States(window - 10, window, 1), window + 1, true), 0);
  for (int t = window - 9; t <= window; ++t) {
    const std::string was = Get("d" + std::to_string(t - 1) + ".json");
    const std::string now = Get("d" + std::to_string(t) + ".json");
    if (Number(now, "game", "mounted_rockets") >= Number(was, "game", "mounted_rockets")) continue;
    EXPECT_EQ(Number(now, "game", "mounted_rockets"), Number(was, "game", "mounted_rockets") - 1);
    EXPECT_EQ(Number(now, "current_ball", "kind"), Number(was, "current_ball", "kind"));
    EXPECT_EQ(Number(now, "next_ball", "kind"), Number(was, "next_ball", "kind"));
    EXPECT_EQ(Number(now, "game", "shot_in_flight"), 0) << "a launch is not a shot";
    return;
  }
  FAIL() << "the launch was not seen tick by tick";
}

// Escape while playing asks; No plays on; the menu panel asks again and Yes leaves to the menu.
TEST_F(GameRun, ExitQuestionFromPlay) {
  Put("players.txt", kFreshPlayer);
  std::string script = ChooseType(kArcadeY);
  script += Key(600, 27) + State(640, "asked.json") + "640 screenshot exit.png\n";
  script += Key(650, 27) + State(660, "back.json");
  // The menu panel, as a person clicks it: the pointer rests on it first.
  script += "690 move 750 8\n" + Click(700, 750, 8) + State(740, "asked2.json");
  script += Key(750, 13) + State(800, "menu.json");
  ASSERT_EQ(Run(script, 801), 0);
  EXPECT_EQ(Number(Get("asked.json"), "shell", "click_context"), 16);
  EXPECT_EQ(Number(Get("asked.json"), "game", "end_phase"), 6);
  EXPECT_EQ(Number(Get("back.json"), "game", "end_phase"), 0);
  EXPECT_EQ(Number(Get("back.json"), "shell", "click_context"), 0);
  EXPECT_EQ(Number(Get("asked2.json"), "shell", "click_context"), 16);
  EXPECT_EQ(Number(Get("menu.json"), "shell", "scene"), 1);
}

// The built-in player wins a level of each type: the statistics, then the next level, with the
// progress saved; in arcade the exit question is asked from the statistics and answered No.
TEST_F(GameRun, AutoplayWinsALevelOfEachTypeThroughTheStatistics) {
  struct Case {
    int y;
    int type;
  };
  for (const Case c : {Case{kArcadeY, 1}, Case{kChallengeY, 2}, Case{kPuzzleY, 3}}) {
    SCOPED_TRACE(c.type);
    Put("players.txt", kFreshPlayer);
    ASSERT_EQ(Run(ChooseType(c.y) + States(600, 6000, 20), 6001, true), 0);
    int stats = -1, won = 0, next = -1;
    for (int t = 600; t <= 6000 && next < 0; t += 20) {
      const std::string d = Get("d" + std::to_string(t) + ".json");
      if (stats < 0 && Number(d, "game", "end_phase") == 2) {
        stats = t;
        won = static_cast<int>(Number(d, "game", "level"));
        EXPECT_EQ(Number(d, "shell", "click_context"), 8);
      }
      if (stats > 0 && Number(d, "game", "level") == won + 1 && Number(d, "game", "end_phase") == 0)
        next = t;
    }
    ASSERT_GT(stats, 0) << "no level won";
    ASSERT_GT(next, 0) << "no next level";
    // The level after the one won is the one to continue from.
    const std::string players = Get("players.txt");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(players, m, std::regex("^Ann, ([0-9]+), ([0-9]+), ([0-9]+),")));
    EXPECT_GE(std::stoi(m[c.type].str()), won + 1);
    if (c.type != 1) continue;

    // Arcade again, the statistics caught on the tick they open: Escape asks whether to leave,
    // the player answers No, and the statistics come back before the next level.
    Put("players.txt", kFreshPlayer);
    ASSERT_EQ(Run(ChooseType(c.y) + States(stats - 20, stats, 1), stats + 1, true), 0);
    int opened = -1;
    for (int t = stats - 20; t <= stats && opened < 0; ++t) {
      if (Number(Get("d" + std::to_string(t) + ".json"), "game", "end_phase") == 2) opened = t;
    }
    ASSERT_GT(opened, 0);
    const std::string ask = ChooseType(c.y) + Key(opened + 1, 27) +
                            State(opened + 1, "stats.json") + std::to_string(opened + 1) +
                            " screenshot stats.png\n" + States(opened + 2, opened + 400, 2);
    Put("players.txt", kFreshPlayer);
    ASSERT_EQ(Run(ask, opened + 401, true), 0);
    bool asked = false, back = false, on = false;
    for (int t = opened + 2; t <= opened + 400; t += 2) {
      const std::string d = Get("d" + std::to_string(t) + ".json");
      const long long phase = Number(d, "game", "end_phase");
      if (phase == 6) asked = true;
      if (asked && phase == 2) back = true;
      if (back && Number(d, "game", "level") == won + 1) on = true;
    }
    EXPECT_TRUE(asked);
    EXPECT_TRUE(back) << "No returns to the statistics";
    EXPECT_TRUE(on);
  }
}

}  // namespace
}  // namespace qv
