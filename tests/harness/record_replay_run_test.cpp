// The quorvex binary on the real content pack: a scripted headless session recorded with
// --record and played back with --replay gives the same state dumps, screenshots and files,
// byte for byte; and the players' options for the display and the sound.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/dump_number.h"
#include "support/game_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using testing_support::GameDir;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

int Quorvex(const fs::path& where, const std::string& args) {
  const std::string command = "cd \"" + where.string() + "\" && " + QUORVEX_BINARY_DIR +
                              "/src/quorvex " + args + " >/dev/null 2>>\"" +
                              (where / "stderr.txt").string() + "\"";
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

constexpr int kCaptures[] = {120, 400, 640, 799};

TEST(RecordReplayRun, ReplayGivesTheSameDumpsScreenshotsAndFiles) {
  const fs::path pack = fs::path(QUORVEX_BINARY_DIR) / "pack";
  ASSERT_TRUE(fs::exists(pack / "main.msl")) << "no content pack at " << pack;
  GameDir dir;
  // The session: no --seed (the clock seeds), input across the loading screen and the menu.
  std::ofstream(dir.path() / "session.txt") << "100 move 400 300\n"
                                            << "120 state s120.json\n"
                                            << "150 click left 400 300\n"
                                            << "300 key 13\n"
                                            << "350 text Ab\n"
                                            << "400 state s400.json\n"
                                            << "500 deactivate\n"
                                            << "550 activate\n"
                                            << "600 click right 20 580\n"
                                            << "640 state s640.json\n"
                                            << "640 screenshot p640.png\n"
                                            << "799 state s799.json\n";
  std::ofstream(dir.path() / "captures.txt")
      << "120 state s120.json\n400 state s400.json\n640 state s640.json\n"
         "640 screenshot p640.png\n799 state s799.json\n";
  const std::string pack_arg = " --pack \"" + pack.string() + "\"";
  // The player's saves as the session finds them; the replay's folder starts empty.
  fs::create_directories(dir.path() / "a");
  std::ofstream(dir.path() / "a" / "players.txt") << "Ann, 3, 0, 1200\r\n";
  ASSERT_EQ(Quorvex(dir.path(), "--headless --dir a" + pack_arg +
                                    " --script session.txt --ticks 800 --record rec.txt"),
            0)
      << ReadFile(dir.path() / "stderr.txt");
  // Recorded where the program was started, not in the game folder.
  const std::string recording = ReadFile(dir.path() / "rec.txt");
  ASSERT_FALSE(recording.empty());
  EXPECT_FALSE(fs::exists(dir.path() / "a" / "rec.txt"));
  for (const char* line : {"0 date 2000-01-01 00:00:00\n", "100 move 400 300\n", "150 down left\n",
                           "151 up left\n", "350 key 65 shift\n350 key 66\n", "600 down right\n", "800 quit\n"}) {
    EXPECT_NE(recording.find(line), std::string::npos) << line << " in\n" << recording;
  }
  EXPECT_NE(recording.find("0 seed "), std::string::npos);
  EXPECT_EQ(recording.find("state"), std::string::npos) << "captures are not input";

  // The replay: a fresh folder with the same pack, no --seed, no --ticks.
  ASSERT_EQ(Quorvex(dir.path(),
                    "--replay rec.txt --dir b" + pack_arg + " --script captures.txt"),
            0)
      << ReadFile(dir.path() / "stderr.txt");
  for (const int t : kCaptures) {
    const std::string name = "s" + std::to_string(t) + ".json";
    const std::string a = ReadFile(dir.path() / "a" / name);
    ASSERT_FALSE(a.empty()) << name;
    EXPECT_EQ(a, ReadFile(dir.path() / "b" / name)) << name;
  }
  const std::string shot = ReadFile(dir.path() / "a" / "p640.png");
  ASSERT_FALSE(shot.empty());
  EXPECT_TRUE(shot == ReadFile(dir.path() / "b" / "p640.png")) << "the screenshots differ";
  for (const char* name : {"log.txt", "options.txt", "players.txt"}) {
    EXPECT_EQ(ReadFile(dir.path() / "a" / name), ReadFile(dir.path() / "b" / name)) << name;
  }
  EXPECT_EQ(ReadFile(dir.path() / "stderr.txt"), "");
  EXPECT_FALSE(fs::exists(dir.path() / "b" / "records.txt")) << "the session started without one";

  // A folder with other saves is refused and left as it was.
  fs::create_directories(dir.path() / "d");
  std::ofstream(dir.path() / "d" / "players.txt") << "Bob\r\n";
  EXPECT_EQ(Quorvex(dir.path(), "--replay rec.txt --dir d" + pack_arg), 1);
  EXPECT_EQ(ReadFile(dir.path() / "d" / "players.txt"), "Bob\r\n");
  EXPECT_FALSE(fs::exists(dir.path() / "d" / "log.txt"));
  EXPECT_NE(ReadFile(dir.path() / "stderr.txt").find("another players.txt"), std::string::npos);
  fs::remove(dir.path() / "stderr.txt");

  // A replay that is not a script fails like one, naming the line.
  std::ofstream(dir.path() / "bad.txt") << "0 seed 1\n5 wiggle\n";
  EXPECT_EQ(Quorvex(dir.path(), "--replay bad.txt --dir c"), 2);
  EXPECT_NE(ReadFile(dir.path() / "stderr.txt").find("bad.txt:2:"), std::string::npos);
}

// The built-in player is input like any other: its session's recording holds its pointer moves
// and clicks, and replays without it to the same game.
TEST(RecordReplayRun, BuiltInPlayersSessionReplaysWithoutIt) {
  const fs::path pack = fs::path(QUORVEX_BINARY_DIR) / "pack";
  ASSERT_TRUE(fs::exists(pack / "main.msl")) << "no content pack at " << pack;
  GameDir dir;
  // Start game, arcade; from there the player plays.
  const char* captures = "1200 state s1200.json\n2199 state s2199.json\n";
  std::ofstream(dir.path() / "session.txt") << "300 click left 400 176\n"
                                            << "330 click left 400 176\n"
                                            << captures;
  std::ofstream(dir.path() / "captures.txt") << captures;
  const std::string pack_arg = " --pack \"" + pack.string() + "\"";
  for (const char* folder : {"a", "b"}) fs::create_directories(dir.path() / folder);
  std::ofstream(dir.path() / "a" / "players.txt")
      << "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n";
  ASSERT_EQ(Quorvex(dir.path(), "--headless --dir a" + pack_arg +
                                    " --script session.txt --ticks 2200"
                                    " --autoplay --record rec.txt"),
            0)
      << ReadFile(dir.path() / "stderr.txt");
  ASSERT_EQ(Quorvex(dir.path(), "--replay rec.txt --dir b" + pack_arg + " --script captures.txt"),
            0)
      << ReadFile(dir.path() / "stderr.txt");
  const std::string played = ReadFile(dir.path() / "a" / "s2199.json");
  ASSERT_GT(test::Number(played, "game", "score"), 0) << "the player scored nothing";
  for (const char* name : {"s1200.json", "s2199.json"}) {
    EXPECT_EQ(ReadFile(dir.path() / "a" / name), ReadFile(dir.path() / "b" / name)) << name;
  }
}

TEST(RecordReplayRun, DisplayAndSoundOptionsHoldForTheRunOnly) {
  GameDir dir;
  const fs::path game = dir.path() / "g";
  fs::create_directories(game / "text");
  std::ofstream(game / "options.txt") << "fullscreen=1\r\nmove_cnt=16\r\n";
  std::ofstream(game / "text" / "combo.txt") << "5,Good\r\n";
  for (const char* list : {"loading.msl", "music.ini", "main.msl", "sound.ini"}) {
    std::ofstream(game / list) << "";
  }
  std::ofstream(dir.path() / "s.txt") << "20 state w.json\n";
  const auto fullscreen_of = [&](const std::string& args) {
    fs::remove(game / "w.json");
    EXPECT_EQ(Quorvex(dir.path(), "--headless --dir g --script s.txt --ticks 21 " + args), 0)
        << ReadFile(dir.path() / "stderr.txt");
    const std::string dump = ReadFile(game / "w.json");
    return dump.find("\"shell\":{") == std::string::npos ? std::string("no dump")
           : dump.find("\"fullscreen\":1,") != std::string::npos ? std::string("fullscreen")
                                                                : std::string("windowed");
  };
  EXPECT_EQ(fullscreen_of(""), "fullscreen");
  EXPECT_EQ(fullscreen_of("--windowed"), "windowed");
  std::ofstream(game / "options.txt") << "fullscreen=0\r\nmove_cnt=16\r\n";
  EXPECT_EQ(fullscreen_of("--fullscreen"), "fullscreen");
  EXPECT_EQ(ReadFile(game / "options.txt"), "fullscreen=0\r\nmove_cnt=16\r\n")
      << "the file keeps the player's choice";
  fullscreen_of("--no-sound");
  const std::string dump = ReadFile(game / "w.json");
  EXPECT_NE(dump.find("\"audio\":{\"available\":false"), std::string::npos) << dump;
}

}  // namespace
}  // namespace qv
