#pragma once
// State of the game subsystem, owned by the context, grouped by how long it lives: the run
// (tables, links, pools and scratch), the game (type, level, score), the game scene (its
// objects and HUD), and the level being played (field, shot, bonuses, bombs, timers...). Each
// group but the run begins as a freshly constructed value, so nothing survives by being
// forgotten. Operations live beside it (field.h, shot.h, matching.h, bonuses.h, particles.h).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "game/ball_kind.h"
#include "game/combo_table.h"
#include "game/game_events.h"
#include "platform/render_device.h"
#include "scene/pictures.h"
#include "sprites/multisprite.h"

namespace qv {

class GameScenePort;
struct Context;

// Where the level stands: in play, or which end-of-level dialog or wait holds it. Only play
// moves the field, the shot and the bonuses. The values are the state dump's "end_phase".
enum class EndPhase : int {
  Playing = 0,
  GameOverNotice = 1,
  Statistics = 2,
  HighScoreTable = 4,
  TryAgain = 5,
  ExitQuestion = 6,
  Lost = 7,  // the field falls for a second before the notice
  Won = 8,   // the field climbs out before the statistics
  TryAgainChosen = 9,
  ContinueDialog = 10,
};

// Game types. The numbers are those of the players and records files, the level-file order,
// the menu's type buttons and the state dump.
enum class GameType : int { Arcade = 1, Challenge = 2, Puzzle = 3 };

constexpr int TypeNumber(GameType t) {
  return static_cast<int>(t);
}
// The type's place in the per-type arrays of the player's progress.
constexpr std::size_t TypeIndex(GameType t) {
  return static_cast<std::size_t>(t) - 1;
}
// The type of number 1..3; any other number is arcade.
constexpr GameType GameTypeOf(int number) {
  return number == 2 ? GameType::Challenge : number == 3 ? GameType::Puzzle : GameType::Arcade;
}

inline constexpr int kFieldCols = 16;
inline constexpr int kFieldRowMin = -1;
inline constexpr int kFieldRowMax = 89;
inline constexpr int kFieldRows = kFieldRowMax - kFieldRowMin + 1;  // 91

// The middle of the screen, where a score without balls to stand by shows.
inline constexpr Point kScreenMiddle{platform::kScreenWidth / 2, platform::kScreenHeight / 2};
// The loaded ball's place in the cannon; a shot starts kShotStartReach pixels along the aim.
inline constexpr Point kCannonBall{384, 549};
inline constexpr int kShotStartReach = 100;

struct FieldCell {
  BallKind kind = BallKind::Empty;
  std::uint8_t paint = 0;  // the colour bomb's paint colour 1..7
  std::uint8_t bonus = 0;  // bonus type 2..9 carried by a colour ball
  std::uint8_t marks = 0;  // flood-fill marks; zero between operations
  PicId sprite = kNoPic;   // owned

  bool operator==(const FieldCell&) const = default;
};

struct BallField {
  // `lowest` and `highest` of a field with no ball.
  static constexpr int kNoRow = 9999999;

  std::array<FieldCell, kFieldCols * kFieldRows> cells{};
  std::array<std::uint8_t, kFieldRows> codes{};  // row width code 11 or 12 (0 when cleared)
  int top_rows = 14;                             // R: rows -1..R-1 are in use
  int offset = 0;                                // s: pixels moved down since the last shift
  int margin = 2;                                // wall margin m
  int colour_count = 0;
  int floor_row = 0;
  int lowest = kNoRow;
  int highest = -kNoRow;
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

  bool operator==(const BallField&) const = default;
};

struct PathPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;

  bool operator==(const PathPoint&) const = default;
};

struct AimState {
  double angle = 0;        // radians, 0 straight up, positive to the left
  double drawn_angle = 0;  // the angle of the previous frame
  bool cannon_turning = false;
  double start_x = kCannonBall.x;  // the start with the cannon straight up
  double start_y = kCannonBall.y - kShotStartReach;
  double vx = 0;
  double vy = -5;

  bool operator==(const AimState&) const = default;
};

struct ShotPath {
  std::vector<PathPoint> points;  // capacity grows 256 points at a time; see length
  int length = 0;
  int target_col = -1;  // -1: no target
  int target_row = 0;

  bool operator==(const ShotPath&) const = default;
};

// The flying ball: a multisprite of the global list with the fields of a ball in flight.
class TShotBall : public TMultiSprite {
 public:
  double vx = 0;
  double vy = 0;
  BallKind kind = BallKind::Empty;
  int paint = 0;
  int bonus = 0;
  int path_index = 0;
  int free_flight = 0;
};

// The level's scoring; the game's score is GameSession::score.
struct ScoreState {
  int level_points = 0;
  int match_count = 0;
  int combo = 0;
  int streak = 0;
  int multiplier = 1;
  int max_single = 0;
  int max_combo = 0;
  double popup_x = kScreenMiddle.x;
  double popup_y = kScreenMiddle.y;
  int last_joy = -1;

  bool operator==(const ScoreState&) const = default;
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

  bool operator==(const BonusEntry&) const = default;
};

struct WallState {
  int step = 0;  // 0..11
  int target = 11;
  int direction = 0;
  std::uint32_t next_time = 0;
  bool moving = false;

  bool operator==(const WallState&) const = default;
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

  bool operator==(const CrystalFlight&) const = default;
};

struct CrystalState {
  int count = 0;     // crystals of the puzzle layout
  int freed = 0;     // freed this level
  int launched = 0;  // flights started this level
  int arrived = 0;
  std::vector<CrystalFlight> flights;

  bool operator==(const CrystalState&) const = default;
};

struct TExploseParticle {
  static constexpr double kStartSize = 34;  // a ball's

  bool used = false;
  int list_index = -1;
  std::uint32_t start_time = 0;
  std::uint32_t lifetime = 0;
  double vx = 0;
  double vy = 0;
  int kind = 0;
  double size = kStartSize;
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
  static constexpr int kFull = 333;  // the strip's length in pixels: the level is won
  static constexpr double kNeverDrawn = -1000;

  double target = 0;
  double shown = 0;
  double last_drawn = kNeverDrawn;
  bool rising = false;

  bool operator==(const ProgressState&) const = default;
};

// Long looped sound channels of the game core; -1 = none.
struct GameChannels {
  int fuse = -1;
  int balls_down = -1;
  int balls_up = -1;

  bool operator==(const GameChannels&) const = default;
};

// Cannon queue: the ball in the cannon and the next one.
struct BallChoice {
  BallKind kind = BallKind::Empty;
  int paint = 0;
  int bonus = 0;

  bool operator==(const BallChoice&) const = default;
};

// What the level file said and what the type's rules track while the level is played.
struct LevelState {
  int last_level = 1;            // 999999 while a file exists for the next level
  int climb_time = 0;            // arcade: ms between two 1-pixel descents
  int drain_interval = 0;        // challenge: ms between two drain steps
  double point_divisor = 1;      // arcade: progress target = level points / divisor
  std::vector<int> bonus_items;  // 1..10, what the cannon may hand out
  int new_item = 0;              // item presented in the level-complete panel
  double challenge_factor = 0;   // challenge: points x factor are added to the progress target
  std::vector<int> colours;  // puzzle: the layout's colours; the next ball is drawn from them
  int shots_per_descent = 0;
  int descent_budget = 0;  // puzzle: pixels still to descend
  int danger_row = 8;
  std::uint32_t descent_timer = 0;
  std::uint32_t drain_time = 0;
  bool start_flag = false;  // raised by level start, cleared by the level build
  bool unplayable = false;  // the level file could not be read

  bool operator==(const LevelState&) const = default;
};

// The current player's saved progress for one game type (the players file's fields).
struct TypeProgress {
  int level = -1;
  int score = 0;
  int may_continue = -1;
  int checkpoint = 0;
};

// Where the game reaches the player list and the high-score page. The composition root fills
// these from the menu; with none set the game keeps the progress in `local` and skips the
// table. The game works on `local` and hands it back when the players file is to be written.
struct PlayerLinks {
  // The current player's progress for a game type; false when there is no player.
  bool (*read_progress)(Context&, int type, TypeProgress& out) = nullptr;
  // Stores it as the current player's and writes the players file.
  void (*write_progress)(Context&, int type, const TypeProgress& progress) = nullptr;
  // Opens the scores page of the game type just played with this game's result entered
  // (sets EndPhase::HighScoreTable and ClickContext::HighScoreTable).
  void (*open_scores)(Context&) = nullptr;
  // Hover and clicks of the scores page (buttons 1, 2 page through the types).
  void (*scores_hover)(Context&) = nullptr;
  void (*scores_page)(Context&, int button) = nullptr;
  // Opens the continue-last-game dialog over the game scene for the game's type
  // (EndPhase::ContinueDialog, ClickContext::ContinueDialog); false when it could not (no player).
  bool (*open_continue)(Context&) = nullptr;
  // Hover of that dialog's buttons, each frame while it is up.
  void (*continue_hover)(Context&) = nullptr;
  // Its answer (true: continue), written to the player's saved progress.
  void (*continue_answer)(Context&, bool yes) = nullptr;
  std::array<TypeProgress, 3> local{};
};

// The game frame's timers and flags of one level.
struct FrameState {
  static constexpr int kMeterFull = 163;  // the puzzle shot meter's pixels

  bool fast_drop_armed = false;
  bool auto_shot = false;
  std::uint32_t deadline = 0;  // game over when passed; 0 = none
  bool deadline_set = false;
  std::uint32_t fall_end = 0;
  std::uint32_t sad_time = 0;
  int shot_counter = 0;
  int meter_target = 0;  // puzzle shot meter 0..kMeterFull
  int meter_shown = 0;
  int level_frames = 0;  // game frames run since the level started
  std::uint32_t built_at = 0;  // game clock when the level was built
  int shots = 0;               // shots fired in the level

  bool operator==(const FrameState&) const = default;
};

// The input handlers' latches, read by the next game frame.
struct GameInput {
  int button_flags = 0;  // of the last click: 1 left, 2 right
  int key = 0;
};

// The exit question, from the moment it is asked for until the next one.
struct ExitQuestion {
  bool from_stats = false;    // asked from the statistics: No returns there
  bool paused_sound = false;  // balls-down stopped while it is up

  bool operator==(const ExitQuestion&) const = default;
};

// A dragon's flight and mood in the level; its x offset is the scene's (HudState::dragon_x).
struct DragonRecord {
  static constexpr double kDownSpeed = 0.4;  // pixels a frame
  static constexpr double kUpSpeed = 0.8;

  bool moving = false;
  double target_x = 0;
  double target_y = 0;
  std::uint32_t rest_until = 0;
  int wanted = 0;
  std::uint32_t hold_until = 0;
  int shown = -1;
  double down_speed = kDownSpeed;
  double up_speed = kUpSpeed;

  bool operator==(const DragonRecord&) const = default;
};

// The game scene's objects (registry slots, -1 = none), found or made once per scene, and the
// HUD values that run on across levels: the shown score and the dragons' place.
struct HudState {
  static constexpr int kStripCoverCount = 42;

  PicId normal_panel = kNoPic, menu_mini = kNoPic, net_left = kNoPic, net_right = kNoPic;
  PicId balls_down = kNoPic, canon1 = kNoPic, canon2 = kNoPic;
  PicId tablo_level = kNoPic, tablo_scores = kNoPic, laser = kNoPic;
  std::array<PicId, 2> board_lines{kNoPic, kNoPic};
  std::array<PicId, 5> digits{kNoPic, kNoPic, kNoPic, kNoPic, kNoPic};
  PicId strip = kNoPic;
  std::array<PicId, kStripCoverCount> covers = [] {
    std::array<PicId, kStripCoverCount> a{};
    a.fill(kNoPic);
    return a;
  }();
  PicId over_ok = kNoPic, exit_yes = kNoPic, exit_no = kNoPic;
  PicId stat_ok = kNoPic, stat_menu = kNoPic;
  PicId retry_ok = kNoPic, retry_no = kNoPic;
  std::array<PicId, 2> dragons{kNoPic, kNoPic};
  std::array<PicId, 6> slots{kNoPic, kNoPic, kNoPic, kNoPic, kNoPic, kNoPic};

  int shown_score = 0;
  bool score_redraw = false;
  std::uint32_t score_time = 0;
  std::array<double, 2> dragon_x{};  // x offsets; the dragons fly on from where they are
  std::uint32_t scene_start = 0;
  char level_text[16] = {};
};

// The HUD of one level: build-up steps, the cannon queue's bonus count, the dragons' moods, and
// the pictures the level makes (the loaded ball, the board).
struct LevelHud {
  // The last frames of the cannon's and the boards' build-up: the level is under way.
  static constexpr int kCannonBuilt = 31;
  static constexpr int kBoardsBuilt = 23;

  PicId board = kNoPic;
  PicId loaded = kNoPic;  // the big bomb's fuse plays on GameChannels::fuse
  int cannon_step = 0;
  std::uint32_t cannon_time = 0;
  int board_step = 0;
  std::uint32_t board_time = 0;
  int shown_level = -1;
  bool alarm_played = false;
  std::array<DragonRecord, 2> dragon{};
  std::uint32_t shots_since_bonus = 0;
  std::uint32_t shots_until_bonus = 0;

  bool operator==(const LevelHud&) const = default;
};

// The built-in player's scratch for judging a shot (its clicks are the harness's).
struct AutoplayState {
  std::uint32_t stamp = 0;
  std::array<std::uint32_t, kFieldCols * kFieldRows> seen{};
  std::array<std::uint32_t, kFieldCols * kFieldRows> gone{};
  std::array<std::int16_t, kFieldCols * kFieldRows> queue{};
};

// Per run: tables read at start-up, the links the composition root sets, the built-in
// player, the particle pool (the menu scene draws with it too) and scratch buffers.
struct GameRun {
  GameScenePort* port = nullptr;  // the game scene's objects, text and sounds; may be null
  std::shared_ptr<GameScenePort> scene_port;  // the game scene's port while it is built
  PlayerLinks players;
  GameEventSink events;                 // set by the harness for --events; empty otherwise
  std::vector<ComboEntry> combo_table;  // read at start-up from "text\\combo.txt"
  GameInput input;
  AutoplayState bot;
  ParticleList particles;  // live particles are freed when a level is cleared
  // A level file without description lines keeps the ones shown before.
  std::vector<std::string> level_description;

  // Scratch of the shot planner and the fills, reused every frame.
  std::array<std::uint16_t, kFieldRows> plan_row_bits{};
  std::array<double, kFieldCols * kFieldRows> plan_x{};
  std::array<double, kFieldCols * kFieldRows> plan_y{};
  std::vector<PicId> scratch_pics;
};

// Per game: begun by game start (the menu has chosen the type), kept across its levels and
// read by the menu after the scene ends.
struct GameSession {
  GameType game_type = GameType::Arcade;
  int level = 1;
  int score = 0;
};

// Per game scene: from StartSceneMain to LeaveSceneMain.
struct GameSceneState {
  HudState hud;
  AimState aim;                             // the cannon's; level start turns it to 0
  std::array<BonusType, 11> bonus_types{};  // index = type 1..10
};

// Per level: from level start, through the end-of-level dialogs, to the next level start or
// the end of the scene. Level start releases the pictures and channels it holds and puts a
// fresh value in its place.
struct LevelPlay {
  EndPhase end_phase = EndPhase::Playing;
  LevelState lv;
  FrameState frame;
  LevelHud hud;
  ExitQuestion exit_question;

  BallField field;
  ShotPath path;
  TShotBall* shot = nullptr;  // the one TShotBall, owned by the multisprite list
  bool ball_in_flight = false;
  BallChoice current_ball;
  BallChoice next_ball;

  ScoreState scoring;
  ProgressState progress;

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
};

struct GameState {
  GameRun run;
  GameSession session;
  GameSceneState scene;
  LevelPlay play;
};

}  // namespace qv
