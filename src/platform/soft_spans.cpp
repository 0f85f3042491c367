#include "platform/soft_spans.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qv::platform::spans {
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

// A texel scaled by the modulation; the result's alpha is what blends.
inline std::uint32_t Modulate(std::uint32_t texel, std::uint32_t m) {
  if (m == kNoModulation) return texel;
  std::uint32_t a = texel >> 24;
  if (m >> 24 != 255) a = Mul255(a, m >> 24);
  std::uint32_t c = texel & 0xFFFFFFu;
  if ((m & 0xFFFFFFu) != 0xFFFFFFu) {
    c = Mul255(c >> 16, (m >> 16) & 0xFF) << 16 | Mul255((c >> 8) & 0xFF, (m >> 8) & 0xFF) << 8 |
        Mul255(c & 0xFF, m & 0xFF);
  }
  return a << 24 | c;
}

// Linear blend of two texels by w / 256.
inline std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
  const std::uint32_t iw = 256 - w;
  const std::uint32_t rb = (((a & 0xFF00FFu) * iw + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  const std::uint32_t ag = (((a >> 8) & 0xFF00FFu) * iw + ((b >> 8) & 0xFF00FFu) * w) & 0xFF00FF00u;
  return rb | ag;
}

void FilterPortable(std::uint32_t* out, const Bilinear* in, int n) {
  for (int i = 0; i < n; ++i) {
    const Bilinear& b = in[i];
    out[i] = Lerp(Lerp(b.t00, b.t01, b.wu), Lerp(b.t10, b.t11, b.wu), b.wv);
  }
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

inline Bilinear LinearSample(const std::uint32_t* tex, double u, double v) {
  const Axis x = LinearAxis(u), y = LinearAxis(v);
  const std::uint32_t* r0 = tex + y.i0 * kTextureSize;
  const std::uint32_t* r1 = tex + y.i1 * kTextureSize;
  return {r0[x.i0], r0[x.i1], r1[x.i0], r1[x.i1], x.w, y.w};
}

int SamplePortable(std::uint32_t* out, const SampleSpan& s, int n) {
  double qx = s.qx, qy = s.qy;
  int inside = 0;
  if (!s.test) {
    const double v = s.av + s.bv * qy;
    for (int i = 0; i < n; ++i, qx += s.dqx) {
      const Bilinear b = LinearSample(s.tex, s.au + s.bu * qx, v);
      FilterPortable(out + i, &b, 1);
    }
    return n;
  }
  for (int i = 0; i < n; ++i, qx += s.dqx, qy += s.dqy) {
    if (!(qx >= s.xmin && qx < s.xmax && qy >= s.ymin && qy < s.ymax)) {
      out[i] = 0;  // clear: leaves the pixel as it is
      continue;
    }
    const Bilinear b = LinearSample(s.tex, s.au + s.bu * qx, s.av + s.bv * qy);
    FilterPortable(out + i, &b, 1);
    ++inside;
  }
  return inside;
}

void OverPortable(std::uint32_t* d, const std::uint32_t* s, int n, int step, std::uint32_t m) {
  for (int i = 0; i < n; ++i, s += step) {
    const std::uint32_t t = Modulate(*s, m);
    const std::uint32_t a = t >> 24;
    if (a == 0) continue;
    d[i] = a == 255 ? t : Over(d[i], t & 0xFFFFFFu, a);
  }
}

void AddPortable(std::uint32_t* d, const std::uint32_t* s, int n, int step, std::uint32_t m) {
  for (int i = 0; i < n; ++i, s += step) {
    const std::uint32_t t = Modulate(*s, m);
    if (t >> 24 != 0) d[i] = Add(d[i], t & 0xFFFFFFu, t >> 24);
  }
}

#if defined(__SSE2__)

// Four texels from s onwards in the span's direction.
inline __m128i Load4(const std::uint32_t* s, int step) {
  if (step == 1) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  return _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s - 3)),
                           _MM_SHUFFLE(0, 1, 2, 3));
}

// (t + 128) / 255 rounded as Mul255 does, in 16-bit lanes; t + 128 must not pass 65535.
inline __m128i Div255(__m128i t) {
  t = _mm_add_epi16(t, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

inline __m128i AlphaOf(__m128i p16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(p16, 0xFF), 0xFF);
}

// Two pixels in 16-bit lanes: texels (already modulated) over the frame. The alpha lane works
// like the colour lanes with a source of 255, which equals a + (255 - a) * da / 255 exactly.
inline __m128i OverLanes(__m128i d16, __m128i s16) {
  const __m128i a = AlphaOf(s16);
  const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(255), a);
  const __m128i src = _mm_or_si128(s16, _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0));
  return Div255(_mm_add_epi16(_mm_mullo_epi16(src, a), _mm_mullo_epi16(d16, ia)));
}

// The colour weighted by alpha, alpha lanes 0: what additive blending adds.
inline __m128i AddendLanes(__m128i s16) {
  const __m128i a = AlphaOf(s16);
  const __m128i colour = _mm_and_si128(s16, _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1));
  return Div255(_mm_mullo_epi16(colour, a));
}

// Both rows at once: lanes 0-3 hold the left texels' channels, 4-7 the right ones'; each
// product fits 16 bits as a * (256 - w) + b * w <= 255 * 256.
void FilterSse2(std::uint32_t* out, const Bilinear* in, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i k256 = _mm_set1_epi16(256);
  for (int i = 0; i < n; ++i) {
    const Bilinear& b = in[i];
    const __m128i left =
        _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(b.t00)),
                                             _mm_cvtsi32_si128(static_cast<int>(b.t10))),
                          zero);
    const __m128i right =
        _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(b.t01)),
                                             _mm_cvtsi32_si128(static_cast<int>(b.t11))),
                          zero);
    const __m128i wu = _mm_set1_epi16(static_cast<short>(b.wu));
    // Lanes 0-3 the top row, 4-7 the bottom row.
    const __m128i rows = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(left, _mm_sub_epi16(k256, wu)), _mm_mullo_epi16(right, wu)),
        8);
    const __m128i wv = _mm_set1_epi16(static_cast<short>(b.wv));
    const __m128i weighted = _mm_mullo_epi16(rows, _mm_unpacklo_epi64(_mm_sub_epi16(k256, wv), wv));
    const __m128i sum =
        _mm_srli_epi16(_mm_add_epi16(weighted, _mm_unpackhi_epi64(weighted, weighted)), 8);
    out[i] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, zero)));
  }
}

// The portable sampler's arithmetic with u and v side by side in one register: the same
// additions and products, so the same positions bit for bit. Where the coordinates need no
// clamping, floor is truncation and the fraction f - floor(f) is exact, which is what the
// portable weight is computed from; anywhere else the portable path takes the pixel.
int SampleSse2(std::uint32_t* out, const SampleSpan& s, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i k256 = _mm_set1_epi16(256);
  const __m128d a = _mm_set_pd(s.av, s.au), b = _mm_set_pd(s.bv, s.bu);
  const __m128d lo = _mm_set_pd(s.ymin, s.xmin), hi = _mm_set_pd(s.ymax, s.xmax);
  const __m128d half = _mm_set1_pd(0.5), scale = _mm_set1_pd(256.0);
  const __m128d last = _mm_set1_pd(kTextureSize - 1);
  const __m128d dq = _mm_set_pd(s.test ? s.dqy : 0.0, s.dqx);
  __m128d q = _mm_set_pd(s.qy, s.qx);
  int inside = 0;
  for (int i = 0; i < n; ++i, q = _mm_add_pd(q, dq)) {
    if (s.test && _mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(q, lo), _mm_cmplt_pd(q, hi))) != 3) {
      out[i] = 0;
      continue;
    }
    ++inside;
    const __m128d f = _mm_sub_pd(_mm_add_pd(a, _mm_mul_pd(b, q)), half);
    if (_mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(f, _mm_setzero_pd()), _mm_cmplt_pd(f, last))) !=
        3) {
      const Bilinear one = LinearSample(s.tex, s.au + s.bu * _mm_cvtsd_f64(q),
                                        s.av + s.bv * _mm_cvtsd_f64(_mm_unpackhi_pd(q, q)));
      FilterPortable(out + i, &one, 1);
      continue;
    }
    const __m128i index = _mm_cvttpd_epi32(f);  // lanes 0, 1: the texel column and row
    const __m128d frac = _mm_sub_pd(f, _mm_cvtepi32_pd(index));
    const __m128i w = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(frac, scale), half));
    const int at = _mm_cvtsi128_si32(
        _mm_add_epi32(index, _mm_shuffle_epi32(_mm_slli_epi32(index, 8), _MM_SHUFFLE(3, 2, 0, 1))));
    const std::uint32_t* p = s.tex + at;
    // Lanes 0-3 the left texels' channels, 4-7 the right ones', top row and bottom row.
    const __m128i top =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    const __m128i bottom = _mm_unpacklo_epi8(
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + kTextureSize)), zero);
    const __m128i left = _mm_unpacklo_epi64(top, bottom), right = _mm_unpackhi_epi64(top, bottom);
    const __m128i wu = _mm_shuffle_epi32(_mm_shufflelo_epi16(w, 0x00), 0x00);
    const __m128i wv = _mm_shuffle_epi32(_mm_shufflelo_epi16(w, 0xAA), 0x00);
    const __m128i rows = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(left, _mm_sub_epi16(k256, wu)), _mm_mullo_epi16(right, wu)),
        8);
    const __m128i weighted = _mm_mullo_epi16(rows, _mm_unpacklo_epi64(_mm_sub_epi16(k256, wv), wv));
    const __m128i sum =
        _mm_srli_epi16(_mm_add_epi16(weighted, _mm_unpackhi_epi64(weighted, weighted)), 8);
    out[i] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, zero)));
  }
  return s.test ? inside : n;
}

// Four pixels at `d`: the texels `t`, modulated by `m` unless that is kNoModulation.
template <bool kAdd>
inline void Blend4(std::uint32_t* d, __m128i t, std::uint32_t m) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha_mask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  __m128i lo = _mm_unpacklo_epi8(t, zero), hi = _mm_unpackhi_epi8(t, zero);
  if (m != kNoModulation) {
    const __m128i mod16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(m)), zero);
    lo = Div255(_mm_mullo_epi16(lo, mod16));
    hi = Div255(_mm_mullo_epi16(hi, mod16));
    t = _mm_packus_epi16(lo, hi);
  }
  const __m128i alpha = _mm_and_si128(t, alpha_mask);
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) return;  // all clear
  __m128i* out = reinterpret_cast<__m128i*>(d);
  if (!kAdd && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alpha_mask)) == 0xFFFF) {
    _mm_storeu_si128(out, t);  // all opaque
    return;
  }
  const __m128i f = _mm_loadu_si128(out);
  if (kAdd) {
    _mm_storeu_si128(out, _mm_adds_epu8(f, _mm_packus_epi16(AddendLanes(lo), AddendLanes(hi))));
  } else {
    _mm_storeu_si128(out, _mm_packus_epi16(OverLanes(_mm_unpacklo_epi8(f, zero), lo),
                                           OverLanes(_mm_unpackhi_epi8(f, zero), hi)));
  }
}

template <bool kAdd>
void BlendSse2(std::uint32_t* d, const std::uint32_t* s, int n, int step, std::uint32_t m) {
  int i = 0;
  for (; i + 4 <= n; i += 4, s += 4 * step) Blend4<kAdd>(d + i, Load4(s, step), m);
  if (i == n) return;
  // The last one to three pixels go through the same lanes, padded with clear texels, which
  // leave a pixel as it is.
  std::uint32_t texels[4] = {}, pixels[4] = {};
  const int left = n - i;
  for (int k = 0; k < left; ++k) {
    texels[k] = s[k * step];
    pixels[k] = d[i + k];
  }
  Blend4<kAdd>(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels)), m);
  std::copy(pixels, pixels + left, d + i);
}

#endif

}  // namespace

const SpanOps& Portable() {
  static constexpr SpanOps kOps{"portable", OverPortable, AddPortable, FilterPortable,
                                SamplePortable};
  return kOps;
}

const SpanOps* Sse2() {
#if defined(__SSE2__)
  static constexpr SpanOps kOps{"sse2", BlendSse2<false>, BlendSse2<true>, FilterSse2, SampleSse2};
  return &kOps;
#else
  return nullptr;
#endif
}

const SpanOps& Best() {
  const SpanOps* sse2 = Sse2();
  return sse2 ? *sse2 : Portable();
}

}  // namespace qv::platform::spans
