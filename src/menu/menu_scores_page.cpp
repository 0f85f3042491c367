// The high-score page: a table per game type, browsed from the menu or entered after a game.
#include <string>

#include "game/game_entry.h"
#include "menu/menu_layout.h"
#include "menu/menu_pages.h"
#include "menu/menu_scene.h"
#include "scene/dialog_fade.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "context.h"
#include "base/json_writer.h"
#include "base/message.h"

namespace qv {

namespace {

// The table: a line per record, the first at kFirstRecordY; rank, level and score end at
// their x, the name starts at its x.
constexpr int kFirstRecordY = 222;
constexpr int kRecordPitch = 25;
constexpr int kRankRight = 222;
constexpr int kNameLeft = 230;
constexpr int kLevelRight = 450;
constexpr int kScoreRight = 590;

const char* TitleFile(int type) {
  return type == 1   ? "text\\scores_title_arcade.txt"
         : type == 2 ? "text\\scores_title_challenge.txt"
                     : "text\\scores_title_puzzle.txt";
}

void DrawRows(Context& ctx) {
  const MenuState& m = ctx.menu;
  for (int i = 1; i <= static_cast<int>(m.table.rows.size()); ++i) {
    const RecordRow& r = m.table.rows[i - 1];
    const int color = i == m.insert_position ? 0x00CDEE : 0xEECD00;
    const double y = kFirstRecordY + kRecordPitch * (i - 1);
    const auto text = [&](const std::string& s, int align, int x) {
      create_txt(ctx, s, kPageTextZ, kFontTaurus1, align, "scores_records", color, 0.65, y, x);
    };
    text(r.rank + ".", 3, kRankRight);
    text(r.name, 1, kNameLeft);
    text(r.level, 3, kLevelRight);
    text(r.score, 3, kScoreRight);
  }
}

}  // namespace

void ShowScoresTable(Context& ctx, bool enter_result) {
  MenuState& m = ctx.menu;
  unload_by_tag(ctx, "scores_records");
  ShowTextFile(ctx, TitleFile(m.scores_type), "scores_records", "");
  ShowTextFile(ctx, "text\\scores_title_footer.txt", "scores_records", "");
  m.table = ParseRecords(ReadRecordsFile().value_or(""), m.scores_type);
  m.insert_position = 0;
  if (enter_result) {
    GameResult result;
    if (const Player* p = CurrentPlayer(ctx)) result.name = p->name;
    result.level = PlayedSession(ctx).level;
    result.score = PlayedSession(ctx).score;
    const Insertion ins = EnterResult(m.table, result);
    m.insert_position = ins.position;
    if (ins.rewrite) {
      if (const Expected<void> written = WriteRecordsFile(m.table); !written) {
        ReportError(ctx, written.error().message);
      }
    }
  }
  DrawRows(ctx);
  AddToDialogFade(ctx, "scores_records");
}

void OpenScoresPage(Context& ctx, bool from_game) {
  MenuState& m = ctx.menu;
  ctx.shell.flow.click_context = ClickContext::HighScoreTable;
  EnterEndPhase(ctx, EndPhase::HighScoreTable);
  ShowTag(ctx, kMainMenuTag, false);
  ShowTag(ctx, kScoresPageTag, true);
  for (const char* tag : {"menu_text", "menu_text_button1", "menu_text_button2", "scores_text"}) {
    unload_by_tag(ctx, tag);
  }
  ShowTextFile(ctx, "text\\game_title_scores.txt", "scores_text", "");
  m.scores_from_game = from_game;
  m.scores_open = true;
  m.scores_type = from_game ? TypeNumber(PlayedSession(ctx).game_type) : 1;
  if (m.scores_type < 1 || m.scores_type > 3) m.scores_type = 1;
  ShowScoresTable(ctx, from_game);
  OpenDialogFade(ctx, {kScoresPageTag, "scores_text", "scores_records"});
  MenuButtons& b = m.buttons;
  b.scores_left = FindObject(ctx, "repair_left", -1, kScoresPageTag);
  b.scores_right = FindObject(ctx, "repair_right", -1, kScoresPageTag);
  b.scores_ok = FindObject(ctx, "button_ok_mini", -1, kScoresPageTag);
  b.scores_move = FindObject(ctx, "movepart_mini", -1, kScoresPageTag);
}

bool ScoresPageClick(Context& ctx, int button) {
  MenuState& m = ctx.menu;
  switch (button) {
    case 1:
      m.scores_type = PreviousType(m.scores_type);
      ShowScoresTable(ctx, false);
      return false;
    case 2:
      m.scores_type = NextType(m.scores_type);
      ShowScoresTable(ctx, false);
      return false;
    case 3:
      if (!m.scores_from_game) SetCommand(ctx, MenuCommand::MainMenu);
      return true;
    default:
      return false;
  }
}

void WriteRecordsSection(const Context& ctx, JsonWriter& out) {
  const MenuState& m = ctx.menu;
  if (!m.scores_open) {
    out.Null();
    return;
  }
  out.BeginArray();
  for (std::size_t i = 0; i < m.table.rows.size(); ++i) {
    const RecordRow& r = m.table.rows[i];
    out.BeginObject();
    out.FieldString("rank", r.rank);
    out.FieldString("name", r.name);
    out.FieldString("level", r.level);
    out.FieldString("score", r.score);
    out.FieldBool("highlighted", static_cast<int>(i) + 1 == m.insert_position);
    out.EndObject();
  }
  out.EndArray();
}

}  // namespace qv
