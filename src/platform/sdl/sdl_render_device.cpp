#include "platform/sdl/sdl_render_device.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace qv::platform::sdl {
namespace {

constexpr double kRadToDeg = 57.295779513082320876798;

SDL_BlendMode ToSdl(Blend blend) {
  return blend == Blend::Additive ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
}

SDL_ScaleMode ToSdl(Filter filter) {
  return filter == Filter::Linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
}

int ToTexel(float u) {
  return static_cast<int>(std::lround(u * static_cast<float>(kTextureSize)));
}

SDL_Color ToColor(std::uint32_t argb) {
  return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                   static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

}  // namespace

QuadPath ChooseQuadPath(const std::string& renderer_name) {
  if (const char* forced = std::getenv("QUORVEX_QUAD_PATH")) {
    if (std::strcmp(forced, "geometry") == 0) return QuadPath::Geometry;
    if (std::strcmp(forced, "copyex") == 0) return QuadPath::CopyEx;
  }
  // The software renderer blits copies directly but rasterises geometry triangle by triangle;
  // on OpenGL one batched draw call beats one call per quad.
  return renderer_name == "opengl" ? QuadPath::Geometry : QuadPath::CopyEx;
}

SdlRenderDevice::SdlRenderDevice(RendererPtr renderer, SurfacePtr surface)
    : renderer_(std::move(renderer)), surface_(std::move(surface)) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer_.get(), &info) == 0 && info.name) name_ = info.name;
  path_ = ChooseQuadPath(name_);
  batch_vertices_.reserve(4 * 1024);
  batch_indices_.reserve(6 * 1024);
  SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_BLEND);
}

SdlRenderDevice::~SdlRenderDevice() {
  slots_.clear();  // textures die before their renderer
}

void SdlRenderDevice::SetQuadPath(QuadPath path) {
  FlushBatch();
  path_ = path;
}

int SdlRenderDevice::CreateTexture(TextureFormat format) {
  const Uint32 sdl_format =
      format == TextureFormat::ARGB4444 ? SDL_PIXELFORMAT_ARGB4444 : SDL_PIXELFORMAT_ARGB8888;
  TexturePtr texture(SDL_CreateTexture(renderer_.get(), sdl_format, SDL_TEXTUREACCESS_STATIC,
                                       kTextureSize, kTextureSize));
  if (!texture) return -1;
  SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
  SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeNearest);
  int id;
  if (!free_ids_.empty()) {
    id = free_ids_.back();
    free_ids_.pop_back();
  } else {
    id = static_cast<int>(slots_.size());
    slots_.emplace_back();
  }
  Slot& slot = slots_[static_cast<std::size_t>(id)];
  slot = Slot{};
  slot.base.texture = std::move(texture);
  slot.format = format;
  return id;
}

bool SdlRenderDevice::UploadTexture(int id, const void* pixels) {
  if (id < 0 || id >= static_cast<int>(slots_.size()) || !pixels) return false;
  Slot& slot = slots_[static_cast<std::size_t>(id)];
  if (!slot.base.texture) return false;
  if (id == bound_) FlushBatch();
  const int pitch = kTextureSize * (slot.format == TextureFormat::ARGB4444 ? 2 : 4);
  return SDL_UpdateTexture(slot.base.texture.get(), nullptr, pixels, pitch) == 0;
}

void SdlRenderDevice::ReleaseTexture(int id) {
  if (id < 0 || id >= static_cast<int>(slots_.size())) return;
  Slot& slot = slots_[static_cast<std::size_t>(id)];
  if (!slot.base.texture) return;
  if (id == bound_) {
    FlushBatch();
    bound_ = -1;
  }
  slot = Slot{};
  free_ids_.push_back(id);
}

bool SdlRenderDevice::BeginScene() {
  batch_vertices_.clear();
  batch_indices_.clear();
  calls_.Reset();
  return true;
}

void SdlRenderDevice::Clear(std::uint32_t argb) {
  FlushBatch();
  SDL_SetRenderDrawColor(renderer_.get(), static_cast<Uint8>(argb >> 16),
                         static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb), 255);
  SDL_RenderClear(renderer_.get());
}

void SdlRenderDevice::SetRotation(float angle, float cx, float cy) {
  angle_ = angle;
  cx_ = cx;
  cy_ = cy;
  cos_ = std::cos(angle);
  sin_ = std::sin(angle);
}

void SdlRenderDevice::SetBlend(Blend blend) {
  if (blend == blend_) return;
  FlushBatch();
  blend_ = blend;
}

bool SdlRenderDevice::BindTexture(int id) {
  if (id == bound_) return id == -1 || slots_[static_cast<std::size_t>(id)].base.texture != nullptr;
  FlushBatch();
  if (id < 0) {
    bound_ = -1;
    return true;
  }
  if (id >= static_cast<int>(slots_.size()) || !slots_[static_cast<std::size_t>(id)].base.texture) {
    bound_ = -1;
    return false;
  }
  bound_ = id;
  return true;
}

void SdlRenderDevice::SetFilter(Filter filter) {
  if (filter == filter_) return;
  FlushBatch();
  filter_ = filter;
}

SDL_Texture* SdlRenderDevice::Bound() {
  return bound_ < 0 ? nullptr : slots_[static_cast<std::size_t>(bound_)].base.texture.get();
}

void SdlRenderDevice::ApplyTextureState(Tex& slot, SDL_BlendMode blend) {
  if (slot.blend != blend) {
    SDL_SetTextureBlendMode(slot.texture.get(), blend);
    slot.blend = blend;
  }
  const SDL_ScaleMode scale = ToSdl(filter_);
  if (slot.scale != scale) {
    // Some renderers change the filter of a texture at once, not in command order: draws
    // already queued with the old filter must reach the GPU first.
    SDL_RenderFlush(renderer_.get());
    SDL_SetTextureScaleMode(slot.texture.get(), scale);
    slot.scale = scale;
  }
}

bool SdlRenderDevice::DrawQuad(const DeviceQuad& q) {
  if (bound_ < 0 || path_ == QuadPath::Geometry || q.u0 == q.u1 || q.v0 == q.v1) {
    const bool opaque = bound_ >= 0 && q.opaque && blend_ == Blend::Alpha && q.argb >> 24 == 0xFF;
    if (opaque != batch_opaque_) {
      FlushBatch();
      batch_opaque_ = opaque;
    }
    AddGeometry(q);
    if (bound_ < 0 || path_ == QuadPath::CopyEx) FlushBatch();
    return true;
  }
  return DrawCopyEx(q);
}

void SdlRenderDevice::ApplyModulation(Tex& tex, std::uint32_t argb) {
  if (tex.modulation == argb) return;
  SDL_SetTextureColorMod(tex.texture.get(), static_cast<Uint8>(argb >> 16),
                         static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb));
  SDL_SetTextureAlphaMod(tex.texture.get(), static_cast<Uint8>(argb >> 24));
  tex.modulation = argb;
}

bool SdlRenderDevice::DrawCopyEx(const DeviceQuad& q) {
  Slot& slot = slots_[static_cast<std::size_t>(bound_)];
  const int tx0 = ToTexel(q.u0), tx1 = ToTexel(q.u1);
  const int ty0 = ToTexel(q.v0), ty1 = ToTexel(q.v1);
  const SDL_Rect src{std::min(tx0, tx1), std::min(ty0, ty1), std::abs(tx1 - tx0),
                     std::abs(ty1 - ty0)};
  const SDL_FRect dst{std::min(q.x0, q.x1), std::min(q.y0, q.y1), std::fabs(q.x1 - q.x0),
                      std::fabs(q.y1 - q.y0)};
  if (src.w == 0 || src.h == 0 || dst.w <= 0.0f || dst.h <= 0.0f) return true;
  int flip = SDL_FLIP_NONE;
  if ((q.x0 > q.x1) != (tx0 > tx1)) flip |= SDL_FLIP_HORIZONTAL;
  if ((q.y0 > q.y1) != (ty0 > ty1)) flip |= SDL_FLIP_VERTICAL;
  Tex& tex = slot.base;
  ApplyTextureState(tex, ToSdl(blend_));
  ApplyModulation(tex, q.argb);
  calls_.Draw(tex.texture.get(), tex.blend, tex.scale, q.argb);
  if (angle_ == 0.0f && flip == SDL_FLIP_NONE) {
    return SDL_RenderCopyF(renderer_.get(), tex.texture.get(), &src, &dst) == 0;
  }
  // SDL turns clockwise on screen about a centre given relative to the destination rectangle.
  const SDL_FPoint center{cx_ - dst.x, cy_ - dst.y};
  const double degrees = -static_cast<double>(angle_) * kRadToDeg;
  return SDL_RenderCopyExF(renderer_.get(), tex.texture.get(), &src, &dst, degrees, &center,
                           static_cast<SDL_RendererFlip>(flip)) == 0;
}

void SdlRenderDevice::AddGeometry(const DeviceQuad& q) {
  const SDL_Color color = ToColor(q.argb);
  const float xs[4] = {q.x0, q.x1, q.x0, q.x1};
  const float ys[4] = {q.y0, q.y0, q.y1, q.y1};
  const float us[4] = {q.u0, q.u1, q.u0, q.u1};
  const float vs[4] = {q.v0, q.v0, q.v1, q.v1};
  const int base = static_cast<int>(batch_vertices_.size());
  for (int i = 0; i < 4; ++i) {
    float x = xs[i], y = ys[i];
    if (angle_ != 0.0f) {
      // Counter-clockwise on a y-down screen.
      const float dx = x - cx_, dy = y - cy_;
      x = cx_ + dx * cos_ + dy * sin_;
      y = cy_ - dx * sin_ + dy * cos_;
    }
    batch_vertices_.push_back(SDL_Vertex{SDL_FPoint{x, y}, color, SDL_FPoint{us[i], vs[i]}});
  }
  const int quad_indices[6] = {0, 1, 2, 1, 3, 2};
  for (int i : quad_indices) batch_indices_.push_back(base + i);
}

void SdlRenderDevice::FlushBatch() {
  if (batch_indices_.empty()) return;
  SDL_Texture* texture = Bound();
  if (texture) {
    Tex& tex = slots_[static_cast<std::size_t>(bound_)].base;
    ApplyTextureState(tex, batch_opaque_ ? SDL_BLENDMODE_NONE : ToSdl(blend_));
    ApplyModulation(tex, 0xFFFFFFFFu);
    calls_.Draw(texture, tex.blend, tex.scale, 0xFFFFFFFFu);
  } else {
    SDL_SetRenderDrawBlendMode(renderer_.get(), ToSdl(blend_));
    calls_.Draw(nullptr, ToSdl(blend_), SDL_ScaleModeNearest, 0xFFFFFFFFu);
  }
  SDL_RenderGeometry(renderer_.get(), texture, batch_vertices_.data(),
                     static_cast<int>(batch_vertices_.size()), batch_indices_.data(),
                     static_cast<int>(batch_indices_.size()));
  batch_vertices_.clear();
  batch_indices_.clear();
}

void SdlRenderDevice::EndScene() {
  FlushBatch();
  SDL_RenderFlush(renderer_.get());
}

bool SdlRenderDevice::Present() {
  FlushBatch();
  SDL_RenderPresent(renderer_.get());
  return true;
}

bool SdlRenderDevice::ReadPixels(std::uint32_t* out) {
  FlushBatch();
  SDL_Rect view{};
  SDL_RenderGetViewport(renderer_.get(), &view);
  float sx = 1.0f, sy = 1.0f;
  SDL_RenderGetScale(renderer_.get(), &sx, &sy);
  // The frame in output pixels: letterboxed and scaled when a logical size is set.
  const int w = static_cast<int>(std::lround(static_cast<float>(view.w) * sx));
  const int h = static_cast<int>(std::lround(static_cast<float>(view.h) * sy));
  if (w == kScreenWidth && h == kScreenHeight) {
    return SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, out,
                                kScreenWidth * 4) == 0;
  }
  if (w <= 0 || h <= 0) return false;
  readback_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  if (SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, readback_.data(),
                           w * 4) != 0) {
    return false;
  }
  for (int y = 0; y < kScreenHeight; ++y) {
    const int ry = y * h / kScreenHeight;
    for (int x = 0; x < kScreenWidth; ++x) {
      out[y * kScreenWidth + x] =
          readback_[static_cast<std::size_t>(ry * w + x * w / kScreenWidth)];
    }
  }
  return true;
}

}  // namespace qv::platform::sdl
