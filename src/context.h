#pragma once
// The one owner of all subsystem state. The shell creates it and hands it by reference to every
// operation; there is no other mutable global, so every test builds a fresh world.
#include "audio/audio_state.h"
#include "game/game_state.h"
#include "loading/loading_state.h"
#include "menu/menu_state.h"
#include "platform/platform.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"
#include "sprites/sprites_state.h"

namespace qv {

struct Context {
  platform::Platform platform;
  ShellState shell;
  LoadingState loading;
  SpriteState sprites;
  SceneState scene;
  AudioState audio;
  GameState game;
  MenuState menu;
};

}  // namespace qv
