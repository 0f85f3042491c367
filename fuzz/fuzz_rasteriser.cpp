// The software rasteriser fed arbitrary draw commands: any float bit pattern as corners, texture
// coordinates and rotation, any state. Every command is 37 bytes: a control byte, then nine
// floats (corners, texture coordinates, and colour bits reinterpreted) or, when the control
// byte asks, a rotation from the first three.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/soft_device.h"

using qv::platform::Blend;
using qv::platform::DeviceQuad;
using qv::platform::Filter;
using qv::platform::TextureFormat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kCommand = 37, kMaxCommands = 64;
  qv::platform::SoftRenderDevice device;
  const int texture8 = device.CreateTexture(TextureFormat::ARGB8888);
  const int texture4 = device.CreateTexture(TextureFormat::ARGB4444);
  std::vector<std::uint32_t> texels(256 * 256);
  for (std::size_t i = 0; i < texels.size(); ++i)
    texels[i] = static_cast<std::uint32_t>(i * 2654435761u);
  device.UploadTexture(texture8, texels.data());
  device.UploadTexture(texture4, texels.data());  // read as 16-bit texels: the first half
  device.Clear(0x123456u);
  for (std::size_t n = 0; n < kMaxCommands && (n + 1) * kCommand <= size; ++n) {
    const std::uint8_t* c = data + n * kCommand;
    float f[9];
    std::memcpy(f, c + 1, sizeof f);
    const std::uint8_t control = c[0];
    if (control & 0x80) {
      device.SetRotation(f[0], f[1], f[2]);
      continue;
    }
    device.SetBlend(control & 1 ? Blend::Additive : Blend::Alpha);
    device.SetFilter(control & 2 ? Filter::Linear : Filter::Point);
    const int bind = (control >> 2) & 3;
    device.BindTexture(bind == 0 ? -1 : bind == 1 ? texture8 : bind == 2 ? texture4 : 99);
    std::uint32_t argb;
    std::memcpy(&argb, &f[8], 4);
    DeviceQuad q{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], argb};
    q.opaque = control & 0x10;
    device.DrawQuad(q);
  }
  std::uint32_t sum = 0;
  for (int i = 0; i < qv::platform::kScreenWidth * qv::platform::kScreenHeight; ++i)
    sum += device.Frame()[i];
  (void)sum;
  return 0;
}
