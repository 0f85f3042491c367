// Draws quads and checks the pixels: on our rasteriser (the headless device and the software
// window's), and on SDL renderers through both ways of submitting quads.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/headless/offscreen_device.h"
#include "platform/sdl/sdl_render_device.h"
#include "platform/soft_device.h"

namespace qv::platform {
namespace {

constexpr std::uint32_t kBackground = 0xFF102030u;

std::uint32_t Texel(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 |
         static_cast<std::uint32_t>((x * 7 + y * 3) & 0xFF);
}

struct Frame {
  std::vector<std::uint32_t> px = std::vector<std::uint32_t>(kScreenWidth * kScreenHeight);
  std::uint32_t at(int x, int y) const {
    return px[static_cast<std::size_t>(y * kScreenWidth + x)];
  }
};

int Channel(std::uint32_t argb, int shift) {
  return static_cast<int>((argb >> shift) & 0xFF);
}

void ExpectNear(std::uint32_t got, std::uint32_t want, int tolerance, const char* what) {
  for (int shift : {16, 8, 0}) {
    EXPECT_NEAR(Channel(got, shift), Channel(want, shift), tolerance)
        << what << ": got " << std::hex << got << " want " << want;
  }
}

enum class Kind { Soft, SdlCopyEx, SdlGeometry };

// SDL devices run on SDL's software renderer on a surface; with QUORVEX_TEST_RENDERER=opengl (or
// another SDL render driver) and a display, on a hidden window's renderer instead.
std::unique_ptr<RenderDevice> CreateTestDevice(Kind kind) {
  if (kind == Kind::Soft) return CreateOffscreenDevice();
  std::unique_ptr<sdl::SdlRenderDevice> device;
  if (const char* driver = std::getenv("QUORVEX_TEST_RENDERER")) {
    static SDL_Window* window = [] {
      SDL_Init(SDL_INIT_VIDEO);
      return SDL_CreateWindow("test", 0, 0, kScreenWidth, kScreenHeight, SDL_WINDOW_HIDDEN);
    }();
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, driver);
    sdl::RendererPtr renderer(window ? SDL_CreateRenderer(window, -1, 0) : nullptr);
    if (!renderer) return nullptr;
    device = std::make_unique<sdl::SdlRenderDevice>(std::move(renderer), nullptr);
  } else {
    sdl::SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32,
                                                           SDL_PIXELFORMAT_ARGB8888));
    if (!surface) return nullptr;
    sdl::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
    if (!renderer) return nullptr;
    device = std::make_unique<sdl::SdlRenderDevice>(std::move(renderer), std::move(surface));
  }
  device->SetQuadPath(kind == Kind::SdlCopyEx ? sdl::QuadPath::CopyEx : sdl::QuadPath::Geometry);
  return device;
}

class RenderDeviceTest : public ::testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    device_.reset();
    device_ = CreateTestDevice(GetParam());
    ASSERT_NE(device_, nullptr);
    pattern_ = device_->CreateTexture(TextureFormat::ARGB8888);
    ASSERT_GE(pattern_, 0);
    std::vector<std::uint32_t> texels(kTextureSize * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y)
      for (int x = 0; x < kTextureSize; ++x)
        texels[static_cast<std::size_t>(y * kTextureSize + x)] = Texel(x, y);
    ASSERT_TRUE(device_->UploadTexture(pattern_, texels.data()));
    white_ = device_->CreateTexture(TextureFormat::ARGB8888);
    std::vector<std::uint32_t> white(kTextureSize * kTextureSize, 0xFFFFFFFFu);
    ASSERT_TRUE(device_->UploadTexture(white_, white.data()));
    ASSERT_TRUE(device_->BeginScene());
    device_->Clear(kBackground);
  }

  Frame Finish() {
    device_->EndScene();
    Frame frame;
    EXPECT_TRUE(device_->ReadPixels(frame.px.data()));
    return frame;
  }

  static DeviceQuad Quad(float x0, float y0, float x1, float y1, float tx0, float ty0, float tx1,
                         float ty1, std::uint32_t argb = 0xFFFFFFFFu) {
    const float s = 1.0f / kTextureSize;
    return DeviceQuad{x0, y0, x1, y1, tx0 * s, ty0 * s, tx1 * s, ty1 * s, argb};
  }

  std::unique_ptr<RenderDevice> device_;
  int pattern_ = -1;
  int white_ = -1;
};

TEST_P(RenderDeviceTest, UnscaledQuadAtIntegerCornersCopiesTexelsExactlyWithBothFilters) {
  for (Filter filter : {Filter::Point, Filter::Linear}) {
    SetUp();
    device_->SetFilter(filter);
    ASSERT_TRUE(device_->BindTexture(pattern_));
    device_->DrawQuad(Quad(10, 20, 42, 52, 5, 7, 37, 39));
    const Frame f = Finish();
    for (int y = 18; y < 55; ++y) {
      for (int x = 8; x < 45; ++x) {
        const bool inside = x >= 10 && x < 42 && y >= 20 && y < 52;
        if (GetParam() == Kind::SdlGeometry && inside && device_->Describe() == "software") {
          // SDL's software triangle rasteriser samples with its own rounding; coverage only.
          ASSERT_NE(f.at(x, y), kBackground) << x << "," << y;
          continue;
        }
        const std::uint32_t want = inside ? Texel(x - 5, y - 13) : kBackground;
        ASSERT_EQ(f.at(x, y), want)
            << "filter " << static_cast<int>(filter) << " at " << x << "," << y;
      }
    }
  }
}

TEST_P(RenderDeviceTest, MirroredCornersFlipThePicture) {
  ASSERT_TRUE(device_->BindTexture(pattern_));
  device_->DrawQuad(Quad(50, 10, 10, 30, 0, 0, 40, 20));    // x mirrored
  device_->DrawQuad(Quad(100, 50, 140, 10, 0, 0, 40, 40));  // y mirrored
  const Frame f = Finish();
  EXPECT_EQ(f.at(10, 10), Texel(39, 0));
  EXPECT_EQ(f.at(49, 29), Texel(0, 19));
  EXPECT_EQ(f.at(100, 10), Texel(0, 39));
  EXPECT_EQ(f.at(139, 49), Texel(39, 0));
}

TEST_P(RenderDeviceTest, ColourModulationAndBlendModes) {
  ASSERT_TRUE(device_->BindTexture(white_));
  device_->DrawQuad(Quad(0, 0, 10, 10, 0, 0, 10, 10, 0xFF00FF00u));   // opaque green
  device_->DrawQuad(Quad(20, 0, 30, 10, 0, 0, 10, 10, 0x80FF0000u));  // half red over background
  device_->SetBlend(Blend::Additive);
  device_->DrawQuad(Quad(0, 0, 10, 10, 0, 0, 10, 10, 0xFFFF0000u));   // red added to green
  device_->DrawQuad(Quad(40, 0, 50, 10, 0, 0, 10, 10, 0x40FFFFFFu));  // a quarter of white added
  const Frame f = Finish();
  ExpectNear(f.at(5, 5), 0xFFFFFF00u, 0, "additive red on green");
  ExpectNear(f.at(25, 5),
             0xFF000000u | (0x80 + (0x10 * 0x7F) / 0xFF) << 16 | (0x20 * 0x7F / 0xFF) << 8 |
                 (0x30 * 0x7F / 0xFF),
             2, "half red");
  ExpectNear(f.at(45, 5), 0xFF000000u | (0x10 + 0x40) << 16 | (0x20 + 0x40) << 8 | (0x30 + 0x40), 2,
             "quarter white added");
}

TEST_P(RenderDeviceTest, RotationTurnsCounterClockwiseAboutAScreenPointOutsideTheQuad) {
  ASSERT_TRUE(device_->BindTexture(white_));
  device_->SetRotation(3.14159265f / 2, 200, 200);
  device_->DrawQuad(Quad(100, 100, 110, 110, 0, 0, 10, 10, 0xFFFF0000u));
  device_->SetRotation(0, 0, 0);
  device_->DrawQuad(Quad(300, 300, 310, 310, 0, 0, 10, 10, 0xFF0000FFu));
  const Frame f = Finish();
  // (105, 105) is 95 px left of and above (200, 200); a quarter turn counter-clockwise puts it
  // 95 px left of and below it.
  ExpectNear(f.at(105, 295), 0xFFFF0000u, 0, "rotated quad");
  EXPECT_EQ(f.at(105, 105), kBackground);
  EXPECT_EQ(f.at(295, 105), kBackground);
  ExpectNear(f.at(305, 305), 0xFF0000FFu, 0, "unrotated quad after resetting");
}

TEST_P(RenderDeviceTest, SixteenBitTexturesAndTextureIds) {
  const int id = device_->CreateTexture(TextureFormat::ARGB4444);
  ASSERT_GE(id, 0);
  std::vector<std::uint16_t> texels(kTextureSize * kTextureSize, 0xF00Fu);  // opaque blue
  texels[0] = 0x0F00u;                                                      // transparent red
  ASSERT_TRUE(device_->UploadTexture(id, texels.data()));
  ASSERT_TRUE(device_->BindTexture(id));
  device_->DrawQuad(Quad(0, 0, 4, 4, 0, 0, 4, 4));
  device_->DrawQuad(Quad(-2, 590, 2, 594, 0, 0, 4, 4));  // partly off screen
  EXPECT_FALSE(device_->BindTexture(1000));
  EXPECT_TRUE(device_->BindTexture(-1));
  const Frame f = Finish();
  EXPECT_EQ(f.at(0, 0), kBackground);
  EXPECT_EQ(f.at(1, 1), 0xFF0000FFu);
  EXPECT_EQ(f.at(1, 593), 0xFF0000FFu);

  device_->ReleaseTexture(id);
  EXPECT_FALSE(device_->BindTexture(id));
  EXPECT_FALSE(device_->UploadTexture(id, texels.data()));
  EXPECT_EQ(device_->CreateTexture(TextureFormat::ARGB8888), id) << "released ids are reused";
}

INSTANTIATE_TEST_SUITE_P(Devices, RenderDeviceTest,
                         ::testing::Values(Kind::Soft, Kind::SdlCopyEx, Kind::SdlGeometry),
                         [](const auto& param_info) {
                           return std::string(param_info.param == Kind::Soft        ? "Soft"
                                              : param_info.param == Kind::SdlCopyEx ? "CopyEx"
                                                                                    : "Geometry");
                         });

}  // namespace
}  // namespace qv::platform
