// The rasteriser behind the headless and software-window devices: coverage of shared edges at any
// angle, scaling, blending arithmetic, its fast paths against its general one, hostile
// coordinates, and the window presenter.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/sdl/sdl_soft_device.h"
#include "platform/soft_device.h"

namespace qv::platform {
namespace {

constexpr int W = kScreenWidth, H = kScreenHeight;
constexpr float kTexel = 1.0f / kTextureSize;

std::vector<std::uint32_t> Read(SoftRenderDevice& d) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(W) * H);
  EXPECT_TRUE(d.ReadPixels(px.data()));
  return px;
}

int Upload(SoftRenderDevice& d, std::uint32_t (*texel)(int, int)) {
  const int id = d.CreateTexture(TextureFormat::ARGB8888);
  std::vector<std::uint32_t> t(kTextureSize * kTextureSize);
  for (int y = 0; y < kTextureSize; ++y)
    for (int x = 0; x < kTextureSize; ++x)
      t[static_cast<std::size_t>(y) * kTextureSize + x] = texel(x, y);
  EXPECT_TRUE(d.UploadTexture(id, t.data()));
  return id;
}

DeviceQuad Quad(float x0, float y0, float x1, float y1, float tx0, float ty0, float tx1, float ty1,
                std::uint32_t argb = 0xFFFFFFFFu) {
  return DeviceQuad{x0, y0, x1, y1, tx0 * kTexel, ty0 * kTexel, tx1 * kTexel, ty1 * kTexel, argb};
}

// Tiles of one turned picture share edges: added on black at 0x40 each, every pixel must read
// 0x00 or 0x40, never 0x80 (drawn twice). Inside the picture none may be left black (a gap).
TEST(SoftDevice, TilesSharingEdgesCoverEachPixelOnceAtAnyAngle) {
  for (double angle : {0.0, 0.3, 0.7853981633974483, 1.5707963267948966, 2.2, -1.1, 3.0}) {
    SoftRenderDevice d;
    const int white = Upload(d, [](int, int) { return 0xFFFFFFFFu; });
    d.Clear(0);
    d.BindTexture(white);
    d.SetBlend(Blend::Additive);
    d.SetRotation(static_cast<float>(angle), 400.3f, 300.7f);
    // A 3 x 2 grid of 30.5 x 20.25 tiles (scaled, so edges fall between pixels).
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) {
        const float x = 350 + static_cast<float>(c) * 30.5f;
        const float y = 280 + static_cast<float>(r) * 20.25f;
        d.DrawQuad(Quad(x, y, x + 30.5f, y + 20.25f, 0, 0, 16, 16, 0xFF404040u));
      }
    const auto px = Read(d);
    int twice = 0, covered = 0, holes = 0;
    const double co = std::cos(angle), si = std::sin(angle);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const std::uint32_t v = px[static_cast<std::size_t>(y) * W + x] & 0xFF;
        twice += v > 0x40;
        covered += v == 0x40;
        // Turned back into picture space; well inside means a black pixel is a gap.
        const double ex = x + 0.5 - 400.3, ey = y + 0.5 - 300.7;
        const double qx = 400.3 + ex * co - ey * si, qy = 300.7 + ex * si + ey * co;
        if (qx > 351 && qx < 350 + 91.5 - 1 && qy > 281 && qy < 280 + 40.5 - 1 && v == 0) ++holes;
      }
    EXPECT_EQ(twice, 0) << "angle " << angle;
    EXPECT_EQ(holes, 0) << "angle " << angle;
    // The area is 91.5 x 40.5 = 3705.75 pixels; coverage by centres is within a rim of it.
    EXPECT_NEAR(covered, 3706, 3706 * 0.03) << "angle " << angle;
  }
}

TEST(SoftDevice, ScalingSamplesNearestOrBlendsNeighbours) {
  SoftRenderDevice d;
  // Texel (x, y): red = x * 10, green = y * 10.
  const int id = Upload(d, [](int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x * 10 & 0xFF) << 16 |
           static_cast<std::uint32_t>(y * 10 & 0xFF) << 8;
  });
  d.Clear(0);
  d.BindTexture(id);
  d.DrawQuad(Quad(0, 0, 8, 8, 1, 1, 5, 5));  // 4 x 4 texels doubled
  d.SetFilter(Filter::Linear);
  d.DrawQuad(Quad(100, 0, 108, 8, 1, 1, 5, 5));
  const auto px = Read(d);
  auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y) * W + x]; };
  // Point: every texel is a 2 x 2 block.
  EXPECT_EQ(at(0, 0), 0xFF0A0A00u);
  EXPECT_EQ(at(1, 1), 0xFF0A0A00u);
  EXPECT_EQ(at(2, 0), 0xFF140A00u);
  EXPECT_EQ(at(7, 7), 0xFF282800u);
  // Linear: pixel 1's centre is a quarter texel right of texel 1's centre.
  EXPECT_EQ((at(101, 0) >> 16) & 0xFF, 10u + 10 / 4);
  EXPECT_EQ((at(102, 0) >> 16) & 0xFF, 10u + 10 * 3 / 4);
  EXPECT_EQ(at(8, 0), 0xFF000000u) << "nothing beyond the right edge";
}

TEST(SoftDevice, BlendingArithmetic) {
  SoftRenderDevice d;
  const int white = Upload(d, [](int, int) { return 0xFFFFFFFFu; });
  d.BindTexture(white);
  for (std::uint32_t a : {1u, 64u, 128u, 200u, 254u}) {
    for (std::uint32_t bg : {0x000000u, 0x804020u, 0xFFFFFFu}) {
      d.Clear(bg);
      d.SetBlend(Blend::Alpha);
      d.DrawQuad(Quad(0, 0, 1, 1, 0, 0, 1, 1, a << 24 | 0x20C0FFu));
      d.SetBlend(Blend::Additive);
      d.DrawQuad(Quad(2, 0, 3, 1, 0, 0, 1, 1, a << 24 | 0x20C0FFu));
      const auto px = Read(d);
      for (int shift : {16, 8, 0}) {
        const double s = (0x20C0FFu >> shift) & 0xFF, b = (bg >> shift) & 0xFF;
        const double over = (s * a + b * (255 - a)) / 255.0;
        const double add = std::min(255.0, b + s * a / 255.0);
        EXPECT_NEAR(static_cast<double>((px[0] >> shift) & 0xFF), over, 0.51)
            << "alpha " << a << " over " << std::hex << bg;
        EXPECT_NEAR(static_cast<double>((px[2] >> shift) & 0xFF), add, 0.51)
            << "add " << a << " on " << std::hex << bg;
      }
      EXPECT_EQ(px[0] >> 24, 0xFFu) << "the frame stays opaque";
    }
  }
}

// The copy paths (opaque, mirrored, one texel per pixel) must give what the general per-pixel
// path gives for the same quads.
TEST(SoftDevice, FastPathsMatchTheGeneralPath) {
  auto draw = [](bool hint, float nudge) {
    SoftRenderDevice d;
    const int id = Upload(d, [](int x, int y) {
      return 0xFF000000u | static_cast<std::uint32_t>(x * 37 + y * 11) * 0x010203u;
    });
    d.Clear(0x102030u);
    d.BindTexture(id);
    for (Filter f : {Filter::Point, Filter::Linear}) {
      d.SetFilter(f);
      const float y = f == Filter::Point ? 0.0f : 100.0f;
      for (std::uint32_t argb : {0xFFFFFFFFu, 0xFF80FF40u, 0x90FFFFFFu}) {
        const float x = static_cast<float>((argb >> 24) + (argb & 0xFF)) + nudge;
        DeviceQuad q = Quad(x, y, x + 20, y + 30, 3, 4, 23, 34, argb);
        q.opaque = hint;
        d.DrawQuad(q);
        DeviceQuad m = Quad(x + 20, y + 70, x, y + 40, 3, 4, 23, 34, argb);  // both mirrored
        m.opaque = hint;
        d.DrawQuad(m);
      }
    }
    return Read(d);
  };
  // A nudge of a millionth of a pixel moves no pixel centre across an edge but leaves the
  // one-texel-per-pixel copy path for the general one.
  auto same = [](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    int differ = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i] && differ++ < 3)
        ADD_FAILURE() << "pixel " << i % W << "," << i / W << ": " << std::hex << a[i] << " vs "
                      << b[i];
    return differ;
  };
  EXPECT_EQ(same(draw(true, 0.0f), draw(false, 0.0f)), 0);
  EXPECT_EQ(same(draw(false, 0.0f), draw(false, 1e-4f)), 0);
}

TEST(SoftDevice, HostileCoordinatesAreClippedOrIgnored) {
  SoftRenderDevice d;
  const int white = Upload(d, [](int, int) { return 0xFFFFFFFFu; });
  d.Clear(0);
  d.BindTexture(white);
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (Filter filter : {Filter::Point, Filter::Linear})
    for (float angle : {0.0f, 0.5f}) {
      d.SetFilter(filter);
      d.SetRotation(angle, 10, 10);
      d.DrawQuad(Quad(-1e9f, -1e9f, 1e9f, 1e9f, 0, 0, 1, 1, 0xFF010101u));
      d.DrawQuad(Quad(nan, 0, 10, 10, 0, 0, 1, 1));
      d.DrawQuad(Quad(0, 0, inf, 10, 0, 0, 1, 1));
      d.DrawQuad(Quad(-inf, 0, 10, 10, 0, 0, 1, 1));
      d.DrawQuad(Quad(0, 0, 10, 10, nan, 0, 1, 1));
      d.DrawQuad(Quad(0, 0, 10, 10, -1e9f, -1e9f, 1e9f, 1e9f));
    }
  d.SetFilter(Filter::Point);
  d.SetRotation(0, 0, 0);
  d.Clear(0);
  d.DrawQuad(Quad(790, 595, 810, 605, 0, 0, 20, 10, 0xFFFF0000u));  // the corner shows
  const auto px = Read(d);
  EXPECT_EQ(px[static_cast<std::size_t>(599) * W + 799], 0xFFFF0000u);
  EXPECT_EQ(px[static_cast<std::size_t>(594) * W + 799], 0xFF000000u);
}

TEST(SoftDevice, WindowPresenterCopiesTheFrame) {
  sdl::SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_ARGB8888));
  ASSERT_TRUE(surface);
  sdl::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
  ASSERT_TRUE(renderer);
  sdl::SdlSoftDevice d(std::move(renderer));
  const int white = Upload(d, [](int, int) { return 0xFFFFFFFFu; });
  d.Clear(0x203040u);
  d.BindTexture(white);
  d.DrawQuad(Quad(5, 6, 7, 8, 0, 0, 2, 2, 0xFFFF8000u));
  ASSERT_TRUE(d.Present());
  const auto* pixels = static_cast<const std::uint32_t*>(surface->pixels);
  const int pitch = surface->pitch / 4;
  EXPECT_EQ(pixels[6 * pitch + 5] | 0xFF000000u, 0xFFFF8000u);
  EXPECT_EQ(pixels[0] | 0xFF000000u, 0xFF203040u);
  // The device draws in the window texture itself: the next frame must reach the window too,
  // and read back as drawn.
  d.BeginScene();
  d.Clear(0x405060u);
  d.DrawQuad(Quad(1, 1, 2, 2, 0, 0, 1, 1, 0xFF00FF00u));
  d.EndScene();
  EXPECT_EQ(Read(d)[W + 1], 0xFF00FF00u);
  ASSERT_TRUE(d.Present());
  EXPECT_EQ(pixels[pitch + 1] | 0xFF000000u, 0xFF00FF00u);
  EXPECT_EQ(pixels[6 * pitch + 5] | 0xFF000000u, 0xFF405060u);
}

}  // namespace
}  // namespace qv::platform
