// Sprite definitions, fonts, maps and text layouts of the pack, against what the code relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "menu/menu_layout.h"
#include "menu/player_list.h"
#include "menu/volume.h"
#include "pack_files.h"
#include "spr_info.h"

namespace qv::pack_check {
namespace {

const std::string kGz = "graphics\\elements_gamezone\\";

SprInfo Spr(const std::string& path) {
  EXPECT_TRUE(Exists(path)) << path;
  return ReadSpr(path);
}

std::vector<size_t> GroupSizes(const SprInfo& s) {
  std::vector<size_t> out;
  for (const auto& g : s.groups) out.push_back(g.size());
  return out;
}

void ExpectFrame(const SprPart& p, int w, int h, const std::string& what) {
  const PngInfo png = ReadPngHeader(p.image);
  EXPECT_EQ(p.Int("frame_width", png.width), w) << what;
  EXPECT_EQ(p.Int("frame_height", png.height), h) << what;
}

TEST(PackSprites, EveryDefinitionReadsCleanly) {
  const std::set<int> sizes{8, 16, 32, 64, 128, 256};
  for (const std::string& path : FilesWith(".spr")) {
    const SprInfo s = ReadSpr(path);
    EXPECT_TRUE(s.crlf) << path;
    EXPECT_TRUE(s.unknown_keys.empty())
        << path << ": " << (s.unknown_keys.empty() ? "" : s.unknown_keys[0]);
    EXPECT_TRUE(s.faults.empty()) << path << ": " << (s.faults.empty() ? "" : s.faults[0]);
    EXPECT_FALSE(s.groups.empty()) << path;
    std::map<std::string, std::vector<std::string>> cut_of_image;
    for (const auto& g : s.groups) {
      for (const SprPart& p : g) {
        ASSERT_TRUE(p.keys.count("texture_size")) << path;
        const int ts = p.Int("texture_size", 0), border = p.Int("border", 0);
        EXPECT_TRUE(sizes.count(ts)) << path;
        EXPECT_GT(ts, 2 * border) << path;
        ASSERT_TRUE(Exists(p.image)) << path << " names " << p.image;
        const PngInfo png = ReadPngHeader(p.image);
        EXPECT_LE(p.Int("frame_width", png.width), png.width) << path;
        EXPECT_LE(p.Int("frame_height", png.height), png.height) << path;
        EXPECT_GE(FrameCount(p), 1) << path;
      }
    }
  }
}

TEST(PackSprites, SharedImagesAreCutAlikeEverywhere) {
  std::map<std::string, std::string> cut;
  for (const std::string& path : FilesWith(".spr")) {
    for (const auto& g : ReadSpr(path).groups) {
      for (const SprPart& p : g) {
        const std::string key = BaseName(p.image);
        const std::string c = std::to_string(p.Int("frame_width", -1)) + "x" +
                              std::to_string(p.Int("frame_height", -1)) + "/" +
                              std::to_string(p.Int("texture_size", -1)) + "/" +
                              std::to_string(p.Int("border", 0));
        auto [it, fresh] = cut.emplace(key, c);
        EXPECT_EQ(it->second, c) << path << " cuts " << key << " differently";
      }
    }
  }
}

TEST(PackSprites, BallsHaveTheFourPartLayout) {
  std::vector<std::string> paths{"graphics\\balls\\ball0\\ball0.spr"};
  for (int n = 1; n <= 7; ++n) {
    const std::string s = std::to_string(n);
    paths.push_back("graphics\\balls\\ball" + s + "\\ball" + s + ".spr");
    paths.push_back("graphics\\balls\\ball" + s + ".spr");
    paths.push_back("graphics\\balls\\ball0\\ball" + s + ".spr");
  }
  for (const std::string& path : paths) {
    const SprInfo s = Spr(path);
    ASSERT_EQ(GroupSizes(s), (std::vector<size_t>{1, 1, 1, 1})) << path;
    EXPECT_EQ(s.common.at("z"), "50") << path;
    for (const auto& g : s.groups) ExpectFrame(g[0], 34, 34, path);
    EXPECT_GE(FrameCount(s.groups[1][0]), 19) << path;
    EXPECT_GT(s.groups[1][0].Int("anim_speed", 0), 0) << path;
    const SprPart& icons = s.groups[2][0];
    EXPECT_GE(FrameCount(icons), 9) << path;
    EXPECT_EQ(icons.Int("anim_speed", 0), 0) << path;
    EXPECT_FALSE(FrameVisible(icons.image, 34, 34, 0)) << "icon frame 0 must be empty";
    for (int f = 1; f <= 8; ++f) EXPECT_TRUE(FrameVisible(icons.image, 34, 34, f)) << "icon " << f;
  }
}

TEST(PackSprites, GameSpritesMatchTheirPlaces) {
  EXPECT_EQ(GroupSizes(Spr(kGz + "poloska.spr")), (std::vector<size_t>{2}));
  ExpectFrame(Spr(kGz + "poloska.spr").groups[0][0], 336, 10, "poloska");
  ExpectFrame(Spr(kGz + "poloska_over.spr").groups[0][0], 8, 16, "poloska_over");
  ExpectFrame(Spr(kGz + "loading_element_polosa.spr").groups[0][0], 12, 12, "bar element");
  ExpectFrame(Spr(kGz + "poloska_bonus.spr").groups[0][0], 29, 10, "poloska_bonus");
  ExpectFrame(Spr(kGz + "poloska_ballsdown.spr").groups[0][0], 12, 163, "poloska_ballsdown");
  ExpectFrame(Spr(kGz + "panel_menu_mini.spr").groups[0][0], 80, 18, "panel_menu_mini");
  const SprInfo plank = Spr("graphics\\additional\\planka1.spr");
  EXPECT_EQ(plank.common.at("width"), "426");
  ExpectFrame(plank.groups[0][0], 426, 17, "planka1");
  EXPECT_EQ(plank.groups[0][0].keys.at("x"), "-213");
  const SprInfo cursor = Spr("graphics\\cursors\\mouse_cursor.spr");
  ASSERT_EQ(GroupSizes(cursor), (std::vector<size_t>{3}));
  EXPECT_EQ(cursor.groups[0][2].keys.at("x"), "-16");
  EXPECT_EQ(GroupSizes(Spr("graphics\\particles\\particle3.spr")), (std::vector<size_t>{4}));
  EXPECT_EQ(GroupSizes(Spr(kGz + "canon1.spr"))[0], 32u);
  const SprInfo canon = Spr(kGz + "canon2.spr");
  ASSERT_EQ(GroupSizes(canon), (std::vector<size_t>{1, 1, 1, 10}));
  EXPECT_GE(FrameCount(canon.groups[0][0]), 4);
  EXPECT_EQ(canon.groups[0][0].keys.at("anim_loop"), "0");
  EXPECT_GT(canon.groups[0][0].Int("anim_speed", 0), 0);
  for (const std::string b : {"tablo_level", "tablo_scores"})
    EXPECT_EQ(GroupSizes(Spr(kGz + b + ".spr"))[0], 24u);
  for (const std::string d : {"dragon_blue", "dragon_green"}) {
    const SprInfo s = Spr("graphics\\dragons\\" + d + ".spr");
    EXPECT_EQ(GroupSizes(s), (std::vector<size_t>{3, 1})) << d;
    for (const auto& g : s.groups) {
      const PngInfo png = ReadPngHeader(g[0].image);
      EXPECT_LE(g[0].Int("frame_width", png.width), 92) << d;
      EXPECT_LE(g[0].Int("frame_height", png.height), 150) << d;
    }
  }
  EXPECT_EQ(Spr("graphics\\musicsoundfullscreen\\music_sound_poloska.spr").common.at("width"), "6");
}

TEST(PackSprites, NetsStepTheirInnerEdgesAsTheWallsMove) {
  const int v[12] = {1, 22, 30, 48, 59, 69, 77, 84, 89, 93, 95, 96};
  const SprInfo left = Spr(kGz + "net_left.spr"), right = Spr(kGz + "net_right.spr");
  ASSERT_EQ(GroupSizes(left), (std::vector<size_t>{12}));
  ASSERT_EQ(GroupSizes(right), (std::vector<size_t>{12}));
  for (int s = 0; s < 12; ++s) {
    // The glowing edge is the rightmost column of the left image and the leftmost of the right.
    const SprPart& l = left.groups[0][s];
    const PngInfo lp = ReadPngHeader(l.image);
    EXPECT_EQ(std::stoi(l.keys.at("x")) + lp.width, 92 + v[s]) << "left step " << s;
    EXPECT_EQ(std::stoi(right.groups[0][s].keys.at("x")), 709 - v[s]) << "right step " << s;
  }
}

TEST(PackSprites, LogoPartsAnimateLongEnoughForTheLogoToFinish) {
  const std::string logo = "graphics\\logo set\\";
  struct Need {
    std::string name;
    int frames;
  };
  for (const Need& n :
       {Need{"earth_traectory", 25}, Need{"earth_flash", 12}, Need{"flash_text", 2}}) {
    const SprInfo s = Spr(logo + n.name + ".spr");
    const SprPart& p = s.groups[0][0];
    EXPECT_GE(FrameCount(p), n.frames) << n.name;
    EXPECT_GT(p.Int("anim_speed", 0), 0) << n.name;
    EXPECT_NE(p.keys.count("anim_loop") ? p.keys.at("anim_loop") : "1", "0") << n.name;
  }
  for (const std::string b : {"bubble_top", "bubble_bottom"})
    EXPECT_EQ(Spr(logo + b + ".spr").common.at("alpha"), "0");
}

TEST(PackSprites, ButtonsHaveTheirStatesAndSizes) {
  struct B {
    std::string path;
    size_t parts;
    int w, h;
  };
  std::vector<B> buttons;
  for (const std::string n : {"ok", "yes", "no", "menu", "later", "cancel", "delete", "rename"}) {
    buttons.push_back({"graphics\\dialogs\\panel_" + n + ".spr", 3, 96, 32});
  }
  for (const std::string n :
       {"start", "options", "scores", "help", "exit", "arcade", "challenge", "puzzle", "back"}) {
    buttons.push_back({"graphics\\menu\\button_" + n + ".spr", 3, 227, 45});
  }
  buttons.push_back({"graphics\\menu\\button_body_music.spr", 3, 227, 47});
  buttons.push_back({"graphics\\menu\\button_body_sound.spr", 3, 227, 47});
  buttons.push_back({"graphics\\menu\\button_fullscreen.spr", 4, 227, 45});
  buttons.push_back({"graphics\\menu\\button_tips.spr", 4, 227, 45});
  buttons.push_back({"graphics\\menu\\button_ok_mini.spr", 3, 171, 30});
  buttons.push_back({"graphics\\menu\\repair_left.spr", 3, 14, 27});
  buttons.push_back({"graphics\\menu\\repair_right.spr", 3, 14, 27});
  buttons.push_back({"graphics\\dialogs\\scroller_up.spr", 3, 20, 20});
  buttons.push_back({"graphics\\dialogs\\scroller_down.spr", 3, 20, 20});
  for (const B& b : buttons) {
    const SprInfo s = Spr(b.path);
    ASSERT_EQ(s.groups[0].size(), b.parts) << b.path;
    for (const SprPart& p : s.groups[0]) ExpectFrame(p, b.w, b.h, b.path);
  }
  for (const std::string m : {"movepart", "movepart_mini"}) {
    EXPECT_EQ(GroupSizes(Spr("graphics\\menu\\" + m + ".spr")), (std::vector<size_t>{6, 6})) << m;
  }
  EXPECT_EQ(GroupSizes(Spr("graphics\\dialogs\\checkbox.spr")), (std::vector<size_t>{2}));
  ExpectFrame(Spr("graphics\\dialogs\\marker.spr").groups[0][0], 334, 22, "marker");
}

// ---------------------------------------------------------------------------------- fonts

struct FontMetrics {
  double spacing = 0;
  std::map<int, int> width;
  std::vector<int> frame_codes;
};

FontMetrics ReadPos(const std::string& path) {
  FontMetrics m;
  bool first = true;
  int code = 0;
  for (std::string line : Lines(Read(path))) {
    if (!line.empty() && line[0] == ';') continue;
    const size_t sc = line.find(';');
    if (sc != std::string::npos) line = line.substr(0, sc);
    line = Trim(line);
    if (first) {
      m.spacing = std::stod(line);
      first = false;
    } else if (!line.empty() && line[0] == '#') {
      code = std::stoi(line.substr(1));
    } else if (!line.empty()) {
      m.width[code] = std::stoi(line);
      m.frame_codes.push_back(code);
      ++code;
    }
  }
  return m;
}

TEST(PackFonts, MetricsCoverPrintableAsciiAndMatchTheSheets) {
  for (const std::string f : {"font_taurus1", "font_taurus2", "font_crystal1"}) {
    const std::string base = "graphics\\fonts\\" + f;
    const FontMetrics m = ReadPos(base + ".pos");
    for (int c = 32; c <= 126; ++c) EXPECT_TRUE(m.width.count(c)) << f << " lacks " << c;
    const SprInfo s = Spr(base + ".spr");
    ASSERT_FALSE(s.groups.empty());
    const SprPart& p = s.groups[0][0];
    EXPECT_EQ(p.Int("anim_speed", 0), 0) << f;
    EXPECT_GE(FrameCount(p), static_cast<int>(m.frame_codes.size())) << f;
    const int cell = p.Int("frame_width", 0);
    for (const auto& [c, w] : m.width) EXPECT_LE(w, cell) << f << " " << c;
  }
  const FontMetrics crystal = ReadPos("graphics\\fonts\\font_crystal1.pos");
  for (int d = 0; d < 10; ++d) {
    EXPECT_EQ(crystal.frame_codes[d], '0' + d);
    EXPECT_EQ(crystal.width.at('0' + d), crystal.width.at('0'));
  }
  EXPECT_LE(crystal.width.at('0'), 15);
  EXPECT_NE(ReadSpr("graphics\\fonts\\font_taurus1.spr").groups[0][0].image,
            ReadSpr("graphics\\fonts\\font_taurus2.spr").groups[0][0].image);
}

// ----------------------------------------------------------------------------------- maps

struct MapObject {
  std::string name;
  int x, y;
  std::string path;
};

std::vector<MapObject> ReadMap(const std::string& map) {
  const auto lines = Lines(Read(map));
  std::vector<MapObject> out;
  const int n = std::stoi(lines.at(0));
  std::vector<std::string> paths;
  for (int i = 0; i < n; ++i) {
    std::string p = lines.at(1 + i);
    if (p.size() < 4 || p.substr(p.size() - 4) != ".spr") p += ".spr";
    EXPECT_TRUE(Exists(p)) << map << " names " << p;
    paths.push_back(p);
  }
  const int m = std::stoi(lines.at(1 + n));
  EXPECT_EQ(lines.size(), static_cast<size_t>(2 + n + m)) << map;
  for (int i = 0; i < m; ++i) {
    const auto f = Split(lines.at(2 + n + i), ',');
    EXPECT_GE(f.size(), 3u);
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(f[k], Trim(f[k])) << map;
    const int idx = std::stoi(f[0]);
    EXPECT_TRUE(idx >= 0 && idx < n) << map;
    out.push_back({BaseName(paths.at(idx)), std::stoi(f[1]), std::stoi(f[2]), paths.at(idx)});
  }
  return out;
}

std::vector<MapObject> Named(const std::vector<MapObject>& objs, const std::string& name) {
  std::vector<MapObject> out;
  for (const auto& o : objs) {
    if (o.name == name) out.push_back(o);
  }
  return out;
}

TEST(PackMaps, MapsHoldTheObjectsTheCodeLooksUp) {
  const std::map<std::string, std::map<std::string, size_t>> need = {
      {"main.map",
       {{"normal_panel", 1},
        {"panel_menu_mini", 1},
        {"net_left", 1},
        {"net_right", 1},
        {"poloska_ballsdown", 1},
        {"canon1", 1},
        {"canon2", 1},
        {"tablo_level", 1},
        {"tablo_scores", 1},
        {"laser", 1},
        {"dragon_blue", 1},
        {"dragon_green", 1},
        {"tablo_line", 2},
        {"poloska_bonus", 6}}},
      {"game_over.map", {{"panel_ok", 1}}},
      {"exit_to_menu.map", {{"panel_yes", 1}, {"panel_no", 1}}},
      {"game_stat.map", {{"panel_ok", 1}, {"panel_menu", 1}, {"stat_poloska", 1}}},
      {"try_again.map", {{"panel_ok", 1}, {"panel_menu", 1}}},
      {"try_again_puzzle.map", {{"panel_ok", 1}, {"panel_later", 1}}},
      {"menu.map", {{"menu_panel", 1}}},
      {"menu_buttons_mainmenu.map",
       {{"button_start", 1},
        {"button_options", 1},
        {"button_scores", 1},
        {"button_help", 1},
        {"button_exit", 1},
        {"movepart", 5}}},
      {"menu_buttons_select_game_type.map",
       {{"button_arcade", 1},
        {"button_challenge", 1},
        {"button_puzzle", 1},
        {"button_back", 1},
        {"movepart", 4}}},
      {"menu_buttons_music_sound_fullscreen.map",
       {{"button_body_music", 1},
        {"button_body_sound", 1},
        {"button_fullscreen", 1},
        {"button_tips", 1},
        {"button_back", 1},
        {"movepart", 5}}},
      {"menu_help.map",
       {{"button_ok_mini", 1},
        {"movepart_mini", 1},
        {"repair_left", 1},
        {"repair_right", 1},
        {"canon2_mini", 1},
        {"ball3_mini", 3},
        {"ball4_mini", 2},
        {"ball2_mini", 1},
        {"scores_poloska_vert", 1},
        {"ball1", 1},
        {"ball7", 1},
        {"bomb1", 1},
        {"bomb2", 1},
        {"multiball", 1}}},
      {"menu_scores.map",
       {{"repair_left", 1}, {"repair_right", 1}, {"button_ok_mini", 1}, {"movepart_mini", 1}}},
      {"input_player_name.map", {{"panel_ok", 1}, {"panel_cancel", 1}, {"rename_cursor", 1}}},
      {"input_player_name_back.map", {}},
      {"select_player.map",
       {{"marker", 1},
        {"scroller_up", 1},
        {"scroller_down", 1},
        {"panel_delete", 1},
        {"panel_rename", 1},
        {"panel_ok", 1},
        {"panel_cancel", 1},
        {"scroller_bar", 1}}},
      {"name_confirm.map", {{"panel_yes", 1}, {"panel_no", 1}}},
      {"name_message.map", {{"panel_ok", 1}}},
      {"exit_to_windows.map", {{"panel_yes", 1}, {"panel_no", 1}}},
      {"game_message.map", {{"checkbox", 1}, {"panel_ok", 1}}},
      {"continue_last_game.map", {{"panel_yes", 1}, {"panel_no", 1}}},
  };
  for (const auto& [map, objects] : need) {
    const auto objs = ReadMap(map);
    for (const auto& [name, count] : objects)
      EXPECT_EQ(Named(objs, name).size(), count) << map << " " << name;
  }
}

// The screen pixels a map object's first picture covers, both edges included as in Rect.
Rect Covers(const MapObject& o) {
  const SprInfo s = ReadSpr(o.path);
  const PngInfo png = ReadPngHeader(s.groups.at(0).at(0).image);
  const int w = s.groups[0][0].Int("frame_width", png.width);
  const int h = s.groups[0][0].Int("frame_height", png.height);
  return {o.x, o.y, o.x + w - 1, o.y + h - 1};
}

std::string Show(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + ".." + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

std::string Covered(const std::vector<MapObject>& objs, const std::string& name) {
  return Show(Covers(Named(objs, name).at(0)));
}

TEST(PackMaps, MenuHitRectanglesCoverTheirButtons) {
  std::vector<MapObject> rows[3];
  const char* maps[3] = {"menu_buttons_mainmenu.map", "menu_buttons_select_game_type.map",
                         "menu_buttons_music_sound_fullscreen.map"};
  for (int m = 0; m < 3; ++m) {
    for (const MapObject& o : ReadMap(maps[m])) {
      if (o.name != "movepart") rows[m].push_back(o);
    }
  }
  ASSERT_EQ(rows[0].size(), 5u);
  ASSERT_EQ(rows[1].size(), 4u);
  ASSERT_EQ(rows[2].size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Show(Covers(rows[0][i])), Show(kMenuRows[i]));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(Show(Covers(rows[1][i])), Show(kMenuRows[kGameTypeRowOf[i]]));
  for (int i = 2; i < 5; ++i) EXPECT_EQ(Show(Covers(rows[2][i])), Show(kMenuRows[i]));
  // A volume row's ends are its buttons; the slider between them spans the bar of steps.
  const SprInfo step = Spr("graphics\\musicsoundfullscreen\\music_sound_poloska.spr");
  const int step_height = ReadPngHeader(step.groups[0][0].image).height;
  for (int i = 0; i < 2; ++i) {
    const Rect body = Covers(rows[2][i]), slider = kVolumeSliders[i];
    EXPECT_TRUE(kVolumeDown[i].left == body.left && kVolumeUp[i].right == body.right) << i;
    EXPECT_TRUE(kVolumeDown[i].top == body.top && kVolumeUp[i].top == body.top) << i;
    EXPECT_TRUE(kVolumeDown[i].right < slider.left && slider.right < kVolumeUp[i].left) << i;
    EXPECT_EQ(slider.bottom - slider.top + 1, step_height) << i;
    EXPECT_EQ(SliderVolume(slider.right), kMaxVolume) << i;
  }
  for (const std::string map : {"menu_help.map", "menu_scores.map"})
    EXPECT_EQ(Covered(ReadMap(map), "button_ok_mini"), Show(kPageOk)) << map;
  const auto scores = ReadMap("menu_scores.map");
  EXPECT_EQ(Covered(scores, "repair_left"), Show(kScoresLeftArrow));
  EXPECT_EQ(Covered(scores, "repair_right"), Show(kScoresRightArrow));
  // The player list's first row is the marker's place; the scroller bar runs its track.
  const auto list = ReadMap("select_player.map");
  EXPECT_EQ(Covered(list, "marker"), Show(kListRow));
  const Rect track = Covers(Named(list, "scroller_track")[0]);
  const Rect bar = Covers(Named(list, "scroller_bar")[0]);
  PlayerListView view;
  EXPECT_EQ(ScrollerY(view, 5), track.top);
  view.cursor = 4;
  EXPECT_EQ(ScrollerY(view, 5) + (bar.bottom - bar.top), track.bottom);
}

TEST(PackMaps, FixedPositionsLineUpWithTheHitRectangles) {
  const auto main = ReadMap("main.map");
  EXPECT_EQ(Named(main, "panel_menu_mini")[0].x, 717);
  EXPECT_EQ(Named(main, "panel_menu_mini")[0].y, 0);
  const auto bars = Named(main, "poloska_bonus");
  for (size_t i = 0; i < bars.size(); ++i)
    EXPECT_EQ(bars[i].y, 545 - 39 * (5 - static_cast<int>(i)) + 12);
  EXPECT_EQ(Named(main, "canon2")[0].x, 355);
  EXPECT_EQ(Named(main, "canon2")[0].y, 471);
  // Each moving piece shares its menu button's place.
  const auto mm = ReadMap("menu_buttons_mainmenu.map");
  for (size_t k = 0; k + 1 < mm.size(); k += 2) {
    EXPECT_EQ(mm[k + 1].name, "movepart");
    EXPECT_EQ(mm[k + 1].x, mm[k].x);
    EXPECT_EQ(mm[k + 1].y, mm[k].y);
  }
  for (const std::string m :
       {"exit_to_menu.map", "exit_to_windows.map", "continue_last_game.map"}) {
    const auto objs = ReadMap(m);
    EXPECT_EQ(Named(objs, "panel_yes")[0].x, 296) << m;
    EXPECT_EQ(Named(objs, "panel_no")[0].x, 408) << m;
  }
}

// ---------------------------------------------------------------------------------- texts

struct Laid {
  std::string text;
  double left, right, top, size;
  int z;
};

// Lays a text layout file out as the game would (parameters replaced by wide stand-ins).
std::vector<Laid> Layout(const std::string& file) {
  std::vector<Laid> out;
  std::string font, align = "center";
  double size = 0, x = 0, y = 0, leading = 0;
  int z = 0;
  bool block = false;
  bool have_size = false, have_z = false;
  for (const std::string& raw : Lines(Read(file))) {
    if (!block) {
      std::string line = raw;
      if (!line.empty() && line[0] == ';') continue;
      const size_t sc = line.find(';');
      if (sc != std::string::npos) line = line.substr(0, sc);
      line = Trim(line);
      if (line.empty()) continue;
      if (line == "#begin") {
        block = true;
        EXPECT_TRUE(have_size && have_z) << file << ": size and z must be set";
        continue;
      }
      const size_t eq = line.find('=');
      EXPECT_NE(eq, std::string::npos) << file << ": " << line;
      const std::string k = Trim(line.substr(0, eq)), v = Trim(line.substr(eq + 1));
      if (k == "font") font = v;
      if (k == "size") {
        size = std::stod(v);
        have_size = true;
      }
      if (k == "x") x = std::stod(v);
      if (k == "y") y = std::stod(v);
      if (k == "z") {
        z = std::stoi(v);
        have_z = true;
      }
      if (k == "leading") leading = std::stod(v);
      if (k == "align") align = v;
      continue;
    }
    if (Trim(raw) == "#end") {
      block = false;
      continue;
    }
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '%') {
        const size_t e = raw.find(';', i);
        EXPECT_NE(e, std::string::npos) << file;
        text += "99999";
        i = e;
      } else {
        text += raw[i];
      }
    }
    EXPECT_TRUE(Exists(font)) << file;
    const FontMetrics m = ReadPos(font.substr(0, font.size() - 3) + "pos");
    double w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      EXPECT_TRUE(m.width.count(static_cast<unsigned char>(text[i])))
          << file << " uses " << text[i];
      w += size * m.width.at(static_cast<unsigned char>(text[i])) + (i ? size * m.spacing : 0);
    }
    const double left = align == "left" ? x : (align == "right" ? x - w : x - w / 2);
    out.push_back({text, left, left + w, y, size, z});
    y += leading;
  }
  EXPECT_FALSE(block) << file << ": block not closed";
  return out;
}

TEST(PackTexts, EveryTextFitsItsPlace) {
  for (const std::string& file : FilesWith(".txt")) {
    if (file == "text\\combo.txt" || file == "options.txt") continue;
    const auto lines = Layout(file);
    EXPECT_FALSE(lines.empty()) << file;
    for (const Laid& l : lines) {
      if (l.text.empty()) continue;
      EXPECT_GT(l.size, 0) << file;
      // Dialog texts stay inside the big dialog panel, page texts inside the menu panel.
      const double lo = l.z >= 1000 ? 140 : 178, hi = l.z >= 1000 ? 660 : 622;
      EXPECT_GE(l.left, lo) << file << ": " << l.text;
      EXPECT_LE(l.right, hi) << file << ": " << l.text;
    }
  }
  // The in-game title sits on the top bar's plate and above the panel.
  for (const std::string t : {"arcade", "challenge", "puzzle"}) {
    for (const Laid& l : Layout("text\\game_title_" + t + ".txt")) {
      EXPECT_GE(l.left, 292);
      EXPECT_LE(l.right, 508);
      EXPECT_GT(l.z, 101);
    }
  }
  // Captions that are hit-tested fit their rectangles.
  for (const Laid& l : Layout("text\\create_player1.txt")) {
    EXPECT_GE(l.left, kCreateCaption.left);
    EXPECT_LE(l.right, kCreateCaption.right);
  }
  for (const Laid& l : Layout("text\\menu_text_button1.txt")) {
    EXPECT_GE(l.left, kWelcomeCaption.left);
    EXPECT_LE(l.right, kWelcomeCaption.right);
  }
}

}  // namespace
}  // namespace qv::pack_check
