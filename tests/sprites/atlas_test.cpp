// Frames cut into tiles, atlas slots, pixel layouts, alpha images and sharing of images.
#include <gtest/gtest.h>

#include "sprite_test_util.h"
#include "sprites/atlas.h"
#include "sprites/prototype.h"

namespace qv {
namespace {

using test::Picture;
using test::WriteFile;

class Atlas : public ::testing::Test {
 protected:
  void SetUp() override { ctx.platform.device = &device; }
  const my_prototype& Load(const std::string& path, const std::string& text) {
    WriteFile(path, text);
    return ctx.sprites.prototypes[GetPrototype(ctx, path)];
  }
  const my_bmptexture& Record(const my_prototype& p, int part = 0) {
    return ctx.sprites.textures[p.parts[part].texture_index];
  }
  const my_texture& Tile(const my_bmptexture& rec, int frame, int tile) {
    return ctx.sprites.tiles[ctx.sprites.frames[rec.frames[frame]].first_tile + tile];
  }
  test::ScratchDir dir;
  test::FakeDevice device;
  Context ctx;
};

TEST_F(Atlas, TilesWithBordersAndTransparentPadding) {
  Picture pic(100, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x)
      pic.at(x, y) = 0xFF000000u | static_cast<std::uint32_t>(x << 8 | y);
  WriteFile("w.tga", test::TgaBytes(pic, 24));
  const auto& rec = Record(Load("w.spr", "x=0\r\n1\r\nw.tga,texture_size=64,border=1\r\n"));
  EXPECT_EQ(rec.tiles_per_frame, 2);
  const my_texture& t0 = Tile(rec, 0, 0);
  const my_texture& t1 = Tile(rec, 0, 1);
  EXPECT_EQ(t1.x, 62);
  EXPECT_EQ(t1.y, 0);
  auto px = [](const my_texture& t, int x, int y) { return t.pixels32[y * 64 + x]; };
  EXPECT_EQ(px(t0, 0, 5), 0u);             // frame column -1
  EXPECT_EQ(px(t0, 1, 0), 0u);             // frame row -1
  EXPECT_EQ(px(t0, 1, 1), 0xFF000000u);    // frame (0, 0)
  EXPECT_EQ(px(t0, 63, 30), 0xFF003E1Du);  // frame (62, 29)
  EXPECT_EQ(px(t0, 63, 31), 0u);           // below row 29
  EXPECT_EQ(px(t1, 0, 1), 0xFF003D00u);    // frame column 61
  EXPECT_EQ(px(t1, 38, 1), 0xFF006300u);   // frame column 99
  EXPECT_EQ(px(t1, 39, 1), 0u);            // beyond the frame
  // Two 64-tiles: slots 0 and 1 of the first 64 atlas texture.
  EXPECT_EQ(t1.slot, 1);
  EXPECT_EQ(t1.atlas_x, 64);
  EXPECT_DOUBLE_EQ(t1.u, 0.25);
  // The device texture holds the tile at its slot after the upload.
  const auto& texels = device.textures[t1.atlas_texture_index];
  EXPECT_EQ(texels[1 * 256 + 64 + 38], 0xFF006300u);
}

// A tile is opaque when every pixel it draws is: transparent padding beyond the frame and the
// border do not count, one translucent pixel inside does.
TEST_F(Atlas, OpaqueTilesIgnoreTheirPaddingButNotTheirPixels) {
  Picture pic(100, 30, 0xFF405060u);
  pic.at(80, 20) = 0xFE405060u;
  WriteFile("o.tga", test::TgaBytes(pic, 32));
  const auto& rec = Record(Load("o.spr", "x=0\r\n1\r\no.tga,texture_size=64,border=1\r\n"));
  EXPECT_TRUE(Tile(rec, 0, 0).opaque);   // padded below and bordered by the next tile
  EXPECT_FALSE(Tile(rec, 0, 1).opaque);  // holds (80, 20)
}

TEST_F(Atlas, TransparentTilesTakeNoSlot) {
  Picture pic(64, 32, 0);
  pic.Fill(40, 0, 64, 32, 0xFF00FF00u);
  WriteFile("t.tga", test::TgaBytes(pic, 32));
  WriteFile("clear.tga", test::TgaBytes(Picture(32, 32, 0x00FFFFFFu), 32));
  const auto& p =
      Load("t.spr", "x=0\r\n2\r\nt.tga,texture_size=32\r\nclear.tga,texture_size=32\r\n");
  const auto& rec = Record(p);
  EXPECT_FALSE(Tile(rec, 0, 0).has_content);
  EXPECT_TRUE(Tile(rec, 0, 0).pixels32.empty());
  EXPECT_EQ(Tile(rec, 0, 0).atlas_texture_index, -1);
  EXPECT_TRUE(Tile(rec, 0, 1).has_content);
  EXPECT_EQ(Tile(rec, 0, 1).slot, 0);
  EXPECT_FALSE(Tile(Record(p, 1), 0, 0).has_content);
}

TEST_F(Atlas, FullAtlasTexturesOpenNewOnes) {
  WriteFile("big.tga", test::TgaBytes(Picture(64 * 17, 64, 0xFFFFFFFFu), 24));
  const auto& rec = Record(Load("big.spr", "x=0\r\n1\r\nbig.tga,texture_size=64\r\n"));
  EXPECT_EQ(Tile(rec, 0, 15).atlas_texture_index, 0);
  EXPECT_EQ(Tile(rec, 0, 15).slot, 15);
  EXPECT_EQ(Tile(rec, 0, 16).atlas_texture_index, 1);
  EXPECT_EQ(Tile(rec, 0, 16).slot, 0);
  EXPECT_EQ(ctx.sprites.size_classes[3].textures.size(), 2u);
  EXPECT_EQ(ctx.sprites.size_classes[3].textures[1].free_slots, 15);
  WriteFile("small.tga", test::TgaBytes(Picture(8 * 1025, 8, 0xFFFFFFFFu), 24));
  const auto& s = Record(Load("small.spr", "x=0\r\n1\r\nsmall.tga,texture_size=8\r\n"));
  EXPECT_EQ(Tile(s, 0, 1023).slot, 1023);
  EXPECT_EQ(Tile(s, 0, 1023).atlas_y, 248);
  EXPECT_EQ(Tile(s, 0, 1024).atlas_texture_index, 3);
  EXPECT_EQ(Tile(s, 0, 1024).slot, 0);
}

TEST_F(Atlas, ImagesAreSharedByBaseName) {
  WriteFile("a\\ball.tga", test::TgaBytes(Picture(32, 32, 0xFFFF0000u), 24));
  WriteFile("b\\ball.tga", test::TgaBytes(Picture(32, 32, 0xFF0000FFu), 24));
  const auto& p1 = Load("a\\one.spr", "x=0\r\n1\r\nball.tga,texture_size=32\r\n");
  const auto tiles = ctx.sprites.tiles.size();
  const auto& p2 = Load("b\\two.spr", "x=0\r\n1\r\nball.tga,texture_size=16,frame_width=8\r\n");
  const auto& r1 = Record(p1);
  const auto& r2 = Record(p2);
  EXPECT_NE(p1.parts[0].texture_index, p2.parts[0].texture_index);
  EXPECT_EQ(r1.frames, r2.frames);
  EXPECT_EQ(r2.texture_size, 32);
  EXPECT_EQ(r2.frame_width, 32);
  EXPECT_EQ(ctx.sprites.tiles.size(), tiles);  // the second image was never read
  // Loading the same path again is a cache hit.
  EXPECT_EQ(GetPrototype(ctx, "a\\one.spr"), 0);
}

TEST_F(Atlas, SixteenBitLayout) {
  ctx.options.textures16bit = true;
  WriteFile("h.tga", test::TgaBytes(Picture(8, 8, 0x80123456u), 32));
  const auto& rec = Record(Load("h.spr", "x=0\r\n1\r\nh.tga,texture_size=8\r\n"));
  EXPECT_EQ(Tile(rec, 0, 0).pixels16[0], 0x8135);
  EXPECT_TRUE(Tile(rec, 0, 0).pixels32.empty());
  EXPECT_EQ(device.formats[0], platform::TextureFormat::ARGB4444);
  EXPECT_EQ(ToArgb4444(0x0FFFFFFFu), 0x0FFF);
  // Alpha below 16 vanishes in 4 bits: such a tile shows nothing and takes no slot.
  WriteFile("faint.tga", test::TgaBytes(Picture(8, 8, 0x0F123456u), 32));
  EXPECT_FALSE(
      Tile(Record(Load("f.spr", "x=0\r\n1\r\nfaint.tga,texture_size=8\r\n")), 0, 0).has_content);
}

TEST_F(Atlas, AlphaImagesAndTransparentPixels) {
  Picture colour(4, 1, 0xFF336699u);
  Picture alpha(4, 1);
  alpha.px = {0xFF000000u, 0xFF808080u, 0xFFFFFFFFu, 0xFF000000u};
  WriteFile("c.bmp", test::BmpBytes(colour, 24));
  WriteFile("c_a.tga", test::TgaBytes(alpha, 8));
  const auto& rec = Record(Load("c.spr", "x=0\r\n1\r\nc.bmp|c_a.tga,texture_size=8\r\n"));
  const auto& t = Tile(rec, 0, 0);
  // The image has no alpha of its own, so a zero alpha keeps the colour.
  EXPECT_EQ(t.pixels32[0], 0x00336699u);
  EXPECT_EQ(t.pixels32[1], 0x80336699u);
  EXPECT_EQ(t.pixels32[2], 0xFF336699u);
  // With its own alpha, a zero alpha clears the colour.
  Picture own(2, 1);
  own.px = {0x00FFFFFFu, 0x40FFFFFFu};
  WriteFile("o.tga", test::TgaBytes(own, 32));
  const auto& o = Tile(Record(Load("o.spr", "x=0\r\n1\r\no.tga,texture_size=8\r\n")), 0, 0);
  EXPECT_EQ(o.pixels32[0], 0u);
  EXPECT_EQ(o.pixels32[1], 0x40FFFFFFu);
}

TEST_F(Atlas, BadTileSizesAndBrokenImagesDrawNothing) {
  WriteFile("x.tga", test::TgaBytes(Picture(16, 16, 0xFFFFFFFFu), 24));
  WriteFile("broken.png", "\x89PNG\r\n\x1a\n garbage");
  ctx.options.log_enabled = true;
  const auto& p = Load("bad.spr",
                       "x=0\r\n4\r\nx.tga,texture_size=24\r\nx.tga,texture_size=0\r\n"
                       "broken.png,texture_size=16\r\nx.tga,texture_size=8,border=4\r\n");
  ASSERT_EQ(p.parts.size(), 4u);
  // An image path that names a folder reads as a missing image.
  std::filesystem::create_directories("dir.tga");
  EXPECT_EQ(Load("d.spr", "x=0\r\n1\r\ndir.tga,texture_size=8\r\n").parts[0].frame_count, 0);
  EXPECT_EQ(Record(p).tiles_per_frame, 0);
  EXPECT_EQ(Record(p, 2).frames.size(), 0u);
  EXPECT_EQ(p.parts[2].frame_count, 0);
  const std::string log = test::ReadFile("log.txt");
  EXPECT_NE(log.find("ERROR: prototype_create_bad_texture_size 24"), std::string::npos);
  EXPECT_NE(log.find("ERROR: prototype_create_texture_bad_image \"broken.png\""),
            std::string::npos);
}

TEST_F(Atlas, RestoreRebuildsEveryAtlasTexture) {
  WriteFile("r.tga", test::TgaBytes(Picture(64 * 17, 64, 0xFFABCDEFu), 24));
  Load("r.spr", "x=0\r\n1\r\nr.tga,texture_size=64\r\n");
  ReleaseDeviceTextures(ctx);
  EXPECT_EQ(ctx.sprites.device_textures[0].id, -1);
  device.textures.clear();
  device.formats.clear();
  EXPECT_TRUE(RestoreTextures(ctx));
  ASSERT_EQ(device.textures.size(), 2u);
  EXPECT_EQ(device.textures[1][0], 0xFFABCDEFu);
  EXPECT_EQ(device.textures[1][64], 0u);  // slot 1 of the second texture is free
  EXPECT_EQ(device.textures[0][255 * 256 + 255], 0xFFABCDEFu);
}

}  // namespace
}  // namespace qv
