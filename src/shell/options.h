#pragma once
// The options of "options.txt", one field per key, named as the key.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct Context;

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

// Reads "options.txt" into ctx.shell.options: logs "setup_refresh", switches the music system
// on, sets every key the file names, logs the texture mode. A missing file shows "Configuration
// file not found!"; a value that is not an integer for an integer key is reported (box and log,
// naming file, line and value) and ends the reading there, keeping what was read.
void ReadOptions(Context& ctx);

// Replaces the line of key (matched exactly) in a settings file by "key=value", or appends it;
// every other line comes back trimmed. Written atomically. Throws IoError when the file cannot
// be written.
void WriteOption(Context& ctx, std::string_view file, std::string_view key, std::string_view value);

// Applies one "key=value" pair; false with an error text when an integer key gets no integer.
bool ApplyOption(Context& ctx, std::string_view key, std::string_view value, std::string& error);

// Every key in file order of the table, for the state dump: name and current value.
struct OptionValue {
  const char* key;
  int value;
};
std::vector<OptionValue> ListOptions(const Options& options);

}  // namespace qv
