// End to end through the run harness: the quorvex binary, headless, scripted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/menu_texts.h"
#include "common/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WriteText;

struct Result {
  int status = -1;
  std::string err;
};

class HarnessTest : public ::testing::Test {
 protected:
  HarnessTest() {
    game_ = dir_.path() / "game";
    WriteText(game_ / "options.txt", "move_cnt=16\r\nlog_enabled=1\r\n");
    WriteText(game_ / "text" / "combo.txt", "5,Good\r\n10,Great\r\n");
    for (const char* list : {"loading.msl", "music.ini", "main.msl", "sound.ini"}) {
      WriteText(game_ / list, "");
    }
    for (const char* text : test::kMenuStartTexts) WriteText(game_ / "text" / text, "");
  }

  Result Run(const std::string& args, const std::string& before = "") {
    const fs::path err = dir_.path() / "stderr.txt";
    const std::string command = before + std::string(QUORVEX_BINARY_DIR) + "/src/quorvex " + args +
                                " 2>" + err.string() + " >/dev/null";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = ReadText(err);
    return r;
  }

  Result RunGame(const std::string& script, const std::string& extra = "") {
    WriteText(dir_.path() / "s.txt", script);
    return Run("--headless --dir " + game_.string() + " --script " +
               (dir_.path() / "s.txt").string() + " " + extra);
  }

  // The shell's own log messages (the loading screen of a folder without content logs its
  // missing sprite files between them).
  std::vector<std::string> ShellMessages() {
    static const std::vector<std::string> kShell = {
        " textures mode=32bit", "InitDeviceObjects", "FullScreenChange", "StartSceneMenu",
        "setup_refresh",        "appdeactivate...",  "appactivate...",   "active..."};
    std::vector<std::string> out;
    for (const std::string& m : LogMessages()) {
      if (std::find(kShell.begin(), kShell.end(), m) != kShell.end()) out.push_back(m);
    }
    return out;
  }

  // The log's messages without their date and time.
  std::vector<std::string> LogMessages() {
    std::vector<std::string> out;
    std::istringstream in(ReadText(game_ / "log.txt"));
    std::string line;
    while (std::getline(in, line)) {
      EXPECT_EQ(line.back(), '\r');
      line.pop_back();
      EXPECT_EQ(line.substr(19, 3), " : ") << line;
      out.push_back(line.substr(22));
    }
    return out;
  }

  // A headless run of the game folder with extra arguments, fed by a shell command's output.
  Result RunPiped(const std::string& feed, const std::string& args) {
    return Run("--headless --dir " + game_.string() + " " + args, feed + " | ");
  }
  std::string Path(const std::string& name) { return (dir_.path() / name).string(); }

  test::TempDir dir_;
  fs::path game_;
};

TEST_F(HarnessTest, ScriptedRunWritesTheLogAndTheStateDump) {
  const std::string script =
      "0 state s0.json\n"
      "150 deactivate\n"
      "250 activate\n"
      "300 screenshot shot.png\n"
      "999 state end.json\n";
  const Result r = RunGame(script, "--ticks 1000 --seed 7");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  const std::vector<std::string> expected = {
      " textures mode=32bit", "InitDeviceObjects", "FullScreenChange",     "InitDeviceObjects",
      "StartSceneMenu",       "setup_refresh",     " textures mode=32bit", "appdeactivate...",
      "appactivate...",       "active...",
  };
  EXPECT_EQ(ShellMessages(), expected);
  const std::string log = ReadText(game_ / "log.txt");
  EXPECT_NE(log.find("01.01.2000 00:00:01 : appdeactivate...\r\n"), std::string::npos)
      << "log lines carry the virtual time (tick 150 = 1.51 s)";

  const std::string s0 = ReadText(game_ / "s0.json");
  EXPECT_EQ(s0.rfind("{\"tick\":0,\"frame_clock\":10,\"game_clock\":10,\"shell\":{", 0), 0u) << s0;
  const std::string end = ReadText(game_ / "end.json");
  EXPECT_EQ(end.rfind("{\"tick\":999,\"frame_clock\":10000,\"game_clock\":10000,", 0), 0u) << end;
  for (const char* key :
       {"\"scene\":1", "\"pending_scene\":0", "\"scene_phase\":2", "\"scene_ready\":1",
        "\"app_active\":1", "\"paused\":0", "\"fullscreen\":0", "\"hover_button\":-1",
        "\"pressed_button\":-1", "\"click_context\":1", "\"options\":{\"fullscreen\":0",
        "\"log_enabled\":1", "\"move_cnt\":16", "\"music_amplify\":75", "\"player_index\":0}"}) {
    EXPECT_NE(end.find(key), std::string::npos) << key << " in " << end;
  }

  const std::string png = ReadText(game_ / "shot.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\x20\0\0\x02\x58", 8)) << "800 x 600";

  // Deterministic: the same run again gives the same dump, and the log grows.
  fs::remove(game_ / "end.json");
  ASSERT_EQ(RunGame(script, "--ticks 1000 --seed 7").status, 0);
  EXPECT_EQ(ReadText(game_ / "end.json"), end);
  EXPECT_EQ(ShellMessages().size(), 2 * expected.size());
}

TEST_F(HarnessTest, QuitEndsTheRunAtItsTick) {
  const Result r = RunGame("20 quit\n30 state late.json\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(game_ / "late.json"));
}

TEST_F(HarnessTest, MissingComboTableEndsTheStartWithAMessage) {
  fs::remove(game_ / "text" / "combo.txt");
  const Result r = RunGame("", "--ticks 10");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Error: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("text\\combo.txt"), std::string::npos) << r.err;
}

TEST_F(HarnessTest, BadOptionValueIsReportedAndTheRunGoesOn) {
  WriteText(game_ / "options.txt", "move_cnt=16\r\nball_step=ten\r\n");
  const Result r = RunGame("9 state s.json\n", "--ticks 10");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Error: \"options.txt\", line 2: 'ten' is not a valid integer value"),
            std::string::npos)
      << r.err;
  EXPECT_NE(ReadText(game_ / "s.json").find("\"move_cnt\":16"), std::string::npos);
}

TEST_F(HarnessTest, BadScriptLineIsNamedAndFails) {
  const Result r = RunGame("1 quit\n2 jump\n", "--ticks 10");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("s.txt:2:"), std::string::npos) << r.err;
}

TEST_F(HarnessTest, ScriptAndReplayAreReadFromPipesAndStandardInput) {
  WriteText(dir_.path() / "s.txt", "5 state piped.json\n");
  const std::string feed = "cat " + Path("s.txt");
  Result r = RunPiped(feed, "--script - --ticks 10");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(game_ / "piped.json"));

  // A pipe by name, as a shell's <(...) gives it.
  fs::remove(game_ / "piped.json");
  r = RunPiped(feed, "--script /dev/stdin --ticks 10");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(game_ / "piped.json"));

  fs::remove(game_ / "piped.json");
  const fs::path fifo = dir_.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The writer gives up when no reader comes, so a refused pipe cannot hang the test.
  const std::string writer =
      "(timeout 20 sh -c 'cat " + Path("s.txt") + " > " + fifo.string() + "' >/dev/null 2>&1 &); ";
  r = Run("--headless --dir " + game_.string() + " --script " + fifo.string() + " --ticks 10",
          writer);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(game_ / "piped.json"));

  // A recording from standard input; the captures come from the script.
  fs::remove(game_ / "piped.json");
  WriteText(dir_.path() / "rec.txt", "0 date 2001-02-03 04:05:06\n3 key 27\n9 quit\n");
  r = RunPiped("cat " + Path("rec.txt"), "--replay - --script " + Path("s.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(game_ / "piped.json"));

  r = RunPiped(feed, "--replay - --script - --ticks 10");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("standard input"), std::string::npos) << r.err;

  // A folder is no script.
  r = Run("--headless --dir " + game_.string() + " --script " + dir_.path().string());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot read the script"), std::string::npos) << r.err;
}

TEST_F(HarnessTest, ARecordingThatCapturesIsRefusedWithItsLine) {
  for (const char* capture :
       {"10 state ../escape.json", "10 state inside.json", "20 screenshot shot.png"}) {
    WriteText(dir_.path() / "rec.txt",
              std::string("0 date 2001-02-03 04:05:06\n3 key 27\n") + capture + "\n30 quit\n");
    const Result r = Run("--dir " + game_.string() + " --replay " + Path("rec.txt"));
    EXPECT_EQ(r.status, 2) << capture;
    EXPECT_NE(r.err.find("rec.txt:3:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_.path() / "escape.json"));
    EXPECT_FALSE(fs::exists(game_ / "inside.json"));
    EXPECT_FALSE(fs::exists(game_ / "shot.png"));
  }
}

TEST_F(HarnessTest, ScriptCapturesOutsideTheGameFolderAreScriptErrors) {
  fs::create_directories(game_ / "sub");
  // The forms of such paths are the script parser's tests; here the run refuses them whole.
  for (const std::string& capture :
       {std::string("5 state ../escape.json"), "5 screenshot " + Path("escape.png")}) {
    const Result r = RunGame("1 state first.json\n" + capture + "\n", "--ticks 10");
    EXPECT_EQ(r.status, 2) << capture;
    EXPECT_NE(r.err.find("s.txt:2:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(game_ / "first.json")) << "nothing runs";
    EXPECT_FALSE(fs::exists(dir_.path() / "escape.json"));
    EXPECT_FALSE(fs::exists(dir_.path() / "escape.png"));
  }
  // Folders inside the game folder are fine, however named.
  const Result r = RunGame("5 state sub/in.json\n6 state sub/..in.json\n", "--ticks 10");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(game_ / "sub" / "in.json"));
  EXPECT_TRUE(fs::exists(game_ / "sub" / "..in.json"));
}

TEST_F(HarnessTest, ACaptureThroughALinkOutOfTheGameFolderWritesNothing) {
  const fs::path outside = dir_.path() / "outside";
  fs::create_directories(outside);
  fs::create_directories(game_ / "sub");
  fs::create_directory_symlink(outside, game_ / "out");
  fs::create_symlink(outside / "target.json", game_ / "dump.json");
  fs::create_symlink(outside / "target.png", game_ / "shot.png");
  fs::create_directory_symlink(game_ / "sub", game_ / "inner");
  const Result r = RunGame(
      "5 state out/x.json\n6 screenshot out/y.png\n7 state dump.json\n8 screenshot shot.png\n"
      "9 state inner/ok.json\n",
      "--ticks 10");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_empty(outside)) << "written through a link";
  for (const char* name : {"out/x.json", "out/y.png", "dump.json", "shot.png"}) {
    EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::exists(game_ / "sub" / "ok.json")) << "a link that stays inside is fine";
}

TEST_F(HarnessTest, HelpAndVersion) {
  EXPECT_EQ(Run("--help").status, 0);
  EXPECT_EQ(Run("--version").status, 0);
  EXPECT_NE(Run("--no-such-option").status, 0);
}

TEST_F(HarnessTest, PackIsLaidInKeepingThePlayersOptions) {
  const fs::path pack = dir_.path() / "pack";
  WriteText(pack / "options.txt", "move_cnt=16\r\n");
  WriteText(pack / "text" / "combo.txt", "1,One\r\n");
  WriteText(game_ / "options.txt", "move_cnt=16\r\nmusic_volume=9\r\n");
  const Result r = Run("--headless --ticks 1 --pack " + pack.string() + " --dir " + game_.string());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadText(game_ / "options.txt"), "move_cnt=16\r\nmusic_volume=9\r\n");
  EXPECT_EQ(ReadText(game_ / "text" / "combo.txt"), "1,One\r\n");
}

}  // namespace
}  // namespace qv
