#pragma once
// The harness's state dump: one JSON object with tick, frame_clock, game_clock and then one
// section per registered writer (ctx.shell.hooks.state_sections).
#include <cstdint>
#include <string>

namespace qv {

struct Context;
class JsonWriter;

std::string StateDumpJson(const Context& ctx, std::uint64_t tick);
void WriteShellSection(const Context& ctx, JsonWriter& out);
void WriteOptionsSection(const Context& ctx, JsonWriter& out);

}  // namespace qv
