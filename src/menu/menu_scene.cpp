#include "menu/menu_scene.h"

#include <cmath>
#include <string>

#include "audio/audio.h"
#include "base/sample_names.h"
#include "game/particles.h"
#include "menu/menu_layout.h"
#include "menu/menu_pages.h"
#include "scene/buttons.h"
#include "scene/cursor.h"
#include "scene/dialog_fade.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "context.h"
#include "loading/loading.h"
#include "base/log.h"
#include "shell/frame.h"
#include "shell/main_form.h"
#include "base/message.h"
#include "shell/options_file.h"
#include "shell/scene_table.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {


constexpr const char* kMainTags[] = {kMainMenuTag, "menu_text", "menu_text_button1",
                                     "menu_text_button2"};
constexpr int kMenuFadeMs = 1500;
constexpr int kOpaque = 255;
// A hovered row's moving piece shows its four cycling variants (2..5) for this long each.
constexpr std::uint32_t kMovepartFrameMs = 128;
constexpr Point kWelcomeText{400, 96};

template <std::size_t N>
void FindAll(const Context& ctx, std::array<int, N>& out, const char* const (&names)[N],
             const char* tag) {
  for (std::size_t i = 0; i < N; ++i) out[i] = FindObject(ctx, names[i], -1, tag);
}

template <std::size_t N>
void FindNth(const Context& ctx, std::array<int, N>& out, const char* name, const char* tag) {
  for (std::size_t i = 0; i < N; ++i) out[i] = FindObject(ctx, name, static_cast<int>(i), tag);
}

void SetMenuPanelAlpha(Context& ctx, int alpha) {
  const int slot = ctx.menu.buttons.menu_panel;
  if (slot < 0 || slot >= MultiSpriteCount(ctx)) return;
  if (TMultiSprite* m = MultiSpriteAt(ctx, slot); m != nullptr && !m->parts.empty()) {
    m->parts[0]->alpha = static_cast<std::uint8_t>(alpha);
  }
}

void SetMainAlpha(Context& ctx, int alpha) {
  SetMenuPanelAlpha(ctx, alpha);
  for (const char* tag : kMainTags) SetTagAlpha(ctx, tag, alpha);
}

void FirstEntrySetup(Context& ctx) {
  MenuState& m = ctx.menu;
  MenuButtons& b = m.buttons;
  m.players = ReadPlayersFile();
  CancelDialogFade(ctx);
  // The game type's title stays up through a game; the menu has its own.
  unload_by_tag(ctx, "game_type_text");

  load_location_map(ctx, "menu.map");
  load_location_map(ctx, "menu_buttons_mainmenu.map");
  load_location_map(ctx, "menu_buttons_select_game_type.map");
  ShowTextFile(ctx, "text\\choose_game_type.txt", "menu_buttons_select_game_type", "");
  load_location_map(ctx, "menu_buttons_music_sound_fullscreen.map");
  ShowTextFile(ctx, "text\\game_options.txt", "menu_buttons_music_sound_fullscreen", "");
  load_location_map(ctx, "menu_help.map");
  // The scores page stays for the whole run: the game scene shows it too.
  if (FindObject(ctx, "button_ok_mini", -1, kScoresPageTag) < 0) {
    load_location_map(ctx, "menu_scores.map");
  }
  load_location_map(ctx, "input_player_name.map");

  b.menu_panel = FindObject(ctx, "menu_panel", -1, "menu");
  b.rename_cursor = FindObject(ctx, "rename_cursor", -1, "input_player_name");
  load_location_map(ctx, "input_player_name_back.map");
  BuildWelcomeText(ctx);

  for (const char* tag : kMainTags) SetTagAlpha(ctx, tag, 0);
  for (const char* tag : {"menu_buttons_select_game_type", "menu_buttons_music_sound_fullscreen",
                          kScoresPageTag, "menu_help", "input_player_name",
                          "input_player_name_back"}) {
    ShowTag(ctx, tag, false);
  }

  static constexpr const char* kMain[] = {"button_start", "button_options", "button_scores",
                                          "button_help", "button_exit"};
  static constexpr const char* kType[] = {"button_arcade", "button_challenge", "button_puzzle",
                                          "button_back"};
  static constexpr const char* kOptions[] = {"button_body_music", "button_body_sound",
                                             "button_fullscreen", "button_tips", "button_back"};
  FindAll(ctx, b.main, kMain, kMainMenuTag);
  FindNth(ctx, b.main_move, "movepart", kMainMenuTag);
  FindAll(ctx, b.type, kType, "menu_buttons_select_game_type");
  FindNth(ctx, b.type_move, "movepart", "menu_buttons_select_game_type");
  FindAll(ctx, b.options, kOptions, "menu_buttons_music_sound_fullscreen");
  FindNth(ctx, b.options_move, "movepart", "menu_buttons_music_sound_fullscreen");
  b.help_ok = FindObject(ctx, "button_ok_mini", -1, "menu_help");
  b.help_move = FindObject(ctx, "movepart_mini", -1, "menu_help");
  b.help_left = FindObject(ctx, "repair_left", -1, "menu_help");
  b.help_right = FindObject(ctx, "repair_right", -1, "menu_help");
  b.scores_left = FindObject(ctx, "repair_left", -1, kScoresPageTag);
  b.scores_right = FindObject(ctx, "repair_right", -1, kScoresPageTag);
  b.scores_ok = FindObject(ctx, "button_ok_mini", -1, kScoresPageTag);
  b.scores_move = FindObject(ctx, "movepart_mini", -1, kScoresPageTag);
  b.input_ok = FindObject(ctx, "panel_ok", -1, "input_player_name");
  b.input_cancel = FindObject(ctx, "panel_cancel", -1, "input_player_name");

  if (m.shown_before) SetMainAlpha(ctx, kOpaque);

  for (int i = 0; i < kMenuSamples; ++i) {
    m.samples[i] = FindAudio(ctx, std::string("sample_") + kSampleNames[i]);
  }

  static constexpr const char* kComments[] = {"text\\game_comment_arcade.txt",
                                              "text\\game_comment_challenge.txt",
                                              "text\\game_comment_puzzle.txt"};
  for (int i = 0; i < 3; ++i) {
    const std::string tag = "game_comment" + std::to_string(i + 1);
    unload_by_tag(ctx, tag);
    ShowTextFile(ctx, kComments[i], tag, "");
    ShowTag(ctx, tag, false);
  }
  ctx.shell.flow.scene_phase = 1;
  m.shown_before = true;
}

// The main menu fades in over its first 1.5 s after loading; later entries show it at once.
void MainMenuFadeIn(Context& ctx) {
  MenuState& m = ctx.menu;
  const std::uint32_t now = ctx.clocks.frame_clock;
  if (m.state == MenuStage::LoadingDone && now != m.running_since) m.state = MenuStage::FadingIn;
  if (m.state != MenuStage::FadingIn) return;
  const std::uint32_t elapsed = now - m.running_since;
  if (elapsed >= static_cast<std::uint32_t>(kMenuFadeMs)) {
    SetMainAlpha(ctx, kOpaque);
    m.state = MenuStage::Running;
    return;
  }
  SetMainAlpha(ctx, static_cast<int>(std::trunc(elapsed * 255.0 / kMenuFadeMs)));
}

void UpdateAllObjects(Context& ctx) {
  const int count = MultiSpriteCount(ctx);
  for (int slot = 0; slot < count; ++slot) {
    if (TMultiSprite* obj = MultiSpriteAt(ctx, slot)) obj->Update();
  }
}

// The scene has been built and runs from now on.
void MenuRunningSince(Context& ctx) {
  ctx.menu.running_since = ctx.clocks.frame_clock;
}

void FullscreenSwitch(Context& ctx) {
  if (!ctx.menu.fullscreen_request) return;
  ctx.menu.fullscreen_request = false;
  WriteLog(ctx, "fullscreenchange from menu");
  FullScreenChange(ctx);
  WriteOptionSafely(ctx, "fullscreen", ctx.options.fullscreen ? 1 : 0);
}

void FindMenuMusic(Context& ctx) {
  ctx.menu.music = FindAudio(ctx, "music_menu");
}

// The loading screen has ended: the main menu's first appearance fades in, with its music.
void MenuLoadingDone(Context& ctx) {
  ctx.menu.running_since = ctx.clocks.frame_clock;
  ctx.menu.state = MenuStage::LoadingDone;
  ChangeMusic(ctx, ctx.menu.music, 0, kMenuMusicFadeMs);
}

}  // namespace

void SetCommand(Context& ctx, MenuCommand command) {
  ctx.shell.flow.command = command;
}

MenuCommand StartCommandFor(int type) {
  return type == 2   ? MenuCommand::StartChallenge
         : type == 3 ? MenuCommand::StartPuzzle
                     : MenuCommand::StartArcade;
}

void AnimateMovepart(Context& ctx, int slot, bool group0, bool group1) {
  const int cycling = static_cast<int>((ctx.clocks.frame_clock / kMovepartFrameMs) % 4) + 2;
  SelectVariant(ctx, slot, 0, group0 ? cycling : 0);
  SelectVariant(ctx, slot, 1, group1 ? cycling : 0);
}

void WriteOptionSafely(Context& ctx, std::string_view key, int value) {
  if (const Expected<void> written = WriteOption("options.txt", key, std::to_string(value));
      !written) {
    ReportError(ctx, written.error().message);
  }
}

void SavePlayers(Context& ctx) {
  if (const Expected<void> written = WritePlayersFile(ctx.menu.players); !written) {
    ReportError(ctx, written.error().message);
  }
}

Player* CurrentPlayer(Context& ctx) {
  std::vector<Player>& players = ctx.menu.players;
  if (players.empty()) return nullptr;
  int& index = ctx.options.player_index;
  if (!ValidPlayerIndex(index, static_cast<int>(players.size()))) {
    index = 0;
    WriteOptionSafely(ctx, "player_index", 0);
  }
  return &players[index];
}

std::int64_t MenuSample(const Context& ctx, int number) {
  return number >= 1 && number <= kMenuSamples ? ctx.menu.samples[number - 1] : -1;
}

void StartSceneMenu(Context& ctx) {
  // The music list is read before the first start, and never changes after.
  FindMenuMusic(ctx);
  ctx.menu.running_since = 0;
  ctx.menu.state = MenuStage::SceneStart;
  ctx.menu.fullscreen_request = false;
  EnterMenuScene(ctx);
  ShowLoadingScreen(ctx);
  if (LoadingBegun(ctx)) ChangeMusic(ctx, ctx.menu.music, kMenuMusicFadeMs, kMenuMusicFadeMs);
}

void FillMenuScene(SceneOps& ops) {
  ops.start = StartSceneMenu;
  ops.leave = LeaveSceneMenu;
  ops.frame = MenuFrame;
  ops.loading_remains = LoadingEntriesRemain;
  ops.running = MenuRunningSince;
  ops.mouse_down = MenuMouseDown;
  ops.click = MenuClick;
  ops.key_down = MenuKeyDown;
}

void MenuFrame(Context& ctx) {
  // The loading screen runs in front of the menu and knows nothing of it: the menu sees the
  // step that finished loading and takes over.
  const bool loaded_before = LoadingDone(ctx);
  if (LoadingScreenStep(ctx)) return;
  if (!loaded_before && LoadingDone(ctx)) MenuLoadingDone(ctx);
  if (ctx.shell.flow.scene_phase == 0) FirstEntrySetup(ctx);
  DialogFadeStep(ctx);
  MainMenuFadeIn(ctx);
  UpdateMouse(ctx, true);
  MenuHover(ctx);
  RunMenuCommand(ctx);
  DrawVolumeBars(ctx);
  HelpDemoStep(ctx);
  UpdateAllObjects(ctx);
  UpdateParticles(ctx);
  FullscreenSwitch(ctx);
}

void BuildWelcomeText(Context& ctx) {
  for (const char* tag : {"menu_text", "menu_text_button1", "menu_text_button2"}) {
    unload_by_tag(ctx, tag);
  }
  ShowTextFile(ctx, "text\\game_title_menu.txt", "menu_text", "");
  const std::vector<Player>& players = ctx.menu.players;
  const int index = ctx.options.player_index;
  if (ValidPlayerIndex(index, static_cast<int>(players.size()))) {
    create_txt(ctx, "WELCOME TO QUORVEX, " + players[index].name + "!", kPageTextZ, kFontTaurus1,
               2, "menu_text", 0xFFFFFF, 0.52, kWelcomeText.y, kWelcomeText.x);
  }
  ShowTextFile(ctx, "text\\menu_text_button1.txt", "menu_text_button1", "");
  ShowTextFile(ctx, "text\\menu_text_button2.txt", "menu_text_button2", "");
  ShowTag(ctx, "menu_text_button2", false);
}

void RefreshWelcomeText(Context& ctx) {
  constexpr const char* kTexts[] = {"menu_text", "menu_text_button1", "menu_text_button2"};
  int alpha = kOpaque;
  for (int slot = 0; slot < MultiSpriteCount(ctx); ++slot) {
    const TMultiSprite* m = MultiSpriteAt(ctx, slot);
    if (m != nullptr && m->tag == kTexts[0]) {
      alpha = m->alpha;
      break;
    }
  }
  BuildWelcomeText(ctx);
  for (const char* tag : kTexts) {
    SetTagAlpha(ctx, tag, alpha);
    AddToDialogFade(ctx, tag);
  }
}

void ShowMainMenu(Context& ctx) {
  if (ctx.audio.current_music != ctx.menu.music) {
    ChangeMusic(ctx, ctx.menu.music, kMenuMusicFadeMs, kMenuMusicFadeMs);
  }
  ctx.shell.flow.click_context = ClickContext::MainMenu;
  for (const char* tag : {"menu_buttons_select_game_type", "menu_buttons_music_sound_fullscreen",
                          "menu_help", kScoresPageTag, "input_player_name",
                          "input_player_name_back"}) {
    ShowTag(ctx, tag, false);
  }
  ShowTag(ctx, kMainMenuTag, true);
  for (const char* tag :
       {"poloska_music", "poloska_sound", "help_text", "scores_text", "options_text",
        "start_text", "game_type_text", "exit_to_windows", "scores_records", "select_player",
        "select_player_text_button1", "select_player_text_button2", "select_player_text",
        "input_player_name_text", "input_player_name_title"}) {
    unload_by_tag(ctx, tag);
  }
  ctx.menu.scores_open = false;
  ctx.menu.demo.running = false;
  BuildWelcomeText(ctx);
  OpenDialogFade(ctx, {kMainMenuTag, "menu_text", "menu_text_button1",
                       "menu_text_button2"});
  for (const char* tag : {"game_comment1", "game_comment2", "game_comment3"}) {
    ShowTag(ctx, tag, false);
  }
}

void LeaveSceneMenu(Context& ctx) {
  ShellState& s = ctx.shell;
  s.flow.scene_ready = false;
  ctx.clocks.ClearPause();
  SetCursorVariant(ctx, 0);
  for (const char* tag :
       {"menu", kMainMenuTag, "menu_buttons_select_game_type", "poloska_music",
        "poloska_sound", "menu_help.map", "menu_buttons_music_sound_fullscreen.map",
        "input_player_name.map",
        // The first-entry set-up loads the backdrop anew on every return to the menu.
        "input_player_name_back.map"}) {
    unload_by_tag(ctx, tag);
  }
  // The menu's backdrop must not show through the game scene.
  ShowTag(ctx, "loading", false);
  ClearParticles(ctx);
  CancelDialogFade(ctx);
  ctx.menu.scores_open = false;
  ctx.menu.demo.running = false;
  ctx.menu.ended_at = ctx.clocks.frame_clock;
  // Destroyed multisprites are freed at once here, so nothing is left to finish.
}

}  // namespace qv
