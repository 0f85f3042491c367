#pragma once
// The draw list: every visible part appends its tiles as quads during the draw pass; the render
// pass submits them in runs of one device state, reordered only where no pixel can tell, and
// changes device state only where it differs from the last quad.
#include <cstdint>
#include <vector>

#include "platform/render_device.h"

namespace qv {

struct SpriteWorld;
struct my_bmptexture;

struct SpriteQuad {
  platform::DeviceQuad quad;  // corners in screen pixels, mirrored by swapped coordinates
  int texture = -1;           // device texture list index
  std::uint8_t border = 0;    // selects the filter
  std::uint8_t alpha_mode = 0;
  float angle = 0;
  float rot_x = 0, rot_y = 0;
  // Every pixel it would draw is drawn over later by an opaque copy: the render pass skips it.
  bool hidden = false;
};

// The render pass's working memory, kept between frames so that a warm frame allocates nothing:
// quads grouped into runs that share device state, and the order they are submitted in.
struct DrawOrder {
  struct Rect {
    double x0, y0, x1, y1;  // pixels [x0, x1) x [y0, y1) a quad may touch
    bool Meets(const Rect& r) const { return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1; }
  };
  struct Run {
    std::uint64_t key;  // texture, blend, filter and whether a device may copy
    int first, last;    // quads, chained through `next`
    int count;
    Rect box;  // around all of them
  };
  std::vector<Run> runs;
  std::vector<int> next;
  std::vector<Rect> rects;
  std::vector<std::uint8_t> filtered;  // per quad: drawn with the linear filter
  std::vector<int> order;
};

// Shift of every quad corner so that an unscaled, unrotated frame lands on exactly the pixels
// at its truncated position. Our devices sample texel centres at half-pixel positions already,
// so no shift is needed (the golden test holds this).
constexpr float kTexelCorrection = 0.0f;

struct PartQuadParams {
  int frame = 0;
  bool flip_x = false, flip_y = false;
  double sx = 1, sy = 1;
  std::uint32_t color = 0xFFFFFF;
  std::uint32_t alpha = 255;
  double angle = 0;
  std::uint8_t alpha_mode = 0;
  double rot_x = 0, rot_y = 0;
  double left = 0, top = 0;
};

// Appends one quad per tile with content of the given frame of texture record `rec`.
void AddPartQuads(SpriteWorld& ctx, const my_bmptexture& rec, const PartQuadParams& p);

// What the draw list would put on screen, as one number: every quad's fields in order and the
// textures' upload count. Equal numbers mean the same picture (up to a 64-bit hash collision).
std::uint64_t DrawListPicture(const SpriteWorld& ctx);

// Fills `order` with the draw list's shown quads grouped into runs of one device state. A quad
// joins an earlier run of its state only when nothing drawn since covers any pixel it may touch,
// so every pixel sees the quads over it in their list order and the picture is the same.
void OrderForBatches(const std::vector<SpriteQuad>& list, DrawOrder& order);

// Submits the draw list to the device and empties it. False when drawing stopped early (a
// lost texture, a failed draw) or no device exists.
bool RenderDrawList(SpriteWorld& ctx);
bool RenderDrawList(SpriteWorld& ctx, platform::RenderDevice& device);

}  // namespace qv
