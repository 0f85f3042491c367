#pragma once
// Where the other subsystems plug into the shell. Each pointer is called at the point the shell
// documents beside it; a null pointer means "nothing to do" (or the stated fallback). The
// owners set them in InstallSubsystemHooks (shell/subsystem_hooks.cpp); tests set their own.
#include <string>
#include <vector>

namespace qv {

struct Context;
class JsonWriter;

namespace platform {
class RenderDevice;
}

struct StateSection {
  std::string name;
  void (*write)(const Context& ctx, JsonWriter& out) = nullptr;
};

struct ShellHooks {
  using Op = void (*)(Context&);

  // Frame step 2: the loading set-up. Must clear loading_pending, set app_active and end with
  // SwitchScene(ctx, 1). Null: the shell does just that.
  Op loading_setup = nullptr;
  // Frame step 3: music fades and the application music task.
  Op music_step = nullptr;
  // Frame step 6: play "sample_mouse_over_button" (the mouse entered a button).
  Op hover_sound = nullptr;
  // Frame step 6: when the sound gain is 0, set it to 1 and re-apply the sound volume.
  Op restore_sound_gain = nullptr;
  // FormMouseDown over a button: play "sample_mouse_down_button".
  Op press_sound = nullptr;
  // AppDeactivate / AppRestore: silence and resume music and sounds.
  Op mute_on_deactivate = nullptr;
  Op resume_on_restore = nullptr;
  // ReadOptions step 1: switch the music system on.
  Op music_system_on = nullptr;
  // ReadOptions read "music_volume" (music true) or "sound_volume": the menu's last-seen
  // volume becomes -1.
  void (*volume_option_read)(Context&, bool music) = nullptr;

  // The scene frame functions, called by the frame step and the catch-up loop.
  Op menu_frame = nullptr;
  Op game_frame = nullptr;
  // Whether the load list still has unloaded entries (menu building calls the frame twice).
  bool (*loading_entries_remain)(const Context&) = nullptr;
  // Frame step 10, menu scene: the menu's running-since time = frame_clock.
  Op menu_running = nullptr;

  // SwitchScene. Leaves must clear scene_ready (the shell does it too when null).
  Op start_scene_menu = nullptr;
  Op leave_scene_menu = nullptr;
  Op start_scene_main = nullptr;
  Op leave_scene_main = nullptr;

  // Input. The click handler runs on mouse-up over the pressed button.
  Op click_handler = nullptr;
  // FormMouseDown in the game scene: when the game's end phase is 0, game command 8 and the
  // mouse button flags (1 left, 2 right, 0 other).
  void (*game_mouse_down)(Context&, int button) = nullptr;
  // FormMouseUp in the game scene after the click handler: when the end phase is 0 and the
  // pressed button was 1, clear came-from-statistics and make the command 25.
  Op game_menu_button_up = nullptr;
  // FormKeyDown: key code (Windows virtual key) and shift state.
  void (*key_down)(Context&, int key, int shift) = nullptr;

  // The cursor sprite: shown or hidden, moved to (x, y).
  void (*show_cursor)(Context&, bool visible) = nullptr;
  void (*move_cursor)(Context&, int x, int y) = nullptr;

  // Sprite engine: the move pass with a move count; the draw pass collecting the draw list;
  // the texture-lost state; drawing the list on the device; emptying the list.
  void (*sprites_move)(Context&, int move_count) = nullptr;
  Op sprites_collect = nullptr;
  bool (*sprites_texture_lost)(const Context&) = nullptr;
  void (*sprites_render)(Context&, platform::RenderDevice& device) = nullptr;
  Op sprites_clear_list = nullptr;
  // Device objects: rebuild every atlas texture (false on failure); release every texture.
  bool (*restore_textures)(Context&) = nullptr;
  Op release_textures = nullptr;

  // StartProgram step 8: the game's counters to their initial values.
  Op reset_game_values = nullptr;

  // Sections of the harness's state dump after tick, frame_clock and game_clock, in order.
  std::vector<StateSection> state_sections;
};

// Sets every hook the built subsystems provide and registers their state-dump sections.
void InstallSubsystemHooks(Context& ctx);

}  // namespace qv
