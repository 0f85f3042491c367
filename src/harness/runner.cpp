#include "harness/runner.h"

#include <string>
#include <vector>

#include "base/message.h"
#include "context.h"
#include "harness/built_in_player.h"
#include "harness/event_log.h"
#include "harness/input_path.h"
#include "harness/recorder.h"
#include "harness/script.h"
#include "harness/state_dump.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/window.h"
#include "shell/events.h"
#include "shell/frame.h"
#include "shell/main_form.h"

namespace qv {
namespace {

using Event = platform::WindowEvent;
using Kind = ScriptCommand::Kind;

void Send(Context& ctx, Event::Type type, int button = 0, int key = 0, int shift = 0) {
  Event e;
  e.type = type;
  e.button = button;
  e.key = key;
  e.shift = shift;
  DispatchWindowEvent(ctx, e);
}

bool IsInput(Kind kind) {
  switch (kind) {
    case Kind::Screenshot:
    case Kind::State:
    case Kind::Clock:
    case Kind::Date:
    case Kind::Seed:
    case Kind::File:
      return false;
    default:
      return true;
  }
}

class Session final : public InputSink {
 public:
  Session(Context& ctx, const LoopOptions& options) : ctx_(ctx), options_(options) {
    events_.reserve(64);
  }

  int Run();

  void Input(const ScriptCommand& c) override {
    // A press acts where its own event put the pointer: that move goes first.
    if (c.kind == Kind::Down || c.kind == Kind::Up) RecordPointer();
    if (options_.recorder) options_.recorder->Input(c);
    Apply(c);
  }
  void PointerMoved() override {
    pointer_moved_ = true;
    Send(ctx_, Event::Type::MouseMove);
  }
  void PassOn(const Event& e) override { DispatchWindowEvent(ctx_, e); }

 private:
  void Apply(const ScriptCommand& c);
  // Recording: the pointer the frame will see, when it moved since the last line about it.
  void RecordPointer();

  Context& ctx_;
  const LoopOptions& options_;
  InputPath path_;
  BuiltInPlayer player_;
  std::vector<Event> events_;
  std::vector<std::string> dumps_;
  bool pointer_moved_ = false;
  bool have_recorded_pointer_ = false;
  int recorded_x_ = 0, recorded_y_ = 0;
};

void Session::Apply(const ScriptCommand& c) {
  platform::Window* window = ctx_.platform.window;
  switch (c.kind) {
    case Kind::Move:
      if (window) window->SetPointer(c.x, c.y);
      if (options_.recorder) {
        have_recorded_pointer_ = true;
        recorded_x_ = c.x;
        recorded_y_ = c.y;
      }
      Send(ctx_, Event::Type::MouseMove);
      break;
    case Kind::Down:
      Send(ctx_, Event::Type::MouseDown, c.button);
      break;
    case Kind::Up:
      Send(ctx_, Event::Type::MouseUp, c.button);
      break;
    case Kind::Key:
      Send(ctx_, Event::Type::KeyDown, 0, c.key, c.shift);
      break;
    case Kind::Activate:
      if (window) window->SetFocus(true);
      Send(ctx_, Event::Type::Activate);
      break;
    case Kind::Deactivate:
      if (window) window->SetFocus(false);
      Send(ctx_, Event::Type::Deactivate);
      break;
    case Kind::Minimize:
      if (window) window->SetFocus(false);
      Send(ctx_, Event::Type::Minimize);
      break;
    case Kind::Restore:
      if (window) window->SetFocus(true);
      Send(ctx_, Event::Type::Restore);
      break;
    case Kind::Screenshot:
      ctx_.shell.loop.screenshot_path = c.path;
      break;
    case Kind::State:
      dumps_.push_back(c.path);
      break;
    case Kind::Quit:
      Send(ctx_, Event::Type::Close);
      break;
    case Kind::Clock:
      if (options_.virtual_clock) options_.virtual_clock->Set(c.value);
      break;
    case Kind::Date:
      if (options_.virtual_clock) options_.virtual_clock->SetDate(c.date);
      break;
    case Kind::Seed:
      break;  // the seeds of a replay are handed to the generator in order before the start
    case Kind::Fullscreen:
      ToggleFullscreenForRun(ctx_);
      break;
    case Kind::File:
      break;  // restored into the game folder before the start
  }
}

void Session::RecordPointer() {
  platform::Window* window = ctx_.platform.window;
  if (!options_.recorder || !window) return;
  int x = 0, y = 0;
  window->GetPointer(x, y);
  if (!pointer_moved_ && have_recorded_pointer_ && x == recorded_x_ && y == recorded_y_) return;
  pointer_moved_ = false;
  have_recorded_pointer_ = true;
  recorded_x_ = x;
  recorded_y_ = y;
  ScriptCommand c;
  c.kind = Kind::Move;
  c.x = x;
  c.y = y;
  options_.recorder->Input(c);
}

int Session::Run() {
  ShellState& s = ctx_.shell;
  platform::Window* window = ctx_.platform.window;
  // The schedule runs on the machine's clock, never on a latched one.
  platform::Clock* timer = options_.virtual_clock ? nullptr : ctx_.platform.clock;
  platform::TickSchedule schedule;
  std::size_t next_command = 0;
  std::uint64_t tick = 0;
  Recorder* recorder = options_.recorder;
  const auto now = [&]() -> std::uint32_t {
    if (options_.latched_clock) return options_.latched_clock->SourceTickCount();
    return timer ? timer->TickCount() : 0u;
  };
  schedule.Restart(now());
  for (;;) {
    Event event;
    while (!s.loop.quit_requested && window && window->PollEvent(event)) events_.push_back(event);
    if (s.loop.quit_requested) break;
    if (options_.ticks && tick >= *options_.ticks) break;
    if (options_.virtual_clock) {
      options_.virtual_clock->Advance(platform::TickSchedule::kInterval);
    } else {
      const std::uint32_t wait = schedule.Wait(now());
      if (wait > 0) {
        if (window) window->WaitEvent(wait);
        continue;
      }
      schedule.Fired(now());
    }
    if (recorder) recorder->SetTick(tick);
    if (options_.events) options_.events->SetTick(tick);
    if (options_.latched_clock) {
      options_.latched_clock->Latch();
      if (recorder) {
        recorder->Clock(options_.latched_clock->TickCount(), options_.latched_clock->Now());
      }
    }
    dumps_.clear();
    for (const Event& e : events_) {
      path_.Handle(ctx_, e, *this);
      if (s.loop.quit_requested) break;
    }
    events_.clear();
    if (s.loop.quit_requested) break;
    if (options_.script) {
      const auto& commands = options_.script->commands;
      while (next_command < commands.size() && commands[next_command].tick == tick) {
        const ScriptCommand& c = commands[next_command++];
        if (IsInput(c.kind))
          Input(c);
        else
          Apply(c);
        // A command is an operation of its own: the display switch logs.
        ReportLogFailure(ctx_);
        if (s.loop.quit_requested) break;
      }
    }
    if (s.loop.quit_requested) break;
    player_.Step(ctx_, *this);
    path_.Step(ctx_, *this);
    RecordPointer();
    s.loop.rasterize =
        !options_.virtual_clock || s.run.render_all || !s.loop.screenshot_path.empty();
    TimerTick(ctx_);
    s.loop.screenshot_path.clear();
    for (const std::string& path : dumps_) {
      if (!platform::StaysInsideWorkingFolder(platform::HostPath(path))) {
        HarnessMessage("state " + path +
                       ": the path leads out of the game folder; nothing written");
      } else if (!platform::WriteFileAtomic(path, StateDumpJson(ctx_, tick))) {
        HarnessMessage("state " + path + ": cannot write the file");
      }
    }
    if (recorder) recorder->Flush();
    ++tick;
  }
  if (recorder) {
    recorder->SetTick(tick);
    recorder->End(false);
  }
  CloseMainWindow(ctx_);
  return s.loop.exit_code;
}

}  // namespace

int RunMainLoop(Context& ctx, const LoopOptions& options) {
  Session session(ctx, options);
  return session.Run();
}

}  // namespace qv
