#pragma once
// The software rasteriser's pixel loops: a run of texels blended onto a run of frame pixels. One
// portable implementation, which defines the arithmetic, and an SSE2 one that must give the same
// bits; the device takes the fastest the build has.
#include <cstdint>

namespace qv::platform::spans {

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

struct SpanOps {
  const char* name;
  SpanFn over;
  SpanFn add;
  FilterFn filter;
};

const SpanOps& Portable();
// Null where the build targets no SSE2 (the browser build).
const SpanOps* Sse2();
const SpanOps& Best();

}  // namespace qv::platform::spans
