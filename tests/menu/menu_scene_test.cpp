// The menu scene in process on a copy of the content pack: a trip to a stand-in game scene and
// back, as the frame loop drives it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/subsystem_hooks.h"
#include "common/recording_boxes.h"
#include "common/temp_dir.h"
#include "context.h"
#include "game/levels.h"
#include "menu/menu_layout.h"
#include "menu/menu_pages.h"
#include "menu/menu_scene.h"
#include "platform/clock.h"
#include "platform/headless/recording_audio.h"
#include "platform/render_device.h"
#include "platform/virtual_key.h"
#include "shell/frame.h"
#include "shell/options_file.h"
#include "sprites/multisprite.h"
#include "support/game_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using platform::VirtualKey;
using testing_support::GameDir;

class MenuSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path pack = fs::path(QUORVEX_BINARY_DIR) / "pack";
    if (!fs::exists(pack / "loading.msl")) GTEST_SKIP() << "no content pack built";
    fs::copy(pack, dir_.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    dir_.Write("players.txt", "Ann, 3, -1, -1, 0, 0, 0, 300, 0, 0, 1, -1, -1, 0, 0, 0\r\n");
    ctx_.platform.clock = &clock_;
    ctx_.platform.audio = &audio_;
    ctx_.platform.messages = &boxes_;
    InstallSubsystemHooks(ctx_);
    if (ctx_.shell.hooks.sprites.move == nullptr) {
      ctx_.shell.hooks.sprites.move = [](SpriteWorld& c, int n) { SpriteEngineMove(c, n); };
    }
    // A game that hands back to the menu on its first step.
    SceneOps& game = ctx_.shell.scenes[SceneId::Game];
    game.start = [](Context& c) {
      ++games_started_;
      c.shell.flow.scene_phase = 0;
      c.shell.flow.scene_ready = true;
    };
    game.frame = [](Context& c) {
      c.shell.flow.scene_phase = 0;
      c.shell.flow.pending_scene = SceneId::Menu;
    };
    game.leave = [](Context& c) { c.shell.flow.scene_ready = false; };
    games_started_ = 0;
  }

  // A click on button of the page up now.
  void Click(int button) {
    ctx_.shell.pointer.pressed_button = button;
    ctx_.shell.scenes[SceneId::Menu].click(ctx_);
    ctx_.shell.pointer.pressed_button = -1;
  }
  void Tick() {
    clock_.Advance(10);
    StepFrame(ctx_);
  }
  // Enough ticks for a few menu frames at the fixed step rate.
  void Steps() {
    for (int i = 0; i < 4; ++i) Tick();
  }
  // Ticks until the menu runs built; false after limit ticks.
  bool RunUntilMenu(int limit = 1000) {
    for (int i = 0; i < limit; ++i) {
      Tick();
      if (ctx_.shell.flow.scene == SceneId::Menu && ctx_.shell.flow.scene_phase == 2 &&
          ctx_.loading.loading_done) {
        return true;
      }
    }
    return false;
  }
  int CountTag(const std::string& tag, bool visible_only = false) const {
    int n = 0;
    for (int i = 0; i < MultiSpriteCount(ctx_); ++i) {
      const TMultiSprite* s = MultiSpriteAt(ctx_, i);
      n += s != nullptr && s->tag == tag && (!visible_only || s->visible);
    }
    return n;
  }
  int MinAlpha(const std::string& tag) const {
    int alpha = 256;
    for (int i = 0; i < MultiSpriteCount(ctx_); ++i) {
      const TMultiSprite* s = MultiSpriteAt(ctx_, i);
      if (s != nullptr && s->tag == tag) alpha = std::min<int>(alpha, s->alpha);
    }
    return alpha;
  }

  static inline int games_started_ = 0;
  GameDir dir_;
  platform::VirtualClock clock_;
  platform::RecordingAudioDevice audio_{[this] { return clock_.TickCount(); }};
  test::RecordingBoxes boxes_;
  Context ctx_;
};

TEST_F(MenuSceneTest, ReturnFromAGameRebuildsTheMenuAtOnceAndWithoutDuplicates) {
  ASSERT_TRUE(RunUntilMenu());
  for (int i = 0; i < 200; ++i) Tick();  // the first appearance fades in over 1.5 s
  EXPECT_EQ(ctx_.menu.state, MenuStage::Running);
  const char* kTags[] = {"menu", "menu_buttons_mainmenu", "menu_scores", "input_player_name",
                         "input_player_name_back", "menu_help", "menu_text"};
  int before[std::size(kTags)];
  for (std::size_t i = 0; i < std::size(kTags); ++i) before[i] = CountTag(kTags[i]);
  EXPECT_GT(before[0], 0);
  EXPECT_GT(CountTag("loading", true), 0);

  // Arcade: level 3 saved with a game in progress, explanations off: the continue dialog.
  ctx_.shell.flow.click_context = ClickContext::GameTypePage;
  ctx_.shell.pointer.pressed_button = 1;
  ctx_.shell.scenes[SceneId::Menu].click(ctx_);
  for (int i = 0; i < 5; ++i) Tick();
  ASSERT_EQ(ctx_.shell.flow.click_context, ClickContext::ContinueDialog);
  ctx_.shell.scenes[SceneId::Menu].key_down(ctx_, 13, 0);  // Yes
  for (int i = 0; i < 400 && games_started_ == 0; ++i) Tick();
  ASSERT_EQ(games_started_, 1);
  EXPECT_EQ(ctx_.game.session.game_type, GameType::Arcade);
  EXPECT_EQ(ctx_.game.session.level, 3);
  EXPECT_EQ(ctx_.game.session.score, 300);
  EXPECT_EQ(CountTag("loading", true), 0) << "the backdrop is hidden for the game";
  EXPECT_EQ(CountTag("input_player_name_back"), 0);

  ASSERT_TRUE(RunUntilMenu());
  Tick();
  for (std::size_t i = 0; i < std::size(kTags); ++i) {
    EXPECT_EQ(CountTag(kTags[i]), before[i]) << kTags[i];
  }
  EXPECT_GT(CountTag("loading", true), 0);
  EXPECT_EQ(CountTag("game_type_text"), 0);
  EXPECT_EQ(ctx_.menu.state, MenuStage::SceneStart) << "no first-appearance fade";
  EXPECT_EQ(MinAlpha("menu_buttons_mainmenu"), 255);
  EXPECT_EQ(ctx_.shell.flow.click_context, ClickContext::MainMenu);
  for (const auto& box : boxes_.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
}

// The welcome line names the current player: the text the main menu shows equals what building
// it now, with the index mended, gives.
TEST_F(MenuSceneTest, WelcomeNamesTheFirstPlayerWhenTheSavedIndexIsPastTheList) {
  WriteOption("options.txt", "player_index", "5");
  ASSERT_TRUE(RunUntilMenu());
  Steps();
  Steps();
  EXPECT_EQ(ctx_.options.player_index, 0);
  const int shown = CountTag("menu_text");
  BuildWelcomeText(ctx_);
  EXPECT_EQ(shown, CountTag("menu_text")) << "the welcome line lacks the player's name";
}

TEST_F(MenuSceneTest, WelcomeNamesTheFirstPlayerAfterTheCurrentOneWasDeleted) {
  dir_.Write("players.txt", "Ann\r\nBob\r\n");
  WriteOption("options.txt", "player_index", "1");
  ASSERT_TRUE(RunUntilMenu());
  Steps();
  ctx_.shell.flow.command = MenuCommand::PlayerList;
  Steps();
  ASSERT_EQ(ctx_.shell.flow.click_context, ClickContext::PlayerList);
  ASSERT_EQ(ctx_.menu.list.cursor, 1);
  Click(3);  // delete Bob
  Steps();
  ASSERT_EQ(ctx_.shell.flow.click_context, ClickContext::DeleteConfirmation);
  Click(1);  // yes
  Steps();
  ASSERT_EQ(ctx_.shell.flow.click_context, ClickContext::PlayerList);
  Click(6);  // cancel: the main menu with an index past the list
  Steps();
  Steps();
  ASSERT_EQ(ctx_.shell.flow.click_context, ClickContext::MainMenu);
  EXPECT_EQ(ctx_.options.player_index, 0);
  const int shown = CountTag("menu_text");
  BuildWelcomeText(ctx_);
  EXPECT_EQ(shown, CountTag("menu_text")) << "the welcome line lacks the player's name";
}

// Reading a volume from the options file makes the open options page apply it anew, even when
// the bars already show that value.
TEST_F(MenuSceneTest, ReadingTheOptionsMakesTheOptionsPageApplyTheVolumesAgain) {
  ASSERT_TRUE(RunUntilMenu());
  Tick();
  ctx_.shell.flow.command = MenuCommand::Options;
  for (int i = 0; i < 40; ++i) Tick();
  ASSERT_EQ(ctx_.shell.flow.click_context, ClickContext::Options);
  audio_.ClearCalls();
  ReadOptions(ctx_);
  Tick();
  int music = 0, sound = 0;
  for (const auto& call : audio_.Calls()) {
    music += call.op == "stream_volume" && call.value >= 0;
    sound += call.op == "sample_volume";
  }
  EXPECT_GT(music, 0);
  EXPECT_GT(sound, 0);
}

// Each page's hit rectangles lie on the screen and apart, and each, edges included, hovers
// its own button while the pixels beside it do not.
TEST_F(MenuSceneTest, EachHitRectangleHoversItsButtonAlone) {
  struct Page {
    MenuCommand open;
    ClickContext context;
    std::vector<std::pair<Rect, int>> rects;  // and the button each stands for
  };
  Page list{MenuCommand::PlayerList, ClickContext::PlayerList, {{kCreateCaption, 7}}};
  for (int j = 0; j < kListRows; ++j) list.rects.push_back({ListRowRect(j), 8 + j});
  const auto& r = kMenuRows;
  const Page pages[] = {
      {MenuCommand::MainMenu, ClickContext::MainMenu,
       {{r[0], 1}, {r[1], 2}, {r[2], 3}, {r[3], 4}, {r[4], 5}, {kWelcomeCaption, 6}}},
      {MenuCommand::GameTypePage, ClickContext::GameTypePage,
       {{r[0], 1}, {r[1], 2}, {r[2], 3}, {r[4], 4}}},
      {MenuCommand::Options, ClickContext::Options,
       {{kVolumeDown[0], 1}, {kVolumeUp[0], 1}, {kVolumeDown[1], 2}, {kVolumeUp[1], 2},
        {r[2], 3}, {r[3], 4}, {r[4], 5}, {kVolumeSliders[0], 6}, {kVolumeSliders[1], 7}}},
      {MenuCommand::Scores, ClickContext::HighScoreTable,
       {{kScoresLeftArrow, 1}, {kScoresRightArrow, 2}, {kPageOk, 3}}},
      list};
  const auto hover_at = [this](int x, int y) {
    ctx_.shell.pointer.mouse_x = x;
    ctx_.shell.pointer.mouse_y = y;
    MenuHover(ctx_);
    return ctx_.shell.pointer.hover_button;
  };
  const Rect screen{0, 0, kScreenWidth - 1, kScreenHeight - 1};
  ASSERT_TRUE(RunUntilMenu());
  for (const Page& page : pages) {
    SCOPED_TRACE("click context " + std::to_string(static_cast<int>(page.context)));
    ctx_.shell.flow.command = page.open;
    for (int i = 0; i < 40 && ctx_.shell.flow.click_context != page.context; ++i) Tick();
    ASSERT_EQ(ctx_.shell.flow.click_context, page.context);
    for (size_t i = 0; i < page.rects.size(); ++i) {
      const auto& [a, button] = page.rects[i];
      EXPECT_TRUE(screen.Contains(a.left, a.top) && screen.Contains(a.right, a.bottom));
      for (size_t k = i + 1; k < page.rects.size(); ++k) {
        const Rect& b = page.rects[k].first;
        EXPECT_TRUE(a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top)
            << button << " overlaps " << page.rects[k].second;
      }
      EXPECT_EQ(hover_at(a.left, a.top), button);
      EXPECT_EQ(hover_at(a.right, a.bottom), button);
      EXPECT_NE(hover_at(a.left - 1, a.top), button);
      EXPECT_NE(hover_at(a.right + 1, a.bottom), button);
    }
  }
}

TEST(MenuKeys, KeysQueueUpButNeverReplaceAPendingPageChange) {
  Context ctx;
  ctx.shell.flow.click_context = ClickContext::NameInput;
  ctx.shell.flow.command = MenuCommand::None;
  MenuKeyDown(ctx, VirtualKey::A, 1);
  MenuKeyDown(ctx, VirtualKey::A + 1, 0);
  EXPECT_EQ(ctx.shell.flow.command, MenuCommand::Key);
  ASSERT_EQ(ctx.menu.keys.size(), 2u);
  EXPECT_EQ(ctx.menu.keys[0].code, VirtualKey::A);
  EXPECT_EQ(ctx.menu.keys[0].shift, 1);
  // The main menu asked for the first-run name input; a key before the next frame is dropped.
  ctx.menu.keys.clear();
  ctx.shell.flow.click_context = ClickContext::Playing;
  ctx.shell.flow.command = MenuCommand::NameInput;
  MenuKeyDown(ctx, VirtualKey::A, 0);
  MenuKeyDown(ctx, VirtualKey::Escape, 0);
  EXPECT_EQ(ctx.shell.flow.command, MenuCommand::NameInput);
  EXPECT_TRUE(ctx.menu.keys.empty());
}

TEST(MenuProgress, TheGameSavesTheCurrentPlayersProgress) {
  test::TempDir dir;
  Context ctx;
  InstallSubsystemHooks(ctx);
  ctx.menu.players = {ListPlayer("Ann"), ListPlayer("Bob")};
  ctx.options.player_index = 1;
  ctx.game.session.game_type = GameType::Challenge;
  ctx.game.session.level = 9;
  ctx.game.session.score = 900;
  SaveProgress(ctx);
  EXPECT_EQ(ctx.menu.players[1].checkpoint_score[1], 0);
  ctx.game.session.level = 10;
  ctx.game.session.score = 4321;
  SaveProgress(ctx);
  EXPECT_EQ(test::ReadText(dir.path() / "players.txt"),
            "Ann, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n"
            "Bob, -1, 10, -1, 1, 1, 1, 0, 4321, 0, -1, -1, -1, 0, 4321, 0\r\n");
  // No level yet: a fresh start of the type.
  ctx.game.session.level = 0;
  ctx.game.session.score = 55;
  SaveProgress(ctx);
  const Player& bob = ctx.menu.players[1];
  EXPECT_EQ(bob.saved_level[1], 1);
  EXPECT_EQ(bob.saved_score[1], 0);
  EXPECT_EQ(bob.checkpoint_score[1], 0);
  EXPECT_EQ(bob.may_continue[1], 1);
  EXPECT_EQ(bob.saved_level[0], -1) << "other types untouched";
  // An index past the list falls back to the first player.
  ctx.options.player_index = 7;
  ctx.game.session.level = 2;
  SaveProgress(ctx);
  EXPECT_EQ(ctx.options.player_index, 0);
  EXPECT_EQ(ctx.menu.players[0].saved_level[1], 2);
}

}  // namespace
}  // namespace qv
