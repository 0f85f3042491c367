#include "platform/sdl/sdl_audio.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace qv::platform {
namespace {

namespace fs = std::filesystem;

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& s, std::uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}

// One second of a 16-bit mono 22 050 Hz square wave.
std::string MakeWave() {
  const std::uint32_t rate = 22050;
  const std::uint32_t samples = rate;
  std::string s = "RIFF";
  Put32(s, 36 + samples * 2);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, 1);
  Put16(s, 1);
  Put32(s, rate);
  Put32(s, rate * 2);
  Put16(s, 2);
  Put16(s, 16);
  s += "data";
  Put32(s, samples * 2);
  for (std::uint32_t i = 0; i < samples; ++i) Put16(s, (i / 50) % 2 ? 0x2000 : 0xE000);
  return s;
}

TEST(SdlAudio, PlaysSamplesAndStreamsOnTheDummyDriver) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  const fs::path dir = fs::temp_directory_path() / ("qv_sdl_audio_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string wave = (dir / "tone.wav").string();
  std::ofstream(wave, std::ios::binary) << MakeWave();
  const std::string junk = (dir / "junk.wav").string();
  std::ofstream(junk, std::ios::binary) << "junk";

  auto device = CreateSdlAudioDevice();
  EXPECT_EQ(device->LoadSample(wave, false), 0u) << "loading needs an open device";
  ASSERT_TRUE(device->Init(44100));
  EXPECT_TRUE(device->Ready());
  EXPECT_EQ(device->LoadSample(junk, false), 0u);
  const std::uint32_t sample = device->LoadSample(wave, false);
  ASSERT_NE(sample, 0u);
  const std::uint32_t a = device->PlaySample(sample, true, 0);
  const std::uint32_t b = device->PlaySample(sample, false, 500);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_LT(a, 0x80000000u);
  EXPECT_GE(device->GetPosition(b), 500u);
  EXPECT_EQ(device->PlaySample(sample, false, 5000), 0u) << "start beyond the end";
  device->Stop(a);
  device->Stop(a);  // a stale channel handle is harmless

  const std::uint32_t stream = device->LoadStream(wave, true);
  ASSERT_NE(stream, 0u);
  EXPECT_FALSE(device->PlayModule(stream, true)) << "a stream is not a module";
  EXPECT_TRUE(device->PlayStream(stream, true));
  device->SetPosition(stream, 250);
  device->SetStreamVolume(54);
  device->SetSampleVolume(0);
  device->Stop(stream);
  EXPECT_EQ(device->GetPosition(stream), 0u);
  device.reset();
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qv::platform
