#pragma once
// The ball field: geometry, neighbours, occupancy, and the field's descent and climb.
#include <array>
#include <string>

#include "game/game_state.h"

namespace qv {

struct Context;

// Field geometry in screen pixels.
inline constexpr int kBallSize = 34;             // a ball's picture, and the column pitch
inline constexpr int kRowPitch = 30;             // rows nest: their tops are this far apart
inline constexpr double kRowZeroY = 428.0;       // top of row 0 before the field moves
inline constexpr double kWideRowLeft = 128.0;    // column 0 of a 12-ball row
inline constexpr double kNarrowRowLeft = 145.0;  // column 0 of an 11-ball row, half a ball in
inline constexpr int kWideRowCode = 12;
inline constexpr int kNarrowRowCode = 11;

struct CellRef {
  int col = 0;
  int row = 0;
};

// Screen position of a cell (top-left of its 34 x 34 ball).
double CellX(const BallField& f, int c, int r);
double CellY(const BallField& f, int c, int r);

// Columns a row may hold for the current wall margin: m <= c < code + 4 - m.
bool ColumnAllowed(const BallField& f, int c, int r);
// Walls for a moving ball or rocket centre.
int LeftWall(int margin);
int RightWall(int margin);

bool RowOccupied(const BallField& f, int r);
void ClearRow(Context& ctx, int r, bool free_sprites);
void ClearMarks(BallField& f, std::uint8_t bits);
void OccupancyScan(BallField& f);
// The six neighbours in the order every flood fill visits them (may be out of range).
std::array<CellRef, 6> Neighbours(const BallField& f, int c, int r);
// All cells empty, sprite references dropped, width codes 0.
void ClearField(BallField& f);

// Sprite definition path and tag of a ball kind.
const char* BallSpritePath(BallKind kind);
const char* BallTag(BallKind kind);
// The picture of a ball as the field shows it after generation or a shot: a plain colour ball
// shows only its body, not animated; a bonus ball animates and shows its bonus icon; a colour
// bomb's core takes its paint colour.
void ApplyBallLook(Context& ctx, PicId id, BallKind kind, int paint, int bonus);
PicId MakeBallPicture(Context& ctx, BallKind kind, int paint, int bonus, double x, double y);
// Puts a ball into an empty cell with its picture at the cell position.
void PutBall(Context& ctx, int c, int r, BallKind kind, int paint, int bonus);

void GenerateRow(Context& ctx, int r, int width_code);
// Field moving towards the cannon / away from it; both return the pixel steps taken.
int Descend(Context& ctx, int n);
int Climb(Context& ctx, int n);
// Explodes every ball outside the current walls; returns how many.
int WallTrim(Context& ctx);

}  // namespace qv
