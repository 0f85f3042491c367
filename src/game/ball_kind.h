#pragma once
// What a field cell, the cannon or a flying shot holds. The numbers are those the state dump
// shows; level files spell kinds as characters and convert through LevelCellKind.
#include <cstdint>

namespace qv {

enum class BallKind : std::uint8_t {
  Empty = 0,
  // 1..kBallColours are the colour balls: ColourBall(colour), IsColour, ColourOf.
  ColourBomb = 10,
  BigBomb = 11,
  Multiball = 12,
  Land = 100,
  Crystal = 200,
};

inline constexpr int kBallColours = 7;

constexpr bool IsColourNumber(int colour) {
  return colour >= 1 && colour <= kBallColours;
}
// The colour ball of colour 1..kBallColours.
constexpr BallKind ColourBall(int colour) {
  return static_cast<BallKind>(colour);
}
constexpr bool IsColour(BallKind k) {
  return IsColourNumber(static_cast<int>(k));
}
// The colour 1..kBallColours of a colour ball; 0 for every other kind.
constexpr int ColourOf(BallKind k) {
  return IsColour(k) ? static_cast<int>(k) : 0;
}
// A ball that matches, explodes and falls: every kind but an empty cell and a crystal, which
// stays where it is until it is freed.
constexpr bool IsBall(BallKind k) {
  return k != BallKind::Empty && k != BallKind::Crystal;
}
constexpr bool IsBomb(BallKind k) {
  return k == BallKind::ColourBomb || k == BallKind::BigBomb;
}

// The number of a kind in the state dump.
constexpr int KindNumber(BallKind k) {
  return static_cast<int>(k);
}

// A level layout cell: '1'..'7' a colour ball, 'L' land, 'C' crystal; any other character
// leaves the cell empty.
constexpr BallKind LevelCellKind(char ch) {
  if (ch >= '1' && ch < '1' + kBallColours) return ColourBall(ch - '0');
  if (ch == 'L') return BallKind::Land;
  if (ch == 'C') return BallKind::Crystal;
  return BallKind::Empty;
}

}  // namespace qv
