// The player pages of the menu: the list, the delete question, the name input with its message,
// and the choice between continuing a saved game and a fresh start.
#include <algorithm>
#include <string>

#include "menu/menu_layout.h"
#include "menu/menu_pages.h"
#include "menu/menu_scene.h"
#include "scene/buttons.h"
#include "scene/dialog_fade.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "context.h"

namespace qv {

namespace {

// A name's text sits a pixel above its row's hit rectangle.
constexpr Point kListName{380, kListRow.top - 1};
constexpr int kListNameZ = 1005;
constexpr Point kDeleteQuestionName{400, 297};
// Name input: the name is centred on its x, the text cursor follows its right end.
constexpr Point kNameText{400, 280};
constexpr int kNameCursorX = kNameText.x + 4;
// OK beside cancel, or alone in the middle where there is no cancel (the first player).
constexpr int kNameOkX = 296;
constexpr int kNameOkAloneX = 352;

constexpr const char* kListButtons[] = {"scroller_up", "scroller_down", "panel_delete",
                                        "panel_rename", "panel_ok", "panel_cancel"};

void UnloadPlayerPages(Context& ctx) {
  for (const char* tag :
       {"input_player_name_title", "input_player_name_text", "name_confirm", "name_message",
        "select_player", "select_player_text", "select_player_text_button1",
        "select_player_text_button2", "menu_text", "menu_text_button1", "menu_text_button2"}) {
    unload_by_tag(ctx, tag);
  }
}

int PlayerCount(const Context& ctx) { return static_cast<int>(ctx.menu.players.size()); }

void OpenNameMessage(Context& ctx, const std::string& file, bool hide_title) {
  ShowTag(ctx, "input_player_name", false);
  ShowTag(ctx, "input_player_name_text", false);
  if (hide_title) ShowTag(ctx, "input_player_name_title", false);
  unload_by_tag(ctx, "name_message");
  load_location_map(ctx, "name_message.map");
  ShowTextFile(ctx, file, "name_message", "");
  OpenDialogButtons(ctx, "name_message", {"panel_ok"});
  ctx.shell.flow.click_context = ClickContext::NameMessage;
  if (hide_title) {
    OpenDialogFade(ctx, {"input_player_name_back", "name_message"});
  } else {
    OpenDialogFade(ctx, {"input_player_name_back", "input_player_name_title", "name_message"});
  }
}

void SelectCursorPlayer(Context& ctx) {
  MenuState& m = ctx.menu;
  if (!ValidPlayerIndex(m.list.cursor, PlayerCount(ctx))) return;
  ctx.options.player_index = m.list.cursor;
  WriteOptionSafely(ctx, "player_index", m.list.cursor);
  SetCommand(ctx, MenuCommand::MainMenu);
}

}  // namespace

void OpenPlayerList(Context& ctx) {
  MenuState& m = ctx.menu;
  UnloadPlayerPages(ctx);
  ctx.shell.flow.click_context = ClickContext::PlayerList;
  ShowTag(ctx, "input_player_name_back", true);
  ShowTag(ctx, kMainMenuTag, false);
  load_location_map(ctx, "select_player.map");
  ShowTextFile(ctx, "text\\create_player1.txt", "select_player_text_button1", "");
  ShowTextFile(ctx, "text\\create_player2.txt", "select_player_text_button2", "");
  ShowTag(ctx, "select_player_text_button2", false);
  OpenDialogButtons(ctx, "select_player",
                    {kListButtons[0], kListButtons[1], kListButtons[2], kListButtons[3],
                     kListButtons[4], kListButtons[5]});
  m.buttons.marker = FindObject(ctx, "marker", -1, "select_player");
  m.buttons.scroller_bar = FindObject(ctx, "scroller_bar", -1, "select_player");
  ShowTextFile(ctx, "text\\choose_player.txt", "select_player", "");
  const int count = PlayerCount(ctx);
  if (!m.list.return_to_list || !ValidPlayerIndex(m.list.cursor, count)) {
    const int current = ctx.options.player_index;
    PlaceCursor(m.list, ValidPlayerIndex(current, count) ? current : 0);
  }
  m.list.return_to_list = false;
  DrawPlayerList(ctx);
  OpenDialogFade(ctx, {"input_player_name_back", "select_player", "select_player_text_button1",
                       "select_player_text_button2", "select_player_text"});
}

void DrawPlayerList(Context& ctx) {
  MenuState& m = ctx.menu;
  const int count = PlayerCount(ctx);
  unload_by_tag(ctx, "select_player_text");
  for (int i = 0; i < kListRows; ++i) {
    const int index = PlayerInRow(m.list, i, count);
    if (index < 0) break;
    create_txt(ctx, m.players[index].name, kListNameZ, kFontTaurus2, 2, "select_player_text", -1,
               0.9, kListName.y + kListRowPitch * i, kListName.x);
  }
  SetObjectY(ctx, m.buttons.marker, ListRowRect(m.list.row).top);
  SetObjectY(ctx, m.buttons.scroller_bar, ScrollerY(m.list, count));
  // Names drawn while the page fades in join the fade.
  AddToDialogFade(ctx, "select_player_text");
}

void PlayerListClick(Context& ctx, int button) {
  MenuState& m = ctx.menu;
  const int count = PlayerCount(ctx);
  switch (button) {
    case 1:
      ScrollUp(m.list);
      DrawPlayerList(ctx);
      break;
    case 2:
      ScrollDown(m.list, count);
      DrawPlayerList(ctx);
      break;
    case 3:
      if (ValidPlayerIndex(m.list.cursor, count)) SetCommand(ctx, MenuCommand::DeleteConfirmation);
      break;
    case 4:
      if (!ValidPlayerIndex(m.list.cursor, count)) break;
      m.input_mode = NameMode::Rename;
      SetCommand(ctx, MenuCommand::NameInput);
      break;
    case 5:
      SelectCursorPlayer(ctx);
      break;
    case 6:
      SetCommand(ctx, MenuCommand::MainMenu);
      break;
    case 7:
      m.input_mode = NameMode::Create;
      m.list.return_to_list = false;
      SetCommand(ctx, MenuCommand::NameInput);
      break;
    default: {
      const int index = PlayerInRow(m.list, button - 8, count);
      if (index < 0) break;
      if (index == m.list.cursor) {
        SelectCursorPlayer(ctx);
      } else {
        m.list.cursor = index;
        m.list.row = index - m.list.first;
        DrawPlayerList(ctx);
      }
      break;
    }
  }
}

void OpenDeleteConfirm(Context& ctx) {
  MenuState& m = ctx.menu;
  if (!ValidPlayerIndex(m.list.cursor, PlayerCount(ctx))) return;
  for (const char* tag : {"select_player", "select_player_text", "select_player_text_button1",
                          "select_player_text_button2", "name_confirm"}) {
    unload_by_tag(ctx, tag);
  }
  load_location_map(ctx, "name_confirm.map");
  ShowTextFile(ctx, "text\\delete_player.txt", "name_confirm", "");
  create_txt(ctx, m.players[m.list.cursor].name + "?", kDialogTextZ, kFontTaurus2, 2,
             "name_confirm", 0xFFFFFF, 1, kDeleteQuestionName.y, kDeleteQuestionName.x);
  OpenDialogButtons(ctx, "name_confirm", {"panel_yes", "panel_no"});
  ctx.shell.flow.click_context = ClickContext::DeleteConfirmation;
  OpenDialogFade(ctx, {"input_player_name_back", "name_confirm"});
}

void DeleteConfirmClick(Context& ctx, int button) {
  MenuState& m = ctx.menu;
  if (button == 1) {
    if (PlayerCount(ctx) <= 1) {
      m.players.clear();
      SavePlayers(ctx);
      unload_by_tag(ctx, "name_confirm");
      m.input_mode = NameMode::FirstRun;
      m.list.return_to_list = false;
      SetCommand(ctx, MenuCommand::NameInput);
      return;
    }
    if (DeletePlayerAtCursor(m.players, m.list, ctx.options.player_index)) {
      WriteOptionSafely(ctx, "player_index", ctx.options.player_index);
    }
    SavePlayers(ctx);
  } else if (button != 2) {
    return;
  }
  m.list.return_to_list = true;
  SetCommand(ctx, MenuCommand::PlayerList);
}

// ---- name input

void OpenNameInput(Context& ctx) {
  MenuState& m = ctx.menu;
  const MenuButtons& b = m.buttons;
  UnloadPlayerPages(ctx);
  ctx.shell.flow.click_context = ClickContext::NameInput;
  ShowTag(ctx, "input_player_name", true);
  ShowTag(ctx, "input_player_name_back", true);
  ShowTag(ctx, kMainMenuTag, false);
  ShowObject(ctx, b.input_cancel, true);
  SetObjectX(ctx, b.input_ok, kNameOkX);
  if (m.input_mode == NameMode::Rename) {
    if (ValidPlayerIndex(m.list.cursor, PlayerCount(ctx))) {
      m.name_buffer = m.players[m.list.cursor].name.substr(0, kNameLength);
    }
    ShowTextFile(ctx, "text\\rename_player.txt", "input_player_name_title", "");
  } else {
    if (!m.list.return_to_list) m.name_buffer.clear();
    if (m.input_mode == NameMode::FirstRun) {
      ShowObject(ctx, b.input_cancel, false);
      SetObjectX(ctx, b.input_ok, kNameOkAloneX);
    }
    ShowTextFile(ctx, "text\\your_name.txt", "input_player_name_title", "");
  }
  DrawName(ctx);
  FinishDialogFade(ctx);
  OpenDialogFade(ctx, {"input_player_name", "input_player_name_back", "input_player_name_title",
                       "input_player_name_text"});
}

void DrawName(Context& ctx) {
  unload_by_tag(ctx, "input_player_name_text");
  const double w = create_txt(ctx, ctx.menu.name_buffer, kDialogTextZ, kFontTaurus1, 2,
                              "input_player_name_text", 0xFFFFFF, 0.75, kNameText.y, kNameText.x);
  SetObjectX(ctx, ctx.menu.buttons.rename_cursor, w / 2 + kNameCursorX);
  AddToDialogFade(ctx, "input_player_name_text");
}

void FinishName(Context& ctx, bool confirm) {
  MenuState& m = ctx.menu;
  const NameOutcome out = FinishNameInput(m.input_mode, m.name_buffer, confirm, m.players,
                                          ctx.options.player_index, m.list);
  if (out.players_changed) SavePlayers(ctx);
  if (out.index_changed) WriteOptionSafely(ctx, "player_index", ctx.options.player_index);
  switch (out.action) {
    case NameOutcome::Stay:
      break;
    case NameOutcome::MainMenu:
      SetCommand(ctx, MenuCommand::MainMenu);
      break;
    case NameOutcome::PlayerList:
      ShowTag(ctx, "input_player_name", false);
      SetCommand(ctx, MenuCommand::PlayerList);
      break;
    case NameOutcome::Message:
      OpenNameMessage(ctx, out.message, out.hide_title);
      break;
  }
}

void CloseNameMessage(Context& ctx) {
  unload_by_tag(ctx, "name_message");
  ctx.menu.list.return_to_list = true;
  SetCommand(ctx, MenuCommand::NameInput);
}

// ---- starting a game type

void StartGameType(Context& ctx) {
  MenuState& m = ctx.menu;
  m.players = ReadPlayersFile();
  Player* p = CurrentPlayer(ctx);
  if (p == nullptr) {
    SetCommand(ctx, MenuCommand::MainMenu);  // no player: the main menu asks for one
    return;
  }
  const ContinueOffer offer = DecideContinue(*p, m.game_type);
  switch (offer.kind) {
    case ContinueOffer::Fresh:
      StartFresh(*p, m.game_type);
      SavePlayers(ctx);
      SetCommand(ctx, StartCommandFor(m.game_type));
      break;
    case ContinueOffer::Normal:
      SetCommand(ctx, MenuCommand::Continue);
      break;
    case ContinueOffer::AfterLoss:
      m.continue_level = offer.level;
      SetCommand(ctx, MenuCommand::ContinueAfterLoss);
      break;
  }
}

void OpenContinueDialog(Context& ctx, bool after_loss) {
  MenuState& m = ctx.menu;
  m.continue_after_loss = after_loss;
  unload_by_tag(ctx, "game_message");
  unload_by_tag(ctx, "continue_last_game");
  ShowTag(ctx, "menu_buttons_select_game_type", false);
  load_location_map(ctx, "continue_last_game.map");
  if (after_loss) {
    ShowTextFile(ctx, "text\\continue_game_after_loss.txt", "continue_last_game",
                 std::to_string(m.continue_level));
  } else {
    ShowTextFile(ctx, "text\\continue_game.txt", "continue_last_game", "");
  }
  OpenDialogButtons(ctx, "continue_last_game", {"panel_yes", "panel_no"});
  ctx.shell.flow.click_context = ClickContext::ContinueDialog;
  ctx.game.play.end_phase = EndPhase::ContinueDialog;
  OpenDialogFade(ctx, {"continue_last_game"});
}

void RecordContinueAnswer(Context& ctx, bool yes) {
  MenuState& m = ctx.menu;
  Player* p = CurrentPlayer(ctx);
  if (p == nullptr) return;
  if (yes) {
    AcceptContinue(*p, m.game_type, m.continue_after_loss);
  } else {
    DeclineContinue(*p, m.game_type);
  }
  SavePlayers(ctx);
}

void AnswerContinue(Context& ctx, bool yes) {
  if (CurrentPlayer(ctx) == nullptr) return;
  RecordContinueAnswer(ctx, yes);
  SetCommand(ctx, StartCommandFor(ctx.menu.game_type));
}

bool OpenContinueOverGame(Context& ctx, int type) {
  MenuState& m = ctx.menu;
  Player* p = CurrentPlayer(ctx);
  if (p == nullptr || type < 1 || type > kGameTypes) return false;
  m.game_type = type;
  const ContinueOffer offer = DecideContinue(*p, type);
  m.continue_level = offer.level;
  OpenContinueDialog(ctx, offer.kind == ContinueOffer::AfterLoss);
  return true;
}

}  // namespace qv
