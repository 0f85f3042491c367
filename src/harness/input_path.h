#pragma once
// The one way input reaches the game. Mouse, key and window events pass on as they are; a game
// controller and, while the scene aims by keyboard, the arrow keys, Up and Space are turned
// into ordinary pointer events here (pointer moves, left and right button presses, Escape), so
// the rules, scripts and recordings see nothing but a mouse and a keyboard.
#include <array>
#include <cstdint>

#include "harness/script.h"
#include "platform/window.h"
#include "shell/pointer_drive.h"

namespace qv {

struct Context;

// Where the ordinary events go: the runner records and applies them.
class InputSink {
 public:
  virtual ~InputSink() = default;
  // An input command as a script would give it (Move sets the pointer, then a mouse-move event).
  virtual void Input(const ScriptCommand& command) = 0;
  // The system pointer moved by itself: the mouse-move event only.
  virtual void PointerMoved() = 0;
  // An event that is no input (the device lost its objects).
  virtual void PassOn(const platform::WindowEvent& event) = 0;
};

class InputPath {
 public:
  // One event from the window.
  void Handle(Context& ctx, const platform::WindowEvent& event, InputSink& sink);
  // Once per timer tick, before the frame: the pointer moves a held stick, D-pad or arrow key
  // asks for.
  void Step(Context& ctx, InputSink& sink);

 private:
  bool AimPivot(const Context& ctx, double& x, double& y) const;
  void Button(InputSink& sink, bool down, int button);
  void PadButton(int button, bool down, InputSink& sink);
  // Everything held is released: the controller left, or the window lost the focus.
  void LetGo(InputSink& sink);

  PadDrive pad_;
  KeyAim aim_;
  std::array<bool, platform::kPadButtonCount> pad_held_{};
  // Keys that went down as a button press while aiming: their release lets the button go.
  bool shoot_key_held_ = false;  // Up or Space
  bool swap_key_held_ = false;   // Down
};

}  // namespace qv
