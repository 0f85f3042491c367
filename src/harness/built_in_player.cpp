#include "harness/built_in_player.h"

#include "context.h"
#include "game/autoplay.h"
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
  if (wait_ > 0) {
    --wait_;
    return;
  }
  switch (stage_) {
    case Stage::Press:
      sink.Input(Command(Kind::Down, button_));
      stage_ = Stage::Release;
      wait_ = kTicksHeld;
      return;
    case Stage::Release:
      sink.Input(Command(Kind::Up, button_));
      stage_ = Stage::Choose;
      wait_ = kTicksAfterRelease;
      return;
    case Stage::Choose:
      break;
  }
  const PlayerClick choice = ChooseClick(ctx);
  if (!choice.click) return;
  ScriptCommand move = Command(Kind::Move);
  move.x = choice.x;
  move.y = choice.y;
  sink.Input(move);
  button_ = choice.button;
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
