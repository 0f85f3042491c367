#include "platform/soft_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qv::platform {
namespace {

// A texel index from a texel coordinate, clamped to the texture; NaN gives 0. Clamped before
// the conversion, which would be undefined for huge values.
inline int TexelIndex(double t) {
  return t >= kTextureSize - 1 ? kTextureSize - 1 : t > 0 ? static_cast<int>(t) : 0;
}

// A bilinear weight 0..256 from a fraction, rounded, so a sample a hair off a texel centre is
// that texel; anything but a fraction (from infinite coordinates) gives 0.
inline std::uint32_t Weight(double f) {
  return f >= 0 && f <= 1 ? static_cast<std::uint32_t>(f * 256.0 + 0.5) : 0;
}

// One axis of a bilinear sample at texel coordinate t: the texels either side of it and the
// weight of the second.
struct Axis {
  int i0, i1;
  std::uint32_t w;
};

inline Axis LinearAxis(double t) {
  const double f = t - 0.5;
  if (f >= 0.0 && f < 1073741824.0) {
    // Scaling by 2^32 is exact and truncation is the floor here, so the integer part and the
    // rounded weight are what the floating-point path below gives, except where the sum in
    // Weight may round up onto the next weight: the fraction just under a tie, left to it.
    const auto fixed = static_cast<std::int64_t>(f * 4294967296.0);  // below 2^62
    const auto frac = static_cast<std::uint32_t>(fixed);
    if (((frac + 0x800000u) & 0xFFFFFFu) != 0xFFFFFFu) {
      const int i = static_cast<int>(fixed >> 32);
      return {std::min(i, kTextureSize - 1), std::min(i + 1, kTextureSize - 1),
              static_cast<std::uint32_t>((std::uint64_t{frac} + 0x800000u) >> 24)};
    }
  }
  const double i = std::floor(f);
  return {TexelIndex(i), TexelIndex(i + 1), Weight(f - i)};
}

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

  spans::Bilinear Linear(double u, double v) const {
    const Axis x = LinearAxis(u), y = LinearAxis(v);
    const std::uint32_t* r0 = tex + y.i0 * kTextureSize;
    const std::uint32_t* r1 = tex + y.i1 * kTextureSize;
    return {r0[x.i0], r0[x.i1], r1[x.i0], r1[x.i1], x.w, y.w};
  }
};

SoftRenderDevice::SoftRenderDevice() : SoftRenderDevice(spans::Best()) {}

SoftRenderDevice::SoftRenderDevice(const spans::SpanOps& ops)
    : ops_(ops),
      frame_(static_cast<std::size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u),
      pixels_(frame_.data()),
      samples_(kScreenWidth),
      taps_(kScreenWidth) {}

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
  spans::Bilinear* taps = taps_.data();
  const bool linear = s.linear && s.tex;
  const int n = x1 - x0;
  int inside = 0;
  if (!s.test) {
    // Not turned: v is the same along the row, so its texel row is found once.
    const double v = s.av + s.bv * qy;
    if (!s.tex) {
      std::fill(texels, texels + n, 0xFFFFFFFFu);
    } else if (!linear) {
      const std::uint32_t* row = s.tex + TexelIndex(v) * kTextureSize;
      for (int i = 0; i < n; ++i, qx += s.dqx) texels[i] = row[TexelIndex(s.au + s.bu * qx)];
    } else {
      for (int i = 0; i < n; ++i, qx += s.dqx) taps[i] = s.Linear(s.au + s.bu * qx, v);
    }
    inside = n;
  } else {
    for (int i = 0; i < n; ++i, qx += s.dqx, qy += s.dqy) {
      if (!(qx >= s.xmin && qx < s.xmax && qy >= s.ymin && qy < s.ymax)) {
        // Clear: leaves the pixel as it is.
        if (linear)
          taps[i] = spans::Bilinear{};
        else
          texels[i] = 0;
        continue;
      }
      if (linear)
        taps[i] = s.Linear(s.au + s.bu * qx, s.av + s.bv * qy);
      else
        texels[i] = s.Point(s.au + s.bu * qx, s.av + s.bv * qy);
      ++inside;
    }
  }
  if (linear) ops_.filter(texels, taps, n);
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
    int b = (tx + i) >> 3;
    const int kind = (opaque >> b & 1) ? 1 : (clear >> b & 1) ? 2 : 0;
    const std::uint32_t same = kind == 1 ? opaque : kind == 2 ? clear : ~(opaque | clear);
    while (b + 1 < kBlocks && (same >> (b + 1) & 1) && (b + 1) * 8 - tx < n) ++b;
    const int end = std::min(n, (b + 1) * 8 - tx);
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
  for (int y = py0; y < py1; ++y) {
    const double ex = px0 + 0.5 - cx, ey = y + 0.5 - cy;
    const double qx = cx + ex * c - ey * sn, qy = cy + ex * sn + ey * c;
    // The run of k (pixels from px0) inside both slabs, widened by one: the per-pixel test
    // decides the ends exactly.
    double klo = 0, khi = px1 - px0;
    auto slab = [&](double q0, double d, double lo, double hi) {
      if (std::fabs(d) < 1e-12) {
        if (!(q0 >= lo && q0 < hi)) khi = -1;
        return;
      }
      const double a = (lo - q0) / d, b = (hi - q0) / d;
      klo = std::max(klo, std::floor(std::min(a, b)) - 1);
      khi = std::min(khi, std::ceil(std::max(a, b)) + 1);
    };
    slab(qx, c, s.xmin, s.xmax);
    slab(qy, sn, s.ymin, s.ymax);
    if (klo >= khi) continue;
    const int k0 = static_cast<int>(klo), k1 = static_cast<int>(khi);
    FillSpan(s, y, px0 + k0, px0 + k1, qx + k0 * c, qy + k0 * sn);
  }
  return true;
}

}  // namespace qv::platform
