// End to end: the quorvex binary, headless, from launch through the logo and the loading screen
// on a small pack made here; state dumps and screenshots every 10 ticks.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/dump_number.h"
#include "sprites/image.h"
#include "support/small_pack.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using testing_support::GameDir;

constexpr int kLastTick = 400;

int RunQuorvex(const fs::path& game, const std::string& script) {
  const fs::path script_path = game / "run.txt";
  std::ofstream(script_path) << script;
  const std::string command =
      std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --headless --dir \"" + game.string() +
      "\" --seed 3 --ticks " + std::to_string(kLastTick + 1) + " --script \"" +
      script_path.string() + "\" >/dev/null 2>\"" + (game / "stderr.txt").string() + "\"";
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

using test::Number;

struct Shot {
  Image image;
  std::uint32_t At(int x, int y) const {
    return image.argb[static_cast<std::size_t>(y * image.width + x)] & 0xFFFFFF;
  }
};

Shot LoadShot(const GameDir& dir, int tick) {
  const std::string bytes = dir.Read("shot" + std::to_string(tick) + ".png");
  DecodeResult r =
      DecodePng(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  EXPECT_TRUE(r.ok()) << "tick " << tick << ": " << r.error;
  return Shot{std::move(r.image)};
}

TEST(LoadingRun, LogoThenProgressBarThenMenuMusic) {
  GameDir dir;
  testing_support::WriteSmallPack(dir, testing_support::SmallPackOptions{true, 60});
  std::string script;
  for (int t = 0; t <= kLastTick; t += 10) {
    script += std::to_string(t) + " state state" + std::to_string(t) + ".json\n";
    script += std::to_string(t) + " screenshot shot" + std::to_string(t) + ".png\n";
  }
  ASSERT_EQ(RunQuorvex(dir.path(), script), 0) << dir.Read("stderr.txt");
  EXPECT_EQ(dir.Read("stderr.txt"), "");

  int previous_phase = 1;
  int last_logo_tick = -1, loading_tick = -1, done_tick = -1;
  bool menu_music = false;
  for (int t = 0; t <= kLastTick; t += 10) {
    const std::string s = dir.Read("state" + std::to_string(t) + ".json");
    ASSERT_FALSE(s.empty()) << t;
    const auto phase = static_cast<int>(Number(s, "loading", "logo_phase"));
    const auto index = Number(s, "loading", "load_index");
    const auto entries = Number(s, "loading", "entries");
    EXPECT_EQ(entries, 62);
    // Phases run 1, 2, 3, 4 and end at -1; nothing loads before the logo is done.
    if (previous_phase != -1) {
      EXPECT_TRUE(phase == -1 || phase >= previous_phase) << t;
    } else {
      EXPECT_EQ(phase, -1) << t;
    }
    previous_phase = phase;
    if (phase != -1) {
      EXPECT_EQ(index, 0) << t;
      last_logo_tick = t;
    } else if (index > 0 && index < entries && loading_tick < 0) {
      loading_tick = t;
    }
    if (index == entries && done_tick < 0) done_tick = t;
    if (s.find("\"music_current\":\"music_menu\"") != std::string::npos) menu_music = true;
  }
  ASSERT_GE(last_logo_tick, 70) << "the bubbles alone take 38 steps";
  ASSERT_GT(loading_tick, last_logo_tick);
  ASSERT_GT(done_tick, loading_tick);
  EXPECT_TRUE(menu_music);
  const std::string end = dir.Read("state" + std::to_string(kLastTick) + ".json");
  EXPECT_NE(end.find("\"music_level\":1"), std::string::npos) << end;
  EXPECT_EQ(Number(end, "audio", "music_task"), 0);

  // Pictures: the bubbles close in on the logo, the bar fills, then only the backdrop stays.
  const Shot early = LoadShot(dir, 10);
  EXPECT_EQ(early.At(5, 5), 0x102040u) << "menu backdrop";
  EXPECT_EQ(early.At(300, 345), 0x808080u) << "the trough while the bar is empty";

  const Shot loading = LoadShot(dir, loading_tick);
  const std::string ls = dir.Read("state" + std::to_string(loading_tick) + ".json");
  const auto index = Number(ls, "loading", "load_index");
  const int p = static_cast<int>(std::nearbyint(static_cast<double>(index - 1) / 61 * 460));
  EXPECT_EQ(loading.At(171, 335), p >= 12 ? 0xFFE020u : 0x808080u) << "p=" << p;
  EXPECT_EQ(loading.At(170 + p + 3, 340), 0x808080u) << "beyond the bar's end, p=" << p;

  const Shot after = LoadShot(dir, kLastTick);
  EXPECT_EQ(after.At(300, 345), 0x102040u) << "trough and bar are gone";
  EXPECT_EQ(after.At(400, 140), 0x102040u) << "the logo is gone";

  const std::string log = dir.Read("log.txt");
  for (const char* line :
       {"BASS_Init", "StartSceneMenu", "unload_by_tag(\"scroll_element\"), unloaded: 39",
        "unload_by_tag(\"zast\"), unloaded: 5"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
  // Keep the pictures for a look when asked.
  if (const char* keep = std::getenv("QUORVEX_KEEP_SHOTS")) {
    fs::create_directories(keep);
    for (int t = 0; t <= kLastTick; t += 10) {
      const std::string name = "shot" + std::to_string(t) + ".png";
      fs::copy_file(dir.path() / name, fs::path(keep) / name, fs::copy_options::overwrite_existing);
    }
  }
}

TEST(LoadingRun, BrokenPackStillReachesTheMenu) {
  GameDir dir;
  testing_support::WriteSmallPack(dir, testing_support::SmallPackOptions{false, 3});
  // Broken pieces: a list file missing, a logo picture missing, a corrupt sound.
  fs::remove(dir.path() / "main.msl");
  fs::remove(dir.path() / "graphics" / "logo set" / "bubble_top.spr");
  dir.Write("sounds\\hit.wav", "not a sound");
  ASSERT_EQ(RunQuorvex(dir.path(), "300 state end.json\n"), 0);
  EXPECT_NE(dir.Read("stderr.txt").find("\"main.msl\": File not found"), std::string::npos);
  const std::string end = dir.Read("end.json");
  EXPECT_EQ(Number(end, "loading", "logo_phase"), -1);
  EXPECT_EQ(Number(end, "loading", "entries"), 2);
  EXPECT_EQ(Number(end, "loading", "load_index"), 2);
  EXPECT_EQ(Number(end, "audio", "silent_entries"), 1);
  EXPECT_NE(end.find("\"music_current\":\"music_menu\""), std::string::npos);
}

// The generated content pack: the logo finishes, every entry loads, every sound loads, and the
// menu music plays at full level.
TEST(LoadingRun, ContentPackLoadsCompletely) {
  const fs::path pack = fs::path(QUORVEX_BINARY_DIR) / "pack";
  if (!fs::exists(pack / "loading.msl")) GTEST_SKIP() << "no content pack built";
  GameDir dir;
  const std::string command =
      std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --headless --pack \"" + pack.string() +
      "\" --dir \"" + dir.path().string() + "\" --seed 1 --ticks 400 --script \"" +
      (dir.path() / "run.txt").string() + "\" 2>\"" + (dir.path() / "stderr.txt").string() + "\"";
  std::ofstream(dir.path() / "run.txt") << "40 state mid.json\n399 state end.json\n";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << dir.Read("stderr.txt");
  EXPECT_EQ(dir.Read("stderr.txt"), "");
  const std::string mid = dir.Read("mid.json");
  EXPECT_NE(Number(mid, "loading", "logo_phase"), -1) << "the bubbles alone take 0.76 s";
  const std::string end = dir.Read("end.json");
  EXPECT_EQ(Number(end, "loading", "logo_phase"), -1);
  const long long entries = Number(end, "loading", "entries");
  EXPECT_GT(entries, 100);
  EXPECT_EQ(Number(end, "loading", "load_index"), entries);
  EXPECT_EQ(Number(end, "audio", "entries"), 38);
  EXPECT_EQ(Number(end, "audio", "silent_entries"), 0);
  EXPECT_NE(end.find("\"music_current\":\"music_menu\""), std::string::npos);
  EXPECT_NE(end.find("\"music_level\":1,"), std::string::npos);
  EXPECT_NE(end.find("\"name\":\"mouse_cursor\""), std::string::npos);
}

}  // namespace
}  // namespace qv
