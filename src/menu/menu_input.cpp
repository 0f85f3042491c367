// Clicks and keys of the menu pages, and the menu's state-dump section.
#include "audio/audio.h"
#include "base/json_writer.h"
#include "context.h"
#include "menu/menu_pages.h"
#include "menu/menu_scene.h"
#include "platform/virtual_key.h"
#include "shell/main_form.h"

namespace qv {

namespace {

// Keys typed faster than the frames take them wait, up to this many; more are dropped.
constexpr std::size_t kMaxPendingKeys = 64;

void MainMenuClick(Context& ctx, int button) {
  static constexpr MenuCommand kCommands[] = {MenuCommand::GameTypePage, MenuCommand::Options,
                                              MenuCommand::Scores, MenuCommand::Help,
                                              MenuCommand::ExitQuestion};
  if (button >= 1 && button <= 5) {
    SetCommand(ctx, kCommands[button - 1]);
  } else if (button == 6) {
    ctx.menu.list.return_to_list = false;  // the list opens on the current player
    SetCommand(ctx, MenuCommand::PlayerList);
  }
}

void GameTypeClick(Context& ctx, int button) {
  if (button == 4) {
    SetCommand(ctx, MenuCommand::MainMenu);
    return;
  }
  if (button < 1 || button > 3) return;
  ctx.menu.game_type = button;
  const Player* p = CurrentPlayer(ctx);
  if (p != nullptr && p->show_message[button - 1] == 1) {
    SetCommand(ctx, MenuCommand::GameTypeExplanation);
  } else {
    StartGameType(ctx);
  }
}

void ExplanationClick(Context& ctx, int button) {
  if (button == 1) {
    if (Player* p = CurrentPlayer(ctx)) {
      int& flag = p->show_message[ctx.menu.game_type - 1];
      flag = flag == 1 ? 0 : 1;
      SavePlayers(ctx);
    }
  } else if (button == 2) {
    StartGameType(ctx);
  }
}

void OptionsClick(Context& ctx, int button) {
  static constexpr MenuCommand kCommands[] = {
      MenuCommand::MusicVolumeStep, MenuCommand::SoundVolumeStep, MenuCommand::FullscreenToggle,
      MenuCommand::ExplanationsToggle, MenuCommand::MainMenu};
  if (button >= 1 && button <= 5) SetCommand(ctx, kCommands[button - 1]);
}

void HelpClick(Context& ctx, int button) {
  MenuState& m = ctx.menu;
  if (button == 1) SetCommand(ctx, MenuCommand::MainMenu);
  if (button == 2 && m.help_page > 1) ShowHelpPage(ctx, m.help_page - 1);
  if (button == 3 && m.help_page < 2) ShowHelpPage(ctx, m.help_page + 1);
}

// The button that Enter (first) and Escape (second) press in a context; 0 for none.
struct KeyButtons {
  int enter, escape;
};

KeyButtons KeysOf(ClickContext context) {
  switch (context) {
    case ClickContext::MainMenu:
      return {0, 5};
    case ClickContext::GameTypePage:
      return {0, 4};
    case ClickContext::GameTypeExplanation:
      return {2, 2};
    case ClickContext::Options:
      return {0, 5};
    case ClickContext::HighScoreTable:
      return {3, 3};
    case ClickContext::Help:
      return {1, 1};
    case ClickContext::NameMessage:
      return {1, 1};
    case ClickContext::PlayerList:
      return {5, 6};
    case ClickContext::ExitQuestion:
    case ClickContext::NameInput:
    case ClickContext::DeleteConfirmation:
    case ClickContext::ContinueDialog:
      return {1, 2};
    default:
      return {0, 0};
  }
}

}  // namespace

void MenuClickButton(Context& ctx, int button) {
  switch (ctx.shell.flow.click_context) {
    case ClickContext::MainMenu:
      MainMenuClick(ctx, button);
      break;
    case ClickContext::GameTypePage:
      GameTypeClick(ctx, button);
      break;
    case ClickContext::GameTypeExplanation:
      ExplanationClick(ctx, button);
      break;
    case ClickContext::Options:
      OptionsClick(ctx, button);
      break;
    case ClickContext::HighScoreTable:
      ScoresPageClick(ctx, button);
      break;
    case ClickContext::Help:
      HelpClick(ctx, button);
      break;
    case ClickContext::ExitQuestion:
      if (button == 1) CloseMainWindow(ctx);
      if (button == 2) SetCommand(ctx, MenuCommand::MainMenu);
      break;
    case ClickContext::NameInput:
      if (ctx.shell.flow.command == MenuCommand::Key) ApplyPendingKeys(ctx);
      if (button == 1 || button == 2) FinishName(ctx, button == 1);
      break;
    case ClickContext::NameMessage:
      CloseNameMessage(ctx);
      break;
    case ClickContext::PlayerList:
      PlayerListClick(ctx, button);
      break;
    case ClickContext::DeleteConfirmation:
      DeleteConfirmClick(ctx, button);
      break;
    case ClickContext::ContinueDialog:
      if (button == 1 || button == 2) AnswerContinue(ctx, button == 1);
      break;
    default:
      break;
  }
}

void MenuClick(Context& ctx) { MenuClickButton(ctx, ctx.shell.pointer.pressed_button); }

void MenuMouseDown(Context& ctx, int /*button*/) {
  ShellState& s = ctx.shell;
  // The shell took the button the last frame saw under the pointer; the pointer may have moved
  // since. Look again, so a press right after a move lands on the button now under it.
  const int taken = s.pointer.pressed_button;
  UpdateMouse(ctx, true);
  MenuHover(ctx);
  s.pointer.pressed_button = s.pointer.hover_button;
  if (taken == -1 && s.pointer.pressed_button != -1) PlayPressSound(ctx);
}

void MenuKeyDown(Context& ctx, int key, int shift) {
  const KeyButtons keys = KeysOf(ctx.shell.flow.click_context);
  const int button = key == platform::VirtualKey::Enter    ? keys.enter
                     : key == platform::VirtualKey::Escape ? keys.escape
                                                           : 0;
  if (button != 0) {
    MenuClickButton(ctx, button);
    return;
  }
  // A page change waiting for the next frame must not be replaced by a key (the first-run
  // name input would never open); the key is dropped instead.
  const PendingCommand pending = ctx.shell.flow.command;
  if (!pending.IsNone() && pending != MenuCommand::Key) return;
  if (pending != MenuCommand::Key) ctx.menu.keys.clear();
  if (ctx.menu.keys.size() < kMaxPendingKeys) ctx.menu.keys.push_back({key, shift});
  SetCommand(ctx, MenuCommand::Key);
}

void WriteMenuSection(const Context& ctx, JsonWriter& out) {
  const MenuState& m = ctx.menu;
  out.BeginObject();
  out.Field("state", static_cast<int>(m.state));
  out.Field("help_page", m.help_page);
  out.Field("game_type", m.game_type);
  out.Key("players").BeginArray();
  for (const Player& p : m.players) {
    out.BeginObject();
    out.FieldString("name", p.name);
    const auto list = [&out](const char* key, const std::array<int, kGameTypes>& values) {
      out.Key(key).BeginArray();
      for (int v : values) out.Int(v);
      out.EndArray();
    };
    list("saved_level", p.saved_level);
    list("show_message", p.show_message);
    list("saved_score", p.saved_score);
    list("may_continue", p.may_continue);
    list("checkpoint_score", p.checkpoint_score);
    out.EndObject();
  }
  out.EndArray();
  out.Field("player_index", ctx.options.player_index);
  out.Field("input_mode", static_cast<int>(m.input_mode));
  out.FieldString("name_buffer", m.name_buffer);
  // Additions: the player list's view and the scores page's game type.
  out.Field("list_cursor", m.list.cursor);
  out.Field("list_first", m.list.first);
  out.Field("scores_type", m.scores_type);
  out.EndObject();
}

}  // namespace qv
