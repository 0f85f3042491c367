// The one place where subsystems plug into the shell: each fills its seams here (one line each,
// or one Fill<Name>Scene call for a scene) and registers its state-dump section.
#include "app/subsystem_hooks.h"

#include "audio/audio.h"
#include "audio/audio_dump.h"
#include "context.h"
#include "game/combo_table.h"
#include "game/game_dump.h"
#include "game/game_scene.h"
#include "harness/state_dump.h"
#include "loading/loading.h"
#include "menu/menu_scene.h"
#include "menu/players.h"
#include "scene/cursor.h"
#include "shell/hooks.h"
#include "shell/scene_table.h"
#include "sprites/sprite_hooks.h"

namespace qv {
namespace {

// The game's saved progress and high-score page are the menu's players and records.
bool ReadPlayerProgress(Context& ctx, int type, TypeProgress& out) {
  const Player* p = CurrentPlayer(ctx);
  if (!p) return false;
  const auto t = static_cast<std::size_t>(type - 1);
  out = {p->saved_level[t], p->saved_score[t], p->may_continue[t], p->checkpoint_score[t]};
  return true;
}

void WritePlayerProgress(Context& ctx, int type, const TypeProgress& progress) {
  Player* p = CurrentPlayer(ctx);
  if (!p) return;
  const auto t = static_cast<std::size_t>(type - 1);
  p->saved_level[t] = progress.level;
  p->saved_score[t] = progress.score;
  p->may_continue[t] = progress.may_continue;
  p->checkpoint_score[t] = progress.checkpoint;
  SavePlayers(ctx);
}

void LinkGameToPlayers(PlayerLinks& links) {
  links.read_progress = ReadPlayerProgress;
  links.write_progress = WritePlayerProgress;
  links.open_scores = [](Context& ctx) { OpenScoresPage(ctx, true); };
  links.scores_hover = ScoresHover;
  links.scores_page = [](Context& ctx, int button) { ScoresPageClick(ctx, button); };
  links.open_continue = [](Context& ctx) {
    return OpenContinueOverGame(ctx, TypeNumber(ctx.game.session.game_type));
  };
  links.continue_hover = MenuHover;
  links.continue_answer = RecordContinueAnswer;
}

}  // namespace

void InstallSubsystemHooks(Context& ctx) {
  ShellHooks& h = ctx.shell.hooks;

  // Scenes: the menu behind its loading screen, and the game.
  FillMenuScene(ctx.shell.scenes[SceneId::Menu]);
  FillGameScene(ctx.shell.scenes[SceneId::Game]);
  LinkGameToPlayers(ctx.game.run.players);

  // Sprite engine.
  h.sprites.move = SpritesMoveHook;
  h.sprites.collect = SpritesCollectHook;
  h.sprites.texture_lost = SpritesTextureLostHook;
  h.sprites.render = SpritesRenderHook;
  h.sprites.clear_list = SpritesClearListHook;
  h.sprites.picture = SpritesPictureHook;
  h.sprites.restore_textures = SpritesRestoreHook;
  h.sprites.release_textures = SpritesReleaseHook;

  // Start-up and the loading screen; the cursor sprite, which the loading screen makes at its end.
  h.startup.read_tables = ReadComboTable;
  h.startup.loading_setup = LoadingSetup;
  h.cursor.show = [](Context& c, bool visible) { ShowCursorSprite(c, visible); };
  h.cursor.move = [](Context& c, int x, int y) { MoveCursorSprite(c, x, y); };

  // Audio.
  h.sound.music_step = MusicStep;
  h.sound.hover_sound = PlayHoverSound;
  h.sound.press_sound = PlayPressSound;
  h.sound.restore_sound_gain = RestoreSoundGain;
  h.sound.mute_on_deactivate = MuteOnDeactivate;
  h.sound.resume_on_restore = ResumeOnRestore;
  h.sound.music_system_on = MusicSystemOn;
  h.sound.volume_option_read = VolumeOptionRead;

  // State dump sections, in dump order.
  h.state_sections.push_back({"shell", WriteShellSection});
  h.state_sections.push_back({"options", WriteOptionsSection});
  h.state_sections.push_back(
      {"objects", [](const Context& c, JsonWriter& out) { WriteObjectsSection(c, out); }});
  h.state_sections.push_back(
      {"audio", [](const Context& c, JsonWriter& out) { WriteAudioSection(c, out); }});
  h.state_sections.push_back({"loading", WriteLoadingSection});
  h.state_sections.push_back({"menu", WriteMenuSection});
  h.state_sections.push_back({"game", WriteGameSection});
  h.state_sections.push_back({"records", WriteRecordsSection});
}

}  // namespace qv
