// A small scene of definition files rendered on the headless device: exact placement of
// unscaled frames with point and linear filtering, flips, tint, alpha, additive blending and
// z ties checked against a model of the source images, and the whole frame against the
// committed golden picture (QUORVEX_UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/headless/offscreen_device.h"
#include "platform/sdl/sdl_render_device.h"
#include "sprite_test_util.h"
#include "sprites/atlas.h"
#include "sprites/image.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

using test::Picture;
using test::WriteFile;

constexpr std::uint32_t kBackground = 0xFF202020u;
constexpr int W = platform::kScreenWidth, H = platform::kScreenHeight;

// Quadrants of distinct colours and a diagonal, so any mirror or shift shows.
Picture Arrow() {
  Picture p(24, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      std::uint32_t c = (x < 12 ? 0xC00000u : 0x00C000u) | (y < 8 ? 0x40u : 0xC0u);
      if (x == y) c = 0xFFFFFFu;
      p.at(x, y) = 0xFF000000u | c | static_cast<std::uint32_t>(x * 2) << 8;
    }
  return p;
}

// Every pixel differs from its neighbours, so linear filtering at 1:1 that samples off the
// texel centres would change the colours.
Picture Checker(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.at(x, y) =
          ((x + y) % 2 ? 0xFFF0F0F0u : 0xFF101010u) ^ static_cast<std::uint32_t>(x * 3 << 16);
  return p;
}

class Golden : public ::testing::Test {
 protected:
  void SetUp() override {
    // QUORVEX_GOLDEN_RENDERER=opengl (with a display) runs the scene on a window's OpenGL
    // renderer instead of the headless one.
    const char* renderer = std::getenv("QUORVEX_GOLDEN_RENDERER");
    if (renderer && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      SDL_SetHint(SDL_HINT_RENDER_DRIVER, renderer);
      window.reset(SDL_CreateWindow("golden", 0, 0, W, H, SDL_WINDOW_SHOWN));
      ASSERT_TRUE(window);
      platform::sdl::RendererPtr r(SDL_CreateRenderer(window.get(), -1, 0));
      ASSERT_TRUE(r);
      device = std::make_unique<platform::sdl::SdlRenderDevice>(std::move(r),
                                                                platform::sdl::SurfacePtr());
    } else {
      device = platform::CreateOffscreenDevice();
    }
    ASSERT_NE(device, nullptr);
    ctx.platform.device = device.get();
    WriteFile("g\\arrow.tga", test::TgaBytes(Arrow(), 32, false, true));
    WriteFile("g\\checker.png", test::PngBytes(Checker(100, 30), false));
    Picture card(40, 30, 0xFF3080F0u);
    card.Fill(0, 0, 40, 4, 0x803080F0u);
    WriteFile("g\\card.png", test::PngBytes(card, true));
    WriteFile("g\\white.bmp", test::BmpBytes(Picture(40, 40, 0xFFFFFFFFu), 24));
    WriteFile("g\\glow.bmp", test::BmpBytes(Picture(30, 30, 0xFF604020u), 24));
    WriteFile("g\\arrow.spr", "x=0\r\n1\r\narrow.tga,texture_size=32\r\n");
    WriteFile("g\\arrow_pf.spr", "x=0\r\n1\r\narrow.tga,texture_size=32,flip_x=1\r\n");
    WriteFile("g\\checker.spr", "x=0\r\n1\r\nchecker.png,texture_size=64,border=1\r\n");
    WriteFile("g\\card.spr",
              "alpha=128\r\n1\r\nwhite.bmp,texture_size=64\r\n1\r\ncard.png,texture_size=64,x=20,z="
              "1\r\n");
    WriteFile("g\\glow.spr", "x=0\r\n1\r\nglow.bmp,texture_size=32,alpha_mode=1\r\n");
  }

  TMultiSprite* Put(const char* path, double x, double y) {
    TMultiSprite* m = CreateMultiSprite(ctx, path);
    m->x = x;
    m->y = y;
    return m;
  }

  std::vector<std::uint32_t> Render() {
    for (int i = 0; i < MultiSpriteCount(ctx); ++i)
      if (auto* m = MultiSpriteAt(ctx, i)) m->Update();
    SpriteEngineMove(ctx, 16);
    SpriteEngineDraw(ctx);
    EXPECT_TRUE(device->BeginScene());
    device->Clear(kBackground);
    EXPECT_TRUE(RenderDrawList(ctx));
    device->EndScene();
    std::vector<std::uint32_t> frame(W * H);
    EXPECT_TRUE(device->ReadPixels(frame.data()));
    return frame;
  }

  test::ScratchDir dir;
  platform::sdl::WindowPtr window;
  std::unique_ptr<platform::RenderDevice> device;
  Context ctx;
};

void ExpectRegion(const std::vector<std::uint32_t>& frame, int left, int top, const Picture& want,
                  int tolerance, const char* what) {
  int bad = 0;
  for (int y = 0; y < want.h; ++y)
    for (int x = 0; x < want.w; ++x) {
      const std::uint32_t got = frame[(top + y) * W + left + x], exp = want.at(x, y);
      for (int shift : {0, 8, 16}) {
        const int d =
            static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((exp >> shift) & 0xFF);
        if (std::abs(d) > tolerance && bad++ < 5)
          ADD_FAILURE() << what << " at " << x << "," << y << ": got " << std::hex << got
                        << " want " << exp;
      }
    }
  EXPECT_EQ(bad, 0) << what;
}

Picture Mirror(const Picture& p, bool mx, bool my) {
  Picture out(p.w, p.h);
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) out.at(x, y) = p.at(mx ? p.w - 1 - x : x, my ? p.h - 1 - y : y);
  return out;
}

Picture Map(Picture p, std::uint32_t (*f)(std::uint32_t)) {
  for (auto& c : p.px) c = f(c);
  return p;
}

TEST_F(Golden, Scene) {
  const Picture arrow = Arrow();
  Put("g\\arrow.spr", 10.9, 10.2);  // truncated to 10, 10
  Put("g\\arrow.spr", 50, 10)->flip_x = true;
  Put("g\\arrow.spr", 90, 10)->flip_y = true;
  TMultiSprite* both = Put("g\\arrow.spr", 130, 10);
  both->flip_x = both->flip_y = true;
  Put("g\\arrow_pf.spr", 170, 10)->flip_x = true;  // part and owner flips cancel
  Put("g\\arrow.spr", 210, 10)->color = 0x80FF40;
  Put("g\\checker.spr", 10, 40);
  Put("g\\checker.spr", 150.7, 40.5);
  // z tie: the instance created later lies underneath.
  Put("g\\arrow.spr", 300, 10);
  Put("g\\arrow.spr", 312, 18);
  // Alpha 128 over white and over the background; a part alpha of 128 on top.
  Put("g\\card.spr", 10, 100);
  TMultiSprite* glow = Put("g\\glow.spr", 100, 100);
  Put("g\\arrow.spr", 110, 108)->z = -1;  // under the additive glow
  (void)glow;
  // Rotation, scale and linear filtering: checked by the golden picture only.
  TMultiSprite* turned = Put("g\\arrow.spr", 200, 120);
  turned->angle = std::numbers::pi / 2;
  turned->rot_center_x = 12;
  turned->rot_center_y = 8;
  TMultiSprite* tilted = Put("g\\checker.spr", 260, 110);
  tilted->angle = std::numbers::pi / 6;
  tilted->scale_x = 1.5;
  tilted->scale_y = 2;
  const auto frame = Render();

  ExpectRegion(frame, 10, 10, arrow, 0, "plain");
  ExpectRegion(frame, 50, 10, Mirror(arrow, true, false), 0, "flip_x");
  ExpectRegion(frame, 90, 10, Mirror(arrow, false, true), 0, "flip_y");
  ExpectRegion(frame, 130, 10, Mirror(arrow, true, true), 0, "flip both");
  ExpectRegion(frame, 170, 10, arrow, 0, "flips cancel");
  ExpectRegion(frame, 210, 10,
               Map(arrow,
                   [](std::uint32_t c) {
                     return 0xFF000000u | (((c >> 16) & 0xFF) * 0x80 / 255) << 16 |
                            (((c >> 8) & 0xFF)) << 8 | ((c & 0xFF) * 0x40 / 255);
                   }),
               1, "tint");
  ExpectRegion(frame, 10, 40, Checker(100, 30), 0, "border 1, linear, 1:1");
  ExpectRegion(frame, 150, 40, Checker(100, 30), 0, "linear at a fractional position");
  // Edges: nothing spills outside the frame rectangles.
  EXPECT_EQ(frame[40 * W + 9], kBackground);
  EXPECT_EQ(frame[40 * W + 110], kBackground);
  EXPECT_EQ(frame[39 * W + 50], kBackground);
  EXPECT_EQ(frame[70 * W + 50], kBackground);
  EXPECT_EQ(frame[9 * W + 10], kBackground);
  EXPECT_EQ(frame[10 * W + 34], kBackground);
  // z tie: at (315, 20) the first instance (on top) shows its pixel (15, 10).
  EXPECT_EQ(frame[20 * W + 315], arrow.at(15, 10));
  EXPECT_EQ(frame[26 * W + 330], arrow.at(18, 8));  // only the second covers this
  // Alpha: white part at 128 over the background, card at 128 x 128 / 255 over white.
  auto near = [](std::uint32_t got, std::uint32_t want) {
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF),
                  2)
          << std::hex << got << " vs " << want;
  };
  near(frame[120 * W + 12], 0xFF909090u);
  const int a = 255 * 128 / 255;  // card alpha 255 x owner 128
  auto mix = [](int s, int d, int al) { return (s * al + d * (255 - al)) / 255; };
  const int r = mix(0x30, mix(0xFF, 0x20, 128), a), g = mix(0x80, mix(0xFF, 0x20, 128), a),
            b = mix(0xF0, mix(0xFF, 0x20, 128), a);
  near(frame[120 * W + 35], 0xFF000000u | r << 16 | g << 8 | b);
  // Additive: glow added to the background and to the arrow underneath.
  near(frame[101 * W + 101], 0xFF806040u);
  const std::uint32_t under = arrow.at(5, 5);
  auto add = [](std::uint32_t c, int shift, int v) {
    return std::min(255, static_cast<int>((c >> shift) & 0xFF) + v);
  };
  near(frame[113 * W + 115],
       0xFF000000u | add(under, 16, 0x60) << 16 | add(under, 8, 0x40) << 8 | add(under, 0, 0x20));

  // The whole frame against the golden picture.
  const std::string golden = std::string(QUORVEX_TEST_DATA) + "/sprites/golden_scene.png";
  Picture shot(W, H);
  shot.px = frame;
  const std::string out = std::string(QUORVEX_BINARY_DIR) + "/golden_scene_actual.png";
  test::WriteFile(out, test::PngBytes(shot, false));
  if (std::getenv("QUORVEX_GOLDEN_RENDERER")) return;  // the golden picture is the headless one
  if (std::getenv("QUORVEX_UPDATE_GOLDEN")) test::WriteFile(golden, test::PngBytes(shot, false));
  const std::string bytes = test::ReadFile(golden);
  const DecodeResult want =
      DecodePng(Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  ASSERT_TRUE(want.ok()) << "golden picture missing: " << golden;
  Picture expected(W, H);
  expected.px = want.image.argb;
  ExpectRegion(frame, 0, 0, expected, 2, "golden picture");
}

// A turned picture of many tiles must show no seam where its tiles meet: every pixel well inside
// the turned rectangle has the picture's colour, with point and with linear filtering.
TEST_F(Golden, TurnedTilesMeetWithoutSeams) {
  constexpr std::uint32_t kSolid = 0xFF40A0E0u;
  WriteFile("g\\solid.png", test::PngBytes(Picture(120, 40, kSolid), false));
  WriteFile("g\\solid.spr", "x=0\r\n1\r\nsolid.png,texture_size=32\r\n");
  WriteFile("g\\solid_b.spr", "x=0\r\n1\r\nsolid.png,texture_size=64,border=1\r\n");
  struct Case {
    const char* path;
    double x, y, angle, scale;
    bool flip;
  };
  const Case cases[] = {{"g\\solid.spr", 100, 100, std::numbers::pi / 7, 1, false},
                        {"g\\solid.spr", 400, 100, -2.0, 1, true},
                        {"g\\solid_b.spr", 100, 350, std::numbers::pi / 5, 1.5, false},
                        {"g\\solid_b.spr", 450, 350, 2.5, 1, true}};
  for (const Case& c : cases) {
    TMultiSprite* m = Put(c.path, c.x, c.y);
    m->angle = c.angle;
    m->scale_x = m->scale_y = c.scale;
    m->flip_x = c.flip;
    m->rot_center_x = 60;
    m->rot_center_y = 20;
  }
  const auto frame = Render();
  for (const Case& c : cases) {
    const double cx = c.x + 60, cy = c.y + 20, w = 120 * c.scale, h = 40 * c.scale;
    const double co = std::cos(c.angle), si = std::sin(c.angle);
    int inside = 0, wrong = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        // Back into the unturned picture (turns are counter-clockwise on screen).
        const double ex = x + 0.5 - cx, ey = y + 0.5 - cy;
        const double px = cx + ex * co - ey * si - c.x, py = cy + ex * si + ey * co - c.y;
        if (px < 2 || py < 2 || px > w - 2 || py > h - 2) continue;
        ++inside;
        if (frame[y * W + x] != kSolid && wrong++ < 3)
          ADD_FAILURE() << c.path << " at angle " << c.angle << ": pixel " << x << "," << y
                        << " is " << std::hex << frame[y * W + x];
      }
    EXPECT_GT(inside, static_cast<int>((w - 4) * (h - 4) * 0.9));
    EXPECT_EQ(wrong, 0) << c.path << " at angle " << c.angle;
  }
}

TEST_F(Golden, SixteenBitTexturesLandOnTheSamePixels) {
  ctx.options.textures16bit = true;
  Put("g\\arrow.spr", 10, 10);
  const auto frame = Render();
  ExpectRegion(frame, 10, 10,
               Map(Arrow(),
                   [](std::uint32_t c) {
                     const std::uint32_t v = c & 0xF0F0F0u;
                     return 0xFF000000u | v | (v >> 4);
                   }),
               0, "16-bit");
}

}  // namespace
}  // namespace qv
