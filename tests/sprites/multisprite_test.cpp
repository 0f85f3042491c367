// Multisprite instances, the move and draw passes, quads and the render pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "sprite_test_util.h"
#include "sprites/atlas.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"

namespace qv {
namespace {

using test::Picture;
using test::WriteFile;

class Multi : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.platform.device = &device;
    WriteFile("g\\a.tga", test::TgaBytes(Picture(32, 32, 0xFFFF0000u), 32));
    WriteFile("g\\b.tga", test::TgaBytes(Picture(32, 32, 0xFF00FF00u), 32));
    WriteFile("g\\c.tga", test::TgaBytes(Picture(32, 32, 0xFF0000FFu), 32));
    WriteFile("g\\strip.tga", test::TgaBytes(Picture(128, 32, 0xFFFFFFFFu), 32));
    WriteFile("g\\one.spr", "x=10,y=20\r\n1\r\na.tga,texture_size=32\r\n");
    WriteFile("g\\three.spr",
              "x=0\r\n3\r\na.tga,texture_size=32\r\nb.tga,texture_size=32\r\nc.tga,texture_size=32"
              "\r\n1\r\nstrip.tga,frame_width=32,texture_size=32\r\n");
  }
  // One frame step as the frame loop runs it: Update, move, draw.
  void Frame(int move_count = 16) {
    for (int i = 0; i < MultiSpriteCount(ctx); ++i)
      if (auto* m = MultiSpriteAt(ctx, i)) m->Update();
    SpriteEngineMove(ctx, move_count);
    SpriteEngineDraw(ctx);
  }
  test::ScratchDir dir;
  test::FakeDevice device;
  Context ctx;
};

TEST_F(Multi, CreateCopiesThePrototypeAndSelectsPartZero) {
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\three.spr");
  EXPECT_EQ(m->name, "three");
  EXPECT_EQ(m->list_index, 0);
  ASSERT_EQ(m->parts.size(), 4u);
  ASSERT_EQ(m->groups.size(), 2u);
  EXPECT_EQ(m->groups[0].current_part, 0);
  EXPECT_EQ(m->groups[0].current_image_name, "a");
  EXPECT_TRUE(m->parts[0]->visible);
  EXPECT_FALSE(m->parts[1]->visible);
  EXPECT_TRUE(m->parts[3]->visible);
  EXPECT_DOUBLE_EQ(m->parts[0]->x, -2000);  // until the first move step
  EXPECT_EQ(m->parts[3]->anim_count, 4);
  EXPECT_EQ(m->parts[3]->width, 128);
  EXPECT_EQ(m->width, 32);  // the last part line's frame
}

TEST_F(Multi, SelectPart) {
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\three.spr");
  m->SelectPart(0, 2);
  EXPECT_FALSE(m->parts[0]->visible);
  EXPECT_TRUE(m->parts[2]->visible);
  EXPECT_EQ(m->groups[0].current_image_name, "c");
  m->parts[0]->visible = true;
  m->SelectPart(0, 2);  // already shown: nothing changes
  EXPECT_TRUE(m->parts[0]->visible);
  m->SelectPart(0, 5);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(m->parts[i]->visible);
  EXPECT_TRUE(m->parts[3]->visible);  // other groups untouched
  m->SelectPart(7, 0);                // no such group
}

TEST_F(Multi, SlotsAreReusedAndTheListNeverShrinks) {
  TMultiSprite* a = CreateMultiSprite(ctx, "g\\one.spr");
  TMultiSprite* b = CreateMultiSprite(ctx, "g\\one.spr");
  CreateMultiSprite(ctx, "g\\one.spr");
  EXPECT_EQ(ctx.sprites.multisprites.capacity(), 512u);
  EXPECT_EQ(b->list_index, 1);
  DestroyMultiSprite(ctx, b);
  EXPECT_EQ(MultiSpriteAt(ctx, 1), nullptr);
  EXPECT_EQ(MultiSpriteCount(ctx), 3);
  EXPECT_EQ(ctx.sprites.engine.Children().size(), 2u);
  TMultiSprite* d = CreateMultiSprite(ctx, "g\\one.spr");
  EXPECT_EQ(d->list_index, 1);
  EXPECT_EQ(MultiSpriteCount(ctx), 3);
  DestroyMultiSprite(ctx, a);
  DestroyMultiSprite(ctx, nullptr);
  for (int i = 0; i < 600; ++i) CreateMultiSprite(ctx, "g\\one.spr");
  EXPECT_EQ(ctx.sprites.multisprites.capacity(), 1024u);
}

TEST_F(Multi, EqualZDrawsTheLaterEntryUnderneath) {
  TMultiSprite* first = CreateMultiSprite(ctx, "g\\one.spr");
  TMultiSprite* second = CreateMultiSprite(ctx, "g\\one.spr");
  first->x = 100;
  second->x = 300;
  Frame();
  ASSERT_EQ(ctx.sprites.draw_list.size(), 2u);
  EXPECT_FLOAT_EQ(ctx.sprites.draw_list[0].quad.x0, 300);  // second drawn first
  // Changing z re-enters the list: back to equal z, the one changed last goes under.
  first->z = 1;
  Frame();
  first->z = 0;
  Frame();
  EXPECT_FLOAT_EQ(ctx.sprites.draw_list[0].quad.x0, 100);
  second->z = -1;
  Frame();
  EXPECT_FLOAT_EQ(ctx.sprites.draw_list[0].quad.x0, 300);
  EXPECT_EQ(ctx.sprites.engine.ZOrder().front()->z(), -1);
}

TEST_F(Multi, AnimationRules) {
  TImageSprite s(&ctx.sprites.engine);
  s.anim_count = 4;
  s.anim_speed = 0.5;
  s.anim_looped = false;
  for (int i = 0; i < 8; ++i) s.AnimStep(1);
  EXPECT_DOUBLE_EQ(s.anim_pos, 3);
  EXPECT_DOUBLE_EQ(s.anim_speed, 0);
  s.anim_looped = true;
  s.anim_pos = 3.9;
  s.anim_speed = 0.2;
  s.AnimStep(1);
  EXPECT_NEAR(s.anim_pos, 0.1, 1e-9);
  s.anim_speed = -0.3;
  s.anim_pos = 0.1;
  s.AnimStep(1);
  EXPECT_NEAR(s.anim_pos, 3.8, 1e-9);
  s.anim_pos = 0.1;
  s.AnimStep(50);  // -14.9 wraps into range
  EXPECT_NEAR(s.anim_pos, 1.1, 1e-9);
  s.anim_count = 0;
  s.AnimStep(1);
  EXPECT_DOUBLE_EQ(s.anim_pos, 0);
  s.anim_looped = false;
  s.anim_count = 4;
  s.anim_pos = 0.5;
  s.anim_speed = -1;
  s.AnimStep(1);
  EXPECT_DOUBLE_EQ(s.anim_pos, 0);
  EXPECT_DOUBLE_EQ(s.anim_speed, 0);
}

TEST_F(Multi, ColourAndAlphaRules) {
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\one.spr");
  m->color = 0x808080;
  m->parts[0]->color = 0xFF0000;
  m->alpha = 128;
  Frame();
  ASSERT_EQ(ctx.sprites.draw_list.size(), 1u);
  EXPECT_EQ(ctx.sprites.draw_list[0].quad.argb, 0x80800000u);
  m->parts[0]->color = 0xFFFFFF;
  m->parts[0]->alpha = 255;
  Frame();
  EXPECT_EQ(ctx.sprites.draw_list[0].quad.argb, 0x80808080u);
  m->alpha = 0;
  Frame();
  EXPECT_TRUE(ctx.sprites.draw_list.empty());
  m->alpha = 255;
  m->visible = false;
  Frame();
  EXPECT_TRUE(ctx.sprites.draw_list.empty());
  m->visible = true;
  m->parts[0]->sprite_type = 1;
  Frame();
  EXPECT_TRUE(ctx.sprites.draw_list.empty());
}

TEST_F(Multi, OffScreenPartsAreCulled) {
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\one.spr");
  auto count_at = [&](double x, double y) {
    m->x = x;
    m->y = y;
    Frame();
    return ctx.sprites.draw_list.size();
  };
  EXPECT_EQ(count_at(-32, 0), 1u);
  EXPECT_EQ(count_at(-33, 0), 0u);
  EXPECT_EQ(count_at(832, 0), 1u);
  EXPECT_EQ(count_at(833, 0), 0u);
  EXPECT_EQ(count_at(0, 633), 0u);
  m->scale_x = 2;
  EXPECT_EQ(count_at(-64, 0), 1u);
}

TEST_F(Multi, PlacementScaleScrollAndContainsPoint) {
  WriteFile("g\\off.spr", "x=0\r\n1\r\na.tga,texture_size=32,x=10,y=4,scale=2\r\n");
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\off.spr");
  m->x = 100;
  m->y = 50;
  m->scale_x = 3;
  ctx.sprites.scroll_x = 20;
  m->map_koeff = 0.5;
  Frame();
  const TMyImageSprite& p = *m->parts[0];
  EXPECT_DOUBLE_EQ(p.world_x, 100 + 3 * 10 * 2);
  EXPECT_DOUBLE_EQ(p.world_y, 50 + 4 * 2);
  EXPECT_DOUBLE_EQ(p.x, 160 - 10);
  // Part scale and flips are not considered; the owner's scale is.
  EXPECT_TRUE(m->ContainsPoint(ctx, 160, 58));
  EXPECT_TRUE(m->ContainsPoint(ctx, 160 + 95.9, 58 + 31));
  EXPECT_FALSE(m->ContainsPoint(ctx, 160 + 96, 58));
  EXPECT_FALSE(m->ContainsPoint(ctx, 159.9, 58));
  m->SelectPart(0, -1);
  EXPECT_FALSE(m->ContainsPoint(ctx, 170, 60));
  TMultiSprite* empty = CreateMultiSprite(ctx, "g\\missing.spr");
  EXPECT_TRUE(empty->parts.empty());
  EXPECT_FALSE(empty->ContainsPoint(ctx, 0, 0));
}

TEST_F(Multi, QuadsOfATiledFrameWithFlips) {
  // 100 x 30 frame, tiles of 64 with border 1: two tiles of step 62.
  WriteFile("g\\wide.tga", test::TgaBytes(Picture(100, 30, 0xFFFFFFFFu), 32));
  WriteFile("g\\wide.spr", "x=0\r\n1\r\nwide.tga,texture_size=64,border=1\r\n");
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\wide.spr");
  m->x = 10.7;
  m->y = 20.2;
  Frame();
  auto& dl = ctx.sprites.draw_list;
  ASSERT_EQ(dl.size(), 2u);
  EXPECT_FLOAT_EQ(dl[0].quad.x0, 10);
  EXPECT_FLOAT_EQ(dl[0].quad.x1, 72);
  EXPECT_FLOAT_EQ(dl[1].quad.x0, 72);
  EXPECT_FLOAT_EQ(dl[1].quad.x1, 110);  // cut at the frame's right edge
  EXPECT_FLOAT_EQ(dl[0].quad.y0, 20);
  EXPECT_FLOAT_EQ(dl[0].quad.y1, 50);
  const my_texture& t1 = ctx.sprites.tiles[1];
  EXPECT_FLOAT_EQ(dl[1].quad.u0, static_cast<float>(1 / 256.0 + t1.u));
  EXPECT_FLOAT_EQ(dl[1].quad.u1, static_cast<float>(39 / 256.0 + t1.u));
  EXPECT_FLOAT_EQ(dl[0].quad.v1, static_cast<float>(31 / 256.0 + ctx.sprites.tiles[0].v));
  EXPECT_EQ(dl[0].border, 1);
  m->flip_x = true;
  m->flip_y = true;
  Frame();
  // Mirrored in the frame rectangle 10..110 x 20..50: tile 0 ends at the right edge.
  EXPECT_FLOAT_EQ(dl[0].quad.x0, 110);
  EXPECT_FLOAT_EQ(dl[0].quad.x1, 48);
  EXPECT_FLOAT_EQ(dl[1].quad.x0, 48);
  EXPECT_FLOAT_EQ(dl[1].quad.x1, 10);
  EXPECT_FLOAT_EQ(dl[0].quad.y0, 50);
  EXPECT_FLOAT_EQ(dl[0].quad.y1, 20);
  m->flip_x = m->flip_y = false;
  m->scale_x = 2;
  m->angle = 0.5;
  m->rot_center_x = 5;
  Frame();
  EXPECT_FLOAT_EQ(dl[1].quad.x0, 10 + 124);
  EXPECT_FLOAT_EQ(dl[1].quad.x1, 10 + 124 + 76);
  EXPECT_FLOAT_EQ(dl[1].angle, 0.5f);
  EXPECT_FLOAT_EQ(dl[1].rot_x, static_cast<float>(5 + 10.7));
}

TEST_F(Multi, FrameCopiedFromAnotherTileSizeDrawsWithItsOwnTiles) {
  WriteFile("g\\eight.spr", "x=0\r\n1\r\nc.tga,texture_size=8\r\n");
  WriteFile("g\\mix.spr", "x=0\r\n1\r\nb.tga,texture_size=32\r\n+ c.tga\r\n");
  CreateMultiSprite(ctx, "g\\eight.spr");
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\mix.spr");
  ASSERT_EQ(m->parts[0]->anim_count, 2);
  MultiSpriteAt(ctx, 0)->visible = false;
  m->parts[0]->anim_pos = 1;
  Frame(0);
  // 4 x 4 tiles of 8, each drawn 8 pixels tall from an 8-pixel slot (not 32 and 32 / 256); the
  // four of a row sit side by side in the atlas and are drawn as one quad.
  const auto& dl = ctx.sprites.draw_list;
  ASSERT_EQ(dl.size(), 4u);
  for (const SpriteQuad& q : dl) {
    EXPECT_FLOAT_EQ(q.quad.x1 - q.quad.x0, 32);
    EXPECT_FLOAT_EQ(q.quad.y1 - q.quad.y0, 8);
    EXPECT_NEAR(q.quad.u1 - q.quad.u0, 32 / 256.0, 1e-6);
    EXPECT_NEAR(q.quad.v1 - q.quad.v0, 8 / 256.0, 1e-6);
  }
  EXPECT_FLOAT_EQ(dl[3].quad.x1, 32);
  EXPECT_FLOAT_EQ(dl[3].quad.y1, 32);
}

// Tiles of a row that sit side by side on their atlas page become one quad, mirrored or not,
// and only where each pixel keeps its texel exactly: not scaled, turned or filtered.
TEST_F(Multi, TilesSideBySideInTheAtlasDrawAsOneQuad) {
  WriteFile("g\\eight.spr", "x=0\r\n1\r\nc.tga,texture_size=8\r\n");
  WriteFile("g\\bordered.spr", "x=0\r\n1\r\nb.tga,texture_size=8,border=1\r\n");
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\eight.spr");
  m->x = 100;
  m->y = 50;
  auto& dl = ctx.sprites.draw_list;
  auto rows = [&] {
    Frame();
    const std::size_t n = dl.size();
    dl.clear();
    return n;
  };
  EXPECT_EQ(rows(), 4u);
  m->flip_x = true;
  EXPECT_EQ(rows(), 4u);
  m->flip_x = false;
  m->alpha = 128;  // faded alike: still one quad a row
  EXPECT_EQ(rows(), 4u);
  m->alpha = 255;
  m->scale_x = 1.5;
  EXPECT_EQ(rows(), 16u);
  m->scale_x = 1;
  m->angle = 0.25;
  EXPECT_EQ(rows(), 16u);
  m->angle = 0;
  DestroyMultiSprite(ctx, m);
  CreateMultiSprite(ctx, "g\\bordered.spr");
  EXPECT_GT(rows(), 4u);
}

// A large tile that is partly clear draws only its cells with content, the wholly opaque ones
// as opaque quads; scaled, it is drawn whole.
TEST_F(Multi, PartlyClearTilesDrawTheirCellsWithContent) {
  Picture frame(64, 64, 0u);
  frame.Fill(0, 0, 64, 16, 0xFF102030u);    // a band across the top
  frame.Fill(0, 16, 8, 64, 0xFF405060u);    // a column down the left
  frame.Fill(32, 32, 48, 40, 0x80FFFFFFu);  // a faint patch
  WriteFile("g\\frame.tga", test::TgaBytes(frame, 32));
  WriteFile("g\\frame.spr", "x=0\r\n1\r\nframe.tga,texture_size=64\r\n");
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\frame.spr");
  m->x = 10;
  m->y = 20;
  Frame();
  auto& dl = ctx.sprites.draw_list;
  ASSERT_EQ(dl.size(), 3u);
  auto rect = [](const SpriteQuad& q) {
    return std::vector<float>{q.quad.x0, q.quad.y0, q.quad.x1, q.quad.y1};
  };
  EXPECT_EQ(rect(dl[0]), (std::vector<float>{10, 20, 74, 36}));
  EXPECT_TRUE(dl[0].quad.opaque);
  EXPECT_EQ(rect(dl[1]), (std::vector<float>{10, 36, 18, 84}));
  EXPECT_TRUE(dl[1].quad.opaque);
  EXPECT_EQ(rect(dl[2]), (std::vector<float>{42, 52, 58, 60}));
  EXPECT_FALSE(dl[2].quad.opaque);
  const my_texture& tile = ctx.sprites.tiles[0];
  EXPECT_FLOAT_EQ(dl[2].quad.u0, static_cast<float>(tile.u + 32 / 256.0));
  EXPECT_FLOAT_EQ(dl[2].quad.v1, static_cast<float>(tile.v + 40 / 256.0));
  dl.clear();
  m->scale_x = 2;
  Frame();
  EXPECT_EQ(dl.size(), 1u);
}

TEST_F(Multi, ShownFrameStaysInRange) {
  TMultiSprite* m = CreateMultiSprite(ctx, "g\\three.spr");
  m->parts[3]->anim_pos = 2.7;
  Frame(0);
  ASSERT_EQ(ctx.sprites.draw_list.size(), 2u);
  const auto& rec = ctx.sprites.textures[m->parts[3]->texture_index];
  const auto& tile = ctx.sprites.tiles[ctx.sprites.frames[rec.frames[2]].first_tile];
  EXPECT_FLOAT_EQ(ctx.sprites.draw_list[0].quad.u0, static_cast<float>(tile.u));
  m->parts[3]->anim_pos = 99;
  m->parts[3]->anim_speed = 0;
  m->parts[3]->anim_looped = false;
  Frame(0);  // clamped, not out of bounds
  EXPECT_EQ(ctx.sprites.draw_list.size(), 2u);
}

TEST_F(Multi, RenderChangesStateOnlyWhereItDiffers) {
  WriteFile("g\\lin.spr", "x=0\r\n1\r\nb.tga,texture_size=32,border=1,alpha_mode=1\r\n");
  TMultiSprite* a = CreateMultiSprite(ctx, "g\\one.spr");
  TMultiSprite* b = CreateMultiSprite(ctx, "g\\one.spr");
  TMultiSprite* c = CreateMultiSprite(ctx, "g\\lin.spr");
  a->z = 1;
  b->z = 2;
  c->z = 3;
  c->scale_x = 1.5;  // off the texel centres: filtered
  Frame();
  device.log.clear();
  EXPECT_TRUE(RenderDrawList(ctx));
  const std::vector<std::string> want = {"rotation 0.000000 10.000000 20.000000",
                                         "blend alpha",
                                         "bind 0",
                                         "filter point",
                                         "draw",
                                         "draw",
                                         "blend add",
                                         "filter linear",
                                         "draw",
                                         "draw",
                                         "draw",
                                         "draw"};  // 32 - 2 = 30: 2 x 2
  EXPECT_EQ(device.log, want);
  EXPECT_TRUE(ctx.sprites.draw_list.empty());
  // One texel per pixel, a bordered tile shows its texels as they are: no filter needed.
  c->scale_x = 1;
  Frame();
  device.log.clear();
  RenderDrawList(ctx);
  EXPECT_EQ(std::count(device.log.begin(), device.log.end(), "filter linear"), 0);
  // A rotated quad sets its rotation every time; the next unrotated one resets it.
  a->angle = 1;
  b->angle = 1;
  Frame();
  device.log.clear();
  RenderDrawList(ctx);
  EXPECT_EQ(device.log[0].rfind("rotation 1.0", 0), 0u);
  EXPECT_EQ(device.log[5].rfind("rotation 1.0", 0), 0u);
  EXPECT_EQ(device.log[7].rfind("rotation 0.0", 0), 0u);
}

// A quad wholly under a later opaque one-to-one copy is skipped; anything the copy might not
// replace exactly (turned, partly outside, under a scaled or tinted copy) is still drawn.
TEST_F(Multi, QuadsCoveredByALaterOpaqueCopyAreSkipped) {
  CreateMultiSprite(ctx, "g\\one.spr");
  Frame();
  ASSERT_FALSE(ctx.sprites.draw_list.empty());
  const int texture = ctx.sprites.draw_list.front().texture;
  auto quad = [&](float x0, float y0, float x1, float y1, float texels, bool opaque = false) {
    SpriteQuad q;
    q.texture = texture;
    q.quad = {x0, y0, x1, y1, 0, 0, texels / 256, texels / 256, 0xFFFFFFFFu, opaque};
    return q;
  };
  auto& list = ctx.sprites.draw_list;
  list.clear();
  list.push_back(quad(0, 0, 64, 64, 64));    // 0: exactly under the copy: skipped
  list.push_back(quad(10, 10, 50, 50, 40));  // 1: inside it: skipped
  list.back().border = 1;
  list.push_back(quad(10, 10, 50, 50, 40));  // 2: turned: drawn
  list.back().angle = 0.5f;
  list.push_back(quad(60, 60, 70, 70, 10));    // 3: partly outside: drawn
  list.push_back(quad(110, 10, 120, 20, 10));  // 4: under the scaled copy: drawn
  list.push_back(quad(210, 10, 220, 20, 10));  // 5: under the tinted, faded copy: drawn
  list.push_back(quad(300, 10, 310, 20, 10));  // under an endless copy: drawn
  list.push_back(quad(-1e30f, 0, 1e30f, 64, 64, true));
  list.back().quad.u1 = list.back().quad.x1 = std::numeric_limits<float>::infinity();
  list.back().quad.x0 = -list.back().quad.x1;
  list.back().quad.u0 = -list.back().quad.u1;
  list.push_back(quad(0, 0, 64, 64, 64, true));  // 6: the copy
  list.push_back(quad(100, 0, 228, 64, 64, true));
  list.push_back(quad(200, 0, 264, 64, 64, true));
  list.back().quad.argb = 0x80FF0000u;
  device.quads.clear();
  EXPECT_TRUE(RenderDrawList(ctx));
  std::vector<float> drawn;
  for (const platform::DeviceQuad& q : device.quads) drawn.push_back(q.x0);
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(drawn, (std::vector<float>{10, 60, 110, 210, 300, -inf, 0, 100, 200}));
}

TEST_F(Multi, LostTexturesStopDrawingUntilRestored) {
  TMultiSprite* a = CreateMultiSprite(ctx, "g\\one.spr");
  (void)a;
  ReleaseDeviceTextures(ctx);
  Frame();
  EXPECT_FALSE(RenderDrawList(ctx));
  EXPECT_TRUE(ctx.sprites.texture_lost);
  EXPECT_EQ(device.log.back(), "bind -1");
  Frame();
  device.log.clear();
  EXPECT_FALSE(RenderDrawList(ctx));
  EXPECT_TRUE(device.log.empty());  // nothing at all in the lost state
  const int uploads = device.uploads;
  EXPECT_TRUE(RestoreTextures(ctx));
  EXPECT_FALSE(ctx.sprites.texture_lost);
  EXPECT_GT(device.uploads, uploads);
  Frame();
  EXPECT_TRUE(RenderDrawList(ctx));
  EXPECT_EQ(device.quads.size(), 1u);
  // A device that refuses textures keeps the lost state.
  ReleaseDeviceTextures(ctx);
  device.fail_create = true;
  EXPECT_FALSE(RestoreTextures(ctx));
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

class Pooled : public TMultiSprite {
 public:
  int extra = 0;
};

TEST_F(Multi, PooledPicturesComeBackAsNewInTheirSlot) {
  TMultiSprite* m = AcquireMultiSprite(ctx, "g\\three.spr");
  const int slot = m->list_index;
  m->x = 500;
  m->alpha = 7;
  m->tag = "explose_particle";
  m->SelectPart(0, 2);
  m->parts[3]->anim_pos = 2.5;
  ReleaseMultiSprite(ctx, m);
  EXPECT_TRUE(m->pooled);
  EXPECT_FALSE(m->visible);
  EXPECT_EQ(m->tag, "");
  EXPECT_EQ(MultiSpriteAt(ctx, slot), m) << "parked in its slot";

  TMultiSprite* other = AcquireMultiSprite(ctx, "g\\one.spr");
  EXPECT_NE(other, m) << "another definition is made anew";
  TMultiSprite* again = AcquireMultiSprite(ctx, "g\\three.spr");
  ASSERT_EQ(again, m);
  EXPECT_FALSE(again->pooled);
  EXPECT_TRUE(again->visible);
  EXPECT_DOUBLE_EQ(again->x, 0);
  EXPECT_EQ(again->alpha, 255);
  EXPECT_EQ(again->groups[0].current_part, 0);
  EXPECT_TRUE(again->parts[0]->visible);
  EXPECT_FALSE(again->parts[2]->visible);
  EXPECT_DOUBLE_EQ(again->parts[3]->anim_pos, 0);
  EXPECT_DOUBLE_EQ(again->parts[0]->x, -2000);
}

TEST_F(Multi, PooledDerivedClassesAreHandedOutOnlyAsThemselves) {
  Pooled* p = AcquireMultiSpriteOf<Pooled>(ctx, "g\\one.spr");
  p->extra = 9;
  ReleaseMultiSprite(ctx, p);
  TMultiSprite* plain = AcquireMultiSprite(ctx, "g\\one.spr");
  EXPECT_NE(plain, p);
  Pooled* back = AcquireMultiSpriteOf<Pooled>(ctx, "g\\one.spr");
  EXPECT_EQ(back, p);
  EXPECT_EQ(back->extra, 9) << "its own fields are the caller's to set";
}

TEST_F(Multi, DestroyingAParkedPictureTakesItOutOfThePool) {
  TMultiSprite* m = AcquireMultiSprite(ctx, "g\\one.spr");
  const int slot = m->list_index;
  ReleaseMultiSprite(ctx, m);
  DestroyMultiSpriteAt(ctx, slot);
  EXPECT_EQ(MultiSpriteAt(ctx, slot), nullptr);
  TMultiSprite* fresh = AcquireMultiSprite(ctx, "g\\one.spr");
  ASSERT_NE(fresh, nullptr);
  EXPECT_FALSE(fresh->pooled);
  EXPECT_EQ(MultiSpriteAt(ctx, fresh->list_index), fresh);
}

}  // namespace
}  // namespace qv
