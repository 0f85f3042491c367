#include "game/game_frame.h"

#include <algorithm>

#include "context.h"
#include "game/bonuses.h"
#include "game/dialogs.h"
#include "game/field.h"
#include "game/game_math.h"
#include "game/hud.h"
#include "game/levels.h"
#include "game/matching.h"
#include "game/particles.h"
#include "game/scene_port.h"
#include "game/shot.h"
#include "platform/virtual_key.h"
#include "scene/dialog_fade.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "shell/frame.h"
#include "shell/main_form.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

// The nets move a step at a time.
constexpr std::uint32_t kWallStepMs = 50;
// A lost field falls for this long before the game-over notice.
constexpr std::uint32_t kLossFallMs = 1000;
// The dragons' sad sound repeats while the field is in danger.
constexpr std::uint32_t kSadSoundRepeatMs = 7500;
// A fast drop that took fewer descents than this shoots by itself at its end.
constexpr int kFastDropAutoShotBelow = 40;
// Each round of puzzle shots lets the field descend this many pixels more: one row.
constexpr int kPuzzleDescentPerRound = 30;
// The rockets mounted on the cannon, and how far they jump back while it fires.
constexpr double kMountedRocketY = 35;
constexpr double kRecoilRocketY = 45;
// The puzzle meter's tint runs from green (empty) to red (full).
struct MeterTint {
  int red_low, red_span, green_high, blue_high;
};
constexpr MeterTint kMeterTint{50, 200, 250, 50};

// True once `deadline` lies behind `now` (times wrap like the tick count).
bool Passed(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
}

int DangerRow(const GameState& g) {
  return std::clamp(g.play.lv.danger_row, kFieldRowMin, kFieldRowMax);
}

void StepPuzzleBudget(Context& ctx, int taken) {
  LevelState& lv = ctx.game.play.lv;
  if (ctx.game.session.game_type != GameType::Puzzle || lv.descent_budget <= 0) return;
  lv.descent_budget -= taken;
  if (lv.descent_budget <= 0) {
    lv.descent_budget = 0;
    PlayGameSample(ctx, "sample_puzzle_down");
  }
}

void FieldMoves(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  BallField& f = play.field;
  LevelState& lv = play.lv;
  const std::uint32_t now = GameNow(ctx);
  OccupancyScan(f);
  if (!lv.start_flag && !play.ball_in_flight) {
    if (g.session.game_type == GameType::Challenge) {
      if (ChallengeClimbWanted(f)) {
        Climb(ctx, 1);
        OccupancyScan(f);
      }
    } else if (play.climb_remaining >= 1) {
      const int taken = Climb(ctx, 1);
      OccupancyScan(f);
      play.climb_remaining -= taken;
      // A field that cannot climb any further would keep the climb pending for ever and
      // hold every descent and shot back.
      if (play.climb_remaining <= 0 || taken == 0) {
        play.climb_remaining = 0;
        EndBonus(ctx, 8);
      }
    }
  }
  if (!play.ball_in_flight && Passed(now, lv.descent_timer) && !lv.start_flag &&
      play.climb_remaining == 0 && !play.freeze && play.bomb_timer == 0 &&
      !play.frame.deadline_set) {
    const DescentChoice d = ChooseDescent(g.session.game_type, f.lowest, f.floor_row,
                                          lv.descent_budget, lv.climb_time, ctx.options);
    if (d.allowed) {
      lv.descent_timer = now + static_cast<std::uint32_t>(std::max(d.delay, 0));
      StepPuzzleBudget(ctx, Descend(ctx, d.n));
    }
  }
}

void Walls(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  WallState& w = play.walls;
  const std::uint32_t now = GameNow(ctx);
  if (play.end_phase != EndPhase::Playing || w.direction == 0 || !Passed(now, w.next_time) ||
      play.ball_in_flight) {
    return;
  }
  w.step += w.direction;
  if ((w.direction < 0 && w.step <= w.target) || (w.direction > 0 && w.step >= w.target)) {
    w.step = w.target;
    w.direction = 0;
    w.moving = false;
  }
  w.step = std::clamp(w.step, 0, 11);
  play.field.margin = RoundEven(2.0 * w.step / 11);
  SelectPicPart(ctx, g.scene.hud.net_left, 0, w.step);
  SelectPicPart(ctx, g.scene.hud.net_right, 0, w.step);
  if (g.session.game_type != GameType::Arcade && play.hud.board != kNoPic) {
    const double sx = BoardScaleForWallStep(w.step, PicWidth(ctx, play.hud.board));
    SetPicScale(ctx, play.hud.board, sx, PicScaleY(ctx, play.hud.board));
  }
  if (WallTrim(ctx) > 0) {
    const int d = Drop(ctx, true);
    JoySound(ctx, d, true);
  }
  w.next_time = now + kWallStepMs;
}

void LevelWonTest(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  if (play.hud.board_step < LevelHud::kBoardsBuilt || play.end_phase != EndPhase::Playing ||
      play.lv.start_flag || !LevelWonNow(g)) {
    return;
  }
  StopGameChannel(ctx, play.channels.balls_up);
  play.channels.balls_up = PlayGameSample(ctx, "sample_balls_up");
  SetPicVisible(ctx, g.scene.hud.canon2, false);
  FreeLoadedBall(ctx);
  FreeShotBall(ctx);
  play.ball_in_flight = false;
  SetPicVisible(ctx, play.tracer, false);
  EndAllBonuses(ctx);
  ctx.shell.flow.command = GameCommand::LevelWon;
  if (g.run.events) {
    GameEvent won;
    won.kind = GameEventKind::LevelWon;
    won.time = GameNow(ctx) - play.frame.built_at;
    won.shots = play.frame.shots;
    ReportGameEvent(ctx, won);
  }
}

void GameOver(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  BallField& f = play.field;
  const std::uint32_t now = GameNow(ctx);
  StopGameChannel(ctx, play.channels.fuse);
  StopGameChannel(ctx, play.channels.balls_down);
  StopGameChannel(ctx, play.channels.balls_up);
  play.end_phase = EndPhase::Lost;
  if (g.run.events) {
    GameEvent lost;
    lost.kind = GameEventKind::LevelLost;
    lost.how = g.session.game_type == GameType::Arcade      ? LossCause::Danger
               : g.session.game_type == GameType::Challenge ? LossCause::Drain
                                                            : LossCause::Shots;
    ReportGameEvent(ctx, lost);
  }
  PlayGameSample(ctx, "sample_game_over");
  SaveLossProgress(ctx);
  play.crystals.freed = 0;
  const int anchor = std::min(f.top_rows - 1, kFieldRowMax);
  for (int c = 0; c < kFieldCols; ++c) {
    FieldCell& cell = f.at(c, anchor);
    // A crystal is no ball: it stays, and the loose-crystal rule of the drop frees it.
    if (cell.kind == BallKind::Empty || cell.kind == BallKind::Crystal) continue;
    const BallKind kind = cell.kind;
    const int paint = cell.paint;
    cell.kind = BallKind::Empty;
    cell.bonus = 0;
    FreePic(ctx, cell.sprite);
    CreateFallingBall(ctx, kind, paint, CellX(f, c, anchor), CellY(f, c, anchor));
  }
  Drop(ctx, false);
  play.frame.fall_end = now + kLossFallMs;
  SetPicVisible(ctx, g.scene.hud.canon2, false);
  FreeLoadedBall(ctx);
  FreeShotBall(ctx);
  play.ball_in_flight = false;
}

}  // namespace

void DangerAndLoss(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  FrameState& fr = play.frame;
  const std::uint32_t now = GameNow(ctx);
  // Danger.
  if (RowOccupied(play.field, 1)) {
    for (DragonRecord& d : play.hud.dragon) {
      d.wanted = 2;
      d.shown = -1;
    }
    if (Passed(now, fr.sad_time) || fr.sad_time == 0) {
      PlayGameSample(ctx, "sample_dragon_sad");
      fr.sad_time = now + kSadSoundRepeatMs;
    }
  } else {
    fr.sad_time = 0;
  }
  if (play.end_phase != EndPhase::Playing) return;
  // Loss test.
  if (!fr.deadline_set && LossDetected(g)) {
    fr.deadline_set = true;
    fr.deadline = now + static_cast<std::uint32_t>(LossDelay(g.session.game_type));
  }
  // Deadline.
  if (fr.deadline_set) {
    if (!Passed(now, fr.deadline)) {
      if (!LossStillHolds(g)) {
        fr.deadline_set = false;
        fr.deadline = 0;
      }
    } else {
      fr.deadline_set = false;
      fr.deadline = 0;
      GameOver(ctx);
    }
  }
}

namespace {

void ShotMeter(Context& ctx) {
  GameState& g = ctx.game;
  FrameState& fr = g.play.frame;
  if (fr.meter_shown == fr.meter_target) return;
  if (fr.meter_shown >= fr.meter_target) {
    fr.meter_shown = std::max(fr.meter_shown - 4, 0);
  } else {
    fr.meter_shown += 1;
  }
  const double v = fr.meter_shown / static_cast<double>(FrameState::kMeterFull);
  const int red = RoundEven(v * kMeterTint.red_span + kMeterTint.red_low);
  const int green = RoundEven((1 - v) * kMeterTint.green_high);
  const int blue = RoundEven((1 - v) * kMeterTint.blue_high);
  SetPicColor(ctx, g.scene.hud.balls_down, (red << 16) | (green << 8) | blue);
  SetPartOffsetY(ctx, g.scene.hud.balls_down, 0, fr.meter_shown);
}

void Swap(Context& ctx) {
  LevelPlay& play = ctx.game.play;
  if (play.current_ball.kind == BallKind::BigBomb) StopGameChannel(ctx, play.channels.fuse);
  std::swap(play.current_ball, play.next_ball);
  MakeLoadedBall(ctx);
  ShowNextBallOnCannon(ctx);
}

void FastDrop(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  int descends = 0;
  while (!RowOccupied(play.field, DangerRow(g))) {
    const int taken = Descend(ctx, 1);
    StepPuzzleBudget(ctx, taken);
    ++descends;
    if (taken == 0) break;
  }
  play.frame.fast_drop_armed = false;
  if (descends < kFastDropAutoShotBelow) play.frame.auto_shot = true;
}

void Click(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  ShellState& s = ctx.shell;
  play.frame.auto_shot = false;
  if (play.end_phase != EndPhase::Playing || s.pointer.hover_button != -1 || play.ball_in_flight ||
      play.climb_remaining != 0) {
    return;
  }
  if (g.run.input.button_flags != 1) {
    if (play.mounted_rockets == 0) {
      Swap(ctx);
    } else {
      LaunchRocket(ctx, play.current_ball.kind);
    }
  } else if (play.frame.fast_drop_armed) {
    FastDrop(ctx);
  } else {
    Shoot(ctx);
  }
}

void KeyCommand(Context& ctx) {
  GameState& g = ctx.game;
  ShellState& s = ctx.shell;
  // Keys reach the game only while playing; Escape with the exit question up is that dialog's
  // No.
  if (g.run.input.key != platform::VirtualKey::Escape || g.play.end_phase != EndPhase::Playing)
    return;
  g.play.exit_question = ExitQuestion{};
  s.flow.command = GameCommand::ExitQuestion;  // carried out next frame
}

void AnimateAll(Context& ctx) {
  const int n = MultiSpriteCount(ctx);
  for (int slot = 0; slot < n; ++slot) {
    if (TMultiSprite* m = MultiSpriteAt(ctx, slot)) m->Update();
  }
}

}  // namespace

void Shoot(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  LevelState& lv = play.lv;
  FrameState& fr = play.frame;
  play.ball_in_flight = true;
  Fire(ctx, play.current_ball.kind, play.current_ball.paint, play.current_ball.bonus);
  RestartPartAnim(ctx, g.scene.hud.canon2, 0);
  NextBall(ctx);
  fr.shot_counter += 1;
  fr.shots += 1;
  ReportGameEvent(ctx, GameEventKind::Shot);
  if (g.session.game_type == GameType::Puzzle && lv.shots_per_descent > 0) {
    const int n = lv.shots_per_descent;
    if (fr.shot_counter == n) {
      fr.shot_counter = 0;
      lv.descent_budget += kPuzzleDescentPerRound;
    }
    fr.meter_target =
        RoundEven((1 - static_cast<double>(n - fr.shot_counter) / n) * FrameState::kMeterFull);
  }
}

void GameCommandStep(Context& ctx) {
  ShellState& s = ctx.shell;
  GameState& g = ctx.game;
  const GameCommand command = s.flow.command.ForGame();
  s.flow.command = GameCommand::None;
  switch (command) {
    case GameCommand::Click:
      Click(ctx);
      break;
    case GameCommand::Key:
      KeyCommand(ctx);
      break;
    case GameCommand::HighScoreTable:
      CommandHighScores(ctx);
      break;
    case GameCommand::LevelWon:
      g.play.end_phase = EndPhase::Won;
      break;
    case GameCommand::ExitQuestion:
      // Asked for a frame ago: a loss that fell due since then takes the field, and the
      // question would hide the game over that is already saved.
      if (g.play.end_phase == EndPhase::Playing ||
          (g.play.end_phase == EndPhase::Statistics && g.play.exit_question.from_stats)) {
        CommandExitQuestion(ctx);
      }
      break;
    case GameCommand::ReturnToMenu:
      LeaveForMenu(ctx);
      break;
    case GameCommand::TryAgain:
      CommandTryAgain(ctx);
      break;
    case GameCommand::PlayAgain:
      CommandPlayAgain(ctx);
      break;
    case GameCommand::NextLevel:
      CommandNextLevel(ctx);
      break;
    case GameCommand::ContinueDialog:
      CommandContinueDialog(ctx);
      break;
    case GameCommand::None:
      break;
  }
}

void GameFrame(Context& ctx) {
  ShellState& s = ctx.shell;
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  HudState& h = g.scene.hud;
  FrameState& fr = play.frame;
  UpdateMouse(ctx, true);
  if (s.flow.scene_phase == 0) {
    s.flow.scene_phase = 1;
    GameStart(ctx);
  }
  if (s.flow.scene != SceneId::Game || s.flow.pending_scene != SceneId::None) return;
  ++fr.level_frames;
  const std::uint32_t now = GameNow(ctx);
  DialogFadeStep(ctx);
  HudDragons(ctx);
  if (play.end_phase == EndPhase::Playing && play.hud.cannon_step >= LevelHud::kCannonBuilt) {
    if (play.lv.start_flag && !LevelBuild(ctx)) return;
    FieldMoves(ctx);
  }
  s.pointer.hover_button = -1;
  GameButtonHover(ctx);
  Walls(ctx);
  HudBoards(ctx);
  LevelWonTest(ctx);
  HudLaser(ctx);
  if (play.hud.cannon_step >= LevelHud::kCannonBuilt && !play.lv.start_flag && !play.walls.moving) {
    if (play.end_phase == EndPhase::Playing) {
      AimUpdate(ctx, s.pointer.mouse_x, s.pointer.mouse_y, kScreenWidth, kScreenHeight);
      if (play.ball_in_flight) {
        MoveShotBall(ctx);
        if (play.shot && play.shot->y < kFlightCeiling) {
          if (play.shot->kind == BallKind::BigBomb) StopGameChannel(ctx, play.channels.fuse);
          FreeShotBall(ctx);
          play.ball_in_flight = false;
        }
      }
    }
    DangerAndLoss(ctx);
    if (play.end_phase == EndPhase::Lost && Passed(now, fr.fall_end)) {
      if (g.session.game_type == GameType::Puzzle) {
        play.end_phase = EndPhase::TryAgainChosen;  // the try-again dialog takes over
        s.flow.command = GameCommand::TryAgain;
      } else {
        OpenGameOver(ctx);
      }
    }
    if (play.end_phase == EndPhase::Playing) {
      if (!play.ball_in_flight) {
        PlanShot(ctx, RoundEven(g.scene.aim.start_x), RoundEven(g.scene.aim.start_y),
                 g.scene.aim.vx, g.scene.aim.vy);
      }
      BonusListStep(ctx);
      if (play.bomb_timer != 0 && Passed(now, play.bomb_timer) && play.shot == nullptr) {
        BombStep(ctx);
      }
      TargetTracerStep(ctx);
    }
    CrystalFlightStep(ctx);
    if (play.end_phase == EndPhase::Won) {
      StopGameChannel(ctx, play.channels.fuse);
      StopGameChannel(ctx, play.channels.balls_down);
      Climb(ctx, 1);
      OccupancyScan(play.field);
      const bool crystals_home = g.session.game_type != GameType::Puzzle ||
                                 play.crystals.arrived >= play.crystals.launched;
      if (play.field.lowest >= 14 && crystals_home) OpenStatistics(ctx);
    }
    if (fr.fast_drop_armed && RowOccupied(play.field, DangerRow(g))) fr.fast_drop_armed = false;
    if (!fr.fast_drop_armed) StopGameChannel(ctx, play.channels.balls_down);
    if (g.session.game_type == GameType::Puzzle && play.end_phase == EndPhase::Playing)
      ShotMeter(ctx);
    if (fr.auto_shot) {
      s.flow.command = GameCommand::Click;
      g.run.input.button_flags = 1;
    }
    GameCommandStep(ctx);
  }
  if (PicParts(ctx, h.canon2) >= 3) {
    SetPartOffsetY(ctx, h.canon2, 1, kMountedRocketY);
    SetPartOffsetY(ctx, h.canon2, 2, kMountedRocketY);
    const double pos = PartAnimPos(ctx, h.canon2, 0);
    if (play.mounted_rockets >= 1 && pos >= 1 && pos < 3) {
      SetPartOffsetY(ctx, h.canon2, 1, kRecoilRocketY);
      SetPartOffsetY(ctx, h.canon2, 2, kRecoilRocketY);
    }
  }
  BigBombAward(ctx);
  AnimateAll(ctx);
  UpdateParticles(ctx);
  MoveRockets(ctx);
}

void BigBombAward(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  // A count of 0 would hand out a big bomb on every frame: it means no award.
  const int award = ctx.options.bigbomb_expl_count;
  if (g.session.game_type == GameType::Puzzle || award <= 0 || play.scoring.streak < award) return;
  play.scoring.streak = 0;
  play.next_ball.kind = BallKind::BigBomb;
  play.next_ball.bonus = 0;
  SelectPicPart(ctx, g.scene.hud.canon2, 3, 8);
}

void LeaveForMenu(Context& ctx) {
  ShellState& s = ctx.shell;
  s.flow.click_context = ClickContext::MainMenu;
  s.flow.scene_phase = 0;
  s.flow.pending_scene = SceneId::Menu;
  s.flow.command = MenuCommand::MainMenu;
}

void GameMouseDown(Context& ctx, int button) {
  if (ctx.game.play.end_phase != EndPhase::Playing) return;
  ctx.shell.flow.command = GameCommand::Click;
  ctx.game.run.input.button_flags = button == 1 ? 1 : button == 2 ? 2 : 0;
}

void GameMenuButtonUp(Context& ctx) {
  if (ctx.game.play.end_phase != EndPhase::Playing || ctx.shell.pointer.pressed_button != 1) return;
  ctx.game.play.exit_question = ExitQuestion{};
  ctx.shell.flow.command = GameCommand::ExitQuestion;
}

}  // namespace qv
