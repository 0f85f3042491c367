#include "audio/audio.h"

#include <algorithm>
#include <limits>

#include "base/log.h"
#include "base/resource_line.h"
#include "base/round.h"
#include "base/text_util.h"
#include "audio/audio_world.h"
#include "platform/audio_check.h"
#include "platform/audio_device.h"
#include "platform/files.h"

namespace qv {

namespace {

constexpr int kMixFrequency = 44100;

platform::AudioDevice* Device(AudioWorld& ctx) {
  return ctx.audio.available ? ctx.platform.audio : nullptr;
}

std::uint32_t LibraryHandle(std::int64_t handle) {
  return static_cast<std::uint32_t>(handle & 0xFFFFFFFF);
}

// Handle 0 is what every failed load keeps, so it never names a playable entry.
const AudioEntry* FindEntry(const AudioWorld& ctx, std::int64_t handle) {
  if (handle <= 0) return nullptr;
  for (const AudioEntry& entry : ctx.audio.table) {
    if (entry.handle == handle) return &entry;
  }
  return nullptr;
}

void NotePlayed(AudioWorld& ctx, const AudioEntry& entry) {
  // The dump drains this list; a run without dumps keeps only the most recent plays. The
  // capacity is taken once, so playing allocates nothing.
  constexpr std::size_t kMaxPlayed = 4096;
  std::vector<int>& played = ctx.audio.played;
  if (played.capacity() < kMaxPlayed) played.reserve(kMaxPlayed);
  if (played.size() >= kMaxPlayed) {
    played.erase(played.begin(), played.begin() + kMaxPlayed / 2);
  }
  played.push_back(static_cast<int>(&entry - ctx.audio.table.data()));
}

// Starts an entry from its beginning; a sample returns its channel.
int StartEntry(AudioWorld& ctx, const AudioEntry& entry, std::uint64_t sample_start) {
  platform::AudioDevice* device = Device(ctx);
  if (device == nullptr) return 0;
  const std::uint32_t handle = LibraryHandle(entry.handle);
  NotePlayed(ctx, entry);
  switch (entry.kind) {
    case AudioKind::Sample: {
      const std::uint32_t channel = device->PlaySample(handle, entry.loop, sample_start);
      return static_cast<int>(channel & 0x7FFFFFFFu);
    }
    case AudioKind::Module:
      device->PlayModule(handle, entry.loop);
      return 0;
    case AudioKind::Stream:
      device->PlayStream(handle, entry.loop);
      return 0;
  }
  return 0;
}

}  // namespace

bool IsAudioExtension(std::string_view ext) {
  return ext == "ogg" || ext == "mp3" || ext == "wav" || ext == "xm" || ext == "s3m" ||
         ext == "mo3";
}

int MusicLibraryVolume(int music_volume, double music_level, double app_level) {
  return RoundEven(music_volume * 100.0 * music_level * app_level / 13.0);
}

int SoundLibraryVolume(int sound_volume, double gain) {
  return RoundEven(sound_volume * gain * 100.0 / 13.0);
}

bool InitAudio(AudioWorld& ctx) {
  ctx.audio.available = ctx.platform.audio != nullptr && ctx.platform.audio->Init(kMixFrequency);
  return ctx.audio.available;
}

void LoadAudioLine(AudioWorld& ctx, std::string_view line) {
  const ResourceLine res = ParseResourceLine(line);
  AudioEntry entry;
  // A bare path names itself, so it can still be found.
  entry.name = res.name.empty() ? res.path : res.name;
  entry.file = res.path;
  entry.ext = res.ext;
  entry.loop = res.loop;
  const bool music = line.substr(0, 6) == "music_";
  if (music && (res.ext == "ogg" || res.ext == "mp3" || res.ext == "wav")) {
    entry.kind = AudioKind::Stream;
  } else if (music && (res.ext == "xm" || res.ext == "s3m" || res.ext == "mo3")) {
    entry.kind = AudioKind::Module;
  } else {
    entry.kind = AudioKind::Sample;
  }
  if (ctx.platform.audio != nullptr) {
    const std::string host = platform::HostPath(entry.file);
    platform::AudioDevice& device = *ctx.platform.audio;
    std::uint32_t handle = 0;
    switch (entry.kind) {
      case AudioKind::Sample:
        handle = device.LoadSample(host, entry.loop);
        break;
      case AudioKind::Module:
        handle = device.LoadModule(host, entry.loop);
        break;
      case AudioKind::Stream:
        handle = device.LoadStream(host, entry.loop);
        break;
    }
    entry.handle = handle;
    // Without an open device nothing was tried, so there is nothing to report per entry.
    if (handle == 0 && device.Ready()) {
      std::string why = platform::AudioFileProblem(host);
      if (why.empty()) why = "the sound system refused it";
      WriteLog(ctx, "ERROR: audio_load_failed \"" + entry.file + "\": " + why);
    }
  }
  ctx.audio.table.push_back(std::move(entry));
}

std::int64_t FindAudio(const AudioWorld& ctx, std::string_view name) {
  for (const AudioEntry& entry : ctx.audio.table) {
    if (entry.name == name) return entry.handle;
  }
  return -1;
}

int PlayAudio(AudioWorld& ctx, std::int64_t handle) {
  if (!ctx.audio.available) return 0;
  const AudioEntry* entry = FindEntry(ctx, handle);
  if (entry == nullptr) return 0;
  const int channel = StartEntry(ctx, *entry, 0);
  if (entry->kind == AudioKind::Module) {
    ctx.platform.audio->SetModuleAmplify(LibraryHandle(handle), ctx.options.music_amplify);
  }
  return channel;
}

int PlaySample(AudioWorld& ctx, std::string_view name) {
  const std::int64_t handle = FindAudio(ctx, name);
  if (handle < 0) return -1;
  const int channel = PlayAudio(ctx, handle);
  return channel > 0 ? channel : -1;  // PlayAudio's 0 means nothing plays
}

void PlayAudioFrom(AudioWorld& ctx, std::uint64_t position, std::int64_t handle) {
  if (!ctx.audio.available) return;
  const AudioEntry* entry = FindEntry(ctx, handle);
  if (entry == nullptr) return;
  if (entry->kind == AudioKind::Sample) {
    StartEntry(ctx, *entry, position);
    return;
  }
  StartEntry(ctx, *entry, 0);
  ctx.platform.audio->SetPosition(LibraryHandle(handle), position);
}

void StopChannel(AudioWorld& ctx, std::int64_t channel) {
  platform::AudioDevice* device = Device(ctx);
  if (device == nullptr || channel <= 0) return;
  device->Stop(LibraryHandle(channel));
}

void ApplyMusicVolume(AudioWorld& ctx) {
  platform::AudioDevice* device = Device(ctx);
  if (device == nullptr) return;
  const int v = MusicLibraryVolume(ctx.options.music_volume, ctx.audio.music_level,
                                   ctx.audio.app_level);
  device->SetStreamVolume(v);
  device->SetModuleVolume(v);
}

void ApplySoundVolume(AudioWorld& ctx) {
  if (ctx.options.sound_volume > 0 && !ctx.audio.available) InitAudio(ctx);
  platform::AudioDevice* device = Device(ctx);
  if (device == nullptr) return;
  device->SetSampleVolume(SoundLibraryVolume(ctx.options.sound_volume, ctx.audio.sound_gain));
}

void ChangeMusic(AudioWorld& ctx, std::int64_t handle, int out_ms, int in_ms) {
  AudioState& a = ctx.audio;
  if (!a.music_on) return;
  a.music_task = 1;
  a.next_music = handle;
  a.fade_in_ms = in_ms;
  a.next_music_step = ctx.clocks.frame_clock + a.step_interval;
  // 0 ms switches at the first step.
  a.fade_out_step = out_ms > 0 ? 100.0 / out_ms : std::numeric_limits<double>::infinity();
}

void MusicStep(AudioWorld& ctx) {
  AudioState& a = ctx.audio;
  if (!a.music_on) return;
  const std::uint32_t now = ctx.clocks.frame_clock;
  if (a.music_task == 1 && now >= a.next_music_step) {
    a.music_level = std::max(0.0, a.music_level - a.fade_out_step);
    ApplyMusicVolume(ctx);
    a.next_music_step = now + a.step_interval;
    if (a.music_level <= 0.0) {
      a.music_level = 0.0;
      a.music_task = 2;
      if (a.current_music != -1) StopChannel(ctx, a.current_music);
      a.current_music = a.next_music;
      a.next_music = -1;
      a.fade_in_step =
          a.fade_in_ms > 0 ? 100.0 / a.fade_in_ms : std::numeric_limits<double>::infinity();
      if (a.current_music != -1) {
        PlayAudio(ctx, a.current_music);
        if (a.current_music != FindAudio(ctx, "music_arcade")) a.alternate_start = false;
        platform::AudioDevice* device = Device(ctx);
        const std::uint32_t lib = LibraryHandle(a.current_music);
        if (a.alternate_start) {
          if (device != nullptr) device->JumpToOrder(lib, 12, 0);
          a.alternate_start = false;
        } else if (device != nullptr) {
          device->SetPosition(lib, 0);
        }
      }
      ApplyMusicVolume(ctx);
    }
  } else if (a.music_task == 2 && ctx.clocks.app_active && now >= a.next_music_step) {
    a.music_level = std::min(1.0, a.music_level + a.fade_in_step);
    ApplyMusicVolume(ctx);
    a.next_music_step = now + a.step_interval;
    if (a.music_level >= 1.0) {
      a.music_level = 1.0;
      a.music_task = 0;
    }
  }
  if (a.app_task != 0) WriteLog(ctx, "music_app_task: " + std::to_string(a.app_task));
  if (a.app_task == 4 && now >= a.next_app_step) {
    a.app_level = std::min(1.0, a.app_level + a.app_fade_in_step);
    ApplyMusicVolume(ctx);
    a.next_app_step = now + a.step_interval;
    if (a.app_level >= 1.0) {
      a.app_level = 1.0;
      a.app_task = 0;
    }
  }
}

void MuteOnDeactivate(AudioWorld& ctx) {
  AudioState& a = ctx.audio;
  if (a.music_on) {
    a.app_level = 0.0;
    a.app_task = 0;
    if (a.current_music != -1) {
      platform::AudioDevice* device = Device(ctx);
      if (device != nullptr) {
        a.saved_position = device->GetPosition(LibraryHandle(a.current_music));
      }
      StopChannel(ctx, a.current_music);
    }
    ApplyMusicVolume(ctx);
  }
  a.sound_gain = 0.0;
  if (a.available) ApplySoundVolume(ctx);
}

void ResumeOnRestore(AudioWorld& ctx) {
  AudioState& a = ctx.audio;
  a.next_app_step = ctx.clocks.frame_clock;
  a.app_fade_in_step = 100.0;
  if (a.music_on) {
    if (a.current_music != -1) PlayAudioFrom(ctx, a.saved_position, a.current_music);
    a.app_task = 4;
  }
}

void PlayHoverSound(AudioWorld& ctx) {
  PlaySample(ctx, "sample_mouse_over_button");
}

void PlayPressSound(AudioWorld& ctx) {
  PlaySample(ctx, "sample_mouse_down_button");
}

void RestoreSoundGain(AudioWorld& ctx) {
  if (ctx.audio.sound_gain != 0.0) return;
  ctx.audio.sound_gain = 1.0;
  if (ctx.audio.available) ApplySoundVolume(ctx);
}

void MusicSystemOn(AudioWorld& ctx) {
  ctx.audio.music_on = true;
}

}  // namespace qv
