// Which button the mouse is over on each menu page, and how the buttons show it.
#include <cmath>

#include "menu/menu_layout.h"
#include "menu/menu_pages.h"
#include "menu/menu_scene.h"
#include "menu/volume.h"
#include "scene/buttons.h"
#include "scene/dialog_fade.h"
#include "scene/registry.h"
#include "context.h"

namespace qv {

namespace {

bool Pressed(const Context& ctx, int button) { return ctx.shell.pointer.pressed_button == button; }

void Hover(Context& ctx, int button) {
  ctx.shell.pointer.hover_button = button;
  SetCursorVariant(ctx, 1);
}

// A menu row: the button shows variant 1 and its moving piece cycles while hovered.
void MenuRow(Context& ctx, int button_slot, int move_slot, bool hovered, int number) {
  if (hovered) Hover(ctx, number);
  SelectVariant(ctx, button_slot, 0, hovered ? 1 : 0);
  AnimateMovepart(ctx, move_slot, hovered, hovered);
}

// Dialog buttons are hit by their shown frame.
bool OnButton(const Context& ctx, int slot) {
  const Point p = ctx.shell.pointer.At();
  return ObjectHit(ctx, slot, p.x, p.y);
}

void DialogButton(Context& ctx, int slot, int number) {
  const bool hovered = OnButton(ctx, slot);
  if (hovered) Hover(ctx, number);
  SelectVariant(ctx, slot, 0, ButtonVariant(hovered, Pressed(ctx, number)));
}

void MainMenuHover(Context& ctx) {
  MenuState& menu = ctx.menu;
  if (menu.players.empty()) menu.players = ReadPlayersFile();
  if (menu.players.empty()) {
    menu.input_mode = NameMode::FirstRun;
    menu.list.return_to_list = false;
    SetCommand(ctx, MenuCommand::NameInput);
    ctx.shell.flow.click_context = ClickContext::Playing;  // no page takes clicks until it opens
    return;
  }
  // An index past the list goes back to the first player, whom the welcome line then names.
  const int index = ctx.options.player_index;
  CurrentPlayer(ctx);
  if (ctx.options.player_index != index) RefreshWelcomeText(ctx);
  for (int i = 0; i < kMenuRowCount; ++i) {
    const bool hovered = ctx.shell.pointer.Over(kMenuRows[i]);
    MenuRow(ctx, menu.buttons.main[i], menu.buttons.main_move[i], hovered, i + 1);
  }
  const bool welcome = ctx.shell.pointer.Over(kWelcomeCaption);
  if (welcome) Hover(ctx, 6);
  ShowTag(ctx, "menu_text_button1", !welcome);
  ShowTag(ctx, "menu_text_button2", welcome);
}

void GameTypeHover(Context& ctx) {
  MenuState& menu = ctx.menu;
  int comment = 0;
  for (int i = 0; i < 4; ++i) {
    const bool hovered = ctx.shell.pointer.Over(kMenuRows[kGameTypeRowOf[i]]);
    MenuRow(ctx, menu.buttons.type[i], menu.buttons.type_move[i], hovered, i + 1);
    if (hovered && i < 3) comment = i + 1;
  }
  static constexpr const char* kComments[3] = {"game_comment1", "game_comment2", "game_comment3"};
  for (int i = 1; i <= 3; ++i) ShowTag(ctx, kComments[i - 1], comment == i);
  if (comment != 0 && comment != menu.comment) {
    OpenDialogFade(ctx, {"game_comment1", "game_comment2", "game_comment3"});
  }
  menu.comment = comment;
}

bool AnyExplanation(const Context& ctx) {
  const std::vector<Player>& ps = ctx.menu.players;
  const int i = ctx.options.player_index;
  if (!ValidPlayerIndex(i, static_cast<int>(ps.size()))) return false;
  for (int flag : ps[i].show_message) {
    if (flag == 1) return true;
  }
  return false;
}

void OptionsHover(Context& ctx) {
  MenuState& menu = ctx.menu;
  const MenuButtons& b = menu.buttons;
  menu.volume_direction = 0;
  for (int i = 0; i < 2; ++i) {
    const bool down = ctx.shell.pointer.Over(kVolumeDown[i]);
    const bool up = ctx.shell.pointer.Over(kVolumeUp[i]);
    if (down || up) {
      Hover(ctx, i + 1);
      menu.volume_direction = down ? -1 : 1;
    }
    SelectVariant(ctx, b.options[i], 0, down || up ? 1 : 0);
    AnimateMovepart(ctx, b.options_move[i], down, up);
  }
  // Switch rows: variants 0/1 when on, 2/3 when off.
  const bool on[2] = {ctx.options.fullscreen, AnyExplanation(ctx)};
  for (int i = 2; i < 4; ++i) {
    const bool hovered = ctx.shell.pointer.Over(kMenuRows[i]);
    if (hovered) Hover(ctx, i + 1);
    SelectVariant(ctx, b.options[i], 0, (on[i - 2] ? 0 : 2) + (hovered ? 1 : 0));
    AnimateMovepart(ctx, b.options_move[i], hovered, hovered);
  }
  MenuRow(ctx, b.options[4], b.options_move[4], ctx.shell.pointer.Over(kMenuRows[4]), 5);
  // Sliders: dragging sets the volume directly.
  int* volumes[2] = {&ctx.options.music_volume, &ctx.options.sound_volume};
  for (int i = 0; i < 2; ++i) {
    if (!ctx.shell.pointer.Over(kVolumeSliders[i])) continue;
    Hover(ctx, 6 + i);
    if (Pressed(ctx, 6 + i)) {
      *volumes[i] = SliderVolume(ctx.shell.pointer.mouse_x);
    }
  }
}

void HelpHover(Context& ctx) {
  const MenuButtons& b = ctx.menu.buttons;
  const bool ok = ctx.shell.pointer.Over(kPageOk);
  if (ok) Hover(ctx, 1);
  SelectVariant(ctx, b.help_ok, 0, ok ? 1 : 0);
  AnimateMovepart(ctx, b.help_move, ok, ok);
  DialogButton(ctx, b.help_left, 2);
  DialogButton(ctx, b.help_right, 3);
}

void DialogHover(Context& ctx) {
  const std::vector<int>& buttons = ctx.menu.buttons.dialog;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    DialogButton(ctx, buttons[i], static_cast<int>(i) + 1);
  }
}

void ExplanationHover(Context& ctx) {
  const std::vector<int>& buttons = ctx.menu.buttons.dialog;
  if (buttons.size() < 2) return;
  const std::vector<Player>& ps = ctx.menu.players;
  const int i = ctx.options.player_index;
  const bool checked = ValidPlayerIndex(i, static_cast<int>(ps.size())) &&
                       ps[i].show_message[ctx.menu.game_type - 1] == 1;
  SelectVariant(ctx, buttons[0], 0, checked ? 1 : 0);
  if (OnButton(ctx, buttons[0])) Hover(ctx, 1);
  DialogButton(ctx, buttons[1], 2);
}

void NameInputHover(Context& ctx) {
  DialogButton(ctx, ctx.menu.buttons.input_ok, 1);
  DialogButton(ctx, ctx.menu.buttons.input_cancel, 2);
}

void PlayerListHover(Context& ctx) {
  DialogHover(ctx);  // scroller arrows, delete, rename, OK, cancel
  const bool create = ctx.shell.pointer.Over(kCreateCaption);
  if (create) Hover(ctx, 7);
  ShowTag(ctx, "select_player_text_button1", !create);
  ShowTag(ctx, "select_player_text_button2", create);
  for (int j = 0; j < kListRows; ++j) {
    if (ctx.shell.pointer.Over(ListRowRect(j))) Hover(ctx, 8 + j);
  }
}

}  // namespace

void ScoresHover(Context& ctx) {
  const MenuButtons& b = ctx.menu.buttons;
  const int slots[3] = {b.scores_left, b.scores_right, b.scores_ok};
  static constexpr Rect kRects[3] = {kScoresLeftArrow, kScoresRightArrow, kPageOk};
  for (int i = 0; i < 3; ++i) {
    const bool hovered = ctx.shell.pointer.Over(kRects[i]);
    if (hovered) Hover(ctx, i + 1);
    SelectVariant(ctx, slots[i], 0, ButtonVariant(hovered, i < 2 && Pressed(ctx, i + 1)));
  }
  const bool ok = ctx.shell.pointer.Over(kPageOk);
  AnimateMovepart(ctx, b.scores_move, ok, ok);
}

void MenuHover(Context& ctx) {
  ctx.shell.pointer.hover_button = -1;
  SetCursorVariant(ctx, 0);
  switch (ctx.shell.flow.click_context) {
    case ClickContext::MainMenu:
      MainMenuHover(ctx);
      break;
    case ClickContext::GameTypePage:
      GameTypeHover(ctx);
      break;
    case ClickContext::Options:
      OptionsHover(ctx);
      break;
    case ClickContext::Help:
      HelpHover(ctx);
      break;
    case ClickContext::HighScoreTable:
      ScoresHover(ctx);
      break;
    case ClickContext::GameTypeExplanation:
      ExplanationHover(ctx);
      break;
    case ClickContext::NameInput:
      NameInputHover(ctx);
      break;
    case ClickContext::PlayerList:
      PlayerListHover(ctx);
      break;
    case ClickContext::ExitQuestion:
    case ClickContext::NameMessage:
    case ClickContext::DeleteConfirmation:
    case ClickContext::ContinueDialog:
      DialogHover(ctx);
      break;
    default:
      break;
  }
}

}  // namespace qv
