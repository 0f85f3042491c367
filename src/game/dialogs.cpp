#include "game/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "audio/audio.h"
#include "context.h"
#include "game/bonuses.h"
#include "game/game_frame.h"
#include "game/game_math.h"
#include "game/hud.h"
#include "game/levels.h"
#include "game/scene_port.h"
#include "platform/virtual_key.h"
#include "scene/cursor.h"
#include "scene/dialog_fade.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

void ReportDialog(Context& ctx, GameDialog dialog) {
  if (!ctx.game.run.events) return;
  GameEvent e;
  e.kind = GameEventKind::Dialog;
  e.dialog = dialog;
  ReportGameEvent(ctx, e);
}

using platform::VirtualKey;

constexpr const char* kFont = "graphics\\fonts\\font_crystal1.spr";
// The shell's pointer x while the pointer is outside the window.
constexpr int kPointerAway = -1000;
// Panels taken from the menu's maps fade in elsewhere; over the game they show at once.
constexpr int kOpaque = 255;
// Room for the statistics texts' parameters: three numbers and their commas.
constexpr std::size_t kParamsRoom = 96;

// The statistics dialog. A level that brings a new item shows it on a strip: its picture and
// the level description's lines beside it, the two centred together on the screen.
constexpr double kStatStripY = 301;
constexpr double kStatItemY = 340;
constexpr int kStatItemWidth = 32;
constexpr int kStatItemGap = 16;
constexpr int kStatTextIndent = kStatItemWidth + kStatItemGap;
constexpr double kStatTextTop = 334;
constexpr double kStatTextLeading = 17.0;
constexpr double kStatTextScale = 0.6;
constexpr int kStatTextColour = 0xFF9900;
constexpr int kStatZ = 1010;  // over the dialog's panel
// After the last level only OK stays, in the middle of the panel.
constexpr double kStatLoneOkX = 352;

// The try-again dialog: how far its panel rises from its menu place (see CommandTryAgain).
constexpr double kRetryPanelRise = 32;

int LastLevel(const Context& ctx) {
  return ctx.game.play.lv.last_level;
}

void CursorVariant(Context& ctx, int v) {
  SetCursorVariant(ctx, v);
}

// A button of the open dialog: variant 2 pressed, 1 hovered, 0 otherwise.
bool HoverButton(Context& ctx, PicId id, int number) {
  ShellState& s = ctx.shell;
  TMultiSprite* m = Pic(ctx, id);
  if (!m || !m->visible) return false;
  const bool over = s.pointer.mouse_x != kPointerAway &&
                    m->ContainsPoint(ctx, s.pointer.mouse_x, s.pointer.mouse_y);
  if (over) {
    s.pointer.hover_button = number;
    SelectPicPart(ctx, id, 0, s.pointer.pressed_button == number ? 2 : 1);
  } else {
    SelectPicPart(ctx, id, 0, 0);
  }
  return over;
}

PicId MakeWithTag(Context& ctx, const char* path, const char* tag) {
  return MakePic(ctx, path, tag);
}

void SetPartAlpha(Context& ctx, PicId id, int part, int alpha) {
  TMultiSprite* m = Pic(ctx, id);
  if (!m || part < 0 || static_cast<std::size_t>(part) >= m->parts.size()) return;
  m->parts[static_cast<std::size_t>(part)]->alpha = static_cast<std::uint8_t>(alpha);
}

const char* GameTitleText(GameType type) {
  return type == GameType::Challenge ? "text\\game_title_challenge.txt"
         : type == GameType::Puzzle  ? "text\\game_title_puzzle.txt"
                                     : "text\\game_title_arcade.txt";
}

void UnloadScoresPage(Context& ctx) {
  unload_by_tag(ctx, "hiscores");
  ShowTag(ctx, "menu_scores", false);
  unload_by_tag(ctx, "scores_text");
  unload_by_tag(ctx, "scores_records");
}

void ShowStatisticsAgain(Context& ctx) {
  GameState& g = ctx.game;
  g.play.end_phase = EndPhase::Statistics;
  ctx.shell.flow.click_context = ClickContext::LevelStatistics;
  ShowTag(ctx, kStatDialogTag, true);
  ShowTag(ctx, kStatTextTag, true);
  if (g.play.lv.new_item <= 0)
    SetPicVisible(ctx, FindObject(ctx, "stat_poloska", -1, kStatDialogTag), false);
  OpenDialogFade(ctx, {kStatDialogTag, kStatTextTag});
}

// One button of a game dialog, by click context.
void PressButton(Context& ctx, int button) {
  GameState& g = ctx.game;
  ShellState& s = ctx.shell;
  switch (s.flow.click_context) {
    case ClickContext::GameOverNotice:
      if (button == 1) {
        ShowTag(ctx, "game_over", false);
        s.flow.command = GameCommand::HighScoreTable;
      }
      break;
    case ClickContext::LevelStatistics:
      // The context stays until the next level is built, a second or so after OK; a second
      // press then would skip a level, or go past the last one and save a level that has no
      // file. Only the open statistics take buttons.
      if (g.play.end_phase != EndPhase::Statistics) break;
      if (button == 1) {
        s.flow.command =
            g.session.level < LastLevel(ctx) ? GameCommand::NextLevel : GameCommand::HighScoreTable;
      } else if (button == 2) {
        g.play.exit_question = ExitQuestion{.from_stats = true};
        ShowTag(ctx, kStatDialogTag, false);
        ShowTag(ctx, kStatTextTag, false);
        s.flow.command = GameCommand::ExitQuestion;
      }
      break;
    case ClickContext::HighScoreTable:  // reached from the game
      if (button == 1 || button == 2) {
        if (g.run.players.scores_page) g.run.players.scores_page(ctx, button);
      } else if (button == 3) {
        if (g.session.level < LastLevel(ctx) && g.session.game_type != GameType::Puzzle &&
            Progress(ctx).level > 4) {
          s.flow.command = GameCommand::TryAgain;
        } else {
          UnloadScoresPage(ctx);
          s.flow.command = GameCommand::ReturnToMenu;
        }
      }
      break;
    case ClickContext::TryAgain:
      if (button != 1 && button != 2) break;
      unload_by_tag(ctx, "try_again");
      unload_by_tag(ctx, "try_again_puzzle");
      g.play.end_phase = EndPhase::TryAgainChosen;
      s.flow.click_context = ClickContext::Playing;
      if (button == 1) {
        if (g.session.game_type != GameType::Puzzle) g.session.level = Progress(ctx).level;
        s.flow.command = GameCommand::PlayAgain;
      } else {
        s.flow.command = g.session.game_type != GameType::Puzzle ? GameCommand::ReturnToMenu
                                                                 : GameCommand::HighScoreTable;
      }
      break;
    case ClickContext::ContinueDialog:  // continue the last game, or start the type afresh
      if (button != 1 && button != 2) break;
      if (g.run.players.continue_answer) g.run.players.continue_answer(ctx, button == 1);
      unload_by_tag(ctx, "continue_last_game");
      unload_by_tag(ctx, "menu");
      s.flow.click_context = ClickContext::Playing;
      // The press is spent here: the game is back in play before the button-up handler runs,
      // which would otherwise take it for the menu panel's and ask whether to leave.
      s.pointer.pressed_button = -1;
      GameStart(ctx);
      break;
    case ClickContext::ExitToMenu:
      if (button == 1) {
        LeaveForMenu(ctx);
        ShowTag(ctx, "exit_to_menu", false);
      } else if (button == 2) {
        ShowTag(ctx, "exit_to_menu", false);
        if (g.play.exit_question.from_stats) {
          g.play.exit_question.from_stats = false;
          ShowStatisticsAgain(ctx);
        } else {
          if (g.play.exit_question.paused_sound) {
            StopGameChannel(ctx, g.play.channels.balls_down);
            g.play.channels.balls_down = PlayGameSample(ctx, "sample_balls_down");
          }
          s.flow.click_context = ClickContext::Playing;
          g.play.end_phase = EndPhase::Playing;
        }
      }
      break;
    default:
      break;
  }
}

}  // namespace

void SaveLossProgress(Context& ctx) {
  GameState& g = ctx.game;
  TypeProgress& p = Progress(ctx);
  if (g.session.level >= 5) {
    p.level = g.session.level / 5 * 5;
    p.score = 0;
    p.may_continue = 0;
  } else {
    p.may_continue = -1;
  }
  WritePlayers(ctx);
}

void OpenStatistics(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  ShellState& s = ctx.shell;
  StopGameChannel(ctx, play.channels.balls_up);
  const bool more = g.session.level < LastLevel(ctx);
  if (more) {
    g.session.level += 1;
    SaveProgress(ctx);
    g.session.level -= 1;
    Progress(ctx).may_continue = 1;
  } else {
    TypeProgress& p = Progress(ctx);
    p.may_continue = -1;
    p.level = 1;
    p.score = 0;
  }
  WritePlayers(ctx);
  CursorVariant(ctx, 0);
  ChangeMusic(ctx, -1, kMusicFade, kMusicFade);
  play.end_phase = EndPhase::Statistics;
  PlayGameSample(ctx, "sample_level_complete");
  ShowTag(ctx, kStatDialogTag, true);
  unload_by_tag(ctx, kStatTextTag);
  const PicId poloska = FindObject(ctx, "stat_poloska", -1, kStatDialogTag);
  char params[kParamsRoom];
  if (more && play.lv.new_item > 0) {
    std::snprintf(params, sizeof params, "%d,%d", g.session.level, g.session.score);
    ShowTextFile(ctx, "text\\stat_with_bonus.txt", kStatTextTag, params);
    SetPicVisible(ctx, poloska, true);
    SetPicPos(ctx, poloska, PicX(ctx, poloska), kStatStripY);
    double widest = 0;
    for (const std::string& line : g.run.level_description) {
      widest = std::max(widest, MeasureText(ctx, line, kFont, kStatTextScale));
    }
    const int w = RoundEven(widest + kStatItemWidth + kStatItemGap);
    const double left = kScreenMiddle.x - w / 2.0;
    const int code = play.lv.new_item;
    PicId pic = kNoPic;
    if (code == 1) {
      pic = MakePic(ctx, "graphics\\balls\\multiball\\multiball.spr", kStatTextTag);
    } else if (code == 10) {
      pic = MakePic(ctx, "graphics\\balls\\bomb\\bomb1.spr", kStatTextTag);
      SetPartColor(ctx, pic, 1, 0xFF0000);
    } else {
      const std::string n = std::to_string(g.session.level % 7 + 1);
      pic = MakePic(ctx, "graphics\\balls\\ball" + n + "\\ball" + n + ".spr", kStatTextTag);
      SetPartAnimPos(ctx, pic, 2, code - 1);
      SetPartAnimSpeed(ctx, pic, 2, 0);
      SetPartVisible(ctx, pic, 1, false);
    }
    SetPicPos(ctx, pic, left, kStatItemY);
    SetPicZ(ctx, pic, kStatZ);
    for (std::size_t i = 0; i < g.run.level_description.size(); ++i) {
      create_txt(ctx, g.run.level_description[i], kStatZ, kFont, 1, kStatTextTag,
                 kStatTextColour, kStatTextScale,
                 kStatTextTop + kStatTextLeading * static_cast<double>(i), left + kStatTextIndent);
    }
  } else if (more) {
    std::snprintf(params, sizeof params, "%d,%d,%d", g.session.level, g.session.score,
                  play.scoring.max_single);
    ShowTextFile(ctx, "text\\stat_with_best_shot.txt", kStatTextTag, params);
    if (play.scoring.max_combo == 0) {
      ShowTextFile(ctx, "text\\best_combo.txt", kStatTextTag, "NONE");
    } else {
      std::snprintf(params, sizeof params, "%d", play.scoring.max_combo);
      ShowTextFile(ctx, "text\\best_combo.txt", kStatTextTag, params);
    }
    SetPicVisible(ctx, poloska, false);
  } else {
    ShowTextFile(ctx, "text\\congratulations.txt", kStatTextTag, "");
    SetPicVisible(ctx, poloska, false);
    SetPicVisible(ctx, g.scene.hud.stat_menu, false);
    SetPicPos(ctx, g.scene.hud.stat_ok, kStatLoneOkX, PicY(ctx, g.scene.hud.stat_ok));
  }
  OpenDialogFade(ctx, {kStatDialogTag, kStatTextTag});
  s.flow.click_context = ClickContext::LevelStatistics;
  ReportDialog(ctx, GameDialog::Statistics);
}

void OpenGameOver(Context& ctx) {
  GameState& g = ctx.game;
  if (g.session.game_type == GameType::Puzzle) {
    ctx.shell.flow.command = GameCommand::TryAgain;
    return;
  }
  ShowTag(ctx, "game_over", true);
  OpenDialogFade(ctx, {"game_over"});
  ChangeMusic(ctx, -1, kMusicFade, kMusicFade);
  g.play.end_phase = EndPhase::GameOverNotice;
  EndAllBonuses(ctx);
  g.play.crystals.freed = 0;
  ctx.shell.flow.click_context = ClickContext::GameOverNotice;
  ReportGameEvent(ctx, GameEventKind::GameOver);
  ReportDialog(ctx, GameDialog::GameOver);
}

void CommandHighScores(Context& ctx) {
  GameState& g = ctx.game;
  HudState& h = g.scene.hud;
  ClearLevel(ctx);
  unload_by_tag(ctx, "game_type_text");
  ShowTag(ctx, kSceneMapTag, false);
  for (PicId c : h.covers) SetPicVisible(ctx, c, false);
  SetPicVisible(ctx, h.strip, false);
  const PicId panel = MakeWithTag(ctx, "graphics\\elements_gamezone\\menu_panel.spr", "hiscores");
  SetPartAlpha(ctx, panel, 0, kOpaque);
  MakeWithTag(ctx, "graphics\\elements_gamezone\\dark_panel.spr", "hiscores");
  MakeWithTag(ctx, "graphics\\elements_gamezone\\space_background.spr", "hiscores");
  if (g.run.players.open_scores) {
    g.run.players.open_scores(ctx);
  } else {
    ctx.shell.flow.click_context = ClickContext::HighScoreTable;
    g.play.end_phase = EndPhase::HighScoreTable;
  }
  ReportDialog(ctx, GameDialog::HighScores);
}

void CommandTryAgain(Context& ctx) {
  GameState& g = ctx.game;
  HudState& h = g.scene.hud;
  ChangeMusic(ctx, -1, kMusicFade, kMusicFade);
  UnloadScoresPage(ctx);
  const char* tag = g.session.game_type == GameType::Puzzle ? "try_again_puzzle" : "try_again";
  if (g.session.game_type != GameType::Puzzle) {
    load_location_map(ctx, "try_again.map");
    char level[16];
    std::snprintf(level, sizeof level, "%d", Progress(ctx).level);
    ShowTextFile(ctx, "text\\try_again.txt", "try_again", level);
    MakeWithTag(ctx, "graphics\\elements_gamezone\\space_background.spr", "try_again");
    MakeWithTag(ctx, "graphics\\elements_gamezone\\dark_panel.spr", "try_again");
    const PicId panel =
        MakeWithTag(ctx, "graphics\\elements_gamezone\\menu_panel.spr", "try_again");
    SetPartAlpha(ctx, panel, 0, kOpaque);
    // The game-type title stays where play showed it (y 24); the panel rises so that its
    // title plate frames the title instead of the panel's top edge cutting through it.
    SetPicPos(ctx, panel, PicX(ctx, panel), PicY(ctx, panel) - kRetryPanelRise);
    h.retry_ok = FindObject(ctx, "panel_ok", -1, "try_again");
    h.retry_no = FindObject(ctx, "panel_menu", -1, "try_again");
  } else {
    load_location_map(ctx, "try_again_puzzle.map");
    ShowTextFile(ctx, "text\\try_again_puzzle.txt", "try_again_puzzle", "");
    h.retry_ok = FindObject(ctx, "panel_ok", -1, "try_again_puzzle");
    h.retry_no = FindObject(ctx, "panel_later", -1, "try_again_puzzle");
  }
  g.play.end_phase = EndPhase::TryAgain;
  ctx.shell.flow.click_context = ClickContext::TryAgain;
  unload_by_tag(ctx, "game_type_text");
  ShowTextFile(ctx, GameTitleText(g.session.game_type), "game_type_text", "");
  OpenDialogFade(ctx, {tag});
  ReportDialog(ctx, GameDialog::TryAgain);
}

void CommandNextLevel(Context& ctx) {
  GameState& g = ctx.game;
  LevelStart(ctx);
  g.session.level += 1;
  SaveProgress(ctx);
}

void CommandPlayAgain(Context& ctx) {
  GameState& g = ctx.game;
  unload_by_tag(ctx, "try_again");
  unload_by_tag(ctx, "try_again_puzzle");
  ShowTag(ctx, kSceneMapTag, true);
  TypeProgress& p = Progress(ctx);
  if (g.session.game_type != GameType::Puzzle) {
    if (p.level < 5) {
      p.level = 1;
      p.score = 0;
    } else {
      p.level = p.level / 5 * 5;
      p.score = p.checkpoint;
    }
  }
  p.may_continue = 1;
  WritePlayers(ctx);
  LevelStart(ctx);
  // The game goes on from the level the progress now names (the same level in puzzle).
  if (g.session.game_type != GameType::Puzzle) g.session.level = p.level;
  g.session.score = p.score;
  g.scene.hud.shown_score = p.score;
}

void CommandExitQuestion(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (play.channels.balls_down >= 0) {
    StopGameChannel(ctx, play.channels.balls_down);
    play.exit_question.paused_sound = true;
  } else {
    play.exit_question.paused_sound = false;
  }
  SelectPicPart(ctx, g.scene.hud.menu_mini, 0, 0);
  ShowTag(ctx, "exit_to_menu", true);
  ctx.shell.flow.click_context = ClickContext::ExitToMenu;
  play.end_phase = EndPhase::ExitQuestion;
  OpenDialogFade(ctx, {"exit_to_menu"});
  ReportDialog(ctx, GameDialog::ExitQuestion);
}

void CommandContinueDialog(Context& ctx) {
  GameState& g = ctx.game;
  if (!g.run.players.open_continue) return;  // no player list: nothing to continue
  load_location_map(ctx, "menu.map");
  SetPartAlpha(ctx, FindObject(ctx, "menu_panel", -1, "menu"), 0, kOpaque);
  if (!g.run.players.open_continue(ctx)) {
    unload_by_tag(ctx, "menu");
    return;
  }
  ReportDialog(ctx, GameDialog::Continue);
}

void GameButtonHover(Context& ctx) {
  GameState& g = ctx.game;
  HudState& h = g.scene.hud;
  ShellState& s = ctx.shell;
  bool over = false;
  switch (g.play.end_phase) {
    case EndPhase::Playing:
      if (s.pointer.Over(kPlayMenuButton)) {
        s.pointer.hover_button = 1;
        over = true;
      }
      SelectPicPart(ctx, h.menu_mini, 0, over ? (s.pointer.pressed_button == 1 ? 2 : 1) : 0);
      CursorVariant(ctx, over ? 1 : g.play.cursor_idle_variant);
      return;
    case EndPhase::GameOverNotice:
      over = HoverButton(ctx, h.over_ok, 1);
      break;
    case EndPhase::Statistics:
      over = HoverButton(ctx, h.stat_ok, 1);
      over = HoverButton(ctx, h.stat_menu, 2) || over;
      break;
    case EndPhase::TryAgain:
      over = HoverButton(ctx, h.retry_ok, 1);
      over = HoverButton(ctx, h.retry_no, 2) || over;
      break;
    case EndPhase::ExitQuestion:
      over = HoverButton(ctx, h.exit_yes, 1);
      over = HoverButton(ctx, h.exit_no, 2) || over;
      break;
    case EndPhase::ContinueDialog:
      if (g.run.players.continue_hover) g.run.players.continue_hover(ctx);
      return;
    case EndPhase::HighScoreTable:
      if (g.run.players.scores_hover) {
        g.run.players.scores_hover(ctx);
        return;
      }
      // The table's three buttons by their rectangles.
      if (s.pointer.Over(kTableLeftArrow)) s.pointer.hover_button = 1;
      if (s.pointer.Over(kTableRightArrow)) s.pointer.hover_button = 2;
      if (s.pointer.Over(kTableOk)) s.pointer.hover_button = 3;
      over = s.pointer.hover_button != -1;
      break;
    case EndPhase::Lost:
    case EndPhase::Won:
    case EndPhase::TryAgainChosen:
      return;
  }
  CursorVariant(ctx, over ? 1 : 0);
}

void GameClick(Context& ctx) {
  PressButton(ctx, ctx.shell.pointer.pressed_button);
}

void GameKeyDown(Context& ctx, int key, int /*shift*/) {
  ShellState& s = ctx.shell;
  const ClickContext c = s.flow.click_context;
  if (key == VirtualKey::Enter || key == VirtualKey::Escape) {
    const bool enter = key == VirtualKey::Enter;
    switch (c) {
      case ClickContext::GameOverNotice:
        PressButton(ctx, 1);
        return;
      case ClickContext::LevelStatistics:
      case ClickContext::TryAgain:
      case ClickContext::ExitToMenu:
      case ClickContext::ContinueDialog:
        PressButton(ctx, enter ? 1 : 2);
        return;
      case ClickContext::HighScoreTable:
        PressButton(ctx, 3);
        return;
      default:
        break;
    }
  }
  if (c == ClickContext::Playing) {
    s.flow.command = GameCommand::Key;
    ctx.game.run.input.key = key;
  }
}

}  // namespace qv
