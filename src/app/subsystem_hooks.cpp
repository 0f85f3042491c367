// The one place where subsystems plug into the shell. When a subsystem lands, it replaces the
// stand-in it takes over here (one line each) and registers its state-dump section.
#include "audio/audio.h"
#include "audio/audio_dump.h"
#include "game/game_dump.h"
#include "context.h"
#include "app/default_scenes.h"
#include "shell/hooks.h"
#include "loading/loading.h"
#include "harness/state_dump.h"
#include "sprites/sprite_hooks.h"

namespace qv {

void InstallSubsystemHooks(Context& ctx) {
  ShellHooks& h = ctx.shell.hooks;

  // Scenes (menu: Parts of the menu subsystem; game: the game subsystem).
  h.menu_frame = MenuFrameLoadingOnly;
  h.game_frame = EmptySceneFrame;
  h.start_scene_menu = StartSceneMenu;
  h.leave_scene_menu = BasicLeaveScene;
  h.start_scene_main = BasicStartSceneMain;
  h.leave_scene_main = BasicLeaveScene;

  // Sprite engine.
  h.sprites_move = SpritesMoveHook;
  h.sprites_collect = SpritesCollectHook;
  h.sprites_texture_lost = SpritesTextureLostHook;
  h.sprites_render = SpritesRenderHook;
  h.sprites_clear_list = SpritesClearListHook;
  h.restore_textures = SpritesRestoreHook;
  h.release_textures = SpritesReleaseHook;

  // Start-up and the loading screen.
  h.loading_setup = LoadingSetup;
  h.loading_entries_remain = LoadingEntriesRemain;
  h.menu_running = MenuRunningSince;
  h.show_cursor = ShowCursorSprite;
  h.move_cursor = MoveCursorSprite;

  // Audio.
  h.music_step = MusicStep;
  h.hover_sound = PlayHoverSound;
  h.press_sound = PlayPressSound;
  h.restore_sound_gain = RestoreSoundGain;
  h.mute_on_deactivate = MuteOnDeactivate;
  h.resume_on_restore = ResumeOnRestore;
  h.music_system_on = MusicSystemOn;

  // State dump sections, in dump order.
  h.state_sections.push_back({"shell", WriteShellSection});
  h.state_sections.push_back({"options", WriteOptionsSection});
  h.state_sections.push_back({"objects", WriteObjectsSection});
  h.state_sections.push_back({"audio", WriteAudioSection});
  h.state_sections.push_back({"loading", WriteLoadingSection});
  h.state_sections.push_back({"game", WriteGameSection});
}

}  // namespace qv
