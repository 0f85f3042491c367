// Every sample and music track loads and plays through SDL2_mixer.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "pack_files.h"
#include "platform/audio_check.h"

namespace qv::pack_check {
namespace {

class PackAudio : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ok_ = SDL_Init(SDL_INIT_AUDIO) == 0 && Mix_Init(MIX_INIT_MOD) != 0 &&
          Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
  }
  static void TearDownTestSuite() {
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
  }
  static bool ok_;
};
bool PackAudio::ok_ = false;

std::vector<std::pair<std::string, std::string>> Entries(const std::string& list) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const std::string& line : Counted(list)) {
    const auto f = Split(line, ',');
    out.push_back({Trim(f[0]), Trim(f[1])});
  }
  return out;
}

// The header check both sound back ends make before decoding passes every file of the pack.
TEST(PackAudioCheck, EveryAudioFilePassesTheHeaderCheck) {
  for (const char* list : {"sound.ini", "music.ini"}) {
    for (const auto& [name, file] : Entries(list)) {
      EXPECT_EQ(platform::AudioFileProblem(Host(file).string()), "") << name;
    }
  }
}

TEST_F(PackAudio, EverySampleLoads) {
  ASSERT_TRUE(ok_) << SDL_GetError();
  const auto entries = Entries("sound.ini");
  ASSERT_EQ(entries.size(), 35u);
  for (const auto& [name, file] : entries) {
    Mix_Chunk* chunk = Mix_LoadWAV(Host(file).c_str());
    ASSERT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    // Long enough to be heard, short enough for an effect.
    const double seconds = chunk->alen / (44100.0 * 4);
    EXPECT_GT(seconds, 0.03) << name;
    EXPECT_LT(seconds, 2.5) << name;
    EXPECT_NE(Mix_PlayChannel(-1, chunk, 0), -1) << name;
    Mix_HaltChannel(-1);
    Mix_FreeChunk(chunk);
  }
}

TEST_F(PackAudio, EveryMusicTrackLoadsAndTheArcadeTrackHasItsAlternateStart) {
  ASSERT_TRUE(ok_) << SDL_GetError();
  const auto entries = Entries("music.ini");
  ASSERT_EQ(entries.size(), 3u);
  bool module = false, stream = false;
  for (const auto& [name, file] : entries) {
    Mix_Music* music = Mix_LoadMUS(Host(file).c_str());
    ASSERT_NE(music, nullptr) << name << ": " << Mix_GetError();
    const Mix_MusicType type = Mix_GetMusicType(music);
    module |= type == MUS_MOD;
    stream |= type == MUS_WAV || type == MUS_OGG;
    EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << name;
    if (name == "music_arcade") {
      ASSERT_EQ(type, MUS_MOD);
      EXPECT_EQ(Mix_SetMusicPosition(12.0), 0) << Mix_GetError();
      // The module's own header: at least 13 orders, and order 12 is not a repeat of order 0.
      const std::string b = Read(file);
      const int orders =
          static_cast<unsigned char>(b[64]) | (static_cast<unsigned char>(b[65]) << 8);
      EXPECT_GE(orders, 13);
      EXPECT_NE(b[80 + 12], b[80 + 0]);
    }
    Mix_HaltMusic();
    Mix_FreeMusic(music);
  }
  EXPECT_TRUE(module);
  EXPECT_TRUE(stream);
}

TEST(PackAudioFiles, SamplesArePcmWavesAndLoopsJoinSmoothly) {
  for (const auto& [name, file] : Entries("sound.ini")) {
    const std::string b = Read(file);
    ASSERT_GE(b.size(), 44u) << name;
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(b.substr(8, 4), "WAVE");
    EXPECT_EQ(static_cast<unsigned char>(b[20]), 1) << name << " is not PCM";
    EXPECT_EQ(static_cast<unsigned char>(b[34]), 16) << name;
    if (name != "sample_burning_big_bomb" && name != "sample_balls_down" &&
        name != "sample_balls_up")
      continue;
    // Seamless: the jump from the last sample to the first is no bigger than typical steps.
    const int16_t* s = reinterpret_cast<const int16_t*>(b.data() + 44);
    const size_t n = (b.size() - 44) / 2;
    double typical = 0;
    for (size_t i = 1; i < n; ++i) typical += std::abs(s[i] - s[i - 1]);
    typical /= static_cast<double>(n - 1);
    EXPECT_LE(std::abs(s[0] - s[n - 1]), 6 * typical + 64) << name;
  }
}

}  // namespace
}  // namespace qv::pack_check
