// Long runs of the quorvex binary with the built-in player, one per game type: the program
// must not crash, must print nothing on standard error (no error box, no sanitizer report) and
// its resident memory must stay within 5 % of what it held after the first minute of game
// time. The length is QUORVEX_SOAK_MINUTES of game time per type: by default the hour the
// release is checked with (about 40 s of wall time per type), 5 minutes in a sanitized build.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/sanitized.h"
#include "common/dump_number.h"
#include "common/temp_dir.h"

extern char** environ;

namespace qv {
namespace {

namespace fs = std::filesystem;

// Under the sanitizers the allocator's quarantine holds freed memory back, so resident memory
// says nothing there; that build checks for reports only, on a shorter run.
constexpr bool kMeasureMemory = !test::kSanitizedBuild;
constexpr int kDefaultMinutes = test::kSanitizedBuild ? 5 : 60;

constexpr int kTicksPerMinute = 6000;
// Main menu's "start game", then the rows of the game-type page.
constexpr int kArcadeY = 176, kChallengeY = 236, kPuzzleY = 296;

int Minutes() {
  const char* env = std::getenv("QUORVEX_SOAK_MINUTES");
  const int minutes = env ? std::atoi(env) : kDefaultMinutes;
  return std::max(minutes, 2);
}

// The built-in player plays while the game scene is up; after a game ends in the menu (a loss
// below level 5, the last level won) a person would choose the type again. So every 30 s the
// script does what that person does: Enter (closes the scores page), "start game", the type,
// Enter (continue the saved game). In a running game these are one stray shot and Enters that
// answer the open dialog as its OK would.
std::string Script(int type_y, int minutes) {
  std::vector<std::pair<int, std::string>> lines;
  const auto at = [&lines](int tick, const std::string& command) {
    lines.emplace_back(tick, command);
  };
  const std::string start = "click left 400 176", type = "click left 400 " + std::to_string(type_y);
  at(300, start);
  at(330, type);
  for (int t = 3000; t < minutes * kTicksPerMinute; t += 3000) {
    at(t, "key 13");
    at(t + 10, start);
    at(t + 40, type);
    at(t + 100, "key 13");
  }
  for (int m = 1; m <= minutes; ++m) at(m * kTicksPerMinute, "state m" + std::to_string(m) + ".json");
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (const auto& [tick, command] : lines) out += std::to_string(tick) + " " + command + "\n";
  return out;
}

// Resident memory of a live process in KiB, or -1 once it is gone.
long ResidentKib(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/statm");
  long size = 0, resident = -1;
  if (!(in >> size >> resident)) return -1;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

using test::Number;

void Soak(const char* name, int type_y) {
  const fs::path binary = fs::path(QUORVEX_BINARY_DIR) / "src" / "quorvex";
  const fs::path pack = fs::path(QUORVEX_BINARY_DIR) / "pack";
  if (!fs::exists(pack / "loading.msl")) GTEST_SKIP() << "no content pack built";
  const int minutes = Minutes();
  test::TempDir dir;
  const fs::path game = dir.path() / "game";
  // A player with nothing saved and no explanations to read.
  test::WriteText(game / "players.txt", "Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n");
  test::WriteText(dir.path() / "soak.txt", Script(type_y, minutes));

  const std::vector<std::string> args = {binary.string(),
                                         "--headless",
                                         "--pack",
                                         pack.string(),
                                         "--dir",
                                         game.string(),
                                         "--seed",
                                         "5",
                                         "--script",
                                         (dir.path() / "soak.txt").string(),
                                         "--ticks",
                                         std::to_string(minutes * kTicksPerMinute + 100),
                                         "--autoplay"};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string err = (dir.path() / "err.txt").string();
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const auto started = std::chrono::steady_clock::now();
  const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  ASSERT_EQ(spawned, 0);

  // Sampled from outside, so the game carries nothing for the test. The first sample after the
  // one-minute dump appears is the base; the dump is written as the game passes that tick.
  long base = -1, last = -1, peak = -1;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    const long now = ResidentKib(pid);
    if (now > 0) {
      if (base < 0 && fs::exists(game / "m1.json")) base = now;
      if (base > 0) {
        last = now;
        peak = std::max(peak, now);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(test::ReadText(err), "");

  // The game scene must have been what ran, minute after minute.
  int top = 0, in_game = 0;
  for (int m = 1; m <= minutes; ++m) {
    const std::string dump = test::ReadText(game / ("m" + std::to_string(m) + ".json"));
    ASSERT_FALSE(dump.empty()) << "no dump at minute " << m;
    if (Number(dump, "shell", "scene") == 2) ++in_game;
    top = std::max(top, static_cast<int>(Number(dump, "game", "level")));
  }
  EXPECT_GE(in_game * 10, minutes * 8) << "in the game scene at " << in_game << " of "
                                       << minutes << " minute marks";
  EXPECT_GT(top, 3);

  std::fprintf(stderr,
               "soak %s: %d min game time in %.1f s, top level %d, in game at %d of %d minute "
               "marks, resident KiB after 1 min %ld, at the end %ld, peak %ld\n",
               name, minutes, wall, top, in_game, minutes, base, last, peak);
  if (!kMeasureMemory) return;
  ASSERT_GT(base, 0) << "no sample after the first minute";
  EXPECT_LT(static_cast<double>(peak), static_cast<double>(base) * 1.05)
      << "resident memory grew from " << base << " KiB to " << peak << " KiB";
}

TEST(SoakRun, Arcade) { Soak("arcade", kArcadeY); }
TEST(SoakRun, Challenge) { Soak("challenge", kChallengeY); }
TEST(SoakRun, Puzzle) { Soak("puzzle", kPuzzleY); }

}  // namespace
}  // namespace qv
