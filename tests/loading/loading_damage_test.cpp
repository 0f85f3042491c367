// The loading set-up and the loading screen with damaged content: long lists stay fast, an
// entry whose loader throws is skipped with a log line, and the set-up never runs twice.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>

#include "app/subsystem_hooks.h"
#include "context.h"
#include "loading/loading.h"
#include "platform/clock.h"
#include "platform/headless/recording_audio.h"
#include "shell/frame.h"
#include "shell/hooks.h"
#include "sprites/multisprite.h"
#include "support/small_pack.h"

namespace qv {
namespace {

using testing_support::GameDir;

// A sound system whose loaders throw for files named "throw", as a failing library might.
class ThrowingAudio final : public platform::AudioDevice {
 public:
  bool Init(int) override { return true; }
  bool Ready() const override { return true; }
  std::uint32_t LoadSample(std::string_view p, bool) override { return Load(p); }
  std::uint32_t LoadModule(std::string_view p, bool) override { return Load(p); }
  std::uint32_t LoadStream(std::string_view p, bool) override { return Load(p); }
  std::uint32_t PlaySample(std::uint32_t, bool, std::uint64_t) override { return 0; }
  bool PlayModule(std::uint32_t, bool) override { return false; }
  void SetModuleAmplify(std::uint32_t, int) override {}
  bool PlayStream(std::uint32_t, bool) override { return false; }
  void Stop(std::uint32_t) override {}
  std::uint64_t GetPosition(std::uint32_t) override { return 0; }
  void SetPosition(std::uint32_t, std::uint64_t) override {}
  void JumpToOrder(std::uint32_t, int, int) override {}
  void SetSampleVolume(int) override {}
  void SetStreamVolume(int) override {}
  void SetModuleVolume(int) override {}

 private:
  std::uint32_t Load(std::string_view path) {
    if (path.find("throw") != std::string_view::npos) throw std::runtime_error("decoder gave up");
    return ++loaded_;
  }
  std::uint32_t loaded_ = 0;
};

class LoadingDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.platform.clock = &clock_;
    ctx_.platform.audio = &audio_;
    ctx_.options.log_enabled = true;
    InstallSubsystemHooks(ctx_);
    if (ctx_.shell.hooks.sprites.move == nullptr) {
      ctx_.shell.hooks.sprites.move = [](SpriteWorld& c, int n) { SpriteEngineMove(c, n); };
    }
  }
  void Tick() {
    clock_.Advance(10);
    StepFrame(ctx_);
  }
  int CountTag(const std::string& tag) const {
    int n = 0;
    for (int i = 0; i < MultiSpriteCount(ctx_); ++i) {
      const TMultiSprite* s = MultiSpriteAt(ctx_, i);
      n += s != nullptr && s->tag == tag;
    }
    return n;
  }

  GameDir dir_;
  platform::VirtualClock clock_;
  ThrowingAudio audio_;
  Context ctx_;
};

TEST_F(LoadingDamage, LongListsAreReadInLinearTime) {
  std::string list;
  for (int i = 0; i < 100000; ++i) list += "graphics\\x" + std::to_string(i % 60000) + ".spr\r\n";
  dir_.Write("main.msl", list);
  dir_.Write("sound.ini", "graphics\\x7.spr\r\nsample_a, a.wav\r\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(ReadList(ctx_, "main", false).has_value());
  EXPECT_TRUE(ReadList(ctx_, "sound.ini", true).has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  ASSERT_EQ(ctx_.loading.load_list.size(), 60001u);
  EXPECT_EQ(ctx_.loading.load_list[59999], "graphics\\x59999.spr");
  EXPECT_EQ(ctx_.loading.load_list.back(), "sample_a, a.wav");
}

TEST_F(LoadingDamage, AnEntryWhoseLoaderThrowsIsSkippedWithALogLine) {
  testing_support::WriteSmallPack(dir_);
  dir_.Write("music\\throw.xm", testing_support::TestXm());
  dir_.Write("music.ini",
             "music_menu, music\\throw.xm, loop\r\nmusic_arcade, music\\arcade.xm\r\n");
  dir_.Write("sound.ini", "sample_hit, sounds\\throw.wav\r\nsample_x, sounds\\hit.wav\r\n");
  Tick();  // the loading set-up
  EXPECT_EQ(ctx_.shell.flow.scene, SceneId::Menu);
  EXPECT_EQ(ctx_.shell.flow.loading_pending, 0);
  EXPECT_EQ(CountTag("loading"), 2);
  EXPECT_GE(ctx_.loading.music_arcade, 1) << "the entries after the failing one are loaded";
  EXPECT_EQ(ctx_.loading.music_menu, -1);
  bool loaded = false;
  for (int i = 0; i < 2000 && !loaded; ++i) {
    Tick();
    loaded = ctx_.loading.loading_done;
  }
  ASSERT_TRUE(loaded) << "the loading screen passes the failing entry";
  EXPECT_EQ(CountTag("loading"), 1) << "the backdrop was made once, less the trough";
  const std::string log = dir_.Read("log.txt");
  EXPECT_NE(log.find("ERROR: load_failed \"music_menu, music\\throw.xm, loop\": decoder gave up"),
            std::string::npos);
  EXPECT_NE(log.find("ERROR: load_failed \"sample_hit, sounds\\throw.wav\": decoder gave up"),
            std::string::npos);
}

TEST_F(LoadingDamage, ASetUpThatFailsPartWayDoesNotRunAgain) {
  static int runs = 0;
  runs = 0;
  ctx_.shell.hooks.startup.loading_setup = [](Context&) {
    ++runs;
    throw std::runtime_error("out of memory");
  };
  ctx_.shell.device.device_ready = true;
  ctx_.shell.device.window_active = true;
  for (int i = 0; i < 3; ++i) {
    clock_.Advance(10);
    TimerTick(ctx_);
  }
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ctx_.shell.flow.loading_pending, 0);
}

}  // namespace
}  // namespace qv
