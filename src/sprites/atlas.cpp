// Frames and tiles of texture records, and their slots in the 256 x 256 atlas textures.
#include "sprites/atlas.h"

#include <algorithm>

#include "base/log.h"
#include "sprites/sprite_world.h"
#include "platform/render_device.h"

namespace qv {
namespace {

constexpr int kAtlas = platform::kTextureSize;
// Tiles of one image may hold at most this many pixels in total (a hostile frame or tile size
// must not exhaust memory).
constexpr std::int64_t kMaxTilePixelsPerImage = 32LL << 20;
constexpr int kSmallestTile = 8;

bool Layout16(SpriteWorld& ctx) {
  SpriteState& s = ctx.sprites;
  if (!s.layout_fixed) {
    s.layout_fixed = true;
    s.layout16 = ctx.options.textures16bit;
  }
  return s.layout16;
}

// Takes a slot for tile `tile_index` of edge `size` and records it in the tile.
void PlaceTile(SpriteWorld& ctx, int tile_index, int size) {
  SpriteState& s = ctx.sprites;
  my_texture_group& cls = s.size_classes[SizeClassOf(size)];
  my_big_texture* atlas = nullptr;
  int slot = -1;
  for (my_big_texture& t : cls.textures) {
    if (t.free_slots <= 0) continue;
    const auto it = std::find(t.slot_used.begin(), t.slot_used.end(), 0);
    if (it == t.slot_used.end()) continue;
    atlas = &t;
    slot = static_cast<int>(it - t.slot_used.begin());
    break;
  }
  if (!atlas) {
    // Entries stay with their atlas texture for the whole run, even while empty after a
    // device loss, so a new atlas texture always takes a new entry.
    const int entry = static_cast<int>(s.device_textures.size());
    s.device_textures.emplace_back().tile_size = size;
    my_big_texture& t = cls.textures.emplace_back();
    t.tile_size = size;
    t.slot_count = (kAtlas / size) * (kAtlas / size);
    t.free_slots = t.slot_count;
    t.slot_used.assign(t.slot_count, 0);
    t.device_texture_index = entry;
    CreateAtlasTexture(ctx, entry);
    atlas = &t;
    slot = 0;
  }
  atlas->slot_used[slot] = 1;
  --atlas->free_slots;
  my_texture& tile = s.tiles[tile_index];
  const int per_row = kAtlas / size;
  tile.atlas_texture_index = atlas->device_texture_index;
  tile.slot = slot;
  tile.atlas_x = (slot % per_row) * size;
  tile.atlas_y = (slot / per_row) * size;
  tile.u = tile.atlas_x / double(kAtlas);
  tile.v = tile.atlas_y / double(kAtlas);
  DeviceTextureEntry& entry = s.device_textures[tile.atlas_texture_index];
  entry.tiles.push_back(tile_index);
  entry.dirty = true;
}

// Writes every tile of a device texture entry into one 256 x 256 picture and uploads it.
bool UploadEntry(SpriteWorld& ctx, DeviceTextureEntry& entry) {
  SpriteState& s = ctx.sprites;
  platform::RenderDevice* device = ctx.platform.device;
  if (!device || entry.id < 0) return false;
  const int size = entry.tile_size;
  const int per_row = kAtlas / size;
  const bool wide = !s.layout16;
  std::vector<std::uint32_t> pixels32;
  std::vector<std::uint16_t> pixels16;
  if (wide)
    pixels32.assign(kAtlas * kAtlas, 0);
  else
    pixels16.assign(kAtlas * kAtlas, 0);
  for (int ti : entry.tiles) {
    const my_texture& tile = s.tiles[ti];
    const int ax = (tile.slot % per_row) * size, ay = (tile.slot / per_row) * size;
    for (int y = 0; y < size; ++y) {
      const std::size_t dst = static_cast<std::size_t>(ay + y) * kAtlas + ax;
      const std::size_t src = static_cast<std::size_t>(y) * size;
      if (wide && tile.pixels32.size() == static_cast<std::size_t>(size) * size)
        std::copy_n(tile.pixels32.begin() + src, size, pixels32.begin() + dst);
      else if (!wide && tile.pixels16.size() == static_cast<std::size_t>(size) * size)
        std::copy_n(tile.pixels16.begin() + src, size, pixels16.begin() + dst);
    }
  }
  entry.dirty = false;
  ++s.uploads;
  return device->UploadTexture(entry.id, wide ? static_cast<const void*>(pixels32.data())
                                              : static_cast<const void*>(pixels16.data()));
}

}  // namespace

int SizeClassOf(int tile_size) {
  switch (tile_size) {
    case 8:
      return 0;
    case 16:
      return 1;
    case 32:
      return 2;
    case 64:
      return 3;
    case 128:
      return 4;
    case 256:
      return 5;
    default:
      return -1;
  }
}

bool ValidTileGeometry(int size, int border) {
  return SizeClassOf(size) >= 0 && border >= 0 && std::int64_t{size} - 2 * std::int64_t{border} > 0;
}

int FindLoadedImage(const SpriteWorld& ctx, std::string_view base_name, int* frame_pool_index) {
  const SpriteState& s = ctx.sprites;
  for (std::size_t r = 0; r < s.textures.size(); ++r) {
    if (s.textures[r].name.empty()) continue;
    for (const auto& [name, first] : s.textures[r].frame_names) {
      if (name == base_name) {
        if (frame_pool_index) *frame_pool_index = first;
        return static_cast<int>(r);
      }
    }
  }
  return -1;
}

void AppendFrame(SpriteWorld& ctx, int rec_index, int frame_pool_index) {
  SpriteState& s = ctx.sprites;
  my_bmptexture& rec = s.textures[rec_index];
  rec.frames.push_back(frame_pool_index);
  const std::string& name = s.frames[frame_pool_index].name;
  for (const auto& entry : rec.frame_names) {
    if (entry.first == name) return;
  }
  rec.frame_names.emplace_back(name, frame_pool_index);
}

// Tiles this large and up are split into the runs of cells worth drawing.
constexpr int kRunTileSize = 64;

// The cells of the drawn rectangle, an eighth of the tile a side, sorted into clear, opaque and
// the rest; runs of one kind along a band of cells, grown down over bands where they repeat.
// Left empty where a single run would cover the tile: it is drawn whole then.
void FindRuns(const std::vector<std::uint32_t>& pixels, int size, int draw_w, int draw_h,
              bool layout16, std::vector<TileRun>& runs) {
  enum class Cell : std::uint8_t { Clear, Opaque, Mixed };
  const int cell = size / 8;
  const int shift = layout16 ? 28 : 24;
  const std::uint32_t full = layout16 ? 0xFu : 0xFFu;
  std::size_t band_start = 0;
  for (int y0 = 0; y0 < draw_h; y0 += cell) {
    const int y1 = std::min(y0 + cell, draw_h);
    band_start = runs.size();
    Cell run_kind = Cell::Clear;
    int run_x0 = 0;
    auto close = [&](int x1) {
      if (run_kind == Cell::Clear) return;
      const bool opaque = run_kind == Cell::Opaque;
      for (std::size_t i = 0; i < band_start; ++i) {
        TileRun& above = runs[i];
        if (above.x0 == run_x0 && above.x1 == x1 && above.opaque == opaque && above.y1 == y0) {
          above.y1 = static_cast<std::uint16_t>(y1);
          return;
        }
      }
      runs.push_back({static_cast<std::uint16_t>(run_x0), static_cast<std::uint16_t>(y0),
                      static_cast<std::uint16_t>(x1), static_cast<std::uint16_t>(y1), opaque});
    };
    for (int x0 = 0; x0 < draw_w; x0 += cell) {
      const int x1 = std::min(x0 + cell, draw_w);
      bool any = false, all = true;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const std::uint32_t a = pixels[static_cast<std::size_t>(y) * size + x] >> shift;
          any |= a != 0;
          all &= a == full;
        }
      const Cell kind = !any ? Cell::Clear : all ? Cell::Opaque : Cell::Mixed;
      if (kind != run_kind) {
        close(x0);
        run_kind = kind;
        run_x0 = x0;
      }
    }
    close(draw_w);
  }
  if (runs.size() == 1 && runs[0].x0 == 0 && runs[0].y0 == 0 && runs[0].x1 == draw_w &&
      runs[0].y1 == draw_h)
    runs.clear();
}

void CutFrames(SpriteWorld& ctx, int rec_index, const Image& image, std::string_view name,
               int max_frames) {
  SpriteState& s = ctx.sprites;
  my_bmptexture& rec = s.textures[rec_index];
  const int fw = rec.frame_width, fh = rec.frame_height;
  // The part line has reported a tile size or border out of range; such a record has no tiles.
  const bool valid_tiles = ValidTileGeometry(rec.texture_size, rec.border);
  const int size = valid_tiles ? rec.texture_size : 0, border = valid_tiles ? rec.border : 0;
  const int step = size - 2 * border;
  if (image.empty() || fw <= 0 || fh <= 0) return;
  if (fw > image.width || fh > image.height) {
    WriteLog(ctx, "ERROR: prototype_create_frame_larger_than_image \"" + std::string(name) +
                      "\" " + std::to_string(fw) + "x" + std::to_string(fh) + " > " +
                      std::to_string(image.width) + "x" + std::to_string(image.height));
    return;
  }
  const int columns = image.width / fw, rows = image.height / fh;
  int frames = columns * rows;
  if (max_frames >= 0) frames = std::min(frames, max_frames);
  if (frames <= 0) return;
  int across = 0, down = 0;
  if (valid_tiles) {
    across = (fw + step - 1) / step;
    down = (fh + step - 1) / step;
  }
  // Every frame costs at least one smallest tile, so a tiny frame grid over a large image is
  // refused too: its frame records alone would slow down every later image lookup.
  const std::int64_t frame_cost = std::max<std::int64_t>(
      std::int64_t{across} * down * size * size, std::int64_t{kSmallestTile} * kSmallestTile);
  if (std::int64_t{frames} * frame_cost > kMaxTilePixelsPerImage) {
    WriteLog(ctx, "ERROR: prototype_create_texture_too_large \"" + std::string(name) + "\"");
    return;
  }
  rec.tiles_per_frame = across * down;
  const bool layout16 = Layout16(ctx);
  std::vector<std::uint32_t> pixels(valid_tiles ? static_cast<std::size_t>(size) * size : 0);
  for (int f = 0; f < frames; ++f) {
    const int frame_x = (f % columns) * fw, frame_y = (f / columns) * fh;
    my_frame frame;
    frame.name = std::string(name);
    frame.first_tile = static_cast<int>(s.tiles.size());
    frame.tile_count = across * down;
    frame.tile_size = size;
    frame.border = border;
    for (int r = 0; r < down; ++r) {
      for (int c = 0; c < across; ++c) {
        my_texture tile;
        tile.x = c * step;
        tile.y = r * step;
        bool content = false, opaque = true;
        // The drawn rectangle: the tile's step, cut to the frame.
        const int draw_w = std::min(step, fw - tile.x), draw_h = std::min(step, fh - tile.y);
        for (int py = 0; py < size; ++py) {
          const int fy = tile.y - border + py;
          for (int px = 0; px < size; ++px) {
            const int fx = tile.x - border + px;
            std::uint32_t v = 0;
            if (fx >= 0 && fx < fw && fy >= 0 && fy < fh) {
              v = image.argb[static_cast<std::size_t>(frame_y + fy) * image.width + frame_x + fx];
            }
            pixels[static_cast<std::size_t>(py) * size + px] = v;
            content |= layout16 ? (v >> 28) != 0 : (v >> 24) != 0;
            if (px >= border && px < border + draw_w && py >= border && py < border + draw_h)
              opaque &= layout16 ? (v >> 28) == 0xF : (v >> 24) == 0xFF;
          }
        }
        tile.has_content = content;
        tile.opaque = content && opaque;
        if (content && !opaque && border == 0 && size >= kRunTileSize)
          FindRuns(pixels, size, draw_w, draw_h, layout16, tile.runs);
        if (content) {
          if (layout16) {
            tile.pixels16.resize(pixels.size());
            std::transform(pixels.begin(), pixels.end(), tile.pixels16.begin(), ToArgb4444);
          } else {
            tile.pixels32 = pixels;
          }
        }
        s.tiles.push_back(std::move(tile));
        if (content) PlaceTile(ctx, static_cast<int>(s.tiles.size()) - 1, size);
      }
    }
    s.frames.push_back(std::move(frame));
    AppendFrame(ctx, rec_index, static_cast<int>(s.frames.size()) - 1);
  }
}

bool CreateAtlasTexture(SpriteWorld& ctx, int index) {
  SpriteState& s = ctx.sprites;
  if (index < 0 || index >= static_cast<int>(s.device_textures.size())) return false;
  DeviceTextureEntry& entry = s.device_textures[index];
  platform::RenderDevice* device = ctx.platform.device;
  if (entry.id >= 0 && device) device->ReleaseTexture(entry.id);
  entry.id = -1;
  if (!device) return false;
  const bool layout16 = Layout16(ctx);
  entry.id = device->CreateTexture(layout16 ? platform::TextureFormat::ARGB4444
                                            : platform::TextureFormat::ARGB8888);
  entry.dirty = true;
  return entry.id >= 0;
}

bool RestoreTextures(SpriteWorld& ctx) {
  bool ok = true;
  SpriteState& s = ctx.sprites;
  for (std::size_t i = 0; i < s.device_textures.size(); ++i) {
    DeviceTextureEntry& entry = s.device_textures[i];
    if (entry.tiles.empty()) continue;
    if (entry.id < 0 && !CreateAtlasTexture(ctx, static_cast<int>(i))) {
      ok = false;
      continue;
    }
    if (!UploadEntry(ctx, entry)) ok = false;
  }
  if (ok) s.texture_lost = false;
  return ok;
}

void ReleaseDeviceTextures(SpriteWorld& ctx) {
  for (DeviceTextureEntry& entry : ctx.sprites.device_textures) {
    if (entry.id >= 0 && ctx.platform.device) ctx.platform.device->ReleaseTexture(entry.id);
    entry.id = -1;
    entry.dirty = true;
  }
}

bool FlushAtlasTextures(SpriteWorld& ctx) {
  bool ok = true;
  for (DeviceTextureEntry& entry : ctx.sprites.device_textures) {
    if (entry.dirty && entry.id >= 0) ok = UploadEntry(ctx, entry) && ok;
  }
  return ok;
}

}  // namespace qv
