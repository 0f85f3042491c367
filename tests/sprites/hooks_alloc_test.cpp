// The state dump's objects section, and the frame's hot path allocating nothing once warm.
#include <gtest/gtest.h>

#include <memory>

#include <cstdlib>

#include "base/json_writer.h"
#include "sprite_test_util.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"
#include "sprites/sprite_hooks.h"
#include "support/alloc_counter.h"

namespace qv {
namespace {

// Where the allocation probe's pointer escapes to, so no compiler can elide the allocation.
int* volatile g_escape = nullptr;

using test::Picture;
using test::WriteFile;

class NullDevice : public platform::RenderDevice {
 public:
  int CreateTexture(platform::TextureFormat) override { return next_++; }
  bool UploadTexture(int, const void*) override { return true; }
  void ReleaseTexture(int) override {}
  bool BeginScene() override { return true; }
  void Clear(std::uint32_t) override {}
  void SetRotation(float, float, float) override {}
  void SetBlend(platform::Blend) override {}
  bool BindTexture(int) override { return true; }
  void SetFilter(platform::Filter) override {}
  bool DrawQuad(const platform::DeviceQuad&) override {
    ++quads;
    return true;
  }
  void EndScene() override {}
  bool Present() override { return true; }
  bool ReadPixels(std::uint32_t*) override { return false; }
  std::string Describe() const override { return "null"; }
  long quads = 0;

 private:
  int next_ = 0;
};

TEST(SpriteHooks, ObjectsSection) {
  test::ScratchDir dir;
  Context ctx;
  WriteFile("g\\a.tga", test::TgaBytes(Picture(8, 8, 0xFFFFFFFFu), 24));
  WriteFile("g\\two.spr",
            "x=1.5,y=2\r\n1\r\na.tga,texture_size=8\r\n2\r\na.tga,texture_size=8\r\na.tga,texture_"
            "size=8\r\n");
  TMultiSprite* a = CreateMultiSprite(ctx, "g\\two.spr");
  TMultiSprite* b = CreateMultiSprite(ctx, "g\\two.spr");
  CreateMultiSprite(ctx, "g\\two.spr")->tag = "menu";
  DestroyMultiSprite(ctx, b);
  a->SelectPart(1, 1);
  a->color = 0x102030;
  JsonWriter out;
  WriteObjectsSection(ctx, out);
  EXPECT_EQ(out.str(),
            "[{\"slot\":0,\"name\":\"two\",\"tag\":\"\",\"x\":1.5,\"y\":2,\"z\":0,\"visible\":true,"
            "\"alpha\":255,\"color\":1056816,\"shown\":[0,1]},{\"slot\":2,\"name\":\"two\",\"tag\":"
            "\"menu\",\"x\":1.5,\"y\":2,\"z\":0,\"visible\":true,\"alpha\":255,\"color\":16777215,"
            "\"shown\":[0,0]}]");
}

TEST(SpriteHotPath, NoAllocationsPerFrameOnceWarm) {
  test::ScratchDir dir;
  NullDevice device;
  Context ctx;
  ctx.platform.device = &device;
  WriteFile("g\\big.tga", test::TgaBytes(Picture(200, 100, 0xFF808080u), 24));
  WriteFile("g\\strip.tga", test::TgaBytes(Picture(64, 16, 0xFF808080u), 24));
  WriteFile("g\\big.spr", "x=0\r\n1\r\nbig.tga,texture_size=64,border=1\r\n");
  WriteFile("g\\anim.spr",
            "x=0\r\n1\r\nstrip.tga,frame_width=16,texture_size=16,anim_speed=100,alpha_mode=1\r\n");
  for (int i = 0; i < 300; ++i) {
    TMultiSprite* m = CreateMultiSprite(ctx, i % 3 ? "g\\anim.spr" : "g\\big.spr");
    m->x = (i * 37) % 800;
    m->y = (i * 53) % 600;
    m->z = i % 7;
    m->angle = i % 5 == 0 ? 0.3 : 0;
  }
  auto frame = [&](int n) {
    for (int i = 0; i < MultiSpriteCount(ctx); ++i) {
      TMultiSprite* m = MultiSpriteAt(ctx, i);
      m->z = (m->z + n) % 7;  // z changes re-sort the z-order list every frame
      m->Update();
    }
    SpriteEngineMove(ctx, 16);
    SpriteEngineDraw(ctx);
    RenderDrawList(ctx);
  };
  for (int n = 0; n < 5; ++n) frame(n);
  {
    const long at = qv::test::AllocationCount();
    auto probe = std::make_unique<int>(1);
    g_escape = probe.get();
    ASSERT_EQ(qv::test::AllocationCount() - at, 1) << "the counter must see operator new";
  }
  const long before = qv::test::AllocationCount();
  const long quads = device.quads;
  for (int n = 0; n < 20; ++n) frame(n);
  EXPECT_EQ(qv::test::AllocationCount() - before, 0);
  EXPECT_GT(device.quads - quads, 20 * 300);
}

}  // namespace
}  // namespace qv
