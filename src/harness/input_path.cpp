#include "harness/input_path.h"

#include "context.h"
#include "platform/virtual_key.h"

namespace qv {
namespace {

using Event = platform::WindowEvent;
using Kind = ScriptCommand::Kind;

using platform::VirtualKey;
constexpr double kTickMs = 10.0;

ScriptCommand Command(Kind kind) {
  ScriptCommand c;
  c.kind = kind;
  return c;
}

}  // namespace

bool InputPath::AimPivot(const Context& ctx, double& x, double& y) const {
  const SceneOps& row = ctx.shell.scenes[ctx.shell.flow.scene];
  return row.aim_pivot && row.aim_pivot(ctx, x, y);
}

void InputPath::Button(InputSink& sink, bool down, int button) {
  ScriptCommand c = Command(down ? Kind::Down : Kind::Up);
  c.button = button;
  sink.Input(c);
}

void InputPath::PadButton(int button, bool down, InputSink& sink) {
  if (button < 0 || button >= platform::kPadButtonCount) return;
  const bool was = pad_held_[static_cast<std::size_t>(button)];
  pad_held_[static_cast<std::size_t>(button)] = down;
  switch (button) {
    case platform::kPadA:
    case platform::kPadB:
      // A release without its press (held before the game started) is no click.
      if (down != was) {
        Button(sink, down, button == platform::kPadA ? platform::kMouseLeft
                                                     : platform::kMouseRight);
      }
      break;
    case platform::kPadStart:
      if (down && !was) {
        ScriptCommand c = Command(Kind::Key);
        c.key = VirtualKey::Escape;
        sink.Input(c);
      }
      break;
    case platform::kPadBack:
      if (down && !was) sink.Input(Command(Kind::Fullscreen));
      break;
    case platform::kPadUp:
      pad_.up = down;
      break;
    case platform::kPadDown:
      pad_.down = down;
      break;
    case platform::kPadLeft:
      pad_.left = down;
      break;
    case platform::kPadRight:
      pad_.right = down;
      break;
    default:
      break;
  }
}

void InputPath::LetGo(InputSink& sink) {
  ReleasePadDrive(pad_);
  aim_.direction = 0;
  if (pad_held_[platform::kPadA] || shoot_key_held_) Button(sink, false, platform::kMouseLeft);
  if (pad_held_[platform::kPadB] || swap_key_held_) Button(sink, false, platform::kMouseRight);
  pad_held_.fill(false);
  shoot_key_held_ = swap_key_held_ = false;
}

void InputPath::Handle(Context& ctx, const Event& e, InputSink& sink) {
  platform::Window* window = ctx.platform.window;
  switch (e.type) {
    case Event::Type::MouseMove:
      sink.PointerMoved();
      return;
    case Event::Type::MouseDown:
    case Event::Type::MouseUp:
      Button(sink, e.type == Event::Type::MouseDown, e.button);
      return;
    case Event::Type::KeyDown: {
      double px = 0, py = 0;
      const bool aiming =
          (e.key == VirtualKey::Left || e.key == VirtualKey::Right || e.key == VirtualKey::Up ||
           e.key == VirtualKey::Space || e.key == VirtualKey::Down) &&
          AimPivot(ctx, px, py);
      if (!aiming) {
        ScriptCommand c = Command(Kind::Key);
        c.key = e.key;
        c.shift = e.shift;
        sink.Input(c);
        return;
      }
      if (e.repeat) {
        // A held arrow swings on in Step; Shift pressed meanwhile makes it finer.
        if (e.key == VirtualKey::Left || e.key == VirtualKey::Right)
          aim_.fine = (e.shift & platform::kShiftShift) != 0;
        return;
      }
      if (e.key == VirtualKey::Left || e.key == VirtualKey::Right) {
        int x = 0, y = 0;
        if (window) window->GetPointer(x, y);
        const bool fine = (e.shift & platform::kShiftShift) != 0;
        if (PressAimKey(aim_, e.key == VirtualKey::Left ? -1 : 1, fine, px, py, x, y)) {
          ScriptCommand c = Command(Kind::Move);
          c.x = x;
          c.y = y;
          sink.Input(c);
        }
      } else if (e.key == VirtualKey::Down) {
        if (!swap_key_held_) Button(sink, true, platform::kMouseRight);
        swap_key_held_ = true;
      } else if (!shoot_key_held_) {
        Button(sink, true, platform::kMouseLeft);
        shoot_key_held_ = true;
      }
      return;
    }
    case Event::Type::KeyUp:
      if (e.key == VirtualKey::Left) ReleaseAimKey(aim_, -1);
      if (e.key == VirtualKey::Right) ReleaseAimKey(aim_, 1);
      if (e.key == VirtualKey::Down && swap_key_held_) {
        swap_key_held_ = false;
        Button(sink, false, platform::kMouseRight);
      }
      if ((e.key == VirtualKey::Up || e.key == VirtualKey::Space) && shoot_key_held_) {
        shoot_key_held_ = false;
        Button(sink, false, platform::kMouseLeft);
      }
      return;
    case Event::Type::PadButtonDown:
    case Event::Type::PadButtonUp:
      PadButton(e.button, e.type == Event::Type::PadButtonDown, sink);
      return;
    case Event::Type::PadAxisMotion:
      if (e.button == platform::kPadLeftX) pad_.stick_x = PadAxisValue(e.value);
      if (e.button == platform::kPadLeftY) pad_.stick_y = PadAxisValue(e.value);
      return;
    case Event::Type::PadRemoved:
      LetGo(sink);
      return;
    case Event::Type::Activate:
      sink.Input(Command(Kind::Activate));
      return;
    case Event::Type::Deactivate:
    case Event::Type::Minimize:
      // The releases of what is held now go to another window: let go here.
      LetGo(sink);
      sink.Input(Command(e.type == Event::Type::Deactivate ? Kind::Deactivate : Kind::Minimize));
      return;
    case Event::Type::Restore:
      sink.Input(Command(Kind::Restore));
      return;
    case Event::Type::Close:
      sink.Input(Command(Kind::Quit));
      return;
    case Event::Type::DeviceReset:
    case Event::Type::Exposed:
      sink.PassOn(e);
      return;
  }
}

void InputPath::Step(Context& ctx, InputSink& sink) {
  platform::Window* window = ctx.platform.window;
  if (!window) return;
  int x = 0, y = 0;
  window->GetPointer(x, y);
  bool moved = StepPadDrive(pad_, kTickMs, x, y);
  if (aim_.direction != 0) {
    double px = 0, py = 0;
    if (AimPivot(ctx, px, py))
      moved = StepKeyAim(aim_, kTickMs, px, py, x, y) || moved;
    else
      aim_.direction = 0;  // the scene stopped aiming (a dialog came up)
  }
  if (moved) {
    ScriptCommand c = Command(Kind::Move);
    c.x = x;
    c.y = y;
    sink.Input(c);
  }
}

}  // namespace qv
