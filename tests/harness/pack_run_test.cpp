// End to end on the real content pack: launch, logo, loading screen and menu with a little
// input, state dumps and screenshots at chosen ticks, each file compared by hash with the
// recorded run. A change to what the program shows or dumps fails here until the record is
// renewed on purpose: run the test with QUORVEX_RENEW_RECORD=1 and commit the new record.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

#include "support/game_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using testing_support::GameDir;

constexpr int kTicks[] = {0, 50, 200, 400, 700, 1000};
constexpr const char* kRecord = QUORVEX_TEST_DATA "/harness/pack_run.txt";

// FNV-1a, 64 bits: enough to tell two runs apart, no library needed.
std::string Hash(const std::string& bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// Captures at kTicks; between them the pointer moves, clicks, Enter is pressed and the
// application loses and regains the focus.
std::string Script() {
  const std::pair<int, const char*> input[] = {{120, "move 400 300"},
                                               {150, "click left 400 300"},
                                               {300, "key 13"},
                                               {500, "deactivate"},
                                               {550, "activate"}};
  std::string s;
  std::size_t next = 0;
  for (const int t : kTicks) {
    for (; next < std::size(input) && input[next].first < t; ++next) {
      s += std::to_string(input[next].first) + " " + input[next].second + "\n";
    }
    s += std::to_string(t) + " state s" + std::to_string(t) + ".json\n";
    s += std::to_string(t) + " screenshot p" + std::to_string(t) + ".png\n";
  }
  return s;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(PackRun, FilesMatchTheRecordedRun) {
  const fs::path pack = fs::path(QUORVEX_BINARY_DIR) / "pack";
  ASSERT_TRUE(fs::exists(pack / "main.msl")) << "no content pack at " << pack;
  GameDir dir;
  const fs::path game = dir.path() / "game";
  std::ofstream(dir.path() / "run.txt") << Script();
  const std::string command = std::string(QUORVEX_BINARY_DIR) +
                              "/src/quorvex --headless --pack \"" + pack.string() + "\" --dir \"" +
                              game.string() + "\" --seed 1 --ticks 1001 --script \"" +
                              (dir.path() / "run.txt").string() + "\" >/dev/null 2>\"" +
                              (dir.path() / "stderr.txt").string() + "\"";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << ReadFile(dir.path() / "stderr.txt");

  std::string hashes;
  for (const int t : kTicks) {
    for (const std::string name :
         {"s" + std::to_string(t) + ".json", "p" + std::to_string(t) + ".png"}) {
      const std::string bytes = ReadFile(game / name);
      ASSERT_FALSE(bytes.empty()) << name;
      hashes += name + " " + Hash(bytes) + "\n";
    }
  }
  if (std::getenv("QUORVEX_RENEW_RECORD") != nullptr) {
    std::ofstream(kRecord, std::ios::binary) << hashes;
    GTEST_SKIP() << "record renewed: " << kRecord;
  }
  EXPECT_EQ(hashes, ReadFile(kRecord));
}

// The hash must tell apart inputs that differ in one byte or only in length.
TEST(PackRun, HashSeparatesNearInputs) {
  EXPECT_NE(Hash("abc"), Hash("abd"));
  EXPECT_NE(Hash(""), Hash(std::string(1, '\0')));
  EXPECT_EQ(Hash(""), "cbf29ce484222325");
}

}  // namespace
}  // namespace qv
