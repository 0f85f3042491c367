// The menu commands carried out by the menu frame, and the pages they open.
#include <algorithm>
#include <string>

#include "audio/audio.h"
#include "context.h"
#include "game/particles.h"
#include "game/pictures.h"
#include "menu/menu_layout.h"
#include "menu/menu_pages.h"
#include "menu/menu_scene.h"
#include "menu/volume.h"
#include "platform/virtual_key.h"
#include "scene/buttons.h"
#include "scene/dialog_fade.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "shell/scene_table.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {

constexpr const char* kBarSprite = "graphics\\musicsoundfullscreen\\music_sound_poloska.spr";

void UnloadMenuTexts(Context& ctx) {
  for (const char* tag : {"menu_text", "menu_text_button1", "menu_text_button2"}) {
    unload_by_tag(ctx, tag);
  }
}

void HideDescriptions(Context& ctx) {
  for (const char* tag : {"game_comment1", "game_comment2", "game_comment3"}) {
    ShowTag(ctx, tag, false);
  }
}

void OpenGameTypePage(Context& ctx) {
  // The description under the mouse now counts as already shown, so the page's own fade-in
  // is not restarted for it on the next frame.
  ctx.menu.comment = 0;
  for (int i = 0; i < 3; ++i) {
    if (ctx.shell.pointer.Over(kMenuRows[kGameTypeRowOf[i]])) ctx.menu.comment = i + 1;
  }
  ctx.shell.flow.click_context = ClickContext::GameTypePage;
  ShowTag(ctx, kMainMenuTag, false);
  ShowTag(ctx, "menu_buttons_select_game_type", true);
  UnloadMenuTexts(ctx);
  ShowTextFile(ctx, "text\\game_title_start.txt", "start_text", "");
  OpenDialogFade(ctx, {"menu_buttons_select_game_type", "start_text", "game_comment1",
                       "game_comment2", "game_comment3"});
}

std::string TypeFile(const char* prefix, int type) {
  const char* name = type == 1 ? "arcade" : type == 2 ? "challenge" : "puzzle";
  return std::string("text\\") + prefix + name + ".txt";
}

void StartType(Context& ctx, int type) {
  HideDescriptions(ctx);
  ChangeMusic(ctx, -1, kMenuMusicFadeMs, 0);
  unload_by_tag(ctx, "game_message");
  unload_by_tag(ctx, "continue_last_game");
  ctx.shell.flow.pending_scene = SceneId::Game;
  ctx.menu.game_type = type;
  ctx.shell.flow.click_context = ClickContext::MainMenu;
  ShowTextFile(ctx, TypeFile("game_title_", type), "game_type_text", "");
  unload_by_tag(ctx, "start_text");
  // The game starts where the player's saved progress says.
  ctx.game.session.game_type = GameTypeOf(type);
  ctx.game.session.level = 1;
  ctx.game.session.score = 0;
  if (const Player* p = CurrentPlayer(ctx)) {
    ctx.game.session.level = std::max(p->saved_level[type - 1], 1);
    ctx.game.session.score = p->saved_score[type - 1];
  }
}

void OpenOptions(Context& ctx) {
  ctx.shell.flow.click_context = ClickContext::Options;
  ShowTag(ctx, kMainMenuTag, false);
  ShowTag(ctx, "menu_buttons_music_sound_fullscreen", true);
  UnloadMenuTexts(ctx);
  ShowTextFile(ctx, "text\\game_title_options.txt", "options_text", "");
  ctx.menu.music_drawn = -1;
  ctx.menu.sound_drawn = -1;
  ctx.menu.sound_bars_fresh = true;
  OpenDialogFade(ctx, {"menu_buttons_music_sound_fullscreen", "options_text", "poloska_music",
                       "poloska_sound"});
}

void OpenHelp(Context& ctx) {
  ctx.shell.flow.click_context = ClickContext::Help;
  ShowTag(ctx, kMainMenuTag, false);
  ShowTag(ctx, "menu_help", true);
  UnloadMenuTexts(ctx);
  ShowHelpPage(ctx, 1);
}

void OpenExplanation(Context& ctx) {
  HideDescriptions(ctx);
  ctx.shell.flow.click_context = ClickContext::GameTypeExplanation;
  ShowTag(ctx, "menu_buttons_select_game_type", false);
  unload_by_tag(ctx, "game_message");
  load_location_map(ctx, "game_message.map");
  ShowTextFile(ctx, TypeFile("game_message_", ctx.menu.game_type), "game_message", "");
  OpenDialogButtons(ctx, "game_message", {"checkbox", "panel_ok"});
  OpenDialogFade(ctx, {"game_message"});
}

void OpenExitQuestion(Context& ctx) {
  ctx.shell.flow.click_context = ClickContext::ExitQuestion;
  ShowTag(ctx, kMainMenuTag, false);
  unload_by_tag(ctx, "exit_to_windows");
  load_location_map(ctx, "exit_to_windows.map");
  ShowTextFile(ctx, "text\\exit_to_windows.txt", "exit_to_windows", "");
  OpenDialogButtons(ctx, "exit_to_windows", {"panel_yes", "panel_no"});
  OpenDialogFade(ctx, {"exit_to_windows"});
}

void StepVolume(Context& ctx, int& volume) {
  volume = SteppedVolume(volume, ctx.menu.volume_direction);
}

}  // namespace

void ApplyPendingKeys(Context& ctx) {
  ctx.shell.flow.command = MenuCommand::None;
  MenuState& m = ctx.menu;
  bool changed = false;
  for (const MenuState::Key& k : m.keys) {
    if (ctx.shell.flow.click_context == ClickContext::NameInput) {
      changed = NameKey(m.name_buffer, k.code, k.shift) || changed;
    } else if (ctx.shell.flow.click_context == ClickContext::PlayerList) {
      const bool up = k.code == platform::VirtualKey::Up;
      const bool down = k.code == platform::VirtualKey::Down;
      if (up) ScrollUp(m.list);
      if (down) ScrollDown(m.list, static_cast<int>(m.players.size()));
      changed = changed || up || down;
    }
  }
  m.keys.clear();
  if (!changed) return;
  if (ctx.shell.flow.click_context == ClickContext::NameInput) DrawName(ctx);
  if (ctx.shell.flow.click_context == ClickContext::PlayerList) DrawPlayerList(ctx);
}

namespace {

// One bar of copies for a volume, drawn along its slider; returns true when it was drawn anew.
bool DrawBars(Context& ctx, int volume, int& drawn, const char* tag, const Rect& slider) {
  if (volume == drawn) return false;
  unload_by_tag(ctx, tag);
  const int alpha = ctx.scene.fade.alpha;
  for (int i = 0; i < volume; ++i) {
    TMultiSprite* bar = CreateMultiSprite(ctx, kBarSprite);
    if (bar == nullptr) break;
    bar->x = slider.left + i * bar->width;
    bar->y = slider.top;
    bar->tag = tag;
    bar->alpha = static_cast<std::uint8_t>(alpha);
  }
  RebuildTagList(ctx, kDialogTagList);
  drawn = volume;
  return true;
}

}  // namespace

void RunMenuCommand(Context& ctx) {
  const MenuCommand command = ctx.shell.flow.command.ForMenu();
  ctx.shell.flow.command = MenuCommand::None;
  switch (command) {
    case MenuCommand::Key:
      ApplyPendingKeys(ctx);
      break;
    case MenuCommand::GameTypePage:
      OpenGameTypePage(ctx);
      break;
    case MenuCommand::MainMenu:
      ShowMainMenu(ctx);
      break;
    case MenuCommand::StartArcade:
      StartType(ctx, 1);
      break;
    case MenuCommand::StartChallenge:
      StartType(ctx, 2);
      break;
    case MenuCommand::StartPuzzle:
      StartType(ctx, 3);
      break;
    case MenuCommand::Options:
      OpenOptions(ctx);
      break;
    case MenuCommand::Scores:
      OpenScoresPage(ctx, false);
      break;
    case MenuCommand::Help:
      OpenHelp(ctx);
      break;
    case MenuCommand::FullscreenToggle:
      ctx.menu.fullscreen_request = true;
      break;
    case MenuCommand::GameTypeExplanation:
      OpenExplanation(ctx);
      break;
    case MenuCommand::MusicVolumeStep:
      StepVolume(ctx, ctx.options.music_volume);
      break;
    case MenuCommand::SoundVolumeStep:
      StepVolume(ctx, ctx.options.sound_volume);
      break;
    case MenuCommand::ExitQuestion:
      OpenExitQuestion(ctx);
      break;
    case MenuCommand::NameInput:
      OpenNameInput(ctx);
      break;
    case MenuCommand::PlayerList:
      OpenPlayerList(ctx);
      break;
    case MenuCommand::DeleteConfirmation:
      OpenDeleteConfirm(ctx);
      break;
    case MenuCommand::ContinueAfterLoss:
    case MenuCommand::Continue:
      HideDescriptions(ctx);
      OpenContinueDialog(ctx, command == MenuCommand::ContinueAfterLoss);
      break;
    case MenuCommand::ExplanationsToggle:
      if (Player* p = CurrentPlayer(ctx)) {
        ToggleExplanations(*p);
        SavePlayers(ctx);
      }
      break;
    default:
      break;
  }
  if (command != MenuCommand::Key) ctx.menu.keys.clear();
}

void VolumeOptionRead(Context& ctx, bool music) {
  (music ? ctx.menu.music_drawn : ctx.menu.sound_drawn) = -1;
}

void DrawVolumeBars(Context& ctx) {
  if (ctx.shell.flow.click_context != ClickContext::Options) return;
  MenuState& m = ctx.menu;
  Options& o = ctx.options;
  o.music_volume = std::clamp(o.music_volume, 0, kMaxVolume);
  o.sound_volume = std::clamp(o.sound_volume, 0, kMaxVolume);
  if (DrawBars(ctx, o.music_volume, m.music_drawn, "poloska_music", kVolumeSliders[0])) {
    ApplyMusicVolume(ctx);
    if (o.music_volume > 0 && !ctx.audio.music_on) {
      ctx.audio.music_on = true;
      ChangeMusic(ctx, ctx.loading.music_menu, 0, kMenuMusicFadeMs);
    }
    WriteOptionSafely(ctx, "music_volume", o.music_volume);
  }
  if (DrawBars(ctx, o.sound_volume, m.sound_drawn, "poloska_sound", kVolumeSliders[1])) {
    ApplySoundVolume(ctx);
    if (!m.sound_bars_fresh) PlaySample(ctx, "sample_hit");
    WriteOptionSafely(ctx, "sound_volume", o.sound_volume);
  }
  m.sound_bars_fresh = false;
}

void OpenDialogButtons(Context& ctx, std::string_view tag,
                       std::initializer_list<std::string_view> names) {
  std::vector<int>& buttons = ctx.menu.buttons.dialog;
  buttons.clear();
  for (std::string_view name : names) buttons.push_back(FindObject(ctx, name, -1, tag));
}

// ---- help pages

namespace {

// The first page's demonstration: the shot ball flies up from the cannon to the targets, the
// group bursts and the balls below it drop, the targets come back, and it starts over.
constexpr int kDemoBallStartY = 305;
constexpr int kDemoBallStopY = 256;
constexpr double kDemoBallSpeed = 0.25;  // pixels per millisecond
constexpr std::uint32_t kDemoBurstMs = 500;
constexpr std::uint32_t kDemoTargetsBackMs = 1500;
constexpr std::uint32_t kDemoLoopMs = 4000;
// Particle kinds: a quarter of a burst ball, and a dropped ball of the fourth colour.
constexpr int kBurstPieceParticle = 21;
constexpr int kDroppedBallParticle = 4;

constexpr Point kPageNumberText{400, 108};

constexpr const char* kPage1Objects[] = {"ball2_mini", "ball3_mini", "ball4_mini",
                                         "scores_poloska_vert", "canon2_mini"};
constexpr const char* kPage2Objects[] = {"ball1", "ball2", "ball3", "ball4", "ball5",
                                         "ball6", "ball7", "bomb1", "bomb2", "multiball"};

void ShowNamed(Context& ctx, const char* name, bool visible) {
  for (int k = 0;; ++k) {
    const int slot = FindObject(ctx, name, k, "menu_help");
    if (slot < 0) return;
    ShowObject(ctx, slot, visible);
  }
}

int HelpObject(const Context& ctx, const char* name, int nth) {
  return FindObject(ctx, name, nth, "menu_help");
}

void ShowTargets(Context& ctx, bool visible) {
  ShowObject(ctx, HelpObject(ctx, "ball3_mini", 0), visible);
  ShowObject(ctx, HelpObject(ctx, "ball3_mini", 1), visible);
  ShowObject(ctx, HelpObject(ctx, "ball4_mini", 0), visible);
  ShowObject(ctx, HelpObject(ctx, "ball4_mini", 1), visible);
}

void StartDemo(Context& ctx) {
  HelpDemo& d = ctx.menu.demo;
  d.start = ctx.clocks.frame_clock;
  d.stage = 0;
  d.running = true;
  const int canon = HelpObject(ctx, "canon2_mini", -1);
  if (TMultiSprite* m = canon >= 0 ? MultiSpriteAt(ctx, canon) : nullptr) {
    if (!m->parts.empty()) {
      m->parts[0]->anim_pos = 0;
      m->parts[0]->anim_speed = m->parts[0]->base_anim_speed;
    }
  }
  const int ball = HelpObject(ctx, "ball3_mini", 2);
  ShowObject(ctx, ball, true);
  SetObjectY(ctx, ball, kDemoBallStartY);
  ShowTargets(ctx, true);
}

// A ball bursts into four green pieces, one per quarter of its picture.
void Burst(Context& ctx, int slot) {
  const TMultiSprite* ball = slot >= 0 ? MultiSpriteAt(ctx, slot) : nullptr;
  if (ball == nullptr) return;
  for (int j = 0; j < 2; ++j) {
    for (int k = 0; k < 2; ++k) {
      const int p = CreateParticle(ctx, kBurstPieceParticle, ball->x + 10 * (k - 0.5),
                                   ball->y + 10 * (j - 0.5));
      const PicId pic = ctx.game.run.particles.slots[p].sprite;
      SetPicColor(ctx, pic, 0x00FF00);
      SelectPicPart(ctx, pic, 0, k + 2 * j);
    }
  }
}

void Drop(Context& ctx, int slot) {
  const TMultiSprite* ball = slot >= 0 ? MultiSpriteAt(ctx, slot) : nullptr;
  if (ball == nullptr) return;
  const int p = CreateParticle(ctx, kDroppedBallParticle, ball->x, ball->y);
  SetPicScale(ctx, ctx.game.run.particles.slots[p].sprite, 0.75, 0.75);
}

}  // namespace

void ShowHelpPage(Context& ctx, int page) {
  ctx.menu.help_page = page;
  unload_by_tag(ctx, "help_text");
  create_txt(ctx, "Page " + std::to_string(page) + "/2", kPageTextZ, kFontTaurus1, 2,
             "help_text", 0xEECD00, 0.75, kPageNumberText.y, kPageNumberText.x);
  for (const char* name : kPage1Objects) ShowNamed(ctx, name, page == 1);
  for (const char* name : kPage2Objects) ShowNamed(ctx, name, page == 2);
  ShowTextFile(ctx, "text\\help_title.txt", "help_text", "");
  ShowTextFile(ctx, page == 1 ? "text\\help_page1.txt" : "text\\help_page2.txt", "help_text", "");
  if (page == 1) {
    StartDemo(ctx);
  } else {
    ctx.menu.demo.running = false;
  }
}

void HelpDemoStep(Context& ctx) {
  HelpDemo& d = ctx.menu.demo;
  if (!d.running || ctx.shell.flow.click_context != ClickContext::Help || ctx.menu.help_page != 1)
    return;
  std::uint32_t t = ctx.clocks.frame_clock - d.start;
  if (t >= kDemoLoopMs) {
    StartDemo(ctx);
    t = 0;
  }
  const int ball = HelpObject(ctx, "ball3_mini", 2);
  if (d.stage == 0) {
    double y = kDemoBallStartY - kDemoBallSpeed * t;
    if (y < kDemoBallStopY) {
      y = kDemoBallStopY;
      d.stage = 1;
    }
    SetObjectY(ctx, ball, y);
  }
  if (d.stage == 1 && t >= kDemoBurstMs) {
    ShowObject(ctx, ball, false);
    ShowTargets(ctx, false);
    Burst(ctx, ball);
    Burst(ctx, HelpObject(ctx, "ball3_mini", 0));
    Burst(ctx, HelpObject(ctx, "ball3_mini", 1));
    Drop(ctx, HelpObject(ctx, "ball4_mini", 0));
    Drop(ctx, HelpObject(ctx, "ball4_mini", 1));
    d.stage = 2;
  }
  if (d.stage == 2 && t >= kDemoTargetsBackMs) {
    ShowTargets(ctx, true);
    d.stage = 3;
  }
}

}  // namespace qv
