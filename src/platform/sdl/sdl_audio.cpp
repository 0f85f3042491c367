#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <variant>

#include "platform/audio_check.h"

namespace qv::platform {

namespace {

struct ChunkDeleter {
  void operator()(Mix_Chunk* chunk) const {
    if (chunk != nullptr) Mix_FreeChunk(chunk);
  }
};
struct MusicDeleter {
  void operator()(Mix_Music* music) const {
    if (music != nullptr) Mix_FreeMusic(music);
  }
};
using ChunkPtr = std::unique_ptr<Mix_Chunk, ChunkDeleter>;
using MusicPtr = std::unique_ptr<Mix_Music, MusicDeleter>;

constexpr int kChannels = 64;
// Channel handles carry a generation so a stale handle never stops a later sound that reused
// the mixer channel.
// Bit 30 marks a channel so handles stay positive as the game's int channel numbers.
constexpr std::uint32_t kChannelFlag = 0x40000000u;
constexpr std::uint32_t kGenerationMask = 0x3FFFFFu;

int ToMixVolume(int volume) {
  return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100;
}

class SdlAudioDevice final : public AudioDevice {
 public:
  ~SdlAudioDevice() override { Close(); }

  bool Init(int frequency) override {
    if (ready_) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    subsystem_ = true;
    Mix_Init(MIX_INIT_MOD | MIX_INIT_OGG | MIX_INIT_MP3);
    if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
      Close();
      return false;
    }
    Mix_AllocateChannels(kChannels);
    int freq = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq, &format, &channels);
    bytes_per_ms_ = static_cast<double>(freq) * channels * (SDL_AUDIO_BITSIZE(format) / 8) / 1000.0;
    frame_bytes_ = std::max(1, channels * (SDL_AUDIO_BITSIZE(format) / 8));
    ready_ = true;
    ApplyTrackVolume();
    Mix_MasterVolume(ToMixVolume(sample_volume_));
    return true;
  }

  bool Ready() const override { return ready_; }

  std::uint32_t LoadSample(std::string_view host_path, bool loop) override {
    if (!ready_ || !AudioFileProblem(host_path).empty()) return 0;
    ChunkPtr chunk(Mix_LoadWAV(std::string(host_path).c_str()));
    if (!chunk) return 0;
    const std::uint32_t handle = next_handle_++;
    items_.emplace(handle, Item{std::move(chunk), loop, false});
    return handle;
  }

  std::uint32_t LoadModule(std::string_view host_path, bool loop) override {
    return LoadTrack(host_path, loop, true);
  }
  std::uint32_t LoadStream(std::string_view host_path, bool loop) override {
    return LoadTrack(host_path, loop, false);
  }

  std::uint32_t PlaySample(std::uint32_t sample, bool loop, std::uint64_t start_ms) override {
    if (!ready_) return 0;
    const auto it = items_.find(sample);
    if (it == items_.end()) return 0;
    auto* chunk = std::get_if<ChunkPtr>(&it->second.data);
    if (chunk == nullptr) return 0;
    Mix_Chunk* play = chunk->get();
    ChunkPtr slice;
    if (start_ms > 0) {
      auto offset = static_cast<Uint32>(static_cast<double>(start_ms) * bytes_per_ms_);
      offset -= offset % static_cast<Uint32>(frame_bytes_);
      if (offset >= play->alen) return 0;
      // A view into the loaded sample; the chunk struct is ours, the buffer stays the sample's.
      slice.reset(Mix_QuickLoad_RAW(play->abuf + offset, play->alen - offset));
      if (!slice) return 0;
      slice->volume = play->volume;
      play = slice.get();
    }
    const int ch = Mix_PlayChannel(-1, play, loop ? -1 : 0);
    if (ch < 0 || ch >= kChannels) return 0;
    Channel& c = channels_[static_cast<std::size_t>(ch)];
    c.generation = (c.generation + 1) & kGenerationMask;
    c.sample = sample;
    c.slice = std::move(slice);
    c.started = SDL_GetTicks();
    c.offset = start_ms;
    return kChannelFlag | (c.generation << 8) | static_cast<std::uint32_t>(ch);
  }

  bool PlayModule(std::uint32_t module, bool loop) override {
    return PlayTrack(module, loop, true);
  }
  bool PlayStream(std::uint32_t stream, bool loop) override {
    return PlayTrack(stream, loop, false);
  }

  void SetModuleAmplify(std::uint32_t module, int amplify) override {
    const auto it = items_.find(module);
    if (it == items_.end() || !it->second.module) return;
    it->second.amplify = std::clamp(amplify, 0, 100);
    if (module == track_) ApplyTrackVolume();
  }

  void Stop(std::uint32_t handle) override {
    if (!ready_ || handle == 0) return;
    if ((handle & kChannelFlag) != 0) {
      const int ch = LiveChannel(handle);
      if (ch >= 0) Mix_HaltChannel(ch);
      return;
    }
    if (handle == track_) {
      Mix_HaltMusic();
      track_ = 0;
      return;
    }
    // A sample handle stops every channel it plays on.
    const auto it = items_.find(handle);
    if (it == items_.end() || !std::holds_alternative<ChunkPtr>(it->second.data)) return;
    for (int ch = 0; ch < kChannels; ++ch) {
      if (channels_[static_cast<std::size_t>(ch)].sample == handle && Mix_Playing(ch) != 0) {
        Mix_HaltChannel(ch);
      }
    }
  }

  std::uint64_t GetPosition(std::uint32_t handle) override {
    if (!ready_ || handle == 0) return 0;
    if ((handle & kChannelFlag) != 0) {
      const int ch = LiveChannel(handle);
      if (ch < 0 || Mix_Playing(ch) == 0) return 0;
      const Channel& c = channels_[static_cast<std::size_t>(ch)];
      return c.offset + (SDL_GetTicks() - c.started);
    }
    if (handle != track_) return 0;
    const auto it = items_.find(handle);
    if (it == items_.end()) return 0;
    auto* music = std::get_if<MusicPtr>(&it->second.data);
    const double seconds = music != nullptr ? Mix_GetMusicPosition(music->get()) : -1.0;
    if (seconds >= 0.0) return static_cast<std::uint64_t>(seconds * 1000.0);
    return track_offset_ + (SDL_GetTicks() - track_started_);
  }

  void SetPosition(std::uint32_t handle, std::uint64_t ms) override {
    if (!ready_ || handle == 0 || handle != track_) return;
    if (Mix_SetMusicPosition(static_cast<double>(ms) / 1000.0) == 0) {
      track_started_ = SDL_GetTicks();
      track_offset_ = ms;
    }
  }

  void JumpToOrder(std::uint32_t module, int order, int /*row*/) override {
    if (!ready_ || module == 0 || module != track_) return;
    Mix_ModMusicJumpToOrder(order);
  }

  void SetSampleVolume(int volume) override {
    sample_volume_ = volume;
    if (ready_) Mix_MasterVolume(ToMixVolume(volume));
  }
  void SetStreamVolume(int volume) override {
    stream_volume_ = volume;
    ApplyTrackVolume();
  }
  void SetModuleVolume(int volume) override {
    module_volume_ = volume;
    ApplyTrackVolume();
  }

 private:
  struct Item {
    std::variant<ChunkPtr, MusicPtr> data;
    bool loop = false;
    bool module = false;
    int amplify = 50;
  };
  struct Channel {
    std::uint32_t generation = 0;
    std::uint32_t sample = 0;
    ChunkPtr slice;
    Uint32 started = 0;
    std::uint64_t offset = 0;
  };

  std::uint32_t LoadTrack(std::string_view host_path, bool loop, bool module) {
    if (!ready_ || !AudioFileProblem(host_path).empty()) return 0;
    MusicPtr music(Mix_LoadMUS(std::string(host_path).c_str()));
    if (!music) return 0;
    const std::uint32_t handle = next_handle_++;
    Item item{std::move(music), loop, module};
    items_.emplace(handle, std::move(item));
    return handle;
  }

  bool PlayTrack(std::uint32_t handle, bool loop, bool module) {
    if (!ready_) return false;
    const auto it = items_.find(handle);
    if (it == items_.end() || it->second.module != module) return false;
    auto* music = std::get_if<MusicPtr>(&it->second.data);
    if (music == nullptr) return false;
    if (Mix_PlayMusic(music->get(), loop ? -1 : 1) != 0) return false;
    track_ = handle;
    track_started_ = SDL_GetTicks();
    track_offset_ = 0;
    ApplyTrackVolume();
    return true;
  }

  // Modules and streams share the one music voice; it takes the volume of what is playing.
  // Module amplification scales around the game's default of 75.
  void ApplyTrackVolume() {
    if (!ready_) return;
    int volume = stream_volume_;
    const auto it = items_.find(track_);
    if (it != items_.end() && it->second.module) {
      volume = std::min(100, module_volume_ * it->second.amplify / 75);
    }
    Mix_VolumeMusic(ToMixVolume(volume));
  }

  int LiveChannel(std::uint32_t handle) const {
    const auto ch = static_cast<int>(handle & 0xFFu);
    if (ch >= kChannels) return -1;
    if (channels_[static_cast<std::size_t>(ch)].generation != ((handle >> 8) & kGenerationMask))
      return -1;
    return ch;
  }

  void Close() {
    if (ready_) {
      Mix_HaltChannel(-1);
      Mix_HaltMusic();
    }
    for (Channel& c : channels_) c.slice.reset();
    items_.clear();
    if (ready_) Mix_CloseAudio();
    ready_ = false;
    track_ = 0;
    if (subsystem_) {
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      subsystem_ = false;
    }
  }

  bool ready_ = false;
  bool subsystem_ = false;
  double bytes_per_ms_ = 0.0;
  int frame_bytes_ = 1;
  std::uint32_t next_handle_ = 1;
  std::unordered_map<std::uint32_t, Item> items_;
  std::array<Channel, kChannels> channels_{};
  std::uint32_t track_ = 0;
  Uint32 track_started_ = 0;
  std::uint64_t track_offset_ = 0;
  int sample_volume_ = 100;
  int stream_volume_ = 100;
  int module_volume_ = 100;
};

}  // namespace

std::unique_ptr<AudioDevice> CreateSdlAudioDevice() {
  return std::make_unique<SdlAudioDevice>();
}

}  // namespace qv::platform
