// The one place where subsystems plug into the shell. When a subsystem lands, it replaces the
// stand-in it takes over here (one line each) and registers its state-dump section.
#include "game/game_dump.h"
#include "shell/context.h"
#include "shell/default_scenes.h"
#include "shell/hooks.h"
#include "shell/state_dump.h"
#include "sprites/sprite_hooks.h"

namespace qv {

void InstallSubsystemHooks(Context& ctx) {
  ShellHooks& h = ctx.shell.hooks;

  // Scenes (menu: Parts of the menu subsystem; game: the game subsystem).
  h.menu_frame = EmptySceneFrame;
  h.game_frame = EmptySceneFrame;
  h.start_scene_menu = BasicStartSceneMenu;
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

  // State dump sections, in dump order.
  h.state_sections.push_back({"shell", WriteShellSection});
  h.state_sections.push_back({"options", WriteOptionsSection});
  h.state_sections.push_back({"objects", WriteObjectsSection});
  h.state_sections.push_back({"game", WriteGameSection});
}

}  // namespace qv
