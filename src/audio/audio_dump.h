#pragma once
// The harness's state-dump section "audio".
namespace qv {

struct AudioWorld;
class JsonWriter;

// Writes the section and empties the list of entries played since the previous dump.
void WriteAudioSection(const AudioWorld& ctx, JsonWriter& out);

}  // namespace qv
