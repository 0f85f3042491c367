// The one place where subsystems plug into the shell. When a subsystem lands, it replaces the
// stand-in it takes over here (one line each, or one Fill<Name>Scene call for a scene) and
// registers its state-dump section.
#include "app/subsystem_hooks.h"

#include "app/default_scenes.h"
#include "audio/audio.h"
#include "audio/audio_dump.h"
#include "context.h"
#include "game/combo_table.h"
#include "game/game_dump.h"
#include "harness/state_dump.h"
#include "loading/loading.h"
#include "menu/menu_scene.h"
#include "shell/hooks.h"
#include "shell/scene_table.h"
#include "sprites/sprite_hooks.h"

namespace qv {

void InstallSubsystemHooks(Context& ctx) {
  ShellHooks& h = ctx.shell.hooks;

  // Scenes: the menu behind its loading screen; the game is empty.
  FillMenuScene(ctx.shell.scenes[SceneId::Menu]);
  SceneOps& game = ctx.shell.scenes[SceneId::Game];
  game.start = BasicStartSceneMain;
  game.leave = BasicLeaveScene;
  game.frame = EmptySceneFrame;
  game.pauses_when_inactive = true;

  // Sprite engine.
  h.sprites.move = SpritesMoveHook;
  h.sprites.collect = SpritesCollectHook;
  h.sprites.texture_lost = SpritesTextureLostHook;
  h.sprites.render = SpritesRenderHook;
  h.sprites.clear_list = SpritesClearListHook;
  h.sprites.restore_textures = SpritesRestoreHook;
  h.sprites.release_textures = SpritesReleaseHook;

  // Start-up and the loading screen, which makes the cursor sprite.
  h.startup.read_tables = ReadComboTable;
  h.startup.loading_setup = LoadingSetup;
  h.cursor.show = ShowCursorSprite;
  h.cursor.move = MoveCursorSprite;

  // Audio.
  h.sound.music_step = MusicStep;
  h.sound.hover_sound = PlayHoverSound;
  h.sound.press_sound = PlayPressSound;
  h.sound.restore_sound_gain = RestoreSoundGain;
  h.sound.mute_on_deactivate = MuteOnDeactivate;
  h.sound.resume_on_restore = ResumeOnRestore;
  h.sound.music_system_on = MusicSystemOn;

  // State dump sections, in dump order.
  h.state_sections.push_back({"shell", WriteShellSection});
  h.state_sections.push_back({"options", WriteOptionsSection});
  h.state_sections.push_back({"objects", WriteObjectsSection});
  h.state_sections.push_back({"audio", WriteAudioSection});
  h.state_sections.push_back({"loading", WriteLoadingSection});
  h.state_sections.push_back({"menu", WriteMenuSection});
  h.state_sections.push_back({"game", WriteGameSection});
  h.state_sections.push_back({"records", WriteRecordsSection});
}

}  // namespace qv
