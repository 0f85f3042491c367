#include "platform/soft_device.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace qv::platform {
namespace {

using spans::TexelIndex;

}  // namespace

struct SoftRenderDevice::Setup {
  const std::uint32_t* tex = nullptr;     // null: untextured, every texel white
  double au = 0, bu = 0, av = 0, bv = 0;  // texel u = au + bu * x, v = av + bv * y (quad space)
  double dqx = 1, dqy = 0;                // quad-space step for one pixel to the right
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  bool test = false;  // turned: spans are conservative, test each pixel
  bool linear = false;
  bool additive = false;
  bool opaque = false;
  std::uint32_t modulate = spans::kNoModulation;
  const std::uint32_t* opaque_blocks = nullptr;
  const std::uint32_t* clear_blocks = nullptr;

  // Point sampling floors the coordinate, which TexelIndex's truncation already does wherever
  // its clamp lets it through.
  std::uint32_t Point(double u, double v) const {
    return tex ? tex[TexelIndex(v) * kTextureSize + TexelIndex(u)] : 0xFFFFFFFFu;
  }
};

SoftRenderDevice::SoftRenderDevice() : SoftRenderDevice(spans::Best()) {}

SoftRenderDevice::SoftRenderDevice(const spans::SpanOps& ops)
    : ops_(ops),
      frame_(static_cast<std::size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u),
      pixels_(frame_.data()),
      samples_(kScreenWidth) {}

void SoftRenderDevice::UseFrameMemory(std::uint32_t* pixels) {
  if (!pixels) pixels = frame_.data();
  if (pixels == pixels_) return;
  std::memcpy(pixels, pixels_, frame_.size() * 4);
  pixels_ = pixels;
}

bool SoftRenderDevice::BeginScene() {
  counts_ = PixelCounts{};
  return true;
}

std::uint32_t* SoftRenderDevice::Row(int y, int x1) {
  std::uint32_t* row = pixels_ + static_cast<std::size_t>(y) * kScreenWidth;
  std::uint16_t& from = cleared_to_[static_cast<std::size_t>(y)];
  if (clear_pending_ && from < x1) {
    std::fill(row + from, row + x1, clear_argb_);
    counts_.cleared += static_cast<std::uint64_t>(x1 - from);
    from = static_cast<std::uint16_t>(x1);
  }
  return row;
}

void SoftRenderDevice::FinishClear() {
  if (!clear_pending_) return;
  for (int y = 0; y < kScreenHeight; ++y) Row(y, kScreenWidth);
  clear_pending_ = false;
}

const std::uint32_t* SoftRenderDevice::Frame() {
  FinishClear();
  return pixels_;
}

int SoftRenderDevice::CreateTexture(TextureFormat format) {
  int id;
  if (!free_ids_.empty()) {
    id = free_ids_.back();
    free_ids_.pop_back();
  } else {
    id = static_cast<int>(textures_.size());
    textures_.emplace_back();
  }
  Texture& t = textures_[static_cast<std::size_t>(id)];
  t.used = true;
  t.format = format;
  t.texels.assign(static_cast<std::size_t>(kTextureSize) * kTextureSize, 0u);
  t.opaque_blocks.assign(kTextureSize, 0u);
  t.clear_blocks.assign(kTextureSize, ~0u);
  return id;
}

bool SoftRenderDevice::UploadTexture(int id, const void* pixels) {
  if (id < 0 || id >= static_cast<int>(textures_.size()) || !pixels) return false;
  Texture& t = textures_[static_cast<std::size_t>(id)];
  if (!t.used) return false;
  if (t.format == TextureFormat::ARGB8888) {
    std::memcpy(t.texels.data(), pixels, t.texels.size() * 4);
  } else {
    const auto* in = static_cast<const std::uint16_t*>(pixels);
    for (std::size_t i = 0; i < t.texels.size(); ++i) {
      const std::uint32_t v = in[i];
      // Each 4-bit channel n becomes n * 17, so 0xF is 0xFF.
      const std::uint32_t spread =
          (v & 0xF000u) << 12 | (v & 0x0F00u) << 8 | (v & 0x00F0u) << 4 | (v & 0x000Fu);
      t.texels[i] = spread | spread << 4;
    }
  }
  // Found once here, so that a blended image copies its opaque inside and skips its clear
  // surround.
  for (int y = 0; y < kTextureSize; ++y) {
    std::uint32_t opaque = 0, clear = 0;
    const std::uint32_t* row = t.texels.data() + static_cast<std::size_t>(y) * kTextureSize;
    for (int b = 0; b < kBlocks; ++b) {
      std::uint32_t all = 0xFF, any = 0;
      for (int i = 0; i < 8; ++i) {
        all &= row[b * 8 + i] >> 24;
        any |= row[b * 8 + i] >> 24;
      }
      opaque |= static_cast<std::uint32_t>(all == 0xFF) << b;
      clear |= static_cast<std::uint32_t>(any == 0) << b;
    }
    t.opaque_blocks[static_cast<std::size_t>(y)] = opaque;
    t.clear_blocks[static_cast<std::size_t>(y)] = clear;
  }
  return true;
}

void SoftRenderDevice::ReleaseTexture(int id) {
  if (id < 0 || id >= static_cast<int>(textures_.size())) return;
  Texture& t = textures_[static_cast<std::size_t>(id)];
  if (!t.used) return;
  t = Texture{};
  if (bound_ == id) bound_ = -1;
  free_ids_.push_back(id);
}

void SoftRenderDevice::Clear(std::uint32_t argb) {
  clear_pending_ = true;
  clear_argb_ = 0xFF000000u | argb;
  cleared_to_.fill(0);
}

void SoftRenderDevice::SetRotation(float angle, float cx, float cy) {
  if (angle != angle_) {
    cos_ = std::cos(static_cast<double>(angle));
    sin_ = std::sin(static_cast<double>(angle));
  }
  angle_ = angle;
  cx_ = cx;
  cy_ = cy;
}

bool SoftRenderDevice::BindTexture(int id) {
  if (id < 0) {
    bound_ = -1;
    return true;
  }
  if (id >= static_cast<int>(textures_.size()) || !textures_[static_cast<std::size_t>(id)].used) {
    bound_ = -1;
    return false;
  }
  bound_ = id;
  return true;
}

bool SoftRenderDevice::ReadPixels(std::uint32_t* out) {
  FinishClear();
  std::memcpy(out, pixels_, frame_.size() * 4);
  return true;
}

void SoftRenderDevice::FillSpan(const Setup& s, int y, int x0, int x1, double qx, double qy) {
  std::uint32_t* texels = samples_.data();
  const int n = x1 - x0;
  int inside = 0;
  if (s.linear && s.tex) {
    const spans::SampleSpan span{s.tex, qx,   qy,     s.dqx,  s.dqy,  s.au,   s.bu,
                                 s.av,  s.bv, s.xmin, s.xmax, s.ymin, s.ymax, s.test};
    inside = ops_.sample(texels, span, n);
  } else if (!s.test) {
    // Not turned: v is the same along the row, so its texel row is found once.
    if (!s.tex) {
      std::fill(texels, texels + n, 0xFFFFFFFFu);
    } else {
      const std::uint32_t* row = s.tex + TexelIndex(s.av + s.bv * qy) * kTextureSize;
      for (int i = 0; i < n; ++i, qx += s.dqx) texels[i] = row[TexelIndex(s.au + s.bu * qx)];
    }
    inside = n;
  } else {
    for (int i = 0; i < n; ++i, qx += s.dqx, qy += s.dqy) {
      if (!(qx >= s.xmin && qx < s.xmax && qy >= s.ymin && qy < s.ymax)) {
        texels[i] = 0;  // clear: leaves the pixel as it is
        continue;
      }
      texels[i] = s.Point(s.au + s.bu * qx, s.av + s.bv * qy);
      ++inside;
    }
  }
  counts_.sampled += static_cast<std::uint64_t>(inside);
  std::uint32_t* out = Row(y, x1) + x0;
  (s.additive ? ops_.add : ops_.over)(out, texels, n, 1, s.modulate);
}

void SoftRenderDevice::CopySpan(const Setup& s, int y, int x0, int x1, int tx, int ty, int step) {
  const std::uint32_t* in = s.tex + static_cast<std::size_t>(ty) * kTextureSize + tx;
  const int n = x1 - x0;
  const bool plain = s.modulate == spans::kNoModulation && !s.additive;
  if (plain && s.opaque) {
    // Every pixel of the span is replaced: the clear is needed only up to its start.
    std::uint32_t* out = Row(y, x0) + x0;
    std::uint16_t& cleared = cleared_to_[static_cast<std::size_t>(y)];
    cleared = static_cast<std::uint16_t>(std::max<int>(cleared, x1));
    if (step == 1) {
      std::memcpy(out, in, static_cast<std::size_t>(n) * 4);
    } else {
      for (int i = 0; i < n; ++i) out[i] = in[-i];
    }
    return;
  }
  std::uint32_t* out = Row(y, x1) + x0;
  if (!plain || step != 1) {
    (s.additive ? ops_.add : ops_.over)(out, in, n, step, s.modulate);
    return;
  }
  // Runs of 8-texel blocks known at upload: opaque ones copy, clear ones are skipped, the rest
  // blend.
  const std::uint32_t opaque = s.opaque_blocks[ty], clear = s.clear_blocks[ty];
  int i = 0;
  while (i < n) {
    const int b = (tx + i) >> 3;
    const int kind = (opaque >> b & 1) ? 1 : (clear >> b & 1) ? 2 : 0;
    const std::uint32_t same = kind == 1 ? opaque : kind == 2 ? clear : ~(opaque | clear);
    // The blocks of this kind from b on, up to the row's end.
    const std::uint32_t other = ~same >> b;
    const int blocks = other ? std::countr_zero(other) : kBlocks - b;
    const int end = std::min(n, (b + blocks) * 8 - tx);
    if (kind == 1)
      std::memcpy(out + i, in + i, static_cast<std::size_t>(end - i) * 4);
    else if (kind == 0)
      ops_.over(out + i, in + i, end - i, 1, spans::kNoModulation);
    i = end;
  }
}

bool SoftRenderDevice::DrawQuad(const DeviceQuad& q) {
  const double x0 = q.x0, x1 = q.x1, y0 = q.y0, y1 = q.y1;
  // Also rejects NaN.
  if (!(std::fabs(x1 - x0) > 0.0) || !(std::fabs(y1 - y0) > 0.0)) return true;
  Setup s;
  if (q.argb >> 24 == 0) return true;
  s.modulate = q.argb;
  s.additive = blend_ == Blend::Additive;
  s.linear = filter_ == Filter::Linear;
  s.opaque = q.opaque;
  if (bound_ >= 0) {
    const Texture& t = textures_[static_cast<std::size_t>(bound_)];
    s.tex = t.texels.data();
    s.opaque_blocks = t.opaque_blocks.data();
    s.clear_blocks = t.clear_blocks.data();
  }
  ++counts_.quads;
  const double u0 = q.u0 * double{kTextureSize}, u1 = q.u1 * double{kTextureSize};
  const double v0 = q.v0 * double{kTextureSize}, v1 = q.v1 * double{kTextureSize};
  s.bu = (u1 - u0) / (x1 - x0);
  s.au = u0 - x0 * s.bu;
  s.bv = (v1 - v0) / (y1 - y0);
  s.av = v0 - y0 * s.bv;
  s.xmin = std::min(x0, x1);
  s.xmax = std::max(x0, x1);
  s.ymin = std::min(y0, y1);
  s.ymax = std::max(y0, y1);

  if (angle_ == 0.0f) {
    // Pixels whose centres lie inside: x from ceil(xmin - 0.5) up to, not including,
    // ceil(xmax - 0.5).
    const double lx = std::ceil(s.xmin - 0.5), hx = std::ceil(s.xmax - 0.5);
    const double ly = std::ceil(s.ymin - 0.5), hy = std::ceil(s.ymax - 0.5);
    const int px0 = static_cast<int>(std::clamp(lx, 0.0, double{kScreenWidth}));
    const int px1 = static_cast<int>(std::clamp(hx, 0.0, double{kScreenWidth}));
    const int py0 = static_cast<int>(std::clamp(ly, 0.0, double{kScreenHeight}));
    const int py1 = static_cast<int>(std::clamp(hy, 0.0, double{kScreenHeight}));
    if (px0 >= px1 || py0 >= py1) return true;
    const double tu = s.au + s.bu * (px0 + 0.5), tv = s.av + s.bv * (py0 + 0.5);
    // One texel per pixel, sampled at texel centres: point and linear filtering both copy.
    if (s.tex && std::fabs(s.bu) == 1.0 && std::fabs(s.bv) == 1.0 && tu - std::floor(tu) == 0.5 &&
        tv - std::floor(tv) == 0.5) {
      const int step = s.bu > 0 ? 1 : -1, row_step = s.bv > 0 ? 1 : -1;
      const int tx = static_cast<int>(std::floor(tu)), ty = static_cast<int>(std::floor(tv));
      const int tx_last = tx + step * (px1 - px0 - 1), ty_last = ty + row_step * (py1 - py0 - 1);
      if (std::min(tx, tx_last) >= 0 && std::max(tx, tx_last) < kTextureSize &&
          std::min(ty, ty_last) >= 0 && std::max(ty, ty_last) < kTextureSize) {
        const auto area =
            static_cast<std::uint64_t>(px1 - px0) * static_cast<std::uint64_t>(py1 - py0);
        (s.additive                                       ? counts_.additive
         : s.opaque && s.modulate == spans::kNoModulation ? counts_.copied
                                                          : counts_.blended) += area;
        for (int y = py0; y < py1; ++y)
          CopySpan(s, y, px0, px1, tx, ty + row_step * (y - py0), step);
        return true;
      }
    }
    for (int y = py0; y < py1; ++y) FillSpan(s, y, px0, px1, px0 + 0.5, y + 0.5);
    return true;
  }

  // Turned about (cx, cy), counter-clockwise on screen. Each pixel centre is turned back into
  // quad space; along a row that moves by (cos, sin) per pixel.
  const double c = cos_, sn = sin_, cx = cx_, cy = cy_;
  double bx0 = 1e300, bx1 = -1e300, by0 = 1e300, by1 = -1e300;
  for (const double x : {x0, x1})
    for (const double y : {y0, y1}) {
      const double dx = x - cx, dy = y - cy;
      const double sx = cx + dx * c + dy * sn, sy = cy - dx * sn + dy * c;
      bx0 = std::min(bx0, sx);
      bx1 = std::max(bx1, sx);
      by0 = std::min(by0, sy);
      by1 = std::max(by1, sy);
    }
  const int px0 = static_cast<int>(std::clamp(std::floor(bx0), 0.0, double{kScreenWidth}));
  const int px1 = static_cast<int>(std::clamp(std::ceil(bx1) + 1, 0.0, double{kScreenWidth}));
  const int py0 = static_cast<int>(std::clamp(std::floor(by0), 0.0, double{kScreenHeight}));
  const int py1 = static_cast<int>(std::clamp(std::ceil(by1) + 1, 0.0, double{kScreenHeight}));
  if (px0 >= px1 || py0 >= py1) return true;
  s.test = true;
  s.dqx = c;
  s.dqy = sn;
  // Products with reciprocals stray from the quotients by far less than the one pixel the runs
  // are widened by.
  const double rc = std::fabs(c) < 1e-12 ? 0.0 : 1.0 / c;
  const double rs = std::fabs(sn) < 1e-12 ? 0.0 : 1.0 / sn;
  for (int y = py0; y < py1; ++y) {
    const double ex = px0 + 0.5 - cx, ey = y + 0.5 - cy;
    const double qx = cx + ex * c - ey * sn, qy = cy + ex * sn + ey * c;
    // The run of k (pixels from px0) inside both slabs, widened by one: the per-pixel test
    // decides the ends exactly.
    double klo = 0, khi = px1 - px0;
    auto slab = [&](double q0, double r, double lo, double hi) {
      if (r == 0.0) {
        if (!(q0 >= lo && q0 < hi)) khi = -1;
        return;
      }
      const double a = (lo - q0) * r, b = (hi - q0) * r;
      klo = std::max(klo, std::floor(std::min(a, b)) - 1);
      khi = std::min(khi, std::ceil(std::max(a, b)) + 1);
    };
    slab(qx, rc, s.xmin, s.xmax);
    slab(qy, rs, s.ymin, s.ymax);
    if (klo >= khi) continue;
    const int k0 = static_cast<int>(klo), k1 = static_cast<int>(khi);
    FillSpan(s, y, px0 + k0, px0 + k1, qx + k0 * c, qy + k0 * sn);
  }
  return true;
}

}  // namespace qv::platform
