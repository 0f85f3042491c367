#pragma once
// State of the audio subsystem, owned by the context.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

enum class AudioKind : int { Sample = 1, Module = 2, Stream = 3 };

// One line of "music.ini" or "sound.ini". A failed load keeps its record with handle 0.
struct AudioEntry {
  std::string name;
  std::string file;
  std::string ext;
  std::int64_t handle = 0;
  bool loop = false;
  AudioKind kind = AudioKind::Sample;
};

struct AudioState {
  std::vector<AudioEntry> table;

  // Music changes.
  std::int64_t current_music = -1;
  std::int64_t next_music = -1;
  double music_level = 1.0;
  int music_task = 0;  // 0 idle, 1 fading out, 2 fading in
  std::uint32_t next_music_step = 0;
  std::uint32_t step_interval = 100;
  double fade_out_step = 0.0;
  double fade_in_step = 0.0;
  int fade_in_ms = 0;
  bool alternate_start = false;  // start "music_arcade" at order 12 (set by the level build)

  // Fade-in after the application comes back.
  double app_level = 1.0;
  int app_task = 0;  // 0 idle, 4 fading in
  std::uint32_t next_app_step = 0;
  double app_fade_in_step = 0.0;
  std::uint64_t saved_position = 0;

  double sound_gain = 1.0;
  bool available = false;
  bool music_on = false;

  // Table indices of the entries played since the last state dump, for the harness. Mutable:
  // the dump (which sees a const context) drains it.
  mutable std::vector<int> played;
};

}  // namespace qv
