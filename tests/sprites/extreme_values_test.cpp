// Definition files with values at the ends of their types, and damaged images: loading never
// overflows, never allocates what a value merely claims, and logs what it refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>

#include "sprite_test_util.h"
#include "sprites/atlas.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"

namespace qv {
namespace {

using test::Picture;
using test::WriteFile;

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

class Extreme : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.platform.device = &device;
    ctx.options.log_enabled = true;
    WriteFile("a.tga", test::TgaBytes(Picture(16, 12, 0xFF102030u), 24));
  }
  const my_prototype& Load(const std::string& path, const std::string& text) {
    WriteFile(path, text);
    return ctx.sprites.prototypes[GetPrototype(ctx, path)];
  }
  const my_bmptexture& Record(const my_prototype& p, int part = 0) {
    return ctx.sprites.textures[p.parts[part].texture_index];
  }
  bool Logged(const std::string& text) const {
    return test::ReadFile("log.txt").find(text) != std::string::npos;
  }
  // Quads the draw pass makes for one instance of the definition.
  std::size_t QuadsOf(const std::string& path) {
    TMultiSprite* m = CreateMultiSprite(ctx, path);
    m->Update();
    SpriteEngineMove(ctx, 16);
    SpriteEngineDraw(ctx);
    const std::size_t n = ctx.sprites.draw_list.size();
    DestroyMultiSprite(ctx, m);
    return n;
  }
  test::ScratchDir dir;
  test::FakeDevice device;
  Context ctx;
};

TEST_F(Extreme, BordersBeyondTheTileDrawNothing) {
  for (const char* border : {"2147483647", "-2147483648", "8"}) {
    const std::string path = std::string("b") + border + ".spr";
    const auto& p = Load(path, std::string("x=0\r\n1\r\na.tga,texture_size=16,border=") + border +
                                   "\r\n");
    ASSERT_EQ(p.parts.size(), 1u) << border;
    EXPECT_EQ(Record(p).tiles_per_frame, 0) << border;
    EXPECT_EQ(QuadsOf(path), 0u) << border;
  }
  // Only the first reads the image; the others reuse it and their own border is not used.
  EXPECT_TRUE(Logged("ERROR: prototype_create_bad_border 2147483647 \"a\""));
  // The same image by another name, since "a" is now known without tiles.
  WriteFile("ok.tga", test::TgaBytes(Picture(16, 12, 0xFF102030u), 24));
  Load("ok.spr", "x=0\r\n1\r\nok.tga,texture_size=16\r\n");
  EXPECT_EQ(QuadsOf("ok.spr"), 1u);
}

// A continuation line copies a frame cut with tiles of 8 into a part whose own image did not
// read and whose border is out of range.
TEST_F(Extreme, BorderOutOfRangeIsReportedAndClearedEvenWithoutAnImage) {
  const auto& p = Load("c.spr",
                       "x\r\n2\r\na.tga,texture_size=8\r\na\r\n1\r\n"
                       "7,border=-2147483648\r\n+ a.\r\n");
  ASSERT_EQ(p.parts.size(), 3u);
  EXPECT_EQ(p.parts[2].frame_count, 1);
  EXPECT_EQ(p.parts[2].border, 0);
  EXPECT_EQ(Record(p, 2).border, 0);
  EXPECT_EQ(Record(p, 2).texture_size, 0);
  EXPECT_TRUE(Logged("ERROR: prototype_create_bad_texture_size 0 \"7\""));
  const auto& q = Load("d.spr", "x\r\n1\r\n8,texture_size=16,border=-2147483648\r\n+ a.\r\n");
  EXPECT_TRUE(Logged("ERROR: prototype_create_bad_border -2147483648 \"8\""));
  EXPECT_EQ(Record(q).border, 0);
  // Part 0 draws its 2 x 2 tiles, each row as one quad; part 2 has a frame without a size of its
  // own and draws nothing.
  EXPECT_EQ(QuadsOf("c.spr"), 2u);
  EXPECT_EQ(QuadsOf("d.spr"), 0u);
}

TEST_F(Extreme, FramesWiderOrTallerThanTheImageAreLoggedAndSizesSaturate) {
  const auto& wide =
      Load("w.spr", "x=0\r\n1\r\na.tga,frame_width=2147483647,x=1,texture_size=16\r\n");
  EXPECT_EQ(wide.parts[0].frame_count, 0);
  EXPECT_EQ(wide.width, kIntMax);
  EXPECT_TRUE(
      Logged("ERROR: prototype_create_frame_larger_than_image \"a\" 2147483647x12 > 16x12"));
  const auto& tall =
      Load("t.spr", "x=0\r\n1\r\na.tga,frame_height=13,y=-1e300,texture_size=16\r\n");
  EXPECT_EQ(tall.parts[0].frame_count, 0);
  EXPECT_TRUE(Logged("\"a\" 16x13 > 16x12"));
  // A real offset far beyond an int saturates the size as well.
  const auto& far = Load("f.spr", "x=0\r\n1\r\nother.tga|x.tga,x=1e300,texture_size=16\r\n");
  EXPECT_EQ(far.width, kIntMax);
  const auto& back = Load("g.spr", "x=0\r\n1\r\na.tga,x=-1e300,y=-5,texture_size=16\r\n");
  EXPECT_EQ(back.width, 16);  // the frame width set first, then never below it
}

TEST_F(Extreme, DrawOrderSaturatesAtTheEndsOfItsRange) {
  Load("hi.spr",
       "z=2147483647\r\n2\r\na.tga,z=1,texture_size=16\r\na.tga,z=-1,texture_size=16\r\n");
  Load("lo.spr", "z=-2147483648\r\n1\r\na.tga,z=-1,texture_size=16\r\n");
  TMultiSprite* hi = CreateMultiSprite(ctx, "hi.spr");
  TMultiSprite* lo = CreateMultiSprite(ctx, "lo.spr");
  hi->Update();
  lo->Update();
  EXPECT_EQ(hi->parts[0]->z(), kIntMax);
  EXPECT_EQ(hi->parts[1]->z(), kIntMax - 1);
  EXPECT_EQ(lo->parts[0]->z(), kIntMin);
  // Callers may set the instance's z freely too.
  hi->z = kIntMin;
  hi->Update();
  EXPECT_EQ(hi->parts[1]->z(), kIntMin);
  EXPECT_EQ(hi->parts[0]->z(), kIntMin + 1);
}

TEST_F(Extreme, TileSizesAreCheckedBeforeAnythingIsAllocated) {
  // 46341 squared pixels would need 8 GB, $80ff40 squared far more.
  for (const char* size : {"46341", "$80ff40", "-8", "2147483647"}) {
    // One image per size: a second part naming a loaded image would reuse its record.
    const std::string name = std::string("s") + (size[0] == '$' ? "hex" : size);
    WriteFile(name + ".tga", test::TgaBytes(Picture(16, 12, 0xFF102030u), 24));
    const auto& p =
        Load(name + ".spr", "x=0\r\n1\r\n" + name + ".tga,texture_size=" + size + "\r\n");
    ASSERT_EQ(p.parts.size(), 1u) << size;
    EXPECT_EQ(Record(p).tiles_per_frame, 0) << size;
    EXPECT_EQ(QuadsOf(name + ".spr"), 0u) << size;
  }
  EXPECT_TRUE(Logged("ERROR: prototype_create_bad_texture_size 46341 \"s46341\""));
  EXPECT_TRUE(Logged("ERROR: prototype_create_bad_texture_size 8453952 \"shex\""));
}

TEST_F(Extreme, TinyFramesOnALargeImageAreRefusedAsAWhole) {
  WriteFile("big.tga", test::TgaBytes(Picture(1280, 1200, 0xFFFFFFFFu), 24));
  const auto start = std::chrono::steady_clock::now();
  const auto& p = Load("big.spr",
                       "x=0\r\n2\r\nbig.tga,frame_width=1,frame_height=1,texture_size=8\r\n"
                       "big.tga,frame_width=1,frame_height=1,texture_size=24\r\n");
  EXPECT_TRUE(Logged("ERROR: prototype_create_texture_too_large \"big\""));
  EXPECT_EQ(p.parts[0].frame_count, 0);
  EXPECT_TRUE(ctx.sprites.frames.empty());
  EXPECT_TRUE(ctx.sprites.tiles.empty());
  // Many lookups of other images afterwards stay cheap.
  for (int i = 0; i < 300; ++i)
    Load("n" + std::to_string(i) + ".spr", "x=0\r\n1\r\nmissing" + std::to_string(i) +
                                               ".tga,texture_size=8\r\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(Extreme, LookupsFindTheFirstRecordOfAnImageAmongManyFrames) {
  // 256 frames of one image, then a continuation image: both names are found in their record.
  WriteFile("strip.tga", test::TgaBytes(Picture(256, 2, 0xFFFFFFFFu), 24));
  WriteFile("extra.tga", test::TgaBytes(Picture(1, 2, 0xFFFFFFFFu), 24));
  Load("m.spr",
       "x=0\r\n1\r\nstrip.tga,frame_width=1,texture_size=8\r\n+extra.tga\r\n+strip.tga\r\n");
  int frame = -1;
  EXPECT_EQ(FindLoadedImage(ctx, "strip", &frame), 0);
  EXPECT_EQ(frame, 0);
  EXPECT_EQ(FindLoadedImage(ctx, "extra", &frame), 0);
  EXPECT_EQ(ctx.sprites.frames[frame].name, "extra");
  EXPECT_EQ(ctx.sprites.textures[0].frames.size(), 256u + 1 + 1);
  const auto& copy = Load("n.spr", "x=0\r\n1\r\nextra.tga,texture_size=8\r\n");
  EXPECT_EQ(Record(copy).frames, ctx.sprites.textures[0].frames);
  EXPECT_EQ(FindLoadedImage(ctx, "nothing", &frame), -1);
}

TEST_F(Extreme, DamagedJpegsAreDrawnAsDecodedAndLogged) {
  // Busy pixels, so that the scan data is most of the file and a cut lands inside it.
  Picture pic(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      pic.at(x, y) = 0xFF000000u | ((x * 977u + y * 131u) * 2654435761u >> 8);
  const std::string whole = test::JpegBytes(pic, 95);
  WriteFile("cut.jpg", whole.substr(0, whole.size() * 3 / 4));
  WriteFile("fine.jpg", whole);
  const auto& cut = Load("cut.spr", "x=0\r\n1\r\ncut.jpg,texture_size=64\r\n");
  EXPECT_EQ(cut.parts[0].frame_count, 1);
  EXPECT_TRUE(Logged("ERROR: prototype_create_texture_damaged_image \"cut.jpg\": "));
  Load("fine.spr", "x=0\r\n1\r\nfine.jpg,texture_size=64\r\n");
  EXPECT_FALSE(Logged("\"fine.jpg\""));
}

TEST_F(Extreme, DefinitionsThatGiveNoPartsAreLogged) {
  EXPECT_TRUE(Load("empty.spr", "").parts.empty());
  // Line feeds only: one line, dropped whole by its final line feed.
  EXPECT_TRUE(Load("lf.spr", "x=0\n1\na.tga,texture_size=16\n").parts.empty());
  EXPECT_TRUE(Logged("ERROR: prototype_without_parts \"empty.spr\""));
  EXPECT_TRUE(Logged("ERROR: prototype_without_parts \"lf.spr\""));
  Load("fine.spr", "x=0\r\n1\r\na.tga,texture_size=16\r\n");
  EXPECT_FALSE(Logged("\"fine.spr\""));
}

TEST_F(Extreme, FreedSlotsAreTakenLowestFirst) {
  Load("o.spr", "x=0\r\n1\r\na.tga,texture_size=16\r\n");
  std::vector<TMultiSprite*> made;
  for (int i = 0; i < 5; ++i) made.push_back(CreateMultiSprite(ctx, "o.spr"));
  DestroyMultiSprite(ctx, made[3]);
  DestroyMultiSprite(ctx, made[1]);
  EXPECT_EQ(CreateMultiSprite(ctx, "o.spr")->list_index, 1);
  EXPECT_EQ(CreateMultiSprite(ctx, "o.spr")->list_index, 3);
  EXPECT_EQ(CreateMultiSprite(ctx, "o.spr")->list_index, 5);
  DestroyMultiSpriteAt(ctx, 0);
  DestroyMultiSpriteAt(ctx, 0);  // an empty slot again
  EXPECT_EQ(CreateMultiSprite(ctx, "o.spr")->list_index, 0);
  EXPECT_EQ(MultiSpriteCount(ctx), 6);
}

}  // namespace
}  // namespace qv
