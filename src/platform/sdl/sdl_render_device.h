#pragma once
// The render device on an SDL_Renderer: a window's (accelerated or software) or a software
// renderer on an offscreen surface for headless runs.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/render_device.h"
#include "platform/sdl/sdl_handles.h"

namespace qv::platform::sdl {

// How quads reach SDL. CopyEx is one SDL_RenderCopyExF per quad with colour and alpha
// modulation; Geometry collects quads of one texture and state into one SDL_RenderGeometry
// call. Which is faster depends on the renderer (see ChooseQuadPath).
enum class QuadPath : std::uint8_t { CopyEx, Geometry };

// The faster path for the named SDL renderer ("software", "opengl" ...), as measured with
// bench/quad_throughput. QUORVEX_QUAD_PATH=copyex|geometry overrides it.
QuadPath ChooseQuadPath(const std::string& renderer_name);

// Draw calls a frame makes and how many of them change the state the one before drew with
// (texture, blend mode, filter or colour modulation): what a GPU driver must switch between.
class DrawCallCounter {
 public:
  void Reset() { *this = DrawCallCounter{}; }
  void Draw(const SDL_Texture* texture, SDL_BlendMode blend, SDL_ScaleMode scale,
            std::uint32_t modulation) {
    if (draws_ > 0 &&
        (texture != texture_ || blend != blend_ || scale != scale_ || modulation != modulation_))
      ++state_changes_;
    ++draws_;
    texture_ = texture;
    blend_ = blend;
    scale_ = scale;
    modulation_ = modulation;
  }
  int draws() const { return draws_; }
  int state_changes() const { return state_changes_; }

 private:
  int draws_ = 0, state_changes_ = 0;
  const SDL_Texture* texture_ = nullptr;
  SDL_BlendMode blend_ = SDL_BLENDMODE_NONE;
  SDL_ScaleMode scale_ = SDL_ScaleModeNearest;
  std::uint32_t modulation_ = 0;
};

class SdlRenderDevice final : public RenderDevice {
 public:
  // Takes ownership of the renderer and, for offscreen devices, of its target surface.
  SdlRenderDevice(RendererPtr renderer, SurfacePtr surface);
  ~SdlRenderDevice() override;
  SdlRenderDevice(const SdlRenderDevice&) = delete;
  SdlRenderDevice& operator=(const SdlRenderDevice&) = delete;

  int CreateTexture(TextureFormat format) override;
  bool UploadTexture(int id, const void* pixels) override;
  void ReleaseTexture(int id) override;

  bool BeginScene() override;
  void Clear(std::uint32_t argb) override;
  void SetRotation(float angle, float cx, float cy) override;
  void SetBlend(Blend blend) override;
  bool BindTexture(int id) override;
  void SetFilter(Filter filter) override;
  bool DrawQuad(const DeviceQuad& quad) override;
  void EndScene() override;
  bool Present() override;
  bool ReadPixels(std::uint32_t* out) override;
  std::string Describe() const override { return name_; }

  void SetQuadPath(QuadPath path);
  QuadPath QuadPathInUse() const { return path_; }
  SDL_Renderer* Renderer() const { return renderer_.get(); }
  // Since the last BeginScene.
  const DrawCallCounter& Calls() const { return calls_; }

 private:
  // One SDL texture and the state SDL was last told for it.
  struct Tex {
    TexturePtr texture;
    SDL_ScaleMode scale = SDL_ScaleModeNearest;
    SDL_BlendMode blend = SDL_BLENDMODE_BLEND;
    std::uint32_t modulation = 0xFFFFFFFFu;
  };
  struct Slot {
    Tex base;
    TextureFormat format = TextureFormat::ARGB8888;
  };

  SDL_Texture* Bound();
  void ApplyTextureState(Tex& tex, SDL_BlendMode blend);
  void ApplyModulation(Tex& tex, std::uint32_t argb);
  void FlushBatch();
  bool DrawCopyEx(const DeviceQuad& quad);
  void AddGeometry(const DeviceQuad& quad);

  RendererPtr renderer_;
  SurfacePtr surface_;
  std::string name_;
  QuadPath path_ = QuadPath::CopyEx;
  std::vector<Slot> slots_;
  std::vector<int> free_ids_;

  int bound_ = -1;
  Blend blend_ = Blend::Alpha;
  Filter filter_ = Filter::Point;
  float angle_ = 0.0f, cx_ = 0.0f, cy_ = 0.0f;
  float cos_ = 1.0f, sin_ = 0.0f;

  // The batch holds opaque quads at full alpha, drawn without blending: the same pixels, and a
  // software rasteriser need not read what lies under them.
  bool batch_opaque_ = false;
  DrawCallCounter calls_;
  std::vector<SDL_Vertex> batch_vertices_;
  std::vector<int> batch_indices_;
  std::vector<std::uint32_t> readback_;
};

}  // namespace qv::platform::sdl
