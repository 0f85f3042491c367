#pragma once
// The software rasteriser's pixel loops: a run of texels blended onto a run of frame pixels. One
// portable implementation, which defines the arithmetic, and an SSE2 one that must give the same
// bits; the device takes the fastest the build has.
#include <cstdint>

#include "platform/render_device.h"

namespace qv::platform::spans {

// A texel index from a texel coordinate, clamped to the texture; NaN gives 0. Clamped before
// the conversion, which would be undefined for huge values.
inline int TexelIndex(double t) {
  return t >= kTextureSize - 1 ? kTextureSize - 1 : t > 0 ? static_cast<int>(t) : 0;
}

// A quad's colour modulation as ARGB: each texel channel is scaled by its channel / 255.
constexpr std::uint32_t kNoModulation = 0xFFFFFFFFu;

// n texels from s (advancing by step, 1 or -1) onto d. "over" is straight-alpha blending, the
// frame staying opaque; "add" adds the colour weighted by its alpha, saturating, and keeps the
// frame's alpha.
using SpanFn = void (*)(std::uint32_t* d, const std::uint32_t* s, int n, int step,
                        std::uint32_t modulate);

// One bilinear sample: the four texels around it (row 0 left and right, row 1 left and right)
// and the weights 0..256 of the right column and of row 1.
struct Bilinear {
  std::uint32_t t00, t01, t10, t11;
  std::uint32_t wu, wv;
};

// n samples filtered into out: each channel (a * (256 - w) + b * w) / 256, truncated, across
// then down.
using FilterFn = void (*)(std::uint32_t* out, const Bilinear* in, int n);

// A run of bilinear samples of a 256 x 256 texture. Pixel i sits at quad-space position
// (qx, qy) stepped i times by (dqx, dqy), one addition at a time; its texel coordinates are
// u = au + bu * qx and v = av + bv * qy. With `test`, a position outside [xmin, xmax) x
// [ymin, ymax) gives a clear texel; without, v is taken as fixed along the run.
struct SampleSpan {
  const std::uint32_t* tex;
  double qx, qy, dqx, dqy;
  double au, bu, av, bv;
  double xmin, xmax, ymin, ymax;
  bool test;
};

// n filtered samples into out; returns how many lie inside.
using SampleFn = int (*)(std::uint32_t* out, const SampleSpan& span, int n);

struct SpanOps {
  const char* name;
  SpanFn over;
  SpanFn add;
  FilterFn filter;
  SampleFn sample;
};

const SpanOps& Portable();
// Null where the build targets no SSE2 (the browser build).
const SpanOps* Sse2();
const SpanOps& Best();

}  // namespace qv::platform::spans
