#include "game/field.h"

#include <algorithm>

#include "context.h"
#include "game/game_math.h"
#include "game/matching.h"
#include "game/scene_port.h"

namespace qv {

double CellX(const BallField& f, int c, int r) {
  return f.code(r) == 12 ? 128.0 + 34.0 * c : 145.0 + 34.0 * c;
}

double CellY(const BallField& f, int /*c*/, int r) {
  return 428.0 + f.offset - 30.0 * r;
}

bool ColumnAllowed(const BallField& f, int c, int r) {
  return c >= f.margin && c < f.code(r) + 4 - f.margin;
}

int LeftWall(int margin) {
  return 188 - 34 * (2 - margin);
}
int RightWall(int margin) {
  return 579 + 34 * (2 - margin);
}

bool RowOccupied(const BallField& f, int r) {
  for (int c = 0; c < kFieldCols; ++c) {
    if (f.at(c, r).kind != 0) return true;
  }
  return false;
}

void ClearRow(Context& ctx, int r, bool free_sprites) {
  for (int c = 0; c < kFieldCols; ++c) {
    FieldCell& cell = ctx.game.play.field.at(c, r);
    if (free_sprites) FreePic(ctx, cell.sprite);
    cell.sprite = kNoPic;
    cell.kind = 0;
    cell.bonus = 0;
    cell.marks = 0;
  }
}

void ClearMarks(BallField& f, std::uint8_t bits) {
  const auto keep = static_cast<std::uint8_t>(~bits);
  for (FieldCell& cell : f.cells) cell.marks &= keep;
}

void OccupancyScan(BallField& f) {
  f.lowest = 9999999;
  f.highest = -9999999;
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
  const int d = (r >= kFieldRowMin && r <= kFieldRowMax && f.code(r) == 12) ? c - 1 : c + 1;
  return {{{c - 1, r}, {c + 1, r}, {d, r - 1}, {c, r - 1}, {d, r + 1}, {c, r + 1}}};
}

void ClearField(BallField& f) {
  for (FieldCell& cell : f.cells) cell = FieldCell{};
  f.codes.fill(0);
}

const char* BallSpritePath(int kind) {
  static constexpr const char* kColour[8] = {
      "graphics\\balls\\ball0\\ball0.spr", "graphics\\balls\\ball1\\ball1.spr",
      "graphics\\balls\\ball2\\ball2.spr", "graphics\\balls\\ball3\\ball3.spr",
      "graphics\\balls\\ball4\\ball4.spr", "graphics\\balls\\ball5\\ball5.spr",
      "graphics\\balls\\ball6\\ball6.spr", "graphics\\balls\\ball7\\ball7.spr"};
  switch (kind) {
    case kKindColourBomb:
      return "graphics\\balls\\bomb\\bomb1.spr";
    case kKindBigBomb:
      return "graphics\\balls\\big_bomb\\bomb2.spr";
    case kKindMultiball:
      return "graphics\\balls\\multiball\\multiball.spr";
    case kKindLand:
      return "graphics\\balls\\lands\\land1.spr";
    case kKindCrystal:
      return "graphics\\balls\\crystals\\crystal1.spr";
    default:
      return kind >= 0 && kind <= 7 ? kColour[kind] : kColour[0];
  }
}

const char* BallTag(int kind) {
  if (kind == kKindLand) return "land";
  if (kind == kKindCrystal) return "crystal";
  return "balls";
}

void ApplyBallLook(Context& ctx, PicId id, int kind, int paint, int bonus) {
  if (kind == kKindColourBomb) SetPartColor(ctx, id, 1, BallTint(paint));
  if (bonus != 0) {
    RestorePartAnimSpeed(ctx, id, 1);
    SetPartAnimPos(ctx, id, 2, bonus - 1);
  } else if (kind >= 1 && kind <= 7) {
    SetPartAnimSpeed(ctx, id, 1, 0);
    SetPartVisible(ctx, id, 0, false);
    SetPartVisible(ctx, id, 2, false);
    SetPartVisible(ctx, id, 3, false);
  }
}

PicId MakeBallPicture(Context& ctx, int kind, int paint, int bonus, double x, double y) {
  const PicId id = MakePic(ctx, BallSpritePath(kind), BallTag(kind));
  ApplyBallLook(ctx, id, kind, paint, bonus);
  SetPicPos(ctx, id, x, y);
  return id;
}

void PutBall(Context& ctx, int c, int r, int kind, int paint, int bonus) {
  BallField& f = ctx.game.play.field;
  FieldCell& cell = f.at(c, r);
  FreePic(ctx, cell.sprite);
  cell.kind = static_cast<std::uint8_t>(kind);
  cell.paint = static_cast<std::uint8_t>(paint);
  cell.bonus = static_cast<std::uint8_t>(bonus);
  cell.marks = 0;
  cell.sprite = MakeBallPicture(ctx, kind, paint, bonus, CellX(f, c, r), CellY(f, c, r));
}

void GenerateRow(Context& ctx, int r, int width_code) {
  BallField& f = ctx.game.play.field;
  f.code(r) = static_cast<std::uint8_t>(width_code);
  for (int c = 2; c < 2 + width_code && c < kFieldCols; ++c) {
    const int colour = ctx.random.Next(f.colour_count) + 1;
    FieldCell& cell = f.at(c, r);
    FreePic(ctx, cell.sprite);
    cell.kind = static_cast<std::uint8_t>(colour);
    cell.bonus = 0;
    cell.marks = 0;
    cell.sprite = MakeBallPicture(ctx, colour, 0, 0, CellX(f, c, r), CellY(f, c, r));
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
      if (cell.kind != 0 && cell.sprite != kNoPic) {
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
    if (f.offset >= 30) {
      f.offset = 0;
      const int top = std::min(f.top_rows, kFieldRowMax + 1);
      for (int r = 0; r < top; ++r) {
        f.code(r - 1) = f.code(r);
        for (int c = 0; c < kFieldCols; ++c) f.at(c, r - 1) = f.at(c, r);
      }
      ClearRow(ctx, top - 1, false);
      if (g.session.game_type != GameType::Puzzle) {
        if (f.top_rows < 20) {
          GenerateRow(ctx, f.top_rows - 1, 11 + f.new_row_parity);
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
      if (f.occupied + f.floor_row >= 90) break;
      if (RowOccupied(f, f.top_rows - 1)) {
        if (f.top_rows >= 90) break;
        f.top_rows += 1;
      }
      for (int r = f.top_rows - 2; r >= -1; --r) {
        f.code(r + 1) = f.code(r);
        for (int c = 0; c < kFieldCols; ++c) f.at(c, r + 1) = f.at(c, r);
      }
      ClearRow(ctx, -1, false);
      f.code(-1) = static_cast<std::uint8_t>(23 - f.code(0));
      f.offset = 30;
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
      if (f.at(c, r).kind == 0) continue;
      if (c < f.margin || c >= f.code(r) + 4 - f.margin) {
        ExplodeCell(ctx, c, r, true);
        ++removed;
      }
    }
  }
  return removed;
}

}  // namespace qv
