// The render pass's grouping of quads into runs of one device state: the picture must come out
// bit for bit as drawing the list in order, and quads apart from each other must share runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/soft_device.h"
#include "sprites/draw_list.h"
#include "sprites/sprite_world.h"

namespace qv {
namespace {

constexpr int kPages = 3;

// Page 0 is wholly opaque, so its quads may claim to be and hide what lies under them; the
// others hold every alpha class.
std::vector<std::uint32_t> PageTexels(int page, std::mt19937& rng) {
  std::vector<std::uint32_t> t(platform::kTextureSize * platform::kTextureSize);
  for (auto& texel : t) {
    const auto bits = static_cast<std::uint32_t>(rng());
    texel = page == 0       ? bits | 0xFF000000u
            : bits % 3 == 0 ? bits & 0xFFFFFFu
            : bits % 3 == 1 ? bits | 0xFF000000u
                            : bits;
  }
  return t;
}

struct Scene {
  SpriteWorld world;
  platform::SoftRenderDevice device;

  Scene() {
    std::mt19937 rng(5);
    for (int page = 0; page < kPages; ++page) {
      const int id = device.CreateTexture(platform::TextureFormat::ARGB8888);
      device.UploadTexture(id, PageTexels(page, rng).data());
      world.sprites.device_textures.emplace_back().id = id;
    }
    world.platform.device = &device;
  }
};

// A quad as parts make them: mostly one texel per pixel on whole pixels, some of them bordered,
// mirrored, faded, added, scaled or turned, crowded into a corner so that many overlap.
SpriteQuad RandomQuad(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  SpriteQuad q;
  q.texture = pick(kPages);
  // Some large enough to hide or cut off what lies under them.
  const int most = pick(4) == 0 ? 120 : 40;
  const float w = static_cast<float>(8 + pick(most)), h = static_cast<float>(8 + pick(most));
  const float x = static_cast<float>(pick(160)), y = static_cast<float>(pick(120));
  const float u = static_cast<float>(pick(130)), v = static_cast<float>(pick(130));
  const float k = 1.0f / platform::kTextureSize;
  q.quad = {x, y, x + w, y + h, u * k, v * k, (u + w) * k, (v + h) * k, 0xFFFFFFFFu};
  q.quad.opaque = q.texture == 0;
  q.border = pick(3) == 0 ? 1 : 0;
  switch (pick(8)) {
    case 0:
      std::swap(q.quad.x0, q.quad.x1);
      break;
    case 1:
      q.quad.argb = 0x80FF8040u;
      break;
    case 2:
      q.alpha_mode = 1;
      break;
    case 3:
      q.quad.x1 += 0.5f * w;
      break;
    case 4:
      q.angle = 0.3f + static_cast<float>(pick(6));
      q.rot_x = x + w / 2;
      q.rot_y = y + h / 2;
      break;
    case 5:
      q.quad.y0 += 0.25f;
      q.quad.y1 += 0.25f;
      break;
    default:
      break;
  }
  return q;
}

// The list drawn one quad after another in its own order, each filtered as its border says.
std::vector<std::uint32_t> InListOrder(Scene& scene, const std::vector<SpriteQuad>& list) {
  platform::SoftRenderDevice& d = scene.device;
  d.BeginScene();
  d.Clear(0x203040u);
  for (const SpriteQuad& q : list) {
    d.SetRotation(q.angle, q.rot_x, q.rot_y);
    d.SetBlend(q.alpha_mode == 0 ? platform::Blend::Alpha : platform::Blend::Additive);
    d.BindTexture(scene.world.sprites.device_textures[static_cast<std::size_t>(q.texture)].id);
    d.SetFilter(q.border == 0 ? platform::Filter::Point : platform::Filter::Linear);
    d.DrawQuad(q.quad);
  }
  d.EndScene();
  std::vector<std::uint32_t> px(platform::kScreenWidth * platform::kScreenHeight);
  d.ReadPixels(px.data());
  return px;
}

std::vector<std::uint32_t> ThroughRenderPass(Scene& scene, const std::vector<SpriteQuad>& list) {
  platform::SoftRenderDevice& d = scene.device;
  d.BeginScene();
  d.Clear(0x203040u);
  scene.world.sprites.draw_list = list;
  EXPECT_TRUE(RenderDrawList(scene.world, d));
  d.EndScene();
  std::vector<std::uint32_t> px(platform::kScreenWidth * platform::kScreenHeight);
  d.ReadPixels(px.data());
  return px;
}

TEST(DrawOrder, RegroupedScenesDrawTheSamePicture) {
  Scene scene;
  std::mt19937 rng(21);
  for (int round = 0; round < 60; ++round) {
    std::vector<SpriteQuad> list;
    const int n = 2 + static_cast<int>(rng() % 80);
    for (int i = 0; i < n; ++i) list.push_back(RandomQuad(rng));
    const std::vector<std::uint32_t> want = InListOrder(scene, list);
    ASSERT_EQ(ThroughRenderPass(scene, list), want) << "round " << round << ", " << n << " quads";
  }
}

TEST(DrawOrder, QuadsApartShareRunsAndOverlapsKeepTheirOrder) {
  std::vector<SpriteQuad> list;
  const float k = 1.0f / platform::kTextureSize;
  auto add = [&](int texture, float x, float y, std::uint8_t alpha_mode = 0) {
    SpriteQuad q;
    q.texture = texture;
    q.alpha_mode = alpha_mode;
    q.quad = {x, y, x + 32, y + 32, 0, 0, 32 * k, 32 * k, 0xFFFFFFFFu};
    list.push_back(q);
  };
  // A row of balls in two colours meeting edge to edge: two runs.
  for (int i = 0; i < 10; ++i) add(i % 2, 32.0f * static_cast<float>(i), 0);
  // Glows added over the row: one run, then a ball over a glow stays after it.
  for (int i = 0; i < 5; ++i) add(2, 64.0f * static_cast<float>(i), 16, 1);
  add(0, 10, 20);
  DrawOrder order;
  OrderForBatches(list, order);
  ASSERT_EQ(order.runs.size(), 4u);
  const std::vector<int> want = {0, 2, 4, 6, 8, 1, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15};
  EXPECT_EQ(order.order, want);
  // Hidden quads are left out.
  list[3].hidden = true;
  OrderForBatches(list, order);
  EXPECT_EQ(order.order.size(), list.size() - 1);
}

}  // namespace
}  // namespace qv
