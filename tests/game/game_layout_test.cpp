// The game's layout tables against the content pack: the fixed hit rectangles are the buttons
// the player sees, every dialog's buttons lie on the screen apart from each other, and the
// places the statistics compute come out where the panel wants them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "base/geometry.h"
#include "game/dialogs.h"
#include "platform/render_device.h"
#include "scene/map.h"
#include "scene/pictures.h"
#include "scene/registry.h"
#include "scene_run.h"
#include "sprites/multisprite.h"

namespace qv::test {
namespace {

// The picture's frame as an inclusive rectangle, as the layout tables measure.
Rect FrameOf(const TMultiSprite& m) {
  const int left = static_cast<int>(m.x), top = static_cast<int>(m.y);
  const int w = static_cast<int>(std::lround(m.width * m.scale_x));
  const int h = static_cast<int>(std::lround(m.height * m.scale_y));
  return {left, top, left + w - 1, top + h - 1};
}

bool OnScreen(const Rect& r) {
  return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom &&
         r.right < platform::kScreenWidth && r.bottom < platform::kScreenHeight;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

std::string Show(const Rect& r) {
  return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

// Buttons of one dialog, by name: each on the screen, none over another.
void ExpectOnScreenAndApart(const std::vector<std::pair<std::string, Rect>>& buttons) {
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_TRUE(OnScreen(buttons[i].second)) << buttons[i].first << " " << Show(buttons[i].second);
    for (std::size_t j = i + 1; j < buttons.size(); ++j) {
      EXPECT_FALSE(Overlap(buttons[i].second, buttons[j].second))
          << buttons[i].first << " " << Show(buttons[i].second) << " and " << buttons[j].first
          << " " << Show(buttons[j].second);
    }
  }
}

std::pair<std::string, Rect> Button(const Context& ctx, const std::string& name, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  EXPECT_NE(m, nullptr) << name;
  return {name, m ? FrameOf(*m) : Rect{-1, -1, -2, -2}};
}

void WinTheLevel(SceneRun& run) {
  Context& ctx = *run.ctx;
  ctx.game.play.scoring.level_points = 100000;  // the strip fills
  ctx.game.scene.hud.score_redraw = true;
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::Statistics; }, 2000));
  run.Tick(40);
}

TEST(GameLayout, PlayMenuButtonRectangleIsTheMenuPanelPicture) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  const TMultiSprite* panel = Pic(ctx, ctx.game.scene.hud.menu_mini);
  ASSERT_NE(panel, nullptr);
  const Rect frame = FrameOf(*panel);
  EXPECT_EQ(Show(kPlayMenuButton), Show(frame));
  // Its corners take the pointer, the pixels just outside do not.
  const Point inside[] = {{kPlayMenuButton.left, kPlayMenuButton.top},
                          {kPlayMenuButton.right, kPlayMenuButton.bottom}};
  for (const Point p : inside) {
    run.Move(p.x, p.y);
    run.Tick(2);
    EXPECT_EQ(ctx.shell.pointer.hover_button, 1) << p.x << "," << p.y;
  }
  const Point outside[] = {{kPlayMenuButton.left - 1, kPlayMenuButton.top},
                           {kPlayMenuButton.right, kPlayMenuButton.bottom + 1}};
  for (const Point p : outside) {
    run.Move(p.x, p.y);
    run.Tick(2);
    EXPECT_EQ(ctx.shell.pointer.hover_button, -1) << p.x << "," << p.y;
  }
}

// The game's own hover of the table (used when no player list links it) measures the buttons
// of the scores page's map.
TEST(GameLayout, ScoresRectanglesAreTheScoresPageButtons) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  load_location_map(ctx, "menu_scores.map");
  const std::pair<const char*, Rect> expected[] = {{"repair_left", kTableLeftArrow},
                                                   {"repair_right", kTableRightArrow},
                                                   {"button_ok_mini", kTableOk}};
  for (const auto& [name, rect] : expected) {
    const TMultiSprite* m = Pic(ctx, FindObject(ctx, name, -1, "menu_scores"));
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(Show(rect), Show(FrameOf(*m))) << name;
  }
  ExpectOnScreenAndApart(
      {{"left", kTableLeftArrow}, {"right", kTableRightArrow}, {"ok", kTableOk}});
}

TEST(GameLayout, DialogButtonsLieOnScreenApart) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  const HudState& h = ctx.game.scene.hud;
  ASSERT_NO_FATAL_FAILURE(WinTheLevel(run));
  ExpectOnScreenAndApart(
      {Button(ctx, "statistics ok", h.stat_ok), Button(ctx, "statistics menu", h.stat_menu)});
  run.Key(VirtualKey::Escape);
  ASSERT_TRUE(run.TickUntil([&] { return ctx.game.play.end_phase == EndPhase::ExitQuestion; }, 20));
  run.Tick(40);
  ExpectOnScreenAndApart({Button(ctx, "exit yes", h.exit_yes), Button(ctx, "exit no", h.exit_no)});
  ctx.shell.flow.command = GameCommand::TryAgain;
  run.Tick(40);
  ASSERT_EQ(ctx.game.play.end_phase, EndPhase::TryAgain);
  ExpectOnScreenAndApart(
      {Button(ctx, "try again ok", h.retry_ok), Button(ctx, "try again no", h.retry_no)});
}

// After the last level the statistics keep only OK, which moves to the panel's middle.
TEST(GameLayout, LastLevelStatisticsCentreTheirOk) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 30, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ASSERT_NO_FATAL_FAILURE(WinTheLevel(run));
  const TMultiSprite* ok = Pic(ctx, ctx.game.scene.hud.stat_ok);
  ASSERT_NE(ok, nullptr);
  EXPECT_FALSE(PicVisible(ctx, ctx.game.scene.hud.stat_menu));
  EXPECT_EQ(static_cast<int>(ok->x) * 2 + ok->width, platform::kScreenWidth);
}

// A level that brings a new item shows it on the statistics' strip, with the description
// beside it: picture and lines are centred together and lie on the strip.
TEST(GameLayout, NewItemAndItsDescriptionSitCentredOnTheStrip) {
  SceneRun run;
  ASSERT_TRUE(run.ok());
  run.StartGame(GameType::Arcade, 2, 0);
  Context& ctx = *run.ctx;
  ASSERT_TRUE(run.UntilPlaying());
  ctx.game.play.lv.new_item = 10;  // the colour bomb
  ctx.game.run.level_description = {"A BOMB PAINTS", "ITS NEIGHBOURS"};
  ASSERT_NO_FATAL_FAILURE(WinTheLevel(run));
  const PicId strip = FindObject(ctx, "stat_poloska", -1, "game_stat");
  ASSERT_TRUE(PicVisible(ctx, strip));
  const TMultiSprite* bar = Pic(ctx, strip);
  ASSERT_NE(bar, nullptr);
  const Rect on = FrameOf(*bar);
  // The colour bomb's picture, and the description's glyphs in the statistics' small font.
  std::vector<Rect> item, lines;
  for (int slot = 0; slot < MultiSpriteCount(ctx); ++slot) {
    const TMultiSprite* m = MultiSpriteAt(ctx, slot);
    if (!m || m->tag != "game_stat_text") continue;
    if (m->name == "bomb1") item.push_back(FrameOf(*m));
    if (m->name == "font_crystal1") lines.push_back(FrameOf(*m));
  }
  ASSERT_EQ(item.size(), 1u);
  ASSERT_FALSE(lines.empty());
  int right = -1;
  for (const Rect& r : lines) {
    EXPECT_GT(r.left, item[0].right) << Show(r) << " over the item " << Show(item[0]);
    right = std::max(right, r.right);
  }
  lines.push_back(item[0]);
  for (const Rect& r : lines) {
    EXPECT_GE(r.top, on.top) << Show(r) << " above the strip " << Show(on);
    EXPECT_LE(r.bottom, on.bottom) << Show(r) << " below the strip " << Show(on);
  }
  // The block is centred by the lines' advances; a glyph's frame reaches past its advance.
  EXPECT_NEAR(item[0].left + right, platform::kScreenWidth, 16)
      << "centred: " << item[0].left << ".." << right;
}

}  // namespace
}  // namespace qv::test
