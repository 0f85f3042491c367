// The include graph of src/ must run downwards only: a file includes its own layer and the
// layers below it, never one above. src/context.h, the hub holding every subsystem's state, is
// the one file allowed to include them all; it sits at the shell's level, so only the shell and
// the layers above may include it. Includes are not the only way up: a forward declaration and a
// member access reach a layer's state too, so the names a file uses are checked as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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
constexpr int kHubRank = 5;  // the shell's

// The world each layer works in and the states above it: naming one from a lower layer (even
// through a forward declaration) or reaching a member of it is reaching up.
struct OwnedName {
  const char* pattern;  // a regular expression over a line without its comment
  const char* folder;   // the owner; its siblings of equal rank may not name it either
  int rank;
};
constexpr OwnedName kOwnedNames[] = {
    {R"(\bSpriteWorld\b)", "sprites", 2},
    {R"(\bSceneWorld\b)", "scene", 3},
    {R"(\bAudioWorld\b)", "audio", 4},
    {R"(\bContext\b)", "shell", kHubRank},
    {R"(\bShellState\b|(\.|->)shell\.)", "shell", 5},
    {R"(\bGameState\b|(\.|->)game\.)", "game", 6},
    {R"(\bMenuState\b|(\.|->)menu\.)", "menu", 6},
    {R"(\bLoadingState\b|(\.|->)loading\.)", "loading", 6},
};

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
    if (inc.file == kHub) continue;
    const std::optional<int> from = RankOf(inc.file);
    if (!from) {
      out.push_back(inc.file + ": in no layer");
      continue;
    }
    if (inc.target == kHub) {
      if (*from < kHubRank) out.push_back(inc.file + " includes the hub " + kHub + " from below it");
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

struct SourceLine {
  std::string file;  // path under src/
  int number;
  std::string text;
};

// One message per line of a lower layer that names a higher layer's world or state.
std::vector<std::string> ReachViolations(const std::vector<SourceLine>& lines) {
  static const std::regex kComment(R"(//.*$)");
  static const std::regex kString(R"("(\\.|[^"\\])*")");
  static const std::vector<std::regex> kPatterns = [] {
    std::vector<std::regex> v;
    for (const OwnedName& name : kOwnedNames) v.emplace_back(name.pattern);
    return v;
  }();
  std::vector<std::string> out;
  for (const SourceLine& line : lines) {
    if (line.file == kHub) continue;
    const std::optional<int> from = RankOf(line.file);
    if (!from) continue;  // reported by the include check
    const std::string folder = line.file.substr(0, line.file.find('/'));
    const std::string code =
        std::regex_replace(std::regex_replace(line.text, kComment, ""), kString, "\"\"");
    for (std::size_t i = 0; i < std::size(kOwnedNames); ++i) {
      const OwnedName& name = kOwnedNames[i];
      const bool above = name.rank > *from;
      const bool sibling = name.rank == *from && folder != name.folder && *from == 6;
      if (!above && !sibling) continue;
      if (!std::regex_search(code, kPatterns[i])) continue;
      out.push_back(line.file + ":" + std::to_string(line.number) + " reaches " + name.folder +
                    (above ? " from below" : " from a sibling") + ": " + line.text);
    }
  }
  return out;
}

std::vector<SourceLine> ReadLines(const fs::path& root) {
  std::vector<SourceLine> out;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    const std::string file = fs::relative(entry.path(), root).generic_string();
    std::ifstream in(entry.path());
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) out.push_back({file, number, text});
  }
  return out;
}

std::vector<Include> ReadIncludes(const fs::path& root) {
  static const std::regex kLine(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<Include> out;
  std::smatch m;
  for (const SourceLine& line : ReadLines(root)) {
    if (std::regex_search(line.text, m, kLine)) out.push_back({line.file, m[1].str()});
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
                {"game/field.cpp", "context.h"},
                {"context.h", "game/game_state.h"},
                {"app/main.cpp", "harness/runner.h"},
                {"platform/sdl/keys.cpp", "platform/sdl/keys.h"},
            })),
            "");
}

TEST(Layering, RejectsUpwardIncludesAndFilesOutsideTheLayers) {
  const std::vector<std::string> found = Violations({
      {"sprites/atlas.cpp", "shell/options_file.h"},
      {"shell/frame.cpp", "game/field.h"},
      {"base/log.cpp", "sprites/image.h"},
      {"harness/runner.cpp", "app/subsystem_hooks.h"},
      {"widgets/button.cpp", "base/log.h"},
      {"game/field.cpp", "widgets/button.h"},
      {"stray.h", "base/log.h"},
      {"sprites/atlas.cpp", "context.h"},
  });
  EXPECT_EQ(Join(found),
            "sprites/atlas.cpp includes shell/options_file.h from a layer above\n"
            "shell/frame.cpp includes game/field.h from a layer above\n"
            "base/log.cpp includes sprites/image.h from a layer above\n"
            "harness/runner.cpp includes app/subsystem_hooks.h from a layer above\n"
            "widgets/button.cpp: in no layer\n"
            "game/field.cpp includes widgets/button.h: in no layer\n"
            "stray.h: in no layer\n"
            "sprites/atlas.cpp includes the hub context.h from below it\n");
}

TEST(Layering, LowerLayersNameNoWorldOrStateAboveThem) {
  const std::vector<std::string> found = ReachViolations({
      {"base/log.cpp", 3, "void WriteLog(BaseWorld& ctx);"},
      {"scene/text.cpp", 4, "void Draw(SceneWorld& w, SpriteWorld& s);"},
      {"audio/audio.cpp", 5, "  if (ctx.clocks.app_active) {  // not ctx.shell.app_active"},
      {"shell/frame.cpp", 6, "  ctx.shell.flow.scene = target;"},
      {"game/hud.cpp", 7, "  ctx.game.play.score = 0;"},
      {"base/log.cpp", 10, "struct Context;"},
      {"sprites/atlas.cpp", 11, "  if (ctx.shell.loop.rasterize) {"},
      {"scene/text.cpp", 12, "void Draw(AudioWorld& w);"},
      {"audio/audio.cpp", 13, "  const GameState& g = ctx.game;"},
      {"menu/menu_scores_page.cpp", 14, "  ctx.game.play.end_phase = EndPhase::Menu;"},
      {"loading/loading.cpp", 15, "  MenuState& menu = ctx.menu;"},
  });
  EXPECT_EQ(Join(found),
            "base/log.cpp:10 reaches shell from below: struct Context;\n"
            "sprites/atlas.cpp:11 reaches shell from below:   if (ctx.shell.loop.rasterize) {\n"
            "scene/text.cpp:12 reaches audio from below: void Draw(AudioWorld& w);\n"
            "audio/audio.cpp:13 reaches game from below:   const GameState& g = ctx.game;\n"
            "menu/menu_scores_page.cpp:14 reaches game from a sibling:   ctx.game.play.end_phase "
            "= EndPhase::Menu;\n"
            "loading/loading.cpp:15 reaches menu from a sibling:   MenuState& menu = ctx.menu;\n");
}

TEST(Layering, SourceTreeIncludesOnlyDownwards) {
  const std::vector<Include> includes = ReadIncludes(QUORVEX_SOURCE_DIR);
  // A wrong path would make this pass on nothing.
  ASSERT_GT(includes.size(), 200u);
  EXPECT_EQ(Join(Violations(includes)), "");
}

TEST(Layering, SourceTreeReachesOnlyDownwards) {
  const std::vector<SourceLine> lines = ReadLines(QUORVEX_SOURCE_DIR);
  ASSERT_GT(lines.size(), 10000u);
  EXPECT_EQ(Join(ReachViolations(lines)), "");
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
