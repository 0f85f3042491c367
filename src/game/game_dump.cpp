#include "game/game_dump.h"

#include <algorithm>

#include "base/json_writer.h"
#include "context.h"

namespace qv {
namespace {

void WriteBall(JsonWriter& out, const char* key, const BallChoice& b) {
  out.Key(key).BeginObject();
  out.Field("kind", KindNumber(b.kind));
  out.Field("paint", b.paint);
  out.Field("bonus", b.bonus);
  out.EndObject();
}

// One array of 16 values per row from -1 up to R - 1.
template <class Get>
void WriteRows(JsonWriter& out, const char* key, const BallField& f, Get get) {
  out.Key(key).BeginArray();
  const int top = std::min(f.top_rows - 1, kFieldRowMax);
  for (int r = kFieldRowMin; r <= top; ++r) {
    out.BeginArray();
    for (int c = 0; c < kFieldCols; ++c) out.Int(get(f.at(c, r)));
    out.EndArray();
  }
  out.EndArray();
}

}  // namespace

void WriteGameSection(const Context& ctx, JsonWriter& out) {
  const GameState& g = ctx.game;
  const LevelPlay& play = g.play;
  const BallField& f = play.field;
  out.BeginObject();
  out.Field("type", TypeNumber(g.session.game_type));
  out.Field("level", g.session.level);
  out.Field("last_level", play.lv.last_level);
  out.Field("score", g.session.score);
  out.Field("shown_score", g.scene.hud.shown_score);
  out.Field("level_points", play.scoring.level_points);
  out.Field("end_phase", static_cast<int>(play.end_phase));
  out.FieldReal("progress_target", play.progress.target);
  out.FieldReal("shown_progress", play.progress.shown);
  out.Field("combo", play.scoring.combo);
  out.Field("streak", play.scoring.streak);
  out.Field("multiplier", play.scoring.multiplier);
  out.FieldReal("aim_angle", g.scene.aim.angle);
  out.Field("shot_in_flight", play.ball_in_flight ? 1 : 0);
  WriteBall(out, "current_ball", play.current_ball);
  WriteBall(out, "next_ball", play.next_ball);
  out.Field("mounted_rockets", play.mounted_rockets);
  out.Field("freeze", play.freeze ? 1 : 0);
  out.Field("level_frames", play.frame.level_frames);
  out.Field("deadline",
            play.frame.deadline_set ? static_cast<std::int64_t>(play.frame.deadline) : -1);
  out.Field("climb_remaining", play.climb_remaining);
  out.Field("bomb_timer", static_cast<std::int64_t>(play.bomb_timer));
  out.Field("wall_margin", f.margin);
  out.Key("crystals").BeginObject();
  out.Field("count", play.crystals.count);
  out.Field("freed", play.crystals.freed);
  out.EndObject();
  out.Key("bonuses").BeginArray();
  for (const BonusEntry& e : play.bonuses) {
    out.BeginObject();
    out.Field("type", e.type);
    out.Field("stage", e.stage);
    out.EndObject();
  }
  out.EndArray();
  out.Key("field").BeginObject();
  out.Field("R", f.top_rows);
  out.Field("s", f.offset);
  out.Field("floor_row", f.floor_row);
  out.Field("lowest", f.lowest);
  out.Field("highest", f.highest);
  out.Field("count", f.occupied);
  out.Key("codes").BeginArray();
  for (int r = kFieldRowMin; r <= std::min(f.top_rows - 1, kFieldRowMax); ++r) out.Int(f.code(r));
  out.EndArray();
  WriteRows(out, "rows", f, [](const FieldCell& c) { return KindNumber(c.kind); });
  WriteRows(out, "bonus", f, [](const FieldCell& c) { return c.bonus; });
  WriteRows(out, "paint", f, [](const FieldCell& c) { return c.paint; });
  out.EndObject();
  out.EndObject();
}

}  // namespace qv
