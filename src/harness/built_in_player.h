#pragma once
// --autoplay: the built-in player, an input source of the run beside the window, the script and
// a recording. Once per timer tick, before the frame, it asks the game where a player would
// click and gives the pointer move and the button's press and release to the input sink a few
// ticks apart, so that they are recorded and reach the handlers as a person's would. A weaker
// model (--autoplay-skill) also thinks before each shot and moves the pointer at a hand's speed.
#include "base/random.h"
#include "harness/input_path.h"

namespace qv {

struct Context;

class BuiltInPlayer {
 public:
  void Step(Context& ctx, InputSink& sink);

 private:
  enum class Stage { Choose, Travel, Press, Release };
  Stage stage_ = Stage::Choose;
  int button_ = 0;
  int wait_ = 0;  // ticks to let pass before the next stage
  // The weaker models' chances, seeded from the program's generator when the player first acts,
  // so a seeded run repeats; and where their pointer is on its way to.
  Random random_;
  bool seeded_ = false;
  int x_ = 0, y_ = 0;
  int target_x_ = 0, target_y_ = 0;
};

// An input sink that hands commands straight to the window event handlers, recording nothing
// (in-process runs without the message loop).
class DispatchSink final : public InputSink {
 public:
  explicit DispatchSink(Context& ctx) : ctx_(ctx) {}
  void Input(const ScriptCommand& command) override;
  void PointerMoved() override;
  void PassOn(const platform::WindowEvent& event) override;

 private:
  Context& ctx_;
};

}  // namespace qv
