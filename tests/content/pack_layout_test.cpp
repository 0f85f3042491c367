// The pack's files: the fixed checklist, list files, options, combo table, names and images.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "base/options.h"
#include "base/sample_names.h"
#include "pack_files.h"
#include "spr_info.h"

namespace qv::pack_check {
namespace {

const char* const kTopLevel[] = {"options.txt",
                                 "loading.msl",
                                 "main.msl",
                                 "music.ini",
                                 "sound.ini",
                                 "continue_last_game.map",
                                 "exit_to_menu.map",
                                 "exit_to_windows.map",
                                 "game_message.map",
                                 "game_over.map",
                                 "game_stat.map",
                                 "input_player_name.map",
                                 "input_player_name_back.map",
                                 "main.map",
                                 "menu.map",
                                 "menu_buttons_mainmenu.map",
                                 "menu_buttons_music_sound_fullscreen.map",
                                 "menu_buttons_select_game_type.map",
                                 "menu_help.map",
                                 "menu_scores.map",
                                 "name_confirm.map",
                                 "name_message.map",
                                 "select_player.map",
                                 "try_again.map",
                                 "try_again_puzzle.map"};

const char* const kTexts[] = {"combo",
                              "best_combo",
                              "choose_game_type",
                              "choose_player",
                              "congratulations",
                              "continue_game",
                              "continue_game_after_loss",
                              "create_player1",
                              "create_player2",
                              "delete_player",
                              "exit_to_menu",
                              "exit_to_windows",
                              "game_comment_arcade",
                              "game_comment_challenge",
                              "game_comment_puzzle",
                              "game_message_arcade",
                              "game_message_challenge",
                              "game_message_puzzle",
                              "game_options",
                              "game_over",
                              "game_title_arcade",
                              "game_title_challenge",
                              "game_title_menu",
                              "game_title_options",
                              "game_title_puzzle",
                              "game_title_scores",
                              "game_title_start",
                              "help_page1",
                              "help_page2",
                              "help_title",
                              "menu_text_button1",
                              "menu_text_button2",
                              "name_already_exists",
                              "please_enter_name",
                              "rename_player",
                              "scores_title_arcade",
                              "scores_title_challenge",
                              "scores_title_footer",
                              "scores_title_puzzle",
                              "stat_title",
                              "stat_with_best_shot",
                              "stat_with_bonus",
                              "try_again",
                              "try_again_puzzle",
                              "your_name"};

// Sprite definitions the program opens by path.
const char* const kFixedSprites[] = {"graphics\\additional\\planka1.spr",
                                     "graphics\\balls\\ball0\\ball0.spr",
                                     "graphics\\balls\\big_bomb\\bomb2.spr",
                                     "graphics\\balls\\bomb\\bomb1.spr",
                                     "graphics\\balls\\crystals\\crystal1.spr",
                                     "graphics\\balls\\lands\\land1.spr",
                                     "graphics\\balls\\multiball\\multiball.spr",
                                     "graphics\\bonuses\\target.spr",
                                     "graphics\\crystals\\crystal1.spr",
                                     "graphics\\cursors\\mouse_cursor.spr",
                                     "graphics\\elements_gamezone\\dark_panel.spr",
                                     "graphics\\elements_gamezone\\loading_element_polosa.spr",
                                     "graphics\\elements_gamezone\\menu_panel.spr",
                                     "graphics\\elements_gamezone\\poloska.spr",
                                     "graphics\\elements_gamezone\\poloska_over.spr",
                                     "graphics\\elements_gamezone\\space_background.spr",
                                     "graphics\\fonts\\font_crystal1.spr",
                                     "graphics\\fonts\\font_crystal1.pos",
                                     "graphics\\fonts\\font_taurus1.spr",
                                     "graphics\\fonts\\font_taurus1.pos",
                                     "graphics\\fonts\\font_taurus2.spr",
                                     "graphics\\fonts\\font_taurus2.pos",
                                     "graphics\\logo set\\bubble_bottom.spr",
                                     "graphics\\logo set\\bubble_top.spr",
                                     "graphics\\logo set\\earth_flash.spr",
                                     "graphics\\logo set\\earth_traectory.spr",
                                     "graphics\\logo set\\flash_text.spr",
                                     "graphics\\musicsoundfullscreen\\music_sound_poloska.spr",
                                     "graphics\\particles\\line_piece.spr",
                                     "graphics\\particles\\particle1.spr",
                                     "graphics\\particles\\particle2.spr",
                                     "graphics\\particles\\particle3.spr",
                                     "graphics\\rocket\\rocket.spr"};

TEST(PackLayout, EveryFixedPathExists) {
  for (const char* p : kTopLevel) EXPECT_TRUE(Exists(p)) << p;
  for (const char* t : kTexts) EXPECT_TRUE(Exists(std::string("text\\") + t + ".txt")) << t;
  for (const char* p : kFixedSprites) EXPECT_TRUE(Exists(p)) << p;
  for (int n = 1; n <= 7; ++n) {
    const std::string s = std::to_string(n);
    EXPECT_TRUE(Exists("graphics\\balls\\ball" + s + ".spr")) << n;
    EXPECT_TRUE(Exists("graphics\\balls\\ball0\\ball" + s + ".spr")) << n;
    EXPECT_TRUE(Exists("graphics\\balls\\ball" + s + "\\ball" + s + ".spr")) << n;
  }
  // The game writes these; shipping them would override a player's data.
  for (const char* p : {"players.txt", "records.txt", "log.txt"}) EXPECT_FALSE(Exists(p)) << p;
}

TEST(PackLayout, AllTextFilesAreCleanAsciiWithCrLf) {
  for (const std::string ext : {".txt", ".msl", ".ini", ".map", ".spr", ".pos"}) {
    for (const std::string& path : FilesWith(ext)) {
      bool crlf = false;
      const std::string text = Read(path);
      const auto lines = Lines(text, &crlf);
      EXPECT_TRUE(crlf) << path;
      for (const std::string& l : lines) {
        EXPECT_LE(l.size(), 255u) << path;
        EXPECT_TRUE(l.empty() || l.back() != ' ') << path << ": " << l;
        for (unsigned char c : l) EXPECT_TRUE(c >= 32 && c < 127) << path << ": " << l;
      }
      std::string lower = path;
      std::transform(lower.begin(), lower.end(), lower.begin(),
                     [](unsigned char c) { return std::tolower(c); });
      EXPECT_EQ(lower, path);
    }
  }
}

TEST(PackLayout, AudioListsNameEveryEntryTheGameAsksFor) {
  std::map<std::string, std::vector<std::string>> entries;
  for (const std::string list : {"music.ini", "sound.ini"}) {
    for (const std::string& line : Counted(list)) {
      const auto f = Split(line, ',');
      ASSERT_GE(f.size(), 2u) << line;
      ASSERT_NE(line.find(", "), std::string::npos) << line;
      std::vector<std::string> v{Trim(f[1])};
      if (f.size() > 2) v.push_back(Trim(f[2]));
      EXPECT_TRUE(entries.emplace(Trim(f[0]), v).second) << "duplicate " << line;
      EXPECT_TRUE(Exists(Trim(f[1]))) << line;
    }
  }
  int loops = 0;
  for (const char* s : kSampleNames) {
    const auto it = entries.find(std::string("sample_") + s);
    ASSERT_NE(it, entries.end()) << s;
    const std::string ext = it->second[0].substr(it->second[0].rfind('.') + 1);
    EXPECT_EQ(ext, "wav") << s;
    if (it->second.size() > 1) {
      EXPECT_EQ(it->second[1], "loop") << s;
      ++loops;
    }
  }
  EXPECT_EQ(loops, 3);
  for (const char* m : {"music_menu", "music_arcade", "music_puzzle"}) {
    const auto it = entries.find(m);
    ASSERT_NE(it, entries.end()) << m;
    ASSERT_EQ(it->second.size(), 2u) << m;
    EXPECT_EQ(it->second[1], "loop") << m;
  }
  // The alternate start needs a module.
  EXPECT_EQ(entries["music_arcade"][0].substr(entries["music_arcade"][0].rfind('.')), ".xm");
  EXPECT_EQ(entries.size(), 38u);
  for (const auto& [name, v] : entries) {
    if (name.rfind("music_", 0) != 0) EXPECT_EQ(name.rfind("sample_", 0), 0u) << name;
    // The kind of a path is decided by the text after its first ".": no dots in folder names.
    EXPECT_EQ(v[0].find('.'), v[0].rfind('.')) << v[0];
  }
}

TEST(PackLayout, LoadListsNameSpriteDefinitionsOnceEach) {
  const auto loading = Counted("loading.msl");
  ASSERT_EQ(loading.size(), 2u);
  EXPECT_EQ(loading[0], "graphics\\menu\\menu_background.spr");
  EXPECT_EQ(BaseName(loading[1]), "loading_element");
  std::set<std::string> bases;
  for (const std::string& p : loading) bases.insert(BaseName(p));
  const auto main = Counted("main.msl");
  EXPECT_GE(main.size(), 80u);
  for (const std::string& p : main) {
    EXPECT_EQ(p.substr(p.size() - 4), ".spr") << p;
    EXPECT_TRUE(Exists(p)) << p;
    EXPECT_TRUE(bases.insert(BaseName(p)).second) << "base name listed twice: " << p;
    EXPECT_NE(p.rfind("graphics\\logo set\\", 0), 0u) << p;
    EXPECT_EQ(p.find(", "), std::string::npos) << p;
  }
  // Every definition of the pack is either listed or loaded some other way.
  std::set<std::string> expected_missing{"loading_element_polosa", "bubble_top",
                                         "bubble_bottom",          "earth_flash",
                                         "earth_traectory",        "flash_text"};
  for (const std::string& p : FilesWith(".spr")) {
    const std::string b = BaseName(p);
    if (!bases.count(b)) EXPECT_TRUE(expected_missing.count(b)) << "not loaded ahead: " << p;
  }
}

TEST(PackLayout, OptionsHoldTheTuningTheGameNeeds) {
  std::map<std::string, std::string> kv;
  for (const std::string& line : Counted("options.txt")) {
    const size_t eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << line;
    const std::string value = Trim(line.substr(eq + 1));
    EXPECT_FALSE(value.empty()) << line;
    EXPECT_EQ(value.find_first_not_of("0123456789"), std::string::npos) << line;
    kv[Trim(line.substr(0, eq))] = value;
  }
  EXPECT_EQ(kv["move_cnt"], std::to_string(kDefaultMoveCnt)) << "the rate a damaged value falls back to";
  EXPECT_EQ(kv["ball_step"], "16");
  EXPECT_EQ(kv["fullscreen"], "0");
  EXPECT_NE(kv["fps_max"], "0");
  EXPECT_GE(std::stoi(kv["bigbomb_expl_count"]), 1);
  EXPECT_GT(std::stoi(kv["explosion_sound_limit2"]), std::stoi(kv["explosion_sound_limit1"]));
  for (const char* key : {"music_volume", "sound_volume"}) {
    EXPECT_LE(std::stoi(kv[key]), 13);
    EXPECT_GE(std::stoi(kv[key]), 1);
  }
  EXPECT_EQ(kv.size(), 35u);
}

TEST(PackLayout, ComboTableCountsFromTwoWithoutGaps) {
  const auto lines = Lines(Read("text\\combo.txt"));
  ASSERT_GE(lines.size(), 2u);
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto f = Split(lines[i], ',');
    ASSERT_EQ(f.size(), 2u) << lines[i];
    EXPECT_EQ(f[0], std::to_string(i + 2));
    EXPECT_LE(f[1].size(), 14u);
    EXPECT_FALSE(f[1].empty());
  }
}

TEST(PackLayout, BaseNamesAreUniqueOrTheFilesAreEquivalent) {
  std::map<std::string, std::string> first;
  for (const std::string ext : {".spr", ".png"}) {
    for (const std::string& p : FilesWith(ext)) {
      const std::string key = BaseName(p) + ext;
      auto [it, fresh] = first.emplace(key, p);
      if (fresh) continue;
      if (ext == ".png") {
        ADD_FAILURE() << "two images named " << key << ": " << it->second << ", " << p;
        continue;
      }
      // Same-named definitions must resolve to the same images with the same settings.
      const SprInfo a = ReadSpr(it->second), b = ReadSpr(p);
      EXPECT_EQ(a.common, b.common) << p;
      ASSERT_EQ(a.groups.size(), b.groups.size()) << p;
      for (size_t g = 0; g < a.groups.size(); ++g) {
        ASSERT_EQ(a.groups[g].size(), b.groups[g].size()) << p;
        for (size_t k = 0; k < a.groups[g].size(); ++k) {
          EXPECT_EQ(a.groups[g][k].image, b.groups[g][k].image) << p;
          EXPECT_EQ(a.groups[g][k].keys, b.groups[g][k].keys) << p;
        }
      }
    }
  }
}

TEST(PackLayout, ImagesAreEightBitRgbaPngs) {
  for (const std::string& p : FilesWith(".png")) {
    const PngInfo png = ReadPngHeader(p);
    ASSERT_TRUE(png.ok) << p;
    EXPECT_EQ(png.depth, 8) << p;
    EXPECT_EQ(png.colour_type, 6) << p;
    EXPECT_EQ(png.interlace, 0) << p;
  }
}

}  // namespace
}  // namespace qv::pack_check
