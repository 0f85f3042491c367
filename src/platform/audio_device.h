#pragma once
// The sound system the audio table plays through: samples on mixer channels, one music track
// (module or stream) at a time, and three global volumes. The SDL back end mixes for real; the
// headless back end is silent and records every call.
//
// Handles are values 1..0x7FFFFFFF from one space: loaded samples, loaded music and streams,
// and the channels a sample play returns. 0 means "failed" or "none". Positions are in
// milliseconds from the start of the track or sample.
#include <cstdint>
#include <string_view>

namespace qv::platform {

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Opens the output device at the given mixing rate. True when sound can be played; calling
  // it again after success is harmless.
  virtual bool Init(int frequency) = 0;
  virtual bool Ready() const = 0;

  // Loaders take a host path and return a handle, or 0 when the file cannot be used.
  virtual std::uint32_t LoadSample(std::string_view host_path, bool loop) = 0;
  virtual std::uint32_t LoadModule(std::string_view host_path, bool loop) = 0;
  virtual std::uint32_t LoadStream(std::string_view host_path, bool loop) = 0;

  // Plays a sample on a free channel starting at start_ms; returns the channel, 0 when none.
  virtual std::uint32_t PlaySample(std::uint32_t sample, bool loop, std::uint64_t start_ms) = 0;
  // Module and stream playback from the start; a new track replaces the playing one.
  virtual bool PlayModule(std::uint32_t module, bool loop) = 0;
  virtual void SetModuleAmplify(std::uint32_t module, int amplify) = 0;  // 0..100
  virtual bool PlayStream(std::uint32_t stream, bool loop) = 0;

  // Stops a channel, a playing track, or every channel of a sample.
  virtual void Stop(std::uint32_t handle) = 0;
  virtual std::uint64_t GetPosition(std::uint32_t handle) = 0;
  virtual void SetPosition(std::uint32_t handle, std::uint64_t ms) = 0;
  // Jumps a playing module to the given order and row.
  virtual void JumpToOrder(std::uint32_t module, int order, int row) = 0;

  // Global volumes 0..100.
  virtual void SetSampleVolume(int volume) = 0;
  virtual void SetStreamVolume(int volume) = 0;
  virtual void SetModuleVolume(int volume) = 0;
};

}  // namespace qv::platform
