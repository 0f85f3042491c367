#include <gtest/gtest.h>

#include <string>

#include "context.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "sprites/multisprite.h"
#include "support/game_dir.h"

namespace qv {
namespace {

using testing_support::GameDir;

class MapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.options.log_enabled = true;
    dir_.WriteSpr("graphics\\b.spr", "z=1", {"b.png,texture_size=16"});
    dir_.WriteSpr("graphics\\c.spr", "z=2", {"c.png,texture_size=16"});
    dir_.WriteSpr("graphics\\a.spr", "x=5,y=6,z=3", {"a.png,texture_size=16"});
    dir_.WriteSpr("graphics\\iso.spr", "isometric=1,x=11,y=12,z=13", {"i.png,texture_size=16"});
  }
  std::string Log() const { return dir_.Read("log.txt"); }
  TMultiSprite* At(int slot) const { return MultiSpriteAt(ctx_, slot); }
  int Live() const {
    int n = 0;
    for (int i = 0; i < MultiSpriteCount(ctx_); ++i) n += At(i) != nullptr;
    return n;
  }

  GameDir dir_;
  Context ctx_;
};

TEST_F(MapTest, PlacesObjectsInLineOrderWithOptionalZ) {
  dir_.Write(
      "menu.map",
      "3\r\ngraphics\\b\r\nGraphics\\C.SPR\r\ngraphics\\a\r\n4\r\n2,100,50\r\n2,100,50, 7\r\n"
      " 0, -4,9,\r\n1,1,2\r\n");
  ctx_.sprites.scroll_x = 30;
  EXPECT_EQ(load_location_map(ctx_, "menu.map"), 4);
  EXPECT_EQ(ctx_.sprites.scroll_x, 0);
  ASSERT_EQ(Live(), 4);
  EXPECT_EQ(At(0)->name, "a");
  EXPECT_EQ(At(0)->x, 100);
  EXPECT_EQ(At(0)->y, 50);
  EXPECT_EQ(At(0)->z, 3) << "no z field keeps the prototype's z";
  EXPECT_EQ(At(1)->z, 7);
  EXPECT_EQ(At(2)->name, "b");
  EXPECT_EQ(At(2)->x, -4);
  EXPECT_EQ(At(2)->z, 1) << "an empty z field keeps the prototype's z";
  EXPECT_EQ(At(3)->name, "c") << "paths are lower-cased";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(At(i)->tag, "menu");
  EXPECT_NE(Log().find("load_location_map(\"menu.map\"), created: 4"), std::string::npos);
}

TEST_F(MapTest, IsometricObjectsTakeTheIsoValues) {
  dir_.Write("iso.map", "1\r\ngraphics\\iso\r\n1\r\n0,40,50,60\r\n");
  EXPECT_EQ(load_location_map(ctx_, "iso.map"), 1);
  EXPECT_EQ(At(0)->iso_x, 40);
  EXPECT_EQ(At(0)->iso_y, 50);
  EXPECT_EQ(At(0)->iso_z, 60);
  EXPECT_EQ(At(0)->x, 11);
  EXPECT_EQ(At(0)->z, 13);
}

TEST_F(MapTest, MissingMapMakesNothingAndLogsZero) {
  EXPECT_EQ(load_location_map(ctx_, "nowhere.map"), 0);
  EXPECT_EQ(MultiSpriteCount(ctx_), 0);
  EXPECT_NE(Log().find("load_location_map(\"nowhere.map\"), created: 0"), std::string::npos);
}

TEST_F(MapTest, ZeroPathsEndsTheFileAndBadIndexIsSkipped) {
  dir_.Write("empty.map", "0\r\nwhatever\r\n");
  EXPECT_EQ(load_location_map(ctx_, "empty.map"), 0);
  dir_.Write("skip.map", "1\r\ngraphics\\a\r\n3\r\n1,0,0\r\n-1,0,0\r\n0,8,9\r\n");
  EXPECT_EQ(load_location_map(ctx_, "skip.map"), 1);
  EXPECT_EQ(At(0)->x, 8);
}

TEST_F(MapTest, MalformedFieldsEndTheMapAndKeepEarlierObjects) {
  dir_.Write("bad.map", "1\r\ngraphics\\a\r\n3\r\n0,1,2\r\n0,100 ,5\r\n0,3,4\r\n");
  EXPECT_EQ(load_location_map(ctx_, "bad.map"), 1);
  EXPECT_EQ(Live(), 1);
  const std::string log = Log();
  EXPECT_NE(log.find("\"bad.map\", line 5: '100 ' is not a valid integer value"), std::string::npos)
      << log;
  EXPECT_EQ(log.find("load_location_map(\"bad.map\"), created"), std::string::npos);

  dir_.Write("count.map", "two\r\n");
  EXPECT_EQ(load_location_map(ctx_, "count.map"), 0);
  EXPECT_NE(Log().find("\"count.map\", line 1: 'two'"), std::string::npos);

  dir_.Write("z.map", "1\r\ngraphics\\a\r\n1\r\n0,1,2,deep\r\n");
  EXPECT_EQ(load_location_map(ctx_, "z.map"), 0);
  EXPECT_NE(Log().find("\"z.map\", line 4: 'deep'"), std::string::npos);
}

TEST_F(MapTest, HugeCountsInAShortFileDoNotHang) {
  dir_.Write("huge.map", "2000000000\r\ngraphics\\a\r\n");
  EXPECT_EQ(load_location_map(ctx_, "huge.map"), 0);
  dir_.Write("huge2.map", "1\r\ngraphics\\a\r\n2000000000\r\n0,1,1\r\n");
  EXPECT_EQ(load_location_map(ctx_, "huge2.map"), 1);
  EXPECT_NE(Log().find("\"huge2.map\", line 5: '' is not a valid integer value"),
            std::string::npos);
}

TEST_F(MapTest, SameMapTwiceUnloadsTogether) {
  dir_.Write("twice.map", "2\r\ngraphics\\a\r\ngraphics\\b\r\n2\r\n0,1,1\r\n1,2,2\r\n");
  EXPECT_EQ(load_location_map(ctx_, "twice.map"), 2);
  EXPECT_EQ(load_location_map(ctx_, "twice.map"), 2);
  EXPECT_EQ(unload_by_tag(ctx_, "twice.map"), 4);
  EXPECT_EQ(Live(), 0);
  EXPECT_EQ(MultiSpriteCount(ctx_), 4) << "the used length never shrinks";
  EXPECT_NE(Log().find("unload_by_tag(\"twice\"), unloaded: 4"), std::string::npos);
}

TEST_F(MapTest, UnloadOfADottedNameCutsAtTheFirstDot) {
  TMultiSprite* a = CreateMultiSprite(ctx_, "graphics\\a.spr");
  a->tag = "a";
  TMultiSprite* ab = CreateMultiSprite(ctx_, "graphics\\a.spr");
  ab->tag = "a.b";
  TMultiSprite* dotx = CreateMultiSprite(ctx_, "graphics\\a.spr");
  dotx->tag = ".x";
  EXPECT_EQ(unload_by_tag(ctx_, "a.b.map"), 1);
  EXPECT_EQ(At(0), nullptr);
  EXPECT_NE(At(1), nullptr);
  EXPECT_NE(Log().find("unload_by_tag(\"a\"), unloaded: 1"), std::string::npos);
  EXPECT_EQ(unload_by_tag(ctx_, ".x"), 1);
  EXPECT_EQ(At(2), nullptr);
}

TEST(UnloadTag, CutsBeforeTheFirstDotUnlessItLeads) {
  EXPECT_EQ(UnloadTagOf("menu_help.map"), "menu_help");
  EXPECT_EQ(UnloadTagOf("a.b.map"), "a");
  EXPECT_EQ(UnloadTagOf(".x"), ".x");
  EXPECT_EQ(UnloadTagOf("plain"), "plain");
}

class RegistryTest : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    dir_.WriteSpr("graphics\\panel_ok.spr", "z=0", {"p.png,texture_size=16"});
    Make("panel_ok", "game_over");  // 0
    Make("panel_ok", "game_stat");  // 1
    Make("a", "game_stat");         // 2
    Make("panel_ok", "game_stat");  // 3
  }
  TMultiSprite* Make(const std::string& name, const std::string& tag) {
    TMultiSprite* s = CreateMultiSprite(ctx_, "graphics\\" + name + ".spr");
    s->tag = tag;
    return s;
  }
};

TEST_F(RegistryTest, FindObjectByNameTagAndOccurrence) {
  EXPECT_EQ(FindObject(ctx_, "panel_ok", -1, "game_stat"), 1);
  EXPECT_EQ(FindObject(ctx_, "panel_ok", -1, ""), 0);
  EXPECT_EQ(FindObject(ctx_, "panel_ok", 1, "game_stat"), 3);
  EXPECT_EQ(FindObject(ctx_, "panel_ok", 2, "game_stat"), -1);
  EXPECT_EQ(FindObject(ctx_, "panel_ok", 2, ""), 3);
  EXPECT_EQ(FindObject(ctx_, "panel_ok", 3, ""), -1);
  EXPECT_EQ(FindObject(ctx_, "Panel_ok", -1, ""), -1) << "names compare case-sensitively";
  DestroyMultiSpriteAt(ctx_, 1);
  EXPECT_EQ(FindObject(ctx_, "panel_ok", -1, "game_stat"), 3);
}

TEST_F(RegistryTest, ShowAndFadeByTag) {
  ShowTag(ctx_, "game_stat", false);
  EXPECT_TRUE(At(0)->visible);
  EXPECT_FALSE(At(1)->visible);
  EXPECT_FALSE(At(2)->visible);
  SetTagAlpha(ctx_, "game_over", 77);
  EXPECT_EQ(At(0)->alpha, 77);
  EXPECT_EQ(At(1)->alpha, 255);
  ShowTag(ctx_, "nothing", false);  // no objects: nothing happens
  EXPECT_EQ(unload_by_tag(ctx_, "nothing"), 0);
}

TEST_F(RegistryTest, TagListsFadeTheMembersOfTheLastRebuild) {
  CreateTagList(ctx_, "dialog_tag_list");
  AddTagToList(ctx_, "dialog_tag_list", "game_stat");
  AddTagToList(ctx_, "dialog_tag_list", "game_stat");
  AddTagToList(ctx_, "missing_list", "game_over");
  ASSERT_EQ(ctx_.scene.tag_lists.size(), 1u);
  const my_tag_list& list = ctx_.scene.tag_lists[0];
  EXPECT_EQ(list.tags.size(), 1u);
  EXPECT_EQ(list.members, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(list.member_kinds, (std::vector<std::uint8_t>{1, 1, 1}));

  TMultiSprite* late = Make("a", "game_stat");  // slot 4, after the rebuild
  DestroyMultiSpriteAt(ctx_, 2);
  TMultiSprite* reused = Make("a", "other");  // takes slot 2
  ASSERT_EQ(reused->list_index, 2);
  SetTagListAlpha(ctx_, "dialog_tag_list", 8);
  EXPECT_EQ(At(1)->alpha, 8);
  EXPECT_EQ(At(3)->alpha, 8);
  EXPECT_EQ(reused->alpha, 8) << "a reused slot is still a member";
  EXPECT_EQ(late->alpha, 255) << "objects made after the rebuild are not members";
  EXPECT_EQ(At(0)->alpha, 255);

  RebuildTagList(ctx_, "dialog_tag_list");
  EXPECT_EQ(list.members, (std::vector<int>{1, 3, 4}));
  CreateTagList(ctx_, "dialog_tag_list");
  EXPECT_TRUE(list.tags.empty());
  EXPECT_TRUE(list.members.empty());
  EXPECT_EQ(ctx_.scene.tag_lists.size(), 1u);
}

}  // namespace
}  // namespace qv
