// The definition reader: byte-level lines, values, settings, groups, parts, names and sizes.
#include <gtest/gtest.h>

#include <numbers>

#include "sprite_test_util.h"
#include "sprites/prototype.h"

namespace qv {
namespace {

using spr::SplitLines;
using test::Picture;
using test::WriteFile;
using V = std::vector<std::string>;

TEST(SprLines, CarriageReturnEndsLinesAndLineFeedsAreDropped) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\r\n"), (V{"a", "b", "c"}));
  // LF-only files are one line, joined without separator.
  EXPECT_EQ(SplitLines("x=1\ny=2\nz=3"), (V{"x=1y=2z=3"}));
  EXPECT_EQ(SplitLines("x=1\ny=2\n"), V{});
  // The last byte joins the pending line unless it is a line feed.
  EXPECT_EQ(SplitLines("a\r\nb"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\r\nb\n"), (V{"a"}));
  EXPECT_EQ(SplitLines("a\r\nb\r"), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("q"), (V{"q"}));
  EXPECT_EQ(SplitLines(""), V{});
}

TEST(SprLines, TrimLowerCaseCommentsAndLength) {
  EXPECT_EQ(SplitLines("  X=1 , Y=2\t\r\n"), (V{"x=1 , y=2"}));
  EXPECT_EQ(SplitLines("   ; only a comment\r\n"), V{});
  EXPECT_EQ(SplitLines("x=5   ; note\r\n"), (V{"x=5"}));
  EXPECT_EQ(SplitLines(";x=5\r\n\r\n\r\ny=1\r\n"), (V{"y=1"}));
  const std::string longline(300, 'a');
  const auto lines = SplitLines(longline + "\r\nb\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 255u);
  EXPECT_EQ(SplitLines(std::string(255, 'k') + "zz"), (V{std::string(255, 'k')}));
}

TEST(SprLines, AtMostAHundredFields) {
  std::string line;
  for (int i = 1; i <= 102; ++i) line += (i > 1 ? "," : "") + std::to_string(i);
  const auto fields = spr::SplitFields(line);
  ASSERT_EQ(fields.size(), 100u);
  EXPECT_EQ(fields[99], "100");
  EXPECT_EQ(spr::SplitFields("a,,b").size(), 3u);
  EXPECT_EQ(spr::SplitFields("a,").back(), "");
}

TEST(SprValues, Integers) {
  EXPECT_EQ(spr::ParseInteger("42"), 42);
  EXPECT_EQ(spr::ParseInteger("-7"), -7);
  EXPECT_EQ(spr::ParseInteger("+7"), 7);
  EXPECT_EQ(spr::ParseInteger("$1f"), 31);
  EXPECT_EQ(spr::ParseInteger("0x1F"), 31);
  EXPECT_EQ(spr::ParseInteger("xff"), 255);
  EXPECT_EQ(spr::ParseInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(spr::ParseInteger("-2147483648"), INT32_MIN);
  EXPECT_FALSE(spr::ParseInteger("2147483648"));
  EXPECT_FALSE(spr::ParseInteger("$100000000"));
  EXPECT_FALSE(spr::ParseInteger(""));
  EXPECT_FALSE(spr::ParseInteger("$"));
  EXPECT_FALSE(spr::ParseInteger("12a"));
  EXPECT_FALSE(spr::ParseInteger("1.5"));
  EXPECT_FALSE(spr::ParseInteger("--1"));
}

TEST(SprValues, Reals) {
  EXPECT_DOUBLE_EQ(spr::ParseReal("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(spr::ParseReal("-2.5e2"), -250);
  EXPECT_DOUBLE_EQ(spr::ParseReal("+3"), 3);
  EXPECT_DOUBLE_EQ(spr::ParseReal("2.5x"), 2.5);
  EXPECT_DOUBLE_EQ(spr::ParseReal("abc"), 0);
  EXPECT_DOUBLE_EQ(spr::ParseReal("inf"), 0);
  EXPECT_DOUBLE_EQ(spr::ParseReal("1e999"), 0);
}

TEST(SprPaths, ParentDirectoriesBaseNamesAndDirectories) {
  EXPECT_EQ(spr::CollapseParentDirs("graphics\\a\\..\\b\\img.png"), "graphics\\b\\img.png");
  EXPECT_EQ(spr::CollapseParentDirs("graphics\\balls\\..\\x.png"), "graphics\\x.png");
  EXPECT_EQ(spr::CollapseParentDirs("a\\..\\x.png"), "\\x.png");
  EXPECT_EQ(spr::CollapseParentDirs("g\\a\\b\\..\\..\\x.png"), "g\\x.png");
  EXPECT_EQ(spr::CollapseParentDirs("..\\x.png"), "..\\x.png");
  EXPECT_EQ(spr::BaseName("graphics\\balls\\ball.1.png"), "ball.1");
  EXPECT_EQ(spr::BaseName("ball"), "ball");
  // Only "\\" separates directories: "x/a.png" and "y/a.png" are two different images.
  EXPECT_EQ(spr::BaseName("x/a.png"), "x/a");
  EXPECT_EQ(spr::DirectoryOf("graphics\\balls\\b.spr"), "graphics\\balls\\");
  EXPECT_EQ(spr::DirectoryOf("b.spr"), "");
}

class SprLoad : public ::testing::Test {
 protected:
  void SetUp() override { ctx.options.log_enabled = true; }
  const my_prototype& Load(const std::string& text, const std::string& path = "t.spr") {
    WriteFile(path, text);
    return ctx.sprites.prototypes[LoadPrototype(ctx, path)];
  }
  std::string Log() { return test::ReadFile("log.txt"); }
  void Image(const std::string& path, int w, int h, std::uint32_t c = 0xFF00FF00u) {
    WriteFile(path, test::TgaBytes(Picture(w, h, c), 32));
  }
  test::ScratchDir dir;
  Context ctx;
};

TEST_F(SprLoad, CommonSettings) {
  const auto& p = Load(
      "x=1.5,y=-2,z=$10,flip_x=1,flip_y=yes,alpha=300,angle=180,color=0x123456,map_koeff=0.5,"
      "rot_center_x=3,rot_center_y=4,isometric=1,iso_x=7,iso_y=8,iso_z=9,trigger=1\r\n");
  EXPECT_EQ(p.name, "t");
  EXPECT_DOUBLE_EQ(p.x, 1.5);
  EXPECT_DOUBLE_EQ(p.y, -2);
  EXPECT_EQ(p.z, 16);
  EXPECT_TRUE(p.flip_x);
  EXPECT_FALSE(p.flip_y);
  EXPECT_EQ(p.alpha, 44);
  EXPECT_DOUBLE_EQ(p.angle, std::numbers::pi);
  EXPECT_EQ(p.color, 0x123456);
  EXPECT_DOUBLE_EQ(p.map_koeff, 0.5);
  EXPECT_DOUBLE_EQ(p.rot_center_y, 4);
  EXPECT_TRUE(p.isometric);
  EXPECT_EQ(p.iso_z, 9);
  EXPECT_TRUE(p.parts.empty());
  EXPECT_TRUE(p.groups.empty());
  EXPECT_EQ(p.width, 0);  // width only takes effect at part lines
}

TEST_F(SprLoad, ScaleOrderAndScanStops) {
  EXPECT_DOUBLE_EQ(Load("scale=2,scale_y=3\r\n").scale_y, 3);
  const auto& b = Load("scale_y=3,scale=2\r\n", "u.spr");
  EXPECT_DOUBLE_EQ(b.scale_x, 2);
  EXPECT_DOUBLE_EQ(b.scale_y, 2);
  const auto& c = Load("x=1,,y=2\r\n", "c.spr");
  EXPECT_DOUBLE_EQ(c.x, 1);
  EXPECT_DOUBLE_EQ(c.y, 0);
  const auto& d = Load("x=1,word,y=2\r\n", "d.spr");
  EXPECT_DOUBLE_EQ(d.y, 0);
  const auto& e = Load("x=1,=3,y=2\r\n", "e.spr");
  EXPECT_DOUBLE_EQ(e.y, 0);
  // An unknown key is skipped and scanning goes on.
  const auto& f = Load("x=1,bogus=4,y=2\r\n", "f.spr");
  EXPECT_DOUBLE_EQ(f.y, 2);
}

TEST_F(SprLoad, FormatErrorStopsReadingAndKeepsWhatWasRead) {
  Image("a.tga", 8, 8);
  const auto& p = Load("x=1\r\n1\r\na.tga,texture_size=8\r\nabc\r\n1\r\na.tga,texture_size=8\r\n");
  EXPECT_EQ(p.parts.size(), 1u);
  EXPECT_NE(Log().find("ERROR: prototype_format_error"), std::string::npos);
  const auto& q = Load("z=1.5,x=3\r\n", "q.spr");
  EXPECT_DOUBLE_EQ(q.x, 0);
  EXPECT_EQ(q.name, "q");
}

TEST_F(SprLoad, GroupsPartsAndContinuations) {
  Image("gfx\\strip.tga", 128, 16);
  Image("gfx\\one.tga", 32, 16);
  Image("gfx\\two.tga", 32, 16);
  const auto& p = Load(
      "z=5\r\n"
      "2\r\n"
      "strip.tga,frame_width=32,texture_size=32,anim_speed=500,x=3,z=2,border=1\r\n"
      "one.tga,texture_size=32,alpha_mode=1,anim_speed=250\r\n"
      "+ two.tga,x=99\r\n"
      "1\r\n"
      "strip.tga,texture_size=32,anim_loop=0\r\n",
      "gfx\\p.spr");
  ASSERT_EQ(p.groups.size(), 2u);
  EXPECT_EQ(p.groups[0].first_part, 0);
  EXPECT_EQ(p.groups[0].part_count, 2);
  EXPECT_EQ(p.groups[0].current_part, -1);
  EXPECT_EQ(p.groups[1].first_part, 2);
  ASSERT_EQ(p.parts.size(), 3u);
  EXPECT_EQ(p.parts[0].frame_count, 4);
  EXPECT_DOUBLE_EQ(p.parts[0].anim_speed, 0.5);
  EXPECT_TRUE(p.parts[0].anim_loop);
  EXPECT_EQ(p.parts[0].image_name, "strip");
  EXPECT_EQ(p.parts[0].border, 1);
  EXPECT_EQ(p.parts[1].frame_count, 2);  // the continuation frame
  EXPECT_DOUBLE_EQ(p.parts[1].anim_speed, 0.25);
  EXPECT_DOUBLE_EQ(p.parts[1].x, 0);  // settings on continuation lines are ignored
  EXPECT_EQ(p.parts[1].alpha_mode, 1);
  EXPECT_EQ(p.parts[1].group_index, 0);
  EXPECT_EQ(p.parts[2].group_index, 1);
  // The reused image keeps the first part's frames; the part's own settings are not used.
  EXPECT_EQ(p.parts[2].frame_count, 4);
  EXPECT_FALSE(p.parts[2].anim_loop);
  const auto& rec = ctx.sprites.textures[p.parts[2].texture_index];
  EXPECT_EQ(rec.frame_width, 32);
  EXPECT_EQ(rec.frames, ctx.sprites.textures[p.parts[0].texture_index].frames);
  // Reusing a loaded image fixes the size to that image's full size.
  EXPECT_EQ(p.width, 128);
  EXPECT_EQ(p.height, 16);
}

TEST_F(SprLoad, SingleFramePartHasNoAnimation) {
  Image("a.tga", 16, 16);
  const auto& p = Load("x=0\r\n1\r\na.tga,texture_size=16,anim_speed=900\r\n");
  EXPECT_EQ(p.parts[0].frame_count, 1);
  EXPECT_DOUBLE_EQ(p.parts[0].anim_speed, 0);
  EXPECT_FALSE(p.parts[0].anim_loop);
}

TEST_F(SprLoad, PrototypeSize) {
  Image("w.tga", 64, 20);
  EXPECT_EQ(Load("width=300\r\n1\r\nw.tga,texture_size=64,x=10\r\n").width, 300);
  Image("v.tga", 64, 20);
  const auto& p = Load("x=0\r\n1\r\nv.tga,texture_size=64,x=10,y=0.5\r\n", "n.spr");
  EXPECT_EQ(p.width, 74);
  EXPECT_EQ(p.height, 21);  // rounded up
  // Without parts, width and height stay 0 even when given.
  EXPECT_EQ(Load("width=300,height=7\r\n", "e.spr").height, 0);
}

TEST_F(SprLoad, ImagePathsAndMissingFiles) {
  Image("graphics\\b\\img.tga", 8, 8);
  const auto& p = Load("x=0\r\n1\r\n..\\b\\img.tga,texture_size=8\r\n", "graphics\\a\\s.spr");
  EXPECT_EQ(ctx.sprites.textures[p.parts[0].texture_index].frames.size(), 1u);
  Load("x=0\r\n1\r\nnone.png|nalpha.tga,texture_size=8\r\n", "graphics\\m.spr");
  const std::string log = Log();
  EXPECT_NE(log.find("ERROR: prototype_create_texture_file_not_found \"graphics\\none.png\""),
            std::string::npos);
  EXPECT_NE(log.find("ERROR: prototype_create_alpha_texture_file_not_found "
                     "\"graphics\\nalpha.tga\""),
            std::string::npos);
}

TEST_F(SprLoad, MissingDefinitionLogsAndLeavesTheSlotFree) {
  EXPECT_EQ(LoadPrototype(ctx, "graphics\\nope.spr"), 0);
  EXPECT_NE(Log().find("ERROR_prototype_create_file_not_found: \"graphics\\nope.spr\""),
            std::string::npos);
  EXPECT_NE(Log().find("index=0"), std::string::npos);
  EXPECT_TRUE(ctx.sprites.prototypes[0].name.empty());
  WriteFile("ok.spr", "x=1\r\n");
  EXPECT_EQ(LoadPrototype(ctx, "ok.spr"), 0);  // the free slot is taken again
}

TEST_F(SprLoad, FindPrototypeLowerCasesAndLoadsOnce) {
  WriteFile("graphics\\ball.spr", "x=1\r\n");
  const int a = GetPrototype(ctx, "graphics\\ball.spr");
  EXPECT_EQ(GetPrototype(ctx, " GRAPHICS\\Ball.SPR "), a);
  EXPECT_EQ(FindPrototype(ctx, "other\\ball.spr"), a);
  EXPECT_EQ(ctx.sprites.prototypes.size(), 1u);
  // A path given in upper case names its prototype so that it is never found again.
  WriteFile("Up.spr", "x=1\r\n");
  const int u1 = GetPrototype(ctx, "Up.spr");
  const int u2 = GetPrototype(ctx, "Up.spr");
  EXPECT_NE(u1, u2);
  EXPECT_EQ(ctx.sprites.prototypes[u1].name, "Up");
}

}  // namespace
}  // namespace qv
