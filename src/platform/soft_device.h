#pragma once
// A render device that rasterises quads itself into an 800 x 600 ARGB8888 frame in memory.
// Headless runs use it as it is; on a window without a GPU renderer the SDL back end lends it
// the window texture's pixels to draw in. Quads are filled like a GPU fills two triangles: a
// pixel belongs to a quad when its centre lies inside (left and top edges in, right and bottom
// edges out), so tiles that share an edge, turned or not, meet without gaps or overlaps.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_device.h"
#include "platform/soft_spans.h"

namespace qv::platform {

// Pixels written since BeginScene, by the kind of work: the clear, quads copied one texel per
// pixel (opaque), blended or added one texel per pixel, and quads scaled or turned (sampled).
struct PixelCounts {
  std::uint64_t cleared = 0, copied = 0, blended = 0, additive = 0, sampled = 0;
  std::uint64_t quads = 0;
  std::uint64_t Total() const { return cleared + copied + blended + additive + sampled; }
};

class SoftRenderDevice : public RenderDevice {
 public:
  SoftRenderDevice();
  // Span loops other than the fastest the build has (tests compare them).
  explicit SoftRenderDevice(const spans::SpanOps& ops);

  int CreateTexture(TextureFormat format) override;
  bool UploadTexture(int id, const void* pixels) override;
  void ReleaseTexture(int id) override;

  bool BeginScene() override;
  void Clear(std::uint32_t argb) override;
  void SetRotation(float angle, float cx, float cy) override;
  void SetBlend(Blend blend) override { blend_ = blend; }
  bool BindTexture(int id) override;
  void SetFilter(Filter filter) override { filter_ = filter; }
  bool DrawQuad(const DeviceQuad& quad) override;
  void EndScene() override { FinishClear(); }
  bool Present() override { return true; }
  bool ReadPixels(std::uint32_t* out) override;
  std::string Describe() const override { return "software"; }

  // The frame as drawn so far, 800 x 600 pixels without padding.
  const std::uint32_t* Frame();
  const PixelCounts& Counts() const { return counts_; }

 protected:
  // Draw into other memory of 800 x 600 pixels from now on (null: the device's own), which gets
  // the frame so far.
  void UseFrameMemory(std::uint32_t* pixels);

 private:
  static constexpr int kBlocks = kTextureSize / 8;  // 8-texel blocks per texel row
  struct Texture {
    bool used = false;
    TextureFormat format = TextureFormat::ARGB8888;
    std::vector<std::uint32_t> texels;  // 256 x 256 ARGB8888 whatever the format
    // Per texel row, one bit per 8-texel block: every texel opaque, or every texel clear.
    std::vector<std::uint32_t> opaque_blocks, clear_blocks;
  };

  // One quad's fixed values for the span loops.
  struct Setup;
  void FillSpan(const Setup& s, int y, int x0, int x1, double qx, double qy);
  void CopySpan(const Setup& s, int y, int x0, int x1, int tx, int ty, int step);
  // A clear is done lazily, row by row from the left, so that pixels an opaque copy covers are
  // written once. `Row` finishes the row's clear up to x1 before anything else lands there.
  std::uint32_t* Row(int y, int x1);
  void FinishClear();

  const spans::SpanOps& ops_;
  std::vector<std::uint32_t> frame_;
  std::uint32_t* pixels_;
  std::vector<std::uint32_t> samples_;  // one span's texels, for the blend loops
  bool clear_pending_ = false;
  std::uint32_t clear_argb_ = 0;
  std::array<std::uint16_t, kScreenHeight> cleared_to_{};  // pixels [0, n) of a row are drawn
  PixelCounts counts_;
  std::vector<Texture> textures_;
  std::vector<int> free_ids_;
  int bound_ = -1;
  Blend blend_ = Blend::Alpha;
  Filter filter_ = Filter::Point;
  float angle_ = 0.0f, cx_ = 0.0f, cy_ = 0.0f;
  double cos_ = 1.0, sin_ = 0.0;
};

}  // namespace qv::platform
