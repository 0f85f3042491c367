// The events file (--events) of whole games on the generated content pack: every level's end
// with its fields, the cause of each kind of loss, the same file from the same run, and no file
// without the option.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

constexpr int kMenuUp = 300;
constexpr int kArcadeY = 176, kChallengeY = 236, kPuzzleY = 296;
const char* kFreshPlayer = "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n";

// One line of the file: its name and its whole-number fields; "how" and "dialog" as text.
struct Event {
  std::string name;
  std::map<std::string, long long> n;
  std::string text;
};

std::vector<Event> Parse(const std::string& file) {
  static const std::regex line(
      R"re(^\{"event":"([a-z_]+)","tick":[0-9]+,"type":[123],"level":[0-9]+,"score":[0-9]+.*\}$)re");
  static const std::regex number(R"re("([a-z_]+)":(-?[0-9]+))re");
  static const std::regex word(R"re("(?:how|dialog)":"([a-z_]+)")re");
  std::vector<Event> out;
  std::istringstream in(file);
  for (std::string l; std::getline(in, l);) {
    std::smatch m;
    EXPECT_TRUE(std::regex_match(l, m, line)) << l;
    Event e;
    e.name = m.size() > 1 ? m[1].str() : "";
    for (auto it = std::sregex_iterator(l.begin(), l.end(), number); it != std::sregex_iterator();
         ++it)
      e.n[(*it)[1].str()] = std::stoll((*it)[2].str());
    if (std::regex_search(l, m, word)) e.text = m[1].str();
    out.push_back(e);
  }
  return out;
}

class EventsRun : public ::testing::Test {
 protected:
  void SetUp() override {
    pack_ = fs::path(QUORVEX_BINARY_DIR) / "pack";
    if (!fs::exists(pack_ / "loading.msl")) GTEST_SKIP() << "no content pack built";
    game_ = dir_.path() / "game";
    fs::create_directories(game_);
  }

  // A fresh player picks the type; `events` empty runs without the option. Its name is given
  // relative to where the program starts (the test's folder), not to the game folder.
  int Run(const std::string& script, int ticks, bool autoplay, const std::string& events) {
    test::WriteText(game_ / "players.txt", kFreshPlayer);
    test::WriteText(dir_.path() / "s.txt", script);
    const std::string command =
        std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --headless --pack " + pack_.string() +
        " --dir " + game_.string() + " --seed 5 --script " + (dir_.path() / "s.txt").string() +
        " --ticks " + std::to_string(ticks) + (autoplay ? " --autoplay" : "") +
        (events.empty() ? "" : " --events " + events) + " >/dev/null 2>" +
        (dir_.path() / "err.txt").string();
    const int raw = std::system(command.c_str());
    EXPECT_EQ(test::ReadText(dir_.path() / "err.txt"), "");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  // Plays `recording` back into a fresh folder.
  int Replay(const std::string& recording, const std::string& events) {
    const std::string command = std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --replay " +
                                recording + " --pack " + pack_.string() + " --dir replayed" +
                                " --events " + events + " >/dev/null 2>err.txt";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(test::ReadText(dir_.path() / "err.txt"), "");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  std::string Read(const std::string& name) { return test::ReadText(dir_.path() / name); }

  test::TempDir dir_;
  fs::path pack_;
  fs::path game_;
};

std::string Choose(int type_y) {
  return std::to_string(kMenuUp) + " click left 400 176\n" + std::to_string(kMenuUp + 30) +
         " click left 400 " + std::to_string(type_y) + "\n";
}
// Shots straight up from tick 500, one every 30 ticks, until `to`.
std::string ShootUp(int to) {
  std::string s;
  for (int t = 500; t < to; t += 30) s += std::to_string(t) + " click left 400 300\n";
  return s;
}

// The built-in player wins arcade levels: each level that starts ends in a win before the next
// starts, and the win carries its level's shots (counted from the shot lines), a time that fits
// between its start and end ticks, and the score the statistics then show.
TEST_F(EventsRun, AutoplayWritesEveryLevelEndWithItsFields) {
  ASSERT_EQ(Run(Choose(kArcadeY), 6000, true, "events.jsonl"), 0);
  const std::vector<Event> events = Parse(Read("events.jsonl"));
  ASSERT_FALSE(events.empty());
  int wins = 0, shots = 0;
  long long level = 0, started_at = -1, last_tick = 0;
  bool open = false;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    SCOPED_TRACE(i);
    EXPECT_GE(e.n.at("tick"), last_tick);
    last_tick = e.n.at("tick");
    EXPECT_EQ(e.n.at("type"), 1);
    if (e.name == "level_start") {
      EXPECT_FALSE(open) << "a level started before the last one ended";
      EXPECT_EQ(e.n.at("level"), level + 1);
      level = e.n.at("level");
      started_at = e.n.at("tick");
      shots = 0;
      open = true;
    } else if (e.name == "shot") {
      EXPECT_TRUE(open);
      ++shots;
    } else if (e.name == "burst") {
      EXPECT_GE(e.n.at("size"), 0);
      EXPECT_GE(e.n.at("dropped"), 0);
      EXPECT_GT(e.n.at("size") + e.n.at("dropped"), 0) << "a burst of nothing";
    } else if (e.name == "level_won") {
      ASSERT_TRUE(open);
      open = false;
      ++wins;
      EXPECT_EQ(e.n.at("level"), level);
      EXPECT_EQ(e.n.at("shots"), shots);
      EXPECT_GT(e.n.at("time"), 0);
      EXPECT_LE(e.n.at("time"), (e.n.at("tick") - started_at) * 10);
      ASSERT_LT(i + 1, events.size());
      EXPECT_EQ(events[i + 1].name, "dialog");
      EXPECT_EQ(events[i + 1].text, "statistics");
      EXPECT_EQ(events[i + 1].n.at("score"), e.n.at("score"));
    } else {
      EXPECT_TRUE(e.name == "bonus" || e.name == "dialog") << e.name;
    }
  }
  EXPECT_GE(wins, 2);
}

// Each type's loss names its own cause; arcade and challenge end the game, the puzzle offers
// another try.
TEST_F(EventsRun, LossesNameTheirCause) {
  struct Case {
    int y;
    std::string script;
    int ticks;
    const char* how;
    std::vector<std::string> after;  // "name" or "dialog:name" following the loss, in order
  };
  const Case cases[] = {
      {kArcadeY, ShootUp(2000), 2000, "danger", {"game_over", "dialog:game_over"}},
      {kChallengeY, "500 click left 400 300\n", 7000, "drain", {"game_over", "dialog:game_over"}},
      {kPuzzleY, ShootUp(2000), 2000, "shots", {"dialog:try_again"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    ASSERT_EQ(Run(Choose(c.y) + c.script, c.ticks, false, "events.jsonl"), 0);
    const std::vector<Event> events = Parse(Read("events.jsonl"));
    std::size_t at = 0;
    while (at < events.size() && events[at].name != "level_lost") ++at;
    ASSERT_LT(at, events.size()) << "no loss";
    EXPECT_EQ(events[at].text, c.how);
    std::vector<std::string> after;
    for (std::size_t i = at + 1; i < events.size(); ++i) {
      after.push_back(events[i].name == "dialog" ? "dialog:" + events[i].text : events[i].name);
    }
    EXPECT_EQ(after, c.after);
  }
}

// The same script and seed write the same file, byte for byte, and so does the replay of a
// recorded run; without the option the run leaves nothing new, in the game folder or beside it.
TEST_F(EventsRun, SameRunSameFileAndNoFileWithoutTheOption) {
  const std::string script = Choose(kArcadeY);
  ASSERT_EQ(Run(script, 2500, true, "a.jsonl"), 0);
  ASSERT_EQ(Run(script, 2500, true, "b.jsonl"), 0);
  const std::string a = Read("a.jsonl");
  EXPECT_NE(a.find("\"level_won\""), std::string::npos);
  EXPECT_EQ(a, Read("b.jsonl"));
  ASSERT_EQ(Run(script, 2500, true, "c.jsonl --record r.txt"), 0);
  ASSERT_EQ(Replay("r.txt", "d.jsonl"), 0);
  EXPECT_NE(Read("c.jsonl").find("\"level_won\""), std::string::npos);
  EXPECT_EQ(Read("c.jsonl"), Read("d.jsonl"));
  for (const char* made : {"c.jsonl", "d.jsonl", "r.txt", "replayed"}) fs::remove_all(made);

  const auto listing = [this] {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir_.path()))
      names.insert(fs::relative(e.path(), dir_.path()).string());
    return names;
  };
  const std::set<std::string> before = listing();
  ASSERT_EQ(Run(script, 2500, true, ""), 0);
  EXPECT_EQ(listing(), before);
}

}  // namespace
}  // namespace qv
