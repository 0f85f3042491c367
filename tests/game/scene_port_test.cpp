#include "game/scene_port.h"

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "game_fixture.h"
#include "platform/headless/recording_audio.h"
#include "support/audio_files.h"

namespace qv::test {
namespace {

// The scene's own objects are not part of these services.
class Services : public GameSceneServices {
 public:
  void SetAimRotation(Context&, double) override {}
  double BoardY(Context&) override { return 0; }
  void MoveBoard(Context&, double) override {}
  void SetSlotBar(Context&, int, double, int) override {}
  void SetSlotBarX(Context&, int, double) override {}
  void SetCursorVariant(Context&, int) override {}
  void ShowMountedRockets(Context&, int) override {}
  void OnMatch(Context&) override {}
};

TEST(GameSceneServicesTest, SamplesComeFromTheAudioTableAndGiveTheirChannel) {
  GameFolder folder;
  {
    std::filesystem::create_directories("sounds");
    std::ofstream("sounds/burning.wav", std::ios::binary)
        << testing_support::TestWave();
  }
  platform::RecordingAudioDevice device;
  Context ctx;
  ctx.platform.audio = &device;
  ctx.options.sound_volume = 13;
  ctx.clocks.app_active = true;
  ASSERT_TRUE(InitAudio(ctx));
  LoadAudioLine(ctx, "sample_burning_big_bomb, sounds\\burning.wav, loop");
  Services services;
  ctx.game.run.port = &services;

  ctx.game.play.channels.fuse = PlayGameSample(ctx, "sample_burning_big_bomb");
  EXPECT_GT(ctx.game.play.channels.fuse, 0);
  EXPECT_EQ(PlayGameSample(ctx, "sample_not_there"), -1);
  const auto channel = static_cast<std::uint32_t>(ctx.game.play.channels.fuse);
  StopGameChannel(ctx, ctx.game.play.channels.fuse);
  EXPECT_EQ(ctx.game.play.channels.fuse, -1);
  bool stopped = false;
  for (const auto& call : device.Calls()) stopped |= call.op == "stop" && call.handle == channel;
  EXPECT_TRUE(stopped);
}

}  // namespace
}  // namespace qv::test
