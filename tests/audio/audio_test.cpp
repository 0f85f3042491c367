#include "audio/audio.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "context.h"
#include "platform/files.h"
#include "platform/headless/recording_audio.h"
#include "support/alloc_counter.h"
#include "support/audio_files.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("qv_audio_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "music");
    fs::create_directories(dir_ / "sounds");
    old_ = fs::current_path();
    fs::current_path(dir_);
    Write("music/menu.xm", testing_support::TestXm("menu"));
    Write("music/arcade.xm", testing_support::TestXm("arcade"));
    Write("music/puzzle.ogg", testing_support::TestOgg());
    Write("sounds/hit.wav", testing_support::TestWave());
    Write("sounds/broken.wav", "not a wave file at all");
    ctx_.platform.audio = &device_;
    ctx_.options.music_volume = 13;
    ctx_.options.sound_volume = 13;
    ctx_.clocks.app_active = true;
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  void Write(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
  }
  void LoadStandard() {
    ASSERT_TRUE(InitAudio(ctx_));
    LoadAudioLine(ctx_, "music_menu, music\\menu.xm, loop");
    LoadAudioLine(ctx_, "music_arcade, music\\arcade.xm, loop");
    LoadAudioLine(ctx_, "music_puzzle, music\\puzzle.ogg, loop");
    LoadAudioLine(ctx_, "sample_hit, sounds\\hit.wav");
    ctx_.audio.music_on = true;
  }
  // Advances the frame clock by 100 ms and runs one music step.
  void Step() {
    ctx_.clocks.frame_clock += 100;
    MusicStep(ctx_);
  }
  int CountOps(const std::string& op, std::uint32_t handle) const {
    int n = 0;
    for (const auto& call : device_.Calls()) n += call.op == op && call.handle == handle;
    return n;
  }

  fs::path dir_, old_;
  platform::RecordingAudioDevice device_;
  Context ctx_;
};

TEST_F(AudioTest, KindFollowsExtensionAndMusicPrefix) {
  ASSERT_TRUE(InitAudio(ctx_));
  LoadAudioLine(ctx_, "music_menu, music\\menu.xm, loop");
  LoadAudioLine(ctx_, "music_puzzle, music\\puzzle.ogg");
  LoadAudioLine(ctx_, "sample_hit, sounds\\hit.wav, loop");
  LoadAudioLine(ctx_, "jingle, music\\arcade.xm");
  ASSERT_EQ(ctx_.audio.table.size(), 4u);
  EXPECT_EQ(ctx_.audio.table[0].kind, AudioKind::Module);
  EXPECT_TRUE(ctx_.audio.table[0].loop);
  EXPECT_EQ(ctx_.audio.table[0].ext, "xm");
  EXPECT_EQ(ctx_.audio.table[0].file, "music\\menu.xm");
  EXPECT_EQ(ctx_.audio.table[1].kind, AudioKind::Stream);
  EXPECT_FALSE(ctx_.audio.table[1].loop);
  EXPECT_EQ(ctx_.audio.table[2].kind, AudioKind::Sample);
  EXPECT_TRUE(ctx_.audio.table[2].loop);
  // Without the "music_" prefix a module file is a sample.
  EXPECT_EQ(ctx_.audio.table[3].kind, AudioKind::Sample);
  for (const auto& e : ctx_.audio.table) EXPECT_GT(e.handle, 0) << e.name;
  EXPECT_EQ(CountOps("load_module", static_cast<std::uint32_t>(ctx_.audio.table[0].handle)), 1);
}

TEST_F(AudioTest, FailedLoadKeepsSilentRecord) {
  ASSERT_TRUE(InitAudio(ctx_));
  LoadAudioLine(ctx_, "sample_broken, sounds\\broken.wav");
  LoadAudioLine(ctx_, "sample_missing, sounds\\missing.wav");
  LoadAudioLine(ctx_, "sample_hit, sounds\\hit.wav");
  ASSERT_EQ(ctx_.audio.table.size(), 3u);
  EXPECT_EQ(FindAudio(ctx_, "sample_broken"), 0);
  EXPECT_EQ(FindAudio(ctx_, "sample_missing"), 0);
  EXPECT_EQ(FindAudio(ctx_, "nothing"), -1);
  device_.ClearCalls();
  EXPECT_EQ(PlayAudio(ctx_, FindAudio(ctx_, "sample_missing")), 0);
  EXPECT_EQ(PlayAudio(ctx_, -1), 0);
  EXPECT_EQ(PlayAudio(ctx_, 12345), 0);
  EXPECT_TRUE(device_.Calls().empty());
  EXPECT_TRUE(ctx_.audio.played.empty());
  const int channel = PlayAudio(ctx_, FindAudio(ctx_, "sample_hit"));
  EXPECT_GT(channel, 0);
  ASSERT_EQ(ctx_.audio.played.size(), 1u);
  EXPECT_EQ(ctx_.audio.table[static_cast<std::size_t>(ctx_.audio.played[0])].name, "sample_hit");
  StopChannel(ctx_, channel);
  EXPECT_EQ(CountOps("stop", static_cast<std::uint32_t>(channel)), 1);
}

// A headless run plays samples for hours: the silent device's record keeps the latest calls in
// order, counts them all, and playing allocates nothing once the record is full.
TEST_F(AudioTest, SilentDeviceStaysBoundedOverManyPlays) {
  LoadStandard();
  const auto hit = FindAudio(ctx_, "sample_hit");
  constexpr int kMax = static_cast<int>(platform::RecordingAudioDevice::kMaxCalls);
  const std::uint64_t before = device_.TotalCalls();
  int last = 0;
  for (int i = 0; i < 2 * kMax; ++i) {
    const int channel = PlayAudio(ctx_, hit);
    ASSERT_GT(channel, last) << "every play gets a channel of its own";
    last = channel;
  }
  const long allocations = test::AllocationCount();
  for (int i = 0; i < 3 * kMax; ++i) last = PlayAudio(ctx_, hit);
  StopChannel(ctx_, last);
  EXPECT_EQ(test::AllocationCount(), allocations);
  EXPECT_EQ(device_.TotalCalls() - before, 5u * kMax + 1);
  const auto& calls = device_.Calls();
  ASSERT_LE(calls.size(), static_cast<std::size_t>(kMax));
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls.back().op, "stop");
  EXPECT_EQ(calls.back().handle, static_cast<std::uint32_t>(last));
  EXPECT_EQ(calls[calls.size() - 2].op, "play_sample");
  EXPECT_EQ(calls[calls.size() - 2].handle, static_cast<std::uint32_t>(hit));
}

TEST_F(AudioTest, FailedLoadsAreLoggedWithTheirReason) {
  ctx_.options.log_enabled = true;
  ASSERT_TRUE(InitAudio(ctx_));
  std::string zero = testing_support::TestWave();
  zero[22] = 0;  // no channels
  Write("music/puzzle.wav", zero);
  fs::create_directories("music/folder.xm");
  LoadAudioLine(ctx_, "music_puzzle, music\\puzzle.wav, loop");
  LoadAudioLine(ctx_, "music_menu, music\\folder.xm, loop");
  LoadAudioLine(ctx_, "sample_missing, sounds\\missing.wav");
  LoadAudioLine(ctx_, "sample_hit, sounds\\hit.wav");
  std::ifstream in("log.txt", std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(log.find("ERROR: audio_load_failed \"music\\puzzle.wav\": wave with 0 channels\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("ERROR: audio_load_failed \"music\\folder.xm\": not a regular file"),
            std::string::npos);
  EXPECT_NE(log.find("ERROR: audio_load_failed \"sounds\\missing.wav\": file not found"),
            std::string::npos);
  EXPECT_EQ(log.find("hit.wav"), std::string::npos);
  EXPECT_EQ(FindAudio(ctx_, "music_puzzle"), 0);
}

TEST_F(AudioTest, LoadsBeforeInitFailAndPlaysNeedAudio) {
  device_.fail_init = true;
  EXPECT_FALSE(InitAudio(ctx_));
  LoadAudioLine(ctx_, "sample_hit, sounds\\hit.wav");
  EXPECT_EQ(FindAudio(ctx_, "sample_hit"), 0);
  EXPECT_EQ(PlayAudio(ctx_, 1), 0);
}

TEST_F(AudioTest, ModulePlayIsAmplified) {
  LoadStandard();
  ctx_.options.music_amplify = 60;
  const auto menu = FindAudio(ctx_, "music_menu");
  EXPECT_EQ(PlayAudio(ctx_, menu), 0);
  EXPECT_EQ(device_.PlayingTrack(), static_cast<std::uint32_t>(menu));
  ASSERT_FALSE(device_.Calls().empty());
  EXPECT_EQ(device_.Calls().back().op, "amplify");
  EXPECT_EQ(device_.Calls().back().value, 60);
}

TEST_F(AudioTest, ChangeMusicFadesOutAndIn) {
  LoadStandard();
  const auto menu = FindAudio(ctx_, "music_menu");
  const auto arcade = FindAudio(ctx_, "music_arcade");
  ctx_.audio.current_music = arcade;
  PlayAudio(ctx_, arcade);
  ChangeMusic(ctx_, menu, 250, 250);
  std::vector<double> levels;
  std::vector<int> volumes;
  for (int i = 0; i < 8; ++i) {
    Step();
    levels.push_back(ctx_.audio.music_level);
    volumes.push_back(device_.ModuleVolume());
  }
  const std::vector<double> expected = {0.6, 0.2, 0.0, 0.4, 0.8, 1.0, 1.0, 1.0};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(levels[i], expected[i], 1e-9) << i;
  EXPECT_EQ(volumes[0], 60);
  EXPECT_EQ(volumes[1], 20);
  EXPECT_EQ(volumes[2], 0);
  EXPECT_EQ(volumes[5], 100);
  EXPECT_EQ(ctx_.audio.music_task, 0);
  EXPECT_EQ(ctx_.audio.current_music, menu);
  EXPECT_EQ(ctx_.audio.next_music, -1);
  EXPECT_EQ(device_.PlayingTrack(), static_cast<std::uint32_t>(menu));
  EXPECT_EQ(CountOps("stop", static_cast<std::uint32_t>(arcade)), 1);
  EXPECT_EQ(CountOps("set_position", static_cast<std::uint32_t>(menu)), 1);
}

TEST_F(AudioTest, ZeroFadeOutSwitchesAtFirstStep) {
  LoadStandard();
  const auto menu = FindAudio(ctx_, "music_menu");
  ChangeMusic(ctx_, menu, 0, 250);
  MusicStep(ctx_);  // not yet due
  EXPECT_EQ(ctx_.audio.music_task, 1);
  Step();
  EXPECT_EQ(ctx_.audio.music_task, 2);
  EXPECT_EQ(ctx_.audio.music_level, 0.0);
  EXPECT_EQ(device_.PlayingTrack(), static_cast<std::uint32_t>(menu));
}

TEST_F(AudioTest, ChangeToSilenceRaisesVolumeOfNoTrack) {
  LoadStandard();
  const auto menu = FindAudio(ctx_, "music_menu");
  ctx_.audio.current_music = menu;
  PlayAudio(ctx_, menu);
  ChangeMusic(ctx_, -1, 250, 250);
  for (int i = 0; i < 6; ++i) Step();
  EXPECT_EQ(ctx_.audio.current_music, -1);
  EXPECT_EQ(ctx_.audio.music_task, 0);
  EXPECT_EQ(ctx_.audio.music_level, 1.0);
  EXPECT_EQ(device_.PlayingTrack(), 0u);
}

TEST_F(AudioTest, MusicSystemOffIgnoresChanges) {
  LoadStandard();
  ctx_.audio.music_on = false;
  ChangeMusic(ctx_, FindAudio(ctx_, "music_menu"), 250, 250);
  Step();
  EXPECT_EQ(ctx_.audio.music_task, 0);
  EXPECT_EQ(ctx_.audio.current_music, -1);
}

TEST_F(AudioTest, AlternateStartJumpsArcadeToOrder12Only) {
  LoadStandard();
  const auto arcade = FindAudio(ctx_, "music_arcade");
  ctx_.audio.alternate_start = true;
  ChangeMusic(ctx_, arcade, 0, 100);
  Step();
  EXPECT_FALSE(ctx_.audio.alternate_start);
  ASSERT_EQ(CountOps("jump_to_order", static_cast<std::uint32_t>(arcade)), 1);
  for (const auto& call : device_.Calls()) {
    if (call.op == "jump_to_order") {
      EXPECT_EQ(call.value, 12 * 256);
    }
  }
  // Any other track clears the request and starts from the beginning.
  ctx_.audio.alternate_start = true;
  const auto puzzle = FindAudio(ctx_, "music_puzzle");
  ChangeMusic(ctx_, puzzle, 0, 100);
  Step();
  EXPECT_FALSE(ctx_.audio.alternate_start);
  EXPECT_EQ(CountOps("jump_to_order", static_cast<std::uint32_t>(puzzle)), 0);
  EXPECT_EQ(CountOps("set_position", static_cast<std::uint32_t>(puzzle)), 1);
}

TEST_F(AudioTest, LibraryVolumes) {
  EXPECT_EQ(MusicLibraryVolume(13, 1.0, 1.0), 100);
  EXPECT_EQ(MusicLibraryVolume(7, 1.0, 1.0), 54);
  EXPECT_EQ(MusicLibraryVolume(9, 1.0, 1.0), 69);
  EXPECT_EQ(MusicLibraryVolume(13, 0.5, 1.0), 50);
  EXPECT_EQ(MusicLibraryVolume(13, 1.0, 0.0), 0);
  EXPECT_EQ(SoundLibraryVolume(11, 1.0), 85);
  EXPECT_EQ(SoundLibraryVolume(11, 0.0), 0);
  LoadStandard();
  ctx_.options.music_volume = 7;
  ApplyMusicVolume(ctx_);
  EXPECT_EQ(device_.ModuleVolume(), 54);
  EXPECT_EQ(device_.StreamVolume(), 54);
}

TEST_F(AudioTest, SoundVolumeRetriesInitialisation) {
  device_.fail_init = true;
  EXPECT_FALSE(InitAudio(ctx_));
  ctx_.options.sound_volume = 0;
  ApplySoundVolume(ctx_);
  EXPECT_EQ(device_.InitAttempts(), 1);
  ctx_.options.sound_volume = 7;
  ApplySoundVolume(ctx_);
  EXPECT_EQ(device_.InitAttempts(), 2);
  EXPECT_FALSE(ctx_.audio.available);
  EXPECT_EQ(device_.SampleVolume(), -1);
  device_.fail_init = false;
  ApplySoundVolume(ctx_);
  EXPECT_TRUE(ctx_.audio.available);
  EXPECT_EQ(device_.SampleVolume(), 54);
}

TEST_F(AudioTest, DeactivateStopsMusicAndRestoreResumesWhereItStopped) {
  std::uint32_t now = 0;
  platform::RecordingAudioDevice timed([&now] { return now; });
  ctx_.platform.audio = &timed;
  LoadStandard();
  ctx_.options.log_enabled = true;
  const auto menu = FindAudio(ctx_, "music_menu");
  ctx_.audio.current_music = menu;
  PlayAudio(ctx_, menu);
  now = 3000;
  MuteOnDeactivate(ctx_);
  EXPECT_EQ(ctx_.audio.saved_position, 3000u);
  EXPECT_EQ(timed.PlayingTrack(), 0u);
  EXPECT_EQ(ctx_.audio.sound_gain, 0.0);
  EXPECT_EQ(timed.SampleVolume(), 0);
  EXPECT_EQ(timed.ModuleVolume(), 0);
  ctx_.clocks.app_active = false;
  now = 8000;
  ctx_.clocks.frame_clock = 8000;
  ResumeOnRestore(ctx_);
  EXPECT_EQ(timed.PlayingTrack(), static_cast<std::uint32_t>(menu));
  EXPECT_EQ(timed.GetPosition(static_cast<std::uint32_t>(menu)), 3000u);
  EXPECT_EQ(ctx_.audio.app_task, 4);
  MusicStep(ctx_);  // the restore fade completes at its first step
  EXPECT_EQ(ctx_.audio.app_task, 0);
  EXPECT_EQ(ctx_.audio.app_level, 1.0);
  EXPECT_EQ(timed.ModuleVolume(), 100);
  const auto log = platform::ReadWholeFile("log.txt");
  ASSERT_TRUE(log.has_value());
  EXPECT_NE(log->find("music_app_task: 4"), std::string::npos);
}

TEST_F(AudioTest, FadeInWaitsWhileInactive) {
  LoadStandard();
  ChangeMusic(ctx_, FindAudio(ctx_, "music_menu"), 100, 200);
  Step();
  EXPECT_EQ(ctx_.audio.music_task, 2);
  ctx_.clocks.app_active = false;
  Step();
  Step();
  EXPECT_EQ(ctx_.audio.music_level, 0.0);
  ctx_.clocks.app_active = true;
  Step();
  EXPECT_DOUBLE_EQ(ctx_.audio.music_level, 0.5);
  Step();
  EXPECT_EQ(ctx_.audio.music_task, 0);
}

}  // namespace
}  // namespace qv
