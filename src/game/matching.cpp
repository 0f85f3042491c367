#include "game/matching.h"

#include <algorithm>
#include <string>

#include "context.h"
#include "game/bonuses.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/particles.h"
#include "game/scene_port.h"

namespace qv {
namespace {

bool IsBall(int kind) {
  return kind != 0 && kind < kKindCrystal;
}

int BurstTint(int kind) {
  static constexpr int kTints[7] = {0x2935FF, 0xFFF000, 0x00FF00, 0xFF0000,
                                    0xFF00FF, 0x808080, 0x00CEFF};
  return kTints[kind - 1];
}

// Colour bits of the multiball fill.
void BitFill(BallField& f, int c, int r, int colour, std::uint8_t bit, int& group, int& count) {
  if (!BallField::InRange(c, r)) return;
  FieldCell& cell = f.at(c, r);
  if ((cell.kind != colour && cell.kind != kKindMultiball) || (cell.marks & bit)) return;
  cell.marks |= bit;
  ++group;
  ++count;
  for (const CellRef& n : Neighbours(f, c, r)) BitFill(f, n.col, n.row, colour, bit, group, count);
}

void FillColour(BallField& f, int c, int r, int colour, int& count) {
  if (!BallField::InRange(c, r)) return;
  FieldCell& cell = f.at(c, r);
  if ((cell.kind != colour && cell.kind != kKindMultiball) || cell.marks != 0) return;
  cell.marks = 1;
  ++count;
  for (const CellRef& n : Neighbours(f, c, r)) FillColour(f, n.col, n.row, colour, count);
}

void StopFuse(Context& ctx) {
  StopGameChannel(ctx, ctx.game.play.channels.fuse);
}

// A crystal leaves the field: it flies to the crystal column.
void FreeCrystal(Context& ctx, FieldCell& cell) {
  const double x = PicX(ctx, cell.sprite);
  const double y = PicY(ctx, cell.sprite);
  cell.marks = 0;
  cell.kind = 0;
  cell.bonus = 0;
  FreePic(ctx, cell.sprite);
  StartCrystalFlight(ctx, x, y);
}

}  // namespace

void ColourFill(Context& ctx, int c, int r, int colour) {
  FillColour(ctx.game.play.field, c, r, colour, ctx.game.play.scoring.match_count);
}

void MultiballFill(Context& ctx, int c, int r) {
  BallField& f = ctx.game.play.field;
  if (!BallField::InRange(c, r) || f.at(c, r).marks != 0) return;
  int& count = ctx.game.play.scoring.match_count;
  const auto around = Neighbours(f, c, r);
  for (int colour = 1; colour <= 7; ++colour) {
    const auto bit = static_cast<std::uint8_t>(1u << (colour - 1));
    int group = 0;
    for (const CellRef& n : around) BitFill(f, n.col, n.row, colour, bit, group, count);
    if (group > 0 && group < 3) {
      ClearMarks(f, bit);
      count -= group;
    }
  }
}

void SupportFill(BallField& f, int c, int r) {
  if (!BallField::InRange(c, r)) return;
  FieldCell& cell = f.at(c, r);
  if (cell.kind == 0 || cell.marks != 0) return;
  cell.marks = 1;
  for (const CellRef& n : Neighbours(f, c, r)) SupportFill(f, n.col, n.row);
}

bool ExplodeCell(Context& ctx, int c, int r, bool extra) {
  BallField& f = ctx.game.play.field;
  if (!BallField::InRange(c, r)) return false;
  FieldCell& cell = f.at(c, r);
  if (cell.kind == 0) return false;
  const int kind = cell.kind;
  const double x = CellX(f, c, r);
  const double y = CellY(f, c, r);

  bool small_bomb = false;
  if (cell.bonus == 6) {
    for (const CellRef& n : Neighbours(f, c, r)) {
      if (!BallField::InRange(n.col, n.row)) continue;
      FieldCell& other = f.at(n.col, n.row);
      if (IsBall(other.kind) && other.marks == 0) other.marks = 1;
    }
    small_bomb = true;
  }
  if (kind == kKindBigBomb) StopFuse(ctx);
  Collect(ctx, cell.bonus, kind, x, y);
  cell.marks = 0;
  cell.kind = 0;
  cell.bonus = 0;
  FreePic(ctx, cell.sprite);

  if (small_bomb) {
    for (int i = 0; i < 20; ++i) CreateParticle(ctx, 16, x, y);
  } else {
    const bool tint = kind >= 1 && kind <= 7;
    for (int j = 0; j < 2; ++j) {
      for (int i = 0; i < 2; ++i) {
        const int slot = CreateParticle(ctx, 20, x + (i ? 8 : -8), y + (j ? 8 : -8));
        const PicId s = ctx.game.run.particles.slots[slot].sprite;
        SelectPicPart(ctx, s, 0, i + 2 * j);
        if (tint) SetPicColor(ctx, s, BurstTint(kind));
      }
    }
    for (int i = 0; i < 16; ++i) {
      const int slot = CreateParticle(ctx, 19, x, y);
      if (tint) SetPicColor(ctx, ctx.game.run.particles.slots[slot].sprite, BurstTint(kind));
    }
  }
  if (extra && ctx.game.session.game_type != GameType::Puzzle) CreateParticle(ctx, 22, x, y);
  return true;
}

int ExplodeMarked(Context& ctx) {
  BallField& f = ctx.game.play.field;
  int count = 0;
  for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      FieldCell& cell = f.at(c, r);
      if (cell.kind == 0 || cell.marks == 0) continue;
      cell.marks = 0;
      ExplodeCell(ctx, c, r, true);
      ++count;
    }
  }
  if (count > 0) {
    const Options& o = ctx.options;
    if (count < o.explosion_sound_limit1) {
      PlayGameSample(ctx, "sample_explosion_small");
    } else if (count < o.explosion_sound_limit2) {
      PlayGameSample(ctx, "sample_explosion_middle");
    } else {
      PlayGameSample(ctx, "sample_explosion_big");
    }
  }
  return count;
}

int Drop(Context& ctx, bool extra) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  BallField& f = play.field;
  int total = 0;
  for (;;) {
    int removed = 0;
    const int anchor = std::min(f.top_rows - 1, kFieldRowMax);
    for (int c = 0; c < kFieldCols; ++c) {
      if (f.at(c, anchor).kind != 0) SupportFill(f, c, anchor);
    }
    for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
      for (int c = 0; c < kFieldCols; ++c) {
        FieldCell& cell = f.at(c, r);
        if (cell.kind != 0 && (cell.marks == 0 || r == -1)) {
          const int kind = cell.kind;
          const double sx = PicX(ctx, cell.sprite);
          const double sy = PicY(ctx, cell.sprite);
          cell.kind = 0;
          cell.bonus = 0;
          FreePic(ctx, cell.sprite);
          if (kind == kKindBigBomb) StopFuse(ctx);
          if (kind < kKindCrystal) {
            const double x = CellX(f, c, r);
            const double y = CellY(f, c, r);
            CreateFallingBall(ctx, kind, cell.paint, x, y);
            if (extra && play.end_phase != EndPhase::Lost &&
                g.session.game_type != GameType::Puzzle) {
              CreateParticle(ctx, 22, x, y);
            }
          } else if (play.end_phase == EndPhase::Playing) {
            StartCrystalFlight(ctx, sx, sy);
          }
          ++removed;
        }
        cell.marks = 0;
      }
    }
    if (g.session.game_type == GameType::Puzzle) {
      for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
        for (int c = 0; c < kFieldCols; ++c) {
          FieldCell& cell = f.at(c, r);
          if (cell.kind != kKindCrystal) continue;
          bool loose = r == -1;
          if (!loose) {
            const int n = f.code(r) == 12 ? c - 1 : c;
            const bool left = BallField::InRange(n, r - 1) && f.at(n, r - 1).kind != 0;
            const bool right = BallField::InRange(n + 1, r - 1) && f.at(n + 1, r - 1).kind != 0;
            loose = !left && !right;
          }
          if (loose) {
            FreeCrystal(ctx, cell);
            ++removed;
          }
        }
      }
    }
    total += removed;
    if (removed == 0) break;
  }
  return total;
}

void SetPopupPoint(Context& ctx) {
  const BallField& f = ctx.game.play.field;
  double sx = 0;
  double sy = 0;
  int n = 0;
  for (const FieldCell& cell : f.cells) {
    if (cell.kind != 0 && cell.marks != 0) {
      sx += PicX(ctx, cell.sprite);
      sy += PicY(ctx, cell.sprite);
      ++n;
    }
  }
  ctx.game.play.scoring.popup_x = n > 0 ? sx / n : 400;
  ctx.game.play.scoring.popup_y = n > 0 ? sy / n : 300;
}

void ScoreEvent(Context& ctx, int n, int d, bool combo_text) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  ScoreState& s = play.scoring;
  const int f = std::max(d - 1, 1);
  const int base = n * f * s.multiplier;
  s.level_points += base;
  int p = base;
  const auto& table = ctx.game.run.combo_table;
  const bool combo = !table.empty() && s.combo >= table.front().threshold;
  if (combo) p *= std::min(s.combo, table.back().threshold);
  g.session.score += p;
  if (g.session.game_type == GameType::Challenge)
    play.progress.target += base * play.lv.challenge_factor;
  s.multiplier = 1;

  s.max_single = std::max(s.max_single, p);
  const std::string digits = std::to_string(p);
  if (g.run.port) {
    if (combo_text && combo) {
      const int t = std::min(s.combo, table.back().threshold);
      g.run.port->CreateText(ctx, digits, 200, "graphics\\fonts\\font_taurus1.spr", 2,
                             "particle_digits", 0xFFFFFF, 1, s.popup_y - 12, s.popup_x);
      const auto entry = std::find_if(table.begin(), table.end(),
                                      [t](const ComboEntry& e) { return e.threshold == t; });
      if (entry != table.end()) {
        g.run.port->CreateText(ctx, entry->text, 200, "graphics\\fonts\\font_taurus2.spr", 2,
                               "particle_digits", 0x00CCFF, 1, s.popup_y + 12, s.popup_x);
      }
    } else {
      g.run.port->CreateText(ctx, digits, 200, "graphics\\fonts\\font_taurus1.spr", 2,
                             "particle_digits", 0xFFFFFF, 1, s.popup_y, s.popup_x);
    }
  }
  if (combo_text && combo) s.max_combo = std::max(s.max_combo, s.combo);

  std::vector<PicId>& texts = g.run.scratch_pics;
  texts.clear();
  CollectTagged(ctx, "particle_digits", texts);
  for (const PicId id : texts) {
    CreateParticle(ctx, 23, 0, 0, id);
    SetPicTag(ctx, id, "explose_particle");
  }
}

bool JoySound(Context& ctx, int count, bool dropped) {
  const GameState& g = ctx.game;
  const Options& o = ctx.options;
  int limit = 0;
  if (g.session.game_type == GameType::Arcade && g.session.level == 1) {
    limit = dropped ? o.sound_joy_limit_arcade1_drop : o.sound_joy_limit_arcade1;
  } else if (g.session.game_type == GameType::Challenge && g.session.level == 1) {
    limit = dropped ? o.sound_joy_limit_challenge1_drop : o.sound_joy_limit_challenge1;
  } else {
    limit = dropped ? o.sound_joy_limit_drop : o.sound_joy_limit;
  }
  if (count < limit) return false;
  int& last = ctx.game.play.scoring.last_joy;
  int index = 0;
  do {
    const int v = ctx.random.Next(100);
    index = v <= 32 ? 0 : v <= 66 ? 1 : 2;
  } while (index == last);
  static constexpr const char* kJoy[3] = {"sample_dragon_joy1", "sample_dragon_joy2",
                                          "sample_dragon_joy3"};
  PlayGameSample(ctx, kJoy[index]);
  last = index;
  return true;
}

void Attach(Context& ctx, int kind, int paint, int bonus, int c, int r) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  BallField& f = play.field;
  ScoreState& s = play.scoring;
  if (!BallField::InRange(c, r)) return;
  if (kind == kKindColourBomb || kind == kKindBigBomb) {
    PlayGameSample(ctx, "sample_connection_bomb");
  } else if (bonus != 0) {
    PlayGameSample(ctx, "sample_connection_bonus");
  } else {
    PlayGameSample(ctx, "sample_connection");
  }
  PutBall(ctx, c, r, kind, paint, bonus);
  if (kind == kKindColourBomb || kind == kKindBigBomb) play.bomb_timer = GameNow(ctx) + 400;

  s.match_count = 0;
  if (kind == kKindMultiball) {
    MultiballFill(ctx, c, r);
  } else {
    ColourFill(ctx, c, r, kind);
  }

  if (s.match_count < 3) {
    const int top = std::min(f.top_rows - 1, kFieldRowMax);
    for (int row = kFieldRowMin; row <= top; ++row) {
      for (int col = 0; col < kFieldCols; ++col) f.at(col, row).marks = 0;
    }
    if (kind != kKindColourBomb && kind != kKindBigBomb) s.combo = 0;
    s.streak = 0;
    OccupancyScan(f);
    if (g.session.game_type == GameType::Challenge && f.occupied + f.floor_row > 89 &&
        r < f.floor_row) {
      ExplodeCell(ctx, c, r, false);
    }
    Drop(ctx, false);
  } else {
    if (g.run.port) g.run.port->OnMatch(ctx);
    s.combo += 1;
    s.streak += 1;
    const int n = s.match_count;
    SetPopupPoint(ctx);
    ExplodeMarked(ctx);
    ExplodeMarked(ctx);
    const int d = Drop(ctx, true);
    if (!JoySound(ctx, n, false)) JoySound(ctx, d, true);
    ScoreEvent(ctx, n, d, true);
  }
  OccupancyScan(f);
}

}  // namespace qv
