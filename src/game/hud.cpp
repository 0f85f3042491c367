#include "game/hud.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/audio.h"
#include "base/log.h"
#include "context.h"
#include "game/bonuses.h"
#include "game/dialogs.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/particles.h"
#include "game/scene_port.h"
#include "game/shot.h"
#include "platform/render_device.h"
#include "scene/cursor.h"
#include "scene/dialog_fade.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "shell/options_file.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

constexpr const char* kDigitFont = "graphics\\fonts\\font_crystal1.spr";
constexpr int kGreen = 0x32FA32;
constexpr int kPercent = 100;

// The boards: the level number on the left one, five score digits on the right one.
constexpr Point kLevelNumber{88, 164};
constexpr int kLevelNumberZ = 250;
constexpr Point kScoreDigits{674, 164};
constexpr int kScoreDigitPitch = 16;
// The progress strip, and the covers that hide it right of the shown progress, a cover per
// kStripCoverPitch pixels; the first cover stands a pixel right of the progress.
constexpr Point kStrip{233, 69};
constexpr Point kStripCovers{233, 66};
constexpr int kStripCoverPitch = 8;
// The cannon turns about the foot of its barrel.
constexpr double kCannonPivotX = 45.5;
constexpr double kCannonPivotY = 94.5;
constexpr int kLoadedBallZ = 250;
// The bonus bars wait at this x until a bonus slides one out.
constexpr double kBonusBarRestX = 31;
// The board: the challenge's floor, just under the balls of the floor row, and the puzzle's
// ceiling (the same picture upside down), both half transparent.
constexpr int kChallengeFloorRow = 5;
constexpr Point kChallengeBoard = {400, 428 - (kChallengeFloorRow - 1) * 30 + 5};
constexpr Point kPuzzleBoard{400, -279};
constexpr int kBoardAlpha = 128;

// The build-up at level start: the cannon's and the boards' frames, one per step.
constexpr std::uint32_t kBuildStepMs = 50;
// The shown score rolls towards the score a tenth of the way (and one) per step.
constexpr std::uint32_t kScoreRollMs = 20;
// The shown progress closes a thirtieth of its distance to the target (and one) per frame;
// four times as fast once the level has ended.
constexpr double kProgressEase = 30;
// Below this the challenge drains at half speed and the strip blinks its warning.
constexpr double kChallengeLowProgress = 50;
constexpr std::uint32_t kWarningBlinkBit = 256;  // of the game clock: the strip flips every 256 ms

// The dragons. Each keeps a mood a while, rests, then picks a spot a little below the field's
// lowest row (no higher than kDragonCeiling) and flies there, drifting sideways slowly and
// rising faster than it sinks; the blue one keeps clear of the bonus bars in use. The green one
// flies the blue one's pattern mirrored.
constexpr std::uint32_t kDragonMoodMs = 1000;
constexpr std::uint32_t kDragonRestMs = 500;
constexpr int kDragonWander = 50;  // random spread of a new spot, right and down
constexpr double kDragonRow0Y = 440;
constexpr double kDragonRowPitch = 30;
constexpr double kDragonCeiling = 200;
constexpr double kDragonDrift = 0.2;
constexpr double kDragonDodgeSpeed = 1.6;
constexpr double kBonusBarBottom = 545;  // the lowest bar's top; the others stand above it
constexpr double kBonusBarPitch = 39;
constexpr double kDragonBarClearance = 150;
constexpr double kDragonMirrorX = 700;

// The game scene's own objects behind the game core's requests.
class GameSceneObjects : public GameSceneServices {
 public:
  void SetAimRotation(Context& ctx, double angle) override {
    SetPicAngle(ctx, ctx.game.scene.hud.canon2, angle);
    SetPicAngle(ctx, ctx.game.play.hud.loaded, angle);
  }
  double BoardY(Context& ctx) override { return PicY(ctx, ctx.game.play.hud.board); }
  void MoveBoard(Context& ctx, double dy) override {
    const PicId b = ctx.game.play.hud.board;
    SetPicPos(ctx, b, PicX(ctx, b), PicY(ctx, b) + dy);
  }
  void SetSlotBar(Context& ctx, int slot, double x, int color) override {
    if (slot < 0 || slot >= 6) return;
    const PicId id = ctx.game.scene.hud.slots[static_cast<std::size_t>(slot)];
    SetPicPos(ctx, id, x, PicY(ctx, id));
    SetPicColor(ctx, id, color);
  }
  void SetSlotBarX(Context& ctx, int slot, double x) override {
    if (slot < 0 || slot >= 6) return;
    const PicId id = ctx.game.scene.hud.slots[static_cast<std::size_t>(slot)];
    SetPicPos(ctx, id, x, PicY(ctx, id));
  }
  void SetCursorVariant(Context& ctx, int variant) override {
    qv::SetCursorVariant(ctx, variant);
  }
  void ShowMountedRockets(Context& ctx, int count) override {
    ShowMountedRocketsOnCannon(ctx, count);
  }
  void OnMatch(Context& ctx) override {
    for (DragonRecord& d : ctx.game.play.hud.dragon) {
      d.wanted = 1;
      d.shown = -1;
    }
    ctx.game.play.lv.drain_time = GameNow(ctx);
  }
};

// A fresh level in place of the last one, whose pictures and channels ClearLevel has released.
// The lists keep their storage, so that a new level does not grow them again while it is played.
void BeginLevelPlay(Context& ctx) {
  LevelPlay& old = ctx.game.play;
  LevelPlay fresh;
  fresh.path.points.swap(old.path.points);  // its size is its capacity: see ShotPath::length
  old.bonuses.clear();
  fresh.bonuses.swap(old.bonuses);
  old.rockets.clear();
  fresh.rockets.swap(old.rockets);
  old.crystals.flights.clear();
  fresh.crystals.flights.swap(old.crystals.flights);
  old = std::move(fresh);
}

PicId Find(Context& ctx, const char* name, const char* tag, int nth = -1) {
  return FindObject(ctx, name, nth, tag);
}

}  // namespace

double BoardScaleForWallStep(int step, int w) {
  // How far in the nets stand at each step; the board spans what the open nets leave.
  static constexpr std::array<int, 12> kInset = {1, 22, 30, 48, 59, 69, 77, 84, 89, 93, 95, 96};
  const int v = kInset[static_cast<std::size_t>(std::clamp(step, 0, 11))];
  if (w <= 0) return 1;
  return (2.0 * (kInset.back() - v) + w) / w;
}

std::uint32_t ShotsUntilBonus(Random& rnd, const Options& o) {
  const int p = o.bonus_probability_random_proc;
  const int q = o.bonus_probability;
  const int v = RoundEven((rnd.Next(2 * p) - p + kPercent) / static_cast<double>(kPercent) * q);
  return static_cast<std::uint32_t>(std::max(v, 0));
}

void StartSceneMain(Context& ctx) {
  GameState& g = ctx.game;
  ShellState& s = ctx.shell;
  g.scene = GameSceneState{};
  HudState& h = g.scene.hud;
  if (!g.run.scene_port) g.run.scene_port = std::make_shared<GameSceneObjects>();
  g.run.port = g.run.scene_port.get();
  WriteLog(ctx, "StartSceneMain");
  ChangeMusic(ctx, -1, kMusicFade, kMusicFade);
  ReadOptions(ctx);
  load_location_map(ctx, "main.map");
  h.normal_panel = Find(ctx, "normal_panel", kSceneMapTag);
  h.menu_mini = Find(ctx, "panel_menu_mini", kSceneMapTag);
  h.net_left = Find(ctx, "net_left", kSceneMapTag);
  h.net_right = Find(ctx, "net_right", kSceneMapTag);
  h.balls_down = Find(ctx, "poloska_ballsdown", kSceneMapTag);
  SetPicVisible(ctx, h.balls_down, false);
  h.canon1 = Find(ctx, "canon1", kSceneMapTag);
  h.canon2 = Find(ctx, "canon2", kSceneMapTag);
  SetPicVisible(ctx, h.canon2, false);
  SetPartAnimSpeed(ctx, h.canon2, 0, 0);
  SelectPicPart(ctx, h.canon2, 3, -1);
  if (TMultiSprite* c = Pic(ctx, h.canon2)) {
    c->rot_center_x = kCannonPivotX;
    c->rot_center_y = kCannonPivotY;
  }
  h.tablo_level = Find(ctx, "tablo_level", "");
  h.tablo_scores = Find(ctx, "tablo_scores", "");
  h.board_lines[0] = Find(ctx, "tablo_line", kSceneMapTag, 0);
  h.board_lines[1] = Find(ctx, "tablo_line", kSceneMapTag, 1);
  h.laser = Find(ctx, "laser", "");
  for (int i = 0; i < 5; ++i) {
    const PicId d = MakePic(ctx, kDigitFont, "font_score");
    SetPicPos(ctx, d, kScoreDigits.x + kScoreDigitPitch * i, kScoreDigits.y);
    SetPicColor(ctx, d, kGreen);
    SetPicVisible(ctx, d, false);
    SetPartAnimSpeed(ctx, d, 0, 0);
    h.digits[static_cast<std::size_t>(i)] = d;
  }
  h.strip = MakePic(ctx, "graphics\\elements_gamezone\\poloska.spr", "poloska");
  SetPicPos(ctx, h.strip, kStrip.x, kStrip.y);
  for (int i = 0; i < HudState::kStripCoverCount; ++i) {
    const PicId c = MakePic(ctx, "graphics\\elements_gamezone\\poloska_over.spr", "poloska");
    SetPicPos(ctx, c, kStripCovers.x + kStripCoverPitch * i, kStripCovers.y);
    h.covers[static_cast<std::size_t>(i)] = c;
  }
  load_location_map(ctx, "game_over.map");
  ShowTextFile(ctx, "text\\game_over.txt", "game_over", "");
  ShowTag(ctx, "game_over", false);
  h.over_ok = Find(ctx, "panel_ok", "game_over");
  load_location_map(ctx, "exit_to_menu.map");
  ShowTag(ctx, "exit_to_menu", false);
  h.exit_yes = Find(ctx, "panel_yes", "exit_to_menu");
  h.exit_no = Find(ctx, "panel_no", "exit_to_menu");
  ShowTextFile(ctx, "text\\exit_to_menu.txt", "exit_to_menu", "");
  load_location_map(ctx, "game_stat.map");
  ShowTextFile(ctx, "text\\stat_title.txt", kStatDialogTag, "");
  ShowTag(ctx, kStatDialogTag, false);
  h.stat_ok = Find(ctx, "panel_ok", kStatDialogTag);
  h.stat_menu = Find(ctx, "panel_menu", kStatDialogTag);
  h.dragons[0] = Find(ctx, "dragon_blue", kSceneMapTag);
  h.dragons[1] = Find(ctx, "dragon_green", kSceneMapTag);
  for (PicId d : h.dragons) SetPartVisible(ctx, d, 3, false);
  s.flow.scene_phase = 0;
  g.play.lv.start_flag = true;
  g.scene.aim.cannon_turning = true;
  ResetBonusTypes(ctx);
  CancelDialogFade(ctx);
  h.scene_start = ctx.clocks.frame_clock;
  s.flow.scene_ready = true;
}

void LevelStart(Context& ctx) {
  GameState& g = ctx.game;
  HudState& h = g.scene.hud;
  ClearLevel(ctx);
  BeginLevelPlay(ctx);
  LevelPlay& p = g.play;
  p.lv.start_flag = true;
  // The nets open from closed.
  p.walls.direction = 1;
  p.walls.moving = true;
  p.frame.fast_drop_armed = true;
  DrawProgressStrip(ctx);
  g.scene.aim.angle = 0;
  SetPicAngle(ctx, h.canon2, g.scene.aim.angle);
  SelectPicPart(ctx, h.canon2, 0, 0);
  SetPicVisible(ctx, h.canon2, false);
  for (PicId l : h.board_lines) SetPicVisible(ctx, l, false);
  ShowMountedRocketsOnCannon(ctx, 0);
  for (int i = 0; i < 6; ++i) {
    const PicId slot = Find(ctx, "poloska_bonus", kSceneMapTag, 5 - i);
    h.slots[static_cast<std::size_t>(i)] = slot;
    SetPicPos(ctx, slot, kBonusBarRestX, PicY(ctx, slot));
  }
  SetPicVisible(ctx, h.strip, true);
  SelectPicPart(ctx, h.strip, 0, 0);
  PlayGameSample(ctx, "sample_game_begin");
  if (g.session.game_type == GameType::Challenge) {
    p.field.floor_row = kChallengeFloorRow;
    p.hud.board = MakePic(ctx, "graphics\\additional\\planka1.spr", "planka");
    SetPicPos(ctx, p.hud.board, kChallengeBoard.x, kChallengeBoard.y);
    SetPicAlpha(ctx, p.hud.board, kBoardAlpha);
  } else if (g.session.game_type == GameType::Puzzle) {
    p.hud.board = MakePic(ctx, "graphics\\additional\\planka1.spr", "planka");
    if (TMultiSprite* b = Pic(ctx, p.hud.board)) b->flip_y = true;
    SetPicPos(ctx, p.hud.board, kPuzzleBoard.x, kPuzzleBoard.y);
    SetPicAlpha(ctx, p.hud.board, kBoardAlpha);
  }
}

void FreeLoadedBall(Context& ctx) {
  FreePic(ctx, ctx.game.play.hud.loaded);
}

void ClearLevel(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& p = g.play;
  StopGameChannel(ctx, p.channels.fuse);
  StopGameChannel(ctx, p.channels.balls_down);
  StopGameChannel(ctx, p.channels.balls_up);
  // Pictures the game keeps by slot are freed first, so that no slot is kept after its tag
  // is unloaded and the slot reused.
  FreeLoadedBall(ctx);
  FreeShotBall(ctx);
  p.ball_in_flight = false;
  FreePic(ctx, p.tracer);
  unload_by_tag(ctx, kStatTextTag);
  unload_by_tag(ctx, "font_level");
  unload_by_tag(ctx, "planka");
  p.hud.board = kNoPic;
  ShowTag(ctx, "exit_to_menu", false);
  EndAllBonuses(ctx);
  DestroyAllRockets(ctx);
  ClearCrystalFlights(ctx);
  unload_by_tag(ctx, "crystal_st");
  for (FieldCell& cell : p.field.cells) FreePic(ctx, cell.sprite);
  unload_by_tag(ctx, "balls");
  unload_by_tag(ctx, "land");
  unload_by_tag(ctx, "crystal");
  ClearField(p.field);
  ClearParticles(ctx);
  ShowTag(ctx, "game_over", false);
  ShowTag(ctx, kStatDialogTag, false);
  ShowTag(ctx, "font_score", false);
}

void LeaveSceneMain(Context& ctx) {
  ShellState& s = ctx.shell;
  GameState& g = ctx.game;
  s.flow.scene_ready = false;
  ctx.clocks.ClearPause();
  ClearLevel(ctx);
  unload_by_tag(ctx, kSceneMapTag);
  unload_by_tag(ctx, "font_score");
  unload_by_tag(ctx, "font_level");
  unload_by_tag(ctx, "poloska");
  unload_by_tag(ctx, "planka");
  unload_by_tag(ctx, "game_over");
  unload_by_tag(ctx, kStatDialogTag);
  unload_by_tag(ctx, kStatTextTag);
  unload_by_tag(ctx, "game_type_text");
  unload_by_tag(ctx, "exit_to_menu");
  // Dialogs that may still be up when the player leaves from them.
  unload_by_tag(ctx, "try_again");
  unload_by_tag(ctx, "try_again_puzzle");
  unload_by_tag(ctx, "hiscores");
  CancelDialogFade(ctx);
  // The level and the scene end here; the game's type, level and score stay for the menu.
  BeginLevelPlay(ctx);
  g.scene = GameSceneState{};
  ChangeMusic(ctx, FindAudio(ctx, "music_menu"), kMusicFade, kMusicFade);
}

void DrawProgressStrip(Context& ctx) {
  HudState& h = ctx.game.scene.hud;
  const int b = std::clamp(RoundEven(ctx.game.play.progress.shown), 0, ProgressState::kFull);
  for (PicId c : h.covers) SetPicVisible(ctx, c, false);
  for (int i = b / kStripCoverPitch; i < HudState::kStripCoverCount; ++i) {
    const PicId c = h.covers[static_cast<std::size_t>(i)];
    SetPicVisible(ctx, c, true);
    SetPicPos(ctx, c, kStripCovers.x + kStripCoverPitch * i, PicY(ctx, c));
  }
  const PicId first = h.covers[static_cast<std::size_t>(b / kStripCoverPitch)];
  SetPicPos(ctx, first, kStripCovers.x + 1 + b, PicY(ctx, first));
}

void NextBall(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  LevelHud& lh = play.hud;
  Random& rnd = ctx.random;
  const Options& o = ctx.options;
  if (play.next_ball.kind != BallKind::Empty) play.current_ball = play.next_ball;
  BallChoice next{};
  if (g.session.game_type == GameType::Puzzle) {
    const auto& list = play.lv.colours;
    next.kind = ColourBall(
        list.empty() ? 1 : list[static_cast<std::size_t>(rnd.Next(static_cast<int>(list.size())))]);
  } else {
    next.kind = ColourBall(rnd.Next(play.field.colour_count) + 1);
  }
  int item = 0;
  lh.shots_since_bonus += 1;
  if (lh.shots_since_bonus > lh.shots_until_bonus) {
    lh.shots_since_bonus = 0;
    const auto& items = play.lv.bonus_items;
    if (!items.empty()) {
      item = items[static_cast<std::size_t>(rnd.Next(static_cast<int>(items.size())))];
      lh.shots_until_bonus = ShotsUntilBonus(rnd, o);
    }
  }
  next.bonus = item;
  if (item != 0) lh.shots_since_bonus = 0;
  if (item == 1) {
    next.kind = BallKind::Multiball;
    next.bonus = 0;
  } else if (item == 10) {
    next.kind = BallKind::ColourBomb;
    next.paint = rnd.Next(kBallColours) + 1;
    next.bonus = 0;
  }
  play.next_ball = next;
  MakeLoadedBall(ctx);
  ShowNextBallOnCannon(ctx);
}

void MakeLoadedBall(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  LevelHud& lh = play.hud;
  FreeLoadedBall(ctx);
  const BallChoice& b = play.current_ball;
  if (b.kind == BallKind::BigBomb) {
    lh.loaded = MakePic(ctx, BallSpritePath(b.kind), "cannon_ball");
    StopGameChannel(ctx, play.channels.fuse);
    play.channels.fuse = PlayGameSample(ctx, "sample_burning_big_bomb");
  } else {
    lh.loaded = MakePic(ctx, BallSpritePath(b.kind), "cannon_ball");
    if (b.kind == BallKind::ColourBomb) SetPartColor(ctx, lh.loaded, 1, BallTint(b.paint));
  }
  if (b.bonus != 0) {
    RestorePartAnimSpeed(ctx, lh.loaded, 1);
    SetPartAnimPos(ctx, lh.loaded, 2, b.bonus - 1);
    SetPartAnimPos(ctx, lh.loaded, 1, 18);
  } else if (IsColour(b.kind)) {
    SetPartAnimSpeed(ctx, lh.loaded, 1, 0);
    SetPartVisible(ctx, lh.loaded, 0, false);
    SetPartVisible(ctx, lh.loaded, 2, false);
    SetPartVisible(ctx, lh.loaded, 3, false);
  }
  SetPicZ(ctx, lh.loaded, kLoadedBallZ);
  SetPicPos(ctx, lh.loaded, kCannonBall.x, kCannonBall.y);
  if (TMultiSprite* m = Pic(ctx, lh.loaded)) {
    m->rot_center_x = 17;
    m->rot_center_y = 17;
    m->angle = g.scene.aim.angle;
  }
}

void ShowNextBallOnCannon(Context& ctx) {
  const BallKind k = ctx.game.play.next_ball.kind;
  const int v = k == BallKind::Multiball    ? 9
                : k == BallKind::ColourBomb ? 7
                : k == BallKind::BigBomb    ? 8
                                            : ColourOf(k) - 1;
  SelectPicPart(ctx, ctx.game.scene.hud.canon2, 3, v);
}

void ShowMountedRocketsOnCannon(Context& ctx, int count) {
  const PicId c = ctx.game.scene.hud.canon2;
  SelectPicPart(ctx, c, 1, count >= 1 ? 0 : -1);
  SelectPicPart(ctx, c, 2, count >= 2 ? 0 : -1);
}

void HudDragons(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  HudState& h = g.scene.hud;
  LevelHud& lh = play.hud;
  const std::uint32_t now = GameNow(ctx);
  for (std::size_t i = 0; i < 2; ++i) {
    DragonRecord& d = lh.dragon[i];
    if (d.wanted == d.shown) {
      if (now > d.hold_until) d.wanted = 0;
    }
    if (d.wanted != d.shown) {
      SelectPicPart(ctx, h.dragons[i], 0, d.wanted);
      d.shown = d.wanted;
      d.hold_until = now + kDragonMoodMs;
    }
  }
  for (std::size_t i = 0; i < 2; ++i) {
    DragonRecord& d = lh.dragon[i];
    double& x = h.dragon_x[i];
    const PicId id = h.dragons[i];
    TMultiSprite* m = Pic(ctx, id);
    if (!m) continue;
    if (d.moving) {
      if (std::abs(x - d.target_x) <= 1 && std::abs(m->y - d.target_y) <= 1) {
        x = d.target_x;
        m->y = d.target_y;
        d.moving = false;
        d.rest_until = now + kDragonRestMs;
        SetPartVisible(ctx, id, 3, false);
      } else {
        if (x < d.target_x) x = std::min(d.target_x, x + kDragonDrift);
        if (x > d.target_x) x = std::max(d.target_x, x - kDragonDrift);
        if (m->y < d.target_y) m->y += d.down_speed;
        if (m->y > d.target_y) {
          m->y -= d.up_speed;
          SetPartVisible(ctx, id, 3, true);
        }
      }
    } else if (now > d.rest_until) {
      d.target_x = ctx.random.Next(kDragonWander);
      d.target_y = std::max(kDragonRow0Y - kDragonRowPitch * play.field.lowest, kDragonCeiling) +
                   ctx.random.Next(kDragonWander);
      d.down_speed = DragonRecord::kDownSpeed;
      d.up_speed = DragonRecord::kUpSpeed;
      if (i == 0 && play.end_phase == EndPhase::Playing) {
        for (std::size_t s = 0; s < 6 && s < play.bonuses.size(); ++s) {
          if (play.bonuses[s].type == -1) continue;
          const double top = kBonusBarBottom - kBonusBarPitch * static_cast<double>(s);
          if (top < d.target_y + kDragonBarClearance) {
            d.target_y = top - kDragonBarClearance;
            d.up_speed = kDragonDodgeSpeed;
          }
        }
      }
      d.moving = true;
    }
    m->x = i == 0 ? x : kDragonMirrorX - x;
  }
}

void WriteScoreDigits(Context& ctx, int value) {
  const HudState& h = ctx.game.scene.hud;
  unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
  for (int i = 4; i >= 0; --i) {
    SetPartAnimPos(ctx, h.digits[static_cast<std::size_t>(i)], 0, v % 10);
    v /= 10;
  }
}

void HudBoards(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  HudState& h = g.scene.hud;
  LevelHud& lh = play.hud;
  ProgressState& pr = play.progress;
  const std::uint32_t now = GameNow(ctx);
  if (lh.cannon_step < LevelHud::kCannonBuilt && now >= lh.cannon_time) {
    lh.cannon_step += 1;
    lh.cannon_time = now + kBuildStepMs;
    SelectPicPart(ctx, h.canon1, 0, lh.cannon_step);
    if (lh.cannon_step == LevelHud::kCannonBuilt) {
      SetPicVisible(ctx, h.canon1, false);
      SetPicVisible(ctx, h.canon2, true);
      SelectPicPart(ctx, h.canon2, 3, -1);
      ShowMountedRocketsOnCannon(ctx, play.mounted_rockets);
    }
  }
  if (lh.board_step < LevelHud::kBoardsBuilt && now >= lh.board_time) {
    lh.board_step += 1;
    lh.board_time = now + kBuildStepMs;
    SelectPicPart(ctx, h.tablo_level, 0, lh.board_step);
    SelectPicPart(ctx, h.tablo_scores, 0, lh.board_step);
    if (lh.board_step == LevelHud::kBoardsBuilt) {
      ShowTag(ctx, "font_score", true);
      ShowTag(ctx, "font_level", true);
      for (PicId l : h.board_lines) SetPicVisible(ctx, l, true);
    }
  }
  if (lh.board_step < LevelHud::kBoardsBuilt) return;
  // Score roll.
  if (!h.score_redraw && g.session.score != h.shown_score && now >= h.score_time) {
    h.score_time = now + kScoreRollMs;
    if (g.session.score > h.shown_score && play.end_phase == EndPhase::Playing) {
      h.shown_score = std::min(g.session.score,
                               h.shown_score + Trunc((g.session.score - h.shown_score) / 10.0) + 1);
    } else {
      h.shown_score = g.session.score;
    }
    h.score_redraw = true;
  }
  if (h.score_redraw) {
    WriteScoreDigits(ctx, h.shown_score);
    if (g.session.game_type == GameType::Arcade && play.lv.point_divisor > 0) {
      pr.target = play.scoring.level_points / play.lv.point_divisor;
    }
    h.score_redraw = false;
  }
  if (g.session.game_type == GameType::Puzzle && play.crystals.count > 0) {
    pr.target =
        static_cast<double>(play.crystals.freed) / play.crystals.count * ProgressState::kFull;
  }
  if (g.session.game_type == GameType::Challenge &&
      now > play.lv.drain_time + play.lv.drain_interval && pr.target >= 0 &&
      play.end_phase == EndPhase::Playing) {
    pr.target -= pr.target >= kChallengeLowProgress ? 1 : 0.5;
    play.lv.drain_time = now;
  }
  // Progress smoothing.
  const double m = play.end_phase != EndPhase::Playing ? 4 : 1;
  const double step = RoundEven((std::abs(pr.shown - pr.target) / kProgressEase + 1) * m);
  if (pr.rising && pr.shown < pr.target) pr.shown = std::min(pr.target, pr.shown + step);
  if (pr.shown > pr.target) pr.shown = std::max(pr.target, pr.shown - step);
  pr.shown = std::min(pr.shown, static_cast<double>(ProgressState::kFull));
  if (pr.shown != pr.last_drawn) {
    DrawProgressStrip(ctx);
    pr.last_drawn = pr.shown;
  } else {
    pr.rising = false;
  }
  // Challenge warning blink.
  if (g.session.game_type == GameType::Challenge && pr.target < kChallengeLowProgress &&
      play.end_phase == EndPhase::Playing) {
    SelectPicPart(ctx, h.strip, 0, (now & kWarningBlinkBit) ? 0 : 1);
  } else {
    SelectPicPart(ctx, h.strip, 0, 0);
  }
  // Level number.
  if (g.session.level != lh.shown_level) {
    lh.shown_level = g.session.level;
    unload_by_tag(ctx, "font_level");
    std::snprintf(h.level_text, sizeof h.level_text, "%d", g.session.level);
    create_txt(ctx, h.level_text, kLevelNumberZ, kDigitFont, 2, "font_level", kGreen, 1.0,
               kLevelNumber.y, kLevelNumber.x);
  }
}

void HudLaser(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  HudState& h = g.scene.hud;
  LevelHud& lh = play.hud;
  if (RowOccupied(play.field, 0)) {
    if (!lh.alarm_played) {
      PlayGameSample(ctx, "sample_alarm");
      lh.alarm_played = true;
    }
    SetPicVisible(ctx, h.laser, true);
    SetPartVisible(ctx, h.laser, 0, true);
    SetPartAnimSpeed(ctx, h.laser, 0, 0.03);
  } else if (RowOccupied(play.field, 1)) {
    SetPicVisible(ctx, h.laser, true);
    SetPartVisible(ctx, h.laser, 0, true);
    RestorePartAnimSpeed(ctx, h.laser, 0);
    lh.alarm_played = false;
  } else {
    SetPicVisible(ctx, h.laser, false);
    lh.alarm_played = false;
  }
}

}  // namespace qv
