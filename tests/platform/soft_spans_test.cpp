// The rasteriser's fast loops against their portable definitions, bit for bit: the span loops
// alone, and whole frames drawn through each, with the lazy clear and the opaque-block copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "platform/soft_device.h"
#include "platform/soft_spans.h"

namespace qv::platform {
namespace {

constexpr int W = kScreenWidth, H = kScreenHeight;

std::uint32_t Next(std::mt19937& rng) {
  return static_cast<std::uint32_t>(rng());
}

// Texels with every alpha class: clear, opaque and in between, and channels at both ends.
std::uint32_t RandomTexel(std::mt19937& rng) {
  const std::uint32_t bits = Next(rng);
  switch (bits % 5) {
    case 0:
      return bits & 0x00FFFFFFu;
    case 1:
      return bits | 0xFF000000u;
    case 2:
      return bits & 0xFFFF00FFu;
    default:
      return bits;
  }
}

TEST(SoftSpans, Sse2LoopsGiveThePortableBits) {
  const spans::SpanOps* sse2 = spans::Sse2();
  if (!sse2) GTEST_SKIP() << "no SSE2 in this build";
  const spans::SpanOps& portable = spans::Portable();
  std::mt19937 rng(7);
  std::vector<std::uint32_t> src(64), a(64), b(64);
  std::vector<spans::Bilinear> taps(64);
  for (int round = 0; round < 4000; ++round) {
    const int n = static_cast<int>(Next(rng) % 40);
    const int step = Next(rng) % 3 == 0 ? -1 : 1;
    for (auto& t : src) t = RandomTexel(rng);
    for (auto& d : a) d = Next(rng) | (Next(rng) % 4 == 0 ? 0u : 0xFF000000u);
    b = a;
    const std::uint32_t modulate = Next(rng) % 3 == 0
                                       ? spans::kNoModulation
                                       : RandomTexel(rng) | (Next(rng) % 2 ? 0xFF000000u : 0u);
    const std::uint32_t* s = step == 1 ? src.data() : src.data() + 50;
    const bool add = Next(rng) % 2 == 0;
    (add ? portable.add : portable.over)(a.data(), s, n, step, modulate);
    (add ? sse2->add : sse2->over)(b.data(), s, n, step, modulate);
    ASSERT_EQ(a, b) << (add ? "add" : "over") << " n " << n << " step " << step << " modulate "
                    << std::hex << modulate;
    for (auto& t : taps) {
      t = {RandomTexel(rng), RandomTexel(rng), RandomTexel(rng),
           RandomTexel(rng), Next(rng) % 257,  Next(rng) % 257};
    }
    portable.filter(a.data(), taps.data(), n);
    sse2->filter(b.data(), taps.data(), n);
    ASSERT_EQ(a, b) << "filter n " << n;
  }
}

// Coordinates from well inside the texture to its edges, beyond them and not numbers at all,
// and fractions near the weights' rounding ties.
double RandomCoordinate(std::mt19937& rng) {
  switch (Next(rng) % 8) {
    case 0:
      return (static_cast<int>(Next(rng) % 2048) - 1024) / 8.0;
    case 1:
      return (static_cast<int>(Next(rng) % 512) - 128) + 0.5 + (Next(rng) % 3) / 512.0 +
             std::ldexp(static_cast<double>(Next(rng) % 5) - 2, -40);
    case 2:
      return Next(rng) % 2 ? std::numeric_limits<double>::infinity()
                           : std::numeric_limits<double>::quiet_NaN();
    case 3:
      return std::ldexp(static_cast<double>(Next(rng)), static_cast<int>(Next(rng) % 20));
    default:
      return std::uniform_real_distribution<double>(-2.0, 258.0)(rng);
  }
}

TEST(SoftSpans, Sse2SamplesGiveThePortableBits) {
  const spans::SpanOps* sse2 = spans::Sse2();
  if (!sse2) GTEST_SKIP() << "no SSE2 in this build";
  std::mt19937 rng(13);
  std::vector<std::uint32_t> tex(kTextureSize * kTextureSize);
  for (auto& t : tex) t = RandomTexel(rng);
  std::vector<std::uint32_t> a(64), b(64);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int round = 0; round < 20000; ++round) {
    spans::SampleSpan s{};
    s.tex = tex.data();
    s.test = Next(rng) % 4 != 0;
    // A quad's mapping as the device sets it up: positions near the quad, texels near the texture.
    s.qx = RandomCoordinate(rng) * 3;
    s.qy = RandomCoordinate(rng) * 3;
    s.dqx = Next(rng) % 4 == 0 ? 1.0 : unit(rng);
    s.dqy = Next(rng) % 4 == 0 ? 0.0 : unit(rng);
    s.bu = Next(rng) % 3 == 0 ? 1.0 : unit(rng) * 2;
    s.bv = Next(rng) % 3 == 0 ? -1.0 : unit(rng) * 2;
    s.au = RandomCoordinate(rng) - s.bu * s.qx;
    s.av = RandomCoordinate(rng) - s.bv * s.qy;
    s.xmin = s.qx - 20 * unit(rng) - 1;
    s.xmax = s.xmin + 40 * (unit(rng) + 1);
    s.ymin = s.qy - 20 * unit(rng) - 1;
    s.ymax = s.ymin + 40 * (unit(rng) + 1);
    const int n = static_cast<int>(Next(rng) % 40);
    const int in_a = spans::Portable().sample(a.data(), s, n);
    const int in_b = sse2->sample(b.data(), s, n);
    ASSERT_EQ(in_a, in_b) << "round " << round;
    ASSERT_TRUE(std::equal(a.begin(), a.begin() + n, b.begin())) << "round " << round;
  }
}

// A texture whose 8-texel blocks are opaque, clear or mixed in stripes, so copies of it go
// through every kind of run.
std::vector<std::uint32_t> BlockyTexels() {
  std::mt19937 rng(11);
  std::vector<std::uint32_t> t(kTextureSize * kTextureSize);
  for (int y = 0; y < kTextureSize; ++y)
    for (int x = 0; x < kTextureSize; ++x) {
      const int kind = (x / 8 + y / 16) % 4;
      const std::uint32_t c = Next(rng);
      t[static_cast<std::size_t>(y) * kTextureSize + x] = kind == 0   ? c | 0xFF000000u
                                                          : kind == 1 ? c & 0xFFFFFFu
                                                          : kind == 2 ? c
                                                                      : c | 0xFF000000u;
    }
  return t;
}

// One scene through every path: copies (opaque, blended, added, mirrored, tinted), scaled and
// turned quads with both filters, untextured ones, over a clear partly covered by opaque copies
// from the left and in the middle of rows.
std::vector<std::uint32_t> DrawScene(SoftRenderDevice& d, bool clear_now) {
  const std::vector<std::uint32_t> texels = BlockyTexels();
  const int id = d.CreateTexture(TextureFormat::ARGB8888);
  d.UploadTexture(id, texels.data());
  d.BeginScene();
  d.Clear(0x336699u);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(W) * H);
  if (clear_now) d.ReadPixels(px.data());  // finishes the clear before anything is drawn
  d.BindTexture(id);
  const float k = 1.0f / kTextureSize;
  auto quad = [&](float x0, float y0, float x1, float y1, float t0, float t1, std::uint32_t argb,
                  bool opaque = false) {
    DeviceQuad q{x0, y0, x1, y1, t0 * k, t0 * k, t1 * k, t1 * k, argb};
    q.opaque = opaque;
    d.DrawQuad(q);
  };
  quad(0, 100, 200, 300, 3, 203, 0xFFFFFFFFu, true);
  quad(300, 100, 500, 300, 3, 203, 0xFFFFFFFFu);
  quad(550, 100, 350, 300, 5, 205, 0xFFFFFFFFu);  // mirrored
  quad(100, 320, 300, 520, 7, 207, 0xC080FF40u);  // faded and tinted
  d.SetBlend(Blend::Additive);
  quad(250, 250, 450, 450, 9, 209, 0xFFFFFFFFu);
  d.SetBlend(Blend::Alpha);
  for (Filter f : {Filter::Point, Filter::Linear}) {
    d.SetFilter(f);
    const float y = f == Filter::Point ? 0.0f : 200.0f;
    quad(600, y, 790, y + 190, 10.3f, 57.9f, 0xFFFFFFFFu);  // scaled up
    d.SetRotation(0.7f, 650, y + 100);
    quad(560, y + 20, 740, y + 180, 0, 256, 0xE0FFFFFFu);
    d.SetRotation(0, 0, 0);
  }
  d.BindTexture(-1);
  quad(20, 560, 780, 590, 0, 1, 0x80FF0000u);
  d.EndScene();
  d.ReadPixels(px.data());
  return px;
}

TEST(SoftSpans, FramesMatchAcrossLoopsAndWithAnEagerClear) {
  SoftRenderDevice portable(spans::Portable());
  const std::vector<std::uint32_t> want = DrawScene(portable, true);
  SoftRenderDevice lazy(spans::Portable());
  EXPECT_EQ(DrawScene(lazy, false), want) << "the lazy clear changed the picture";
  EXPECT_EQ(lazy.Counts().cleared, static_cast<std::uint64_t>(W) * H - 200 * 200)
      << "only pixels under the left-edge opaque copy go uncleared";
  if (const spans::SpanOps* sse2 = spans::Sse2()) {
    SoftRenderDevice fast(*sse2);
    EXPECT_EQ(DrawScene(fast, false), want) << "the SSE2 loops changed the picture";
  }
}

}  // namespace
}  // namespace qv::platform
