#include "harness/runner.h"

#include <cstdio>
#include <string>
#include <vector>

#include "context.h"
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

void Send(Context& ctx, Event::Type type, int button = 0, int key = 0, int shift = 0) {
  Event e;
  e.type = type;
  e.button = button;
  e.key = key;
  e.shift = shift;
  DispatchWindowEvent(ctx, e);
}

void Apply(Context& ctx, const ScriptCommand& c, std::vector<std::string>& dumps) {
  using Kind = ScriptCommand::Kind;
  platform::Window* window = ctx.platform.window;
  switch (c.kind) {
    case Kind::Move:
      if (window) window->SetPointer(c.x, c.y);
      Send(ctx, Event::Type::MouseMove);
      break;
    case Kind::Down:
      Send(ctx, Event::Type::MouseDown, c.button);
      break;
    case Kind::Up:
      Send(ctx, Event::Type::MouseUp, c.button);
      break;
    case Kind::Key:
      Send(ctx, Event::Type::KeyDown, 0, c.key, c.shift);
      break;
    case Kind::Activate:
      if (window) window->SetFocus(true);
      Send(ctx, Event::Type::Activate);
      break;
    case Kind::Deactivate:
      if (window) window->SetFocus(false);
      Send(ctx, Event::Type::Deactivate);
      break;
    case Kind::Minimize:
      if (window) window->SetFocus(false);
      Send(ctx, Event::Type::Minimize);
      break;
    case Kind::Restore:
      if (window) window->SetFocus(true);
      Send(ctx, Event::Type::Restore);
      break;
    case Kind::Screenshot:
      ctx.shell.screenshot_path = c.path;
      break;
    case Kind::State:
      dumps.push_back(c.path);
      break;
    case Kind::Quit:
      Send(ctx, Event::Type::Close);
      break;
  }
}

}  // namespace

int RunMainLoop(Context& ctx, const LoopOptions& options) {
  ShellState& s = ctx.shell;
  platform::Window* window = ctx.platform.window;
  platform::Clock* clock = ctx.platform.clock;
  platform::TickSchedule schedule;
  schedule.Restart(clock ? clock->TickCount() : 0u);
  std::size_t next_command = 0;
  std::vector<std::string> dumps;
  std::uint64_t tick = 0;
  for (;;) {
    Event event;
    while (!s.quit_requested && window && window->PollEvent(event)) DispatchWindowEvent(ctx, event);
    if (s.quit_requested) break;
    if (options.ticks && tick >= *options.ticks) break;
    if (options.virtual_clock) {
      options.virtual_clock->Advance(platform::TickSchedule::kInterval);
    } else {
      const std::uint32_t wait = schedule.Wait(clock->TickCount());
      if (wait > 0) {
        if (window) window->WaitEvent(wait);
        continue;
      }
      schedule.Fired(clock->TickCount());
    }
    dumps.clear();
    if (options.script) {
      const auto& commands = options.script->commands;
      while (next_command < commands.size() && commands[next_command].tick == tick) {
        Apply(ctx, commands[next_command++], dumps);
        if (s.quit_requested) break;
      }
    }
    if (s.quit_requested) break;
    s.rasterize = !options.virtual_clock || s.run.render_all || !s.screenshot_path.empty();
    TimerTick(ctx);
    s.screenshot_path.clear();
    for (const std::string& path : dumps) {
      if (!platform::WriteFileAtomic(path, StateDumpJson(ctx, tick))) {
        std::fprintf(stderr, "state %s: cannot write the file\n", path.c_str());
      }
    }
    ++tick;
  }
  CloseMainWindow(ctx);
  return s.exit_code;
}

}  // namespace qv
