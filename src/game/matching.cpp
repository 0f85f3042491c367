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

// The smallest group a shot must complete to explode it.
constexpr int kMatchMinimum = 3;
// A small bomb bursts in this many sparks; any other ball in four pieces and as many splinters.
constexpr int kSmallBombSparks = 20;
constexpr int kBurstSplinters = 16;
constexpr int kPieceOffset = 8;  // each piece starts this far from the centre, both ways
// Without a marked ball the score pops up in the middle of the screen.
constexpr double kScreenMiddleX = 400;
constexpr double kScreenMiddleY = 300;
// Score texts: layer, and a combo's two lines this far above and below the popup point.
constexpr int kScoreTextZ = 200;
constexpr int kComboLineOffset = 12;
// The three joy samples split a roll of kJoyRoll: up to kFirstJoyMax, up to kSecondJoyMax, the
// rest.
constexpr int kJoyRoll = 100;
constexpr int kFirstJoyMax = 32;
constexpr int kSecondJoyMax = 66;
// A bomb goes off this long after it settles.
constexpr int kBombFuseMs = 400;
// In challenge, a field this full explodes a failed shot below its floor.
constexpr int kChallengeFullRows = kFieldRowMax;

int BurstTint(BallKind kind) {
  static constexpr int kTints[kBallColours] = {0x2935FF, 0xFFF000, 0x00FF00, 0xFF0000,
                                               0xFF00FF, 0x808080, 0x00CEFF};
  return kTints[ColourOf(kind) - 1];
}

// Colour bits of the multiball fill.
void BitFill(BallField& f, int c, int r, BallKind kind, std::uint8_t bit, int& group, int& count) {
  if (!BallField::InRange(c, r)) return;
  FieldCell& cell = f.at(c, r);
  if ((cell.kind != kind && cell.kind != BallKind::Multiball) || (cell.marks & bit)) return;
  cell.marks |= bit;
  ++group;
  ++count;
  for (const CellRef& n : Neighbours(f, c, r)) BitFill(f, n.col, n.row, kind, bit, group, count);
}

void FillColour(BallField& f, int c, int r, BallKind kind, int& count) {
  if (!BallField::InRange(c, r)) return;
  FieldCell& cell = f.at(c, r);
  if ((cell.kind != kind && cell.kind != BallKind::Multiball) || cell.marks != 0) return;
  cell.marks = 1;
  ++count;
  for (const CellRef& n : Neighbours(f, c, r)) FillColour(f, n.col, n.row, kind, count);
}

void StopFuse(Context& ctx) {
  StopGameChannel(ctx, ctx.game.play.channels.fuse);
}

// A crystal leaves the field: it flies to the crystal column.
void FreeCrystal(Context& ctx, FieldCell& cell) {
  const double x = PicX(ctx, cell.sprite);
  const double y = PicY(ctx, cell.sprite);
  cell.marks = 0;
  cell.kind = BallKind::Empty;
  cell.bonus = 0;
  FreePic(ctx, cell.sprite);
  StartCrystalFlight(ctx, x, y);
}

}  // namespace

void ColourFill(Context& ctx, int c, int r, BallKind kind) {
  FillColour(ctx.game.play.field, c, r, kind, ctx.game.play.scoring.match_count);
}

void MultiballFill(Context& ctx, int c, int r) {
  BallField& f = ctx.game.play.field;
  if (!BallField::InRange(c, r) || f.at(c, r).marks != 0) return;
  int& count = ctx.game.play.scoring.match_count;
  const auto around = Neighbours(f, c, r);
  for (int colour = 1; colour <= kBallColours; ++colour) {
    const auto bit = static_cast<std::uint8_t>(1u << (colour - 1));
    int group = 0;
    for (const CellRef& n : around) BitFill(f, n.col, n.row, ColourBall(colour), bit, group, count);
    if (group > 0 && group < kMatchMinimum) {
      ClearMarks(f, bit);
      count -= group;
    }
  }
}

void SupportFill(BallField& f, int c, int r) {
  if (!BallField::InRange(c, r)) return;
  FieldCell& cell = f.at(c, r);
  if (cell.kind == BallKind::Empty || cell.marks != 0) return;
  cell.marks = 1;
  for (const CellRef& n : Neighbours(f, c, r)) SupportFill(f, n.col, n.row);
}

bool ExplodeCell(Context& ctx, int c, int r, bool extra) {
  BallField& f = ctx.game.play.field;
  if (!BallField::InRange(c, r)) return false;
  FieldCell& cell = f.at(c, r);
  if (cell.kind == BallKind::Empty) return false;
  const BallKind kind = cell.kind;
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
  if (kind == BallKind::BigBomb) StopFuse(ctx);
  Collect(ctx, cell.bonus, kind, x, y);
  cell.marks = 0;
  cell.kind = BallKind::Empty;
  cell.bonus = 0;
  FreePic(ctx, cell.sprite);

  if (small_bomb) {
    for (int i = 0; i < kSmallBombSparks; ++i) CreateParticle(ctx, kParticleSpark, x, y);
  } else {
    const bool tint = IsColour(kind);
    for (int j = 0; j < 2; ++j) {
      for (int i = 0; i < 2; ++i) {
        const int slot = CreateParticle(ctx, kParticlePiece, x + (i ? kPieceOffset : -kPieceOffset),
                                        y + (j ? kPieceOffset : -kPieceOffset));
        const PicId s = ctx.game.run.particles.slots[slot].sprite;
        SelectPicPart(ctx, s, 0, i + 2 * j);
        if (tint) SetPicColor(ctx, s, BurstTint(kind));
      }
    }
    for (int i = 0; i < kBurstSplinters; ++i) {
      const int slot = CreateParticle(ctx, kParticleFragment, x, y);
      if (tint) SetPicColor(ctx, ctx.game.run.particles.slots[slot].sprite, BurstTint(kind));
    }
  }
  if (extra && ctx.game.session.game_type != GameType::Puzzle) {
    CreateParticle(ctx, kParticleLinePiece, x, y);
  }
  return true;
}

int ExplodeMarked(Context& ctx) {
  BallField& f = ctx.game.play.field;
  int count = 0;
  for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      FieldCell& cell = f.at(c, r);
      if (cell.kind == BallKind::Empty || cell.marks == 0) continue;
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
      if (f.at(c, anchor).kind != BallKind::Empty) SupportFill(f, c, anchor);
    }
    for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
      for (int c = 0; c < kFieldCols; ++c) {
        FieldCell& cell = f.at(c, r);
        if (cell.kind != BallKind::Empty && (cell.marks == 0 || r == -1)) {
          const BallKind kind = cell.kind;
          const double sx = PicX(ctx, cell.sprite);
          const double sy = PicY(ctx, cell.sprite);
          cell.kind = BallKind::Empty;
          cell.bonus = 0;
          FreePic(ctx, cell.sprite);
          if (kind == BallKind::BigBomb) StopFuse(ctx);
          if (IsBall(kind)) {
            const double x = CellX(f, c, r);
            const double y = CellY(f, c, r);
            CreateFallingBall(ctx, kind, cell.paint, x, y);
            if (extra && play.end_phase != EndPhase::Lost &&
                g.session.game_type != GameType::Puzzle) {
              CreateParticle(ctx, kParticleLinePiece, x, y);
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
          if (cell.kind != BallKind::Crystal) continue;
          bool loose = r == -1;
          if (!loose) {
            const int n = f.code(r) == kWideRowCode ? c - 1 : c;
            const bool left =
                BallField::InRange(n, r - 1) && f.at(n, r - 1).kind != BallKind::Empty;
            const bool right =
                BallField::InRange(n + 1, r - 1) && f.at(n + 1, r - 1).kind != BallKind::Empty;
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
    if (cell.kind != BallKind::Empty && cell.marks != 0) {
      sx += PicX(ctx, cell.sprite);
      sy += PicY(ctx, cell.sprite);
      ++n;
    }
  }
  ctx.game.play.scoring.popup_x = n > 0 ? sx / n : kScreenMiddleX;
  ctx.game.play.scoring.popup_y = n > 0 ? sy / n : kScreenMiddleY;
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
  // A bomb whose blast found nothing scores nothing and is no burst.
  if (g.run.events && n + d > 0) {
    GameEvent burst;
    burst.kind = GameEventKind::Burst;
    burst.size = n;
    burst.dropped = d;
    ReportGameEvent(ctx, burst);
  }

  s.max_single = std::max(s.max_single, p);
  const std::string digits = std::to_string(p);
  if (g.run.port) {
    if (combo_text && combo) {
      const int t = std::min(s.combo, table.back().threshold);
      g.run.port->CreateText(ctx, digits, kScoreTextZ, "graphics\\fonts\\font_taurus1.spr", 2,
                             "particle_digits", 0xFFFFFF, 1, s.popup_y - kComboLineOffset,
                             s.popup_x);
      const auto entry = std::find_if(table.begin(), table.end(),
                                      [t](const ComboEntry& e) { return e.threshold == t; });
      if (entry != table.end()) {
        g.run.port->CreateText(ctx, entry->text, kScoreTextZ, "graphics\\fonts\\font_taurus2.spr",
                               2, "particle_digits", 0x00CCFF, 1, s.popup_y + kComboLineOffset,
                               s.popup_x);
      }
    } else {
      g.run.port->CreateText(ctx, digits, kScoreTextZ, "graphics\\fonts\\font_taurus1.spr", 2,
                             "particle_digits", 0xFFFFFF, 1, s.popup_y, s.popup_x);
    }
  }
  if (combo_text && combo) s.max_combo = std::max(s.max_combo, s.combo);

  std::vector<PicId>& texts = g.run.scratch_pics;
  texts.clear();
  CollectTagged(ctx, "particle_digits", texts);
  for (const PicId id : texts) {
    CreateParticle(ctx, kParticleText, 0, 0, id);
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
    const int v = ctx.random.Next(kJoyRoll);
    index = v <= kFirstJoyMax ? 0 : v <= kSecondJoyMax ? 1 : 2;
  } while (index == last);
  static constexpr const char* kJoy[3] = {"sample_dragon_joy1", "sample_dragon_joy2",
                                          "sample_dragon_joy3"};
  PlayGameSample(ctx, kJoy[index]);
  last = index;
  return true;
}

void Attach(Context& ctx, BallKind kind, int paint, int bonus, int c, int r) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  BallField& f = play.field;
  ScoreState& s = play.scoring;
  if (!BallField::InRange(c, r)) return;
  if (IsBomb(kind)) {
    PlayGameSample(ctx, "sample_connection_bomb");
  } else if (bonus != 0) {
    PlayGameSample(ctx, "sample_connection_bonus");
  } else {
    PlayGameSample(ctx, "sample_connection");
  }
  PutBall(ctx, c, r, kind, paint, bonus);
  if (IsBomb(kind)) play.bomb_timer = GameNow(ctx) + kBombFuseMs;

  s.match_count = 0;
  if (kind == BallKind::Multiball) {
    MultiballFill(ctx, c, r);
  } else {
    ColourFill(ctx, c, r, kind);
  }

  if (s.match_count < kMatchMinimum) {
    const int top = std::min(f.top_rows - 1, kFieldRowMax);
    for (int row = kFieldRowMin; row <= top; ++row) {
      for (int col = 0; col < kFieldCols; ++col) f.at(col, row).marks = 0;
    }
    if (!IsBomb(kind)) s.combo = 0;
    s.streak = 0;
    OccupancyScan(f);
    if (g.session.game_type == GameType::Challenge &&
        f.occupied + f.floor_row > kChallengeFullRows && r < f.floor_row) {
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
