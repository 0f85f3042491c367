#include "platform/soft_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qv::platform {
namespace {

// x * y / 255, rounded, for 8-bit x and y.
inline std::uint32_t Mul255(std::uint32_t x, std::uint32_t y) {
  const std::uint32_t t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

// Straight-alpha "over": the colour channels of `rgb` weighted by a, the destination by 255 - a,
// two channels per multiply.
inline std::uint32_t Over(std::uint32_t d, std::uint32_t rgb, std::uint32_t a) {
  const std::uint32_t ia = 255 - a;
  std::uint32_t rb = (rgb & 0xFF00FFu) * a + (d & 0xFF00FFu) * ia + 0x800080u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  std::uint32_t g = (rgb & 0xFF00u) * a + (d & 0xFF00u) * ia + 0x8000u;
  g = ((g + ((g >> 8) & 0xFF00u)) >> 8) & 0xFF00u;
  const std::uint32_t da = a + Mul255(d >> 24, ia);
  return da << 24 | rb | g;
}

// Additive: the destination plus the colour weighted by a, each channel saturating at 255.
inline std::uint32_t Add(std::uint32_t d, std::uint32_t rgb, std::uint32_t a) {
  std::uint32_t rb = (rgb & 0xFF00FFu) * a + 0x800080u;
  rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
  std::uint32_t g = (rgb & 0xFF00u) * a + 0x8000u;
  g = ((g + ((g >> 8) & 0xFF00u)) >> 8) & 0xFF00u;
  rb += d & 0xFF00FFu;
  g += d & 0xFF00u;
  const std::uint32_t orb = rb & 0x1000100u, og = g & 0x10000u;
  rb = (rb | (orb - (orb >> 8))) & 0xFF00FFu;
  g = (g | (og - (og >> 8))) & 0xFF00u;
  return (d & 0xFF000000u) | rb | g;
}

// Linear blend of two texels by w / 256.
inline std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
  const std::uint32_t iw = 256 - w;
  const std::uint32_t rb = (((a & 0xFF00FFu) * iw + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  const std::uint32_t ag = (((a >> 8) & 0xFF00FFu) * iw + ((b >> 8) & 0xFF00FFu) * w) & 0xFF00FF00u;
  return rb | ag;
}

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

}  // namespace

struct SoftRenderDevice::Setup {
  const std::uint32_t* tex = nullptr;     // null: untextured, every texel white
  double au = 0, bu = 0, av = 0, bv = 0;  // texel u = au + bu * x, v = av + bv * y (quad space)
  double dqx = 1, dqy = 0;                // quad-space step for one pixel to the right
  double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
  bool test = false;  // turned: spans are conservative, test each pixel
  bool linear = false;
  bool additive = false;
  bool tint = false;  // colour modulation other than white
  bool opaque = false;
  std::uint32_t rgb = 0xFFFFFF, alpha = 255;

  std::uint32_t Sample(double u, double v) const {
    if (!tex) return 0xFFFFFFFFu;
    if (!linear) return tex[TexelIndex(std::floor(v)) * kTextureSize + TexelIndex(std::floor(u))];
    const double fu = u - 0.5, fv = v - 0.5;
    const double iu = std::floor(fu), iv = std::floor(fv);
    const std::uint32_t wu = Weight(fu - iu), wv = Weight(fv - iv);
    const int x0 = TexelIndex(iu), x1 = TexelIndex(iu + 1);
    const int y0 = TexelIndex(iv), y1 = TexelIndex(iv + 1);
    const std::uint32_t top = Lerp(tex[y0 * kTextureSize + x0], tex[y0 * kTextureSize + x1], wu);
    const std::uint32_t bottom = Lerp(tex[y1 * kTextureSize + x0], tex[y1 * kTextureSize + x1], wu);
    return Lerp(top, bottom, wv);
  }

  void Put(std::uint32_t& d, std::uint32_t texel) const {
    std::uint32_t a = texel >> 24;
    if (alpha != 255) a = Mul255(a, alpha);
    if (a == 0) return;
    std::uint32_t c = texel & 0xFFFFFFu;
    if (tint) {
      c = Mul255(c >> 16, rgb >> 16) << 16 | Mul255((c >> 8) & 0xFF, (rgb >> 8) & 0xFF) << 8 |
          Mul255(c & 0xFF, rgb & 0xFF);
    }
    if (additive)
      d = Add(d, c, a);
    else
      d = a == 255 ? 0xFF000000u | c : Over(d, c, a);
  }
};

SoftRenderDevice::SoftRenderDevice()
    : frame_(static_cast<std::size_t>(kScreenWidth) * kScreenHeight, 0xFF000000u) {}

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
  return id;
}

bool SoftRenderDevice::UploadTexture(int id, const void* pixels) {
  if (id < 0 || id >= static_cast<int>(textures_.size()) || !pixels) return false;
  Texture& t = textures_[static_cast<std::size_t>(id)];
  if (!t.used) return false;
  if (t.format == TextureFormat::ARGB8888) {
    std::memcpy(t.texels.data(), pixels, t.texels.size() * 4);
    return true;
  }
  const auto* in = static_cast<const std::uint16_t*>(pixels);
  for (std::size_t i = 0; i < t.texels.size(); ++i) {
    const std::uint32_t v = in[i];
    // Each 4-bit channel n becomes n * 17, so 0xF is 0xFF.
    const std::uint32_t spread =
        (v & 0xF000u) << 12 | (v & 0x0F00u) << 8 | (v & 0x00F0u) << 4 | (v & 0x000Fu);
    t.texels[i] = spread | spread << 4;
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
  std::fill(frame_.begin(), frame_.end(), 0xFF000000u | argb);
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
  std::memcpy(out, frame_.data(), frame_.size() * 4);
  return true;
}

void SoftRenderDevice::FillSpan(const Setup& s, int y, int x0, int x1, double qx, double qy) {
  std::uint32_t* row = frame_.data() + static_cast<std::size_t>(y) * kScreenWidth;
  for (int x = x0; x < x1; ++x, qx += s.dqx, qy += s.dqy) {
    if (s.test && !(qx >= s.xmin && qx < s.xmax && qy >= s.ymin && qy < s.ymax)) continue;
    s.Put(row[x], s.Sample(s.au + s.bu * qx, s.av + s.bv * qy));
  }
}

void SoftRenderDevice::CopySpan(const Setup& s, int y, int x0, int x1, int tx, int ty, int step) {
  std::uint32_t* out = frame_.data() + static_cast<std::size_t>(y) * kScreenWidth + x0;
  const std::uint32_t* in = s.tex + static_cast<std::size_t>(ty) * kTextureSize + tx;
  const int n = x1 - x0;
  if (s.opaque && !s.tint && s.alpha == 255 && !s.additive) {
    if (step == 1) {
      std::memcpy(out, in, static_cast<std::size_t>(n) * 4);
    } else {
      for (int i = 0; i < n; ++i) out[i] = in[-i];
    }
    return;
  }
  for (int i = 0; i < n; ++i) s.Put(out[i], in[i * step]);
}

bool SoftRenderDevice::DrawQuad(const DeviceQuad& q) {
  const double x0 = q.x0, x1 = q.x1, y0 = q.y0, y1 = q.y1;
  // Also rejects NaN.
  if (!(std::fabs(x1 - x0) > 0.0) || !(std::fabs(y1 - y0) > 0.0)) return true;
  Setup s;
  s.alpha = q.argb >> 24;
  if (s.alpha == 0) return true;
  s.rgb = q.argb & 0xFFFFFFu;
  s.tint = s.rgb != 0xFFFFFFu;
  s.additive = blend_ == Blend::Additive;
  s.linear = filter_ == Filter::Linear;
  s.opaque = q.opaque;
  if (bound_ >= 0) s.tex = textures_[static_cast<std::size_t>(bound_)].texels.data();
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
