#pragma once
// State of the game subsystem, owned by the context: the ball field, the aim and shot, scoring,
// bonuses, bombs, rockets, crystal flights and particles. Operations live beside it
// (field.h, shot.h, matching.h, bonuses.h, particles.h).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/combo_table.h"
#include "game/pictures.h"
#include "sprites/multisprite.h"

namespace qv {

class GameScenePort;

// Ball kinds of a field cell.
inline constexpr int kKindEmpty = 0;
inline constexpr int kKindColourBomb = 10;
inline constexpr int kKindBigBomb = 11;
inline constexpr int kKindMultiball = 12;
inline constexpr int kKindLand = 100;
inline constexpr int kKindCrystal = 200;

// Game types.
inline constexpr int kArcade = 1;
inline constexpr int kChallenge = 2;
inline constexpr int kPuzzle = 3;

inline constexpr int kFieldCols = 16;
inline constexpr int kFieldRowMin = -1;
inline constexpr int kFieldRowMax = 89;
inline constexpr int kFieldRows = kFieldRowMax - kFieldRowMin + 1;  // 91

struct FieldCell {
  std::uint8_t kind = 0;
  std::uint8_t paint = 0;  // the colour bomb's paint colour 1..7
  std::uint8_t bonus = 0;  // bonus type 2..9 carried by a colour ball
  std::uint8_t marks = 0;  // flood-fill marks; zero between operations
  PicId sprite = kNoPic;   // owned
};

struct BallField {
  std::array<FieldCell, kFieldCols * kFieldRows> cells{};
  std::array<std::uint8_t, kFieldRows> codes{};  // row width code 11 or 12 (0 when cleared)
  int top_rows = 14;                             // R: rows -1..R-1 are in use
  int offset = 0;                                // s: pixels moved down since the last shift
  int margin = 2;                                // wall margin m
  int colour_count = 0;
  int floor_row = 0;
  int lowest = 9999999;
  int highest = -9999999;
  int occupied = 0;
  int new_row_parity = 0;

  static bool InRange(int c, int r) {
    return c >= 0 && c < kFieldCols && r >= kFieldRowMin && r <= kFieldRowMax;
  }
  FieldCell& at(int c, int r) { return cells[static_cast<std::size_t>((r + 1) * kFieldCols + c)]; }
  const FieldCell& at(int c, int r) const {
    return cells[static_cast<std::size_t>((r + 1) * kFieldCols + c)];
  }
  std::uint8_t& code(int r) { return codes[static_cast<std::size_t>(r + 1)]; }
  std::uint8_t code(int r) const { return codes[static_cast<std::size_t>(r + 1)]; }
};

struct PathPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct AimState {
  double angle = 0;        // radians, 0 straight up, positive to the left
  double drawn_angle = 0;  // the angle of the previous frame
  bool cannon_turning = false;
  double start_x = 384;
  double start_y = 449;
  double vx = 0;
  double vy = -5;
};

struct ShotPath {
  std::vector<PathPoint> points;  // capacity grows 256 points at a time; see length
  int length = 0;
  int target_col = -1;  // -1: no target
  int target_row = 0;
};

// The flying ball: a multisprite of the global list with the fields of a ball in flight.
class TShotBall : public TMultiSprite {
 public:
  double vx = 0;
  double vy = 0;
  int kind = 0;
  int paint = 0;
  int bonus = 0;
  int path_index = 0;
  int free_flight = 0;
};

struct ScoreState {
  int score = 0;
  int level_points = 0;
  int match_count = 0;
  int combo = 0;
  int streak = 0;
  int multiplier = 1;
  int max_single = 0;
  int max_combo = 0;
  double popup_x = 400;
  double popup_y = 300;
  int last_joy = -1;
};

struct BonusType {
  bool active = false;
  int duration = 0;  // ms
  int mode = 2;      // 1 timed, 2 instant
};

struct BonusEntry {
  int type = -1;  // -1: free
  PicId icon = kNoPic;
  int stage = 0;  // 4 flying to its slot, 3 waiting, 1 running (timed), 2 running (instant)
  double vx = 0;
  double vy = 0;
  std::uint32_t start_time = 0;
  std::uint32_t expiry = 0;
};

struct WallState {
  int step = 0;  // 0..11
  int target = 11;
  int direction = 0;
  std::uint32_t next_time = 0;
  bool moving = false;
};

// A paint rocket in flight: a multisprite of the global list with its own fields.
class TPaintRocket : public TMultiSprite {
 public:
  double vx = 0;
  double vy = 0;
  int rocket_index = -1;  // its entry in the list of live rockets
  int paint = 1;
  double launch_angle = 0;
};

struct CrystalFlight {
  PicId sprite = kNoPic;
  double vx = 0;
  double vy = 0;
  double target_x = 0;  // 0: arrived
  double target_y = 0;
};

struct CrystalState {
  int count = 0;     // crystals of the puzzle layout
  int freed = 0;     // freed this level
  int launched = 0;  // flights started this level
  int arrived = 0;
  std::vector<CrystalFlight> flights;
};

struct TExploseParticle {
  bool used = false;
  int list_index = -1;
  std::uint32_t start_time = 0;
  std::uint32_t lifetime = 0;
  double vx = 0;
  double vy = 0;
  int kind = 0;
  double size = 34;
  double base_x = 0;
  double base_y = 0;
  PicId sprite = kNoPic;
};

struct ParticleList {
  std::vector<TExploseParticle> slots;
  int count = 0;  // slots ever used; never shrinks
};

// The level-progress strip's values (shared with the HUD): particles steer to its end.
struct ProgressState {
  double target = 0;
  double shown = 0;
  double last_drawn = -1000;
  bool rising = false;
};

// Long looped sound channels of the game core; -1 = none.
struct GameChannels {
  int fuse = -1;
  int balls_down = -1;
  int balls_up = -1;
};

// Cannon queue: the ball in the cannon and the next one.
struct BallChoice {
  int kind = 0;
  int paint = 0;
  int bonus = 0;
};

struct GameState {
  GameScenePort* port = nullptr;  // the game scene's objects, text and sounds; may be null

  int game_type = kArcade;
  int level = 1;
  int end_phase = 0;
  double challenge_factor = 0;

  BallField field;
  AimState aim;
  ShotPath path;
  TShotBall* shot = nullptr;  // the one TShotBall, owned by the multisprite list
  bool ball_in_flight = false;
  BallChoice current_ball;
  BallChoice next_ball;

  ScoreState scoring;
  std::vector<ComboEntry> combo_table;  // read at start-up from "text\\combo.txt"
  ProgressState progress;

  std::array<BonusType, 11> bonus_types{};  // index = type 1..10
  std::vector<BonusEntry> bonuses;
  int mounted_rockets = 0;
  bool freeze = false;
  int climb_remaining = 0;
  int cursor_idle_variant = 0;
  PicId tracer = kNoPic;
  std::uint32_t bomb_timer = 0;  // 0 = none
  WallState walls;
  GameChannels channels;

  std::vector<TPaintRocket*> rockets;  // live rockets; null entries are free
  CrystalState crystals;
  ParticleList particles;

  // Scratch of the shot planner and the fills, reused every frame.
  std::array<std::uint16_t, kFieldRows> plan_row_bits{};
  std::array<double, kFieldCols * kFieldRows> plan_x{};
  std::array<double, kFieldCols * kFieldRows> plan_y{};
  std::vector<PicId> scratch_pics;
};

}  // namespace qv
