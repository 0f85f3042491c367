#include "harness/state_dump.h"

#include "base/json_writer.h"
#include "context.h"
#include "shell/options.h"

namespace qv {

std::string StateDumpJson(const Context& ctx, std::uint64_t tick) {
  JsonWriter out;
  out.BeginObject();
  out.Field("tick", static_cast<std::int64_t>(tick));
  out.Field("frame_clock", ctx.shell.frame_clock);
  out.Field("game_clock", ctx.shell.game_clock);
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
  out.Field("scene", static_cast<int>(s.scene));
  out.Field("pending_scene", static_cast<int>(s.pending_scene));
  out.Field("scene_phase", s.scene_phase);
  out.Field("scene_ready", s.scene_ready);
  out.Field("app_active", s.app_active);
  out.Field("paused", s.paused);
  out.Field("fullscreen", s.options.fullscreen ? 1 : 0);
  out.Field("mouse_x", s.mouse_x);
  out.Field("mouse_y", s.mouse_y);
  out.Field("hover_button", s.hover_button);
  out.Field("pressed_button", s.pressed_button);
  out.Field("click_context", static_cast<int>(s.click_context));
  out.Field("command", s.command.Code());
  out.EndObject();
}

void WriteOptionsSection(const Context& ctx, JsonWriter& out) {
  out.BeginObject();
  for (const OptionValue& option : ListOptions(ctx.shell.options))
    out.Field(option.key, option.value);
  out.EndObject();
}

}  // namespace qv
