#include "harness/state_dump.h"

#include "base/json_writer.h"
#include "context.h"
#include "shell/options.h"

namespace qv {

std::string StateDumpJson(const Context& ctx, std::uint64_t tick) {
  JsonWriter out;
  out.BeginObject();
  out.Field("tick", static_cast<std::int64_t>(tick));
  out.Field("frame_clock", ctx.clocks.frame_clock);
  out.Field("game_clock", ctx.clocks.game_clock);
  for (const StateSection& section : ctx.shell.hooks.state_sections) {
    if (!section.write) continue;
    out.Key(section.name);
    section.write(ctx, out);
  }
  out.EndObject();
  return out.str() + "\n";
}

void WriteShellSection(const Context& ctx, JsonWriter& out) {
  const ShellState& s = ctx.shell;
  out.BeginObject();
  out.Field("scene", static_cast<int>(s.flow.scene));
  out.Field("pending_scene", static_cast<int>(s.flow.pending_scene));
  out.Field("scene_phase", s.flow.scene_phase);
  out.Field("scene_ready", s.flow.scene_ready);
  out.Field("app_active", ctx.clocks.app_active);
  out.Field("paused", ctx.clocks.paused);
  out.Field("fullscreen", ctx.options.fullscreen ? 1 : 0);
  out.Field("mouse_x", s.pointer.mouse_x);
  out.Field("mouse_y", s.pointer.mouse_y);
  out.Field("hover_button", s.pointer.hover_button);
  out.Field("pressed_button", s.pointer.pressed_button);
  out.Field("click_context", static_cast<int>(s.flow.click_context));
  out.Field("command", s.flow.command.Code());
  out.EndObject();
}

void WriteOptionsSection(const Context& ctx, JsonWriter& out) {
  out.BeginObject();
  for (const OptionValue& option : ListOptions(ctx.options))
    out.Field(option.key, option.value);
  out.EndObject();
}

}  // namespace qv
