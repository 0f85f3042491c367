#include "shell/fps_text.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "context.h"
#include "platform/clock.h"
#include "platform/render_device.h"

namespace qv {
namespace {

constexpr char kGlyphs[] = "0123456789.fpsx()-";
// 5 x 7 pixels per glyph, one row per byte, the leftmost pixel in bit 4.
constexpr unsigned char kRows[][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}, {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08},
    {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}, {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E},
    {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}, {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02},
    {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}, {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00},
};
constexpr int kCellW = 6, kCellH = 8, kScale = 2;

}  // namespace

void CreateFpsFont(Context& ctx) {
  platform::RenderDevice* device = ctx.platform.device;
  if (!device) return;
  const int id = device->CreateTexture(platform::TextureFormat::ARGB8888);
  if (id < 0) return;
  std::vector<std::uint32_t> texels(platform::kTextureSize * platform::kTextureSize, 0u);
  for (std::size_t g = 0; g < std::size(kRows); ++g) {
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        if (kRows[g][row] & (0x10 >> col)) {
          const std::size_t x = g * kCellW + static_cast<std::size_t>(col);
          texels[static_cast<std::size_t>(row) * platform::kTextureSize + x] = 0xFFFFFFFFu;
        }
      }
    }
  }
  if (!device->UploadTexture(id, texels.data())) {
    device->ReleaseTexture(id);
    return;
  }
  ctx.shell.loop.fps_texture = id;
}

void ReleaseFpsFont(Context& ctx) {
  if (ctx.shell.loop.fps_texture >= 0 && ctx.platform.device) {
    ctx.platform.device->ReleaseTexture(ctx.shell.loop.fps_texture);
  }
  ctx.shell.loop.fps_texture = -1;
}

void UpdateFpsCounter(Context& ctx) {
  ShellState& s = ctx.shell;
  const std::uint32_t now = ctx.platform.clock ? ctx.platform.clock->TickCount() : 0u;
  if (s.loop.fps_frames == 0 && s.loop.fps_period_start == 0) s.loop.fps_period_start = now;
  ++s.loop.fps_frames;
  const std::uint32_t span = now - s.loop.fps_period_start;
  if (span >= 1000) {
    s.loop.fps_value = s.loop.fps_frames * 1000.0 / span;
    s.loop.fps_frames = 0;
    s.loop.fps_period_start = now;
  }
}

void DrawFpsText(Context& ctx) {
  platform::RenderDevice* device = ctx.platform.device;
  if (!device || ctx.shell.loop.fps_texture < 0) return;
  const int depth = ctx.options.fullscreen && ctx.options.mode16bit ? 16 : 32;
  char text[64];
  std::snprintf(text, sizeof text, "%7.02f fps (%dx%dx%d)", ctx.shell.loop.fps_value,
                platform::kScreenWidth, platform::kScreenHeight, depth);
  if (!device->BeginScene()) return;
  device->SetRotation(0.0f, 0.0f, 0.0f);
  device->SetBlend(platform::Blend::Alpha);
  device->SetFilter(platform::Filter::Point);
  device->BindTexture(ctx.shell.loop.fps_texture);
  constexpr float kTexel = 1.0f / platform::kTextureSize;
  float x = 2.0f;
  for (const char* c = text; *c; ++c, x += kCellW * kScale) {
    const char* found = std::strchr(kGlyphs, *c);
    if (*c == ' ' || !found) continue;
    const auto g = static_cast<float>(found - kGlyphs);
    const float u0 = g * kCellW * kTexel;
    device->DrawQuad(platform::DeviceQuad{x, 2.0f, x + kCellW * kScale, 2.0f + kCellH * kScale, u0,
                                          0.0f, u0 + kCellW * kTexel, kCellH * kTexel,
                                          0xFFFFFF00u});
  }
  device->EndScene();
}

}  // namespace qv
