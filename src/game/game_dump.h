#pragma once
// The "game" section of the harness's state dump.
namespace qv {

struct Context;
class JsonWriter;

void WriteGameSection(const Context& ctx, JsonWriter& out);

}  // namespace qv
