// The pack read by the game's own loaders: sprite definitions, maps and text layouts load
// without an error box or a missing-file log line, and the objects the code looks up exist.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>

#include "common/recording_boxes.h"
#include "context.h"
#include "pack_files.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"

namespace qv::pack_check {
namespace {

namespace fs = std::filesystem;

// A screen rectangle, right and bottom exclusive.
struct Box {
  double left, top, right, bottom;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
}

bool Inside(const Box& in, const Box& out) {
  return in.left >= out.left && in.top >= out.top && in.right <= out.right &&
         in.bottom <= out.bottom;
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// What the shown parts of an object cover on the screen.
Box Covered(const SpriteWorld& ctx, const TMultiSprite& m) {
  Box box{1e9, 1e9, -1e9, -1e9};
  for (const auto& part : m.parts) {
    if (!part->visible || part->texture_index < 0) continue;
    const my_bmptexture& t = ctx.sprites.textures[static_cast<size_t>(part->texture_index)];
    const double sx = m.scale_x * part->scale_x, sy = m.scale_y * part->scale_y;
    const double left = m.x + sx * part->offset_x, top = m.y + sy * part->offset_y;
    box.left = std::min(box.left, left);
    box.top = std::min(box.top, top);
    box.right = std::max(box.right, left + sx * t.frame_width);
    box.bottom = std::max(box.bottom, top + sy * t.frame_height);
  }
  return box;
}

// A copy of the pack as the game folder (the loaders read relative to the working directory,
// and the log is written there).
class PackEngine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("qv_pack_engine_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::copy(PackRoot(), dir_, fs::copy_options::recursive);
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void SetUp() override {
    old_ = fs::current_path();
    fs::current_path(dir_);
    fs::remove("log.txt");
    ctx_ = std::make_unique<Context>();
    ctx_->platform.messages = &boxes_;
    ctx_->options.log_enabled = true;
  }
  void TearDown() override {
    ctx_.reset();
    fs::current_path(old_);
  }
  std::string Log() const {
    std::ifstream in("log.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void ExpectClean(const std::string& what) {
    for (const auto& b : boxes_.boxes)
      ADD_FAILURE() << what << ": box " << b.caption << ": " << b.text;
    boxes_.boxes.clear();
    const std::string log = Log();
    size_t pos = 0;
    while ((pos = log.find("ERROR", pos)) != std::string::npos) {
      const size_t end = log.find('\n', pos);
      ADD_FAILURE() << what << ": " << log.substr(pos, end - pos);
      pos = end;
    }
    fs::remove("log.txt");
  }
  std::vector<TMultiSprite*> Tagged(const std::string& tag) const {
    std::vector<TMultiSprite*> out;
    for (int i = 0; i < MultiSpriteCount(*ctx_); ++i) {
      TMultiSprite* s = MultiSpriteAt(*ctx_, i);
      if (s != nullptr && s->tag == tag) out.push_back(s);
    }
    return out;
  }

  static fs::path dir_;
  fs::path old_;
  test::RecordingBoxes boxes_;
  std::unique_ptr<Context> ctx_;
};
fs::path PackEngine::dir_;

TEST_F(PackEngine, EverySpriteDefinitionLoadsCleanly) {
  for (const std::string& path : FilesWith(".spr")) {
    const int index = LoadPrototype(*ctx_, path);
    ASSERT_GE(index, 0) << path;
    const my_prototype& p = ctx_->sprites.prototypes[static_cast<size_t>(index)];
    EXPECT_FALSE(p.name.empty()) << path;
    EXPECT_FALSE(p.parts.empty()) << path;
    for (const auto& part : p.parts) EXPECT_GE(part.frame_count, 1) << path;
    ASSERT_NE(Log().find("index="), std::string::npos)
        << "the loader's log is what this check reads";
    ExpectClean(path);
  }
}

TEST_F(PackEngine, LoadListsLoadCleanly) {
  for (const std::string list : {"loading.msl", "main.msl"}) {
    for (const std::string& entry : Counted(list)) {
      EXPECT_GE(GetPrototype(*ctx_, entry), 0) << entry;
      EXPECT_GE(FindPrototype(*ctx_, entry), 0) << entry << " is not found again by its name";
    }
    ExpectClean(list);
  }
}

TEST_F(PackEngine, MapsBuildEveryObjectAndTheCodeFindsWhatItLooksUp) {
  struct Lookup {
    std::string map, name;
    int count;
  };
  const std::vector<Lookup> lookups = {{"main.map", "normal_panel", 1},
                                       {"main.map", "panel_menu_mini", 1},
                                       {"main.map", "net_left", 1},
                                       {"main.map", "net_right", 1},
                                       {"main.map", "poloska_ballsdown", 1},
                                       {"main.map", "canon1", 1},
                                       {"main.map", "canon2", 1},
                                       {"main.map", "tablo_level", 1},
                                       {"main.map", "tablo_scores", 1},
                                       {"main.map", "tablo_line", 2},
                                       {"main.map", "laser", 1},
                                       {"main.map", "dragon_blue", 1},
                                       {"main.map", "dragon_green", 1},
                                       {"main.map", "poloska_bonus", 6},
                                       {"game_over.map", "panel_ok", 1},
                                       {"exit_to_menu.map", "panel_yes", 1},
                                       {"exit_to_menu.map", "panel_no", 1},
                                       {"game_stat.map", "panel_ok", 1},
                                       {"game_stat.map", "panel_menu", 1},
                                       {"game_stat.map", "stat_poloska", 1},
                                       {"try_again.map", "panel_ok", 1},
                                       {"try_again.map", "panel_menu", 1},
                                       {"try_again_puzzle.map", "panel_later", 1},
                                       {"menu.map", "menu_panel", 1},
                                       {"menu_buttons_mainmenu.map", "movepart", 5},
                                       {"menu_buttons_select_game_type.map", "movepart", 4},
                                       {"menu_buttons_music_sound_fullscreen.map", "movepart", 5},
                                       {"menu_help.map", "ball3_mini", 3},
                                       {"menu_help.map", "ball4_mini", 2},
                                       {"menu_help.map", "canon2_mini", 1},
                                       {"menu_help.map", "multiball", 1},
                                       {"menu_scores.map", "button_ok_mini", 1},
                                       {"input_player_name.map", "rename_cursor", 1},
                                       {"select_player.map", "scroller_bar", 1},
                                       {"select_player.map", "marker", 1},
                                       {"game_message.map", "checkbox", 1},
                                       {"continue_last_game.map", "panel_yes", 1},
                                       {"exit_to_windows.map", "panel_no", 1},
                                       {"name_confirm.map", "panel_yes", 1},
                                       {"name_message.map", "panel_ok", 1}};
  for (const std::string& map : FilesWith(".map")) {
    const std::string tag = map.substr(0, map.size() - 4);
    const int made = load_location_map(*ctx_, map);
    const auto lines = Lines(Read(map));
    const int n = std::stoi(lines.at(0));
    EXPECT_EQ(made, std::stoi(lines.at(static_cast<size_t>(1 + n)))) << map;
    for (TMultiSprite* s : Tagged(tag)) EXPECT_FALSE(s->parts.empty()) << map << ": " << s->name;
    ExpectClean(map);
  }
  for (const Lookup& l : lookups) {
    const std::string tag = l.map.substr(0, l.map.size() - 4);
    for (int k = 0; k < l.count; ++k)
      EXPECT_GE(FindObject(*ctx_, l.name, k, tag), 0) << l.map << " " << l.name;
    EXPECT_EQ(FindObject(*ctx_, l.name, l.count, tag), -1) << l.map << " has too many " << l.name;
  }
}

TEST_F(PackEngine, EveryTextLaysOutWithTheCodesParameters) {
  const std::map<std::string, std::string> params = {
      {"text\\stat_with_bonus.txt", "29,99999"},
      {"text\\stat_with_best_shot.txt", "29,99999,9999"},
      {"text\\best_combo.txt", "NONE"},
      {"text\\try_again.txt", "25"},
      {"text\\continue_game_after_loss.txt", "25"}};
  for (const std::string& file : FilesWith(".txt")) {
    if (file == "options.txt" || file == "text\\combo.txt") continue;
    const auto it = params.find(file);
    ShowTextFile(*ctx_, file, "check", it == params.end() ? "" : it->second);
    const auto glyphs = Tagged("check");
    EXPECT_FALSE(glyphs.empty()) << file;
    for (TMultiSprite* g : glyphs) {
      EXPECT_GE(g->x, 0) << file;
      EXPECT_LE(g->x + g->scale_x * 24, 800) << file;
      EXPECT_GE(g->y, 0) << file;
      EXPECT_LE(g->y + g->scale_y * 32, 600) << file;
    }
    unload_by_tag(*ctx_, "check");
    ExpectClean(file);
  }
  // The score digits: the digit's frame is its value.
  for (int d = 0; d < 10; ++d) {
    const double w = create_txt(*ctx_, std::to_string(d), -1, "graphics\\fonts\\font_crystal1.spr",
                                1, "digit", -1, 1.0, 164, 674);
    EXPECT_LE(w, 15) << d;
    const auto g = Tagged("digit");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(static_cast<int>(g[0]->parts[0]->anim_pos), d);
    unload_by_tag(*ctx_, "digit");
  }
  ExpectClean("digits");
}

// The help pages' lines, as the game lays them out with the pack's fonts, stay on the page's
// panel, below the page number and its arrows, and clear of the page's pictures.
TEST_F(PackEngine, HelpTextStaysOnItsPanelAndOffThePictures) {
  load_location_map(*ctx_, "menu_help.map");
  const auto object = [&](const char* name, int nth) {
    const TMultiSprite* m = MultiSpriteAt(*ctx_, FindObject(*ctx_, name, nth, "menu_help"));
    EXPECT_NE(m, nullptr) << name;
    return m ? Covered(*ctx_, *m) : Box{0, 0, 0, 0};
  };
  const Box panel = object("help_backdrop", 0);
  const double below_arrows =
      std::max(object("repair_left", 0).bottom, object("repair_right", 0).bottom);
  struct Page {
    std::string file;
    std::vector<std::string> pictures;
  };
  const Page pages[] = {
      {"text\\help_page1.txt",
       {"ball2_mini", "ball3_mini", "ball4_mini", "scores_poloska_vert", "canon2_mini"}},
      {"text\\help_page2.txt",
       {"ball1", "ball2", "ball3", "ball4", "ball5", "ball6", "ball7", "bomb1", "bomb2",
        "multiball"}}};
  for (const Page& page : pages) {
    // A glyph's frame gives its width through the metrics of its font.
    std::map<std::string, std::map<int, int>> widths;
    for (const std::string& line : Counted(page.file)) {
      if (line.rfind("font=", 0) != 0) continue;
      const std::string font = line.substr(5);
      const Expected<FontMetrics> m = LoadMetrics(font);
      ASSERT_TRUE(m) << font;
      const std::string base = font.substr(font.rfind('\\') + 1);
      for (int c = 0; c < 256; ++c) {
        if (m->width[static_cast<size_t>(c)] >= 0)
          widths[base.substr(0, base.size() - 4)][m->frame[static_cast<size_t>(c)]] =
              m->width[static_cast<size_t>(c)];
      }
    }
    std::vector<Box> pictures;
    for (const std::string& name : page.pictures) {
      for (int k = 0; FindObject(*ctx_, name, k, "menu_help") >= 0; ++k)
        pictures.push_back(object(name.c_str(), k));
    }
    ShowTextFile(*ctx_, page.file, "check", "");
    const auto glyphs = Tagged("check");
    ASSERT_FALSE(glyphs.empty()) << page.file;
    for (const TMultiSprite* g : glyphs) {
      const std::string& font =
          ctx_->sprites.prototypes[static_cast<size_t>(g->prototype_index)].name;
      const auto w = widths[font].find(static_cast<int>(g->parts[0]->anim_pos));
      ASSERT_NE(w, widths[font].end()) << page.file << ": a glyph of " << font;
      const Box glyph = {g->x, g->y, g->x + g->scale_x * w->second, Covered(*ctx_, *g).bottom};
      EXPECT_TRUE(Inside(glyph, panel))
          << page.file << ": glyph " << glyph << " off the panel " << panel;
      EXPECT_GE(glyph.top, below_arrows) << page.file << ": glyph " << glyph;
      for (const Box& p : pictures)
        EXPECT_FALSE(Overlap(glyph, p))
            << page.file << ": glyph " << glyph << " on a picture " << p;
    }
    unload_by_tag(*ctx_, "check");
  }
  ExpectClean("help pages");
}

}  // namespace
}  // namespace qv::pack_check
