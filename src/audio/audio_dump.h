#pragma once
// The harness's state-dump section "audio".
namespace qv {

struct Context;
class JsonWriter;

// Writes the section and empties the list of entries played since the previous dump.
void WriteAudioSection(const Context& ctx, JsonWriter& out);

}  // namespace qv
