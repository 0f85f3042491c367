// Kills a process that keeps rewriting a save file through the game's writers at random moments,
// a hundred times per file, and checks that the file always holds one of the two complete
// contents and that the game's readers see that content, never a leftover temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "context.h"
#include "saves/save_contents.h"
#include "shell/options_file.h"
#include "support/game_dir.h"

extern char** environ;

namespace qv {
namespace {

constexpr int kKillsPerFile = 100;

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Starts the writer, waits until its first write is complete, lets it run for a random number of
// microseconds and kills it. Returns false when the writer could not be started or died early;
// `writes` counts the writes it completed after the first.
bool RunAndKill(const std::string& kind, std::mt19937& rng, int& writes) {
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string folder = std::filesystem::current_path().string();
  std::string binary = QUORVEX_SAVE_WRITER;
  char* argv[] = {binary.data(), const_cast<char*>(folder.c_str()),
                  const_cast<char*>(kind.c_str()), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return false;
  }
  char ready = 0;
  const bool started = read(out[0], &ready, 1) == 1 && ready == 'r';
  if (started) {
    std::uniform_int_distribution<int> delay(0, 6000);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
  }
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  char reports[4096];
  for (ssize_t n; (n = read(out[0], reports, sizeof reports)) > 0;) writes += static_cast<int>(n);
  close(out[0]);
  return started && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

struct Outcome {
  int writes = 0;  // completed after the first, over all runs
  int old_seen = 0;
  int new_seen = 0;
  int temp_left = 0;
};

// Kills the writer of `file` over and over; `check` gets the file's text after each kill and says
// whether it is the first content (0), the second (1), or neither (-1).
template <class Check>
Outcome KillRepeatedly(const std::string& kind, const std::string& file, Check check) {
  std::mt19937 rng(20261208);
  Outcome o;
  for (int i = 0; i < kKillsPerFile; ++i) {
    if (!RunAndKill(kind, rng, o.writes)) {
      ADD_FAILURE() << kind << ": the writer did not start or died before the kill, run " << i;
      return o;
    }
    const int which = check(ReadHost(file));
    if (which < 0) {
      ADD_FAILURE() << kind << ": run " << i << " left \"" << file << "\" neither old nor new";
      return o;
    }
    (which == 0 ? o.old_seen : o.new_seen)++;
    if (std::filesystem::exists(file + ".tmp")) ++o.temp_left;
  }
  return o;
}

// The kills must have met a writer at work: some landed after further writes completed, some in
// the middle of one (its temporary file left behind). How often each happens depends on the
// machine's load, so the figures are only printed.
void ExpectKillsAmongWrites(const Outcome& o) {
  EXPECT_EQ(o.old_seen + o.new_seen, kKillsPerFile);
  EXPECT_GT(o.writes, 0);
  EXPECT_GT(o.temp_left, 0);
}

void Print(const char* file, const Outcome& o) {
  std::printf("%s: %d old, %d new, %d writes completed, %d temporary files left by a kill\n",
              file, o.old_seen, o.new_seen, o.writes, o.temp_left);
}

TEST(SaveKill, PlayersFileIsAlwaysOldOrNew) {
  testing_support::GameDir dir;
  const std::string contents[2] = {FormatPlayers(saves::PlayersVersion(false)),
                                   FormatPlayers(saves::PlayersVersion(true))};
  dir.Write(kPlayersFile, contents[0]);
  const Outcome o = KillRepeatedly("players", kPlayersFile, [&](const std::string& text) {
    return text == contents[0] ? 0 : text == contents[1] ? 1 : -1;
  });
  ExpectKillsAmongWrites(o);
  // The reader takes the file, not a temporary one beside it.
  const std::vector<Player> read = ReadPlayersFile();
  ASSERT_EQ(read.size(), 300u);
  const std::string name = read[0].name;
  EXPECT_TRUE(name == "player0a" || name == "player0b") << name;
  Print("players", o);
}

TEST(SaveKill, RecordsFileIsAlwaysOldOrNew) {
  testing_support::GameDir dir;
  const std::string contents[2] = {FormatRecords(saves::RecordsVersion(false)),
                                   FormatRecords(saves::RecordsVersion(true))};
  dir.Write(kRecordsFile, contents[0]);
  const Outcome o = KillRepeatedly("records", kRecordsFile, [&](const std::string& text) {
    return text == contents[0] ? 0 : text == contents[1] ? 1 : -1;
  });
  ExpectKillsAmongWrites(o);
  const std::optional<std::string> data = ReadRecordsFile();
  ASSERT_TRUE(data);
  const RecordTable table = ParseRecords(*data, 1);
  ASSERT_EQ(table.rows.size(), 10u);
  EXPECT_TRUE(table.rows[0].name == "old" || table.rows[0].name == "new");
  Print("records", o);
}

TEST(SaveKill, OptionsFileIsAlwaysOldOrNew) {
  testing_support::GameDir dir;
  std::string contents[2] = {saves::OptionsStart(), saves::OptionsStart()};
  const std::size_t at = contents[1].find("music_volume=5");
  contents[1].replace(at, 14, "music_volume=9");
  dir.Write("options.txt", contents[0]);
  const Outcome o = KillRepeatedly("options", "options.txt", [&](const std::string& text) {
    return text == contents[0] ? 0 : text == contents[1] ? 1 : -1;
  });
  ExpectKillsAmongWrites(o);
  Context ctx;
  ReadOptions(ctx);
  EXPECT_TRUE(ctx.options.music_volume == 5 || ctx.options.music_volume == 9)
      << ctx.options.music_volume;
  Print("options", o);
}

}  // namespace
}  // namespace qv
