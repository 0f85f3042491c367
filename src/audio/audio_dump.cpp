#include "audio/audio_dump.h"

#include "audio/audio.h"
#include "base/json_writer.h"
#include "audio/audio_world.h"

namespace qv {

void WriteAudioSection(const AudioWorld& ctx, JsonWriter& out) {
  const AudioState& a = ctx.audio;
  out.BeginObject();
  out.FieldBool("available", a.available);
  out.Key("music_current");
  const AudioEntry* current = nullptr;
  if (a.current_music > 0) {
    for (const AudioEntry& entry : a.table) {
      if (entry.handle == a.current_music) {
        current = &entry;
        break;
      }
    }
  }
  if (current != nullptr) {
    out.String(current->name);
  } else {
    out.Null();
  }
  out.Field("music_task", a.music_task);
  out.FieldReal("music_level", a.music_level);
  out.FieldReal("app_level", a.app_level);
  out.Field("music_volume", ctx.options.music_volume);
  out.Field("sound_volume", ctx.options.sound_volume);
  out.Key("played").BeginArray();
  for (const int index : a.played) {
    if (index >= 0 && index < static_cast<int>(a.table.size())) {
      out.String(a.table[static_cast<std::size_t>(index)].name);
    }
  }
  out.EndArray();
  // Additions: what the library was last told, and the table.
  out.Field("music_library_volume",
            MusicLibraryVolume(ctx.options.music_volume, a.music_level, a.app_level));
  out.Field("sound_library_volume",
            SoundLibraryVolume(ctx.options.sound_volume, a.sound_gain));
  out.Field("entries", static_cast<std::int64_t>(a.table.size()));
  std::int64_t silent = 0;
  for (const AudioEntry& entry : a.table) silent += entry.handle == 0;
  out.Field("silent_entries", silent);
  out.EndObject();
  // The list holds what was played since the previous dump.
  a.played.clear();
}

}  // namespace qv
