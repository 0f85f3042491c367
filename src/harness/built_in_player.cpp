#include "harness/built_in_player.h"

#include <cmath>
#include <cstdint>

#include "context.h"
#include "game/autoplay.h"
#include "game/player_models.h"
#include "shell/events.h"
#include "shell/frame.h"

namespace qv {
namespace {

using Kind = ScriptCommand::Kind;

// Ticks between the pointer's move and the press, the press and the release, and the release
// and the next choice: the frames between see the pointer rest on what it clicks.
constexpr int kTicksBeforePress = 3;
constexpr int kTicksHeld = 1;
constexpr int kTicksAfterRelease = 4;
// Mixed into the program's seed so the player's draws differ from the game's own.
constexpr std::uint32_t kPlayerSeedSalt = 0x9e3779b9u;

ScriptCommand Command(Kind kind, int button = 0) {
  ScriptCommand c;
  c.kind = kind;
  c.button = button;
  return c;
}

void Send(Context& ctx, platform::WindowEvent::Type type, int button = 0, int key = 0,
          int shift = 0) {
  platform::WindowEvent e;
  e.type = type;
  e.button = button;
  e.key = key;
  e.shift = shift;
  DispatchWindowEvent(ctx, e);
}

}  // namespace

void BuiltInPlayer::Step(Context& ctx, InputSink& sink) {
  // One step per game frame, as the frame's own input: the tick must run one.
  if (!ctx.shell.run.autoplay || SceneFrameDue(ctx) != SceneId::Game) return;
  const PlayerModel& model = ModelFor(ctx.shell.run.autoplay_skill);
  const bool perfect = model.skill == AutoplaySkill::Perfect;
  if (!perfect && !seeded_) {
    random_.Seed(ctx.random.seed ^ kPlayerSeedSalt);
    seeded_ = true;
    x_ = ctx.shell.pointer.mouse_x;
    y_ = ctx.shell.pointer.mouse_y;
  }
  if (wait_ > 0) {
    --wait_;
    return;
  }
  switch (stage_) {
    case Stage::Travel: {
      // A hand's speed: at most `travel` pixels a frame along the straight line.
      const double dx = target_x_ - x_, dy = target_y_ - y_;
      const double d = std::hypot(dx, dy);
      if (d <= model.travel) {
        x_ = target_x_;
        y_ = target_y_;
        stage_ = Stage::Press;
        wait_ = kTicksBeforePress;
      } else {
        x_ += static_cast<int>(std::lround(dx * model.travel / d));
        y_ += static_cast<int>(std::lround(dy * model.travel / d));
      }
      ScriptCommand move = Command(Kind::Move);
      move.x = x_;
      move.y = y_;
      sink.Input(move);
      return;
    }
    case Stage::Press:
      sink.Input(Command(Kind::Down, button_));
      stage_ = Stage::Release;
      wait_ = kTicksHeld;
      return;
    case Stage::Release:
      sink.Input(Command(Kind::Up, button_));
      stage_ = Stage::Choose;
      wait_ = kTicksAfterRelease;
      // The next shot's thought, drawn now; the field goes on moving meanwhile.
      if (!perfect) wait_ += model.think_min + random_.Next(model.think_max - model.think_min + 1);
      return;
    case Stage::Choose:
      break;
  }
  const PlayerClick choice = perfect ? ChooseClick(ctx) : ChooseClick(ctx, model, random_);
  if (!choice.click) return;
  button_ = choice.button;
  if (!perfect && model.travel > 0) {
    target_x_ = choice.x;
    target_y_ = choice.y;
    stage_ = Stage::Travel;
    return;
  }
  ScriptCommand move = Command(Kind::Move);
  move.x = choice.x;
  move.y = choice.y;
  sink.Input(move);
  x_ = choice.x;
  y_ = choice.y;
  stage_ = Stage::Press;
  wait_ = kTicksBeforePress;
}

void DispatchSink::Input(const ScriptCommand& c) {
  using Type = platform::WindowEvent::Type;
  switch (c.kind) {
    case Kind::Move:
      if (ctx_.platform.window) ctx_.platform.window->SetPointer(c.x, c.y);
      Send(ctx_, Type::MouseMove);
      break;
    case Kind::Down:
      Send(ctx_, Type::MouseDown, c.button);
      break;
    case Kind::Up:
      Send(ctx_, Type::MouseUp, c.button);
      break;
    case Kind::Key:
      Send(ctx_, Type::KeyDown, 0, c.key, c.shift);
      break;
    default:
      break;  // window and capture commands belong to the message loop
  }
}

void DispatchSink::PointerMoved() {
  Send(ctx_, platform::WindowEvent::Type::MouseMove);
}

void DispatchSink::PassOn(const platform::WindowEvent& event) {
  DispatchWindowEvent(ctx_, event);
}

}  // namespace qv
