#pragma once
// A silent sound system for tests and headless runs: it checks that files exist and look like
// their format, hands out handles like a real mixer and records its calls in order. Its memory
// stays bounded however long a run plays: channels are not kept (a real mixer reuses its few)
// and the record keeps the most recent calls only.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/audio_device.h"

namespace qv::platform {

class RecordingAudioDevice final : public AudioDevice {
 public:
  struct Call {
    std::string_view op;  // "init", "load_sample", "play_sample", "play_module", "stop", ...
    std::uint32_t handle = 0;
    std::int64_t value = 0;
  };
  enum class Kind : std::uint8_t { Sample, Module, Stream };
  // The record keeps at most this many calls; when full, the older half goes.
  static constexpr std::size_t kMaxCalls = 4096;

  // ticks gives the time in ms that positions of playing tracks advance with.
  explicit RecordingAudioDevice(std::function<std::uint32_t()> ticks = {});

  bool Init(int frequency) override;
  bool Ready() const override { return ready_; }
  std::uint32_t LoadSample(std::string_view host_path, bool loop) override;
  std::uint32_t LoadModule(std::string_view host_path, bool loop) override;
  std::uint32_t LoadStream(std::string_view host_path, bool loop) override;
  std::uint32_t PlaySample(std::uint32_t sample, bool loop, std::uint64_t start_ms) override;
  bool PlayModule(std::uint32_t module, bool loop) override;
  void SetModuleAmplify(std::uint32_t module, int amplify) override;
  bool PlayStream(std::uint32_t stream, bool loop) override;
  void Stop(std::uint32_t handle) override;
  std::uint64_t GetPosition(std::uint32_t handle) override;
  void SetPosition(std::uint32_t handle, std::uint64_t ms) override;
  void JumpToOrder(std::uint32_t module, int order, int row) override;
  void SetSampleVolume(int volume) override;
  void SetStreamVolume(int volume) override;
  void SetModuleVolume(int volume) override;

  // Test controls and observations.
  bool fail_init = false;
  // The most recent calls, oldest first (all of them in any short test).
  const std::vector<Call>& Calls() const { return calls_; }
  // Every call made since construction, including those the record has let go.
  std::uint64_t TotalCalls() const { return total_calls_; }
  void ClearCalls() { calls_.clear(); }
  std::uint32_t PlayingTrack() const { return track_; }
  int SampleVolume() const { return sample_volume_; }
  int StreamVolume() const { return stream_volume_; }
  int ModuleVolume() const { return module_volume_; }
  int InitAttempts() const { return init_attempts_; }

 private:
  struct Item {
    Kind kind;
    bool loop;
  };
  std::uint32_t Load(Kind kind, std::string_view op, std::string_view host_path, bool loop);
  bool PlayTrack(Kind kind, std::string_view op, std::uint32_t handle, bool loop);
  void Record(std::string_view op, std::uint32_t handle, std::int64_t value);
  std::uint32_t Now() const { return ticks_ ? ticks_() : 0; }

  std::function<std::uint32_t()> ticks_;
  bool ready_ = false;
  int init_attempts_ = 0;
  std::uint32_t next_handle_ = 1;
  std::unordered_map<std::uint32_t, Item> items_;
  std::uint32_t track_ = 0;  // playing module or stream, 0 none
  std::uint32_t track_started_ = 0;
  std::uint64_t track_offset_ = 0;
  int sample_volume_ = -1;
  int stream_volume_ = -1;
  int module_volume_ = -1;
  std::vector<Call> calls_;
  std::uint64_t total_calls_ = 0;
};

}  // namespace qv::platform
