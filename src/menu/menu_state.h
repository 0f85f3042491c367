#pragma once
// State of the menu subsystem, owned by the context.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "menu/name_input.h"
#include "menu/player_list.h"
#include "menu/players.h"
#include "menu/records.h"

namespace qv {

constexpr int kMenuSamples = 35;

// How far the menu scene has come since it started: the main menu's first appearance in a run
// fades in. The values are the state dump's menu "state".
enum class MenuStage : int {
  SceneStart = 0,
  Running = 1,      // the first appearance has ended, or there was none
  LoadingDone = 2,  // the loading screen has just completed
  FadingIn = 3,     // the first appearance fades in
};

// Registry slots of the objects the menu pages work with; -1 when not made.
struct MenuButtons {
  int menu_panel = -1;
  int rename_cursor = -1;
  std::array<int, 5> main{-1, -1, -1, -1, -1};
  std::array<int, 5> main_move{-1, -1, -1, -1, -1};
  std::array<int, 4> type{-1, -1, -1, -1};
  std::array<int, 4> type_move{-1, -1, -1, -1};
  std::array<int, 5> options{-1, -1, -1, -1, -1};
  std::array<int, 5> options_move{-1, -1, -1, -1, -1};
  int help_ok = -1, help_move = -1, help_left = -1, help_right = -1;
  int scores_left = -1, scores_right = -1, scores_ok = -1, scores_move = -1;
  int input_ok = -1, input_cancel = -1;
  int marker = -1, scroller_bar = -1;  // player list
  // The open dialog's buttons in button order (exit question, name message, delete
  // confirmation, continue dialog, explanation, player list).
  std::vector<int> dialog;
};

// The shot shown on the first help page, restarted every four seconds.
struct HelpDemo {
  std::uint32_t start = 0;
  int stage = 0;  // 0 flying, 1 arrived, 2 burst, 3 targets back
  bool running = false;
};

struct MenuState {
  // Menu run values, reset when the menu scene starts and set when the loading screen ends.
  std::uint32_t running_since = 0;
  MenuStage state = MenuStage::SceneStart;
  bool fullscreen_request = false;
  bool shown_before = false;
  std::int64_t music = -1;  // "music_menu", found once the loading set-up has loaded the music

  // Players: the list in file order, the list page's view of it, and the name being typed.
  std::vector<Player> players;
  PlayerListView list;
  NameMode input_mode = NameMode::FirstRun;
  std::string name_buffer;

  int game_type = 1;  // chosen on the game-type page
  int comment = 0;    // the game-type description up (0 none, 1..3)
  int help_page = 1;
  HelpDemo demo;

  // The scores page: the type shown, whether the game opened it, the rows drawn.
  int scores_type = 1;
  bool scores_from_game = false;
  bool scores_open = false;
  RecordTable table;
  int insert_position = 0;

  // The continue dialog.
  bool continue_after_loss = false;
  int continue_level = 0;

  // The keys behind MenuCommand::Key, in the order pressed: several may arrive between two
  // frames, and none may be lost. Bounded; keys beyond it are dropped.
  struct Key {
    int code = 0;
    int shift = 0;
  };
  std::vector<Key> keys;
  int volume_direction = 0;  // set by hover over a volume row's end: -1, 0, +1
  int music_drawn = -1;      // the volume the bars show, -1 to redraw
  int sound_drawn = -1;
  bool sound_bars_fresh = true;  // the page just opened: no sample on the first drawing
  std::uint32_t ended_at = 0;  // frame_clock when the menu scene was left

  MenuButtons buttons;
  std::array<std::int64_t, kMenuSamples> samples{};
};

}  // namespace qv
