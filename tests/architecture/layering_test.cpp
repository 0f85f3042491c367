// The include graph of src/ must run downwards only: a file includes its own layer and the
// layers below it, never one above. src/context.h, the hub holding every subsystem's state, is
// the one file allowed to include them all (and every layer may include it).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace qv {
namespace {

namespace fs = std::filesystem;

struct Layer {
  const char* folder;
  int rank;  // a file may include ranks <= its own
};

// The order of the house, lowest first. Folders of equal rank may include each other.
constexpr Layer kLayers[] = {
    // The machine: window, render device, audio device, clock, files; SDL and headless back ends.
    {"platform", 0},
    // Log, message box front, errors, JSON writer, random generator, text helpers, constants.
    {"base", 1},
    // Images, sprite prototypes, atlases, multisprites, the draw list and the sprite engine.
    {"sprites", 2},
    // Maps, the tag registry and sprite text.
    {"scene", 3},
    // Music and sounds over the audio device.
    {"audio", 4},
    // Window host, frame loop and options; reaches the scenes only through the scene table.
    {"shell", 5},
    // The scenes and the loading screen in front of the menu.
    {"game", 6},
    {"menu", 6},
    {"loading", 6},
    // The run harness: message loop, script, state dump, command line, game folder.
    {"harness", 7},
    // The composition root and main: chooses what fills each seam.
    {"app", 8},
};

constexpr const char* kHub = "context.h";

struct Include {
  std::string file;    // path under src/, e.g. "shell/frame.cpp"
  std::string target;  // as written between the quotes
};

std::optional<int> RankOf(const std::string& path) {
  const std::string folder = path.substr(0, path.find('/'));
  for (const Layer& layer : kLayers) {
    if (folder == layer.folder) return layer.rank;
  }
  return std::nullopt;
}

// One message per include that breaks the order; empty when the graph is sound.
std::vector<std::string> Violations(const std::vector<Include>& includes) {
  std::vector<std::string> out;
  for (const Include& inc : includes) {
    if (inc.file == kHub || inc.target == kHub) continue;
    const std::optional<int> from = RankOf(inc.file);
    if (!from) {
      out.push_back(inc.file + ": in no layer");
      continue;
    }
    // Includes that name no src/ folder (a sibling header of a test support file) are not ours.
    if (inc.target.find('/') == std::string::npos) continue;
    const std::optional<int> to = RankOf(inc.target);
    if (!to) {
      out.push_back(inc.file + " includes " + inc.target + ": in no layer");
    } else if (*to > *from) {
      out.push_back(inc.file + " includes " + inc.target + " from a layer above");
    }
  }
  return out;
}

std::vector<Include> ReadIncludes(const fs::path& root) {
  static const std::regex kLine(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<Include> out;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    const std::string file = fs::relative(entry.path(), root).generic_string();
    std::ifstream in(entry.path());
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
      if (std::regex_search(line, m, kLine)) out.push_back({file, m[1].str()});
    }
  }
  return out;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& line : lines) s += line + "\n";
  return s;
}

TEST(Layering, AcceptsDownwardSiblingAndHubIncludes) {
  EXPECT_EQ(Join(Violations({
                {"shell/frame.cpp", "base/log.h"},
                {"shell/frame.cpp", "platform/clock.h"},
                {"shell/frame.cpp", "shell/frame.h"},
                {"menu/menu.cpp", "loading/loading.h"},
                {"sprites/atlas.cpp", "context.h"},
                {"context.h", "game/game_state.h"},
                {"app/main.cpp", "harness/runner.h"},
                {"platform/sdl/keys.cpp", "platform/sdl/keys.h"},
            })),
            "");
}

TEST(Layering, RejectsUpwardIncludesAndFilesOutsideTheLayers) {
  const std::vector<std::string> found = Violations({
      {"sprites/atlas.cpp", "shell/options.h"},
      {"shell/frame.cpp", "game/field.h"},
      {"base/log.cpp", "sprites/image.h"},
      {"harness/runner.cpp", "app/subsystem_hooks.h"},
      {"widgets/button.cpp", "base/log.h"},
      {"game/field.cpp", "widgets/button.h"},
      {"stray.h", "base/log.h"},
  });
  EXPECT_EQ(Join(found),
            "sprites/atlas.cpp includes shell/options.h from a layer above\n"
            "shell/frame.cpp includes game/field.h from a layer above\n"
            "base/log.cpp includes sprites/image.h from a layer above\n"
            "harness/runner.cpp includes app/subsystem_hooks.h from a layer above\n"
            "widgets/button.cpp: in no layer\n"
            "game/field.cpp includes widgets/button.h: in no layer\n"
            "stray.h: in no layer\n");
}

TEST(Layering, SourceTreeIncludesOnlyDownwards) {
  const std::vector<Include> includes = ReadIncludes(QUORVEX_SOURCE_DIR);
  // A wrong path would make this pass on nothing.
  ASSERT_GT(includes.size(), 200u);
  EXPECT_EQ(Join(Violations(includes)), "");
}

TEST(Layering, OnlyTheSdlBackEndAndMainIncludeSdl) {
  static const std::regex kSdl(R"(^\s*#\s*include\s*<SDL)");
  const fs::path root = QUORVEX_SOURCE_DIR;
  std::vector<std::string> offenders;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string file = fs::relative(entry.path(), root).generic_string();
    if (file.rfind("platform/sdl/", 0) == 0 || file == "app/main.cpp") continue;
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      if (std::regex_search(line, kSdl)) offenders.push_back(file);
    }
  }
  EXPECT_EQ(Join(offenders), "");
}

}  // namespace
}  // namespace qv
