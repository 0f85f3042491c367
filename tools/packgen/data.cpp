// Options, combo table, list files, maps, text layout files and level files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>

#include "base/sample_names.h"
#include "levels.h"
#include "pack.h"

namespace packgen {
namespace {

void WriteOptions(Pack& pack) {
  pack.WriteLines("options.txt",
                  {
                      "; Quorvex options",
                      "; display",
                      "fullscreen=0",
                      "mode16bit=0",
                      "textures16bit=0",
                      "; set log_enabled=1 to log missing files and scene changes to log.txt",
                      "log_enabled=0",
                      "beg_level=0",
                      "; timing: 16 gives 59.9 logic steps per second; never 0",
                      "move_cnt=16",
                      "no_sync=0",
                      "fps_max=100",
                      "fps_show=0",
                      "wait_vblank=0",
                      "; volumes 0..13",
                      "music_volume=9",
                      "music_amplify=75",
                      "sound_volume=11",
                      "; sounds: burst sizes and dragon cheers",
                      "explosion_sound_limit1=5",
                      "explosion_sound_limit2=8",
                      "sound_joy_limit=7",
                      "sound_joy_limit_arcade1=5",
                      "sound_joy_limit_challenge1=5",
                      "sound_joy_limit_drop=5",
                      "sound_joy_limit_arcade1_drop=3",
                      "sound_joy_limit_challenge1_drop=3",
                      "; game rules",
                      "ball_step=16",
                      "balls_climb_inc_arcade=4",
                      "balls_climb_inc_challenge=3",
                      "balls_climb_inc_puzzle=2",
                      "balls_climb_time_challenge=90",
                      "balls_climb_time_puzzle=40",
                      "bigbomb_expl_count=8",
                      "bigbomb_radius=2",
                      "bonus_probability=7",
                      "bonus_probability_random_proc=40",
                      "bonus_target_time=20",
                      "bonus_freeze_time=10",
                      "bonus_inc_width_time=15",
                      "; current player, written by the game",
                      "player_index=0",
                  });
}

void WriteCombo(Pack& pack) {
  pack.WriteLines("text\\combo.txt", {
                                         "2,COMBO X2",
                                         "3,COMBO X3",
                                         "4,SUPER COMBO X4",
                                         "5,MEGA COMBO X5",
                                         "6,ULTRA COMBO X6",
                                     });
}

void WriteLists(Pack& pack) {
  const std::string menu_bg = "graphics\\menu\\menu_background.spr";
  const std::string loading = "graphics\\elements_gamezone\\loading_element.spr";
  pack.WriteLines("loading.msl",
                  {"; the menu backdrop and the loading bar trough", menu_bg, loading});
  pack.WriteLines(
      "music.ini",
      {
          "; music tracks: modules for the menu and the arcade, a stream for the puzzles",
          "music_menu, music\\menu.xm, loop",
          "music_arcade, music\\arcade.xm, loop",
          "music_puzzle, music\\puzzle.wav, loop",
      });
  std::vector<std::string> sounds{"; sound effects"};
  for (const char* name : qv::kSampleNames) {
    std::string line = std::string("sample_") + name + ", sounds\\" + name + ".wav";
    for (const char* looping : qv::kLoopingSampleNames) {
      if (std::string(looping) == name) line += ", loop";
    }
    sounds.push_back(line);
  }
  pack.WriteLines("sound.ini", sounds);

  // Everything else is loaded behind the progress bar, one path per base name.
  std::set<std::string> skip{menu_bg, loading,
                             "graphics\\elements_gamezone\\loading_element_polosa.spr",
                             "graphics\\crystals\\crystal1.spr"};
  for (int n = 1; n <= 7; ++n) {
    skip.insert("graphics\\balls\\ball" + std::to_string(n) + ".spr");
    skip.insert("graphics\\balls\\ball0\\ball" + std::to_string(n) + ".spr");
  }
  std::vector<std::string> list{"; every sprite definition, loaded behind the progress bar"};
  std::set<std::string> seen;
  for (const std::string& path : pack.SpritePaths()) {
    if (skip.count(path) || path.rfind("graphics\\logo set\\", 0) == 0) continue;
    if (!seen.insert(path).second) continue;
    list.push_back(path);
  }
  pack.WriteLines("main.msl", list);
}

// ---------------------------------------------------------------------------------- maps

struct MapObj {
  std::string path;
  int x, y;
  int z;  // INT32_MIN = keep the definition's z
};
constexpr int kKeepZ = -2147483647;

void WriteMap(Pack& pack, const std::string& name, const std::vector<MapObj>& objs) {
  std::vector<std::string> paths;
  for (const MapObj& o : objs) {
    if (std::find(paths.begin(), paths.end(), o.path) == paths.end()) paths.push_back(o.path);
  }
  std::vector<std::string> lines{std::to_string(paths.size())};
  for (const std::string& p : paths) lines.push_back(p);
  lines.push_back(std::to_string(objs.size()));
  for (const MapObj& o : objs) {
    const long idx = std::find(paths.begin(), paths.end(), o.path) - paths.begin();
    std::string line = std::to_string(idx) + "," + std::to_string(o.x) + "," + std::to_string(o.y);
    if (o.z != kKeepZ) line += "," + std::to_string(o.z);
    lines.push_back(line);
  }
  pack.WriteLines(name, lines);
}

const std::string kGz = "graphics\\elements_gamezone\\";
const std::string kDlg = "graphics\\dialogs\\";
const std::string kMenu = "graphics\\menu\\";

void WriteMaps(Pack& pack) {
  std::vector<MapObj> main{
      {kGz + "game_background.spr", 0, 0, -50},
      {kGz + "normal_panel.spr", 0, 0, 100},
      {kGz + "panel_menu_mini.spr", 717, 0, 101},
      {kGz + "net_left.spr", 0, 0, 80},
      {kGz + "net_right.spr", 0, 0, 80},
      {kGz + "laser.spr", 93, 488, 98},
      {kGz + "poloska_ballsdown.spr", 716, 300, 99},
      {kGz + "canon1.spr", 355, 471, 235},
      {kGz + "canon2.spr", 355, 471, 240},
      {kGz + "tablo_level.spr", 38, 132, 101},
      {kGz + "tablo_scores.spr", 660, 132, 101},
      {kGz + "tablo_line.spr", 38, 196, 102},
      {kGz + "tablo_line.spr", 660, 196, 102},
      {"graphics\\dragons\\dragon_blue.spr", 0, 300, 103},
      {"graphics\\dragons\\dragon_green.spr", 700, 300, 103},
  };
  for (int i = 0; i < 6; ++i) main.push_back({kGz + "poloska_bonus.spr", 31, 362 + 39 * i, 90});
  WriteMap(pack, "main.map", main);

  const std::string dp = kDlg + "dialog_panel.spr";
  const std::string dpb = kDlg + "dialog_panel_big.spr";
  auto btn = [](const std::string& n) { return kDlg + n + ".spr"; };
  WriteMap(pack, "game_over.map", {{dp, 200, 200, 1000}, {btn("panel_ok"), 352, 340, 1002}});
  WriteMap(pack, "exit_to_menu.map",
           {{dp, 200, 200, 1000},
            {btn("panel_yes"), 296, 340, 1002},
            {btn("panel_no"), 408, 340, 1002}});
  WriteMap(pack, "game_stat.map",
           {{dpb, 130, 150, 1000},
            {btn("stat_poloska"), 140, 301, 1004},
            {btn("panel_ok"), 296, 470, 1002},
            {btn("panel_menu"), 408, 470, 1002}});
  WriteMap(pack, "try_again.map",
           {{btn("panel_ok"), 296, 330, 1002}, {btn("panel_menu"), 408, 330, 1002}});
  WriteMap(pack, "try_again_puzzle.map",
           {{dp, 200, 200, 1000},
            {btn("panel_ok"), 296, 330, 1002},
            {btn("panel_later"), 408, 330, 1002}});
  WriteMap(pack, "menu.map", {{kGz + "menu_panel.spr", 170, 30, 20}});

  auto rows = [&](const std::vector<std::string>& buttons, const std::vector<int>& ys) {
    std::vector<MapObj> objs;
    for (size_t i = 0; i < buttons.size(); ++i) {
      objs.push_back({kMenu + buttons[i] + ".spr", 286, ys[i], 185});
      objs.push_back({kMenu + "movepart.spr", 286, ys[i], 190});
    }
    return objs;
  };
  WriteMap(pack, "menu_buttons_mainmenu.map",
           rows({"button_start", "button_options", "button_scores", "button_help", "button_exit"},
                {154, 214, 274, 334, 454}));
  WriteMap(pack, "menu_buttons_select_game_type.map",
           rows({"button_arcade", "button_challenge", "button_puzzle", "button_back"},
                {154, 214, 274, 454}));
  WriteMap(pack, "menu_buttons_music_sound_fullscreen.map",
           rows({"button_body_music", "button_body_sound", "button_fullscreen", "button_tips",
                 "button_back"},
                {154, 214, 274, 334, 454}));

  std::vector<MapObj> help{
      {kMenu + "help_backdrop.spr", 190, 96, 30},
      {kMenu + "button_ok_mini.spr", 314, 478, 190},
      {kMenu + "movepart_mini.spr", 314, 478, 190},
      {kMenu + "repair_left.spr", 277, 106, 190},
      {kMenu + "repair_right.spr", 513, 106, 190},
      {kMenu + "canon2_mini.spr", 377, 271, 60},
      {kMenu + "ball3_mini.spr", 374, 234, 60},
      {kMenu + "ball3_mini.spr", 400, 234, 60},
      {kMenu + "ball3_mini.spr", 387, 305, 61},
      {kMenu + "ball4_mini.spr", 361, 256, 60},
      {kMenu + "ball4_mini.spr", 413, 256, 60},
      {kMenu + "ball2_mini.spr", 387, 212, 60},
      {kMenu + "scores_poloska_vert.spr", 450, 200, 60},
  };
  const char* page2[10] = {"ball1\\ball1",    "ball2\\ball2",        "ball3\\ball3", "ball4\\ball4",
                           "ball5\\ball5",    "ball6\\ball6",        "ball7\\ball7", "bomb\\bomb1",
                           "big_bomb\\bomb2", "multiball\\multiball"};
  for (int k = 0; k < 10; ++k) {
    help.push_back({std::string("graphics\\balls\\") + page2[k] + ".spr", 200, 140 + 33 * k, 60});
  }
  WriteMap(pack, "menu_help.map", help);
  WriteMap(pack, "menu_scores.map",
           {{kMenu + "repair_left.spr", 277, 157, 190},
            {kMenu + "repair_right.spr", 513, 157, 190},
            {kMenu + "button_ok_mini.spr", 314, 478, 190},
            {kMenu + "movepart_mini.spr", 314, 478, 190}});
  WriteMap(pack, "input_player_name.map",
           {{btn("panel_ok"), 296, 330, 1002},
            {btn("panel_cancel"), 408, 330, 1002},
            {btn("rename_cursor"), 0, 280, 1010}});
  WriteMap(pack, "input_player_name_back.map", {{dpb, 130, 130, 1000}});
  WriteMap(pack, "select_player.map",
           {{btn("player_list_box"), 214, 202, 1001},
            {btn("marker"), 220, 208, 1004},
            {btn("scroller_track"), 560, 201, 1002},
            {btn("scroller_up"), 558, 178, 1003},
            {btn("scroller_down"), 558, 354, 1003},
            {btn("panel_delete"), 184, 440, 1002},
            {btn("panel_rename"), 296, 440, 1002},
            {btn("panel_ok"), 408, 440, 1002},
            {btn("panel_cancel"), 520, 440, 1002},
            {btn("scroller_bar"), 560, 201, 1003}});
  WriteMap(pack, "name_confirm.map",
           {{btn("panel_yes"), 296, 350, 1002}, {btn("panel_no"), 408, 350, 1002}});
  WriteMap(pack, "name_message.map", {{btn("panel_ok"), 352, 350, 1002}});
  WriteMap(pack, "exit_to_windows.map",
           {{dp, 200, 200, 1000},
            {btn("panel_yes"), 296, 330, 1002},
            {btn("panel_no"), 408, 330, 1002}});
  WriteMap(pack, "game_message.map",
           {{dpb, 130, 110, 1000},
            {btn("checkbox"), 170, 420, 1002},
            {btn("panel_ok"), 352, 450, 1002}});
  WriteMap(pack, "continue_last_game.map",
           {{dp, 200, 200, 1000},
            {btn("panel_yes"), 296, 330, 1002},
            {btn("panel_no"), 408, 330, 1002}});
}

// ------------------------------------------------------------------------------ texts

const std::string F1 = "graphics\\fonts\\font_taurus1.spr";
const std::string F2 = "graphics\\fonts\\font_taurus2.spr";
const std::string FC = "graphics\\fonts\\font_crystal1.spr";

// One block of a text layout file with the settings it needs.
struct Block {
  std::string font;
  double size;
  int x, y, z;
  std::string align;
  uint32_t color;
  int leading;
  std::vector<std::string> lines;
};

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

void WriteText(Pack& pack, const std::string& name, const std::vector<Block>& blocks) {
  std::vector<std::string> out{"; " + name};
  for (const Block& b : blocks) {
    char col[16];
    std::snprintf(col, sizeof col, "$%06X", b.color);
    out.push_back("font=" + b.font);
    out.push_back("size=" + Num(b.size));
    out.push_back("x=" + std::to_string(b.x));
    out.push_back("y=" + std::to_string(b.y));
    out.push_back("z=" + std::to_string(b.z));
    out.push_back("align=" + b.align);
    out.push_back(std::string("color=") + col);
    out.push_back("leading=" + std::to_string(b.leading));
    out.push_back("#begin");
    for (const std::string& l : b.lines) out.push_back(l);
    out.push_back("#end");
  }
  pack.WriteLines("text\\" + name + ".txt", out);
}

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGold = 0xFFD040;
constexpr uint32_t kCyan = 0x7FE8FF;
constexpr uint32_t kSoft = 0xD8E4F0;

Block Title(int y, const std::string& text, int z = 200, double size = 1.0) {
  return {F1, size, 400, y, z, "center", kGold, 0, {text}};
}
Block Line(const std::string& font, double size, int y, int z, uint32_t col,
           std::vector<std::string> lines, int leading = 0, int x = 400,
           const std::string& align = "center") {
  return {font, size, x, y, z, align, col, leading, std::move(lines)};
}

void WriteTexts(Pack& pack) {
  // Game scene dialogs (z 1010).
  WriteText(
      pack, "game_over",
      {Title(232, "GAME OVER", 1010), Line(F2, 0.55, 285, 1010, kSoft, {"BETTER LUCK NEXT TIME"})});
  WriteText(pack, "exit_to_menu",
            {Line(F1, 0.75, 232, 1010, kGold, {"EXIT TO THE MENU?"}),
             Line(F2, 0.5, 280, 1010, kSoft, {"YOUR PROGRESS IS SAVED"})});
  WriteText(pack, "stat_title", {Title(165, "LEVEL COMPLETE!", 1010, 0.9)});
  WriteText(pack, "stat_with_bonus",
            {Line(F2, 0.65, 205, 1010, kWhite, {"LEVEL %1; CLEARED", "SCORE: %2;"}, 30),
             Line(F2, 0.6, 305, 1010, kCyan, {"NEW IN THE NEXT LEVEL:"})});
  WriteText(pack, "stat_with_best_shot",
            {Line(F2, 0.65, 205, 1010, kWhite,
                  {"LEVEL %1; CLEARED", "SCORE: %2;", "BEST SHOT: %3;"}, 35)});
  WriteText(pack, "best_combo", {Line(F2, 0.65, 310, 1010, kCyan, {"BEST COMBO: %1;"})});
  WriteText(pack, "congratulations",
            {Line(F1, 0.7, 210, 1010, kGold, {"CONGRATULATIONS!"}),
             Line(F2, 0.55, 260, 1010, kWhite,
                  {"YOU HAVE CLEARED EVERY LEVEL", "OF THIS GAME TYPE.", "",
                   "YOUR SCORE GOES INTO THE", "HIGH SCORE TABLE NOW."},
                  28)});
  WriteText(pack, "try_again", {Line(F1, 0.7, 240, 1010, kGold, {"TRY AGAIN FROM LEVEL %1;?"})});
  WriteText(pack, "try_again_puzzle",
            {Line(F1, 0.7, 240, 1010, kGold, {"TRY THIS PUZZLE AGAIN?"})});
  for (const auto& [type, title] : std::vector<std::pair<std::string, std::string>>{
           {"arcade", "ARCADE"}, {"challenge", "CHALLENGE"}, {"puzzle", "PUZZLE"}}) {
    WriteText(pack, "game_title_" + type, {Line(F1, 0.6, 24, 200, kGold, {title})});
    WriteText(pack, "scores_title_" + type, {Line(F1, 0.7, 158, 200, kGold, {title})});
  }
  WriteText(pack, "continue_game",
            {Line(F1, 0.65, 235, 1010, kGold, {"CONTINUE YOUR", "LAST GAME?"}, 30)});
  WriteText(pack, "continue_game_after_loss",
            {Line(F1, 0.65, 235, 1010, kGold, {"CONTINUE FROM", "LEVEL %1;?"}, 30)});
  WriteText(pack, "choose_player", {Line(F1, 0.8, 150, 1010, kGold, {"CHOOSE PLAYER"})});
  WriteText(pack, "create_player1", {Line(F2, 0.55, 402, 1010, kWhite, {"CREATE NEW PLAYER"})});
  WriteText(pack, "create_player2", {Line(F2, 0.55, 402, 1010, 0xFFE040, {"CREATE NEW PLAYER"})});
  WriteText(pack, "delete_player", {Line(F1, 0.75, 245, 1010, kGold, {"DELETE PLAYER"})});
  WriteText(pack, "scores_title_footer",
            {Line(F2, 0.5, 198, 200, kCyan, {"NAME"}, 0, 230, "left"),
             Line(F2, 0.5, 198, 200, kCyan, {"LEVEL"}, 0, 450, "right"),
             Line(F2, 0.5, 198, 200, kCyan, {"SCORE"}, 0, 590, "right")});
  WriteText(pack, "game_title_scores", {Title(45, "HIGH SCORES")});
  WriteText(pack, "game_title_menu", {Title(45, "QUORVEX")});
  WriteText(pack, "menu_text_button1",
            {Line(F2, 0.45, 120, 200, kCyan, {"(CLICK HERE TO CHANGE PLAYER)"})});
  WriteText(pack, "menu_text_button2",
            {Line(F2, 0.45, 120, 200, 0xFFE040, {"(CLICK HERE TO CHANGE PLAYER)"})});
  WriteText(pack, "game_title_start", {Title(45, "CHOOSE GAME TYPE", 200, 0.85)});
  WriteText(pack, "choose_game_type",
            {Line(F1, 0.6, 166, 200, kWhite, {"ARCADE", "CHALLENGE", "PUZZLE"}, 60),
             Line(F1, 0.6, 466, 200, kWhite, {"BACK"})});
  WriteText(pack, "game_comment_arcade",
            {Line(F2, 0.5, 332, 200, kSoft,
                  {"THE FIELD CREEPS DOWN WITHOUT END.", "MATCH THREE OR MORE TO FILL THE",
                   "STRIP AT THE TOP AND CLEAR THE LEVEL.", "DO NOT LET A BALL REACH THE LASER!"},
                  20)});
  WriteText(pack, "game_comment_challenge",
            {Line(F2, 0.5, 332, 200, kSoft,
                  {"THE STRIP AT THE TOP DRAINS AWAY.", "KEEP SCORING TO FILL IT BEFORE IT",
                   "RUNS EMPTY. BIG GROUPS AND DROPS", "GIVE THE MOST."},
                  20)});
  WriteText(pack, "game_comment_puzzle",
            {Line(F2, 0.5, 332, 200, kSoft,
                  {"HAND-MADE LAYOUTS WITH CRYSTALS.", "FREE EVERY CRYSTAL TO WIN. THE FIELD",
                   "SLIDES DOWN A ROW EVERY FEW SHOTS,", "SO AIM WITH CARE."},
                  20)});
  WriteText(pack, "game_title_options", {Title(45, "OPTIONS")});
  WriteText(
      pack, "game_options",
      {Line(F1, 0.55, 160, 200, kWhite, {"MUSIC"}), Line(F1, 0.55, 220, 200, kWhite, {"SOUND"}),
       Line(F1, 0.55, 286, 200, kWhite, {"FULLSCREEN"}),
       Line(F1, 0.55, 346, 200, kWhite, {"EXPLANATIONS"}),
       Line(F1, 0.6, 466, 200, kWhite, {"BACK"})});
  const std::string box_label = "SHOW THIS BEFORE EACH GAME";
  WriteText(
      pack, "game_message_arcade",
      {Line(F1, 0.75, 128, 1010, kGold, {"ARCADE"}),
       Line(F2, 0.5, 172, 1010, kWhite,
            {"AIM WITH THE MOUSE, SHOOT WITH THE LEFT", "BUTTON. THREE OR MORE BALLS OF ONE",
             "COLOUR BURST, AND BALLS LEFT HANGING", "FROM NOTHING FALL AWAY.", "",
             "THE FIELD KEEPS CREEPING DOWN. EVERY", "BURST FILLS THE STRIP AT THE TOP; A FULL",
             "STRIP CLEARS THE LEVEL. IF A BALL", "REACHES THE LASER LINE, THE GAME IS OVER."},
            22),
       Line(F2, 0.5, 423, 1010, kSoft, {box_label}, 0, 200, "left")});
  WriteText(pack, "game_message_challenge",
            {Line(F1, 0.75, 128, 1010, kGold, {"CHALLENGE"}),
             Line(F2, 0.5, 172, 1010, kWhite,
                  {"THE STRIP AT THE TOP STARTS HALF FULL", "AND DRAINS ALL THE TIME. EVERY POINT",
                   "YOU SCORE PUSHES IT BACK UP.", "", "FILL THE STRIP TO CLEAR THE LEVEL.",
                   "IF IT RUNS EMPTY, THE GAME IS OVER.", "", "THE FIELD NEVER PASSES THE PLANK,",
                   "SO KEEP THE SHOTS COMING FAST."},
                  22),
             Line(F2, 0.5, 423, 1010, kSoft, {box_label}, 0, 200, "left")});
  WriteText(pack, "game_message_puzzle",
            {Line(F1, 0.75, 128, 1010, kGold, {"PUZZLE"}),
             Line(F2, 0.5, 172, 1010, kWhite,
                  {"EACH PUZZLE IS A FIXED LAYOUT WITH", "CRYSTALS LOCKED INSIDE. A CRYSTAL",
                   "FLIES FREE WHEN BOTH BALLS BELOW IT", "ARE GONE. FREE ALL CRYSTALS TO WIN.", "",
                   "EVERY FEW SHOTS THE FIELD SLIDES", "DOWN ONE ROW; THE METER ON THE RIGHT",
                   "COUNTS THE SHOTS. IF THE FIELD REACHES", "THE BOTTOM, TRY THE PUZZLE AGAIN."},
                  22),
             Line(F2, 0.5, 423, 1010, kSoft, {box_label}, 0, 200, "left")});
  WriteText(pack, "exit_to_windows", {Line(F1, 0.8, 240, 1010, kGold, {"QUIT QUORVEX?"})});
  WriteText(pack, "help_title", {Title(45, "HOW TO PLAY")});
  // Keyboard and controller flank the shot demonstration; the mouse and the rules sit below it.
  const int keys_x = 278, pad_x = 535;
  WriteText(
      pack, "help_page1",
      {Line(F2, 0.5, 204, 200, kCyan, {"KEYBOARD"}, 0, keys_x),
       Line(F2, 0.45, 226, 200, kWhite,
            {"LEFT, RIGHT: AIM", "SHIFT: FINER AIM", "UP, SPACE: SHOOT", "DOWN: SWAP",
             "ESCAPE: MENU"},
            19, keys_x),
       Line(F2, 0.5, 204, 200, kCyan, {"CONTROLLER"}, 0, pad_x),
       Line(F2, 0.45, 226, 200, kWhite,
            {"STICK, D-PAD: AIM", "A: SHOOT", "B: SWAP", "START: MENU", "BACK: FULLSCREEN"}, 19,
            pad_x),
       Line(F2, 0.5, 345, 200, kWhite,
            {"MOVE THE MOUSE TO AIM, LEFT CLICK TO SHOOT,",
             "RIGHT CLICK TO SWAP IN THE NEXT (SMALL) BALL.",
             "THREE OR MORE BALLS OF ONE COLOUR BURST;",
             "BALLS THAT NO LONGER HANG FROM THE TOP FALL.",
             "SHOTS BOUNCE OFF THE SIDE NETS. A MOUNTED", "PAINT ROCKET FIRES INSTEAD OF A SWAP."},
            19)});
  WriteText(pack, "help_page2",
            {Line(F2, 0.5, 146, 200, kWhite,
                  {"BLUE - MARKED WITH A RING", "YELLOW - MARKED WITH A STAR",
                   "GREEN - MARKED WITH A TRIANGLE", "RED - MARKED WITH A HEART",
                   "MAGENTA - MARKED WITH A DIAMOND", "GREY - MARKED WITH A SQUARE",
                   "CYAN - MARKED WITH A CROSS", "COLOUR BOMB - PAINTS ITS NEIGHBOURS",
                   "BIG BOMB - BLASTS A WIDE AREA", "MULTIBALL - MATCHES EVERY COLOUR"},
                  33, 245, "left")});
  WriteText(pack, "your_name", {Line(F1, 0.75, 205, 1010, kGold, {"ENTER YOUR NAME"})});
  WriteText(pack, "rename_player", {Line(F1, 0.75, 205, 1010, kGold, {"NEW NAME"})});
  WriteText(pack, "name_already_exists",
            {Line(F2, 0.6, 260, 1010, kWhite, {"THIS NAME IS ALREADY TAKEN"})});
  WriteText(pack, "please_enter_name", {Line(F2, 0.6, 260, 1010, kWhite, {"PLEASE ENTER A NAME"})});
}

// ----------------------------------------------------------------------------- levels

void WriteLevels(Pack& pack) {
  for (const LevelFile& f : BuildLevels()) pack.WriteLines(f.path, f.lines);
}

}  // namespace

void WriteData(Pack& pack) {
  WriteOptions(pack);
  WriteCombo(pack);
  WriteMaps(pack);
  WriteTexts(pack);
  WriteLevels(pack);
  WriteLists(pack);
}

}  // namespace packgen
