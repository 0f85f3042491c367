#pragma once
// The options of "options.txt", one field per key, named as the key. Every layer reads them
// (ctx.options); the shell's options code reads and writes the file.

namespace qv {

// The step rate the content pack ships: used in place of one in the file that is below 1, which
// would leave every scene frozen.
constexpr int kDefaultMoveCnt = 16;

struct Options {
  bool fullscreen = false;
  bool mode16bit = false;
  bool textures16bit = false;
  bool log_enabled = false;
  int beg_level = 0;
  int explosion_sound_limit1 = 0;
  int explosion_sound_limit2 = 0;
  int sound_joy_limit = 0;
  int sound_joy_limit_arcade1 = 0;
  int sound_joy_limit_challenge1 = 0;
  int sound_joy_limit_drop = 0;
  int sound_joy_limit_arcade1_drop = 0;
  int sound_joy_limit_challenge1_drop = 0;
  int music_volume = 0;
  int music_amplify = 75;
  int sound_volume = 0;
  int no_sync = 0;
  int fps_max = 0;
  int frame_period = 0;  // 1000 / fps_max, 0 = no cap
  int fps_show = 0;
  int move_cnt = 0;
  int balls_climb_time_challenge = 0;
  int balls_climb_time_puzzle = 0;
  int balls_climb_inc_arcade = 0;
  int balls_climb_inc_challenge = 0;
  int balls_climb_inc_puzzle = 0;
  int ball_step = 0;
  int bigbomb_expl_count = 0;
  int bigbomb_radius = 0;
  int bonus_probability = 0;
  int bonus_probability_random_proc = 0;
  int bonus_inc_width_time = 0;
  int bonus_freeze_time = 0;
  int bonus_target_time = 0;
  int wait_vblank = 0;
  int player_index = 0;
};

}  // namespace qv
