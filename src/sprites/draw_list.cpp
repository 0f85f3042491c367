// Quads of the parts, and the render pass that submits them with the fewest state changes.
#include "sprites/draw_list.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "sprites/sprite_types.h"
#include "sprites/sprite_world.h"

namespace qv {

namespace {

// Grows a per-frame list by a fixed step, so that its capacity settles once warm.
template <typename T>
void Append(std::vector<T>& list, const T& item) {
  if (list.size() == list.capacity()) list.reserve(list.capacity() + 256);
  list.push_back(item);
}

bool Finite(const platform::DeviceQuad& d) {
  for (const float v : {d.x0, d.y0, d.x1, d.y1, d.u0, d.v0, d.u1, d.v1})
    if (!std::isfinite(v)) return false;
  return true;
}

// A whole number that a float holds exactly, with room to add a tile's size to it.
bool Whole(double v) {
  return std::floor(v) == v && std::fabs(v) < 65536;
}

// One texel per pixel along each axis of an unturned quad, exactly.
bool OneToOne(const platform::DeviceQuad& d) {
  constexpr double kTexels = platform::kTextureSize;
  return std::fabs(static_cast<double>(d.x1) - d.x0) ==
             std::fabs(static_cast<double>(d.u1) - d.u0) * kTexels &&
         std::fabs(static_cast<double>(d.y1) - d.y0) ==
             std::fabs(static_cast<double>(d.v1) - d.v0) * kTexels;
}

// Grows `left` by the next tile of its row where the two sit edge to edge both on screen and on
// their atlas page: unfiltered, unturned, one texel per pixel. Then every pixel maps to the same
// texel through the wider quad as through its own tile, and is covered once, so the picture is
// bit for bit the same with one quad fewer.
bool MergeAcross(SpriteQuad& left, const SpriteQuad& next) {
  platform::DeviceQuad& a = left.quad;
  const platform::DeviceQuad& b = next.quad;
  if (left.texture != next.texture || left.border != 0 || next.border != 0 || left.angle != 0 ||
      next.angle != 0 || left.alpha_mode != next.alpha_mode || a.argb != b.argb)
    return false;
  if (a.x1 != b.x0 || a.u1 != b.u0 || a.y0 != b.y0 || a.y1 != b.y1 || a.v0 != b.v0 || a.v1 != b.v1)
    return false;
  platform::DeviceQuad both = a;
  both.x1 = b.x1;
  both.u1 = b.u1;
  both.opaque = a.opaque && b.opaque;
  if (!Finite(both) || !OneToOne(a) || !OneToOne(b) || !OneToOne(both)) return false;
  a = both;
  return true;
}

}  // namespace

void AddPartQuads(SpriteWorld& ctx, const my_bmptexture& rec, const PartQuadParams& p) {
  if (p.alpha == 0) return;
  SpriteState& s = ctx.sprites;
  if (p.frame < 0 || p.frame >= static_cast<int>(rec.frames.size())) return;
  const my_frame& frame = s.frames[rec.frames[p.frame]];
  // Only frames cut with a valid tile size and border have tiles, and they are drawn with the
  // geometry they were cut with: a continuation line may have copied one from another record.
  if (frame.tile_count <= 0) return;
  const int size = frame.tile_size, border = frame.border;
  const int step = size - 2 * border;
  const double lo = border / 256.0;
  const double ox = p.flip_x ? p.left + (rec.frame_width - step) * p.sx : p.left;
  const double oy = p.flip_y ? p.top + (rec.frame_height - step) * p.sy : p.top;
  const double dw = step * p.sx, dh = step * p.sy;
  const std::uint32_t argb = (p.alpha << 24) | (p.color & 0xFFFFFF);
  const float k = kTexelCorrection;
  auto& list = s.draw_list;
  const std::size_t first = list.size();
  const bool whole_pixels =
      border == 0 && k == 0 && p.sx == 1 && p.sy == 1 && !p.flip_x && !p.flip_y && p.angle == 0;
  for (int t = 0; t < frame.tile_count; ++t) {
    const my_texture& tile = s.tiles[frame.first_tile + t];
    if (!tile.has_content) continue;
    SpriteQuad q;
    q.texture = tile.atlas_texture_index;
    q.border = static_cast<std::uint8_t>(border);
    q.alpha_mode = p.alpha_mode;
    q.angle = static_cast<float>(p.angle);
    q.rot_x = static_cast<float>(p.rot_x);
    q.rot_y = static_cast<float>(p.rot_y);
    // Tiles on the right and bottom edges are cut to the frame: what lies beyond it is
    // transparent, and drawing it would cost fill for nothing.
    const int cw = std::min(step, rec.frame_width - tile.x);
    const int ch = std::min(step, rec.frame_height - tile.y);
    if (cw <= 0 || ch <= 0) continue;
    if (!p.flip_x) {
      const double screen_x = ox + tile.x * p.sx;
      q.quad.x0 = static_cast<float>(screen_x) - k;
      q.quad.x1 = static_cast<float>(screen_x + cw * p.sx) - k;
    } else {
      const double screen_x = ox - tile.x * p.sx;
      q.quad.x0 = static_cast<float>(screen_x + dw) - k;
      q.quad.x1 = static_cast<float>(screen_x + dw - cw * p.sx) - k;
    }
    if (!p.flip_y) {
      const double screen_y = oy + tile.y * p.sy;
      q.quad.y0 = static_cast<float>(screen_y) - k;
      q.quad.y1 = static_cast<float>(screen_y + ch * p.sy) - k;
    } else {
      const double screen_y = oy - tile.y * p.sy;
      q.quad.y0 = static_cast<float>(screen_y + dh) - k;
      q.quad.y1 = static_cast<float>(screen_y + dh - ch * p.sy) - k;
    }
    q.quad.u0 = static_cast<float>(lo + tile.u);
    q.quad.u1 = static_cast<float>(lo + cw / 256.0 + tile.u);
    q.quad.v0 = static_cast<float>(lo + tile.v);
    q.quad.v1 = static_cast<float>(lo + ch / 256.0 + tile.v);
    q.quad.argb = argb;
    q.quad.opaque = tile.opaque;
    if (!tile.runs.empty() && whole_pixels && Whole(q.quad.x0) && Whole(q.quad.y0)) {
      // Drawn one texel per pixel on whole pixels, the runs map their texels exactly as the
      // whole tile does, and the clear cells between them would leave their pixels as they are.
      for (const TileRun& run : tile.runs) {
        const int x1 = std::min<int>(run.x1, cw), y1 = std::min<int>(run.y1, ch);
        if (run.x0 >= x1 || run.y0 >= y1) continue;
        SpriteQuad r = q;
        r.quad.x0 = q.quad.x0 + static_cast<float>(run.x0);
        r.quad.x1 = q.quad.x0 + static_cast<float>(x1);
        r.quad.y0 = q.quad.y0 + static_cast<float>(run.y0);
        r.quad.y1 = q.quad.y0 + static_cast<float>(y1);
        r.quad.u0 = static_cast<float>(tile.u + run.x0 / 256.0);
        r.quad.u1 = static_cast<float>(tile.u + x1 / 256.0);
        r.quad.v0 = static_cast<float>(tile.v + run.y0 / 256.0);
        r.quad.v1 = static_cast<float>(tile.v + y1 / 256.0);
        r.quad.opaque = run.opaque;
        Append(list, r);
      }
      continue;
    }
    if (list.size() > first && MergeAcross(list.back(), q)) continue;
    Append(list, q);
  }
}

namespace {

// FNV-1a over 32-bit words: each field is mixed by value, so padding never counts.
struct PictureHash {
  std::uint64_t h = 0xcbf29ce484222325ull;
  void Mix(std::uint32_t v) {
    h ^= v;
    h *= 0x100000001b3ull;
  }
  void Mix(float v) {
    std::uint32_t bits = 0;  // std::bit_cast is missing from the browser build's library
    std::memcpy(&bits, &v, sizeof bits);
    Mix(bits);
  }
};

// The pixels an unturned quad covers: those whose centres lie inside, as the devices fill.
struct PixelRect {
  double x0, y0, x1, y1;
  bool Contains(const PixelRect& r) const {
    return r.x0 >= x0 && r.x1 <= x1 && r.y0 >= y0 && r.y1 <= y1;
  }
};

PixelRect Covered(const platform::DeviceQuad& q) {
  return {
      std::ceil(std::min<double>(q.x0, q.x1) - 0.5), std::ceil(std::min<double>(q.y0, q.y1) - 0.5),
      std::ceil(std::max<double>(q.x0, q.x1) - 0.5), std::ceil(std::max<double>(q.y0, q.y1) - 0.5)};
}

// A quad that replaces every pixel under it whatever was there: unturned, alpha-blended at full
// alpha over opaque texels, one texel per pixel with no filtering (so no sample strays outside
// its opaque rectangle), and large enough to be worth checking against.
bool Occludes(const SpriteQuad& q) {
  const platform::DeviceQuad& d = q.quad;
  return Finite(d) && d.opaque && q.angle == 0 && q.alpha_mode == 0 && q.border == 0 &&
         d.argb >> 24 == 0xFF && OneToOne(d) &&
         std::fabs((static_cast<double>(d.x1) - d.x0) * (static_cast<double>(d.y1) - d.y0)) >= 2048;
}

// A quad drawn one texel per pixel, unmirrored, with its corners on whole pixels and whole
// texels: an edge moved in by whole pixels leaves every pixel it still covers as it was.
bool Trimmable(const SpriteQuad& q) {
  const platform::DeviceQuad& d = q.quad;
  if (q.angle != 0 || q.border != 0 || !(d.x0 < d.x1) || !(d.y0 < d.y1) || !(d.u0 < d.u1) ||
      !(d.v0 < d.v1))
    return false;
  constexpr double kTexels = platform::kTextureSize;
  for (const double v :
       {double{d.x0}, double{d.y0}, double{d.x1}, double{d.y1}, d.u0 * kTexels, d.v0 * kTexels})
    if (!Whole(v)) return false;
  return OneToOne(d);
}

// Moves in whichever edge of a trimmable quad the occluder covers along the whole of it.
bool Trim(SpriteQuad& q, const PixelRect& r) {
  platform::DeviceQuad& d = q.quad;
  constexpr double kTexels = platform::kTextureSize;
  auto move = [&](float& edge, float& tex, double to) {
    tex = static_cast<float>(tex + (to - edge) / kTexels);
    edge = static_cast<float>(to);
    return true;
  };
  if (r.y0 <= d.y0 && r.y1 >= d.y1) {
    if (r.x0 <= d.x0 && r.x1 > d.x0) return move(d.x0, d.u0, std::min<double>(r.x1, d.x1));
    if (r.x0 < d.x1 && r.x1 >= d.x1) return move(d.x1, d.u1, std::max<double>(r.x0, d.x0));
  }
  if (r.x0 <= d.x0 && r.x1 >= d.x1) {
    if (r.y0 <= d.y0 && r.y1 > d.y0) return move(d.y0, d.v0, std::min<double>(r.y1, d.y1));
    if (r.y0 < d.y1 && r.y1 >= d.y1) return move(d.y1, d.v1, std::max<double>(r.y0, d.y0));
  }
  return false;
}

// Marks unturned quads that a later occluding quad covers whole, such as the parts of a
// full-screen background under an opaque frame, and cuts off the strips of one-to-one copies
// that such a quad covers along a whole edge. The picture stays bit for bit the same.
void MarkHidden(std::vector<SpriteQuad>& list) {
  std::array<PixelRect, 32> occluders;
  std::size_t count = 0;
  for (std::size_t i = list.size(); i-- > 0;) {
    SpriteQuad& q = list[i];
    q.hidden = false;
    if (q.angle != 0) continue;
    if (count > 0 && Trimmable(q)) {
      for (bool moved = true; moved && !q.hidden;) {
        moved = false;
        for (std::size_t k = 0; k < count && !q.hidden; ++k) {
          moved |= Trim(q, occluders[k]);
          q.hidden = !(q.quad.x0 < q.quad.x1) || !(q.quad.y0 < q.quad.y1);
        }
      }
      if (q.hidden) continue;
    }
    const PixelRect r = Covered(q.quad);
    for (std::size_t k = 0; k < count && !q.hidden; ++k) q.hidden = occluders[k].Contains(r);
    if (!q.hidden && count < occluders.size() && Occludes(q)) occluders[count++] = r;
  }
}

// The pixels a quad may touch: exactly those of an unturned quad, and the box of a turned one
// with a pixel to spare for rounding; a quad with corners that are not finite meets everything.
DrawOrder::Rect Reach(const SpriteQuad& q) {
  const platform::DeviceQuad& d = q.quad;
  constexpr double kEndless = 1e300;
  for (const float v : {d.x0, d.y0, d.x1, d.y1})
    if (!std::isfinite(v)) return {-kEndless, -kEndless, kEndless, kEndless};
  if (q.angle == 0) {
    const PixelRect r = Covered(d);
    return {r.x0, r.y0, r.x1, r.y1};
  }
  const double c = std::cos(static_cast<double>(q.angle)),
               sn = std::sin(static_cast<double>(q.angle));
  double bx0 = kEndless, bx1 = -kEndless, by0 = kEndless, by1 = -kEndless;
  for (const double x : {d.x0, d.x1})
    for (const double y : {d.y0, d.y1}) {
      const double dx = x - q.rot_x, dy = y - q.rot_y;
      const double sx = q.rot_x + dx * c + dy * sn, sy = q.rot_y - dx * sn + dy * c;
      bx0 = std::min(bx0, sx);
      bx1 = std::max(bx1, sx);
      by0 = std::min(by0, sy);
      by1 = std::max(by1, sy);
    }
  return {std::floor(bx0) - 2, std::floor(by0) - 2, std::ceil(bx1) + 2, std::ceil(by1) + 2};
}

// Whether a quad is drawn filtered. A bordered tile is, unless each pixel centre falls on a texel
// centre (unturned, one texel per pixel, on whole texels inside the page): there both filters
// give the texel itself, and an unfiltered draw is the cheaper one for a GPU.
bool Filtered(const SpriteQuad& q) {
  if (q.border == 0) return false;
  const platform::DeviceQuad& d = q.quad;
  if (q.angle != 0 || !Finite(d)) return true;
  auto centred = [](double p0, double p1, double t0, double t1) {
    constexpr double kTexels = platform::kTextureSize;
    t0 *= kTexels;
    t1 *= kTexels;
    if (t0 < 0 || t1 < 0 || t0 > kTexels || t1 > kTexels) return false;
    const double b = (t1 - t0) / (p1 - p0);
    if (b != 1.0 && b != -1.0) return false;
    const double a = t0 - p0 * b;
    return a == std::floor(a);
  };
  return !centred(d.x0, d.x1, d.u0, d.u1) || !centred(d.y0, d.y1, d.v0, d.v1);
}

// What a device keeps per run of quads: the texture, the blend, the filter, and (as the GPU
// device draws full-alpha opaque runs without blending) whether the quad may be copied.
std::uint64_t StateKey(const SpriteQuad& q, bool filtered) {
  const bool copy = q.quad.opaque && q.alpha_mode == 0 && q.quad.argb >> 24 == 0xFF;
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(q.texture)) << 32 |
         static_cast<std::uint64_t>(q.alpha_mode) << 8 | (filtered ? 2u : 0u) | (copy ? 1u : 0u);
}

// How many runs back a quad may look for one of its state: enough for a row of balls in six
// colours and what sits between rows, few enough to stay cheap.
constexpr std::size_t kRunsBack = 24;
constexpr int kQuadsChecked = 32;

}  // namespace

void OrderForBatches(const std::vector<SpriteQuad>& list, DrawOrder& o) {
  o.runs.clear();
  o.order.clear();
  if (o.next.size() < list.size()) {
    o.next.resize(list.size());
    o.rects.resize(list.size());
    o.filtered.resize(list.size());
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    const SpriteQuad& q = list[i];
    if (q.hidden) continue;
    const DrawOrder::Rect r = Reach(q);
    const bool filtered = Filtered(q);
    const std::uint64_t key = StateKey(q, filtered);
    const int quad = static_cast<int>(i);
    o.rects[i] = r;
    o.filtered[i] = filtered;
    o.next[i] = -1;
    DrawOrder::Run* join = nullptr;
    const std::size_t stop = o.runs.size() > kRunsBack ? o.runs.size() - kRunsBack : 0;
    for (std::size_t b = o.runs.size(); b-- > stop;) {
      DrawOrder::Run& run = o.runs[b];
      if (run.key == key) {
        join = &run;
        break;
      }
      // Drawn after the run it would join: it must not share a pixel with this quad.
      // Past a few quads, a run whose box meets it counts as meeting it: a crowd of thousands
      // would otherwise cost more to check than its draw calls.
      bool meets = false;
      if (run.box.Meets(r)) {
        meets = run.count > kQuadsChecked;
        for (int k = run.first; k >= 0 && !meets; k = o.next[static_cast<std::size_t>(k)])
          meets = o.rects[static_cast<std::size_t>(k)].Meets(r);
      }
      if (meets) break;
    }
    if (join) {
      o.next[static_cast<std::size_t>(join->last)] = quad;
      join->last = quad;
      ++join->count;
      join->box = {std::min(join->box.x0, r.x0), std::min(join->box.y0, r.y0),
                   std::max(join->box.x1, r.x1), std::max(join->box.y1, r.y1)};
    } else {
      Append(o.runs, {key, quad, quad, 1, r});
    }
  }
  if (o.order.capacity() < list.size()) o.order.reserve(list.size());
  for (const DrawOrder::Run& run : o.runs)
    for (int k = run.first; k >= 0; k = o.next[static_cast<std::size_t>(k)]) o.order.push_back(k);
}

std::uint64_t DrawListPicture(const SpriteWorld& ctx) {
  const SpriteState& s = ctx.sprites;
  PictureHash hash;
  hash.Mix(static_cast<std::uint32_t>(s.uploads));
  hash.Mix(static_cast<std::uint32_t>(s.uploads >> 32));
  hash.Mix(static_cast<std::uint32_t>(s.draw_list.size()));
  for (const SpriteQuad& q : s.draw_list) {
    const platform::DeviceQuad& d = q.quad;
    for (const float v :
         {d.x0, d.y0, d.x1, d.y1, d.u0, d.v0, d.u1, d.v1, q.angle, q.rot_x, q.rot_y})
      hash.Mix(v);
    hash.Mix(d.argb);
    hash.Mix(static_cast<std::uint32_t>(q.texture));
    hash.Mix(static_cast<std::uint32_t>(q.border) | static_cast<std::uint32_t>(q.alpha_mode) << 8 |
             static_cast<std::uint32_t>(d.opaque) << 16);
  }
  return hash.h;
}

bool RenderDrawList(SpriteWorld& ctx) {
  if (!ctx.platform.device) {
    ctx.sprites.draw_list.clear();
    return false;
  }
  return RenderDrawList(ctx, *ctx.platform.device);
}

bool RenderDrawList(SpriteWorld& ctx, platform::RenderDevice& dev) {
  SpriteState& s = ctx.sprites;
  platform::RenderDevice* device = &dev;
  bool ok = !s.texture_lost;
  const int entries = static_cast<int>(s.device_textures.size());
  const SpriteQuad* prev = nullptr;
  bool prev_filtered = false;
  MarkHidden(s.draw_list);
  OrderForBatches(s.draw_list, s.draw_order);
  for (const int i : s.draw_order.order) {
    if (!ok) break;
    const SpriteQuad& q = s.draw_list[static_cast<std::size_t>(i)];
    if (!prev || q.angle != 0 || q.angle != prev->angle)
      device->SetRotation(q.angle, q.rot_x, q.rot_y);
    if (!prev || q.alpha_mode != prev->alpha_mode)
      device->SetBlend(q.alpha_mode == 0 ? platform::Blend::Alpha : platform::Blend::Additive);
    if (!prev || q.texture != prev->texture) {
      const int id = q.texture >= 0 && q.texture < entries ? s.device_textures[q.texture].id : -1;
      if (id < 0) {
        device->BindTexture(-1);
        s.texture_lost = true;
        ok = false;
        break;
      }
      if (!device->BindTexture(id)) {
        s.texture_lost = true;
        ok = false;
        break;
      }
    }
    // Any border lets the tile be filtered without touching its neighbours.
    const bool filtered = s.draw_order.filtered[static_cast<std::size_t>(i)] != 0;
    if (!prev || filtered != prev_filtered)
      device->SetFilter(filtered ? platform::Filter::Linear : platform::Filter::Point);
    prev_filtered = filtered;
    if (!device->DrawQuad(q.quad)) {
      ok = false;
      break;
    }
    prev = &q;
  }
  s.draw_list.clear();
  return ok;
}

}  // namespace qv
