// The harness's script syntax and the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "base/text.h"
#include "common/temp_dir.h"
#include "harness/command_line.h"
#include "harness/game_folder.h"
#include "harness/script.h"

namespace qv {
namespace {

using Kind = ScriptCommand::Kind;

TEST(ScriptTest, CommandsExpandAndApplyInTickThenFileOrder) {
  const auto script = ParseScript(
      "# a comment\n"
      "0 state a.json\n"
      "5 click right 10 20   # trailing comment\n"
      "6 key 13 shift\n"
      "6 text Ab 1-.\n"
      "7 minimize\n"
      "9 quit\n",
      "s.txt");
  ASSERT_TRUE(script) << script.error().message;
  const auto& c = script->commands;
  ASSERT_EQ(c.size(), 13u);
  EXPECT_EQ(c[0].kind, Kind::State);
  EXPECT_EQ(c[0].path, "a.json");
  EXPECT_EQ(c[1].kind, Kind::Move);
  EXPECT_EQ(c[1].x, 10);
  EXPECT_EQ(c[1].y, 20);
  EXPECT_EQ(c[2].kind, Kind::Down);
  EXPECT_EQ(c[2].button, 1);
  EXPECT_EQ(c[3].kind, Kind::Up);
  EXPECT_EQ(c[3].tick, 6u) << "the release of a click comes one tick later, first in its tick";
  EXPECT_EQ(c[4].key, 13);
  EXPECT_EQ(c[4].shift, 1);
  const int keys[] = {65, 66, 32, 49, 189, 46};
  const int shifts[] = {1, 0, 0, 0, 0, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(c[5 + i].key, keys[i]);
    EXPECT_EQ(c[5 + i].shift, shifts[i]);
  }
  EXPECT_EQ(c[11].kind, Kind::Minimize);
  EXPECT_EQ(c[12].kind, Kind::Quit);
}

TEST(ScriptTest, ErrorsNameFileAndLine) {
  const char* bad[] = {"3 move 1\n",      "3 wiggle\n",   "x quit\n",       "5 quit\n4 quit\n",
                       "1 key 13 super\n", "1 text a_b\n", "1 down wheel\n"};
  for (const char* text : bad) {
    const auto script = ParseScript(text, "s.txt");
    ASSERT_FALSE(script) << text;
    EXPECT_EQ(script.error().message.rfind("s.txt:", 0), 0u) << script.error().message;
  }
  const auto script = ParseScript("1 quit\n\n# c\n5 quit\n4 quit\n", "s.txt");
  ASSERT_FALSE(script);
  EXPECT_EQ(script.error().message.rfind("s.txt:5:", 0), 0u) << script.error().message;
}

TEST(CommandLineTest, ParsesEveryOptionAndRejectsTheRest) {
  const auto parsed =
      ParseCommandLine({"--dir", "d", "--headless", "--render-all", "--seed", "42", "--script", "s",
                        "--ticks", "1000", "--autoplay", "--pack", "p", "--virtual-clock", "--no-vsync"});
  ASSERT_TRUE(parsed) << parsed.error().message;
  const CommandLine& cl = *parsed;
  EXPECT_EQ(cl.dir, "d");
  EXPECT_TRUE(cl.headless && cl.render_all && cl.autoplay && cl.has_seed && cl.virtual_clock &&
              cl.no_vsync);
  EXPECT_FALSE(ParseCommandLine({})->virtual_clock);
  EXPECT_EQ(cl.seed, 42u);
  EXPECT_EQ(cl.script, "s");
  EXPECT_EQ(cl.ticks, 1000u);
  EXPECT_EQ(cl.pack, "p");
  EXPECT_FALSE(ParseCommandLine({"--ticks", "-1"}));
  EXPECT_FALSE(ParseCommandLine({"--seed"}));
  const auto unknown = ParseCommandLine({"--fast"});
  ASSERT_FALSE(unknown);
  EXPECT_NE(unknown.error().message.find("--fast"), std::string::npos);
}

// The events file is a file of its own: given the recording's or the script's name it would
// overwrite the one and be read as the other.
TEST(CommandLineTest, EventsTakeAFileOfTheirOwn) {
  const auto parsed = ParseCommandLine({"--events", "e.jsonl", "--record", "r.txt"});
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(parsed->events, "e.jsonl");
  EXPECT_FALSE(ParseCommandLine({"--events"}));
  EXPECT_FALSE(ParseCommandLine({"--events", "x", "--record", "x"}));
  EXPECT_FALSE(ParseCommandLine({"--script", "x", "--events", "x"}));
  EXPECT_FALSE(ParseCommandLine({"--events", "x", "--replay", "x"}));
}

TEST(ScriptTest, RecordingLinesParseAndFormatBackTheSame) {
  const char* text =
      "0 date 2026-12-08 11:09:30\n"
      "0 seed 4294967295\n"
      "3 clock 4321\n"
      "3 move -5 610\n"
      "3 down middle\n"
      "3 up other\n"
      "4 key 37 shift alt ctrl\n"
      "4 key 9 ctrl\n"
      "5 fullscreen\n"
      "6 click right 1 2\n"
      "9 state end.json\n";
  const auto script = ParseScript(text, "r.txt");
  ASSERT_TRUE(script) << script.error().message;
  const auto& c = script->commands;
  ASSERT_EQ(c.size(), 13u);
  EXPECT_EQ(c[0].kind, Kind::Date);
  EXPECT_EQ(c[0].date.year, 2026);
  EXPECT_EQ(c[0].date.second, 30);
  EXPECT_EQ(c[1].value, 4294967295u);
  EXPECT_EQ(c[2].kind, Kind::Clock);
  EXPECT_EQ(c[2].value, 4321u);
  EXPECT_EQ(c[6].shift, 7);
  EXPECT_EQ(c[7].shift, 4);
  EXPECT_EQ(c[8].kind, Kind::Fullscreen);
  // Formatting every command and parsing the lines again gives the same script.
  std::string again;
  char line[96];
  for (const ScriptCommand& command : c) {
    const std::size_t n = FormatScriptLine(command, line, sizeof line);
    ASSERT_GT(n, 0u);
    again.append(line, n);
  }
  EXPECT_EQ(again.substr(0, 52), "0 date 2026-12-08 11:09:30\n0 seed 4294967295\n3 clock");
  const auto reparsed = ParseScript(again, "again.txt");
  ASSERT_TRUE(reparsed) << reparsed.error().message << "\n" << again;
  ASSERT_EQ(reparsed->commands.size(), c.size());
  for (std::size_t i = 0; i < c.size(); ++i) {
    const ScriptCommand& a = c[i];
    const ScriptCommand& b = reparsed->commands[i];
    // A click's own position rides on its move; its button on its down and up.
    const bool move = a.kind == Kind::Move;
    EXPECT_TRUE(a.tick == b.tick && a.kind == b.kind && (!move || (a.x == b.x && a.y == b.y)) &&
                (move || a.button == b.button) && a.key == b.key && a.shift == b.shift &&
                a.value == b.value && a.date == b.date && a.path == b.path)
        << "command " << i << ": " << again;
  }
  // A line that does not fit is refused, not cut.
  EXPECT_EQ(FormatScriptLine(c[0], line, 10), 0u);

  for (const char* bad : {"1 date 2026-13-01 00:00:00\n", "1 date 2026-12-08\n",
                          "1 date 2026-1-8 10:00:00\n", "1 clock -4\n", "1 seed x\n",
                          "1 key 13 shift shift\n", "1 fullscreen now\n"}) {
    EXPECT_FALSE(ParseScript(bad, "s.txt")) << bad;
  }
}

TEST(ScriptTest, CapturesStayInTheGameFolderAndNeverComeFromARecording) {
  for (const char* good : {"a.json", "sub/a.json", "sub\\a.png", "..a.json", "a..", "./a.json"}) {
    EXPECT_TRUE(IsCapturePath(good)) << good;
  }
  for (const char* bad : {"", "/tmp/a.json", "\\a.json", "..", "../a.json", "sub/../../a.json",
                          "sub\\..\\..\\a.json", "sub/.."}) {
    EXPECT_FALSE(IsCapturePath(bad)) << bad;
  }
  const std::string captures = "1 key 27\n2 state s.json\n3 screenshot s.png\n";
  ASSERT_TRUE(ParseScript(captures, "s.txt"));
  const auto recording = ParseScript(captures, "r.txt", ScriptOrigin::Recording);
  ASSERT_FALSE(recording);
  EXPECT_EQ(recording.error().message.rfind("r.txt:2: ", 0), 0u) << recording.error().message;
  EXPECT_TRUE(ParseScript("1 key 27\n4 quit\n", "r.txt", ScriptOrigin::Recording));
  const auto escape = ParseScript("1 key 27\n\n5 state ../x.json\n", "s.txt");
  ASSERT_FALSE(escape);
  EXPECT_EQ(escape.error().message.rfind("s.txt:3: ", 0), 0u) << escape.error().message;
}

// A skill names a built-in player model and starts the player; a wrong name is refused.
TEST(CommandLineTest, AutoplaySkill) {
  const auto plain = ParseCommandLine({"--autoplay"});
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->autoplay_skill, AutoplaySkill::Perfect) << "--autoplay is today's player";
  for (const auto& [name, skill] :
       {std::pair{"casual", AutoplaySkill::Casual}, std::pair{"average", AutoplaySkill::Average},
        std::pair{"expert", AutoplaySkill::Expert}, std::pair{"perfect", AutoplaySkill::Perfect}}) {
    const auto parsed = ParseCommandLine({"--autoplay-skill", name});
    ASSERT_TRUE(parsed) << name;
    EXPECT_TRUE(parsed->autoplay) << name;
    EXPECT_EQ(parsed->autoplay_skill, skill) << name;
  }
  const auto wrong = ParseCommandLine({"--autoplay-skill", "Expert"});
  ASSERT_FALSE(wrong);
  EXPECT_NE(wrong.error().message.find("'Expert'"), std::string::npos);
  EXPECT_FALSE(ParseCommandLine({"--autoplay-skill"}));
}

TEST(CommandLineTest, PlayerOptionsAndRecording) {
  const auto parsed = ParseCommandLine(
      {"--fullscreen", "--no-sound", "--record", "r.txt", "--replay", "p.txt", "--dir", "d"});
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(parsed->fullscreen, std::optional<bool>(true));
  EXPECT_TRUE(parsed->no_sound);
  EXPECT_EQ(parsed->record, "r.txt");
  EXPECT_EQ(parsed->replay, "p.txt");
  EXPECT_TRUE(parsed->headless) << "a replay runs headless";
  const auto windowed = ParseCommandLine({"--fullscreen", "--windowed"});
  ASSERT_TRUE(windowed);
  EXPECT_EQ(windowed->fullscreen, std::optional<bool>(false)) << "the last one wins";
  EXPECT_FALSE(ParseCommandLine({})->fullscreen.has_value());
  EXPECT_FALSE(ParseCommandLine({"--record"}));
  EXPECT_FALSE(ParseCommandLine({"--replay"}));
  EXPECT_FALSE(ParseCommandLine({"--replay", "-", "--script", "-"})) << "one reader of stdin";
  EXPECT_TRUE(ParseCommandLine({"--replay", "-", "--script", "c.txt"}));

  const std::string usage = UsageText();
  for (const char* option : {"--fullscreen", "--windowed", "--no-sound", "--dir", "--help",
                             "--version", "--record", "--replay", "--pack", "--headless"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

TEST(GameFolderTest, InstalledGamePlaysInThePerUserFolder) {
  EXPECT_EQ(*PerUserFolder("/x/data", "/home/p"), "/x/data/quorvex");
  EXPECT_EQ(*PerUserFolder("relative", "/home/p"), "/home/p/.local/share/quorvex")
      << "a relative XDG_DATA_HOME is ignored";
  EXPECT_EQ(*PerUserFolder(nullptr, "/home/p"), "/home/p/.local/share/quorvex");
  EXPECT_EQ(*PerUserFolder("", "/home/p"), "/home/p/.local/share/quorvex");
  EXPECT_FALSE(PerUserFolder(nullptr, nullptr));
  EXPECT_FALSE(PerUserFolder(nullptr, ""));

  // From the build tree: the current directory, a pack only when asked for.
  auto plan = PlanGameFolder("", "", "", nullptr, "/home/p");
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->dir, ".");
  EXPECT_EQ(plan->pack, "");
  plan = PlanGameFolder("", "build/pack", "", nullptr, "/home/p");
  EXPECT_EQ(plan->dir, ".");
  EXPECT_EQ(plan->pack, "build/pack");
  // Installed: the per-user folder and the installed pack, unless the options say otherwise.
  plan = PlanGameFolder("", "", "/usr/share/quorvex/pack", nullptr, "/home/p");
  EXPECT_EQ(plan->dir, "/home/p/.local/share/quorvex");
  EXPECT_EQ(plan->pack, "/usr/share/quorvex/pack");
  plan = PlanGameFolder("/tmp/g", "", "/usr/share/quorvex/pack", "/x", "/home/p");
  EXPECT_EQ(plan->dir, "/tmp/g");
  EXPECT_EQ(plan->pack, "/usr/share/quorvex/pack");
  plan = PlanGameFolder("", "mine", "/usr/share/quorvex/pack", "/x", "/home/p");
  EXPECT_EQ(plan->dir, "/x/quorvex");
  EXPECT_EQ(plan->pack, "mine");
  EXPECT_FALSE(PlanGameFolder("", "", "/usr/share/quorvex/pack", nullptr, nullptr));
  // A replay never picks the player's folder by itself.
  const auto replay = PlanGameFolder("", "", "/usr/share/quorvex/pack", nullptr, "/home/p", true);
  ASSERT_FALSE(replay);
  EXPECT_NE(replay.error().message.find("--dir"), std::string::npos);
  EXPECT_EQ(PlanGameFolder("", "", "", nullptr, "/home/p", true)->dir, ".");
  EXPECT_EQ(PlanGameFolder("g", "", "/usr/share/quorvex/pack", nullptr, "/home/p", true)->dir, "g");

  // The pack is found beside the binary only where it exists.
  test::TempDir dir;
  namespace fs = std::filesystem;
  fs::create_directories(dir.path() / "bin");
  EXPECT_EQ(FindInstalledPack((dir.path() / "bin" / "quorvex").string(), "../share/quorvex/pack"),
            "");
  fs::create_directories(dir.path() / "share" / "quorvex" / "pack");
  EXPECT_EQ(FindInstalledPack((dir.path() / "bin" / "quorvex").string(), "../share/quorvex/pack"),
            fs::weakly_canonical(dir.path() / "share" / "quorvex" / "pack").string());
  EXPECT_EQ(FindInstalledPack("", "../share/quorvex/pack"), "");
  EXPECT_EQ(FindInstalledPack((dir.path() / "bin" / "quorvex").string(), ""), "");
}

TEST(ScriptTest, RecordedFilesTravelAsBase64UnderTheirOwnNamesOnly) {
  const std::string binary("\0\xff\r\n,#=x", 8);
  for (std::size_t n = 0; n <= binary.size(); ++n) {
    const std::string part = binary.substr(0, n);
    std::string back;
    ASSERT_TRUE(DecodeBase64(EncodeBase64(part), back)) << n;
    EXPECT_EQ(back, part) << n;
  }
  EXPECT_EQ(EncodeBase64("Man"), "TWFu");
  EXPECT_EQ(EncodeBase64("Ma"), "TWE=");
  std::string out;
  for (const char* bad : {"TWF", "TW=u", "T===", "TWE=TWFu", "TW#u", "TWE\n"}) {
    EXPECT_FALSE(DecodeBase64(bad, out)) << bad;
  }

  std::string players;
  for (int i = 0; i < 40; ++i) players += "Player " + std::to_string(i) + ", 3, 0, 1200\r\n";
  const std::string text = FileLine(0, "players.txt", &players) +
                           FileLine(0, "records.txt", nullptr) + FileLine(0, "options.txt", &out);
  EXPECT_EQ(text.rfind("0 file players.txt b64:", 0), 0u) << text;
  for (const std::string& line : SplitLines(text)) EXPECT_LT(line.size(), 255u) << line;
  const auto script = ParseScript(text, "r.txt");
  ASSERT_TRUE(script) << script.error().message;
  ASSERT_EQ(script->commands.size(), 3u);
  EXPECT_EQ(script->commands[0].kind, Kind::File);
  EXPECT_EQ(script->commands[0].path, "players.txt");
  EXPECT_EQ(script->commands[0].data, players);
  EXPECT_TRUE(script->commands[1].absent);
  EXPECT_FALSE(script->commands[2].absent);
  EXPECT_EQ(script->commands[2].data, "");
  // A recording names no other file and no folder: replaying one never writes elsewhere.
  for (const char* bad : {"0 file log.txt absent\n", "0 file ../players.txt absent\n",
                          "0 file /etc/passwd b64:eA==\n", "0 file players.txt eA==\n",
                          "0 file players.txt b64:eA\n"}) {
    EXPECT_FALSE(ParseScript(bad, "r.txt")) << bad;
  }
}

TEST(GameFolderTest, ReplayRestoresSavesButNeverOverwritesOthers) {
  test::TempDir dir;
  const std::string players = "Ann, 3\r\n";
  const std::string options = "fullscreen=0\r\n";
  const auto script = ParseScript(FileLine(0, "players.txt", &players) +
                                      FileLine(0, "options.txt", &options) +
                                      FileLine(0, "records.txt", nullptr),
                                  "r.txt");
  ASSERT_TRUE(script);
  ASSERT_TRUE(RestoreSessionFiles("fresh/game", *script));
  EXPECT_EQ(test::ReadText("fresh/game/players.txt"), players);
  EXPECT_EQ(test::ReadText("fresh/game/options.txt"), options);
  EXPECT_FALSE(std::filesystem::exists("fresh/game/records.txt"));
  ASSERT_TRUE(RestoreSessionFiles("fresh/game", *script)) << "the same saves again are fine";

  // Someone's other saves stay as they are, and nothing at all is written.
  test::WriteText("mine/players.txt", "Bob, 9\r\n");
  const auto refused = RestoreSessionFiles("mine", *script);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("players.txt"), std::string::npos);
  EXPECT_EQ(test::ReadText("mine/players.txt"), "Bob, 9\r\n");
  EXPECT_FALSE(std::filesystem::exists("mine/options.txt"));
  // A session that started without records must not find some.
  test::WriteText("other/records.txt", "x\r\n");
  EXPECT_FALSE(RestoreSessionFiles("other", *script));
  EXPECT_FALSE(std::filesystem::exists("other/players.txt"));
}

}  // namespace
}  // namespace qv
