#pragma once
// The one owner of all subsystem state. The shell creates it and hands it by reference to every
// operation; there is no other mutable global, so every test builds a fresh world. Layers below
// the shell see only the part of it they derive from (BaseWorld ... AudioWorld) and never include
// this file.
#include "audio/audio_world.h"
#include "game/game_state.h"
#include "loading/loading_state.h"
#include "menu/menu_state.h"
#include "shell/shell_state.h"

namespace qv {

struct Context : AudioWorld {
  ShellState shell;
  LoadingState loading;
  GameState game;
  MenuState menu;
};

}  // namespace qv
