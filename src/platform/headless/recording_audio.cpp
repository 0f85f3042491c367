#include "platform/headless/recording_audio.h"

#include <algorithm>

#include "platform/audio_check.h"

namespace qv::platform {

RecordingAudioDevice::RecordingAudioDevice(std::function<std::uint32_t()> ticks)
    : ticks_(std::move(ticks)) {}

// op is always a string literal, so the record holds no copies of it. The capacity is taken
// once, so recording allocates nothing.
void RecordingAudioDevice::Record(std::string_view op, std::uint32_t handle, std::int64_t value) {
  ++total_calls_;
  if (calls_.capacity() < kMaxCalls) calls_.reserve(kMaxCalls);
  if (calls_.size() >= kMaxCalls) {
    calls_.erase(calls_.begin(), calls_.begin() + static_cast<std::ptrdiff_t>(kMaxCalls / 2));
  }
  calls_.push_back(Call{op, handle, value});
}

bool RecordingAudioDevice::Init(int frequency) {
  ++init_attempts_;
  Record("init", 0, frequency);
  if (!fail_init) ready_ = true;
  return ready_;
}

std::uint32_t RecordingAudioDevice::Load(Kind kind, std::string_view op, std::string_view host_path,
                                         bool loop) {
  std::uint32_t handle = 0;
  if (ready_ && AudioFileProblem(host_path).empty()) {
    handle = next_handle_++;
    items_[handle] = Item{kind, loop};
  }
  Record(op, handle, loop ? 1 : 0);
  return handle;
}

std::uint32_t RecordingAudioDevice::LoadSample(std::string_view host_path, bool loop) {
  return Load(Kind::Sample, "load_sample", host_path, loop);
}
std::uint32_t RecordingAudioDevice::LoadModule(std::string_view host_path, bool loop) {
  return Load(Kind::Module, "load_module", host_path, loop);
}
std::uint32_t RecordingAudioDevice::LoadStream(std::string_view host_path, bool loop) {
  return Load(Kind::Stream, "load_stream", host_path, loop);
}

std::uint32_t RecordingAudioDevice::PlaySample(std::uint32_t sample, bool /*loop*/,
                                               std::uint64_t start_ms) {
  const auto it = items_.find(sample);
  std::uint32_t channel = 0;
  // A channel is only a fresh handle: nothing asks about it later but Stop, which needs no
  // entry, so a long run of plays adds nothing here.
  if (ready_ && it != items_.end() && it->second.kind == Kind::Sample) channel = next_handle_++;
  Record("play_sample", sample, static_cast<std::int64_t>(start_ms));
  return channel;
}

bool RecordingAudioDevice::PlayTrack(Kind kind, std::string_view op, std::uint32_t handle,
                                     bool loop) {
  const auto it = items_.find(handle);
  const bool ok = ready_ && it != items_.end() && it->second.kind == kind;
  Record(op, handle, loop ? 1 : 0);
  if (!ok) return false;
  track_ = handle;
  track_started_ = Now();
  track_offset_ = 0;
  return true;
}

bool RecordingAudioDevice::PlayModule(std::uint32_t module, bool loop) {
  return PlayTrack(Kind::Module, "play_module", module, loop);
}
bool RecordingAudioDevice::PlayStream(std::uint32_t stream, bool loop) {
  return PlayTrack(Kind::Stream, "play_stream", stream, loop);
}

void RecordingAudioDevice::SetModuleAmplify(std::uint32_t module, int amplify) {
  Record("amplify", module, amplify);
}

void RecordingAudioDevice::Stop(std::uint32_t handle) {
  Record("stop", handle, 0);
  if (handle != 0 && handle == track_) track_ = 0;
}

std::uint64_t RecordingAudioDevice::GetPosition(std::uint32_t handle) {
  if (handle == 0 || handle != track_) return 0;
  return track_offset_ + (Now() - track_started_);
}

void RecordingAudioDevice::SetPosition(std::uint32_t handle, std::uint64_t ms) {
  Record("set_position", handle, static_cast<std::int64_t>(ms));
  if (handle != 0 && handle == track_) {
    track_started_ = Now();
    track_offset_ = ms;
  }
}

void RecordingAudioDevice::JumpToOrder(std::uint32_t module, int order, int row) {
  Record("jump_to_order", module, static_cast<std::int64_t>(order) * 256 + row);
}

void RecordingAudioDevice::SetSampleVolume(int volume) {
  sample_volume_ = std::clamp(volume, 0, 100);
  Record("sample_volume", 0, volume);
}
void RecordingAudioDevice::SetStreamVolume(int volume) {
  stream_volume_ = std::clamp(volume, 0, 100);
  Record("stream_volume", 0, volume);
}
void RecordingAudioDevice::SetModuleVolume(int volume) {
  module_volume_ = std::clamp(volume, 0, 100);
  Record("module_volume", 0, volume);
}

}  // namespace qv::platform
