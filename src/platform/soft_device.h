#pragma once
// A render device that rasterises quads itself into an 800 x 600 ARGB8888 frame in memory.
// Headless runs use it as it is; on a window without a GPU renderer the SDL back end shows its
// frame with one copy. Quads are filled like a GPU fills two triangles: a pixel belongs to a
// quad when its centre lies inside (left and top edges in, right and bottom edges out), so
// tiles that share an edge, turned or not, meet without gaps or overlaps.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_device.h"

namespace qv::platform {

class SoftRenderDevice : public RenderDevice {
 public:
  SoftRenderDevice();

  int CreateTexture(TextureFormat format) override;
  bool UploadTexture(int id, const void* pixels) override;
  void ReleaseTexture(int id) override;

  bool BeginScene() override { return true; }
  void Clear(std::uint32_t argb) override;
  void SetRotation(float angle, float cx, float cy) override;
  void SetBlend(Blend blend) override { blend_ = blend; }
  bool BindTexture(int id) override;
  void SetFilter(Filter filter) override { filter_ = filter; }
  bool DrawQuad(const DeviceQuad& quad) override;
  void EndScene() override {}
  bool Present() override { return true; }
  bool ReadPixels(std::uint32_t* out) override;
  std::string Describe() const override { return "software"; }

  const std::uint32_t* Frame() const { return frame_.data(); }

 private:
  struct Texture {
    bool used = false;
    TextureFormat format = TextureFormat::ARGB8888;
    std::vector<std::uint32_t> texels;  // 256 x 256 ARGB8888 whatever the format
  };

  // One quad's fixed values for the span loops.
  struct Setup;
  void FillSpan(const Setup& s, int y, int x0, int x1, double qx, double qy);
  void CopySpan(const Setup& s, int y, int x0, int x1, int tx, int ty, int step);

  std::vector<std::uint32_t> frame_;
  std::vector<Texture> textures_;
  std::vector<int> free_ids_;
  int bound_ = -1;
  Blend blend_ = Blend::Alpha;
  Filter filter_ = Filter::Point;
  float angle_ = 0.0f, cx_ = 0.0f, cy_ = 0.0f;
  double cos_ = 1.0, sin_ = 0.0;
};

}  // namespace qv::platform
