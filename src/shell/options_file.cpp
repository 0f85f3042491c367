#include "shell/options_file.h"

#include <algorithm>
#include <cstdio>

#include "base/log.h"
#include "base/message.h"
#include "base/text.h"
#include "context.h"
#include "platform/files.h"

namespace qv {
namespace {

enum class Kind { Flag, Int, Volume, Threshold, FpsMax, StepRate };

struct KeyDef {
  const char* key;
  Kind kind;
  bool Options::*flag;
  int Options::*number;
};

constexpr KeyDef Flag(const char* key, bool Options::*member) {
  return {key, Kind::Flag, member, nullptr};
}
constexpr KeyDef Num(const char* key, int Options::*member, Kind kind = Kind::Int) {
  return {key, kind, nullptr, member};
}

constexpr KeyDef kKeys[] = {
    Flag("fullscreen", &Options::fullscreen),
    Flag("mode16bit", &Options::mode16bit),
    Flag("textures16bit", &Options::textures16bit),
    Flag("log_enabled", &Options::log_enabled),
    Num("beg_level", &Options::beg_level),
    Num("explosion_sound_limit1", &Options::explosion_sound_limit1),
    Num("explosion_sound_limit2", &Options::explosion_sound_limit2),
    Num("sound_joy_limit", &Options::sound_joy_limit),
    Num("sound_joy_limit_arcade1", &Options::sound_joy_limit_arcade1),
    Num("sound_joy_limit_challenge1", &Options::sound_joy_limit_challenge1),
    Num("sound_joy_limit_drop", &Options::sound_joy_limit_drop),
    Num("sound_joy_limit_arcade1_drop", &Options::sound_joy_limit_arcade1_drop),
    Num("sound_joy_limit_challenge1_drop", &Options::sound_joy_limit_challenge1_drop),
    Num("music_volume", &Options::music_volume, Kind::Volume),
    Num("music_amplify", &Options::music_amplify),
    Num("sound_volume", &Options::sound_volume, Kind::Volume),
    Num("no_sync", &Options::no_sync),
    Num("fps_max", &Options::fps_max, Kind::FpsMax),
    Num("fps_show", &Options::fps_show, Kind::Threshold),
    Num("move_cnt", &Options::move_cnt, Kind::StepRate),
    Num("balls_climb_time_challenge", &Options::balls_climb_time_challenge),
    Num("balls_climb_time_puzzle", &Options::balls_climb_time_puzzle),
    Num("balls_climb_inc_arcade", &Options::balls_climb_inc_arcade),
    Num("balls_climb_inc_challenge", &Options::balls_climb_inc_challenge),
    Num("balls_climb_inc_puzzle", &Options::balls_climb_inc_puzzle),
    Num("ball_step", &Options::ball_step),
    Num("bigbomb_expl_count", &Options::bigbomb_expl_count),
    Num("bigbomb_radius", &Options::bigbomb_radius),
    Num("bonus_probability", &Options::bonus_probability),
    Num("bonus_probability_random_proc", &Options::bonus_probability_random_proc),
    Num("bonus_inc_width_time", &Options::bonus_inc_width_time),
    Num("bonus_freeze_time", &Options::bonus_freeze_time),
    Num("bonus_target_time", &Options::bonus_target_time),
    Num("wait_vblank", &Options::wait_vblank, Kind::Threshold),
    Num("player_index", &Options::player_index),
};

// Applies one pair read from line `line` of "options.txt" (0: no line).
Expected<void> ApplyOptionAt(Context& ctx, std::string_view key, std::string_view value, int line) {
  Options& o = ctx.options;
  for (const KeyDef& def : kKeys) {
    if (key != def.key) continue;
    if (def.kind == Kind::Flag) {
      o.*def.flag = value != "0";
      return {};
    }
    const std::optional<int> parsed = ParseInt(value);
    if (!parsed) return Fail("'" + std::string(value) + "' is not a valid integer value");
    int v = *parsed;
    switch (def.kind) {
      case Kind::Volume:
        v = std::clamp(v, 0, 13);
        if (ctx.shell.hooks.sound.volume_option_read) {
          ctx.shell.hooks.sound.volume_option_read(ctx, def.number == &Options::music_volume);
        }
        break;
      case Kind::Threshold:
        v = v >= 1 ? 1 : 0;
        break;
      case Kind::FpsMax:
        // 0 or less cannot give a frame period: no cap.
        o.frame_period = v > 0 ? 1000 / v : 0;
        break;
      case Kind::StepRate:
        // Below 1 the catch-up loop never steps and every scene freezes without a word: damage.
        if (v < 1) {
          const Error damage{std::string(key) + "=" + std::string(value) + " is below 1; " +
                                 std::to_string(kDefaultMoveCnt) + " is used",
                             "options.txt", line};
          WriteLog(ctx, "ERROR: option_out_of_range " + Describe(damage));
          v = kDefaultMoveCnt;
        }
        break;
      default:
        break;
    }
    o.*def.number = v;
    return {};
  }
  return {};  // unknown keys are ignored
}

}  // namespace

Expected<void> ApplyOption(Context& ctx, std::string_view key, std::string_view value) {
  return ApplyOptionAt(ctx, key, value, 0);
}

void ReadOptions(Context& ctx) {
  WriteLog(ctx, "setup_refresh");
  if (ctx.shell.hooks.sound.music_system_on) ctx.shell.hooks.sound.music_system_on(ctx);
  const std::optional<std::string> data =
      platform::FileExists("options.txt") ? platform::ReadWholeFile("options.txt") : std::nullopt;
  if (!data) {
    ReportError(ctx, "Configuration file not found!");
  } else if (const Expected<void> applied = ApplyOptionsText(ctx, *data); !applied) {
    const std::string report = Describe(applied.error());
    ReportError(ctx, report, report);
  }
  // A display mode chosen for this run outlasts the file's.
  if (ctx.shell.run.fullscreen) ctx.options.fullscreen = *ctx.shell.run.fullscreen;
  WriteLog(ctx, ctx.options.textures16bit ? " textures mode=16bit" : " textures mode=32bit");
}

Expected<void> ApplyOptionsText(Context& ctx, std::string_view data) {
  const std::vector<std::string> lines = SplitLines(data);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::string line = LowerText(TrimText(lines[n]));
    const std::size_t comment = line.find(';');
    if (comment != std::string::npos) line = std::string(TrimText(line.substr(0, comment)));
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    const std::string_view key = TrimText(std::string_view(line).substr(0, eq));
    const std::string_view value = TrimText(std::string_view(line).substr(eq + 1));
    if (Expected<void> applied = ApplyOptionAt(ctx, key, value, static_cast<int>(n + 1));
        !applied) {
      applied.error().file = "options.txt";
      applied.error().line = static_cast<int>(n + 1);
      return applied;  // the rest of the file is not read, as with any failed read
    }
  }
  return {};
}

Expected<void> WriteOption(std::string_view file, std::string_view key, std::string_view value) {
  std::vector<std::string> lines;
  if (platform::FileExists(file)) {
    const std::optional<std::string> data = platform::ReadWholeFile(file);
    if (!data) return Fail("Cannot read \"" + std::string(file) + "\"");
    lines = SplitLines(*data);
  }
  std::string out;
  bool found = false;
  const std::string replacement = std::string(key) + "=" + std::string(value);
  for (const std::string& raw : lines) {
    const std::string_view line = TrimText(raw);
    bool match = false;
    if (!line.empty() && line[0] != ';') {
      const std::size_t end = line.find_first_of("=;");
      match = TrimText(line.substr(0, end)) == key;
    }
    if (match) {
      out += replacement;
      found = true;
    } else {
      out += line;
    }
    out += "\r\n";
  }
  if (!found) out += replacement + "\r\n";
  if (!platform::WriteFileAtomic(file, out))
    return Fail("Cannot write \"" + std::string(file) + "\"");
  return {};
}

std::vector<OptionValue> ListOptions(const Options& options) {
  std::vector<OptionValue> list;
  for (const KeyDef& def : kKeys) {
    list.push_back(
        {def.key, def.kind == Kind::Flag ? (options.*def.flag ? 1 : 0) : options.*def.number});
  }
  return list;
}

}  // namespace qv
