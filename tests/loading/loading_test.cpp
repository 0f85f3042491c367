#include "loading/loading.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/subsystem_hooks.h"
#include "audio/audio.h"
#include "base/log.h"
#include "context.h"
#include "platform/clock.h"
#include "platform/headless/recording_audio.h"
#include "scene/registry.h"
#include "shell/frame.h"
#include "shell/hooks.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"
#include "support/small_pack.h"

namespace qv {
namespace {

using testing_support::GameDir;
using testing_support::SmallPackOptions;

class LoadingTest : public ::testing::Test {
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
  // One timer tick of the frame loop.
  void Tick() {
    clock_.Advance(10);
    StepFrame(ctx_);
  }
  // Ticks until loading is done; false when it takes longer than limit ticks.
  bool RunUntilLoaded(int limit = 2000) {
    for (int i = 0; i < limit; ++i) {
      Tick();
      if (ctx_.loading.loading_done) return true;
    }
    return false;
  }
  int CountTag(const std::string& tag) const {
    int n = 0;
    for (int i = 0; i < MultiSpriteCount(ctx_); ++i) {
      const TMultiSprite* s = MultiSpriteAt(ctx_, i);
      n += s != nullptr && s->tag == tag;
    }
    return n;
  }
  std::string Log() const { return dir_.Read("log.txt"); }

  GameDir dir_;
  platform::VirtualClock clock_;
  platform::RecordingAudioDevice audio_{[this] { return clock_.TickCount(); }};
  Context ctx_;
};

TEST_F(LoadingTest, ReadListRules) {
  dir_.Write("main.msl", "  ; comment\r\n a.spr ; trailing\r\n\r\nb.spr\r\na.spr\r\nA.spr\r\n");
  dir_.Write("sound.ini", "b.spr\r\nsample_x, s.wav\r\n");
  EXPECT_TRUE(ReadList(ctx_, " MAIN ", false).has_value());
  EXPECT_EQ(ctx_.loading.load_list, (std::vector<std::string>{"a.spr", "b.spr", "A.spr"}));
  EXPECT_TRUE(ReadList(ctx_, "sound.ini", true).has_value());
  EXPECT_EQ(ctx_.loading.load_list.size(), 4u) << "appending skips entries already listed";
  EXPECT_EQ(ctx_.loading.load_list.back(), "sample_x, s.wav");
  const auto missing = ReadList(ctx_, "nothing", true);
  ASSERT_FALSE(missing.has_value());
  EXPECT_EQ(missing.error().file, "nothing.msl");
  EXPECT_EQ(ctx_.loading.load_list.size(), 4u) << "a missing file adds nothing";
  EXPECT_FALSE(ReadList(ctx_, "nothing", false).has_value());
  EXPECT_TRUE(ctx_.loading.load_list.empty()) << "the list was cleared before the read";
}

TEST_F(LoadingTest, ResourceLinesGoToTheirLoaders) {
  dir_.WriteSpr("graphics\\x.spr", "z=1", {"x.png,texture_size=16"});
  dir_.Write("sounds\\hit.wav", testing_support::WaveHeader());
  InitAudio(ctx_);
  LoadResourceLine(ctx_, "graphics\\x.spr");
  const auto prototypes = ctx_.sprites.prototypes.size();
  LoadResourceLine(ctx_, "graphics\\x.spr");
  EXPECT_EQ(ctx_.sprites.prototypes.size(), prototypes) << "a loaded sprite is not loaded again";
  EXPECT_GE(FindPrototype(ctx_, "graphics\\x.spr"), 0);
  LoadResourceLine(ctx_, "sample_hit, sounds\\hit.wav");
  LoadResourceLine(ctx_, "models\\ship.m3d");
  ASSERT_EQ(ctx_.audio.table.size(), 1u);
  EXPECT_GT(FindAudio(ctx_, "sample_hit"), 0);
  EXPECT_EQ(ctx_.sprites.prototypes.size(), prototypes);
}

TEST_F(LoadingTest, AnUnwritableLogCostsNoPictureAndWaitsForTheBox) {
  testing_support::WriteSmallPack(dir_);
  std::filesystem::create_directory("log.txt");
  Tick();
  EXPECT_EQ(CountTag("loading"), 2);
  EXPECT_EQ(CountTag("zast"), 5);
  ASSERT_TRUE(RunUntilLoaded());
  int sprites = 0;
  for (const std::string& entry : ctx_.loading.load_list) {
    if (entry.size() < 4 || entry.compare(entry.size() - 4, 4, ".spr") != 0) continue;
    ++sprites;
    EXPECT_GE(FindPrototype(ctx_, entry), 0) << entry;
  }
  EXPECT_GT(sprites, 0);
  EXPECT_FALSE(TakeLogFailure(ctx_)) << "kept for the frame loop's box";
}

TEST(LoadingProgress, BarPixels) {
  EXPECT_EQ(LoadingProgress(12, 47), 120);
  EXPECT_EQ(LoadingProgress(0, 47), 0);
  EXPECT_EQ(LoadingProgress(46, 47), 460);
  EXPECT_EQ(LoadingProgress(0, 1), 460) << "a single entry shows the bar full";
  EXPECT_EQ(LoadingProgress(1, 3), 230);
}

TEST_F(LoadingTest, LogoClosesThenAnimatesThenLoads) {
  testing_support::WriteSmallPack(dir_);
  Tick();  // the loading set-up, then the first menu frames
  EXPECT_EQ(ctx_.shell.flow.scene, SceneId::Menu);
  EXPECT_EQ(ctx_.shell.flow.loading_pending, 0);
  EXPECT_EQ(ctx_.clocks.app_active, 1);
  EXPECT_EQ(CountTag("loading"), 2);
  EXPECT_EQ(CountTag("zast"), 5);
  EXPECT_EQ(CountTag("scroll_element"), 39);
  const TMultiSprite* top = MultiSpriteAt(ctx_, ctx_.loading.top_bubble);
  const TMultiSprite* bottom = MultiSpriteAt(ctx_, ctx_.loading.bottom_bubble);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(ctx_.loading.logo_phase, LogoPhase::Bubbles);
  int ticks = 1;
  while (ctx_.loading.logo_phase == LogoPhase::Bubbles && ticks < 200) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(top->y, 131);
  EXPECT_EQ(bottom->y, 185);
  EXPECT_EQ(top->alpha, 252);
  EXPECT_EQ(ctx_.loading.logo_step, 76);
  // A step waits until frame_clock has passed the previous one by more than 10 ms, so on the
  // exact 10 ms ticks of the virtual clock every second tick makes a step.
  EXPECT_NEAR(ticks, 76, 2);
  EXPECT_EQ(ctx_.loading.load_index, 0) << "nothing loads while the logo runs";
  ASSERT_TRUE(RunUntilLoaded());
  EXPECT_EQ(ctx_.loading.logo_phase, LogoPhase::Done);
  const int entries = static_cast<int>(ctx_.loading.load_list.size());
  EXPECT_EQ(entries, 6);
  EXPECT_EQ(ctx_.loading.load_index, entries);
  // The end of loading.
  EXPECT_EQ(CountTag("zast"), 0);
  EXPECT_EQ(CountTag("scroll_element"), 0);
  EXPECT_EQ(CountTag("loading"), 1);
  EXPECT_EQ(FindObject(ctx_, "loading_element", -1, ""), -1);
  const TMultiSprite* cursor = MultiSpriteAt(ctx_, ctx_.scene.cursor);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->name, "mouse_cursor");
  EXPECT_EQ(cursor->map_koeff, 0);
  ASSERT_EQ(cursor->parts.size(), 2u);
  EXPECT_EQ(cursor->parts[1]->offset_x, -2);
  EXPECT_EQ(cursor->parts[1]->offset_y, -2);
  EXPECT_EQ(ctx_.menu.state, MenuStage::LoadingDone);
  EXPECT_EQ(ctx_.audio.music_task, 1);
  EXPECT_EQ(ctx_.audio.next_music, ctx_.menu.music);
  Tick();
  Tick();
  for (int i = 0; i < 40; ++i) Tick();
  EXPECT_EQ(ctx_.audio.current_music, ctx_.menu.music);
  EXPECT_EQ(ctx_.audio.music_level, 1.0);
  EXPECT_EQ(audio_.PlayingTrack(), static_cast<std::uint32_t>(ctx_.menu.music));
  const std::string log = Log();
  EXPECT_NE(log.find("BASS_Init"), std::string::npos);
  EXPECT_NE(log.find("StartSceneMenu"), std::string::npos);
  EXPECT_NE(log.find("unload_by_tag(\"zast\"), unloaded: 5"), std::string::npos);
  EXPECT_NE(log.find("unload_by_tag(\"scroll_element\"), unloaded: 39"), std::string::npos);
}

TEST_F(LoadingTest, ProgressBarFor47Entries) {
  testing_support::WriteSmallPack(dir_, SmallPackOptions{true, 45});
  Tick();
  ctx_.loading.logo_phase = LogoPhase::Done;
  ASSERT_EQ(ctx_.loading.load_list.size(), 47u);
  ctx_.loading.load_index = 12;
  ASSERT_TRUE(LoadingScreenStep(ctx_));
  int full = 0;
  for (int i = 0; i < 38; ++i) {
    const TMultiSprite* e = MultiSpriteAt(ctx_, ctx_.loading.bar[static_cast<std::size_t>(i)]);
    if (!e->visible) continue;
    ++full;
    EXPECT_EQ(e->x, 170 + 12 * i);
    EXPECT_EQ(e->y, 334);
  }
  EXPECT_EQ(full, 10);
  EXPECT_FALSE(MultiSpriteAt(ctx_, ctx_.loading.bar[38])->visible);
  // 13 of 47: p = round(13 / 46 * 460) = 130, k = 10, r = 10.
  ASSERT_TRUE(LoadingScreenStep(ctx_));
  const TMultiSprite* last = MultiSpriteAt(ctx_, ctx_.loading.bar[38]);
  EXPECT_TRUE(last->visible);
  EXPECT_EQ(last->x, 12 * 10 + 158 + 10);
  // The first entry: p = 0, nothing shows.
  ctx_.loading.load_index = 0;
  ASSERT_TRUE(LoadingScreenStep(ctx_));
  EXPECT_FALSE(MultiSpriteAt(ctx_, ctx_.loading.bar[0])->visible);
  EXPECT_FALSE(MultiSpriteAt(ctx_, ctx_.loading.bar[38])->visible);
}

TEST_F(LoadingTest, LogoThatCannotAnimateDoesNotHang) {
  testing_support::WriteSmallPack(dir_, SmallPackOptions{false, 2});
  ASSERT_TRUE(RunUntilLoaded(300));
  EXPECT_EQ(ctx_.loading.logo_phase, LogoPhase::Done);
}

TEST_F(LoadingTest, EmptyLoadListStillEndsTheLoadingScreen) {
  testing_support::WriteSmallPack(dir_, SmallPackOptions{true, 0});
  dir_.Write("sound.ini", "; nothing\r\n");
  ASSERT_TRUE(RunUntilLoaded(600));
  EXPECT_EQ(CountTag("zast"), 0);
  EXPECT_GE(ctx_.scene.cursor, 0);
}

TEST_F(LoadingTest, MissingListsAreReportedAndTheMenuStillStarts) {
  testing_support::WriteSmallPack(dir_);
  std::filesystem::remove("main.msl");
  std::filesystem::remove("music.ini");
  ASSERT_TRUE(RunUntilLoaded(600));
  EXPECT_EQ(ctx_.shell.flow.scene, SceneId::Menu);
  EXPECT_EQ(ctx_.menu.music, -1);
  const std::string log = Log();
  EXPECT_NE(log.find("ReadList: \"main.msl\": File not found"), std::string::npos);
  EXPECT_NE(log.find("ReadList: \"music.ini\": File not found"), std::string::npos);
}

TEST_F(LoadingTest, ReenteringTheMenuShowsTheBackdropAndFadesToMenuMusic) {
  testing_support::WriteSmallPack(dir_);
  ASSERT_TRUE(RunUntilLoaded());
  ShowTag(ctx_, "loading", false);
  ctx_.shell.flow.scene_phase = 0;
  ctx_.shell.flow.pending_scene = SceneId::Menu;
  Tick();
  EXPECT_EQ(CountTag("loading"), 1);
  const int backdrop = FindObject(ctx_, "menu_background", -1, "loading");
  ASSERT_GE(backdrop, 0);
  EXPECT_TRUE(MultiSpriteAt(ctx_, backdrop)->visible);
  EXPECT_EQ(ctx_.loading.logo_phase, LogoPhase::Done) << "the logo runs once per run";
  EXPECT_EQ(ctx_.audio.next_music, ctx_.menu.music);
  EXPECT_DOUBLE_EQ(ctx_.audio.fade_out_step, 0.4);
}

}  // namespace
}  // namespace qv
