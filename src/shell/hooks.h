#pragma once
// Where the subsystems below the scenes' level plug into the shell's window host and frame loop,
// grouped by the subsystem that provides them. Each pointer is called at the point documented
// beside it; a null pointer means "nothing to do" (or the stated fallback). The composition
// root sets them in InstallSubsystemHooks (app/subsystem_hooks.cpp); tests set their own. The
// scenes plug in through the scene table (shell/scene_table.h) instead.
#include <cstdint>
#include <string>
#include <vector>

#include "base/expected.h"

namespace qv {

struct Context;
struct SpriteWorld;
struct AudioWorld;
class JsonWriter;

namespace platform {
class RenderDevice;
}

// Start-up: what the first frame step and StartProgram hand to others.
struct StartupHooks {
  using Op = void (*)(Context&);
  // The first frame step's set-up (the loading screen). Must clear loading_pending, set
  // app_active and end with SwitchScene(ctx, SceneId::Menu). Null: the shell does just that.
  Op loading_setup = nullptr;
  // FormCreate, before StartProgram: the tables the game reads once. An error ends the program
  // with its message.
  Expected<void> (*read_tables)(Context&) = nullptr;
  // StartProgram: the game's counters to their initial values.
  Op reset_game_values = nullptr;
};

// The sprite engine: the move pass with a move count; the draw pass collecting the draw list;
// the texture-lost state; drawing the list on the device; emptying the list. Device objects:
// rebuild every atlas texture (false on failure); release every texture.
struct SpriteHooks {
  using Op = void (*)(SpriteWorld&);
  void (*move)(SpriteWorld&, int move_count) = nullptr;
  Op collect = nullptr;
  bool (*texture_lost)(const SpriteWorld&) = nullptr;
  void (*render)(SpriteWorld&, platform::RenderDevice& device) = nullptr;
  Op clear_list = nullptr;
  // The collected list's picture as one number (equal: the frame would look the same).
  std::uint64_t (*picture)(const SpriteWorld&) = nullptr;
  bool (*restore_textures)(SpriteWorld&) = nullptr;
  Op release_textures = nullptr;
};

// The cursor sprite: shown or hidden, moved to (x, y).
struct CursorHooks {
  void (*show)(Context&, bool visible) = nullptr;
  void (*move)(Context&, int x, int y) = nullptr;
};

// Music and sounds.
struct SoundHooks {
  using Op = void (*)(AudioWorld&);
  // Each frame step, before the scene switch: music fades and the application music task.
  Op music_step = nullptr;
  // Each frame step while active: "sample_mouse_over_button" when the mouse entered a button.
  Op hover_sound = nullptr;
  // Each frame step while active: when the sound gain is 0, set it to 1 and re-apply the
  // sound volume.
  Op restore_sound_gain = nullptr;
  // FormMouseDown over a button: play "sample_mouse_down_button".
  Op press_sound = nullptr;
  // AppDeactivate / AppRestore: silence and resume music and sounds.
  Op mute_on_deactivate = nullptr;
  Op resume_on_restore = nullptr;
  // ReadOptions, before the file is read: switch the music system on.
  Op music_system_on = nullptr;
  // ReadOptions read "music_volume" (music true) or "sound_volume": the menu's last-seen
  // volume becomes -1.
  void (*volume_option_read)(Context&, bool music) = nullptr;
};

struct StateSection {
  std::string name;
  void (*write)(const Context& ctx, JsonWriter& out) = nullptr;
};

struct ShellHooks {
  StartupHooks startup;
  SpriteHooks sprites;
  CursorHooks cursor;
  SoundHooks sound;
  // Sections of the harness's state dump after tick, frame_clock and game_clock, in order.
  std::vector<StateSection> state_sections;
};

}  // namespace qv
