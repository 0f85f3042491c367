#include "game/field.h"

#include <algorithm>

#include "context.h"
#include "game/game_math.h"
#include "game/matching.h"
#include "game/scene_port.h"

namespace qv {
namespace {

// Where the walls stop a ball's or a rocket's centre at the standard wall margin of two cells;
// each cell of margin less moves them a ball outwards.
constexpr int kStandardMargin = 2;
constexpr int kLeftWallAtStandardMargin = 188;
constexpr int kRightWallAtStandardMargin = 579;
// An empty field's lowest and highest occupied rows: beyond any row.
constexpr int kNoLowest = 9999999;
constexpr int kNoHighest = -9999999;
// Rows generated below this many rows in use; a taller field only loses its top row.
constexpr int kGeneratedRows = 20;
// The field climbs no further once its rows reach this far.
constexpr int kClimbLimit = kFieldRowMax + 1;

}  // namespace

double CellX(const BallField& f, int c, int r) {
  return f.code(r) == kWideRowCode ? kWideRowLeft + double{kBallSize} * c
                                   : kNarrowRowLeft + double{kBallSize} * c;
}

double CellY(const BallField& f, int /*c*/, int r) {
  return kRowZeroY + f.offset - double{kRowPitch} * r;
}

bool ColumnAllowed(const BallField& f, int c, int r) {
  return c >= f.margin && c < f.code(r) + 4 - f.margin;
}

int LeftWall(int margin) {
  return kLeftWallAtStandardMargin - kBallSize * (kStandardMargin - margin);
}
int RightWall(int margin) {
  return kRightWallAtStandardMargin + kBallSize * (kStandardMargin - margin);
}

bool RowOccupied(const BallField& f, int r) {
  for (int c = 0; c < kFieldCols; ++c) {
    if (f.at(c, r).kind != BallKind::Empty) return true;
  }
  return false;
}

void ClearRow(Context& ctx, int r, bool free_sprites) {
  for (int c = 0; c < kFieldCols; ++c) {
    FieldCell& cell = ctx.game.play.field.at(c, r);
    if (free_sprites) FreePic(ctx, cell.sprite);
    cell.sprite = kNoPic;
    cell.kind = BallKind::Empty;
    cell.bonus = 0;
    cell.marks = 0;
  }
}

void ClearMarks(BallField& f, std::uint8_t bits) {
  const auto keep = static_cast<std::uint8_t>(~bits);
  for (FieldCell& cell : f.cells) cell.marks &= keep;
}

void OccupancyScan(BallField& f) {
  f.lowest = kNoLowest;
  f.highest = kNoHighest;
  f.occupied = 0;
  bool seen = false;
  for (int r = 0; r < f.top_rows && r <= kFieldRowMax; ++r) {
    if (RowOccupied(f, r)) {
      seen = true;
      ++f.occupied;
      if (r < f.lowest) f.lowest = r;
      if (r > f.highest) f.highest = r;
    } else if (seen) {
      break;
    }
  }
}

std::array<CellRef, 6> Neighbours(const BallField& f, int c, int r) {
  // Rows outside the field have no code; their diagonal neighbours are out of range anyway.
  const int d =
      (r >= kFieldRowMin && r <= kFieldRowMax && f.code(r) == kWideRowCode) ? c - 1 : c + 1;
  return {{{c - 1, r}, {c + 1, r}, {d, r - 1}, {c, r - 1}, {d, r + 1}, {c, r + 1}}};
}

void ClearField(BallField& f) {
  for (FieldCell& cell : f.cells) cell = FieldCell{};
  f.codes.fill(0);
}

const char* BallSpritePath(BallKind kind) {
  static constexpr const char* kColour[kBallColours + 1] = {
      "graphics\\balls\\ball0\\ball0.spr", "graphics\\balls\\ball1\\ball1.spr",
      "graphics\\balls\\ball2\\ball2.spr", "graphics\\balls\\ball3\\ball3.spr",
      "graphics\\balls\\ball4\\ball4.spr", "graphics\\balls\\ball5\\ball5.spr",
      "graphics\\balls\\ball6\\ball6.spr", "graphics\\balls\\ball7\\ball7.spr"};
  switch (kind) {
    case BallKind::ColourBomb:
      return "graphics\\balls\\bomb\\bomb1.spr";
    case BallKind::BigBomb:
      return "graphics\\balls\\big_bomb\\bomb2.spr";
    case BallKind::Multiball:
      return "graphics\\balls\\multiball\\multiball.spr";
    case BallKind::Land:
      return "graphics\\balls\\lands\\land1.spr";
    case BallKind::Crystal:
      return "graphics\\balls\\crystals\\crystal1.spr";
    default:
      return kColour[ColourOf(kind)];
  }
}

const char* BallTag(BallKind kind) {
  if (kind == BallKind::Land) return "land";
  if (kind == BallKind::Crystal) return "crystal";
  return "balls";
}

void ApplyBallLook(Context& ctx, PicId id, BallKind kind, int paint, int bonus) {
  if (kind == BallKind::ColourBomb) SetPartColor(ctx, id, 1, BallTint(paint));
  if (bonus != 0) {
    RestorePartAnimSpeed(ctx, id, 1);
    SetPartAnimPos(ctx, id, 2, bonus - 1);
  } else if (IsColour(kind)) {
    SetPartAnimSpeed(ctx, id, 1, 0);
    SetPartVisible(ctx, id, 0, false);
    SetPartVisible(ctx, id, 2, false);
    SetPartVisible(ctx, id, 3, false);
  }
}

PicId MakeBallPicture(Context& ctx, BallKind kind, int paint, int bonus, double x, double y) {
  const PicId id = MakePic(ctx, BallSpritePath(kind), BallTag(kind));
  ApplyBallLook(ctx, id, kind, paint, bonus);
  SetPicPos(ctx, id, x, y);
  return id;
}

void PutBall(Context& ctx, int c, int r, BallKind kind, int paint, int bonus) {
  BallField& f = ctx.game.play.field;
  FieldCell& cell = f.at(c, r);
  FreePic(ctx, cell.sprite);
  cell.kind = kind;
  cell.paint = static_cast<std::uint8_t>(paint);
  cell.bonus = static_cast<std::uint8_t>(bonus);
  cell.marks = 0;
  cell.sprite = MakeBallPicture(ctx, kind, paint, bonus, CellX(f, c, r), CellY(f, c, r));
}

void GenerateRow(Context& ctx, int r, int width_code) {
  BallField& f = ctx.game.play.field;
  f.code(r) = static_cast<std::uint8_t>(width_code);
  for (int c = 2; c < 2 + width_code && c < kFieldCols; ++c) {
    const BallKind kind = ColourBall(ctx.random.Next(f.colour_count) + 1);
    FieldCell& cell = f.at(c, r);
    FreePic(ctx, cell.sprite);
    cell.kind = kind;
    cell.bonus = 0;
    cell.marks = 0;
    cell.sprite = MakeBallPicture(ctx, kind, 0, 0, CellX(f, c, r), CellY(f, c, r));
  }
}

namespace {

// Moves the picture of every occupied cell of rows -1..R-1 by dy pixels.
void MoveFieldPictures(Context& ctx, double dy) {
  BallField& f = ctx.game.play.field;
  const int top = std::min(f.top_rows - 1, kFieldRowMax);
  for (int r = kFieldRowMin; r <= top; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      const FieldCell& cell = f.at(c, r);
      if (cell.kind != BallKind::Empty && cell.sprite != kNoPic) {
        SetPicPos(ctx, cell.sprite, PicX(ctx, cell.sprite), PicY(ctx, cell.sprite) + dy);
      }
    }
  }
}

void MoveBoard(Context& ctx, double dy) {
  if (ctx.game.run.port) ctx.game.run.port->MoveBoard(ctx, dy);
}

}  // namespace

int Descend(Context& ctx, int n) {
  GameState& g = ctx.game;
  BallField& f = g.play.field;
  const Options& o = ctx.options;
  int per = 1;
  if (g.session.game_type == GameType::Challenge) per = o.balls_climb_inc_challenge;
  if (g.session.game_type == GameType::Puzzle) per = n < 2 ? o.balls_climb_inc_puzzle : 1;
  const int steps = n * per;
  int taken = 0;
  for (int i = 0; i < steps; ++i) {
    if (RowOccupied(f, -1)) continue;
    ++taken;
    f.offset += 1;
    MoveFieldPictures(ctx, 1);
    if (f.offset >= kRowPitch) {
      f.offset = 0;
      const int top = std::min(f.top_rows, kFieldRowMax + 1);
      for (int r = 0; r < top; ++r) {
        f.code(r - 1) = f.code(r);
        for (int c = 0; c < kFieldCols; ++c) f.at(c, r - 1) = f.at(c, r);
      }
      ClearRow(ctx, top - 1, false);
      if (g.session.game_type != GameType::Puzzle) {
        if (f.top_rows < kGeneratedRows) {
          GenerateRow(ctx, f.top_rows - 1, kNarrowRowCode + f.new_row_parity);
          f.new_row_parity ^= 1;
        } else {
          f.top_rows -= 1;
        }
      } else {
        f.top_rows = std::max(f.top_rows - 1, 0);
      }
    }
    if (g.session.game_type == GameType::Puzzle) MoveBoard(ctx, 1);
  }
  return taken;
}

int Climb(Context& ctx, int n) {
  GameState& g = ctx.game;
  BallField& f = g.play.field;
  const Options& o = ctx.options;
  int steps = n;
  if (g.session.game_type == GameType::Arcade) steps = o.balls_climb_inc_arcade;
  if (g.session.game_type == GameType::Challenge) steps = o.balls_climb_inc_challenge;
  if (g.session.game_type == GameType::Puzzle) steps = o.balls_climb_inc_puzzle;
  int taken = 0;
  for (int i = 0; i < steps; ++i) {
    if (f.offset == 0) {
      if (f.occupied + f.floor_row >= kClimbLimit) break;
      if (RowOccupied(f, f.top_rows - 1)) {
        if (f.top_rows >= kClimbLimit) break;
        f.top_rows += 1;
      }
      for (int r = f.top_rows - 2; r >= -1; --r) {
        f.code(r + 1) = f.code(r);
        for (int c = 0; c < kFieldCols; ++c) f.at(c, r + 1) = f.at(c, r);
      }
      ClearRow(ctx, -1, false);
      // Rows alternate: the new row is the other width.
      f.code(-1) = static_cast<std::uint8_t>(kNarrowRowCode + kWideRowCode - f.code(0));
      f.offset = kRowPitch;
    }
    f.offset -= 1;
    MoveFieldPictures(ctx, -1);
    ++taken;
  }
  if (g.session.game_type == GameType::Puzzle && taken > 0) MoveBoard(ctx, -taken);
  return taken;
}

int WallTrim(Context& ctx) {
  BallField& f = ctx.game.play.field;
  int removed = 0;
  const int top = std::min(f.top_rows - 1, kFieldRowMax);
  for (int r = kFieldRowMin; r <= top; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      if (f.at(c, r).kind == BallKind::Empty) continue;
      if (c < f.margin || c >= f.code(r) + 4 - f.margin) {
        ExplodeCell(ctx, c, r, true);
        ++removed;
      }
    }
  }
  return removed;
}

}  // namespace qv
